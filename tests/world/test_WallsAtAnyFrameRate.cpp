#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "WorldTestKit.h"
#include "core/MailBox.h"
#include "game/Boss.h"
#include "game/Player.h"
#include "game/ProjectileManager.h"

// Walls one cell thick hold the hero, the shots and a charging boss however
// long the frames are. The grid cell of a wall answers for half a cell on
// either side of its column, so a wall in column 40 is met by any square
// whose corner reaches 39.5 from the west or 40.5 from the east.

namespace {

constexpr int WALL_COLUMN = 40;
constexpr float WALL_WEST = WALL_COLUMN - 0.5f;
constexpr float WALL_EAST = WALL_COLUMN + 0.5f;
constexpr float SIXTY_FPS = 1.0f / 60.0f;
const float FRAME_TIMES[] = {SIXTY_FPS, 0.05f, 0.2f, 0.5f};
// Starts a tenth of a unit apart, so that some long frames of an unguarded
// mover would land beyond the wall or inside it.
constexpr int START_OFFSETS = 10;

float startOffset(int i)
{
    return 0.1f * static_cast<float>(i);
}

int framesFor(float seconds, float dt)
{
    return static_cast<int>(std::ceil(seconds / dt));
}

class WallsAtAnyFrameRate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worldContext().ok()) << worldContext().error();
        // An 80 x 30 room split by a wall down column 40 from bottom to top.
        std::vector<std::string> rows(30, std::string(80, '.'));
        for (std::string& row : rows)
            row[WALL_COLUMN] = '|';
        loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(rows)));
        ASSERT_TRUE(loaded.ok) << loaded.log;
    }

    void TearDown() override { MailBox::getInstance()->clear(); }

    // Walks a hero from x0 along 'direction' for four seconds; gives where it
    // stopped and, through the pointers, how far east and west it ever went.
    float walk(float x0, const glm::vec3& direction, float dt, float* east, float* west)
    {
        Player hero(x0, 15.0f);
        hero.speed = 9.0f;
        hero.setMovementDirection(direction);
        *east = *west = hero.position.x;
        for (int frame = 0; frame < framesFor(4.0f, dt); ++frame) {
            hero.update(dt, loaded.level);
            *east = std::max(*east, hero.position.x);
            *west = std::min(*west, hero.position.x);
        }
        return hero.position.x;
    }

    LoadedLevel loaded;
};

// The reach of the hero's wall test and the longest step of its walk.
constexpr float HERO_REACH = 0.75f;
constexpr float WALK_STEP = 0.25f;

} // namespace

TEST_F(WallsAtAnyFrameRate, TheHeroNeverCrossesAWallAndStopsWhereItStopsAtSixtyFramesASecond)
{
    const glm::vec3 directions[] = {glm::vec3(1.0f, 0.0f, 0.0f), glm::normalize(glm::vec3(1.0f, 0.4f, 0.0f)),
                                    glm::vec3(-1.0f, 0.0f, 0.0f)};
    for (const glm::vec3& direction : directions) {
        const float x0 = direction.x > 0.0f ? 30.0f : 50.0f;
        for (int i = 0; i < START_OFFSETS; ++i) {
            float east = 0.0f;
            float west = 0.0f;
            const float smooth = walk(x0 + startOffset(i), direction, SIXTY_FPS, &east, &west);
            for (float dt : FRAME_TIMES) {
                SCOPED_TRACE(testing::Message() << "dt " << dt << " from x " << x0 + startOffset(i)
                                                << " heading x " << direction.x);
                const float stop = walk(x0 + startOffset(i), direction, dt, &east, &west);
                if (direction.x > 0.0f)
                    EXPECT_LT(east + HERO_REACH, WALL_WEST);
                else
                    EXPECT_GE(west - HERO_REACH, WALL_EAST);
                EXPECT_NEAR(stop, smooth, WALK_STEP);
            }
        }
    }
}

