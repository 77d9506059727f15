// One small scene with every kind of drawable, drawn the way the game draws a
// frame: the world (a tiled floor, two lit boxes, a particle effect) into an
// offscreen frame, the frame to the window through the pixelate pass, then a
// line of text and a half-full bar on top. It uses the generated pictures,
// shaders and effects of the real data.mv2 and is saved as
// <build>/screenshots/test_scene.png for a person to look at.
//
// Each element is checked by drawing the frame again without it: the pixels
// that change must all lie where the camera puts that element.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <stb_image_write.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "RenderTestKit.h"
#include "game/ValueProvider.h"
#include "hud/Bar.h"
#include "render/Camera.h"
#include "render/ParticleSystem.h"
#include "render/ScreenQuad.h"
#include "render/Text.h"
#include "render/TexturedCuboid.h"
#include "render/TexturedQuad.h"
#include "GLContext.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

namespace {

const int WIDTH = 1920;
const int HEIGHT = 1080;
const char* const LIT_VS = "shaders/simple.vs";
const char* const LIT_FS = "shaders/simple.fs";
const char* const FLOOR_TEXTURE = "textures/town_floor.jpg";
const char* const BOX_TEXTURE = "textures/rabakulus_wall.jpg";
const char* const FONT = "textures/font.png";
const char* const CAPTION = "MORVELUND";
const float CAPTION_SCALE = 1.0f;
const glm::ivec2 CAPTION_AT(120, 900);
const glm::ivec4 BAR_RECT(1400, 120, 400, 60); // x, y, width, height
const float BAR_FILL = 0.5f;

// The camera as it hangs behind and above the player at the origin.
const glm::vec3 EYE(0.0f, -6.0f, 12.0f);
const glm::vec3 PLAYER(0.0f);
const glm::vec3 LEFT_BOX(-5.0f, 3.0f, 1.5f);
const glm::vec3 RIGHT_BOX(5.0f, 3.0f, 1.5f);
const float BOX_SIDE = 3.0f;
const glm::vec3 EMITTER(0.0f, 4.0f, 0.0f);
// Where the effect's particles can get to around the emitter: its spawn
// square and sideways drift, and the height they rise to in their lifetime.
const glm::vec3 EMITTER_REACH_LOW(-2.0f, -2.0f, 0.0f);
const glm::vec3 EMITTER_REACH_HIGH(2.0f, 2.0f, 9.0f);
// Pixels a sprite can stick out past its centre.
const int SPRITE_MARGIN = 40;
// The pixelate pass works in blocks of 6 window pixels at 1920 x 1080.
const int BLOCK = 6;

class HalfFull : public ValueProvider {
public:
    float getValue(int) override { return BAR_FILL; }
    float getMaxValue(int) override { return 1.0f; }
    float getAbsoluteValue(int) override { return BAR_FILL; }
};

// The window pixels a world box covers, grown by 'margin' on each side.
glm::ivec4 screenBounds(Camera& camera, const glm::vec3& low, const glm::vec3& high, int margin)
{
    glm::vec2 least(1e9f);
    glm::vec2 most(-1e9f);
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec3 world((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y,
                              (corner & 4) ? high.z : low.z);
        const glm::vec2 pixel =
            projectToWindow(camera.getPerspectiveMatrix(), camera.getViewMatrix(), world, WIDTH, HEIGHT);
        least = glm::min(least, pixel);
        most = glm::max(most, pixel);
    }
    return glm::ivec4(least.x - margin, least.y - margin, most.x + margin, most.y + margin);
}

bool inside(const glm::ivec4& bounds, int x, int y)
{
    return x >= bounds.x && y >= bounds.y && x <= bounds.z && y <= bounds.w;
}

struct Frame {
    std::vector<glm::u8vec4> pixels;
    glm::u8vec4 at(int x, int y) const { return pixels[static_cast<size_t>(y) * WIDTH + static_cast<size_t>(x)]; }
};

// What the pixels that changed when an element was left out look like.
struct Change {
    int count = 0;
    int outside = 0;
};

Change compare(const Frame& whole, const Frame& without, const glm::ivec4& expected)
{
    Change change;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            if (whole.at(x, y) == without.at(x, y))
                continue;
            ++change.count;
            change.outside += inside(expected, x, y) ? 0 : 1;
        }
    }
    return change;
}

enum Element { NOTHING, FLOOR, LEFT_BOX_ELEMENT, RIGHT_BOX_ELEMENT, PARTICLES, CAPTION_ELEMENT, BAR };

class Scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        const std::string package = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
        if (access(package.c_str(), R_OK) != 0)
            GTEST_SKIP() << "no " << package << " (the full build makes it)";
        dir.write("data.mv2", readFileBytes(package));
        inDir = std::make_unique<ScopedChdir>(dir.path());
        ASSERT_TRUE(makeFrameBuffer());
        ASSERT_TRUE(setUpDrawables());
        // Two seconds of the effect, so the column of light has risen.
        for (int step = 0; step < 40; ++step)
            particles->update(0.05f);
        camera.setEyeLook(EYE, PLAYER);
    }

    void TearDown() override
    {
        glDeleteRenderbuffers(1, &depthStencil);
        glDeleteTextures(1, &frameTexture);
        glDeleteFramebuffers(1, &frameBuffer);
    }

    // The game's offscreen frame: colour texture and depth-stencil buffer.
    bool makeFrameBuffer()
    {
        glGenFramebuffers(1, &frameBuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
        glGenTextures(1, &frameTexture);
        glBindTexture(GL_TEXTURE_2D, frameTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, WIDTH, HEIGHT, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frameTexture, 0);
        glGenRenderbuffers(1, &depthStencil);
        glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, WIDTH, HEIGHT);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
        const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return complete;
    }

    bool setUpDrawables()
    {
        floor = std::make_unique<TexturedQuad>(0.0f, 0.0f, 0.0f, 60.0f, 60.0f, FLOOR_TEXTURE, FLOOR_TEXTURE, LIT_VS,
                                               LIT_FS, 10.0f);
        leftBox = makeBox(LEFT_BOX);
        rightBox = makeBox(RIGHT_BOX);
        particles = std::make_unique<ParticleSystem>("particlesystems/teleporter_up.xml", true);
        particles->position = EMITTER;
        caption = std::make_unique<Text>(CAPTION_AT.x, CAPTION_AT.y, CAPTION, CAPTION_SCALE,
                                         glm::vec3(1.0f, 0.9f, 0.6f), FONT);
        bar = std::make_unique<Bar>(BAR_RECT.x, BAR_RECT.y, BAR_RECT.z, BAR_RECT.w, 100, BAR_DIRECTION_HORIZONTAL,
                                    "textures/healthbar.png", "textures/healthbar_frame.png", &fill, 0);
        pixelate = std::make_unique<ScreenQuad>(0, 0, WIDTH, HEIGHT, "shaders/basicortho.vs",
                                                "shaders/pixelate_1920.fs");
        const bool ready = floor->setup() && leftBox->setup(UV_MAPPING_DIMENSIONS)
            && rightBox->setup(UV_MAPPING_DIMENSIONS) && particles->setup() && caption->setup() && bar->setup()
            && pixelate->setup();
        bar->update(0.0f, 0, 0);
        return ready;
    }

    static std::unique_ptr<TexturedCuboid> makeBox(const glm::vec3& at)
    {
        return std::make_unique<TexturedCuboid>(at.x, at.y, at.z, BOX_SIDE, BOX_SIDE, BOX_SIDE, BOX_TEXTURE,
                                                BOX_TEXTURE, LIT_VS, LIT_FS);
    }

    // One frame in the game's order, with one element left out, read back.
    Frame draw(Element leftOut)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glEnable(GL_PROGRAM_POINT_SIZE);
        if (leftOut != FLOOR)
            floor->render(&camera, &player);
        if (leftOut != LEFT_BOX_ELEMENT)
            leftBox->render(&camera, &player, false);
        if (leftOut != RIGHT_BOX_ELEMENT)
            rightBox->render(&camera, &player, false);
        if (leftOut != PARTICLES)
            particles->render(&camera);

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_CULL_FACE);
        pixelate->setTexture(frameTexture);
        pixelate->render(&camera);
        if (leftOut != CAPTION_ELEMENT)
            caption->render(&camera);
        if (leftOut != BAR)
            bar->render(&camera);

        Frame frame;
        frame.pixels.resize(static_cast<size_t>(WIDTH) * HEIGHT);
        glFinish();
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
        return frame;
    }

    static void save(const Frame& frame)
    {
        const std::string binary = MORVELUND_BINARY;
        const std::string folder = binary.substr(0, binary.find_last_of('/')) + "/screenshots";
        mkdir(folder.c_str(), 0755);
        std::vector<unsigned char> rgb;
        for (const glm::u8vec4& pixel : frame.pixels)
            rgb.insert(rgb.end(), {pixel.r, pixel.g, pixel.b});
        stbi_flip_vertically_on_write(1);
        stbi_write_png((folder + "/test_scene.png").c_str(), WIDTH, HEIGHT, 3, rgb.data(), WIDTH * 3);
        stbi_flip_vertically_on_write(0);
    }

    GLContext gl{WIDTH, HEIGHT};
    TempDir dir;
    std::unique_ptr<ScopedChdir> inDir;
    GLuint frameBuffer = 0;
    GLuint frameTexture = 0;
    GLuint depthStencil = 0;
    Camera camera{EYE, PLAYER, glm::vec3(0.0f, 1.0f, 0.0f), static_cast<float>(WIDTH), static_cast<float>(HEIGHT)};
    FixedPoint player{PLAYER};
    HalfFull fill;
    std::unique_ptr<TexturedQuad> floor;
    std::unique_ptr<TexturedCuboid> leftBox;
    std::unique_ptr<TexturedCuboid> rightBox;
    std::unique_ptr<ParticleSystem> particles;
    std::unique_ptr<Text> caption;
    std::unique_ptr<Bar> bar;
    std::unique_ptr<ScreenQuad> pixelate;
};

} // namespace

