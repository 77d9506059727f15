#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/ProgramManager.h"
#include "render/ScreenQuad.h"
#include "render/TextureManager.h"
#include "GLContext.h"
#include "support/TestPackage.h"

namespace {

const char* ORTHO_VS = "shaders/basicortho.vs";
const char* ORTHO_FS = "shaders/basicortho.fs";

using colours::RED;
using colours::GREEN;
using colours::BLUE;
using colours::WHITE;
using colours::BLACK;

// Opens up the quad's vertex array and buffer to the tests.
class InspectedQuad : public ScreenQuad {
public:
    using ScreenQuad::ScreenQuad;

    glm::vec4 vertex(int i) const
    {
        const float* v = vertexData + i * FLOATS_PER_VERTEX;
        return glm::vec4(v[0], v[1], v[2], v[3]);
    }
    glm::vec4 uploadedVertex(int i) const
    {
        glm::vec4 v;
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glGetBufferSubData(GL_ARRAY_BUFFER, i * FLOATS_PER_VERTEX * sizeof(float), sizeof(v), &v[0]);
        return v;
    }
};

Camera screenCamera(int width, int height)
{
    return Camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f),
                  static_cast<float>(width), static_cast<float>(height));
}

// A 16 x 16 picture in quadrants: red top-left, green top-right, blue
// bottom-left, white bottom-right, as the file stores it. Big enough that
// linear filtering leaves the middle of each quadrant pure.
std::string fourColours()
{
    Picture picture(16, 16, RED);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (y < 8)
                picture.set(x, y, x < 8 ? RED : GREEN);
            else
                picture.set(x, y, x < 8 ? BLUE : WHITE);
        }
    }
    return encodePng(picture);
}

class ScreenQuadDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        gl.clear();
    }

    GLContext gl{200, 100};
    Camera camera = screenCamera(200, 100);
    TestPackage package{[] {
        Entries entries = gameShaderEntries();
        entries["textures/four.png"] = fourColours();
        return entries;
    }()};
};

// How many runs of equal colour a line of pixels has.
int countRuns(const std::vector<glm::u8vec4>& pixels)
{
    int runs = pixels.empty() ? 0 : 1;
    for (size_t i = 1; i < pixels.size(); ++i)
        runs += pixels[i] != pixels[i - 1] ? 1 : 0;
    return runs;
}

std::vector<glm::u8vec4> readColumn(int x, int height)
{
    std::vector<glm::u8vec4> column(static_cast<size_t>(height));
    glFinish();
    glReadPixels(x, 0, 1, height, GL_RGBA, GL_UNSIGNED_BYTE, column.data());
    return column;
}

} // namespace

TEST(ScreenQuadVertices, TwoCounterClockwiseTrianglesCoverTheRectangle)
{
    InspectedQuad quad(10, 20, 100, 50, ORTHO_VS, ORTHO_FS);
    const glm::vec4 expected[6] = {{10, 70, 0, 1}, {10, 20, 0, 0}, {110, 20, 1, 0},
                                   {10, 70, 0, 1}, {110, 20, 1, 0}, {110, 70, 1, 1}};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(quad.vertex(i), expected[i]) << "vertex " << i;
    EXPECT_FLOAT_EQ(quad.alpha, 1.0f);
}

TEST(ScreenQuadVertices, SetPosForgetsATextureExtentSetBefore)
{
    InspectedQuad quad(0, 0, 10, 10, ORTHO_VS, ORTHO_FS);
    quad.setPosAndUV(5, 6, 0.5f, 2.0f);
    EXPECT_EQ(quad.vertex(5), glm::vec4(15, 16, 0.5f, 2.0f));
    EXPECT_EQ(quad.vertex(1), glm::vec4(5, 6, 0, 0));
    quad.setPos(0, 0);
    EXPECT_EQ(quad.vertex(5), glm::vec4(10, 10, 1, 1));
    quad.setPosAndUV(0, 0, 0.25f, 0.25f);
    quad.setPosY(30);
    EXPECT_EQ(quad.vertex(0), glm::vec4(0, 40, 0, 1));
    EXPECT_EQ(quad.vertex(5), glm::vec4(10, 40, 1, 1));
}

