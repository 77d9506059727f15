#include "game/OrvoGame.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>

#include "audio/SoundSystem.h"
#include "core/Log.h"
#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/Boss.h"
#include "game/CombatSystem.h"
#include "game/Enemy.h"
#include "game/Item.h"
#include "game/Level.h"
#include "game/LootManager.h"
#include "game/Npc.h"
#include "game/Player.h"
#include "game/ProjectileManager.h"
#include "game/Skill.h"
#include "hud/CombatText.h"
#include "hud/Hud.h"
#include "render/Camera.h"
#include "render/ParticleSystem.h"
#include "render/ScreenQuad.h"

namespace {

// The pixelate shaders cut every frame into this many blocks, whatever the
// window size, and show each block in the colour sampled at its centre: the
// mean of the two by two texels round that point. No other texel of the
// offscreen frame is ever seen.
constexpr int PIXELATE_COLUMNS = 320;
constexpr int PIXELATE_ROWS = 180;
constexpr int SAMPLED_TEXELS = 2;
// Stencil bits of the offscreen frame: the texel lies in a sampled row, in a
// sampled column; the world is drawn only where both are set.
constexpr GLint SAMPLED_ROW = 1;
constexpr GLint SAMPLED_COLUMN = 2;
constexpr GLint SAMPLED = SAMPLED_ROW | SAMPLED_COLUMN;

// The first of the texels the pixelate pass samples for a block.
int firstSampledTexel(int block, int frameSize, int blocks)
{
    return static_cast<int>(std::floor((block + 0.5) * frameSize / blocks - 0.5));
}

// Sets 'bit' in the stencil of every sampled row (or column) of the bound
// framebuffer.
void markSampledLines(GLint bit, int frameWidth, int frameHeight, bool rows)
{
    glStencilMask(static_cast<GLuint>(bit));
    glClearStencil(bit);
    const int blocks = rows ? PIXELATE_ROWS : PIXELATE_COLUMNS;
    for (int block = 0; block < blocks; ++block) {
        const int first = firstSampledTexel(block, rows ? frameHeight : frameWidth, blocks);
        if (rows)
            glScissor(0, first, frameWidth, SAMPLED_TEXELS);
        else
            glScissor(first, 0, SAMPLED_TEXELS, frameHeight);
        glClear(GL_STENCIL_BUFFER_BIT);
    }
}

// Marks in the stencil of the bound framebuffer the texels the pixelate
// pass will sample, once: the frame's clear leaves the stencil alone.
void markSampledTexels(int frameWidth, int frameHeight)
{
    glStencilMask(0xFF);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    markSampledLines(SAMPLED_ROW, frameWidth, frameHeight, true);
    markSampledLines(SAMPLED_COLUMN, frameWidth, frameHeight, false);
    glDisable(GL_SCISSOR_TEST);
    glStencilMask(0xFF);
    glClearStencil(0);
}

const char* const TOWN_LEVEL = "levels/level0.xml";
const char* const TOWN_MUSIC = "sounds/town_background.wav";
// Units dropping into a level start this high above the floor.
constexpr float DROP_HEIGHT = 20.0f;

// Melee: reach in world units and the half angle of the facing cone.
constexpr float MELEE_REACH = 4.5f;
constexpr float MELEE_CONE_DEGREES = 40.0f;
constexpr int MIN_POWER_TO_SWING = 6;
constexpr float SWING_POWER_COST = 1.0f;
constexpr float SWING_MULTIPLIER = 1.0f;
constexpr float SPIN_MULTIPLIER = 2.0f;

// Loot: an ordinary kill sometimes drops one item near the player's level,
// a boss always drops five, of better quality.
constexpr float LOOT_CHANCE = 0.15f;
constexpr int KILL_LOOT_SPREAD = 2;
constexpr float KILL_MAGIC = 0.3f, KILL_RARE = 0.15f, KILL_EPIC = 0.05f;
constexpr int BOSS_DROPS = 5;
constexpr int BOSS_LOOT_SPREAD = 1;
constexpr float BOSS_MAGIC = 0.4f, BOSS_RARE = 0.3f, BOSS_EPIC = 0.2f;
constexpr int BOSS_EXP_FACTOR = 5;
constexpr int MIN_ITEM_LEVEL = 1;
constexpr int MAX_ITEM_LEVEL = 100;

// Skill effects.
constexpr float REGEN_POWER_RATE = 10.0f, REGEN_HEALTH_RATE = 5.0f, BUFF_SECONDS = 5.0f;
constexpr float BERSERKER_STRENGTH = 100.0f;
constexpr int FIREBALL_COUNT = 10;
constexpr float FIREBALL_SPEED = 20.0f;
constexpr float FIREBALL_START_DISTANCE = 2.0f;
constexpr int FIREBALL_DAMAGE_PER_LEVEL = 75;

float degreesBetween(const glm::vec3& direction, float heading)
{
    const glm::vec3 flat = glm::normalize(glm::vec3(direction.x, direction.y, 0.0f));
    const glm::vec3 facing(std::cos(heading), std::sin(heading), 0.0f);
    // Rounding may push the dot product of the two unit vectors a hair above
    // 1 for a target straight ahead, where acos has no value.
    const float cosine = std::clamp(glm::dot(flat, facing), -1.0f, 1.0f);
    return std::fabs(std::acos(cosine) * 57.29577951308232f);
}

} // namespace

