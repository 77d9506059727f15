// Every shipped level drawn whole from high above its centre, lit from the
// player's start as on arrival, and saved under <build>/screenshots/levels/
// for a person to look at. The pictures are read back to check that around
// the start the walls stand out from the floor and the start lies on floor.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <GL/glew.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "WorldTestKit.h"
#include "core/AssetList.h"
#include <glm/gtc/matrix_transform.hpp>
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace {

const int SHOT_WIDTH = 1000;
const int SHOT_HEIGHT = 800;
// Room around the level in the picture.
const float FRAMING = 1.04f;
const float WALL_TOP = 12.0f;
// Around the start the light shows the level as the player sees it.
const float LIT_DISTANCE = 12.0f;
// Summed over the three channels. The crypt's walls barely clear it.
const float MIN_WALL_CONTRAST = 6.0f;

// A colour framebuffer with depth and stencil, bound while it lives.
class Shot {
public:
    Shot()
    {
        glGenFramebuffers(1, &frame);
        glBindFramebuffer(GL_FRAMEBUFFER, frame);
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SHOT_WIDTH, SHOT_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, SHOT_WIDTH, SHOT_HEIGHT);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
        glViewport(0, 0, SHOT_WIDTH, SHOT_HEIGHT);
    }
    ~Shot()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, VIEW_SIZE, VIEW_SIZE);
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(1, &colour);
        glDeleteFramebuffers(1, &frame);
    }
    Shot(const Shot&) = delete;
    Shot& operator=(const Shot&) = delete;

    bool complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }

    // Every pixel, bottom row first.
    std::vector<glm::u8vec4> read() const
    {
        std::vector<glm::u8vec4> pixels(static_cast<size_t>(SHOT_WIDTH) * SHOT_HEIGHT);
        glFinish();
        glReadPixels(0, 0, SHOT_WIDTH, SHOT_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

private:
    GLuint frame = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

// Looks straight down on the whole level from far above through a narrow
// lens, so walls show little more than their tops and the picture reads
// like a map.
class MapView : public MatrixOwner {
public:
    MapView(int width, int height)
        : eye(width / 2.0f, height / 2.0f, ALTITUDE)
        , centre(width / 2.0f, height / 2.0f, 0.0f)
    {
        const float aspect = static_cast<float>(SHOT_WIDTH) / SHOT_HEIGHT;
        const float halfHeight = FRAMING * std::max(height / 2.0f, width / (2.0f * aspect));
        perspective = glm::perspective(2.0f * std::atan(halfHeight / ALTITUDE), aspect, ALTITUDE / 4.0f, ALTITUDE * 2.0f);
        ortho = glm::ortho(0.0f, static_cast<float>(SHOT_WIDTH), 0.0f, static_cast<float>(SHOT_HEIGHT));
    }
    glm::mat4 getViewMatrix() override { return glm::lookAt(eye, centre, glm::vec3(0.0f, 1.0f, 0.0f)); }
    const glm::mat4& getPerspectiveMatrix() override { return perspective; }
    const glm::mat4& getOrthogonalMatrix() override { return ortho; }
    const glm::vec3& getPosition() override { return eye; }

private:
    static constexpr float ALTITUDE = 400.0f;
    glm::vec3 eye;
    glm::vec3 centre;
    glm::mat4 perspective;
    glm::mat4 ortho;
};

struct Picture {
    std::vector<glm::u8vec4> pixels;
    glm::mat4 viewProjection;

    glm::vec3 at(const glm::vec3& world) const
    {
        const glm::vec4 clip = viewProjection * glm::vec4(world, 1.0f);
        const int x = static_cast<int>((clip.x / clip.w + 1.0f) * 0.5f * SHOT_WIDTH);
        const int y = static_cast<int>((clip.y / clip.w + 1.0f) * 0.5f * SHOT_HEIGHT);
        if (x < 0 || y < 0 || x >= SHOT_WIDTH || y >= SHOT_HEIGHT)
            return glm::vec3(-1.0f);
        return glm::vec3(pixels[static_cast<size_t>(y) * SHOT_WIDTH + static_cast<size_t>(x)]);
    }
};

void savePng(const std::string& name, const std::vector<glm::u8vec4>& pixels)
{
    const std::string binary = MORVELUND_BINARY;
    std::string dir = binary.substr(0, binary.find_last_of('/')) + "/screenshots";
    mkdir(dir.c_str(), 0755);
    dir += "/levels";
    mkdir(dir.c_str(), 0755);
    // Colour only: the game's own frame has no alpha either.
    std::vector<unsigned char> rgb;
    for (const glm::u8vec4& pixel : pixels)
        rgb.insert(rgb.end(), {pixel.r, pixel.g, pixel.b});
    stbi_flip_vertically_on_write(1);
    stbi_write_png((dir + "/" + name + ".png").c_str(), SHOT_WIDTH, SHOT_HEIGHT, 3, rgb.data(), SHOT_WIDTH * 3);
    stbi_flip_vertically_on_write(0);
}

// "levels/level1_2.xml" -> "level1_2".
std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return path.substr(slash + 1, path.size() - slash - 1 - 4);
}

bool wallAt(const TestLevel& level, int column, int row)
{
    return column >= 0 && row >= 0 && column < level.width && row < level.height && level.wallGrid[row][column] != 0;
}

// A floor cell with no wall within 'reach' cells.
bool openFloor(const TestLevel& level, int column, int row, int reach)
{
    for (int r = row - reach; r <= row + reach; ++r)
        for (int c = column - reach; c <= column + reach; ++c)
            if (wallAt(level, c, r) || c < 0 || r < 0 || c >= level.width || r >= level.height)
                return false;
    return true;
}

float brightness(const glm::vec3& colour)
{
    return colour.x + colour.y + colour.z;
}

float median(std::vector<float> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What the picture shows of the walls near the start: the brightness of each
// wall top with floor beside it, and how much brighter that floor looks.
struct WallsSeen {
    std::vector<float> tops;
    std::vector<float> contrasts;
};

WallsSeen wallsNearStart(const TestLevel& level, const Picture& picture)
{
    WallsSeen seen;
    for (int row = 0; row < level.height; ++row) {
        for (int column = 0; column < level.width; ++column) {
            const glm::vec3 cell(column + 0.5f, row + 0.5f, 0.0f);
            if (!wallAt(level, column, row) || glm::length(cell - level.startPosition) > LIT_DISTANCE)
                continue;
            glm::vec3 floor(0.0f);
            int floors = 0;
            for (int r = row - 1; r <= row + 1; ++r) {
                for (int c = column - 1; c <= column + 1; ++c) {
                    if (openFloor(level, c, r, 0)) {
                        floor += picture.at(glm::vec3(c + 0.5f, r + 0.5f, 0.0f));
                        ++floors;
                    }
                }
            }
            if (floors == 0)
                continue;
            const float top = brightness(picture.at(cell + glm::vec3(0.0f, 0.0f, WALL_TOP)));
            seen.tops.push_back(top);
            seen.contrasts.push_back(brightness(floor / static_cast<float>(floors)) - top);
        }
    }
    return seen;
}

} // namespace

TEST(LevelScreenshots, EveryShippedLevelFromAboveShowsWallsApartFromTheFloorAndTheStartOnFloor)
{
    const std::string package = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
    if (access(package.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << package << " (the full build makes it)";
    ASSERT_TRUE(worldContext().ok()) << worldContext().error();
    ScopedChdir inData(MORVELUND_DATA_DIR);

    int shots = 0;
    for (const std::string& path : getAssetList()) {
        if (path.rfind("levels/", 0) != 0 || path.find(".xml") == std::string::npos)
            continue;
        SCOPED_TRACE(path);
        TestLevel level(path);
        std::string setupLog;
        bool loaded = false;
        {
            LogCapture log;
            loaded = level.setup();
            setupLog = log.text();
        }
        ASSERT_TRUE(loaded) << setupLog;

        Shot shot;
        ASSERT_TRUE(shot.complete());
        MapView camera(level.width, level.height);
        StandIn arrival(level.startPosition);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        level.render(&camera, &arrival);
        glDisable(GL_CULL_FACE);

        Picture picture{shot.read(), camera.getPerspectiveMatrix() * camera.getViewMatrix()};
        savePng(baseName(path), picture.pixels);
        ++shots;

        // Wall tops look darker than the floor right beside them.
        const WallsSeen walls = wallsNearStart(level, picture);
        ASSERT_GE(walls.tops.size(), 8u);
        EXPECT_GE(median(walls.contrasts), MIN_WALL_CONTRAST);

        // The start shows the lit floor, far brighter than any wall top.
        const float start = brightness(picture.at(level.startPosition));
        EXPECT_GT(start, 1.5f * *std::max_element(walls.tops.begin(), walls.tops.end()));
    }
    EXPECT_EQ(shots, 10);
}
