#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/Enemy.h"
#include "game/ProjectileManager.h"
#include "test_EnemyDoubles.h"
#include "test_UnitDoubles.h"

namespace {

constexpr float PI = 3.14159265358979f;

// A level-1 zombie at the origin (health 200) with a walking speed of 1,
// an approach point 4 units north of its target, and the player at (20, 0).
class EnemyBehaviourTest : public ::testing::Test {
protected:
    EnemyBehaviourTest() : player(20.0f, 0.0f), enemy(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_ZOMBIE, nullptr, true, true)
    {
        enemy.speedFactor = 1.0f;
        enemy.approachOffset = glm::vec3(0.0f, 4.0f, 0.0f);
    }

    void seePlayer(bool seen)
    {
        level.visible = [seen](const glm::vec3&, const glm::vec3&) { return seen; };
    }
    // Runs frames until the state changes; the number of frames run.
    int runUntilStateChanges(float dt, Unit* target, int limit = 10000)
    {
        const int before = enemy.state;
        int frames = 0;
        while (enemy.state == before && frames < limit) {
            enemy.update(dt, target, &level);
            ++frames;
        }
        return frames;
    }

    TestClock clock{50000};
    BusRecorder bus;
    FakeWorld level;
    Target player;
    Enemy enemy;
};

} // namespace

TEST_F(EnemyBehaviourTest, AnIdleEnemyWandersOutPausesAndWalksHome)
{
    enemy.nextWanderTime = clock.now + 100;
    clock.advance(100);
    enemy.update(0.1f, nullptr, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_IDLE);

    clock.advance(1);
    enemy.update(0.1f, nullptr, &level);
    ASSERT_EQ(enemy.state, ENEMY_STATE_WANDER);
    const glm::vec3 home = enemy.home;
    EXPECT_EQ(home, glm::vec3(0.0f, 0.0f, 1.75f));
    const float reach = glm::length(glm::vec2(enemy.wanderTarget));
    EXPECT_GE(reach, 10.0f / 3.0f - 1e-4f);
    EXPECT_LE(reach, 10.0f + 1e-4f);
    EXPECT_FLOAT_EQ(enemy.wanderTarget.z, 1.0f);

    // 4 units per second times the speed factor, straight at the goal.
    const float before = glm::length(enemy.wanderTarget - enemy.position);
    enemy.update(0.1f, nullptr, &level);
    EXPECT_NEAR(glm::length(enemy.wanderTarget - enemy.position), before - 0.4f, 1e-4f);

    runUntilStateChanges(0.01f, nullptr);
    ASSERT_EQ(enemy.state, ENEMY_STATE_WANDER_PAUSE);
    EXPECT_EQ(enemy.wanderTarget, home);
    EXPECT_GE(enemy.pauseUntil, clock.now + 1000);
    EXPECT_LT(enemy.pauseUntil, clock.now + 6000);

    clock.set(enemy.pauseUntil);
    enemy.update(0.1f, nullptr, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_WANDER_PAUSE);
    clock.advance(1);
    enemy.update(0.0f, nullptr, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_WANDER);

    runUntilStateChanges(0.01f, nullptr);
    EXPECT_EQ(enemy.state, ENEMY_STATE_IDLE);
    EXPECT_LT(glm::length(enemy.position - home), 0.1f);
    EXPECT_GE(enemy.nextWanderTime, clock.now + 2000);
    EXPECT_LT(enemy.nextWanderTime, clock.now + 12000);
    EXPECT_FLOAT_EQ(enemy.armBSwing, 0.0f);

    // Over many walks the waits cover their whole ranges: a pause of 1 to
    // 6 seconds out there, 2 to 12 seconds of idling at home.
    unsigned shortestPause = ~0u, longestPause = 0, shortestIdle = ~0u, longestIdle = 0;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        srand(seed);
        enemy.home = glm::vec3(0.0f, 0.0f, 1.75f);
        enemy.position = enemy.wanderTarget = glm::vec3(5.0f, 5.0f, 1.75f);
        enemy.state = ENEMY_STATE_WANDER;
        enemy.update(0.0f, nullptr, &level);
        ASSERT_EQ(enemy.state, ENEMY_STATE_WANDER_PAUSE);
        shortestPause = std::min(shortestPause, enemy.pauseUntil - clock.now);
        longestPause = std::max(longestPause, enemy.pauseUntil - clock.now);

        enemy.position = enemy.home;
        enemy.state = ENEMY_STATE_WANDER;
        enemy.update(0.0f, nullptr, &level);
        ASSERT_EQ(enemy.state, ENEMY_STATE_IDLE);
        shortestIdle = std::min(shortestIdle, enemy.nextWanderTime - clock.now);
        longestIdle = std::max(longestIdle, enemy.nextWanderTime - clock.now);
    }
    EXPECT_GE(shortestPause, 1000u);
    EXPECT_LT(shortestPause, 1500u);
    EXPECT_GT(longestPause, 5500u);
    EXPECT_LT(longestPause, 6000u);
    EXPECT_GE(shortestIdle, 2000u);
    EXPECT_LT(shortestIdle, 3000u);
    EXPECT_GT(longestIdle, 11000u);
    EXPECT_LT(longestIdle, 12000u);
}