OrvoGame::OrvoGame(std::string /*unused*/)
    : soundSystem(nullptr), player(nullptr), hud(nullptr), combatText(nullptr), camera(nullptr), fboQuad(nullptr),
      level(nullptr), deathEffect(nullptr), regenEffect(nullptr), lootManager(nullptr), projectileManager(nullptr),
      regenSkill(nullptr), teleportSkill(nullptr), berserkerSkill(nullptr), bladestormSkill(nullptr),
      fireballSkill(nullptr), teleportPending(false), stateTimer(0.0f), boss(nullptr),
      gameState(GAME_STATE_START_MENU), levelPath(TOWN_LEVEL)
{
    // The bus hands a message to the first receiver of its kind: the game
    // must be it for these four.
    MailBox* bus = MailBox::getInstance();
    bus->registerReceiver(this, MESSAGE_PLAYER_RECEIVED_DAMAGE);
    bus->registerReceiver(this, MESSAGE_LOAD_LEVEL);
    bus->registerReceiver(this, MESSAGE_PLAYER_DEAD);
    bus->registerReceiver(this, MESSAGE_ENEMY_RECEIVED_DAMAGE);
}

OrvoGame::~OrvoGame()
{
    tearDownLevel();
    delete deathEffect;
    delete regenEffect;
    delete fboQuad;
    delete camera;
    delete combatText;
    delete hud;
    delete player;
    delete soundSystem;
    delete lootManager;
    delete regenSkill;
    delete teleportSkill;
    delete berserkerSkill;
    delete bladestormSkill;
    delete fireballSkill;
}

bool OrvoGame::setup()
{
    soundSystem = new SoundSystem(true);
    if (!soundSystem->setup()) {
        log_error("Failed to setup sound system!");
        return false;
    }
    player = new Player(0.0f, 0.0f);
    if (!player->setup()) {
        log_error("Failed to setup Player!");
        return false;
    }
    teleportSkill = new Skill("Teleport", "textures/skill_teleport.png", 10, 2, this);
    regenSkill = new Skill("Powerful Regeneration", "textures/skill_regen.png", 0, 9, this);
    berserkerSkill = new Skill("Berserker", "textures/skill_berserker.png", 30, 9, this);
    bladestormSkill = new Skill("Bladestorm", "textures/skill_bladestorm.png", 20, 0, this);
    fireballSkill = new Skill("Fireball", "textures/skill_fireball.png", 40, 5, this);

    hud = new Hud(player, player);
    if (levelPath == TOWN_LEVEL)
        hud->menu = true;
    hud->configureSkillButton1(teleportSkill, teleportSkill, '1');
    hud->configureSkillButton2(regenSkill, regenSkill, '2');
    hud->configureSkillButton3(berserkerSkill, berserkerSkill, '3');
    hud->configureSkillButton4(bladestormSkill, bladestormSkill, '4');
    hud->configureSkillButton5(fireballSkill, fireballSkill, '5');
    hud->prepareBuff(regenSkill->getTexturePath());
    hud->prepareBuff(berserkerSkill->getTexturePath());
    if (!hud->setup()) {
        log_error("Failed to setup HUD!");
        return false;
    }
    if (!setupLevel(SETUP_LEVEL_START)) {
        log_error("Failed to setup level");
        return false;
    }
    combatText = new CombatText();
    if (!combatText->setup()) {
        log_error("Failed to setup combat text!");
        return false;
    }
    camera = new Camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f),
                        static_cast<float>(SCREEN_WIDTH), static_cast<float>(SCREEN_HEIGHT));
    camera->setFollowable(player);

    const char* pixelate = SCREEN_WIDTH == 1920   ? "shaders/pixelate_1920.fs"
                           : SCREEN_WIDTH == 1280 ? "shaders/pixelate_1280.fs"
                                                  : "shaders/pixelate_1024.fs";
    fboQuad = new ScreenQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "shaders/basicortho.vs", pixelate);
    if (!fboQuad->setup()) {
        log_error("Failed to setup FBO ScreenQuad!");
        return false;
    }
    deathEffect = new ParticleSystem("particlesystems/death.xml", false);
    if (!deathEffect->setup()) {
        log_error("Failed to setup kill particle system!");
        return false;
    }
    regenEffect = new ParticleSystem("particlesystems/regen.xml", false);
    if (!regenEffect->setup()) {
        log_error("Failed to setup regen particle system!");
        return false;
    }
    lootManager = new LootManager();
    if (!lootManager->setup()) {
        log_error("Failed to setup loot manager");
        return false;
    }
    log_info("Setup successful, starting game loop..");
    return true;
}

