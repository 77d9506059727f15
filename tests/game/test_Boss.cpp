#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/ProjectileManager.h"
#include "render/Text.h"
#include "test_EnemyDoubles.h"
#include "test_UnitDoubles.h"

namespace {

constexpr float PI = 3.14159265358979f;
// A binary fraction, so that phase timers add up exactly.
constexpr float DT = 0.125f;

// A boss at (20, 0) with the player 20 units north of it on an open level.
class BossTest : public ::testing::Test {
protected:
    BossTest() : player(20.0f, 20.0f), pool(&level, &player, &level) {}

    Boss* make(enemy_type type)
    {
        boss.reset(new Boss(20.0f, 0.0f, type, &pool, &game, &player));
        return boss.get();
    }
    void seePlayer(bool seen)
    {
        level.visible = [seen](const glm::vec3&, const glm::vec3&) { return seen; };
    }
    void frames(int count, float dt = DT)
    {
        for (int i = 0; i < count; ++i)
            boss->update(dt, &player, &level);
    }
    // Aware, minion out, and about to decide on the next update.
    void readyToDecide(bool volley)
    {
        boss->aggro = true;
        boss->minionAlive = true;
        boss->stateTimer = 1.3f;
        seedNextRandom(volley, 0.4f);
    }

    TestClock clock{10000};
    BusRecorder bus;
    FakeWorld level;
    Target player;
    EnemyList game;
    ProjectileManager pool;
    std::unique_ptr<Boss> boss;
};

} // namespace

TEST_F(BossTest, EachKindHasItsNumbersLabelTexturesAndMinion)
{
    struct Row {
        enemy_type type;
        int level, armor, health, regen;
        const char* label;
        const char* body;
        bool minion;
    };
    const Row rows[] = {
        {ENEMY_TYPE_RABAKULUS, 5, 50, 1000, 15, "RABAKULUS - level 5", "textures/units/boss1.png", true},
        {ENEMY_TYPE_HARIONA, 8, 200, 4000, 20, "HARIONA - level 8", "textures/units/boss2.png", false},
        {ENEMY_TYPE_FIHUGIA, 12, 400, 10000, 50, "FIHUGIA - level 12", "textures/units/boss3.png", true},
    };
    for (const Row& row : rows) {
        Boss* b = make(row.type);
        EXPECT_EQ(b->level, row.level);
        EXPECT_EQ(b->armor, row.armor);
        EXPECT_EQ(b->strength, row.armor);
        EXPECT_FLOAT_EQ(b->health, static_cast<float>(row.health));
        EXPECT_FLOAT_EQ(b->maxHealth, static_cast<float>(row.health));
        EXPECT_FLOAT_EQ(b->healthRegen, static_cast<float>(row.regen));
        EXPECT_FLOAT_EQ(b->position.z, 4.5f);
        EXPECT_FLOAT_EQ(b->width, 4.0f);
        EXPECT_STREQ(b->nameText->getText(), row.label);
        EXPECT_EQ(b->bodyTexturePath, row.body);
        EXPECT_EQ(b->state, BOSS_STATE_IDLE);
        EXPECT_FALSE(b->aggro);
        EXPECT_FALSE(b->minionAlive);
        ASSERT_EQ(b->minion != nullptr, row.minion) << row.label;
        if (!row.minion)
            continue;
        EXPECT_EQ(b->minion->type, ENEMY_TYPE_ZOMBIE);
        EXPECT_EQ(b->minion->level, 1);
        EXPECT_FLOAT_EQ(b->minion->width, 2.0f);
        EXPECT_FALSE(b->minion->canDropLoot);
        EXPECT_FALSE(b->minion->respawns);
        EXPECT_EQ(b->minion->deadListener, static_cast<EnemyDeadListener*>(b));
        EXPECT_EQ(b->summonPoint, glm::vec3(45.0f, 20.0f, 0.0f));
    }
}

TEST_F(BossTest, ABossThatNeverSawThePlayerDoesNothingAndOneThatDidNeverStops)
{
    make(ENEMY_TYPE_RABAKULUS);
    seePlayer(false);
    frames(40);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);
    EXPECT_FLOAT_EQ(boss->stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(boss->rotation.z, 0.0f);
    EXPECT_TRUE(bus.messages.empty());
    ASSERT_FALSE(level.sightQueries.empty());
    EXPECT_FLOAT_EQ(level.sightQueries.back().maxDistance, 15.0f);

    seePlayer(true);
    frames(1);
    EXPECT_TRUE(boss->aggro);
    seePlayer(false);
    frames(1);
    EXPECT_FLOAT_EQ(boss->stateTimer, 2 * DT);
    EXPECT_NEAR(boss->rotation.z, Unit::headingOf(player.position - boss->position, 0.0f), 1e-5f);
}

