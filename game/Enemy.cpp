#include "game/Enemy.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/Log.h"
#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/Collidable.h"
#include "game/CombatSystem.h"
#include "game/EnemyDeadListener.h"
#include "game/ProjectileManager.h"
#include "hud/Bar.h"
#include "render/MatrixOwner.h"
#include "render/Text.h"

namespace {

constexpr float PI = 3.14159265358979f;
// Arms pointing forward: chasing, or the monk aiming.
constexpr float ARM_FORWARD = -PI / 2.0f;

const char* const HEALTH_BAR_FILL = "textures/enemyhealthbar.png";
const char* const HEALTH_BAR_FRAME = "textures/enemyhealthbar_frame.png";
const char* const FONT = "textures/font.png";
constexpr int HEALTH_BAR_WIDTH = 100;
constexpr int HEALTH_BAR_HEIGHT = 5;
// Bar and label sit this many pixels above the enemy's projected centre.
constexpr float HEALTH_BAR_LIFT = 100.0f;
constexpr float LABEL_LIFT = 120.0f;
constexpr float LABEL_SCALE = 0.3f;
constexpr int LABEL_CHARS = 50;

constexpr float SIGHT_RANGE = 30.0f;
constexpr float WANDER_RADIUS = 10.0f;
constexpr float WANDER_SPEED = 4.0f;
constexpr float CHASE_SPEED = 6.0f;
// Fleeing is a stagger: slow, and not scaled by the enemy's speed factor.
constexpr float FLEE_SPEED = 1.8f;
constexpr float FLEE_WALL_RADIUS = 3.0f;
constexpr float ARRIVAL_DISTANCE = 0.1f;
constexpr float MELEE_REACH = 1.0f;
constexpr float APPROACH_DISTANCE = 4.0f;

// A fresh enemy waits 2 to 7 s before its first wander; later quiet spells
// last 2 to 12 s and a pause at the far end of a wander 1 to 6 s.
constexpr unsigned FIRST_WANDER_DELAY = 2000;
constexpr unsigned FIRST_WANDER_SPREAD = 5000;
constexpr unsigned IDLE_DELAY = 2000;
constexpr unsigned IDLE_SPREAD = 10000;
constexpr unsigned PAUSE_DELAY = 1000;
constexpr unsigned PAUSE_SPREAD = 5000;
constexpr int RESPAWN_MIN_MS = 25000;
constexpr int RESPAWN_MAX_MS = 50000;

// The Crazy Monk's shot: once per this many seconds of sight, white.
constexpr float SHOT_INTERVAL = 2.0f;
constexpr float SHOT_SPEED = 10.0f;
constexpr int SHOT_DAMAGE_PER_LEVEL = 20;
const glm::vec3 SHOT_COLOR(1.0f, 1.0f, 1.0f);

constexpr float RANDOM_TO_UNIT = 1.0f / 4294967296.0f;

// The hit lands only when the damage rule gives more than this.
constexpr int MIN_DAMAGE = 0;

struct EnemyKind {
    const char* name;
    const char* bodyTexture;
    const char* armTexture;
};

const EnemyKind ENEMY_KINDS[] = {
    {"Zombie", "textures/units/zombie.png", "textures/units/zombie_arm.png"},
    {"Ghost", "textures/units/ghost.png", "textures/units/ghost_arm.png"},
    {"Crazy Monk", "textures/units/monk.png", "textures/units/monk_arm.png"},
    {"Lunatic", "textures/units/lunatic.png", "textures/units/lunatic_arm.png"},
};
constexpr int ENEMY_KIND_COUNT = sizeof(ENEMY_KINDS) / sizeof(ENEMY_KINDS[0]);

// {enemy_type, detect, attack, damage taken, death}
enum enemy_sound_column { DETECT_SOUND = 1, ATTACK_SOUND, DAMAGE_TAKEN_SOUND, DEATH_SOUND };
const int enemy_data[4][5] = {
    {ENEMY_TYPE_ZOMBIE, SOUND_ZOMBIE_DETECT, SOUND_ZOMBIE_ATTACK, SOUND_DMG_TAKEN_1, SOUND_ZOMBIE_DEATH},
    {ENEMY_TYPE_GHOST, SOUND_NONE, SOUND_NONE, SOUND_DMG_TAKEN_1, SOUND_GHOST_DEATH},
    {ENEMY_TYPE_CRAZY_MONK, SOUND_PLAYER_DEATH, SOUND_MONK_ATTACK, SOUND_DMG_TAKEN_2, SOUND_PLAYER_DEATH},
    {ENEMY_TYPE_LUNATIC, SOUND_LUNATIC_DETECT, SOUND_LUNATIC_ATTACK, SOUND_DMG_TAKEN_2, SOUND_PLAYER_DEATH},
};

const EnemyKind* kindOf(enemy_type type)
{
    if (type < 0 || type >= ENEMY_KIND_COUNT)
        return nullptr;
    return &ENEMY_KINDS[type];
}

game_sound soundOf(enemy_type type, enemy_sound_column column)
{
    for (const auto& row : enemy_data)
        if (row[0] == type)
            return static_cast<game_sound>(row[column]);
    return SOUND_NONE;
}

// "after t" is strictly after.
bool passed(unsigned tick)
{
    return get_ticks() > tick;
}

float distance2d(const glm::vec3& a, const glm::vec3& b)
{
    return glm::length(glm::vec2(a.x - b.x, a.y - b.y));
}

} // namespace