const char* OrvoGame::whoIsThere()
{
    return "OrvoGame";
}

int OrvoGame::getAvailablePower()
{
    return static_cast<int>(player->power);
}

void OrvoGame::addEnemy(Enemy* enemy)
{
    enemies.push_back(enemy);
    summoned.push_back(enemy);
}

void OrvoGame::removeEnemy(Enemy* enemy)
{
    const auto listed = std::find(enemies.begin(), enemies.end(), enemy);
    if (listed != enemies.end())
        enemies.erase(listed);
    const auto minion = std::find(summoned.begin(), summoned.end(), enemy);
    if (minion != summoned.end())
        summoned.erase(minion);
}

bool OrvoGame::isCollision(const glm::vec3& /*position*/, float /*radius*/)
{
    log_error("Not implemented");
    return false;
}

void* OrvoGame::isCollisionExt(const glm::vec3& position, float /*size*/)
{
    for (Enemy* enemy : enemies) {
        if (enemy->isDead())
            continue;
        const glm::vec3& p = enemy->position;
        if (MathUtil::insideRect(glm::vec2(position), p.x - enemy->width / 2.0f, p.y - enemy->depth / 2.0f,
                                 enemy->width, enemy->depth))
            return enemy;
    }
    return nullptr;
}

bool OrvoGame::lineOfSight(const glm::vec3& /*from*/, const glm::vec3& /*to*/, float /*maxDistance*/)
{
    log_error("Not implemented");
    return false;
}

void* OrvoGame::lineOfSightExt(const glm::vec3& /*from*/, const glm::vec3& /*to*/, bool* clear,
                               float /*maxDistance*/)
{
    log_error("Not implemented");
    if (clear != nullptr)
        *clear = false;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Level changes and messages

int OrvoGame::enemyLevelFor(const std::string& path, int playerLevel)
{
    // The second dungeon and the third keep a floor under the monsters'
    // level, so a fresh hero who travels there by map meets a challenge.
    if (path == "levels/level2_1.xml" || path == "levels/level2_2.xml")
        return playerLevel <= 4 ? 6 : playerLevel;
    if (path == "levels/level3_1.xml" || path == "levels/level3_2.xml")
        return std::max(playerLevel, 9);
    return playerLevel;
}

void OrvoGame::tearDownLevel()
{
    for (Npc* npc : npcs)
        delete npc;
    npcs.clear();
    // A summoned minion is only listed here; its boss deletes it.
    for (Enemy* enemy : enemies) {
        if (std::find(summoned.begin(), summoned.end(), enemy) == summoned.end())
            delete enemy;
    }
    enemies.clear();
    summoned.clear();
    delete boss;
    boss = nullptr;
    delete projectileManager;
    projectileManager = nullptr;
    delete level;
    level = nullptr;
}

bool OrvoGame::setupLevel(setup_level_reason reason)
{
    // The new level is loaded before the old one goes, so that a level that
    // fails to load leaves the game on the level it was on.
    Level* next = new Level(levelPath);
    if (!next->setup()) {
        log_error("Error loading level");
        delete next;
        return false;
    }
    soundSystem->stopContinousSound();
    if (combatText != nullptr)
        combatText->removeAll();
    tearDownLevel();
    level = next;

    const glm::vec3 landing = reason == SETUP_LEVEL_START      ? level->startPosition
                              : reason == SETUP_LEVEL_PREVIOUS ? level->nextStairsPos
                                                               : level->prevStairsPos;
    player->position.x = landing.x;
    player->position.y = landing.y;
    soundSystem->startContinousSound(level->backgroundSound);

    if (!populateLevel())
        return false;
    hud->setLevelName(level->name);
    if (levelPath != TOWN_LEVEL) {
        player->position.z = DROP_HEIGHT;
        player->falling = true;
    }
    return true;
}

bool OrvoGame::populateLevel()
{
    projectileManager = new ProjectileManager(level, player, this);
    if (!projectileManager->setup()) {
        log_error("Failed to setup projectile manager");
        return false;
    }
    for (int i = 0; i < level->getNumEnemies(); ++i) {
        const spawn_data* spawn = level->getEnemyData(i);
        const float scale = MathUtil::grf(0.8f, 0.4f);
        const enemy_type type = static_cast<enemy_type>(spawn->type);
        if (type >= ENEMY_TYPE_RABAKULUS) {
            delete boss; // a level names one boss; a second record replaces the first
            boss = nullptr;
            if (!keepIfSetUp(new Boss(spawn->x, spawn->y, type, projectileManager, this, player),
                             "Failed to setup BOSS!", [this](Boss* made) { boss = made; }))
                return false;
            continue;
        }
        if (!keepIfSetUp(new Enemy(spawn->x, spawn->y, scale, enemyLevelFor(levelPath, player->getLevel()), type,
                                   projectileManager, true, true),
                         "Failed to setup enemy!", [this](Enemy* made) { enemies.push_back(made); }))
            return false;
    }
    for (int i = 0; i < level->getNumNpcs(); ++i) {
        const spawn_data* spawn = level->getNpcData(i);
        if (!keepIfSetUp(new Npc(spawn->x, spawn->y, static_cast<npc_type>(spawn->type)), "Failed to setup NPC",
                         [this](Npc* made) { npcs.push_back(made); }))
            return false;
    }
    return true;
}

bool OrvoGame::travelTo(const std::string& path, setup_level_reason reason)
{
    const std::string previous = levelPath;
    const Level* before = level;
    levelPath = path;
    if (setupLevel(reason))
        return true;
    // A level that failed to load was never put in place: stay where we are.
    if (level == before)
        levelPath = previous;
    return false;
}

void OrvoGame::handleMessage(Message message, MessagePayload* payload)
{
    switch (message) {
    case MESSAGE_PLAYER_RECEIVED_DAMAGE: {
        if (gameState == GAME_STATE_DEAD || payload == nullptr)
            return;
        const int damage = payload->getInt();
        combatText->addDamageText(damage, player, false);
        if (player->addDamage(static_cast<float>(damage)))
            MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_DEAD, nullptr);
        return;
    }
    case MESSAGE_PLAYER_DEAD:
        if (gameState == GAME_STATE_DEAD)
            return;
        soundSystem->play(SOUND_PLAYER_DEATH, false);
        deathEffect->activateOnce(player->position);
        player->die();
        gameState = GAME_STATE_DEAD;
        stateTimer = 0.0f;
        return;
    case MESSAGE_LOAD_LEVEL: {
        if (payload == nullptr)
            return;
        const std::string path = payload->getString();
        if (path == levelPath) {
            log_info("You are already at this level");
            return;
        }
        travelTo(path, SETUP_LEVEL_START);
        hud->showAll(true);
        return;
    }
    case MESSAGE_ENEMY_RECEIVED_DAMAGE: {
        if (payload == nullptr)
            return;
        Enemy* enemy = static_cast<Enemy*>(payload->getCustom());
        if (enemy != nullptr && !enemy->isDead())
            handlePlayerAttackOnEnemy(enemy, 1.0f, payload->getInt());
        return;
    }
    default:
        return;
    }
}