TEST_F(EnemyBehaviourTest, SeeingThePlayerEngagesFromEveryCalmStateWithoutAStep)
{
    seePlayer(true);
    for (int calm : {ENEMY_STATE_IDLE, ENEMY_STATE_WANDER, ENEMY_STATE_WANDER_PAUSE, ENEMY_STATE_SEEK}) {
        enemy.state = calm;
        enemy.wanderTarget = glm::vec3(5.0f, 5.0f, 1.0f);
        const glm::vec3 start = enemy.position;
        bus.messages.clear();
        level.sightQueries.clear();
        enemy.update(0.1f, &player, &level);

        EXPECT_EQ(enemy.state, ENEMY_STATE_ENGAGED) << calm;
        EXPECT_EQ(bus.sounds(), std::vector<int>{SOUND_ZOMBIE_DETECT}) << calm;
        EXPECT_EQ(enemy.position, start) << calm;
        ASSERT_EQ(level.sightQueries.size(), 1u);
        EXPECT_EQ(level.sightQueries[0].to, player.position);
        EXPECT_FLOAT_EQ(level.sightQueries[0].maxDistance, 30.0f);
    }
}

TEST_F(EnemyBehaviourTest, AMeleeEnemyRunsToItsApproachPointAndStrikesOncePerSwing)
{
    seePlayer(true);
    enemy.state = ENEMY_STATE_ENGAGED;
    enemy.speedFactor = 0.5f;
    enemy.update(0.1f, &player, &level);
    const glm::vec3 approach = player.position + enemy.approachOffset;
    EXPECT_NEAR(glm::length(approach - enemy.position), glm::length(approach - glm::vec3(0, 0, 1.75f)) - 0.3f, 1e-4f);
    EXPECT_FLOAT_EQ(enemy.armAPose, -PI / 2.0f);
    EXPECT_FLOAT_EQ(enemy.armBSwing, -PI / 2.0f);
    EXPECT_EQ(enemy.lastKnownTarget, player.position);
    EXPECT_NEAR(enemy.rotation.z, Unit::headingOf(approach - enemy.position, 0.0f), 1e-5f);
    EXPECT_FALSE(enemy.attacking);

    // 1.2 from the approach point it still runs.
    enemy.position = approach + glm::vec3(1.2f, 0.0f, 0.0f);
    enemy.update(0.1f, &player, &level);
    EXPECT_FALSE(enemy.attacking);
    EXPECT_LT(enemy.position.x, approach.x + 1.2f);

    // Within 1.0 of the approach point, 4 units from the player, it swings
    // at the player from where it stands, and the hit lands.
    enemy.strength = 100;
    player.armor = 0;
    enemy.position = approach + glm::vec3(0.5f, 0.5f, 0.0f);
    const glm::vec3 standing = enemy.position;
    int frames = 0;
    while (bus.values(MESSAGE_PLAYER_RECEIVED_DAMAGE).size() < 3 && frames < 1000) {
        enemy.update(0.05f, &player, &level);
        ++frames;
    }
    EXPECT_EQ(enemy.position, standing);
    EXPECT_NEAR(enemy.rotation.z, Unit::headingOf(player.position - standing, 0.0f), 1e-5f);
    // 2 pi at 12 per second in steps of 0.05: eleven frames a swing.
    EXPECT_EQ(frames, 33);
    for (int damage : bus.values(MESSAGE_PLAYER_RECEIVED_DAMAGE))
        EXPECT_GT(damage, 0);
    // Every landed swing is followed by the attack sound.
    std::vector<Message> kinds;
    for (const BusMessage& m : bus.messages)
        kinds.push_back(m.kind);
    const Message hit = MESSAGE_PLAYER_RECEIVED_DAMAGE;
    const Message sound = MESSAGE_PLAY_GAME_SOUND;
    EXPECT_EQ(kinds, (std::vector<Message>{hit, sound, hit, sound, hit, sound}));
    EXPECT_EQ(bus.sounds(), std::vector<int>(3, SOUND_ZOMBIE_ATTACK));
}

