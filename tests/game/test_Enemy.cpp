#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/Enemy.h"
#include "game/EnemyDeadListener.h"
#include "hud/Bar.h"
#include "render/Text.h"
#include "test_EnemyDoubles.h"
#include "test_UnitDoubles.h"

namespace {

// Remembers every enemy that reported its death.
class DeathWatcher : public EnemyDeadListener {
public:
    std::vector<Enemy*> dead;
    void enemyDead(Enemy* enemy) override { dead.push_back(enemy); }
};

class EnemyTest : public ::testing::Test {
protected:
    TestClock clock{100000};
    BusRecorder bus;
};

} // namespace

TEST_F(EnemyTest, NumbersBodyAndLabelFollowScaleLevelAndKind)
{
    Enemy zombie(10.0f, 20.0f, 1.2f, 3, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
    EXPECT_EQ(zombie.armor, 60);
    EXPECT_EQ(zombie.strength, 12);
    EXPECT_FLOAT_EQ(zombie.maxHealth, 600.0f);
    EXPECT_FLOAT_EQ(zombie.health, 600.0f);
    EXPECT_FLOAT_EQ(zombie.width, 2.4f);
    EXPECT_FLOAT_EQ(zombie.height, 3.6f);
    EXPECT_FLOAT_EQ(zombie.position.z, 1.75f * 1.2f);
    EXPECT_STREQ(zombie.nameText->getText(), "Zombie - level 3");
    EXPECT_FLOAT_EQ(zombie.labelWidth, std::strlen("Zombie - level 3") * 45.0f * 0.3f);
    EXPECT_EQ(zombie.bodyTexturePath, "textures/units/zombie.png");
    EXPECT_EQ(zombie.armTexturePath, "textures/units/zombie_arm.png");
    EXPECT_FALSE(zombie.hovering);
    EXPECT_EQ(zombie.state, ENEMY_STATE_IDLE);
    EXPECT_EQ(zombie.deadListener, nullptr);

    Enemy ghost(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_GHOST, nullptr, true, true);
    EXPECT_TRUE(ghost.hovering);
    Enemy monk(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_CRAZY_MONK, nullptr, true, true);
    EXPECT_TRUE(monk.canPerformedRangedAttack());
    EXPECT_FALSE(ghost.canPerformedRangedAttack());
    EXPECT_STREQ(monk.getName(), "Crazy Monk");

    Enemy stranger(0.0f, 0.0f, 1.0f, 2, static_cast<enemy_type>(9), nullptr, true, true);
    EXPECT_STREQ(stranger.nameText->getText(), "Unknown - level 2");
    EXPECT_TRUE(stranger.bodyTexturePath.empty());
}

TEST_F(EnemyTest, RandomTraitsSpreadOverTheirWholeRanges)
{
    float slowest = 2.0f, fastest = 0.0f;
    unsigned soonest = ~0u, latest = 0;
    float widestApproach = 0.0f;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        srand(seed);
        Enemy enemy(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_LUNATIC, nullptr, true, true);
        EXPECT_GE(enemy.speedFactor, 0.2f);
        EXPECT_LE(enemy.speedFactor, 1.2f);
        EXPECT_GE(enemy.nextWanderTime, clock.now + 2000);
        EXPECT_LT(enemy.nextWanderTime, clock.now + 7000);
        EXPECT_FLOAT_EQ(enemy.approachOffset.z, 0.0f);
        EXPECT_LE(glm::length(enemy.approachOffset), 4.0f + 1e-4f);
        EXPECT_NEAR(glm::length(enemy.direction), 1.0f, 1e-5f);
        slowest = std::min(slowest, enemy.speedFactor);
        fastest = std::max(fastest, enemy.speedFactor);
        soonest = std::min(soonest, enemy.nextWanderTime - clock.now);
        latest = std::max(latest, enemy.nextWanderTime - clock.now);
        widestApproach = std::max(widestApproach, glm::length(enemy.approachOffset));
    }
    // Fifty draws come near both ends: a speed of 0.2 to 1.2, a first
    // wander 2 to 7 seconds away.
    EXPECT_LT(slowest, 0.3f);
    EXPECT_GT(fastest, 1.1f);
    EXPECT_LT(soonest, 2500u);
    EXPECT_GT(latest, 6500u);
    // The approach point is 4 units off along a random direction, less
    // that direction's height.
    EXPECT_GT(widestApproach, 3.8f);
}