TEST_F(BossTest, TheFirstDecisionSummonsTheMinionToTheSummonPoint)
{
    make(ENEMY_TYPE_RABAKULUS);
    Enemy* minion = boss->minion;
    minion->health = 1.0f;
    minion->state = ENEMY_STATE_DEAD;
    const float minionZ = minion->position.z;
    seePlayer(true);

    // 1.3 s of waiting and watching, then the summon.
    frames(10);
    frames(1, 0.04f);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE) << "decided before 1.3 s";
    frames(1, 0.02f);
    ASSERT_EQ(boss->state, BOSS_STATE_SUMMON);
    EXPECT_EQ(bus.sounds(), std::vector<int>{SOUND_BOSS_SCREAM3});
    EXPECT_FLOAT_EQ(boss->armBSwing, -PI / 2.0f);
    EXPECT_NEAR(boss->rotation.z, Unit::headingOf(boss->summonPoint - boss->position, 0.0f), 1e-5f);

    // 1.0 s later the minion stands at (45, 20), whole and idle, in the game.
    frames(8);
    EXPECT_FALSE(boss->minionAlive);
    frames(1, 0.01f);
    EXPECT_TRUE(boss->minionAlive);
    EXPECT_EQ(minion->position, glm::vec3(45.0f, 20.0f, minionZ));
    EXPECT_FLOAT_EQ(minion->health, minion->maxHealth);
    EXPECT_EQ(minion->state, ENEMY_STATE_IDLE);
    EXPECT_EQ(game.enemies, std::vector<Enemy*>{minion});
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);
    EXPECT_FLOAT_EQ(boss->armBSwing, 0.0f);

    // The summon's timer runs on: the next decision comes about 0.3 s later.
    frames(2);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);
    frames(1);
    EXPECT_NE(boss->state, BOSS_STATE_IDLE);
}

TEST_F(BossTest, AKilledMinionLeavesTheGameAndIsSummonedAgainWhole)
{
    make(ENEMY_TYPE_FIHUGIA);
    Enemy* minion = boss->minion;
    boss->minionAlive = true;
    game.addEnemy(minion);

    Enemy stranger(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_GHOST, nullptr, false, false);
    boss->enemyDead(&stranger);
    EXPECT_TRUE(boss->minionAlive);

    minion->health = 0.0f;
    minion->kill(-1);
    EXPECT_FALSE(boss->minionAlive);
    EXPECT_TRUE(game.enemies.empty());
    EXPECT_EQ(game.removals, 1);

    // Even a draw that would mean a volley summons while the minion is dead.
    readyToDecide(true);
    boss->minionAlive = false;
    frames(1);
    EXPECT_EQ(boss->state, BOSS_STATE_SUMMON);
    frames(9);
    EXPECT_FLOAT_EQ(minion->health, minion->maxHealth);
    EXPECT_EQ(minion->state, ENEMY_STATE_IDLE);
    EXPECT_EQ(game.enemies, std::vector<Enemy*>{minion});
}