TEST_F(EnemyBehaviourTest, AWeakSwingSendsOnlyTheSoundAndADeadEnemysSwingNothing)
{
    seePlayer(true);
    enemy.state = ENEMY_STATE_ENGAGED;
    enemy.strength = 0;
    enemy.animationComplete(&player);
    EXPECT_TRUE(bus.of(MESSAGE_PLAYER_RECEIVED_DAMAGE).empty());
    EXPECT_EQ(bus.sounds(), std::vector<int>{SOUND_ZOMBIE_ATTACK});

    // Killed in mid-swing: the swing runs out while it lies dead, harmlessly.
    enemy.strength = 100;
    enemy.performMeleeAttackAnimation(&enemy, &player);
    enemy.kill(-1);
    bus.messages.clear();
    for (int i = 0; i < 20; ++i)
        enemy.update(0.05f, &player, &level);
    EXPECT_FALSE(enemy.attacking);
    EXPECT_TRUE(bus.messages.empty());
}

TEST_F(EnemyBehaviourTest, LosingSightSendsItToTheLastKnownPlaceThenIdle)
{
    seePlayer(true);
    enemy.state = ENEMY_STATE_ENGAGED;
    enemy.update(0.1f, &player, &level);
    const glm::vec3 lastSeen = player.position;
    player.position = glm::vec3(90.0f, 90.0f, 2.0f);
    seePlayer(false);
    enemy.update(0.1f, &player, &level);
    ASSERT_EQ(enemy.state, ENEMY_STATE_SEEK);
    EXPECT_FLOAT_EQ(enemy.armAPose, 0.0f);

    const float before = glm::length(lastSeen - enemy.position);
    enemy.update(0.1f, &player, &level);
    EXPECT_NEAR(glm::length(lastSeen - enemy.position), before - 0.6f, 1e-4f);
    runUntilStateChanges(0.01f, &player);
    EXPECT_EQ(enemy.state, ENEMY_STATE_IDLE);
    EXPECT_LT(glm::length(lastSeen - enemy.position), 0.1f);
    EXPECT_GE(enemy.nextWanderTime, clock.now + 2000);
    EXPECT_LT(enemy.nextWanderTime, clock.now + 12000);

    // With no target at all (the player lies dead) nothing is seen.
    enemy.state = ENEMY_STATE_ENGAGED;
    seePlayer(true);
    enemy.update(0.1f, nullptr, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_SEEK);
}

