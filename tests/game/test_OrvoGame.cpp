#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include <glm/gtc/constants.hpp>

#include "audio/SoundSystem.h"
#include "core/Util.h"
#include "core/MailBox.h"
#include "game/Boss.h"
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
        regenSkill = new Skill("Powerful Regeneration", "textures/skill_regen.png", 0, 9, this);
        berserkerSkill = new Skill("Berserker", "textures/skill_berserker.png", 30, 9, this);
        fireballSkill = new Skill("Fireball", "textures/skill_fireball.png", 40, 5, this);
        bladestormSkill = new Skill("Bladestorm", "textures/skill_bladestorm.png", 20, 0, this);
    }

    // Puts an enemy into the list as one the level created (owned).
    Enemy* spawnEnemy(float x, float y, int level = 1)
    {
        Enemy* enemy = new Enemy(x, y, 1.0f, level, ENEMY_TYPE_ZOMBIE, nullptr, true, true);
        enemies.push_back(enemy);
        return enemy;
    }
    // Makes the level's boss, as a level change would.
    Boss* spawnBoss(float x, float y, enemy_type type)
    {
        boss = new Boss(x, y, type, projectileManager, this, player);
        return boss;
    }

    const std::vector<Enemy*>& enemyList() const { return enemies; }
    void setState(game_state state) { gameState = state; }
    bool isTeleportPending() const { return teleportPending; }
    Skill* fireball() { return fireballSkill; }
    Skill* teleport() { return teleportSkill; }
    Skill* bladestorm() { return bladestormSkill; }
    Skill* regen() { return regenSkill; }
    Skill* berserker() { return berserkerSkill; }
    ProjectileManager* projectiles() { return projectileManager; }
    using OrvoGame::handlePlayerAttackOnEnemy;
    using OrvoGame::meleeAttack;
    using OrvoGame::spinHit;
    using OrvoGame::killBoss;
    using OrvoGame::bossWithinRange;
    Player* hero() { return player; }
    LootManager* loot() { return lootManager; }
    using OrvoGame::dropLoot;
    using OrvoGame::enemyWithinRange;
};

class OrvoGameRules : public testing::Test {
protected:
    void TearDown() override { MailBox::getInstance()->clear(); }
};

// Hero positions and distances at which the straight-ahead dot product
// rounds differently; the headings sweep the whole circle.
const std::vector<glm::vec3> HERO_PLACES = {{0.0f, 0.0f, 2.0f}, {37.3f, 12.9f, 2.0f}, {94.5f, 61.2f, 2.0f}};
const std::vector<float> DISTANCES = {0.7f, 1.9f, 3.3f, 4.4f};
constexpr int HEADINGS = 1440;

// Where something straight ahead of the hero stands.
glm::vec3 straightAhead(const glm::vec3& hero, float heading, float distance)
{
    return hero + distance * glm::vec3(std::cos(heading), std::sin(heading), 0.0f);
}

