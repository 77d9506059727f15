#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include <glm/gtc/constants.hpp>

#include "audio/SoundSystem.h"
#include "core/Util.h"
#include "core/MailBox.h"
#include "game/Enemy.h"
#include "game/Item.h"
#include "game/LootManager.h"
#include "game/OrvoGame.h"
#include "game/Player.h"
#include "game/ProjectileManager.h"
#include "game/Skill.h"
#include "hud/CombatText.h"
#include "hud/Hud.h"
#include "render/ParticleSystem.h"
#include "support/LogCapture.h"

namespace {

// A game with a player, a silent sound system and a loot manager but no
// window: enough for the rules that need no drawing.
class RulesOnlyGame : public OrvoGame {
public:
    RulesOnlyGame() : OrvoGame("unused")
    {
        player = new Player(0.0f, 0.0f);
        soundSystem = new SoundSystem(false);
        lootManager = new LootManager();
        hud = new Hud(player, player);
        combatText = new CombatText();
        deathEffect = new ParticleSystem("particlesystems/death.xml", false);
        regenEffect = new ParticleSystem("particlesystems/regen.xml", false);
        projectileManager = new ProjectileManager(nullptr, player, this);
        teleportSkill = new Skill("Teleport", "textures/skill_teleport.png", 10, 2, this);
        fireballSkill = new Skill("Fireball", "textures/skill_fireball.png", 40, 5, this);
        bladestormSkill = new Skill("Bladestorm", "textures/skill_bladestorm.png", 20, 0, this);
    }

    // Puts an enemy into the list as one the level created (owned).
    Enemy* spawnEnemy(float x, float y)
    {
        Enemy* enemy = new Enemy(x, y, 1.0f, 1, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
        enemies.push_back(enemy);
        return enemy;
    }

    const std::vector<Enemy*>& enemyList() const { return enemies; }
    void setState(game_state state) { gameState = state; }
    bool isTeleportPending() const { return teleportPending; }
    Skill* fireball() { return fireballSkill; }
    Skill* teleport() { return teleportSkill; }
    Skill* bladestorm() { return bladestormSkill; }
    ProjectileManager* projectiles() { return projectileManager; }
    using OrvoGame::handlePlayerAttackOnEnemy;
    using OrvoGame::meleeAttack;
    Player* hero() { return player; }
    LootManager* loot() { return lootManager; }
    using OrvoGame::dropLoot;
    using OrvoGame::enemyWithinRange;
};

class OrvoGameRules : public testing::Test {
protected:
    void TearDown() override { MailBox::getInstance()->clear(); }
};

} // namespace

TEST_F(OrvoGameRules, DeeperDungeonsKeepAFloorUnderTheEnemyLevel)
{
    struct Case {
        const char* level;
        int playerLevel;
        int enemyLevel;
    };
    for (const Case& c : {Case{"levels/level2_1.xml", 3, 6}, Case{"levels/level2_2.xml", 4, 6},
                          Case{"levels/level2_1.xml", 5, 5}, Case{"levels/level2_3.xml", 3, 3},
                          Case{"levels/level3_2.xml", 4, 9}, Case{"levels/level3_1.xml", 12, 12},
                          Case{"levels/level3_3.xml", 4, 4}, Case{"levels/level1_1.xml", 7, 7},
                          Case{"levels/level0.xml", 2, 2}})
        EXPECT_EQ(OrvoGame::enemyLevelFor(c.level, c.playerLevel), c.enemyLevel) << c.level << " " << c.playerLevel;
}

TEST_F(OrvoGameRules, RegistersFirstForItsFourMessagesAndNamesItself)
{
    RulesOnlyGame game;
    EXPECT_STREQ(game.whoIsThere(), "OrvoGame");
    EXPECT_EQ(game.getGameState(), GAME_STATE_START_MENU);
    EXPECT_EQ(game.getLevelPath(), "levels/level0.xml");

    // A travel message to the level the game is on is answered by the game.
    LogCapture log;
    MessagePayload* payload = new MessagePayload;
    payload->setString("levels/level0.xml");
    EXPECT_TRUE(MailBox::getInstance()->sendMessage(MESSAGE_LOAD_LEVEL, payload));
    EXPECT_TRUE(log.contains("You are already at this level"));
}

TEST_F(OrvoGameRules, CollisionQuestionsTheGameDoesNotServeSaySo)
{
    RulesOnlyGame game;
    LogCapture log;
    bool clear = true;
    EXPECT_FALSE(game.isCollision(glm::vec3(0.0f), 1.0f));
    EXPECT_FALSE(game.lineOfSight(glm::vec3(0.0f), glm::vec3(1.0f), 5.0f));
    EXPECT_EQ(game.lineOfSightExt(glm::vec3(0.0f), glm::vec3(1.0f), &clear, 5.0f), nullptr);
    EXPECT_FALSE(clear);
    EXPECT_EQ(log.count("  [ERROR] ["), 3);
    EXPECT_EQ(log.count("Not implemented"), 3);
}

TEST_F(OrvoGameRules, ProjectilesHitTheFirstLivingEnemyWhoseFootprintHoldsThePoint)
{
    RulesOnlyGame game;
    Enemy* first = game.spawnEnemy(10.0f, 10.0f);
    Enemy* second = game.spawnEnemy(10.2f, 10.0f);
    EXPECT_EQ(game.isCollisionExt(glm::vec3(10.1f, 10.0f, 3.0f), 99.0f), first) << "earliest in list order";
    first->kill(-1);
    EXPECT_EQ(game.isCollisionExt(glm::vec3(10.1f, 10.0f, 0.0f), 0.0f), second) << "dead enemies are skipped";
    // A point exactly on the footprint's edge is outside.
    const glm::vec3 edge(second->position.x + second->width / 2.0f, second->position.y, 0.0f);
    EXPECT_EQ(game.isCollisionExt(edge, 0.0f), nullptr);
    EXPECT_EQ(game.isCollisionExt(glm::vec3(50.0f, 50.0f, 0.0f), 0.0f), nullptr);
}

TEST_F(OrvoGameRules, TheSwingReachesOnlyWithinRangeAndConeWhileTheSpinReachesAllAround)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    hero->position = glm::vec3(0.0f, 0.0f, 1.0f);
    hero->rotation.z = 0.0f; // facing +x
    // 4.4 units away but 45 degrees off the facing: only the spin reaches it.
    Enemy* offside = game.spawnEnemy(4.4f * 0.7071068f, 4.4f * 0.7071068f);
    offside->position.z = hero->position.z;
    EXPECT_EQ(game.enemyWithinRange(true), nullptr);
    EXPECT_EQ(game.enemyWithinRange(false), offside);
    // A later enemy in the cone is hit by the swing although the first one is nearer.
    Enemy* ahead = game.spawnEnemy(4.0f, 0.5f);
    ahead->position.z = hero->position.z;
    EXPECT_EQ(game.enemyWithinRange(true), ahead);
    // Reach is strict: 4.5 units is out.
    ahead->position = glm::vec3(4.5f, 0.0f, hero->position.z);
    EXPECT_EQ(game.enemyWithinRange(true), nullptr);
}