Enemy::Enemy(float x, float y, float scale, int level, enemy_type type, ProjectileManager* pm, bool canDropLoot,
             bool respawns)
    : Unit(x, y, scale, 2.0f * scale, 2.0f * scale, 3.0f * scale, level, 20 * level, 4 * level, 200 * level,
           3 * level)
    , deadListener(nullptr)
    , respawns(respawns)
    , canDropLoot(canDropLoot)
    , state(ENEMY_STATE_IDLE)
    , type(type)
    , respawnLevel(-1)
    , respawnTime(0)
    , nextWanderTime(0)
    , pauseUntil(0)
    , wanderTarget(position)
    , home(position)
    // Never read before an engaged frame writes it, unless sight is lost in
    // the very first one: then the enemy simply stays where it is.
    , lastKnownTarget(position)
    , speedFactor(1.0f)
    , healthBar(nullptr)
    , nameText(nullptr)
    , labelWidth(0.0f)
    , direction(1.0f, 0.0f, 0.0f)
    , approachOffset(0.0f)
    , rangedTimer(0.0f)
    , projectiles(pm)
{
    const EnemyKind* kind = kindOf(type);
    if (kind != nullptr)
        setTexturePaths(kind->bodyTexture, kind->armTexture);
    hovering = type == ENEMY_TYPE_GHOST;

    healthBar = makeHealthBar(static_cast<int>(maxHealth), this, VALUE_ENEMY_HEALTH);
    const std::string label = makeLabel(getName(), level);
    nameText = makeLabelText(label);
    labelWidth = labelWidthOf(label);

    const glm::vec3 v = get_random_normalized_vector();
    approachOffset = glm::vec3(APPROACH_DISTANCE * v.x, APPROACH_DISTANCE * v.y, 0.0f);
    nextWanderTime = get_ticks() + FIRST_WANDER_DELAY + MathUtil::random() % FIRST_WANDER_SPREAD;
    speedFactor = 0.2f + static_cast<float>(MathUtil::random()) * RANDOM_TO_UNIT;
    direction = get_random_normalized_vector();
}

Enemy::~Enemy()
{
    delete nameText;
    delete healthBar;
}

const char* Enemy::getName() const
{
    const EnemyKind* kind = kindOf(type);
    return kind != nullptr ? kind->name : "Unknown";
}

std::string Enemy::makeLabel(const char* name, int level)
{
    char label[LABEL_CHARS];
    std::snprintf(label, sizeof(label), "%s - level %d", name, level);
    return label;
}

float Enemy::labelWidthOf(const std::string& label)
{
    return Text::dimensions(label.c_str()).x * LABEL_SCALE;
}

Text* Enemy::makeLabelText(const std::string& label)
{
    return new Text(0.0f, 0.0f, label.c_str(), LABEL_SCALE, glm::vec3(1.0f), FONT);
}

Bar* Enemy::makeHealthBar(int maxValue, ValueProvider* provider, int valueId)
{
    return new Bar(0, 0, HEALTH_BAR_WIDTH, HEALTH_BAR_HEIGHT, maxValue, BAR_DIRECTION_HORIZONTAL, HEALTH_BAR_FILL,
                   HEALTH_BAR_FRAME, provider, valueId);
}

bool Enemy::setupOverhead(Bar* bar, Text* label)
{
    if (!bar->setup()) {
        log_error("Enemy health bar setup error");
        return false;
    }
    if (!label->setup()) {
        log_error("Enemy level and name text setup error");
        return false;
    }
    return true;
}

void Enemy::renderOverhead(MatrixOwner* camera, const glm::vec3& position, Bar* bar, Text* label,
                           float labelWidth)
{
    const glm::vec2 s = world_to_screen(position, camera->getPerspectiveMatrix(), camera->getViewMatrix());
    const float top = static_cast<float>(SCREEN_HEIGHT) - s.y;
    // Drawn before it is moved: the bar shows where the last frame put it.
    if (bar->getActive())
        bar->render(camera);
    bar->setPos(static_cast<int>(s.x - 0.5f * HEALTH_BAR_WIDTH), static_cast<int>(top + HEALTH_BAR_LIFT));
    label->setPos(s.x - 0.5f * labelWidth, top + LABEL_LIFT);
    label->render(camera);
}