// Puts the target straight ahead of the hero at every place, heading and
// distance, and counts the swings that would not reach it.
int missedStraightAhead(RulesOnlyGame& game, const std::function<void(const glm::vec3&)>& placeTarget,
                        const std::function<bool()>& reached)
{
    int missed = 0;
    for (const glm::vec3& place : HERO_PLACES) {
        game.hero()->position = place;
        for (int i = 0; i < HEADINGS; ++i) {
            const float heading = glm::two_pi<float>() * static_cast<float>(i) / HEADINGS;
            game.hero()->rotation.z = heading;
            for (float distance : DISTANCES) {
                placeTarget(straightAhead(place, heading, distance));
                if (!reached())
                    ++missed;
            }
        }
    }
    return missed;
}

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
    // The cone's half angle is 40 degrees, on either side of the facing.
    const auto placeOff = [&](Unit* unit, float degrees) {
        const float radians = degrees / 57.29577951308232f;
        unit->position = glm::vec3(3.0f * std::cos(radians), 3.0f * std::sin(radians), hero->position.z);
    };
    for (float degrees : {38.0f, -38.0f}) {
        placeOff(offside, degrees);
        EXPECT_EQ(game.enemyWithinRange(true), offside) << degrees;
    }
    for (float degrees : {42.0f, -42.0f}) {
        placeOff(offside, degrees);
        EXPECT_EQ(game.enemyWithinRange(true), nullptr) << degrees;
    }
    // A later enemy in the cone is hit by the swing although the first one is nearer.
    Enemy* ahead = game.spawnEnemy(4.0f, 0.5f);
    ahead->position.z = hero->position.z;
    EXPECT_EQ(game.enemyWithinRange(true), ahead);
    // Reach is strict and three-dimensional: 4.5 units is out.
    ahead->position = glm::vec3(4.4f, 0.0f, hero->position.z);
    EXPECT_EQ(game.enemyWithinRange(true), ahead);
    ahead->position = glm::vec3(4.5f, 0.0f, hero->position.z);
    EXPECT_EQ(game.enemyWithinRange(true), nullptr);
    // Height counts too: 3.6 along and 2.8 up is 4.56 away, 2.6 up 4.44.
    ahead->position = glm::vec3(3.6f, 0.0f, hero->position.z + 2.8f);
    offside->position = ahead->position;
    EXPECT_EQ(game.enemyWithinRange(false), nullptr);
    ahead->position.z = hero->position.z + 2.6f;
    EXPECT_EQ(game.enemyWithinRange(false), ahead);

    // The boss meets the same reach and cone.
    Boss* boss = game.spawnBoss(3.0f, 0.0f, ENEMY_TYPE_RABAKULUS);
    for (float degrees : {38.0f, -38.0f}) {
        placeOff(boss, degrees);
        EXPECT_TRUE(game.bossWithinRange()) << degrees;
    }
    for (float degrees : {42.0f, -42.0f}) {
        placeOff(boss, degrees);
        EXPECT_FALSE(game.bossWithinRange()) << degrees;
    }
    boss->position = glm::vec3(4.4f, 0.0f, hero->position.z);
    EXPECT_TRUE(game.bossWithinRange());
    boss->position = glm::vec3(4.5f, 0.0f, hero->position.z);
    EXPECT_FALSE(game.bossWithinRange());
    boss->position = glm::vec3(3.6f, 0.0f, hero->position.z + 2.8f);
    EXPECT_FALSE(game.bossWithinRange());
    boss->position.z = hero->position.z + 2.6f;
    EXPECT_TRUE(game.bossWithinRange());
    boss->position = glm::vec3(2.0f, 0.0f, hero->position.z);
    boss->kill();
    EXPECT_FALSE(game.bossWithinRange()) << "a dead boss is no target";
}

TEST_F(OrvoGameRules, TheSpinHitsTwiceAsHardAsTheSwing)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    hero->position = glm::vec3(0.0f, 0.0f, 1.75f);
    hero->rotation.z = 0.0f;
    Enemy* enemy = game.spawnEnemy(3.0f, 0.0f); // level 1: armor 20, health 200
    for (unsigned seed = 1; seed <= 5; ++seed) {
        enemy->resetHealth();
        std::srand(seed);
        game.meleeAttack();
        const float swing = 200.0f - enemy->health;
        // Level 1 and strength 100 against level 1 and armor 20: 9 to 29.
        EXPECT_GE(swing, 9.0f) << seed;
        EXPECT_LE(swing, 29.0f) << seed;

        // The same roll of the dice in a spin.
        enemy->resetHealth();
        std::srand(seed);
        game.spinHit();
        EXPECT_FLOAT_EQ(200.0f - enemy->health, 2.0f * swing) << seed;
    }
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

