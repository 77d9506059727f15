#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/TexturedCuboid.h"
#include "render/TexturedQuad.h"
#include "GLContext.h"
#include "support/TestPackage.h"

namespace {

const char* DIFFUSE = "textures/ground.png";
const char* FLAT_NORMAL = "textures/flat.png";
const char* RIDGED = "textures/ridged.png";

// Light and dark stripes four texels wide: relief running across x.
std::string ridges()
{
    Picture picture(16, 16, colours::BLACK);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            picture.set(x, y, (x / 4) % 2 == 0 ? colours::WHITE : colours::BLACK);
    }
    return encodePng(picture);
}

// The largest brightness difference between two renders of one window row.
int largestDifference(const std::vector<glm::u8vec4>& a, const std::vector<glm::u8vec4>& b, int from, int to)
{
    int largest = 0;
    for (int x = from; x < to; ++x)
        largest = std::max(largest, std::abs(brightness(a[static_cast<size_t>(x)]) - brightness(b[static_cast<size_t>(x)])));
    return largest;
}
using colours::BLACK;

TexturedQuad* groundQuad(float width, float height, float tileSize)
{
    return new TexturedQuad(0.0f, 0.0f, 0.0f, width, height, DIFFUSE, FLAT_NORMAL, "shaders/simple.vs",
                            "shaders/simple.fs", tileSize);
}

class TexturedQuadDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        gl.clear();
    }

    GLContext gl{200, 200};
    Camera camera = topDownCamera(200, 200);
    TestPackage package{[] {
        Entries entries = gameShaderEntries();
        entries[DIFFUSE] = encodePng(Picture(8, 8, glm::u8vec4(220, 120, 40, 255)));
        entries[FLAT_NORMAL] = encodePng(Picture(8, 8, glm::u8vec4(128, 128, 255, 255)));
        entries[RIDGED] = ridges();
        return entries;
    }()};
};

} // namespace