// ---------------------------------------------------------------------------
// Melee attacks, kills and loot

Enemy* OrvoGame::enemyWithinRange(bool facing)
{
    for (Enemy* enemy : enemies) {
        if (enemy->isDead())
            continue;
        const glm::vec3 d = enemy->position - player->position;
        if (glm::length(d) >= MELEE_REACH)
            continue;
        if (!facing || degreesBetween(d, player->rotation.z) < MELEE_CONE_DEGREES)
            return enemy;
    }
    return nullptr;
}

bool OrvoGame::bossWithinRange()
{
    if (boss == nullptr || boss->isDead())
        return false;
    const glm::vec3 d = boss->position - player->position;
    return glm::length(d) < MELEE_REACH && degreesBetween(d, player->rotation.z) < MELEE_CONE_DEGREES;
}

void OrvoGame::handlePlayerAttackOnEnemy(Enemy* enemy, float multiplier, int damage)
{
    bool crit = false;
    if (damage == 0)
        damage = static_cast<int>(multiplier * static_cast<float>(CombatSystem::getDamage(player, enemy, &crit, 0)));
    if (damage >= 0)
        combatText->addDamageText(damage, enemy, crit);
    if (!enemy->addDamage(static_cast<float>(damage)))
        return;

    deathEffect->activateOnce(enemy->position);
    const int newLevel = player->addExp(getKillExp(player->getLevel(), enemy->getLevel()));
    if (newLevel != -1) {
        soundSystem->play(SOUND_LEVEL_UP, false);
        hud->setPlayerLevel(newLevel);
    }
    enemy->kill(newLevel);
    if (enemy->canDropLoot && MathUtil::get_random() < LOOT_CHANCE)
        dropLoot(enemy->position, KILL_LOOT_SPREAD, KILL_MAGIC, KILL_RARE, KILL_EPIC);
}

