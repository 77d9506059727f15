#include "game/Boss.h"

#include <cmath>
#include <string>

#include "core/Log.h"
#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "game/CanAddEnemies.h"
#include "game/Collidable.h"
#include "game/CombatSystem.h"
#include "game/Enemy.h"
#include "game/ProjectileManager.h"
#include "hud/Bar.h"
#include "render/Text.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float ARM_FORWARD = -PI / 2.0f;
constexpr float ARM_UP = PI;

// Every boss is built on the same body; the kinds differ in their numbers.
constexpr float BODY_Z = 3.0f;
constexpr float BODY_WIDTH = 4.0f;
constexpr float BODY_DEPTH = 4.0f;
constexpr float BODY_HEIGHT = 6.0f;

struct BossKind {
    enemy_type type;
    const char* name;
    int level;
    int armor;
    int strength;
    int health;
    int healthRegen;
    const char* bodyTexture;
    const char* armTexture;
    bool hasMinion;
};

const BossKind BOSS_KINDS[] = {
    {ENEMY_TYPE_RABAKULUS, "RABAKULUS", 5, 50, 50, 1000, 15, "textures/units/boss1.png",
     "textures/units/boss1_arm.png", true},
    {ENEMY_TYPE_HARIONA, "HARIONA", 8, 200, 200, 4000, 20, "textures/units/boss2.png",
     "textures/units/boss2_arm.png", false},
    {ENEMY_TYPE_FIHUGIA, "FIHUGIA", 12, 400, 400, 10000, 50, "textures/units/boss3.png",
     "textures/units/boss3_arm.png", true},
};
// The Unit part is always made with RABAKULUS's numbers; the others set theirs after.
const BossKind& BASE_KIND = BOSS_KINDS[0];

const BossKind* kindOf(enemy_type type)
{
    for (const BossKind& kind : BOSS_KINDS)
        if (kind.type == type)
            return &kind;
    return nullptr;
}

constexpr float SIGHT_RANGE = 15.0f;
// RABAKULUS and FIHUGIA stand this long before each decision.
constexpr float DECISION_DELAY = 1.3f;
constexpr float VOLLEY_CHANCE = 0.4f;

const glm::vec3 SUMMON_POINT(45.0f, 20.0f, 0.0f);
constexpr float SUMMON_TIME = 1.0f;
constexpr float MINION_SCALE = 1.0f;
constexpr int MINION_LEVEL = 1;

constexpr float LEAP_TIME = 1.0f;
constexpr float LEAP_RISE_SPEED = 1.5f;
// Height of the body's centre while it charges, and after.
constexpr float CHARGE_Z = 3.0f;
constexpr float CHARGE_SPEED = 35.0f;
// Leap and charge together end after this many seconds.
constexpr float CHARGE_END_TIME = 2.0f;
constexpr float CHARGE_WALL_RADIUS = 3.0f;
// The wall test samples the corners of a square 6 units wide, so it sees a
// wall one cell thick only when a corner lands in that cell: a charge is cut
// into steps shorter than a cell, that can never jump one. A frame at 60
// frames a second (0.58 units at the charge's 35 a second) stays one step.
constexpr float MAX_CHARGE_STEP = 0.75f;
constexpr float CONTACT_SIZE = 1.0f;
constexpr int CHARGE_DAMAGE = 100;

constexpr float VOLLEY_TIME = 3.0f;
constexpr float SHOT_INTERVAL = 0.2f;
// Arm A hangs this far to the side of the body's centre, in widths.
constexpr float ARM_OFFSET_FACTOR = 0.625f;
constexpr float SHOT_SPEED = 25.0f;
const glm::vec3 SHOT_COLOR(0.0f, 1.0f, 0.0f);
constexpr int SHOT_DAMAGE = 500;

constexpr float MELEE_REACH = 5.0f;
constexpr float CHASE_SPEED = 4.0f;
// A swing lands only when the damage rule gives at least this.
constexpr int MIN_DAMAGE = 1;