TEST(TexturedQuadVertices, CornersRepeatTheTexturePerTileWithAnUpwardTangentFrame)
{
    TexturedQuad* quad = groundQuad(10.0f, 4.0f, 5.0f);
    const float* v = quad->getVertexData();
    const float expected[4][14] = {
        {-5, 2, 0, 0, 0, 1, 0, 0.8f, 1, 0, 0, 0, 1, 0},
        {-5, -2, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0},
        {5, 2, 0, 0, 0, 1, 2, 0.8f, 1, 0, 0, 0, 1, 0},
        {5, -2, 0, 0, 0, 1, 2, 0, 1, 0, 0, 0, 1, 0},
    };
    for (int vertex = 0; vertex < 4; ++vertex) {
        for (int f = 0; f < 14; ++f)
            EXPECT_NEAR(v[vertex * 14 + f], expected[vertex][f], 1e-6f) << "vertex " << vertex << " float " << f;
    }
    const uint32_t indices[6] = {0, 1, 3, 0, 3, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(quad->getIndexData()[i], indices[i]);
    delete quad;
}

TEST_F(TexturedQuadDrawing, DrawsTheLitGroundWhereItLiesAndMovesWithSetPosition)
{
    TexturedQuad* quad = groundQuad(4.0f, 4.0f, 4.0f);
    ASSERT_TRUE(quad->setup());
    FixedPoint lamp(glm::vec3(0.0f, 0.0f, 0.0f));
    quad->render(&camera, &lamp);

    const glm::u8vec4 centre = gl.readPixel(100, 100);
    EXPECT_GT(centre.r, centre.g);
    EXPECT_GT(centre.g, centre.b);
    EXPECT_GT(centre.r, 100);
    // 10 pixels per unit at the floor: the quad ends 20 pixels from the centre.
    EXPECT_EQ(gl.readPixel(100, 125), BLACK);
    EXPECT_EQ(gl.readPixel(75, 100), BLACK);

    std::vector<float> before(quad->getVertexData(), quad->getVertexData() + 56);
    quad->setPosition(glm::vec3(5.0f, 0.0f, 0.0f));
    gl.clear();
    quad->render(&camera, &lamp);
    EXPECT_EQ(gl.readPixel(100, 100), BLACK);
    EXPECT_GT(gl.readPixel(150, 100).r, 60);
    EXPECT_EQ(std::vector<float>(quad->getVertexData(), quad->getVertexData() + 56), before);
    delete quad;
}

TEST_F(TexturedQuadDrawing, TheGroundIsBrightestUnderTheLight)
{
    TexturedQuad* quad = groundQuad(20.0f, 20.0f, 5.0f);
    ASSERT_TRUE(quad->setup());
    FixedPoint lamp(glm::vec3(-6.0f, 0.0f, 0.0f));
    quad->render(&camera, &lamp);
    const int underLight = brightness(gl.readPixel(40, 100));
    const int centre = brightness(gl.readPixel(100, 100));
    const int farSide = brightness(gl.readPixel(160, 100));
    EXPECT_GT(underLight, centre);
    EXPECT_GT(centre, farSide);
    // Away from the light the ambient term still shows the ground.
    EXPECT_GT(farSide, 0);
    delete quad;
}

// Ground quads carry their tangents, boxes derive theirs in the shader; both
// must tilt the light by the relief of the normal picture.
TEST_F(TexturedQuadDrawing, TheNormalPictureTiltsTheLightOnQuadsAndBoxes)
{
    FixedPoint lamp(glm::vec3(0.0f, 0.0f, 0.0f));
    const auto renderRow = [&](const char* normal, bool asBox) {
        gl.clear();
        if (asBox) {
            TexturedCuboid cube(0.0f, 0.0f, -2.0f, 4.0f, 4.0f, 4.0f, DIFFUSE, normal, "shaders/simple.vs",
                                "shaders/simple.fs");
            cube.setup(UV_MAPPING_TEMPLATE);
            cube.render(&camera, &lamp, false);
        } else {
            TexturedQuad quad(0.0f, 0.0f, 0.0f, 4.0f, 4.0f, DIFFUSE, normal, "shaders/simple.vs",
                              "shaders/simple.fs", 4.0f);
            quad.setup();
            quad.render(&camera, &lamp);
        }
        return readRow(100, 200);
    };
    for (bool asBox : {false, true}) {
        SCOPED_TRACE(asBox ? "box" : "quad");
        const std::vector<glm::u8vec4> flat = renderRow(FLAT_NORMAL, asBox);
        const std::vector<glm::u8vec4> ridged = renderRow(RIDGED, asBox);
        EXPECT_GT(largestDifference(flat, ridged, 82, 118), 30);
        for (int x = 82; x < 118; ++x)
            ASSERT_GT(brightness(ridged[static_cast<size_t>(x)]), 0) << "unlit pixel at " << x;
    }
}

// The ground shares its program with the boxes; a see-through wall drawn
// just before must not leave the ground half transparent. Drawn blended
// over white, an opaque ground looks exactly as it does unblended.
TEST_F(TexturedQuadDrawing, TheGroundIsOpaqueAfterASeeThroughBoxAndOnAFreshProgram)
{
    FixedPoint lamp(glm::vec3(0.0f, 0.0f, 0.0f));
    TexturedQuad quad(0.0f, 0.0f, 0.0f, 4.0f, 4.0f, DIFFUSE, FLAT_NORMAL, "shaders/simple.vs", "shaders/simple.fs",
                      4.0f);
    ASSERT_TRUE(quad.setup());
    const auto drawnOverWhite = [&] {
        gl.clear(glm::vec4(1.0f));
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        quad.render(&camera, &lamp);
        glDisable(GL_BLEND);
        return gl.readPixel(100, 100);
    };
    const glm::u8vec4 onFreshProgram = drawnOverWhite();

    TexturedCuboid wall(30.0f, 0.0f, -2.0f, 4.0f, 4.0f, 4.0f, DIFFUSE, FLAT_NORMAL, "shaders/simple.vs",
                        "shaders/simple.fs");
    wall.setup(UV_MAPPING_TEMPLATE);
    wall.render(&camera, &lamp, true);
    const glm::u8vec4 afterSeeThroughBox = drawnOverWhite();

    gl.clear();
    quad.render(&camera, &lamp);
    const glm::u8vec4 unblended = gl.readPixel(100, 100);
    EXPECT_LT(unblended.b, 200) << "the ground is orange, not white";
    EXPECT_EQ(onFreshProgram, unblended);
    EXPECT_EQ(afterSeeThroughBox, unblended);
}
