#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "RenderTestKit.h"
#include "render/Camera.h"

namespace {

Camera gameCamera(float width = 1280.0f, float height = 720.0f)
{
    return Camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f), width, height);
}

void expectVec3(const glm::vec3& actual, const glm::vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

} // namespace

TEST(CameraZoom, WheelStepsMoveTheGoalByOneWithinEightToFourteen)
{
    Camera camera = gameCamera();
    EXPECT_FLOAT_EQ(camera.getTargetDistance(), 12.0f);
    const float zoomingIn[] = {11.0f, 10.0f, 9.0f, 8.0f, 8.0f, 8.0f};
    for (float expected : zoomingIn) {
        camera.zoomIn();
        EXPECT_FLOAT_EQ(camera.getTargetDistance(), expected);
    }

    Camera other = gameCamera();
    const float zoomingOut[] = {13.0f, 14.0f, 14.0f, 14.0f};
    for (float expected : zoomingOut) {
        other.zoomOut();
        EXPECT_FLOAT_EQ(other.getTargetDistance(), expected);
    }
}

TEST(CameraZoom, DistanceEasesTowardsTheGoalAtTenPerSecondAndMayOvershoot)
{
    Camera camera = gameCamera();
    EXPECT_FLOAT_EQ(camera.getDistance(), 20.0f);
    camera.update(0.05f);
    EXPECT_NEAR(camera.getDistance(), 16.0f, 1e-5f);

    // A long frame is not clamped: 20 + 0.15 * (12 - 20) * 10 = 8.
    Camera slow = gameCamera();
    slow.update(0.15f);
    EXPECT_NEAR(slow.getDistance(), 8.0f, 1e-5f);
    slow.update(0.05f);
    EXPECT_NEAR(slow.getDistance(), 10.0f, 1e-5f);
}

// One step of 0.2 s would swing between 4 and 20 for ever and longer ones
// would run away; frames that slow ease in shorter steps and settle.
TEST(CameraZoom, TheZoomSettlesAtAFewFramesASecondAndStaysSettled)
{
    for (float frame : {0.2f, 0.3f, 0.5f, 2.0f}) {
        SCOPED_TRACE(frame);
        Camera camera = gameCamera();
        for (int i = 0; i < 200; ++i) {
            camera.update(frame);
            ASSERT_GE(camera.getDistance(), 8.0f);
            ASSERT_LE(camera.getDistance(), 20.0f);
        }
        EXPECT_NEAR(camera.getDistance(), 12.0f, 1e-4f);
    }
}

TEST(CameraFollow, WithoutAFollowableTheEyeStaysWhereItWasPut)
{
    Camera camera = gameCamera();
    camera.setEyeLook(glm::vec3(1.0f, 2.0f, 3.0f), glm::vec3(4.0f, 5.0f, 6.0f));
    camera.update(0.05f);
    expectVec3(camera.getPosition(), glm::vec3(1.0f, 2.0f, 3.0f));
    expectVec3(camera.getLookAt(), glm::vec3(4.0f, 5.0f, 6.0f));
    EXPECT_NEAR(camera.getDistance(), 16.0f, 1e-5f);
}

TEST(CameraFollow, TheEyeSitsSixUnitsBehindAndUsesLastFramesDistance)
{
    Camera camera = gameCamera();
    FixedPoint hero(glm::vec3(50.0f, 30.0f, 0.5f));
    camera.setFollowable(&hero);
    camera.update(0.05f);
    expectVec3(camera.getLookAt(), hero.at);
    expectVec3(camera.getPosition(), glm::vec3(50.0f, 24.0f, 20.5f));

    hero.at = glm::vec3(10.0f, 10.0f, 0.0f);
    camera.update(0.05f);
    expectVec3(camera.getPosition(), glm::vec3(10.0f, 4.0f, 16.0f));

    // setEyeLook only lasts until the next update while following.
    camera.setEyeLook(glm::vec3(0.0f), glm::vec3(1.0f));
    camera.update(0.0f);
    expectVec3(camera.getLookAt(), hero.at);

    const glm::mat4 expectedView = glm::lookAt(camera.getPosition(), hero.at, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(camera.getViewMatrix(), expectedView);
}

TEST(CameraMatrices, PerspectiveIsNinetyDegreesFromPointZeroOneToOneHundred)
{
    Camera camera = gameCamera(1280.0f, 720.0f);
    const glm::mat4& p = camera.getPerspectiveMatrix();
    EXPECT_NEAR(p[0][0], 720.0f / 1280.0f, 1e-6f);
    EXPECT_NEAR(p[1][1], 1.0f, 1e-6f);
    EXPECT_NEAR(p[2][2], -1.0002f, 1e-6f);
    EXPECT_NEAR(p[2][3], -1.0f, 1e-6f);
    EXPECT_NEAR(p[3][2], -0.020002f, 1e-6f);
    int zeros = 0;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r)
            zeros += p[c][r] == 0.0f ? 1 : 0;
    }
    EXPECT_EQ(zeros, 11);
}

TEST(CameraMatrices, OrthographicMapsWindowPixelsOntoClipSpace)
{
    Camera camera = gameCamera(1280.0f, 720.0f);
    const glm::mat4& ortho = camera.getOrthogonalMatrix();
    const glm::vec4 topRight = ortho * glm::vec4(1280.0f, 720.0f, 0.0f, 1.0f);
    const glm::vec4 bottomLeft = ortho * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    const glm::vec4 centre = ortho * glm::vec4(640.0f, 360.0f, 0.0f, 1.0f);
    EXPECT_NEAR(topRight.x, 1.0f, 1e-6f);
    EXPECT_NEAR(topRight.y, 1.0f, 1e-6f);
    EXPECT_NEAR(bottomLeft.x, -1.0f, 1e-6f);
    EXPECT_NEAR(bottomLeft.y, -1.0f, 1e-6f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
}