void sendDamage(int damage)
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(damage);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_RECEIVED_DAMAGE, payload);
}

} // namespace

Boss::Boss(float x, float y, enemy_type type, ProjectileManager* projectiles, CanAddEnemies* game,
           Collidable* player)
    : Unit(x, y, BODY_Z, BODY_WIDTH, BODY_DEPTH, BODY_HEIGHT, BASE_KIND.level, BASE_KIND.armor, BASE_KIND.strength,
           BASE_KIND.health, BASE_KIND.healthRegen)
    , aggro(false)
    , playerCollidable(player)
    , minionAlive(false)
    , summonPoint(0.0f)
    , minion(nullptr)
    , canAddEnemies(game)
    , state(BOSS_STATE_IDLE)
    , stateTimer(0.0f)
    , healthBar(nullptr)
    , nameText(nullptr)
    , labelWidth(0.0f)
    , toTarget(0.0f)
    , chargeDir(0.0f)
    , shotTimer(0.0f)
    , projectiles(projectiles)
    , type(type)
{
    healthBar = Enemy::makeHealthBar(static_cast<int>(maxHealth), this, VALUE_BOSS_HEALTH);
    const BossKind* kind = kindOf(type);
    if (kind != nullptr) {
        setStats(kind->level, kind->armor, kind->strength, kind->health, kind->healthRegen);
        setTexturePaths(kind->bodyTexture, kind->armTexture);
    }
    if (kind != nullptr && kind->hasMinion) {
        minion = new Enemy(0.0f, 0.0f, MINION_SCALE, MINION_LEVEL, ENEMY_TYPE_ZOMBIE, projectiles, false, false);
        minion->deadListener = this;
        summonPoint = SUMMON_POINT;
    }
    const std::string label = Enemy::makeLabel(getName(), level);
    nameText = Enemy::makeLabelText(label);
    labelWidth = Enemy::labelWidthOf(label);
}

Boss::~Boss()
{
    delete minion;
    delete healthBar;
    delete nameText;
}

const char* Boss::getName() const
{
    const BossKind* kind = kindOf(type);
    return kind != nullptr ? kind->name : "Unknown";
}

bool Boss::setup()
{
    if (!Enemy::setupOverhead(healthBar, nameText))
        return false;
    if (minion != nullptr && !minion->setup()) {
        log_error("Failed to setup boss minion!");
        return false;
    }
    return Unit::setup();
}

float Boss::getValue(int id)
{
    if (id == VALUE_BOSS_HEALTH)
        return health / maxHealth;
    return 1.0f;
}

float Boss::getMaxValue(int)
{
    return 0.0f;
}

float Boss::getAbsoluteValue(int)
{
    return 0.0f;
}

bool Boss::addDamage(float amount)
{
    if (isDead())
        return false;
    playGameSound(SOUND_DMG_TAKEN_2);
    return Unit::addDamage(amount);
}

void Boss::kill()
{
    state = BOSS_STATE_DEAD;
}

bool Boss::isDead() const
{
    return state == BOSS_STATE_DEAD;
}

void Boss::resetState()
{
    if (!isDead())
        state = BOSS_STATE_RESET;
}

void Boss::resumeState()
{
    if (!isDead())
        state = BOSS_STATE_IDLE;
}

void Boss::playGameSound(game_sound sound)
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(sound);
    MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload);
}

void Boss::animationComplete(void* userData)
{
    if (userData == nullptr)
        return;
    const int damage = CombatSystem::getDamage(this, static_cast<Unit*>(userData), nullptr, 1);
    if (damage >= MIN_DAMAGE)
        sendDamage(damage);
}

void Boss::enemyDead(Enemy* enemy)
{
    if (enemy == nullptr || enemy != minion)
        return;
    minionAlive = false;
    canAddEnemies->removeEnemy(minion);
}

void Boss::render(MatrixOwner* camera, Followable* light)
{
    if (!isDead())
        Unit::render(camera, light);
}

