#include <gtest/gtest.h>

#include <map>
#include <string>

#include "WorldTestKit.h"
#include "game/ProjectileManager.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

// A level with one solid point, where a projectile is freed; no units.
class OneWallPoint : public Collidable {
public:
    glm::vec2 wall{0.0f, 0.0f};

    bool isCollision(const glm::vec3& p, float) override { return p.x == wall.x && p.y == wall.y; }
    void* isCollisionExt(const glm::vec3&, float) override { return nullptr; }
    bool lineOfSight(const glm::vec3&, const glm::vec3&, float) override { return false; }
    void* lineOfSightExt(const glm::vec3&, const glm::vec3&, bool* clear, float) override
    {
        *clear = false;
        return nullptr;
    }
};

// The game's shaders and a plain white sprite, seen from 20 units above.
class ProjectileRender : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(worldContext().ok()) << worldContext().error(); }

    // Draws the pool over black; the pixel at the flight height above a floor point.
    glm::u8vec4 drawnAt(ProjectileManager& pool, const glm::vec3& floorPoint)
    {
        worldContext().clear();
        glEnable(GL_PROGRAM_POINT_SIZE);
        pool.render(&camera);
        const glm::ivec2 pixel = camera.pixelOf(glm::vec3(floorPoint.x, floorPoint.y, 1.0f));
        return worldContext().readPixel(pixel.x, pixel.y);
    }

    OneWallPoint level;
    StillCamera camera{glm::vec3(0.0f, 0.0f, 20.0f), glm::vec3(0.0f, 0.0f, 0.0f)};
};

} // namespace

TEST_F(ProjectileRender, ThePoolIsTheVertexBufferEachLiveRecordDrawnInItsColourAtItsPlace)
{
    TestPackage package(levelEntries("", ""));
    ASSERT_TRUE(package.ok());
    ProjectileManager pool(&level, &level, &level);
    ASSERT_TRUE(pool.setup());

    const glm::vec3 first(-6.0f, 4.0f, 0.0f);
    const glm::vec3 freed(0.0f, 0.0f, 0.0f);
    const glm::vec3 last(5.0f, -3.0f, 0.0f);
    const glm::vec3 along(1.0f, 0.0f, 0.0f);
    pool.add(first, along, 1.0f, glm::vec3(0.2f, 0.6f, 1.0f), nullptr, 1);
    pool.add(freed, along, 1.0f, glm::vec3(1.0f, 1.0f, 1.0f), nullptr, 1);
    for (int i = 2; i < ProjectileManager::MAX_PROJECTILES; ++i)
        pool.add(last, along, 1.0f, glm::vec3(1.0f, 0.0f, 0.0f), nullptr, 1);
    // Record 1 hits the wall and is freed; its vertex is still drawn, unseen.
    pool.update(0.0f, nullptr);
    ASSERT_EQ(pool.getActiveCount(), ProjectileManager::MAX_PROJECTILES - 1);

    const glm::u8vec4 blue = drawnAt(pool, first);
    EXPECT_NEAR(blue.r, 51, 2);
    EXPECT_NEAR(blue.g, 153, 2);
    EXPECT_EQ(blue.b, 255);
    const glm::u8vec4 red = drawnAt(pool, last);
    EXPECT_EQ(red, glm::u8vec4(255, 0, 0, red.a));
    EXPECT_EQ(drawnAt(pool, freed), glm::u8vec4(0, 0, 0, 255));
    // Blending off and the depth test on again, as the frame expects them.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(ProjectileRender, AMovedShotIsDrawnWhereItFliesAndASetupWithoutShadersFails)
{
    {
        TestPackage package(levelEntries("", ""));
        ProjectileManager pool(&level, &level, &level);
        ASSERT_TRUE(pool.setup());
        level.wall = glm::vec2(-100.0f, -100.0f);
        pool.add(glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f), 4.0f, glm::vec3(0.0f, 1.0f, 0.0f), nullptr, 1);
        pool.update(1.5f, nullptr);
        EXPECT_EQ(drawnAt(pool, glm::vec3(0.0f, 6.0f, 0.0f)).g, 255);
        EXPECT_EQ(drawnAt(pool, glm::vec3(0.0f)).g, 0);
    }

    std::map<std::string, std::string> spriteOnly;
    spriteOnly["textures/particle.bmp"] = levelEntries("", "").at("textures/particle.bmp");
    TestPackage package(spriteOnly);
    ProjectileManager pool(&level, &level, &level);
    LogCapture log;
    EXPECT_FALSE(pool.setup());
    EXPECT_TRUE(log.contains("[ERROR]"));
    // Not drawable, and harmless to draw.
    pool.add(glm::vec3(0.0f), glm::vec3(1.0f, 0.0f, 0.0f), 1.0f, glm::vec3(1.0f), nullptr, 1);
    EXPECT_EQ(drawnAt(pool, glm::vec3(0.0f)), glm::u8vec4(0, 0, 0, 255));
}