TEST_F(OrvoGameRules, MinionsListedByABossAreNeverDeletedByTheGame)
{
    Enemy* minion = new Enemy(5.0f, 5.0f, 1.0f, 1, ENEMY_TYPE_GHOST, nullptr, false, false);
    {
        RulesOnlyGame game;
        game.addEnemy(minion);
        game.addEnemy(minion);
        ASSERT_EQ(game.enemyList().size(), 2u);
        game.removeEnemy(minion);
        EXPECT_EQ(game.enemyList().size(), 1u) << "only the first entry goes";
        Enemy* stranger = reinterpret_cast<Enemy*>(&game);
        game.removeEnemy(stranger);
        EXPECT_EQ(game.enemyList().size(), 1u);
    }
    // The game is gone and the minion still belongs to its boss (ASan would
    // report a double delete here otherwise).
    EXPECT_EQ(minion->getLevel(), 1);
    delete minion;
}

TEST_F(OrvoGameRules, LootDropsNearThePlayersLevelWithTheDocumentedQualityOdds)
{
    RulesOnlyGame game;
    std::srand(2024);
    constexpr int DROPS = 6000;
    for (int i = 0; i < DROPS; ++i)
        game.dropLoot(glm::vec3(1.0f, 2.0f, 1.0f), 2, 0.3f, 0.15f, 0.05f);
    std::vector<uint32_t> codes;
    for (const loot_data* record : game.loot()->getLoot()) {
        EXPECT_EQ(record->levelName, "levels/level0.xml");
        codes.push_back(record->itemCode);
    }
    ASSERT_EQ(codes.size(), static_cast<size_t>(DROPS));

    std::map<int, int> qualities;
    for (uint32_t code : codes) {
        const int itemLevel = static_cast<int>(code & 0xFFu);
        EXPECT_GE(itemLevel, 1);
        EXPECT_LE(itemLevel, 3) << "a level-1 player gets items of level 1 to 3";
        ++qualities[static_cast<int>((code >> 12) & 0xFu)];
    }
    EXPECT_NEAR(qualities[EPIC] / double(DROPS), 0.05, 0.015);
    EXPECT_NEAR(qualities[RARE] / double(DROPS), 0.10, 0.02);
    EXPECT_NEAR(qualities[MAGIC] / double(DROPS), 0.15, 0.02);
    EXPECT_NEAR(qualities[NORMAL] / double(DROPS), 0.70, 0.03);
}