namespace {

// Level and quality of every item lying on the ground, read from the codes.
struct Drops {
    size_t count = 0;
    std::set<int> levels;
    std::map<int, double> shareOf;
};

Drops dropsOf(const LootManager* loot)
{
    Drops drops;
    std::map<int, int> qualities;
    for (const loot_data* record : loot->getLoot()) {
        EXPECT_EQ(record->levelName, "levels/level0.xml");
        drops.levels.insert(static_cast<int>(record->itemCode & 0xFFu));
        ++qualities[static_cast<int>((record->itemCode >> 12) & 0xFu)];
        ++drops.count;
    }
    for (const auto& [quality, count] : qualities)
        drops.shareOf[quality] = count / static_cast<double>(drops.count);
    return drops;
}

// Each quality's share of the drops lies within three standard deviations
// of its chance; the chances are given from NORMAL to EPIC.
void expectQualityShares(const Drops& drops, const std::vector<double>& chances)
{
    ASSERT_EQ(drops.shareOf.size(), chances.size());
    for (int quality = NORMAL; quality <= EPIC; ++quality) {
        const double chance = chances[static_cast<size_t>(quality)];
        const double spread = 3.0 * std::sqrt(chance * (1.0 - chance) / static_cast<double>(drops.count));
        EXPECT_NEAR(drops.shareOf.at(quality), chance, spread) << "quality " << quality;
    }
}

} // namespace

TEST_F(OrvoGameRules, OneKillInSevenDropsAnItemWithinTwoLevelsOfThePlayer)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    Enemy* enemy = game.spawnEnemy(3.0f, 0.0f);
    std::srand(2024);
    constexpr int KILLS = 10000;
    for (int i = 0; i < KILLS; ++i) {
        hero->exp = 12001; // level 5, kill after kill
        enemy->state = ENEMY_STATE_IDLE;
        enemy->resetHealth();
        game.handlePlayerAttackOnEnemy(enemy, 1.0f, 100000);
        ASSERT_TRUE(enemy->isDead());
    }
    const Drops drops = dropsOf(game.loot());
    EXPECT_NEAR(drops.count / static_cast<double>(KILLS), 0.15, 0.012);
    EXPECT_EQ(drops.levels, (std::set<int>{3, 4, 5, 6, 7}));
    expectQualityShares(drops, {0.70, 0.15, 0.10, 0.05});
}

TEST_F(OrvoGameRules, ItemLevelsStayAtOneOrMoreForAFreshHero)
{
    RulesOnlyGame game;
    std::srand(2024);
    for (int i = 0; i < 300; ++i)
        game.dropLoot(glm::vec3(1.0f, 2.0f, 1.0f), 2, 0.3f, 0.15f, 0.05f);
    EXPECT_EQ(dropsOf(game.loot()).levels, (std::set<int>{1, 2, 3}));
}

TEST_F(OrvoGameRules, AKilledBossIsWorthFiveKillsAndDropsFiveItemsOfBetterOdds)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    hero->position = glm::vec3(0.0f, 0.0f, 2.0f);
    hero->rotation.z = 0.0f;
    Boss* boss = game.spawnBoss(3.0f, 0.0f, ENEMY_TYPE_RABAKULUS);
    boss->health = 1.0f;
    game.meleeAttack();
    ASSERT_TRUE(boss->isDead());
    // A level-5 boss is worth 1171 to a level-1 hero, five times over.
    EXPECT_EQ(hero->exp, 1 + 5855);
    EXPECT_EQ(game.loot()->getLoot().size(), 5u);

    std::srand(77);
    for (int i = 0; i < 1000; ++i) {
        hero->exp = 1;
        game.killBoss();
    }
    const Drops drops = dropsOf(game.loot());
    EXPECT_EQ(drops.count, 5005u);
    EXPECT_EQ(drops.levels, (std::set<int>{1, 2})) << "within one level of the hero's, and never 0";
    expectQualityShares(drops, {0.60, 0.10, 0.10, 0.20});
}