void OrvoGame::dropLoot(const glm::vec3& position, int levelSpread, float magicChance, float rareChance,
                        float epicChance)
{
    const int playerLevel = player->getLevel();
    const int minLevel = std::max(MIN_ITEM_LEVEL, playerLevel - levelSpread);
    const int maxLevel = std::min(MAX_ITEM_LEVEL, playerLevel + levelSpread);
    const float r = MathUtil::get_random();
    const item_quality quality = r < epicChance ? EPIC : r < rareChance ? RARE : r < magicChance ? MAGIC : NORMAL;
    const unsigned code = Item::generate(minLevel, maxLevel, ANY_SLOT, quality);
    lootManager->addLoot(position, code, levelPath);
}

void OrvoGame::meleeAttack()
{
    if (static_cast<int>(player->power) < MIN_POWER_TO_SWING) {
        soundSystem->play(SOUND_NO_POWER, false);
        return;
    }
    player->performMeleeAttackAnimation(nullptr, nullptr);
    soundSystem->play(SOUND_ATTACK_1, false);
    player->power -= SWING_POWER_COST;

    Enemy* enemy = enemyWithinRange(true);
    if (enemy != nullptr)
        handlePlayerAttackOnEnemy(enemy, SWING_MULTIPLIER, 0);
    if (!bossWithinRange())
        return;
    bool crit = false;
    const int damage = CombatSystem::getDamage(player, boss, &crit, 0);
    if (damage >= 0)
        combatText->addDamageText(damage, boss, crit);
    if (boss->addDamage(static_cast<float>(damage)))
        killBoss();
}

void OrvoGame::killBoss()
{
    deathEffect->activateOnce(boss->position);
    boss->kill();
    for (int i = 0; i < BOSS_DROPS; ++i)
        dropLoot(boss->position, BOSS_LOOT_SPREAD, BOSS_MAGIC, BOSS_RARE, BOSS_EPIC);
    const int newLevel = player->addExp(BOSS_EXP_FACTOR * getKillExp(player->getLevel(), boss->getLevel()));
    if (newLevel != -1) {
        soundSystem->play(SOUND_LEVEL_UP, false);
        hud->setPlayerLevel(newLevel);
    }
    soundSystem->stopContinousSound();
    soundSystem->startContinousSound(TOWN_MUSIC);
}

void OrvoGame::spinHit()
{
    Enemy* enemy = enemyWithinRange(false);
    if (enemy != nullptr)
        handlePlayerAttackOnEnemy(enemy, SPIN_MULTIPLIER, 0);
}

// ---------------------------------------------------------------------------
// Skills

void OrvoGame::skillActivated(Skill* skill)
{
    player->power -= static_cast<float>(skill->getPowerCost());
    if (skill == teleportSkill) {
        soundSystem->play(SOUND_TELEPORT, false);
        teleportPending = true;
    } else if (skill == regenSkill) {
        soundSystem->play(SOUND_REGEN, false);
        regenEffect->activateOnce(player->position);
        player->setTemporaryPowerRegenRate(REGEN_POWER_RATE, BUFF_SECONDS);
        player->setTemporaryHealthRegenRate(REGEN_HEALTH_RATE, BUFF_SECONDS);
        combatText->addText(skill->getName().c_str(), player);
        hud->showBuff(skill->getTexturePath(), static_cast<int>(BUFF_SECONDS));
    } else if (skill == berserkerSkill) {
        soundSystem->play(SOUND_BERSERKER, false);
        player->setTemporaryExtraStrength(BERSERKER_STRENGTH, BUFF_SECONDS);
        combatText->addText(skill->getName().c_str(), player);
        hud->showBuff(skill->getTexturePath(), static_cast<int>(BUFF_SECONDS));
    } else if (skill == fireballSkill) {
        soundSystem->play(SOUND_PROJECTILE, false);
        for (int i = 0; i < FIREBALL_COUNT; ++i) {
            const float angle = static_cast<float>(i) * glm::two_pi<float>() / FIREBALL_COUNT;
            const glm::vec3 direction(std::cos(angle), std::sin(angle), 0.0f);
            const glm::vec3 start = player->position + FIREBALL_START_DISTANCE * direction;
            if (projectileManager != nullptr)
                projectileManager->add(start, direction, FIREBALL_SPEED, glm::vec3(1.0f, 0.0f, 0.0f), player,
                                       FIREBALL_DAMAGE_PER_LEVEL * player->getLevel());
        }
    } else if (skill == bladestormSkill) {
        soundSystem->play(SOUND_ATTACK_3, false);
        player->spin();
    }
}

// ---------------------------------------------------------------------------
// The frame loop