bool Enemy::setup()
{
    return setupOverhead(healthBar, nameText) && Unit::setup();
}

float Enemy::getValue(int id)
{
    if (id == VALUE_ENEMY_HEALTH)
        return health / maxHealth;
    return 1.0f;
}

float Enemy::getMaxValue(int)
{
    return 0.0f;
}

float Enemy::getAbsoluteValue(int)
{
    return 0.0f;
}

bool Enemy::addDamage(float amount)
{
    playDamageTakenSound();
    return Unit::addDamage(amount);
}

void Enemy::kill(int newRespawnLevel)
{
    respawnLevel = newRespawnLevel;
    playDeathSound();
    state = ENEMY_STATE_DEAD;
    if (deadListener != nullptr)
        deadListener->enemyDead(this);
}

bool Enemy::isDead() const
{
    return state == ENEMY_STATE_DEAD || state == ENEMY_STATE_RESPAWN_WAIT;
}

bool Enemy::canPerformedRangedAttack() const
{
    return type == ENEMY_TYPE_CRAZY_MONK;
}

void Enemy::toggleHealthBarEnabled()
{
    healthBar->setActive(!healthBar->getActive(), -1, false);
}

void Enemy::animationComplete(void* userData)
{
    // A swing still running when the enemy was killed ends while it lies
    // dead; a corpse must not hurt anyone.
    if (isDead() || userData == nullptr)
        return;
    const int damage = CombatSystem::getDamage(this, static_cast<Unit*>(userData), nullptr, 1);
    if (damage > MIN_DAMAGE) {
        MessagePayload* payload = new MessagePayload();
        payload->setInt(damage);
        MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_RECEIVED_DAMAGE, payload);
    }
    playAttackSound();
}

void Enemy::sendSound(game_sound sound) const
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(sound);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload);
}

void Enemy::playDetectSound()
{
    sendSound(soundOf(type, DETECT_SOUND));
}

void Enemy::playAttackSound()
{
    sendSound(soundOf(type, ATTACK_SOUND));
}

void Enemy::playDamageTakenSound()
{
    sendSound(soundOf(type, DAMAGE_TAKEN_SOUND));
}

void Enemy::playDeathSound()
{
    sendSound(soundOf(type, DEATH_SOUND));
}

void Enemy::render(MatrixOwner* camera, Followable* light)
{
    if (!isDead())
        Unit::render(camera, light);
}

void Enemy::renderHealthBar(MatrixOwner* camera)
{
    if (!isDead())
        renderOverhead(camera, position, healthBar, nameText, labelWidth);
}

bool Enemy::healthBelowFleeLine() const
{
    // 10h < 3m is (int)h < 0.3 (int)m without rounding the 0.3.
    return 10 * static_cast<int>(health) < 3 * static_cast<int>(maxHealth);
}

bool Enemy::healthAtOrBelowFleeLine() const
{
    return 10 * static_cast<int>(health) <= 3 * static_cast<int>(maxHealth);
}

void Enemy::update(float dt, Unit* target, Collidable* level)
{
    const float startX = position.x;
    const float startY = position.y;
    glm::vec3 p(0.0f);
    bool seen = false;
    if (target != nullptr) {
        p = target->getPosition();
        seen = level->lineOfSight(position, p, SIGHT_RANGE);
    }

    switch (state) {
    case ENEMY_STATE_IDLE:
    case ENEMY_STATE_WANDER:
    case ENEMY_STATE_WANDER_PAUSE:
    case ENEMY_STATE_SEEK:
        updateUnengaged(dt, seen, level);
        break;
    case ENEMY_STATE_ENGAGED:
        updateEngaged(dt, target, p, seen);
        break;
    case ENEMY_STATE_FLEE:
        updateFlee(dt);
        break;
    case ENEMY_STATE_DEAD:
        updateDead();
        break;
    case ENEMY_STATE_RESPAWN_WAIT:
        updateRespawnWait();
        break;
    default:
        break;
    }

    if (state != ENEMY_STATE_ENGAGED) {
        armAPose = 0.0f;
        armBSwing = 0.0f;
    }
    rotation.z = headingOf(direction, rotation.z);
    if (healthBar->getActive())
        healthBar->update(dt, 0, 0);
    if (state == ENEMY_STATE_FLEE && level->isCollision(position, FLEE_WALL_RADIUS)) {
        position.x = startX;
        position.y = startY;
    }
    Unit::update(dt);
}