TEST_F(EnemyBehaviourTest, FleeingStartsBelowThirtyPercentAndEndsAboveIt)
{
    seePlayer(true);
    enemy.state = ENEMY_STATE_ENGAGED;
    enemy.health = 60.9f;
    enemy.update(0.0f, &player, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_ENGAGED);

    enemy.health = 59.9f;
    enemy.speedFactor = 0.25f;
    enemy.update(0.0f, &player, &level);
    ASSERT_EQ(enemy.state, ENEMY_STATE_FLEE);
    EXPECT_FLOAT_EQ(enemy.armAPose, 0.0f);

    // Away from the player, in the floor plane, 1.8 per second whatever its speed.
    const glm::vec3 start = enemy.position;
    enemy.health = 60.9f;
    enemy.update(0.5f, &player, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_FLEE);
    EXPECT_NEAR(enemy.position.x, start.x - 0.9f, 1e-5f);
    EXPECT_FLOAT_EQ(enemy.position.y, start.y);
    EXPECT_FLOAT_EQ(enemy.position.z, start.z);
    EXPECT_NEAR(enemy.rotation.z, PI, 1e-5f);

    // A step into the walls is taken back.
    level.solid = [](const glm::vec3&, float radius) { return radius == 3.0f; };
    const glm::vec3 beforeWall = enemy.position;
    enemy.health = 10.0f;
    enemy.update(0.5f, &player, &level);
    EXPECT_EQ(enemy.position, beforeWall);

    enemy.health = 61.0f;
    enemy.update(0.0f, &player, &level);
    EXPECT_EQ(enemy.state, ENEMY_STATE_IDLE);
}

TEST_F(EnemyBehaviourTest, TheMonkStandsAndShootsOncePerTwoSecondsOfSight)
{
    ProjectileManager pool(&level, &player, &level);
    Enemy monk(0.0f, 0.0f, 1.0f, 3, ENEMY_TYPE_CRAZY_MONK, &pool, true, true);
    seePlayer(true);
    monk.state = ENEMY_STATE_ENGAGED;
    monk.rotation.z = 0.0f;
    for (int i = 0; i < 4; ++i)
        monk.update(0.5f, &player, &level);
    EXPECT_EQ(pool.getActiveCount(), 0);
    EXPECT_FLOAT_EQ(monk.rangedTimer, 2.0f);
    EXPECT_EQ(monk.position, glm::vec3(0.0f, 0.0f, 1.75f));
    EXPECT_FLOAT_EQ(monk.armAPose, -PI / 2.0f);

    monk.rotation.z = 0.0f;
    monk.update(0.05f, &player, &level);
    ASSERT_EQ(pool.getActiveCount(), 1) << "no shot once more than 2.0 s gathered";
    const projectile_data& shot = pool.getProjectile(0);
    // From its left hand: one unit to the side of last frame's heading.
    EXPECT_NEAR(shot.x, 0.0f, 1e-5f);
    EXPECT_NEAR(shot.y, 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(shot.damage, 60.0f);
    EXPECT_FLOAT_EQ(shot.color[0] + shot.color[1] + shot.color[2], 3.0f);
    EXPECT_EQ(shot.owner, &monk);
    const glm::vec3 toPlayer = player.position - glm::vec3(0.0f, 1.0f, 1.0f);
    EXPECT_NEAR(shot.vx, 10.0f * toPlayer.x / glm::length(toPlayer), 1e-4f);
    EXPECT_FLOAT_EQ(monk.rangedTimer, 0.0f);
    EXPECT_EQ(bus.sounds(), std::vector<int>{SOUND_MONK_ATTACK});

    // The timer keeps its value while the monk does not see its target.
    monk.update(0.5f, &player, &level);
    seePlayer(false);
    monk.update(0.5f, &player, &level);
    monk.update(0.5f, &player, &level);
    EXPECT_EQ(monk.state, ENEMY_STATE_SEEK);
    EXPECT_FLOAT_EQ(monk.rangedTimer, 0.5f);
}