void OrvoGame::updateFps(float dt)
{
    static float fps_avg[10] = {};
    static int fps_index = 0;
    static int print_count = 0;
    // Two frames within one millisecond have no finite rate: keep the old sample.
    if (dt > 0.0f)
        fps_avg[fps_index] = 1.0f / dt;
    fps_index = (fps_index + 1) % 10;
    ++print_count;
    if (print_count % 60 == 0) {
        float sum = 0.0f;
        for (float sample : fps_avg)
            sum += sample;
        hud->setFPS(static_cast<int>(sum / 10.0f));
    }
}

bool OrvoGame::createFramebuffer(GLuint* frameBuffer, GLuint* frameTexture, GLuint* depthStencilBuffer)
{
    glGenFramebuffers(1, frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, *frameBuffer);
    glGenTextures(1, frameTexture);
    glBindTexture(GL_TEXTURE_2D, *frameTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, SCREEN_WIDTH, SCREEN_HEIGHT, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, *frameTexture, 0);
    glGenRenderbuffers(1, depthStencilBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, *depthStencilBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, SCREEN_WIDTH, SCREEN_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, *depthStencilBuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete)
        markSampledTexels(SCREEN_WIDTH, SCREEN_HEIGHT);
    return complete;
}

void OrvoGame::setDrawingState()
{
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

glm::vec3 OrvoGame::worldPointUnder(int x, int y) const
{
    // screen_to_world looks through the mirrored pixel; mirroring here too
    // gives the ground point under the cursor.
    const glm::vec2 mirrored(static_cast<float>(SCREEN_WIDTH - x), static_cast<float>(SCREEN_HEIGHT - y));
    return screen_to_world(mirrored, camera->getPerspectiveMatrix(), camera->getViewMatrix());
}

void OrvoGame::gameLoop(SDL_Window* window)
{
    SDL_SetCursor(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR));
    setDrawingState();

    Uint32 previousTicks = SDL_GetTicks();
    GLuint frameBuffer = 0, frameTexture = 0, depthStencilBuffer = 0;
    if (!createFramebuffer(&frameBuffer, &frameTexture, &depthStencilBuffer))
        log_error("Framebuffer error");

    LoopState loop;
    for (;;) {
        const Uint32 ticks = SDL_GetTicks();
        const float dt = static_cast<float>(ticks - previousTicks) / 1000.0f;
        previousTicks = ticks;
        updateFps(dt);
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        loop.quitRequested = termination_requested();

        bool draw = true;
        bool exitNow = false;
        switch (gameState) {
        case GAME_STATE_START_MENU:
            startMenuStep(dt, mx, my, loop);
            break;
        case GAME_STATE_ENTERING:
            enteringStep(dt);
            break;
        case GAME_STATE_PLAYING:
            exitNow = !playingStep(dt, mx, my, loop);
            draw = loop.hudResult == 0;
            break;
        case GAME_STATE_PAUSED:
            pausedStep(dt, mx, my, loop);
            break;
        case GAME_STATE_DEAD:
            deadStep(dt);
            break;
        default:
            log_error("Unhandled game state");
            break;
        }
        if (exitNow)
            break;
        if (draw) {
            drawFrame(window, frameBuffer, frameTexture);
            if (loop.quitRequested)
                break;
        }
        logPosition(loop);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &depthStencilBuffer);
    glDeleteTextures(1, &frameTexture);
    glDeleteFramebuffers(1, &frameBuffer);
}

void OrvoGame::logPosition(LoopState& loop) const
{
    if (loop.positionLogCounter > 50) {
        log_info("(%0.1f, %0.1f)", player->position.x, player->position.y);
        loop.positionLogCounter = 0;
    } else {
        ++loop.positionLogCounter;
    }
}

void OrvoGame::startMenuStep(float dt, int mx, int my, LoopState& loop)
{
    level->update(dt);
    camera->update(dt);
    hud->update(dt, mx, SCREEN_HEIGHT - my);
    for (Npc* npc : npcs)
        npc->update(dt, level);

    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type != SDL_MOUSEBUTTONUP)
            continue;
        const mouse_button button = event.button.button == SDL_BUTTON_LEFT ? MOUSE_BUTTON_LEFT : MOUSE_BUTTON_OTHER;
        const int result = hud->mouseClick(event.button.x, SCREEN_HEIGHT - event.button.y, button);
        if (result == 1) {
            loop.quitRequested = true;
        } else if (result == 2) {
            hud->menu = false;
            hud->showAll(true);
            player->position.z = DROP_HEIGHT;
            player->falling = true;
            stateTimer = 0.0f;
            gameState = GAME_STATE_ENTERING;
        }
    }
}

void OrvoGame::enteringStep(float dt)
{
    stateTimer += dt;
    player->update(dt, level);
    level->update(dt);
    camera->update(dt);
    hud->update(dt, 0, 0);
    if (stateTimer > 1.0f) {
        gameState = GAME_STATE_PLAYING;
        stateTimer = 0.0f;
        if (boss != nullptr)
            boss->resumeState();
    }
}

