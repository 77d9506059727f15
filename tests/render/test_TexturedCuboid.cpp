#include <gtest/gtest.h>

#include <cmath>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/ProgramManager.h"
#include "render/TexturedCuboid.h"
#include "GLContext.h"
#include "support/TestPackage.h"

namespace {

const char* PICTURE = "textures/box.png";
const char* SIMPLE_VS = "shaders/simple.vs";
const char* SIMPLE_FS = "shaders/simple.fs";
using colours::BLACK;

// The texture coordinates of every template vertex, and those the atlas
// layout writes, as the box's layout table gives them.
const float TEMPLATE_UV[36][2] = {
    {0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1},
    {0, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 0}, {1, 1}, {0, 1}, {1, 0}, {0, 1}, {0, 0},
    {0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1},
};
const float ATLAS_UV[36][2] = {
    {1, 0.5f},   {0.5f, 0.5f}, {0.5f, 0},    {1, 0.5f}, {0.5f, 0},    {1, 0},
    {1, 0},      {0.5f, 0},    {0.5f, 0.5f}, {1, 0},    {0.5f, 0.5f}, {1, 0.5f},
    {0, 0.5f},   {0, 0},       {0.5f, 0},    {0, 0.5f}, {0.5f, 0},    {0.5f, 0.5f},
    {0.5f, 0.5f}, {0.5f, 1},   {1, 1},       {0.5f, 0.5f}, {1, 1},    {1, 0.5f},
    {0, 1},      {0, 0.5f},    {0.5f, 0.5f}, {0, 1},    {0.5f, 0.5f}, {0.5f, 1},
    {0, 0},      {1, 0},       {1, 1},       {0, 0},    {1, 1},       {0, 1},
};
const glm::vec3 FACE_NORMALS[6] = {{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};

TexturedCuboid* box(float sizeX, float sizeY, float sizeZ)
{
    return new TexturedCuboid(0.0f, 0.0f, 0.0f, sizeX, sizeY, sizeZ, PICTURE, PICTURE, SIMPLE_VS, SIMPLE_FS);
}

glm::vec3 positionOf(const float* data, int vertex)
{
    return glm::vec3(data[vertex * 8], data[vertex * 8 + 1], data[vertex * 8 + 2]);
}

glm::vec2 uvOf(const float* data, int vertex)
{
    return glm::vec2(data[vertex * 8 + 6], data[vertex * 8 + 7]);
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

glm::vec3 transform(const glm::mat4& m, const glm::vec3& p)
{
    return glm::vec3(m * glm::vec4(p, 1.0f));
}

class TexturedCuboidTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        gl.clear();
        glEnable(GL_DEPTH_TEST);
    }

    GLContext gl{200, 200};
    Camera camera = topDownCamera(200, 200);
    TestPackage package{[] {
        Entries entries = gameShaderEntries();
        entries[PICTURE] = encodePng(Picture(8, 8, glm::u8vec4(255, 255, 255, 255)));
        return entries;
    }()};
};

} // namespace

TEST(TexturedCuboidTemplate, SixOutwardFacingUnitFacesWithTheTabledCoordinates)
{
    const float* data = TexturedCuboid::templateVertexData;
    for (int face = 0; face < 6; ++face) {
        const glm::vec3 normal = FACE_NORMALS[face];
        for (int corner = 0; corner < 6; ++corner) {
            const int vertex = face * 6 + corner;
            SCOPED_TRACE(vertex);
            const glm::vec3 p = positionOf(data, vertex);
            EXPECT_EQ(glm::vec3(data[vertex * 8 + 3], data[vertex * 8 + 4], data[vertex * 8 + 5]), normal);
            EXPECT_FLOAT_EQ(glm::dot(p, normal), 0.5f) << "not on its face";
            EXPECT_EQ(glm::abs(p), glm::vec3(0.5f));
            EXPECT_EQ(uvOf(data, vertex), glm::vec2(TEMPLATE_UV[vertex][0], TEMPLATE_UV[vertex][1]));
        }
        // Counter-clockwise seen from outside, so back-face culling keeps it.
        for (int triangle = 0; triangle < 2; ++triangle) {
            const int first = face * 6 + triangle * 3;
            const glm::vec3 a = positionOf(data, first);
            const glm::vec3 winding = glm::cross(positionOf(data, first + 1) - a, positionOf(data, first + 2) - a);
            EXPECT_GT(glm::dot(winding, normal), 0.0f) << "face " << face << " triangle " << triangle;
        }
    }
}