TEST_F(WallsAtAnyFrameRate, AShotAtAWallHitsItWhateverTheFrameTime)
{
    // The hero stands far from the line of fire, and no enemy is about.
    Player hero(10.0f, 2.0f);
    constexpr float SHOT_REACH = 1.0f;
    for (float speed : {10.0f, 20.0f, 25.0f}) {
        for (float dt : FRAME_TIMES) {
            for (int i = 0; i < START_OFFSETS; ++i) {
                SCOPED_TRACE(testing::Message() << "speed " << speed << " dt " << dt << " offset " << i);
                ProjectileManager shots(loaded.level, &hero, &hero);
                shots.add(glm::vec3(30.0f + startOffset(i), 15.0f, 1.0f), glm::vec3(1.0f, 0.0f, 0.0f), speed,
                          glm::vec3(1.0f), nullptr, 10);
                for (int frame = 0; frame < framesFor(2.0f, dt) && shots.getActiveCount() > 0; ++frame)
                    shots.update(dt, &hero);
                EXPECT_EQ(shots.getActiveCount(), 0) << "the wall stops the shot";
                const float x = shots.getProjectile(0).x;
                EXPECT_GE(x + SHOT_REACH, WALL_WEST);
                EXPECT_LT(x + SHOT_REACH, WALL_WEST + speed * std::min(dt, 0.45f / speed) + 1e-4f)
                    << "stopped at the first step that reached the wall";
            }
        }
    }
}

TEST_F(WallsAtAnyFrameRate, AChargingBossStopsAtAWallWhateverTheFrameTime)
{
    Player hero(10.0f, 2.0f);
    constexpr float BOSS_REACH = 3.0f;
    constexpr float CHARGE_STEP = 0.75f;
    for (float dt : FRAME_TIMES) {
        for (int i = 0; i < START_OFFSETS; ++i) {
            SCOPED_TRACE(testing::Message() << "dt " << dt << " offset " << i);
            Boss boss(24.0f + 2.0f * startOffset(i), 15.0f, ENEMY_TYPE_RABAKULUS, nullptr, nullptr, &hero);
            boss.aggro = true;
            // Just leapt, with a second of charge left: enough to reach the wall.
            boss.state = BOSS_STATE_CHARGE;
            boss.stateTimer = 1.0f;
            boss.chargeDir = glm::vec3(1.0f, 0.0f, 0.0f);
            float east = boss.position.x;
            for (int frame = 0; frame < framesFor(1.0f, dt) && boss.state == BOSS_STATE_CHARGE; ++frame) {
                boss.update(dt, &hero, loaded.level);
                east = std::max(east, boss.position.x);
            }
            EXPECT_EQ(boss.state, BOSS_STATE_IDLE);
            EXPECT_LT(east + BOSS_REACH, WALL_WEST);
            EXPECT_GT(boss.position.x + BOSS_REACH, WALL_WEST - std::min(CHARGE_STEP, 35.0f * dt) - 1e-4f)
                << "stopped by the wall, not by the end of the charge";
        }
    }
}

// At 60 frames a second SDL's millisecond clock gives frames of 16 and 17 ms.
// Each mover then still moves in one whole step, tested where the step ends
// (or, for a shot, where it begins): a move whose end meets the wall is
// undone whole, where two half steps would have gone half the way.
TEST_F(WallsAtAnyFrameRate, AFrameAtSixtyFramesASecondIsStillOneWholeStep)
{
    for (float dt : {0.016f, 0.017f}) {
        SCOPED_TRACE(testing::Message() << "dt " << dt);
        Player hero(WALL_WEST - HERO_REACH - 0.1f, 15.0f);
        hero.speed = 9.0f;
        hero.setMovementDirection(glm::vec3(1.0f, 0.0f, 0.0f));
        hero.update(dt, loaded.level);
        EXPECT_EQ(hero.position.x, WALL_WEST - HERO_REACH - 0.1f);

        Player bystander(10.0f, 2.0f);
        ProjectileManager shots(loaded.level, &bystander, &bystander);
        const float shotX = WALL_WEST - 1.2f;
        shots.add(glm::vec3(shotX, 15.0f, 1.0f), glm::vec3(1.0f, 0.0f, 0.0f), 25.0f, glm::vec3(1.0f), nullptr, 10);
        shots.update(dt, &bystander);
        ASSERT_EQ(shots.getActiveCount(), 1) << "tested at its start only, the shot flies on";
        EXPECT_EQ(shots.getProjectile(0).x, shotX + 25.0f * dt);

        const float bossX = WALL_WEST - 3.0f - 0.4f;
        Boss boss(bossX, 15.0f, ENEMY_TYPE_RABAKULUS, nullptr, nullptr, &bystander);
        boss.aggro = true;
        boss.state = BOSS_STATE_CHARGE;
        boss.stateTimer = 1.0f;
        boss.chargeDir = glm::vec3(1.0f, 0.0f, 0.0f);
        boss.update(dt, &bystander, loaded.level);
        EXPECT_EQ(boss.state, BOSS_STATE_IDLE);
        EXPECT_EQ(boss.position.x, bossX);
    }
}