bool OrvoGame::playingStep(float dt, int mx, int my, LoopState& loop)
{
    loop.attackRequested = false;
    loop.hudResult = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (!handlePlayingEvent(event, loop))
            return false;
    }
    if (loop.hudResult != 0)
        return true;
    playingUpdates(dt, mx, my, loop);
    if (loop.attackRequested)
        meleeAttack();
    if (player->isSpinning())
        spinHit();
    return true;
}

bool OrvoGame::handlePlayingEvent(const SDL_Event& event, LoopState& loop)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONUP: {
        const bool left = event.button.button == SDL_BUTTON_LEFT;
        loop.hudResult =
            hud->mouseClick(event.button.x, SCREEN_HEIGHT - event.button.y, left ? MOUSE_BUTTON_LEFT : MOUSE_BUTTON_OTHER);
        if (loop.hudResult == 1)
            return false;
        if (loop.hudResult == 2)
            hud->menu = false;
        if (left && !loop.holdPosition && !hud->inventoryActive()) {
            const glm::vec3 w = worldPointUnder(event.button.x, event.button.y);
            player->setExtraWalkInDir(glm::length(w - player->position));
        }
        loop.mouseHeld = false;
        loop.walking = false;
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (hud->inventoryActive())
            return true;
        if (event.button.button == SDL_BUTTON_LEFT) {
            handleLeftPress(event.button.x, event.button.y, loop);
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            loop.attackRequested = true;
            loop.mouseHeld = true;
            loop.walking = false;
        } else {
            loop.mouseHeld = true;
            player->invalidateTargetPosition();
            loop.walking = true;
        }
        return true;
    case SDL_MOUSEWHEEL:
        if (event.wheel.y > 0)
            camera->zoomIn();
        else if (event.wheel.y < 0)
            camera->zoomOut();
        return true;
    case SDL_KEYUP:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            hud->menu = true;
            gameState = GAME_STATE_PAUSED;
        } else if (event.key.keysym.sym == SDLK_SPACE) {
            loop.holdPosition = false;
            player->blocked = false;
            player->targetPosition = player->position;
        }
        return true;
    case SDL_KEYDOWN:
        hud->keyPress(static_cast<char>(event.key.keysym.sym));
        if (event.key.keysym.sym == SDLK_SPACE) {
            loop.holdPosition = true;
            player->blocked = true;
            player->targetPosition = player->position;
        } else if (event.key.keysym.sym == SDLK_v) {
            for (Enemy* enemy : enemies)
                enemy->toggleHealthBarEnabled();
        }
        return true;
    default:
        return true;
    }
}

void OrvoGame::handleLeftPress(int x, int y, LoopState& loop)
{
    const glm::vec3 w = worldPointUnder(x, y);
    // Only loot lying on this level can be picked up from here.
    const unsigned code = lootManager->mouseClick(w, levelPath);
    const bool picked = code != 0 && player->addItem(code);
    if (picked)
        lootManager->removeLoot(code, levelPath);

    switch (level->mouseClick(w)) {
    case 3:
        hud->keyPress('m');
        break;
    case 1:
        if (level->nextLevel.empty())
            log_error("No next level defined!");
        else
            travelTo(level->nextLevel, SETUP_LEVEL_NEXT);
        break;
    case 2:
        if (level->previousLevel.empty())
            log_error("No previous level defined!");
        else
            travelTo(level->previousLevel, SETUP_LEVEL_PREVIOUS);
        break;
    default:
        break;
    }
    if (!picked) {
        loop.mouseHeld = true;
        player->invalidateTargetPosition();
        loop.walking = true;
    }
}

void OrvoGame::playingUpdates(float dt, int mx, int my, LoopState& loop)
{
    if (teleportPending) {
        loop.mouseHeld = true;
        const glm::vec3 w = worldPointUnder(mx, my);
        player->position.x = w.x;
        player->position.y = w.y;
    }
    if (loop.walking) {
        player->speed = 9.0f;
        loop.footstepTimer += dt;
        if (loop.footstepTimer > 0.25f) {
            soundSystem->play(SOUND_FOOTSTEP, false);
            loop.footstepTimer = 0.0f;
        }
    } else {
        player->speed = 0.0f;
        loop.footstepTimer = 0.0f;
    }
    if (loop.mouseHeld) {
        const glm::vec3 towardsCursor(static_cast<float>(mx - SCREEN_WIDTH / 2), static_cast<float>(SCREEN_HEIGHT / 2 - my),
                                      0.0f);
        // A cursor right on the centre has no direction: keep the old one.
        if (glm::length(towardsCursor) > 0.0f)
            player->setMovementDirection(glm::normalize(towardsCursor));
    }
    if (teleportPending) {
        teleportPending = false;
        if (!loop.walking)
            loop.mouseHeld = false;
    }

    updateWorld(dt, mx, my);
}