void Boss::renderHealthBar(MatrixOwner* camera)
{
    if (!isDead())
        Enemy::renderOverhead(camera, position, healthBar, nameText, labelWidth);
}

void Boss::turnTo(const glm::vec3& direction)
{
    rotation.z = headingOf(direction, rotation.z);
}

void Boss::refreshBar(float dt)
{
    if (healthBar->getActive())
        healthBar->update(dt, 0, 0);
}

void Boss::setArms(float pose)
{
    armAPose = pose;
    armBSwing = pose;
}

void Boss::update(float dt, Unit* target, Collidable* level)
{
    if (isDead())
        return;
    const glm::vec3 p = target != nullptr ? target->getPosition() : glm::vec3(0.0f);
    toTarget = p - position;
    const bool seen = target != nullptr && level->lineOfSight(position, p, SIGHT_RANGE);
    if (seen || aggro) {
        aggro = true;
        if (minion != nullptr)
            updateBoss1(dt, p, level);
        else if (type == ENEMY_TYPE_HARIONA)
            updateBoss2(dt, target, seen);
    }
    Unit::update(dt);
}

void Boss::updateBoss1(float dt, const glm::vec3& p, Collidable* level)
{
    switch (state) {
    case BOSS_STATE_IDLE:
        stateTimer += dt;
        if (stateTimer <= DECISION_DELAY)
            turnTo(toTarget);
        else
            decide();
        break;
    case BOSS_STATE_RESET:
        setArms(0.0f);
        stateTimer = 0.0f;
        turnTo(toTarget);
        break;
    case BOSS_STATE_LEAP:
        updateLeap(dt, level);
        break;
    case BOSS_STATE_CHARGE:
        updateCharge(dt, level);
        break;
    case BOSS_STATE_VOLLEY:
        updateVolley(dt, p);
        break;
    case BOSS_STATE_SUMMON:
        updateSummon(dt);
        break;
    default:
        turnTo(toTarget);
        break;
    }
    refreshBar(dt);
}

void Boss::decide()
{
    const float r = MathUtil::get_random();
    stateTimer = 0.0f;
    if (!minionAlive) {
        state = BOSS_STATE_SUMMON;
        playGameSound(SOUND_BOSS_SCREAM3);
        armBSwing = ARM_FORWARD;
        turnTo(summonPoint - position);
    } else if (r < VOLLEY_CHANCE) {
        state = BOSS_STATE_VOLLEY;
        shotTimer = 0.0f;
        playGameSound(SOUND_BOSS_LAUGH);
        turnTo(toTarget);
    } else {
        state = BOSS_STATE_LEAP;
        setArms(ARM_UP);
        // The charge keeps the direction of this moment, wherever the player goes.
        const float length = glm::length(toTarget);
        chargeDir = length > 0.0f ? glm::vec3(toTarget.x / length, toTarget.y / length, 0.0f) : glm::vec3(0.0f);
        turnTo(toTarget);
    }
}

void Boss::updateLeap(float dt, Collidable* level)
{
    stateTimer += dt;
    position.z += LEAP_RISE_SPEED * dt;
    if (stateTimer <= LEAP_TIME)
        return;
    playGameSound(SOUND_BOSS_SCREAM2);
    state = BOSS_STATE_CHARGE;
    position.z = CHARGE_Z;
    setArms(ARM_FORWARD);
    // A charge from against a wall is called off at once.
    if (level->isCollision(position, CHARGE_WALL_RADIUS))
        stopAtWall(glm::vec2(position.x, position.y));
}

