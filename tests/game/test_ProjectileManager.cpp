#include <gtest/gtest.h>

#include "game/ProjectileManager.h"
#include "test_EnemyDoubles.h"
#include "test_UnitDoubles.h"

namespace {

const glm::vec3 RED(1.0f, 0.0f, 0.0f);

// A pool over an open level with the player at (0, 0) and one enemy at
// (20, 0); every message goes to the recorder.
class ProjectileTest : public ::testing::Test {
protected:
    ProjectileTest() : player(0.0f, 0.0f), enemy(20.0f, 0.0f), pool(&level, &player, &field)
    {
        field.units.push_back(&enemy);
    }

    // Fires one shot of 'owner' from (x, y) along +x.
    void fire(float x, float y, Unit* owner, int damage = 75)
    {
        pool.add(glm::vec3(x, y, 5.0f), glm::vec3(1.0f, 0.0f, 0.0f), 10.0f, RED, owner, damage);
    }

    BusRecorder bus;
    FakeWorld level;
    Target player;
    Target enemy;
    UnitField field;
    ProjectileManager pool;
};

} // namespace

TEST_F(ProjectileTest, AShotTakesTheFirstFreeRecordWithItsVelocityInTheFloorPlane)
{
    EXPECT_EQ(pool.getActiveCount(), 0);
    pool.add(glm::vec3(3.0f, 4.0f, 9.0f), glm::vec3(3.0f, 0.0f, 4.0f), 10.0f, glm::vec3(0.1f, 0.2f, 0.3f), &enemy,
             42);

    const projectile_data& shot = pool.getProjectile(0);
    EXPECT_FLOAT_EQ(shot.x, 3.0f);
    EXPECT_FLOAT_EQ(shot.y, 4.0f);
    EXPECT_FLOAT_EQ(shot.active, 1.0f);
    // The direction is normalised with its z, which is then dropped.
    EXPECT_FLOAT_EQ(shot.vx, 6.0f);
    EXPECT_FLOAT_EQ(shot.vy, 0.0f);
    EXPECT_FLOAT_EQ(shot.damage, 42.0f);
    EXPECT_FLOAT_EQ(shot.color[2], 0.3f);
    EXPECT_EQ(shot.owner, &enemy);
    EXPECT_LT(pool.getProjectile(1).active, 0.0f);
}

TEST_F(ProjectileTest, TheTwentyFirstShotIsDroppedAndAFreedRecordIsReused)
{
    for (int i = 0; i < ProjectileManager::MAX_PROJECTILES + 1; ++i)
        fire(100.0f, 10.0f + i, &enemy);
    EXPECT_EQ(pool.getActiveCount(), ProjectileManager::MAX_PROJECTILES);
    EXPECT_FLOAT_EQ(pool.getProjectile(19).y, 29.0f);

    // The first twenty fly on.
    pool.update(0.5f, &player);
    EXPECT_FLOAT_EQ(pool.getProjectile(0).x, 105.0f);
    EXPECT_EQ(pool.getActiveCount(), ProjectileManager::MAX_PROJECTILES);

    // Record 3 hits a wall; the next shot goes into it.
    level.solid = [](const glm::vec3& p, float) { return p.y == 13.0f; };
    pool.update(0.0f, &player);
    level.solid = [](const glm::vec3&, float) { return false; };
    fire(50.0f, -50.0f, &enemy);
    EXPECT_FLOAT_EQ(pool.getProjectile(3).x, 50.0f);
    EXPECT_EQ(pool.getActiveCount(), ProjectileManager::MAX_PROJECTILES);
}

TEST_F(ProjectileTest, AShotWithoutDirectionIsNotFired)
{
    pool.add(glm::vec3(1.0f), glm::vec3(0.0f), 10.0f, RED, &enemy, 5);
    EXPECT_EQ(pool.getActiveCount(), 0);
}

TEST_F(ProjectileTest, AShotMovesOnlyWhenNothingWasHitAndIsTestedWhereItStarts)
{
    fire(-10.0f, 30.0f, &enemy);
    pool.update(0.25f, &player);
    EXPECT_FLOAT_EQ(pool.getProjectile(0).x, -7.5f);
    // Walls are asked at the flight height with the 2 x 2 square.
    ASSERT_FALSE(level.collisionRadii.empty());
    EXPECT_FLOAT_EQ(level.collisionRadii.back(), 1.0f);

    // Fired right onto the player: it hurts at its start, before moving.
    fire(0.5f, 0.5f, &enemy);
    pool.update(0.25f, &player);
    ASSERT_EQ(bus.of(MESSAGE_PLAYER_RECEIVED_DAMAGE).size(), 1u);
    EXPECT_LT(pool.getProjectile(1).active, 0.0f);
    EXPECT_FLOAT_EQ(pool.getProjectile(1).x, 0.5f);
}