void OrvoGame::updateWorld(float dt, int mx, int my)
{
    regenSkill->update(dt);
    teleportSkill->update(dt);
    bladestormSkill->update(dt);
    fireballSkill->update(dt);
    berserkerSkill->update(dt);

    player->update(dt, level);
    // A message during these updates may change the level: index, don't iterate.
    for (size_t i = 0; i < enemies.size(); ++i)
        enemies[i]->update(dt, player, level);
    for (Npc* npc : npcs)
        npc->update(dt, level);
    if (boss != nullptr)
        boss->update(dt, player, level);
    level->update(dt);
    camera->update(dt);
    hud->update(dt, mx, SCREEN_HEIGHT - my);
    deathEffect->update(dt);
    regenEffect->update(dt);
    combatText->update(dt);
    lootManager->update(dt);
    if (projectileManager != nullptr)
        projectileManager->update(dt, player);
}

void OrvoGame::pausedStep(float dt, int mx, int my, LoopState& loop)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_MOUSEBUTTONUP) {
            const mouse_button button =
                event.button.button == SDL_BUTTON_LEFT ? MOUSE_BUTTON_LEFT : MOUSE_BUTTON_OTHER;
            const int result = hud->mouseClick(event.button.x, SCREEN_HEIGHT - event.button.y, button);
            if (result == 1) {
                loop.quitRequested = true;
                break;
            }
            if (result == 2) {
                hud->menu = false;
                gameState = GAME_STATE_PLAYING;
            }
        } else if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE) {
            hud->menu = false;
            gameState = GAME_STATE_PLAYING;
        }
    }
    hud->update(dt, mx, SCREEN_HEIGHT - my);
}

void OrvoGame::deadStep(float dt)
{
    stateTimer += dt;
    deathEffect->update(dt);
    regenEffect->update(dt);
    player->update(dt, level);
    level->update(dt);
    combatText->update(dt);
    camera->update(dt);
    if (projectileManager != nullptr)
        projectileManager->update(dt, player);
    if (stateTimer > 2.0f)
        respawn();
    for (size_t i = 0; i < enemies.size(); ++i)
        enemies[i]->update(dt, nullptr, level);
    if (boss != nullptr)
        boss->update(dt, player, level);
}

void OrvoGame::respawn()
{
    combatText->removeAll();
    player->position.x = level->startPosition.x;
    player->position.y = level->startPosition.y;
    player->resetHealth();
    player->resetPower();
    player->position.z = DROP_HEIGHT;
    player->falling = true;
    gameState = GAME_STATE_ENTERING;
    stateTimer = 0.0f;
    for (Enemy* enemy : enemies) {
        if (enemy->state != ENEMY_STATE_DEAD && enemy->state != ENEMY_STATE_RESPAWN_WAIT)
            enemy->state = ENEMY_STATE_IDLE;
    }
    if (boss != nullptr)
        boss->resetState();
}

void OrvoGame::drawFrame(SDL_Window* window, GLuint frameBuffer, GLuint frameTexture)
{
    drawWorldAndOverlays(frameBuffer, frameTexture);
    SDL_GL_SwapWindow(window);
}

void OrvoGame::drawWorldAndOverlays(GLuint frameBuffer, GLuint frameTexture)
{
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Only the texels the pixelate pass samples are lit and shaded; with
    // six by six pixels to a block at 1920 x 1080, most of the window is
    // never seen.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, SAMPLED, SAMPLED);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    level->render(camera, player);
    if (gameState != GAME_STATE_START_MENU && gameState != GAME_STATE_DEAD)
        player->render(camera, player);
    lootManager->render(camera, levelPath);
    if (projectileManager != nullptr)
        projectileManager->render(camera);
    for (Enemy* enemy : enemies)
        enemy->render(camera, player);
    for (Npc* npc : npcs)
        npc->render(camera, player);
    if (boss != nullptr)
        boss->render(camera, player);
    deathEffect->render(camera);
    regenEffect->render(camera);
    glDisable(GL_STENCIL_TEST);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    fboQuad->setTexture(frameTexture);
    fboQuad->render(camera);

    combatText->render(camera);
    for (Enemy* enemy : enemies) {
        if (level->lineOfSight(enemy->position, player->position, -1.0f))
            enemy->renderHealthBar(camera);
    }
    if (gameState != GAME_STATE_START_MENU) {
        for (Npc* npc : npcs) {
            if (level->lineOfSight(npc->position, player->position, -1.0f))
                npc->renderHealthBar(camera);
        }
    }
    if (boss != nullptr)
        boss->renderHealthBar(camera);
    lootManager->renderLootTexts(camera, levelPath);
    hud->render(camera);
}
