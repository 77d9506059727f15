#include "game/Player.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/InventoryProviderHelper.h"
#include "game/ItemInstance.h"

namespace {

constexpr float PI = 3.14159265358979f;

const char* const HERO_TEXTURE = "textures/units/hero.png";
const char* const HERO_ARM_TEXTURE = "textures/units/hero_arm.png";

constexpr float START_POWER = 100.0f;
constexpr int START_EXP = 1;
constexpr float START_POWER_REGEN = 2.0f;
// A buff timer that never ran.
constexpr float BUFF_OFF = -1.0f;

constexpr int BASE_HEALTH = 100;
constexpr int HEALTH_PER_LEVEL = 50;
constexpr int BASE_POWER = 100;
constexpr int POWER_PER_LEVEL = 10;
constexpr int BASE_POWER_REGEN = 1;
// Equipped power regeneration counts a tenth.
constexpr float EQUIPPED_POWER_REGEN_SHARE = 10.0f;

constexpr float BUFFED_SCALE = 1.25f;
constexpr float NORMAL_SCALE = 1.0f;

// The hero drops in from above at this speed and lands at this height.
constexpr float FALL_SPEED = 20.0f;
constexpr float GROUND_Z = 2.0f;

constexpr float SPIN_SECONDS = 1.0f;
constexpr float SPIN_TURN_SPEED = 20.0f;
constexpr float SPIN_HIT_INTERVAL = 0.15f;
// Shorter directions are mouse jitter around the hero and do not turn it.
constexpr float MIN_TURN_DIRECTION = 0.2f;
// The hero halts once a step would end this close to its target.
constexpr float TARGET_STOP_DISTANCE = 0.2f;
constexpr float COLLISION_RADIUS = 0.75f;
// The wall test samples the corners of a square 1.5 units wide, so it sees a
// wall one cell thick only when a corner lands in that cell: a walk is cut
// into steps well short of a cell, that can never jump one. A frame at 60
// frames a second (0.15 units at the walking speed of 9) stays one step.
constexpr float MAX_WALK_STEP = 0.25f;

// The seven equipment locations, -1 (HEAD) to -7 (FEET).
constexpr int FIRST_EQUIPMENT_LOCATION = -1;
constexpr int LAST_EQUIPMENT_LOCATION = -7;

} // namespace

Player::Player(float x, float y)
    : Unit(x, y, 1, 2, 2, 4, 1, 10, 100, 100, 3), power(START_POWER), maxPower(START_POWER), exp(START_EXP),
      powerRegenRate(START_POWER_REGEN), tempPowerRegenRate(0.0f), tempPowerRegenTimer(BUFF_OFF),
      tempStrengthTimer(BUFF_OFF), tempExtraStrength(0.0f), blocked(false), hasTarget(false),
      movementDirection(0.0f), speed(1.0f), targetPosition(0.0f), falling(false), spinTimer(0.0f), spinTick(0.0f)
{
    setTexturePaths(HERO_TEXTURE, HERO_ARM_TEXTURE);
}

Player::~Player()
{
    for (ItemInstance* item : items)
        delete item;
}

int Player::getLevel() const
{
    return getLevelAtExp(exp);
}

int Player::getStrength() const
{
    return static_cast<int>(static_cast<float>(strength) + tempExtraStrength);
}

int Player::addExp(int n)
{
    const int before = getLevelAtExp(exp);
    exp += n;
    const int after = getLevelAtExp(exp);
    return after != before ? after : -1;
}

float Player::getValue(int id)
{
    switch (id) {
    case VALUE_PLAYER_HEALTH:
        return health / maxHealth;
    case VALUE_PLAYER_POWER:
        return power / maxPower;
    case VALUE_PLAYER_EXPERIENCE: {
        const int current = getLevelAtExp(exp);
        // The highest level has no next threshold: its bar stays full.
        if (current >= MAX_PLAYER_LEVEL)
            return 1.0f;
        const int floor = getExpNeededForLevel(current);
        const int ceiling = getExpNeededForLevel(current + 1);
        return static_cast<float>(exp - floor) / static_cast<float>(ceiling - floor);
    }
    default:
        return 1.0f;
    }
}