TEST_F(BossTest, AVolleyFiresGreenShotsFromArmAForThreeSeconds)
{
    make(ENEMY_TYPE_RABAKULUS);
    readyToDecide(true);
    boss->rotation.z = PI / 2.0f;
    frames(1);
    ASSERT_EQ(boss->state, BOSS_STATE_VOLLEY);
    EXPECT_EQ(bus.sounds(), std::vector<int>{SOUND_BOSS_LAUGH});

    // A shot whenever more than 0.2 s have gathered: every second frame.
    frames(2);
    ASSERT_EQ(pool.getActiveCount(), 1);
    const projectile_data& shot = pool.getProjectile(0);
    // Facing north, arm A is 2.5 units to the west.
    EXPECT_NEAR(shot.x, 17.5f, 1e-4f);
    EXPECT_NEAR(shot.y, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(shot.color[0], 0.0f);
    EXPECT_FLOAT_EQ(shot.color[1], 1.0f);
    EXPECT_FLOAT_EQ(shot.damage, 500.0f);
    EXPECT_EQ(shot.owner, static_cast<Unit*>(boss.get()));
    const glm::vec3 aim = player.position - glm::vec3(17.5f, 0.0f, 1.0f);
    EXPECT_NEAR(shot.vy, 25.0f * aim.y / glm::length(aim), 1e-3f);
    EXPECT_FLOAT_EQ(boss->armAPose, -PI / 2.0f);

    frames(22);
    EXPECT_EQ(boss->state, BOSS_STATE_VOLLEY);
    frames(1, 0.01f);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE) << "the volley outlasted 3.0 s";
    EXPECT_FLOAT_EQ(boss->stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(boss->armAPose, 0.0f);
    EXPECT_EQ(pool.getActiveCount(), 12);
    EXPECT_EQ(bus.sounds().size(), 13u);
    EXPECT_EQ(bus.sounds().back(), SOUND_PROJECTILE);
}

TEST_F(BossTest, ALeapRisesForOneSecondThenChargesAlongTheDirectionOfTheDecision)
{
    make(ENEMY_TYPE_RABAKULUS);
    readyToDecide(false);
    frames(1);
    ASSERT_EQ(boss->state, BOSS_STATE_LEAP);
    EXPECT_FLOAT_EQ(boss->armAPose, PI);
    EXPECT_FLOAT_EQ(boss->armBSwing, PI);
    const glm::vec3 toPlayer = player.position - glm::vec3(20.0f, 0.0f, 4.5f);
    EXPECT_NEAR(boss->chargeDir.y, toPlayer.y / glm::length(toPlayer), 1e-6f);
    EXPECT_FLOAT_EQ(boss->chargeDir.z, 0.0f);

    // The player moves away; the charge keeps its direction.
    player.position = glm::vec3(90.0f, 90.0f, 2.0f);
    frames(8);
    EXPECT_EQ(boss->state, BOSS_STATE_LEAP);
    EXPECT_FLOAT_EQ(boss->position.z, 6.0f);
    frames(1, 0.01f);
    ASSERT_EQ(boss->state, BOSS_STATE_CHARGE) << "the leap outlasted 1.0 s";
    EXPECT_FLOAT_EQ(boss->position.z, 3.0f);
    EXPECT_FLOAT_EQ(boss->armAPose, -PI / 2.0f);
    EXPECT_EQ(bus.sounds().back(), SOUND_BOSS_SCREAM2);

    const glm::vec3 before = boss->position;
    frames(1);
    EXPECT_NEAR(glm::length(boss->position - before), 35.0f * DT * glm::length(boss->chargeDir), 1e-4f);
    EXPECT_NEAR(boss->position.x, 20.0f, 1e-5f);
    // Leap and charge together end after 2.0 s.
    frames(6);
    EXPECT_EQ(boss->state, BOSS_STATE_CHARGE);
    frames(1);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE) << "leap and charge outlasted 2.0 s";
    EXPECT_FLOAT_EQ(boss->stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(boss->armBSwing, 0.0f);
}

TEST_F(BossTest, AChargeStopsAtAWallWhereTheFrameBegan)
{
    make(ENEMY_TYPE_RABAKULUS);
    boss->aggro = true;
    seePlayer(true);
    // Starting against a wall: called off on its first frame.
    level.solid = [](const glm::vec3&, float radius) { return radius == 3.0f; };
    boss->state = BOSS_STATE_LEAP;
    boss->stateTimer = 1.0f;
    boss->chargeDir = glm::vec3(0.0f, 1.0f, 0.0f);
    frames(1);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);
    EXPECT_FLOAT_EQ(boss->stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(boss->position.x, 20.0f);
    EXPECT_FLOAT_EQ(boss->position.y, 0.0f);
    EXPECT_FLOAT_EQ(boss->armAPose, -PI / 2.0f);

    // Running into one on the way: back to where the step that met it began.
    // A frame's 4.375 units are run in six steps; the third frame's sixth one
    // ends beyond y = 10.
    level.solid = [](const glm::vec3& p, float radius) { return radius == 3.0f && p.y > 10.0f; };
    boss->state = BOSS_STATE_CHARGE;
    boss->stateTimer = 1.0f;
    boss->chargeDir = glm::vec3(0.6f, 0.8f, 0.0f);
    frames(2);
    EXPECT_EQ(boss->state, BOSS_STATE_CHARGE);
    frames(1);
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);
    EXPECT_NEAR(boss->position.x, 20.0f + (2 + 5 / 6.0f) * 0.6f * 35.0f * DT, 1e-4f);
    EXPECT_NEAR(boss->position.y, (2 + 5 / 6.0f) * 0.8f * 35.0f * DT, 1e-4f);
}

TEST_F(BossTest, AChargeAcrossThePlayerHurtsOnEveryFrameOfContactTwice)
{
    make(ENEMY_TYPE_RABAKULUS);
    boss->aggro = true;
    seePlayer(true);
    boss->state = BOSS_STATE_CHARGE;
    boss->stateTimer = 1.0f;
    boss->chargeDir = glm::vec3(1.0f, 0.0f, 0.0f);
    // 0.35 units a frame through a footprint that spans 2.
    player.position = glm::vec3(20.5f, 0.0f, 2.0f);
    player.health = 250.0f;
    frames(6, 0.01f);

    EXPECT_EQ(bus.values(MESSAGE_PLAYER_RECEIVED_DAMAGE), std::vector<int>(4, 100));
    EXPECT_FLOAT_EQ(player.health, 0.0f);
    // The direct blows killed it in the third frame and again in the fourth.
    const std::vector<BusMessage> deaths = bus.of(MESSAGE_PLAYER_DEAD);
    ASSERT_EQ(deaths.size(), 2u);
    EXPECT_FALSE(deaths[0].hadPayload);
}