TEST_F(OrvoGameRules, AKillAwardsExperienceAndALevelUpSetsTheEnemysRespawnLevel)
{
    RulesOnlyGame game;
    Player* hero = game.hero();
    Enemy* weak = game.spawnEnemy(3.0f, 0.0f, 2);
    game.handlePlayerAttackOnEnemy(weak, 1.0f, 100000);
    EXPECT_TRUE(weak->isDead());
    // A level-2 enemy is worth 428 to a level-1 hero.
    EXPECT_EQ(hero->exp, 1 + 428);
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
        // Red, 20 units a second outwards.
        EXPECT_NEAR(shot.vx, 20.0f * std::cos(angle), 1e-4f);
        EXPECT_NEAR(shot.vy, 20.0f * std::sin(angle), 1e-4f);
        EXPECT_EQ(glm::vec3(shot.color[0], shot.color[1], shot.color[2]), glm::vec3(1.0f, 0.0f, 0.0f));
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
    EXPECT_FLOAT_EQ(hero->spinTimer, 1.0f);

    // Regeneration: 10 power and 5 health a second for 5 seconds.
    ASSERT_TRUE(game.regen()->use());
    EXPECT_FLOAT_EQ(hero->power, 10.0f);
    EXPECT_FLOAT_EQ(hero->tempPowerRegenRate, 10.0f);
    EXPECT_FLOAT_EQ(hero->tempPowerRegenTimer, 5.0f);
    EXPECT_FLOAT_EQ(hero->tempRegenRate, 5.0f);
    EXPECT_FLOAT_EQ(hero->tempRegenTime, 5.0f);

    // Berserker: 100 more strength for 5 seconds.
    hero->power = 100.0f;
    ASSERT_TRUE(game.berserker()->use());
    EXPECT_FLOAT_EQ(hero->power, 70.0f);
    EXPECT_EQ(hero->getStrength(), 200);
    EXPECT_FLOAT_EQ(hero->tempStrengthTimer, 5.0f);
}

TEST_F(OrvoGameRules, AnEnemyStraightAheadIsAlwaysWithinTheSwingsCone)
{
    RulesOnlyGame game;
    Enemy* enemy = game.spawnEnemy(0.0f, 0.0f);
    const int missed = missedStraightAhead(
        game, [enemy](const glm::vec3& at) { enemy->position = at; },
        [&game, enemy] { return game.enemyWithinRange(true) == enemy; });
    EXPECT_EQ(missed, 0) << "of " << HERO_PLACES.size() * HEADINGS * DISTANCES.size();
}

TEST_F(OrvoGameRules, ABossStraightAheadIsAlwaysWithinTheSwingsCone)
{
    RulesOnlyGame game;
    Boss* boss = game.spawnBoss(0.0f, 0.0f, ENEMY_TYPE_HARIONA);
    const int missed = missedStraightAhead(
        game, [boss](const glm::vec3& at) { boss->position = at; }, [&game] { return game.bossWithinRange(); });
    EXPECT_EQ(missed, 0) << "of " << HERO_PLACES.size() * HEADINGS * DISTANCES.size();
}

TEST_F(OrvoGameRules, StraightBehindIsStillOutsideTheCone)
{
    RulesOnlyGame game;
    game.hero()->position = HERO_PLACES[1];
    Enemy* enemy = game.spawnEnemy(0.0f, 0.0f);
    for (int i = 0; i < HEADINGS; i += 7) {
        const float heading = glm::two_pi<float>() * static_cast<float>(i) / HEADINGS;
        game.hero()->rotation.z = heading;
        enemy->position = straightAhead(HERO_PLACES[1], heading + glm::pi<float>(), 2.0f);
        EXPECT_EQ(game.enemyWithinRange(true), nullptr) << heading;
        EXPECT_EQ(game.enemyWithinRange(false), enemy) << heading;
    }
}