float Player::getMaxValue(int id)
{
    switch (id) {
    case VALUE_PLAYER_HEALTH:
        return maxHealth;
    case VALUE_PLAYER_POWER:
        return maxPower;
    default:
        return 0.0f;
    }
}

float Player::getAbsoluteValue(int id)
{
    switch (id) {
    case VALUE_PLAYER_HEALTH:
        return health;
    case VALUE_PLAYER_POWER:
        return power;
    default:
        return 0.0f;
    }
}

bool Player::isCollision(const glm::vec3&, float)
{
    log_error("Player does not implement isCollision");
    return false;
}

void* Player::isCollisionExt(const glm::vec3& p, float)
{
    const float left = position.x - 0.5f * width;
    const float bottom = position.y - 0.5f * depth;
    if (MathUtil::insideRect(glm::vec2(p.x, p.y), left, bottom, width, depth))
        return this;
    return nullptr;
}

bool Player::lineOfSight(const glm::vec3&, const glm::vec3&, float)
{
    log_error("Player does not implement lineOfSight");
    return false;
}

void* Player::lineOfSightExt(const glm::vec3&, const glm::vec3&, bool* clear, float)
{
    log_error("Player does not implement lineOfSightExt");
    if (clear != nullptr)
        *clear = false;
    return nullptr;
}

int Player::getNumItems()
{
    return static_cast<int>(items.size());
}

ItemInstance* Player::getItem(int index)
{
    if (index < 0 || index >= getNumItems()) {
        log_error("Invalid item index (%d)", index);
        return nullptr;
    }
    return items[static_cast<size_t>(index)];
}

ItemInstance* Player::getItemAtLocation(int location)
{
    for (ItemInstance* item : items) {
        if (item->location == location)
            return item;
    }
    return nullptr;
}

int Player::lowestFreeBagLocation() const
{
    bool taken[BAG_SIZE] = {};
    for (const ItemInstance* item : items) {
        if (item->location >= 0 && item->location < BAG_SIZE)
            taken[item->location] = true;
    }
    for (int location = 0; location < BAG_SIZE; ++location) {
        if (!taken[location])
            return location;
    }
    return InventoryProviderHelper::NO_LOCATION;
}

bool Player::addItem(unsigned int itemCode)
{
    const int location = lowestFreeBagLocation();
    if (location == InventoryProviderHelper::NO_LOCATION) {
        log_error("Inventory is full");
        return false;
    }
    items.push_back(new ItemInstance(itemCode, location));
    return true;
}

bool Player::removeItem(ItemInstance* item)
{
    const auto found = std::find(items.begin(), items.end(), item);
    if (found == items.end()) {
        log_error("Failed to remove item");
        return false;
    }
    items.erase(found);
    delete item;
    return true;
}

int Player::equipmentSum(item_stat stat)
{
    int sum = 0;
    for (int location = FIRST_EQUIPMENT_LOCATION; location >= LAST_EQUIPMENT_LOCATION; --location) {
        const ItemInstance* equipped = getItemAtLocation(location);
        if (equipped != nullptr)
            sum += Item(equipped->itemCode).getStat(stat);
    }
    return sum;
}

int Player::getEquippedStrength()
{
    return equipmentSum(STAT_STRENGTH);
}

int Player::getEquippedArmor()
{
    return equipmentSum(STAT_ARMOR);
}

int Player::getEquippedHealth()
{
    return equipmentSum(STAT_HEALTH);
}

int Player::getEquippedHealthRegen()
{
    return equipmentSum(STAT_HEALTH_REGEN);
}

int Player::getEquippedPower()
{
    return equipmentSum(STAT_POWER);
}

int Player::getEquippedPowerRegen()
{
    return equipmentSum(STAT_POWER_REGEN);
}

int Player::getBaseStrength()
{
    return getStrength();
}

int Player::getBaseArmor()
{
    return armor;
}

int Player::getBaseHealth()
{
    return BASE_HEALTH + HEALTH_PER_LEVEL * (getLevel() - 1);
}

int Player::getBaseHealthRegen()
{
    return static_cast<int>(healthRegen);
}

int Player::getBasePower()
{
    return BASE_POWER + POWER_PER_LEVEL * (getLevel() - 1);
}