TEST_F(OrvoGameRules, AKillAwardsExperienceAndALevelUpSetsTheEnemysRespawnLevel)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    Enemy* weak = game.spawnEnemy(3.0f, 0.0f);
    game.handlePlayerAttackOnEnemy(weak, 1.0f, 100000);
    EXPECT_TRUE(weak->isDead());
    EXPECT_EQ(hero->exp, 1 + getKillExp(1, 1));
    EXPECT_EQ(weak->respawnLevel, -1) << "no level-up: the enemy respawns at its own level";

    // Enough experience that the next kill crosses into level 2.
    hero->exp = 900;
    Enemy* second = game.spawnEnemy(4.0f, 0.0f);
    game.handlePlayerAttackOnEnemy(second, 1.0f, 100000);
    EXPECT_EQ(hero->getLevel(), 2);
    EXPECT_EQ(second->respawnLevel, 2);

    // A hit that does not kill changes neither.
    Enemy* tough = game.spawnEnemy(5.0f, 0.0f);
    const int expBefore = hero->exp;
    game.handlePlayerAttackOnEnemy(tough, 1.0f, 1);
    EXPECT_FALSE(tough->isDead());
    EXPECT_EQ(hero->exp, expBefore);
}

TEST_F(OrvoGameRules, ProjectileHitsOnEnemiesThatDiedMeanwhileAreIgnored)
{
    RulesOnlyGame game;
    Enemy* enemy = game.spawnEnemy(3.0f, 0.0f);
    enemy->kill(-1);
    const float health = enemy->health;
    const int exp = game.hero()->exp;
    MessagePayload* payload = new MessagePayload;
    payload->setInt(500);
    payload->setCustom(enemy);
    MailBox::getInstance()->sendMessage(MESSAGE_ENEMY_RECEIVED_DAMAGE, payload);
    EXPECT_EQ(enemy->health, health);
    EXPECT_EQ(game.hero()->exp, exp);
}

TEST_F(OrvoGameRules, ALethalHitKillsThePlayerOnceAndDamageWhileDeadIsIgnored)
{
    RulesOnlyGame game;
    game.setState(GAME_STATE_PLAYING);
    const auto hit = [](int damage) {
        MessagePayload* payload = new MessagePayload;
        payload->setInt(damage);
        MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_RECEIVED_DAMAGE, payload);
    };
    hit(10);
    EXPECT_EQ(game.getGameState(), GAME_STATE_PLAYING);
    hit(100000);
    EXPECT_EQ(game.getGameState(), GAME_STATE_DEAD);
    const float healthWhenDead = game.hero()->health;
    hit(50);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_DEAD, nullptr);
    EXPECT_EQ(game.hero()->health, healthWhenDead);
    EXPECT_EQ(game.getGameState(), GAME_STATE_DEAD);
}

TEST_F(OrvoGameRules, ASwingCostsOnePowerAndNeedsMoreThanFive)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    hero->power = 6.0f;
    game.meleeAttack();
    EXPECT_FLOAT_EQ(hero->power, 5.0f);
    game.meleeAttack();
    EXPECT_FLOAT_EQ(hero->power, 5.0f) << "5 power is not enough to swing";
    hero->power = 5.99f;
    game.meleeAttack();
    EXPECT_FLOAT_EQ(hero->power, 5.99f) << "power counts in whole points";
}

TEST_F(OrvoGameRules, SkillsPayTheirCostAndFireTheirEffects)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    hero->exp = 3001; // level 3
    hero->position = glm::vec3(10.0f, 20.0f, 1.0f);
    hero->power = 100.0f;
    ASSERT_TRUE(game.fireball()->use());
    EXPECT_FLOAT_EQ(hero->power, 60.0f);
    ASSERT_EQ(game.projectiles()->getActiveCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const projectile_data& shot = game.projectiles()->getProjectile(i);
        const float angle = static_cast<float>(i) * glm::two_pi<float>() / 10.0f;
        EXPECT_NEAR(shot.x, 10.0f + 2.0f * std::cos(angle), 1e-4f);
        EXPECT_NEAR(shot.y, 20.0f + 2.0f * std::sin(angle), 1e-4f);
        EXPECT_FLOAT_EQ(shot.damage, 225.0f);
        EXPECT_EQ(shot.owner, hero);
    }

    ASSERT_TRUE(game.teleport()->use());
    EXPECT_TRUE(game.isTeleportPending());
    EXPECT_FLOAT_EQ(hero->power, 50.0f);

    // Bladestorm has no cooldown: every press spins while power lasts.
    ASSERT_TRUE(game.bladestorm()->use());
    ASSERT_TRUE(game.bladestorm()->use());
    EXPECT_FLOAT_EQ(hero->power, 10.0f);
    EXPECT_FALSE(game.bladestorm()->use());
    EXPECT_EQ(game.getAvailablePower(), 10);
}