void Boss::updateCharge(float dt, Collidable* level)
{
    stateTimer += dt;
    const bool ending = stateTimer > CHARGE_END_TIME;
    const bool ranIntoNoWall = MathUtil::forEachSubStep(
        glm::length(chargeDir * CHARGE_SPEED * dt), MAX_CHARGE_STEP, dt, [&](float stepTime, bool lastStep) {
            const glm::vec2 before(position.x, position.y);
            chargeStep(stepTime);
            // As ever, the step that ends the charge is not checked against walls.
            if ((ending && lastStep) || !level->isCollision(position, CHARGE_WALL_RADIUS))
                return true;
            stopAtWall(before);
            return false;
        });
    if (ranIntoNoWall && ending) {
        stateTimer = 0.0f;
        state = BOSS_STATE_IDLE;
        setArms(0.0f);
    }
}

void Boss::stopAtWall(const glm::vec2& before)
{
    // The arms keep their charge pose until the next action sets them.
    state = BOSS_STATE_IDLE;
    position.x = before.x;
    position.y = before.y;
    stateTimer = 0.0f;
}

void Boss::chargeStep(float dt)
{
    position += chargeDir * CHARGE_SPEED * dt;
    void* hit = playerCollidable->isCollisionExt(position, CONTACT_SIZE);
    if (hit != nullptr) {
        // Both on purpose: the message shows and applies the damage, and the
        // direct hit makes a charge twice as deadly.
        sendDamage(CHARGE_DAMAGE);
        // The player answers with itself, and Unit is its first base.
        if (static_cast<Unit*>(hit)->addDamage(static_cast<float>(CHARGE_DAMAGE)))
            MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_DEAD, nullptr);
    }
}

void Boss::updateVolley(float dt, const glm::vec3& p)
{
    shotTimer += dt;
    stateTimer += dt;
    if (stateTimer > VOLLEY_TIME) {
        stateTimer = 0.0f;
        state = BOSS_STATE_IDLE;
        armAPose = 0.0f;
    } else if (shotTimer > SHOT_INTERVAL) {
        fireShot(p);
        shotTimer = 0.0f;
    }
    turnTo(toTarget);
}

void Boss::fireShot(const glm::vec3& p)
{
    playGameSound(SOUND_PROJECTILE);
    armAPose = ARM_FORWARD;
    // From arm A, placed by last frame's heading.
    const float d = ARM_OFFSET_FACTOR * width;
    const float side = rotation.z + PI / 2.0f;
    const glm::vec3 start(position.x + std::cos(side) * d, position.y + std::sin(side) * d,
                          ProjectileManager::FLIGHT_HEIGHT);
    if (projectiles != nullptr)
        projectiles->add(start, p - start, SHOT_SPEED, SHOT_COLOR, this, SHOT_DAMAGE);
}

void Boss::updateSummon(float dt)
{
    stateTimer += dt;
    if (stateTimer <= SUMMON_TIME)
        return;
    minion->position.x = summonPoint.x;
    minion->position.y = summonPoint.y;
    minion->resetHealth();
    minion->state = ENEMY_STATE_IDLE;
    minionAlive = true;
    canAddEnemies->addEnemy(minion);
    armBSwing = 0.0f;
    // The timer runs on, so the next decision comes about 0.3 s later.
    state = BOSS_STATE_IDLE;
}

void Boss::updateBoss2(float dt, Unit* target, bool seen)
{
    switch (state) {
    case BOSS_STATE_RESET:
        setArms(0.0f);
        stateTimer = 0.0f;
        break;
    case BOSS_STATE_IDLE:
        stateTimer += dt;
        if (seen)
            state = BOSS_STATE_CHASE;
        break;
    case BOSS_STATE_CHASE:
        updateChase(dt, target);
        break;
    default:
        break;
    }
    turnTo(toTarget);
    refreshBar(dt);
}

void Boss::updateChase(float dt, Unit* target)
{
    const float reach = glm::length(glm::vec2(toTarget.x, toTarget.y));
    if (reach < MELEE_REACH) {
        performMeleeAttackAnimation(this, target);
        return;
    }
    setArms(ARM_FORWARD);
    // The full 3-D direction, so the boss also climbs or sinks to the target,
    // and no wall stops it.
    position += glm::normalize(toTarget) * CHASE_SPEED * dt;
}
