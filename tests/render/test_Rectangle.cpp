#include <gtest/gtest.h>

#include <GL/glew.h>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/Rectangle.h"
#include "GLContext.h"
#include "support/TestPackage.h"

namespace {

glm::vec3 corner(const Rectangle& rectangle, int point)
{
    const float* p = rectangle.getVertexData() + point * 3;
    return glm::vec3(rectangle.getWorldMatrix() * glm::vec4(p[0], p[1], p[2], 1.0f));
}

// The brightest green in the 3 x 3 pixels around a point: lines land within
// a pixel of their mathematical place.
int greenAround(const GLContext& gl, const glm::vec2& at)
{
    int best = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const glm::u8vec4 pixel = gl.readPixel(static_cast<int>(at.x) + dx, static_cast<int>(at.y) + dy);
            if (pixel.r == 0 && pixel.b == 0)
                best = std::max(best, static_cast<int>(pixel.g));
        }
    }
    return best;
}

} // namespace

TEST(RectangleOutline, AClosedStripAroundThePositionOneUnitUp)
{
    Rectangle rectangle(10.0f, 20.0f, 0.0f, 4.0f, 2.0f);
    const glm::vec3 expected[5] = {{8, 21, 1}, {8, 19, 1}, {12, 19, 1}, {12, 21, 1}, {8, 21, 1}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(corner(rectangle, i), expected[i]) << "point " << i;
    EXPECT_EQ(rectangle.color, glm::vec3(0.0f, 1.0f, 0.0f));

    rectangle.position = glm::vec3(0.0f);
    rectangle.width = 1.0f;
    EXPECT_EQ(corner(rectangle, 2), glm::vec3(0.5f, -1.0f, 1.0f));
}

TEST(RectangleOutline, DrawsOnlyTheOutlineInItsColour)
{
    GLContext gl(200, 200);
    ASSERT_TRUE(gl.ok()) << gl.error();
    TestPackage package(gameShaderEntries());
    Camera camera = topDownCamera(200, 200);
    gl.clear();

    Rectangle rectangle(0.0f, 0.0f, 0.0f, 10.0f, 6.0f);
    ASSERT_TRUE(rectangle.setup());
    rectangle.render(&camera);

    const glm::mat4 view = camera.getViewMatrix();
    const glm::mat4& projection = camera.getPerspectiveMatrix();
    const glm::vec2 leftEdge = projectToWindow(projection, view, glm::vec3(-5.0f, 0.0f, 1.0f), 200, 200);
    const glm::vec2 topEdge = projectToWindow(projection, view, glm::vec3(2.0f, 3.0f, 1.0f), 200, 200);
    const glm::vec2 bottomEdge = projectToWindow(projection, view, glm::vec3(-2.0f, -3.0f, 1.0f), 200, 200);
    EXPECT_GT(greenAround(gl, leftEdge), 200);
    EXPECT_GT(greenAround(gl, topEdge), 200);
    EXPECT_GT(greenAround(gl, bottomEdge), 200);
    EXPECT_EQ(gl.readPixel(100, 100), glm::u8vec4(0, 0, 0, 255)) << "the inside stays empty";

    gl.clear();
    rectangle.color = glm::vec3(1.0f, 0.0f, 0.0f);
    rectangle.position = glm::vec3(1.0f, 0.0f, 0.0f);
    rectangle.render(&camera);
    const glm::vec2 movedLeft = projectToWindow(projection, view, glm::vec3(-4.0f, 0.0f, 1.0f), 200, 200);
    EXPECT_EQ(greenAround(gl, leftEdge), 0);
    bool red = false;
    for (int dx = -1; dx <= 1; ++dx)
        red = red || gl.readPixel(static_cast<int>(movedLeft.x) + dx, static_cast<int>(movedLeft.y)).r > 200;
    EXPECT_TRUE(red);
}