void Enemy::updateUnengaged(float dt, bool seen, Collidable* level)
{
    if (seen) {
        state = ENEMY_STATE_ENGAGED;
        playDetectSound();
        return;
    }
    switch (state) {
    case ENEMY_STATE_IDLE:
        if (passed(nextWanderTime)) {
            home = position;
            wanderTarget = getRandomPosWithLOS(level, WANDER_RADIUS);
            state = ENEMY_STATE_WANDER;
        }
        break;
    case ENEMY_STATE_WANDER:
        updateWander(dt);
        break;
    case ENEMY_STATE_WANDER_PAUSE:
        if (passed(pauseUntil))
            state = ENEMY_STATE_WANDER;
        break;
    case ENEMY_STATE_SEEK:
        updateSeek(dt);
        break;
    default:
        break;
    }
}

float Enemy::walkTowards(const glm::vec3& goal, float speed, float dt)
{
    direction = goal - position;
    const float distance = glm::length(direction);
    // Standing exactly on the goal there is no way to go.
    if (distance > 0.0f)
        position += direction / distance * speed * dt;
    return distance;
}

void Enemy::goIdle()
{
    state = ENEMY_STATE_IDLE;
    nextWanderTime = get_ticks() + IDLE_DELAY + MathUtil::random() % IDLE_SPREAD;
}

void Enemy::updateWander(float dt)
{
    if (walkTowards(wanderTarget, WANDER_SPEED * speedFactor, dt) >= ARRIVAL_DISTANCE)
        return;
    if (glm::length(wanderTarget - home) < ARRIVAL_DISTANCE) {
        goIdle();
        return;
    }
    wanderTarget = home;
    state = ENEMY_STATE_WANDER_PAUSE;
    pauseUntil = get_ticks() + PAUSE_DELAY + MathUtil::random() % PAUSE_SPREAD;
}

void Enemy::updateSeek(float dt)
{
    if (walkTowards(lastKnownTarget, CHASE_SPEED * speedFactor, dt) < ARRIVAL_DISTANCE)
        goIdle();
}

void Enemy::updateEngaged(float dt, Unit* target, const glm::vec3& p, bool seen)
{
    if (healthBelowFleeLine()) {
        state = ENEMY_STATE_FLEE;
        direction = position - p;
    } else if (!seen) {
        state = ENEMY_STATE_SEEK;
    } else if (canPerformedRangedAttack()) {
        armAPose = ARM_FORWARD;
        rangedTimer += dt;
        lastKnownTarget = p;
        direction = p - position;
        if (rangedTimer > SHOT_INTERVAL)
            shoot(p);
    } else {
        updateMelee(dt, target, p);
    }
}

void Enemy::shoot(const glm::vec3& p)
{
    // From the left hand, placed by last frame's heading.
    const float side = rotation.z + PI / 2.0f;
    const glm::vec3 start(position.x + std::cos(side), position.y + std::sin(side),
                          ProjectileManager::FLIGHT_HEIGHT);
    if (projectiles != nullptr)
        projectiles->add(start, p - start, SHOT_SPEED, SHOT_COLOR, this, SHOT_DAMAGE_PER_LEVEL * getLevel());
    playAttackSound();
    rangedTimer = 0.0f;
}

void Enemy::updateMelee(float dt, Unit* target, const glm::vec3& p)
{
    lastKnownTarget = p;
    const glm::vec3 approach = p + approachOffset;
    direction = approach - position;
    if (distance2d(approach, position) < MELEE_REACH) {
        direction = p - position;
        performMeleeAttackAnimation(this, target);
        return;
    }
    armAPose = ARM_FORWARD;
    armBSwing = ARM_FORWARD;
    walkTowards(approach, CHASE_SPEED * speedFactor, dt);
}

void Enemy::updateFlee(float dt)
{
    if (!healthAtOrBelowFleeLine()) {
        state = ENEMY_STATE_IDLE;
        return;
    }
    direction.z = 0.0f;
    const float length = glm::length(direction);
    if (length > 0.0f)
        position += direction / length * FLEE_SPEED * dt;
}

void Enemy::updateDead()
{
    if (!respawns)
        return;
    respawnTime = get_ticks() + static_cast<unsigned>(MathUtil::get_random_int(RESPAWN_MIN_MS, RESPAWN_MAX_MS));
    state = ENEMY_STATE_RESPAWN_WAIT;
}

void Enemy::updateRespawnWait()
{
    if (passed(respawnTime))
        returnToLife();
}

void Enemy::returnToLife()
{
    state = ENEMY_STATE_IDLE;
    if (respawnLevel == -1) {
        resetHealth();
        return;
    }
    resetAtNewLevel(respawnLevel);
    setLabel();
    if (healthBar != nullptr)
        healthBar->setMaxValue(static_cast<int>(health));
}

void Enemy::setLabel()
{
    const std::string label = makeLabel(getName(), level);
    nameText->setText(label.c_str());
    labelWidth = labelWidthOf(label);
}