TEST_F(Scene, EveryElementShowsExactlyWhereTheCameraPutsIt)
{
    const Frame whole = draw(NOTHING);
    save(whole);

    const glm::vec3 half(BOX_SIDE / 2.0f);
    const glm::vec2 captionSize = Text::dimensions(CAPTION) * CAPTION_SCALE;
    struct Expectation {
        Element element;
        const char* name;
        glm::ivec4 bounds;
    };
    const Expectation expectations[] = {
        {LEFT_BOX_ELEMENT, "left box", screenBounds(camera, LEFT_BOX - half, LEFT_BOX + half, BLOCK)},
        {RIGHT_BOX_ELEMENT, "right box", screenBounds(camera, RIGHT_BOX - half, RIGHT_BOX + half, BLOCK)},
        {PARTICLES, "particles",
         screenBounds(camera, EMITTER + EMITTER_REACH_LOW, EMITTER + EMITTER_REACH_HIGH, SPRITE_MARGIN)},
        {CAPTION_ELEMENT, "caption",
         glm::ivec4(CAPTION_AT.x - 1, CAPTION_AT.y - 1, CAPTION_AT.x + captionSize.x + 1,
                    CAPTION_AT.y + captionSize.y + 1)},
        {BAR, "bar", glm::ivec4(BAR_RECT.x, BAR_RECT.y, BAR_RECT.x + BAR_RECT.z, BAR_RECT.y + BAR_RECT.w)},
    };
    for (const Expectation& expected : expectations) {
        SCOPED_TRACE(expected.name);
        const Change change = compare(whole, draw(expected.element), expected.bounds);
        EXPECT_GT(change.count, 400) << "hardly drawn";
        EXPECT_EQ(change.outside, 0) << "drawn outside " << expected.bounds.x << "," << expected.bounds.y << " - "
                                     << expected.bounds.z << "," << expected.bounds.w;
    }

    // The floor fills the view wherever nothing stands on it.
    const Change floorChange = compare(whole, draw(FLOOR), glm::ivec4(0, 0, WIDTH, HEIGHT));
    EXPECT_GT(floorChange.count, WIDTH * HEIGHT / 2);
}

TEST_F(Scene, TheWorldShowsInSixPixelBlocksAndTheBarFillsHalfItsLength)
{
    const Frame whole = draw(NOTHING);
    // Inside the world part every block of 6 x 6 window pixels is one colour.
    int blocks = 0;
    int uneven = 0;
    for (int y = 300; y + BLOCK <= 800; y += BLOCK) {
        for (int x = 300; x + BLOCK <= 1600; x += BLOCK) {
            ++blocks;
            const glm::u8vec4 first = whole.at(x, y);
            for (int dy = 0; dy < BLOCK; ++dy)
                for (int dx = 0; dx < BLOCK; ++dx)
                    if (!near(whole.at(x + dx, y + dy), first, 2)) {
                        ++uneven;
                        dy = dx = BLOCK;
                    }
        }
    }
    EXPECT_LT(uneven * 100, blocks) << uneven << " of " << blocks << " blocks are not one colour";

    // The bar is half full: red fill in its left half, none in its right.
    const int middle = BAR_RECT.y + BAR_RECT.w / 2;
    const auto redness = [&](int x) {
        const glm::ivec4 pixel(whole.at(x, middle));
        return pixel.r - (pixel.g + pixel.b) / 2;
    };
    EXPECT_GT(redness(BAR_RECT.x + BAR_RECT.z / 4), 80);
    EXPECT_LT(redness(BAR_RECT.x + 3 * BAR_RECT.z / 4), 40);
}