TEST_F(EnemyTest, HealthIsOfferedOnlyUnderTheEnemyHealthId)
{
    Enemy enemy(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
    enemy.health = 50.0f;
    EXPECT_FLOAT_EQ(enemy.getValue(VALUE_ENEMY_HEALTH), 0.25f);
    EXPECT_FLOAT_EQ(enemy.getValue(VALUE_BOSS_HEALTH), 1.0f);
    EXPECT_FLOAT_EQ(enemy.getMaxValue(VALUE_ENEMY_HEALTH), 0.0f);
    EXPECT_FLOAT_EQ(enemy.getAbsoluteValue(VALUE_ENEMY_HEALTH), 0.0f);

    enemy.toggleHealthBarEnabled();
    EXPECT_FALSE(enemy.healthBar->getActive());
    enemy.toggleHealthBarEnabled();
    EXPECT_TRUE(enemy.healthBar->getActive());
}

TEST_F(EnemyTest, EachKindAsksForItsOwnSoundsOverTheBus)
{
    struct Row {
        enemy_type type;
        int detect, attack, hurt, death;
    };
    const Row rows[] = {
        {ENEMY_TYPE_ZOMBIE, SOUND_ZOMBIE_DETECT, SOUND_ZOMBIE_ATTACK, SOUND_DMG_TAKEN_1, SOUND_ZOMBIE_DEATH},
        {ENEMY_TYPE_GHOST, SOUND_NONE, SOUND_NONE, SOUND_DMG_TAKEN_1, SOUND_GHOST_DEATH},
        {ENEMY_TYPE_CRAZY_MONK, SOUND_PLAYER_DEATH, SOUND_MONK_ATTACK, SOUND_DMG_TAKEN_2, SOUND_PLAYER_DEATH},
        {ENEMY_TYPE_LUNATIC, SOUND_LUNATIC_DETECT, SOUND_LUNATIC_ATTACK, SOUND_DMG_TAKEN_2, SOUND_PLAYER_DEATH},
    };
    for (const Row& row : rows) {
        Enemy enemy(0.0f, 0.0f, 1.0f, 1, row.type, nullptr, true, true);
        bus.messages.clear();
        enemy.playDetectSound();
        enemy.playAttackSound();
        EXPECT_FALSE(enemy.addDamage(1.0f));
        enemy.kill(-1);
        EXPECT_EQ(bus.sounds(), (std::vector<int>{row.detect, row.attack, row.hurt, row.death})) << row.type;
    }
}

TEST_F(EnemyTest, AKillReportsToTheOwnerAndOnlyAFlaggedEnemyComesBack)
{
    DeathWatcher owner;
    FakeWorld level;
    Enemy minion(0.0f, 0.0f, 1.0f, 1, ENEMY_TYPE_ZOMBIE, nullptr, false, false);
    minion.deadListener = &owner;
    minion.kill(-1);
    EXPECT_EQ(owner.dead, std::vector<Enemy*>{&minion});
    EXPECT_TRUE(minion.isDead());
    for (int i = 0; i < 3; ++i) {
        clock.advance(60000);
        minion.update(0.1f, nullptr, &level);
    }
    EXPECT_EQ(minion.state, ENEMY_STATE_DEAD);
}

TEST_F(EnemyTest, ADeadEnemyWaitsTwentyFiveToFiftySecondsAndReturnsWithFullHealth)
{
    FakeWorld level;
    level.visible = [](const glm::vec3&, const glm::vec3&) { return false; };
    unsigned shortest = ~0u, longest = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        srand(seed);
        Enemy enemy(4.0f, 5.0f, 1.0f, 2, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
        enemy.health = 0.0f;
        enemy.kill(-1);
        enemy.update(0.1f, nullptr, &level);
        ASSERT_EQ(enemy.state, ENEMY_STATE_RESPAWN_WAIT);
        EXPECT_TRUE(enemy.isDead());
        EXPECT_GE(enemy.respawnTime, clock.now + 25000);
        EXPECT_LE(enemy.respawnTime, clock.now + 50000);
        shortest = std::min(shortest, enemy.respawnTime - clock.now);
        longest = std::max(longest, enemy.respawnTime - clock.now);

        const unsigned died = clock.now;
        clock.set(enemy.respawnTime);
        enemy.update(0.1f, nullptr, &level);
        EXPECT_EQ(enemy.state, ENEMY_STATE_RESPAWN_WAIT);
        clock.set(enemy.respawnTime + 1);
        enemy.update(0.0f, nullptr, &level);
        EXPECT_EQ(enemy.state, ENEMY_STATE_IDLE);
        EXPECT_FLOAT_EQ(enemy.health, 400.0f);
        EXPECT_EQ(enemy.level, 2);
        EXPECT_FLOAT_EQ(enemy.position.x, 4.0f);
        clock.set(died);
    }
    // Forty deaths come near both ends of the wait.
    EXPECT_LT(shortest, 27500u);
    EXPECT_GT(longest, 47500u);
}

TEST_F(EnemyTest, AnEnemyKilledAtANewLevelReturnsWithThatLevelsNumbersAndLabel)
{
    FakeWorld level;
    Enemy zombie(0.0f, 0.0f, 1.0f, 2, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
    zombie.kill(7);
    zombie.update(0.1f, nullptr, &level);
    clock.set(zombie.respawnTime + 1);
    zombie.update(0.0f, nullptr, &level);

    EXPECT_EQ(zombie.level, 7);
    EXPECT_FLOAT_EQ(zombie.maxHealth, 700.0f);
    EXPECT_FLOAT_EQ(zombie.health, 700.0f);
    EXPECT_EQ(zombie.strength, 140);
    EXPECT_EQ(zombie.armor, 70);
    EXPECT_STREQ(zombie.nameText->getText(), "Zombie - level 7");
    EXPECT_FLOAT_EQ(zombie.labelWidth, std::strlen("Zombie - level 7") * 45.0f * 0.3f);
    EXPECT_EQ(zombie.healthBar->getMaxValue(), 700) << "the bar keeps the new maximum";
}
