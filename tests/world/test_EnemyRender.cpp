#include <gtest/gtest.h>

#include <map>
#include <string>

#include "WorldTestKit.h"
#include "core/Util.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "support/TestPackage.h"

namespace {

// The game's shaders, with every picture an enemy or boss asks for plain
// white, so that whatever they draw shows against black.
std::map<std::string, std::string> monsterEntries()
{
    std::map<std::string, std::string> entries = levelEntries("", "");
    const std::string white = entries.at("textures/particle.bmp");
    for (const char* path : {"textures/enemyhealthbar.png", "textures/enemyhealthbar_frame.png", "textures/font.png",
                             "textures/units/zombie.png", "textures/units/zombie_arm.png", "textures/units/boss1.png",
                             "textures/units/boss1_arm.png"})
        entries[path] = white;
    return entries;
}

// Looks straight down on the origin, where the monsters stand.
class EnemyRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worldContext().ok()) << worldContext().error();
        ASSERT_TRUE(package.ok());
    }

    // Where the bar goes: 100 pixels above the projected centre, in HUD
    // coordinates (origin at the bottom left).
    glm::ivec2 barPixel(const glm::vec3& position)
    {
        const glm::vec2 s = world_to_screen(position, camera.getPerspectiveMatrix(), camera.getViewMatrix());
        return glm::ivec2(static_cast<int>(s.x), static_cast<int>(SCREEN_HEIGHT - s.y + 102.0f));
    }
    // Clears, draws the overlay once and reads the pixel.
    template <typename Monster> glm::u8vec4 overlayAt(Monster& monster, const glm::ivec2& pixel)
    {
        worldContext().clear();
        monster.renderHealthBar(&camera);
        return worldContext().readPixel(pixel.x, pixel.y);
    }

    TestPackage package{monsterEntries()};
    StillCamera camera{glm::vec3(0.0f, 0.0f, 60.0f), glm::vec3(0.0f, 0.0f, 0.0f)};
};

const glm::u8vec4 BLACK(0, 0, 0, 255);

} // namespace

TEST_F(EnemyRender, TheBarShowsAboveTheEnemyFromTheSecondFrameOnAndNotOnceItIsDead)
{
    Enemy enemy(0.0f, -40.0f, 1.0f, 2, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
    ASSERT_TRUE(enemy.setup());
    ASSERT_NE(enemy.body, nullptr);
    const glm::ivec2 bar = barPixel(enemy.position);

    // Drawn where the previous frame put it: the first frame still shows it
    // at its constructed place.
    EXPECT_EQ(overlayAt(enemy, bar), BLACK);
    EXPECT_NE(overlayAt(enemy, bar), BLACK);

    enemy.toggleHealthBarEnabled();
    EXPECT_EQ(overlayAt(enemy, bar), BLACK);
    enemy.toggleHealthBarEnabled();

    enemy.kill(-1);
    EXPECT_EQ(overlayAt(enemy, bar), BLACK);
}

TEST_F(EnemyRender, ABossSetsUpItsMinionAndShowsItsBarUntilKilled)
{
    Boss boss(0.0f, -40.0f, ENEMY_TYPE_RABAKULUS, nullptr, nullptr, nullptr);
    ASSERT_TRUE(boss.setup());
    EXPECT_NE(boss.body, nullptr);
    EXPECT_NE(boss.minion->body, nullptr);
    const glm::ivec2 bar = barPixel(boss.position);

    EXPECT_EQ(overlayAt(boss, bar), BLACK);
    EXPECT_NE(overlayAt(boss, bar), BLACK);
    boss.kill();
    EXPECT_EQ(overlayAt(boss, bar), BLACK);
}