TEST_F(BossTest, HarionaChasesThroughWallsAndStrikesWithinFiveUnits)
{
    make(ENEMY_TYPE_HARIONA);
    level.solid = [](const glm::vec3&, float) { return true; };
    seePlayer(true);
    frames(1);
    ASSERT_EQ(boss->state, BOSS_STATE_CHASE);
    EXPECT_EQ(boss->position, glm::vec3(20.0f, 0.0f, 4.5f));

    // Straight at the player in 3-D, 4 units a second, seen or not.
    seePlayer(false);
    const glm::vec3 toPlayer = glm::normalize(player.position - boss->position);
    frames(1);
    EXPECT_NEAR(boss->position.y, 4.0f * DT * toPlayer.y, 1e-4f);
    EXPECT_LT(boss->position.z, 4.5f);
    EXPECT_FLOAT_EQ(boss->armAPose, -PI / 2.0f);
    EXPECT_NEAR(boss->rotation.z, Unit::headingOf(player.position - boss->position, 0.0f), 1e-3f);

    // Reach is 5.0 units in x and y: at 5.2 it walks on.
    boss->position = glm::vec3(20.0f, 14.8f, 4.5f);
    frames(1, 0.05f);
    EXPECT_GT(boss->position.y, 14.8f);
    EXPECT_FALSE(boss->attacking);

    boss->position = glm::vec3(20.0f, 15.5f, 4.5f);
    frames(40, 0.05f);
    EXPECT_EQ(boss->position, glm::vec3(20.0f, 15.5f, 4.5f));
    // Eleven frames of 0.05 s a swing: three hits in 40 frames.
    EXPECT_EQ(bus.of(MESSAGE_PLAYER_RECEIVED_DAMAGE).size(), 3u);
    EXPECT_GE(bus.values(MESSAGE_PLAYER_RECEIVED_DAMAGE)[0], 1);
}

TEST_F(BossTest, HealthShowsUnderTheBossIdOnlyAndADeadBossStaysDead)
{
    make(ENEMY_TYPE_HARIONA);
    boss->health = 4040.0f;
    EXPECT_FLOAT_EQ(boss->getValue(VALUE_BOSS_HEALTH), 1.01f);
    EXPECT_FLOAT_EQ(boss->getValue(VALUE_ENEMY_HEALTH), 1.0f);
    EXPECT_FLOAT_EQ(boss->getMaxValue(VALUE_BOSS_HEALTH), 0.0f);
    EXPECT_FLOAT_EQ(boss->getAbsoluteValue(VALUE_BOSS_HEALTH), 0.0f);

    EXPECT_FALSE(boss->addDamage(40.0f));
    EXPECT_TRUE(boss->addDamage(4000.0f));
    EXPECT_EQ(bus.sounds(), std::vector<int>(2, SOUND_DMG_TAKEN_2));

    boss->resetState();
    EXPECT_EQ(boss->state, BOSS_STATE_RESET);
    boss->resumeState();
    EXPECT_EQ(boss->state, BOSS_STATE_IDLE);

    boss->kill();
    bus.messages.clear();
    EXPECT_FALSE(boss->addDamage(10.0f));
    EXPECT_FLOAT_EQ(boss->health, 0.0f);
    boss->resetState();
    boss->resumeState();
    EXPECT_TRUE(boss->isDead());
    seePlayer(true);
    frames(10);
    EXPECT_FALSE(boss->aggro);
    EXPECT_FLOAT_EQ(boss->health, 0.0f);
    EXPECT_TRUE(bus.messages.empty());
}

TEST_F(BossTest, AHeldBossLowersItsArmsAndWaitsForTheEntering)
{
    make(ENEMY_TYPE_RABAKULUS);
    boss->aggro = true;
    boss->state = BOSS_STATE_VOLLEY;
    boss->armAPose = -PI / 2.0f;
    boss->resetState();
    frames(30);
    EXPECT_EQ(boss->state, BOSS_STATE_RESET);
    EXPECT_FLOAT_EQ(boss->stateTimer, 0.0f);
    EXPECT_FLOAT_EQ(boss->armAPose, 0.0f);
    EXPECT_EQ(pool.getActiveCount(), 0);
    EXPECT_NEAR(boss->rotation.z, Unit::headingOf(player.position - boss->position, 0.0f), 1e-5f);
}