TEST_F(ScreenQuadDrawing, ShowsItsTextureUprightAtItsPixelRectangle)
{
    const GLuint texture = TextureManager::getInstance()->loadTexture("textures/four.png", true);
    InspectedQuad quad(20, 10, 100, 60, ORTHO_VS, ORTHO_FS);
    ASSERT_TRUE(quad.setup());
    quad.setTexture(texture);
    quad.render(&camera);

    EXPECT_TRUE(near(gl.readPixel(45, 25), BLUE));
    EXPECT_TRUE(near(gl.readPixel(95, 25), WHITE));
    EXPECT_TRUE(near(gl.readPixel(45, 55), RED));
    EXPECT_TRUE(near(gl.readPixel(95, 55), GREEN));
    EXPECT_EQ(gl.readPixel(15, 15), BLACK) << "drawn outside its rectangle";
    EXPECT_EQ(gl.readPixel(125, 65), BLACK) << "drawn outside its rectangle";
    TextureManager::getInstance()->freeTexture("textures/four.png");
}

TEST_F(ScreenQuadDrawing, MovesAreUploadedOnceAtTheNextRender)
{
    InspectedQuad quad(0, 0, 50, 50, ORTHO_VS, ORTHO_FS);
    ASSERT_TRUE(quad.setup());
    quad.setTexture(TextureManager::getInstance()->loadTexture("textures/four.png", true));
    quad.setPos(100, 20);
    EXPECT_EQ(quad.uploadedVertex(1), glm::vec4(0, 0, 0, 0)) << "uploaded before the draw";
    quad.render(&camera);
    EXPECT_EQ(quad.uploadedVertex(1), glm::vec4(100, 20, 0, 0));
    EXPECT_TRUE(near(gl.readPixel(110, 30), BLUE));
    EXPECT_EQ(gl.readPixel(10, 10), BLACK);
    TextureManager::getInstance()->freeTexture("textures/four.png");
}

TEST_F(ScreenQuadDrawing, AlphaBlendsWhenTheCallerEnablesBlendingAndDepthTestEndsOn)
{
    Picture white(1, 1, WHITE);
    const GLuint texture = makeNearestTexture(white);
    ScreenQuad quad(0, 0, 100, 100, ORTHO_VS, ORTHO_FS);
    ASSERT_TRUE(quad.setup());
    quad.setTexture(texture);
    quad.alpha = 0.5f;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    quad.render(&camera);
    EXPECT_TRUE(near(gl.readPixel(50, 50), glm::u8vec4(128, 128, 128, 255), 2));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the quad must leave blending to its caller";
    glDeleteTextures(1, &texture);
}

TEST_F(ScreenQuadDrawing, DestroyingAQuadGivesItsProgramBackOnlyOnce)
{
    ScreenQuad* first = new ScreenQuad(0, 0, 10, 10, ORTHO_VS, ORTHO_FS);
    ScreenQuad* second = new ScreenQuad(0, 0, 10, 10, ORTHO_VS, ORTHO_FS);
    ScreenQuad* neverSetUp = new ScreenQuad(0, 0, 10, 10, ORTHO_VS, ORTHO_FS);
    ASSERT_TRUE(first->setup());
    ASSERT_TRUE(second->setup());
    ShaderProgram* shared = ProgramManager::getInstance()->loadProgram(ORTHO_VS, ORTHO_FS, "");
    const GLuint id = shared->getId();
    ProgramManager::getInstance()->freeProgram(ORTHO_VS, ORTHO_FS, "");
    // A quad that never took a reference must not give one back.
    delete neverSetUp;
    delete first;
    EXPECT_TRUE(glIsProgram(id));
    delete second;
    EXPECT_FALSE(glIsProgram(id));
}

// The full-window pass at each window size cuts the frame into the same
// number of blocks, each one colour.
TEST(PixelatePass, EveryWindowWidthShowsTheFrameAs320By180Blocks)
{
    GLContext gl(1920, 1080);
    ASSERT_TRUE(gl.ok()) << gl.error();
    TestPackage package(gameShaderEntries());
    Camera camera = screenCamera(1920, 1080);

    // Every texel its own colour, so a block shows as one run of pixels.
    Picture frame(1920, 1080, BLACK);
    for (int y = 0; y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x)
            frame.set(x, y, glm::u8vec4(x & 255, (x >> 8) | ((y & 31) << 3), y >> 5, 255));
    }
    const GLuint texture = makeNearestTexture(frame);

    const int widths[] = {1920, 1280, 1024};
    for (int width : widths) {
        const int height = width * 9 / 16;
        SCOPED_TRACE(width);
        gl.clear();
        ScreenQuad quad(0, 0, width, height, ORTHO_VS, "shaders/pixelate_" + std::to_string(width) + ".fs");
        ASSERT_TRUE(quad.setup());
        quad.setTexture(texture);
        quad.render(&camera);

        std::vector<glm::u8vec4> row = readRow(height / 2, 1920);
        row.resize(static_cast<size_t>(width));
        EXPECT_EQ(countRuns(row), 320);
        EXPECT_EQ(countRuns(readColumn(width / 2, height)), 180);
    }
    glDeleteTextures(1, &texture);
}