int Player::getBasePowerRegen()
{
    if (tempPowerRegenTimer > 0.0f)
        return static_cast<int>(tempPowerRegenRate);
    return BASE_POWER_REGEN;
}

void Player::setMovementDirection(glm::vec3 d)
{
    movementDirection = d;
}

void Player::setExtraWalkInDir(float d)
{
    targetPosition = position + movementDirection * d;
    hasTarget = true;
}

void Player::invalidateTargetPosition()
{
    hasTarget = false;
}

void Player::spin()
{
    spinTimer = SPIN_SECONDS;
}

bool Player::isSpinning()
{
    if (spinTimer > 0.0f && spinTick > SPIN_HIT_INTERVAL) {
        spinTick = 0.0f;
        return true;
    }
    return false;
}

void Player::setTemporaryExtraStrength(float amount, float seconds)
{
    tempExtraStrength = amount;
    tempStrengthTimer = seconds;
    setScale(BUFFED_SCALE);
}

void Player::setTemporaryPowerRegenRate(float rate, float seconds)
{
    tempPowerRegenRate = rate;
    tempPowerRegenTimer = seconds;
}

void Player::resetPower()
{
    power = maxPower;
}

void Player::die()
{
    speed = 0.0f;
    spinTimer = 0.0f;
    spinTick = 0.0f;
    armBSwing = 0.0f;
    armAPose = 0.0f;
    setScale(NORMAL_SCALE);
}

void Player::update(float dt, Collidable* level)
{
    updateBuffs(dt);
    regenerate(dt);
    if (!fall(dt)) {
        spinOrTurn(dt);
        walk(dt, level);
    }
    Unit::update(dt);
}

void Player::updateBuffs(float dt)
{
    maxPower = static_cast<float>(getBasePower() + getEquippedPower());
    maxHealth = static_cast<float>(getBaseHealth() + getEquippedHealth());

    if (tempPowerRegenTimer > 0.0f) {
        tempPowerRegenTimer -= dt;
        powerRegenRate = tempPowerRegenRate;
    } else {
        powerRegenRate = static_cast<float>(getBasePowerRegen()) +
                         static_cast<float>(getEquippedPowerRegen()) / EQUIPPED_POWER_REGEN_SHARE;
    }

    if (tempStrengthTimer > 0.0f) {
        tempStrengthTimer -= dt;
    } else {
        setScale(NORMAL_SCALE);
        tempExtraStrength = 0.0f;
    }
}

void Player::regenerate(float dt)
{
    if (power < maxPower)
        power += powerRegenRate * dt;
    else
        power = maxPower;
    // Unit::update heals once more, so below the maximum the hero heals at
    // twice the rate.
    if (health < maxHealth)
        health += healthRegen * dt;
    else
        health = maxHealth;
}

bool Player::fall(float dt)
{
    if (!falling)
        return false;
    position.z -= FALL_SPEED * dt;
    if (position.z < GROUND_Z) {
        position.z = GROUND_Z;
        falling = false;
    }
    return true;
}

void Player::spinOrTurn(float dt)
{
    if (spinTimer > 0.0f) {
        spinTimer -= dt;
        spinTick += dt;
        rotation.z += SPIN_TURN_SPEED * dt;
        const bool stillSpinning = spinTimer >= 0.0f;
        armAPose = stillSpinning ? PI / 2.0f : 0.0f;
        armBSwing = stillSpinning ? -PI / 2.0f : 0.0f;
    } else if (glm::length(movementDirection) > MIN_TURN_DIRECTION) {
        rotation.z = headingOf(movementDirection, rotation.z);
    }
}

void Player::walk(float dt, Collidable* level)
{
    MathUtil::forEachSubStep(glm::length(movementDirection * speed * dt), MAX_WALK_STEP, dt,
                             [this, level](float stepTime, bool) { return walkStep(stepTime, level); });
}

bool Player::walkStep(float dt, Collidable* level)
{
    const glm::vec3 before = position;
    position += movementDirection * speed * dt;
    if (hasTarget && glm::distance(position, targetPosition) < TARGET_STOP_DISTANCE)
        position = before;
    if (level->isCollision(position, COLLISION_RADIUS))
        position = before;
    if (blocked)
        position = before;
    return position != before;
}