TEST_F(TexturedCuboidTest, EachMappingLaysTheTextureAsTabled)
{
    TexturedCuboid* plain = box(3.0f, 4.0f, 5.0f);
    TexturedCuboid* atlas = box(3.0f, 4.0f, 5.0f);
    TexturedCuboid* wall = box(20.0f, 1.0f, 12.0f);
    plain->setup(UV_MAPPING_TEMPLATE);
    atlas->setup(UV_MAPPING_ATLAS);
    wall->setup(UV_MAPPING_DIMENSIONS);
    for (int vertex = 0; vertex < 36; ++vertex) {
        SCOPED_TRACE(vertex);
        EXPECT_EQ(uvOf(plain->getVertexData(), vertex), glm::vec2(TEMPLATE_UV[vertex][0], TEMPLATE_UV[vertex][1]));
        EXPECT_EQ(uvOf(atlas->getVertexData(), vertex), glm::vec2(ATLAS_UV[vertex][0], ATLAS_UV[vertex][1]));
        // Positions stay those of the unit cube; the size goes into the matrix.
        EXPECT_EQ(positionOf(atlas->getVertexData(), vertex), positionOf(TexturedCuboid::templateVertexData, vertex));
    }
    // The wall repeats its picture every 10 units: +Y spans 20 x 12, +X 1 x 12,
    // +Z 20 x 1.
    EXPECT_EQ(uvOf(wall->getVertexData(), 2), glm::vec2(2.0f, 1.2f));
    EXPECT_EQ(uvOf(wall->getVertexData(), 0), glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(uvOf(wall->getVertexData(), 8), glm::vec2(2.0f, 1.2f));
    EXPECT_NEAR(uvOf(wall->getVertexData(), 17).x, 0.1f, 1e-6f);
    EXPECT_NEAR(uvOf(wall->getVertexData(), 17).y, 1.2f, 1e-6f);
    EXPECT_NEAR(uvOf(wall->getVertexData(), 19).y, 1.2f, 1e-6f);
    EXPECT_NEAR(uvOf(wall->getVertexData(), 26).x, 2.0f, 1e-6f);
    EXPECT_NEAR(uvOf(wall->getVertexData(), 26).y, 0.1f, 1e-6f);
    EXPECT_NEAR(uvOf(wall->getVertexData(), 35).y, 0.1f, 1e-6f);
    delete plain;
    delete atlas;
    delete wall;
}

TEST(TexturedCuboidTransform, ScalesThenTurnsAboutThePivotThenAboutZThenPlaces)
{
    TexturedCuboid* cube = box(1.0f, 1.0f, 1.0f);
    cube->position = glm::vec3(7.0f, 8.0f, 9.0f);
    expectNear(transform(cube->getWorldMatrix(), glm::vec3(0.5f, -0.5f, 0.5f)), glm::vec3(7.5f, 7.5f, 9.5f));

    TexturedCuboid* arm = box(2.0f, 4.0f, 0.5f);
    arm->pivot = glm::vec3(0.0f, 0.0f, -0.25f);
    for (float turn : {0.3f, 1.0f, 2.5f}) {
        arm->rotation.y = turn;
        expectNear(transform(arm->getWorldMatrix(), glm::vec3(0.0f, 0.0f, 0.5f)), glm::vec3(0.0f, 0.0f, 0.25f));
    }
    arm->rotation.y = static_cast<float>(M_PI / 2.0);
    expectNear(transform(arm->getWorldMatrix(), glm::vec3(0.0f)), glm::vec3(-0.25f, 0.0f, 0.25f));
    arm->rotation.z = static_cast<float>(M_PI / 2.0);
    arm->position = glm::vec3(10.0f, 0.0f, 0.0f);
    expectNear(transform(arm->getWorldMatrix(), glm::vec3(0.0f)), glm::vec3(10.0f, -0.25f, 0.25f));

    arm->scale = 2.0f;
    arm->rotation = glm::vec3(0.0f);
    arm->pivot = glm::vec3(0.0f);
    arm->position = glm::vec3(0.0f);
    expectNear(transform(arm->getWorldMatrix(), glm::vec3(0.5f)), glm::vec3(2.0f, 4.0f, 0.5f));
    delete cube;
    delete arm;
}

TEST_F(TexturedCuboidTest, DrawsItsTopFaceWithBackFacesCulled)
{
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    TexturedCuboid* cube = box(2.0f, 2.0f, 2.0f);
    cube->setup(UV_MAPPING_ATLAS);
    FixedPoint lamp(glm::vec3(0.0f));
    cube->render(&camera, &lamp, false);
    EXPECT_GT(brightness(gl.readPixel(100, 100)), 300);
    EXPECT_EQ(gl.readPixel(100, 150), BLACK);
    glDisable(GL_CULL_FACE);
    delete cube;
}

TEST_F(TexturedCuboidTest, ANullLightKeepsTheLightTheSharedProgramLastHad)
{
    TexturedCuboid* first = box(1.0f, 1.0f, 1.0f);
    TexturedCuboid* second = box(1.0f, 1.0f, 1.0f);
    first->setup(UV_MAPPING_TEMPLATE);
    second->setup(UV_MAPPING_TEMPLATE);
    FixedPoint lamp(glm::vec3(4.0f, 5.0f, 6.0f));
    first->render(&camera, &lamp, false);
    second->render(&camera, nullptr, false);

    ShaderProgram* program = ProgramManager::getInstance()->loadProgram(SIMPLE_VS, SIMPLE_FS, "");
    glm::vec3 light(0.0f);
    glGetUniformfv(program->getId(), glGetUniformLocation(program->getId(), "u_light_pos"), &light[0]);
    EXPECT_EQ(light, glm::vec3(4.0f, 5.0f, 3.0f)) << "the light rides 3 units above the floor";
    ProgramManager::getInstance()->freeProgram(SIMPLE_VS, SIMPLE_FS, "");
    delete first;
    delete second;
}

TEST_F(TexturedCuboidTest, TransparentBoxesBlendAtFortyPercentAndRestoreTheState)
{
    TexturedCuboid* cube = box(2.0f, 2.0f, 2.0f);
    cube->setup(UV_MAPPING_TEMPLATE);
    FixedPoint lamp(glm::vec3(0.0f));
    cube->render(&camera, &lamp, false);
    const glm::u8vec4 opaque = gl.readPixel(100, 100);

    gl.clear(glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    cube->render(&camera, &lamp, true);
    const glm::u8vec4 seeThrough = gl.readPixel(100, 100);
    // Without the depth test every face is layered at 40 %, so the red
    // behind shows through and the box only tints it.
    EXPECT_GT(seeThrough.g, 20);
    EXPECT_LT(seeThrough.g, opaque.g * 0.6f);
    EXPECT_GT(seeThrough.r, seeThrough.g + 50);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    delete cube;
}

TEST_F(TexturedCuboidTest, DestroyingABoxReleasesItsPictureAndProgram)
{
    TexturedCuboid* cube = box(1.0f, 1.0f, 1.0f);
    cube->setup(UV_MAPPING_TEMPLATE);
    ShaderProgram* program = ProgramManager::getInstance()->loadProgram(SIMPLE_VS, SIMPLE_FS, "");
    const GLuint programId = program->getId();
    ProgramManager::getInstance()->freeProgram(SIMPLE_VS, SIMPLE_FS, "");
    GLint texture = 0;
    glActiveTexture(GL_TEXTURE0);
    cube->render(&camera, nullptr, false);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    ASSERT_NE(texture, 0);
    delete cube;
    glUseProgram(0); // GL keeps a deleted program alive while it is current.
    EXPECT_FALSE(glIsProgram(programId));
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(texture))) << "both references to the picture were returned";
}