TEST_F(ProjectileTest, AnEnemyShotHurtsThePlayerAndPassesThroughEnemies)
{
    fire(19.5f, 0.0f, &enemy, 75);
    pool.update(0.01f, &player);
    EXPECT_TRUE(bus.messages.empty());
    EXPECT_GT(pool.getProjectile(0).active, 0.0f);

    fire(-0.5f, 0.0f, &enemy, 75);
    pool.update(0.01f, &player);
    ASSERT_EQ(bus.messages.size(), 1u);
    EXPECT_EQ(bus.messages[0].kind, MESSAGE_PLAYER_RECEIVED_DAMAGE);
    EXPECT_EQ(bus.messages[0].value, 75);
    EXPECT_EQ(bus.messages[0].custom, static_cast<void*>(static_cast<Unit*>(&player)));
    EXPECT_LT(pool.getProjectile(1).active, 0.0f);
}

TEST_F(ProjectileTest, ThePlayersShotHitsEnemiesAndAlsoThePlayer)
{
    fire(19.5f, 0.0f, &player, 75);
    pool.update(0.01f, &player);
    ASSERT_EQ(bus.messages.size(), 1u);
    EXPECT_EQ(bus.messages[0].kind, MESSAGE_ENEMY_RECEIVED_DAMAGE);
    EXPECT_EQ(bus.messages[0].value, 75);
    EXPECT_EQ(bus.messages[0].custom, static_cast<void*>(static_cast<Unit*>(&enemy)));
    EXPECT_EQ(pool.getActiveCount(), 0);

    // Where player and enemy overlap, the player is hurt first, then the enemy.
    enemy.position = glm::vec3(0.5f, 0.0f, 1.0f);
    bus.messages.clear();
    fire(0.2f, 0.0f, &player, 30);
    pool.update(0.01f, &player);
    ASSERT_EQ(bus.messages.size(), 2u);
    EXPECT_EQ(bus.messages[0].kind, MESSAGE_PLAYER_RECEIVED_DAMAGE);
    EXPECT_EQ(bus.messages[1].kind, MESSAGE_ENEMY_RECEIVED_DAMAGE);
    EXPECT_EQ(bus.messages[1].value, 30);
    EXPECT_EQ(pool.getActiveCount(), 0);
}

TEST_F(ProjectileTest, AWallCountsOnlyWhenNoUnitWasHit)
{
    level.solid = [](const glm::vec3&, float) { return true; };
    fire(50.0f, 50.0f, &enemy);
    fire(0.0f, 0.0f, &enemy, 12);
    fire(20.0f, 0.0f, &player, 13);
    pool.update(0.1f, &player);

    EXPECT_EQ(pool.getActiveCount(), 0);
    EXPECT_FLOAT_EQ(pool.getProjectile(0).x, 50.0f);
    EXPECT_EQ(bus.values(MESSAGE_PLAYER_RECEIVED_DAMAGE), std::vector<int>{12});
    EXPECT_EQ(bus.values(MESSAGE_ENEMY_RECEIVED_DAMAGE), std::vector<int>{13});
}

TEST_F(ProjectileTest, HitsAreAppliedBeforeTheNextRecordIsLookedAt)
{
    // Like the game: the first hit kills the enemy, which leaves the list.
    bus.onMessage = [this](const BusMessage& m) {
        if (m.kind == MESSAGE_ENEMY_RECEIVED_DAMAGE)
            field.units.clear();
    };
    fire(20.0f, 0.0f, &player, 1);
    fire(20.2f, 0.0f, &player, 2);
    pool.update(0.01f, &player);
    EXPECT_EQ(bus.values(MESSAGE_ENEMY_RECEIVED_DAMAGE), std::vector<int>{1});
    EXPECT_EQ(pool.getActiveCount(), 1);

    // Two shots into a living enemy in one frame: two messages in pool
    // order, and the newer shot went into the freed first record.
    field.units.push_back(&enemy);
    bus.onMessage = nullptr;
    bus.messages.clear();
    fire(20.4f, 0.0f, &player, 3);
    pool.update(0.0f, &player);
    EXPECT_EQ(bus.values(MESSAGE_ENEMY_RECEIVED_DAMAGE), (std::vector<int>{3, 2}));
}
