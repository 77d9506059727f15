#include "game/Unit.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/MathUtil.h"
#include "game/AnimationCompleteListener.h"
#include "game/Collidable.h"
#include "render/TexturedCuboid.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2.0f * PI;
constexpr double PI_D = 3.14159265358979323846;

// The body's centre sits a quarter of its height above the given z.
constexpr float CENTRE_HEIGHT_FACTOR = 0.25f;
// A hovering unit bobs half a unit around two units above its centre.
constexpr float HOVER_LIFT = 2.0f;
constexpr float HOVER_AMPLITUDE = 0.5f;
constexpr float HOVER_SPEED = 5.0f;
// Without a temporary rate a unit heals two points per level and second.
constexpr float REGEN_PER_LEVEL = 2.0f;
// Arms: a quarter of the body's width and depth, half its height, hung
// just outside the body's sides.
constexpr float ARM_THICKNESS_FACTOR = 0.25f;
constexpr float ARM_LENGTH_FACTOR = 0.5f;
constexpr float ARM_OFFSET_FACTOR = 0.625f;
// Radians per second of the swing; one swing is a full turn.
constexpr float SWING_SPEED = 12.0f;
constexpr float KILL_THRESHOLD = 0.1f;
constexpr float SIGHT_CANDIDATE_Z = 1.0f;
// MathUtil::random() scaled into 0..1.
constexpr double RANDOM_SCALE = 4294967294.0;

const char* const UNIT_VERTEX_SHADER = "shaders/simple.vs";
const char* const UNIT_FRAGMENT_SHADER = "shaders/simple.fs";

} // namespace

Unit::Unit(float x, float y, float z, float width, float depth, float height, int level, int armor, int strength,
           int health, int healthRegen)
    : position(x, y, z + CENTRE_HEIGHT_FACTOR * height), rotation(0.0f), width(width), depth(depth), height(height),
      maxHealth(static_cast<float>(health)), health(static_cast<float>(health)),
      healthRegen(static_cast<float>(healthRegen)), tempRegenRate(0.0f), tempRegenTime(0.0f), armor(armor),
      strength(strength), level(level), hovering(false), hoverPhase(0.0f),
      hoverBaseZ(CENTRE_HEIGHT_FACTOR * height + HOVER_LIFT), attackAngle(0.0f), attacking(false), body(nullptr),
      armA(nullptr), armB(nullptr), attackListener(nullptr), attackUserData(nullptr), armAPose(0.0f),
      armBSwing(0.0f)
{
}

Unit::~Unit()
{
    delete body;
    delete armA;
    delete armB;
}

glm::vec3 Unit::getPosition()
{
    return position;
}

int Unit::getLevel() const
{
    return level;
}

bool Unit::addDamage(float amount)
{
    const float left = health - amount;
    if (left <= KILL_THRESHOLD) {
        health = 0.0f;
        return true;
    }
    health = left;
    return false;
}

int Unit::getStrength() const
{
    return strength;
}

void Unit::setTexturePaths(std::string bodyPath, std::string armPath)
{
    bodyTexturePath = std::move(bodyPath);
    armTexturePath = std::move(armPath);
}

void Unit::createBoxes()
{
    if (body != nullptr)
        return;
    body = new TexturedCuboid(position.x, position.y, position.z, width, depth, height, bodyTexturePath,
                              bodyTexturePath, UNIT_VERTEX_SHADER, UNIT_FRAGMENT_SHADER);
    const float armWidth = ARM_THICKNESS_FACTOR * width;
    const float armDepth = ARM_THICKNESS_FACTOR * depth;
    const float armHeight = ARM_LENGTH_FACTOR * height;
    armA = new TexturedCuboid(position.x, position.y, position.z, armWidth, armDepth, armHeight, armTexturePath,
                              armTexturePath, UNIT_VERTEX_SHADER, UNIT_FRAGMENT_SHADER);
    armB = new TexturedCuboid(position.x, position.y, position.z, armWidth, armDepth, armHeight, armTexturePath,
                              armTexturePath, UNIT_VERTEX_SHADER, UNIT_FRAGMENT_SHADER);
}

bool Unit::setup()
{
    createBoxes();
    return body->setup(UV_MAPPING_ATLAS) && armB->setup(UV_MAPPING_TEMPLATE) && armA->setup(UV_MAPPING_TEMPLATE);
}

void Unit::update(float dt)
{
    if (hovering) {
        hoverPhase += HOVER_SPEED * dt;
        position.z = hoverBaseZ + HOVER_AMPLITUDE * std::sin(hoverPhase);
    }

    if (tempRegenTime > 0.0f) {
        tempRegenTime -= dt;
        healthRegen = tempRegenRate;
    } else {
        healthRegen = REGEN_PER_LEVEL * static_cast<float>(level);
    }
    // No clamp: the last step may end a little above the maximum.
    if (health < maxHealth)
        health += healthRegen * dt;

    poseBoxes();
    advanceSwing(dt);

    if (body != nullptr) {
        body->update(dt);
        armA->update(dt);
        armB->update(dt);
    }
}

void Unit::poseBoxes()
{
    if (body == nullptr)
        return;
    body->position = position;
    body->rotation = rotation;

    const float offset = ARM_OFFSET_FACTOR * width;
    const float side = rotation.z + PI / 2.0f;
    const glm::vec3 toArmA(std::cos(side) * offset, std::sin(side) * offset, 0.0f);
    armA->position = position + toArmA;
    armB->position = position - toArmA;
    // Arms turn about their upper end.
    const glm::vec3 shoulder(0.0f, 0.0f, -CENTRE_HEIGHT_FACTOR * height);
    armA->pivot = shoulder;
    armB->pivot = shoulder;
    armA->rotation = glm::vec3(0.0f, armAPose, rotation.z);
    armB->rotation = glm::vec3(0.0f, armBSwing, rotation.z);
}

void Unit::advanceSwing(float dt)
{
    if (!attacking)
        return;
    // The arm shows the angle before this frame's advance, and the pose above
    // used the one before that: the drawn swing trails by a frame.
    armBSwing = attackAngle;
    attackAngle += SWING_SPEED * dt;
    if (attackAngle > TWO_PI) {
        attacking = false;
        if (attackListener != nullptr)
            attackListener->animationComplete(attackUserData);
        attackAngle = 0.0f;
    }
}

void Unit::render(MatrixOwner* camera, Followable* light)
{
    if (body == nullptr)
        return;
    body->render(camera, light, false);
    armA->render(camera, light, false);
    armB->render(camera, light, false);
}

void Unit::performMeleeAttackAnimation(AnimationCompleteListener* listener, void* userData)
{
    attacking = true;
    attackListener = listener;
    attackUserData = userData;
}

void Unit::setScale(float s)
{
    if (body == nullptr)
        return;
    body->scale = s;
    armA->scale = s;
    armB->scale = s;
}

void Unit::setTemporaryHealthRegenRate(float rate, float seconds)
{
    tempRegenRate = rate;
    tempRegenTime = seconds;
}

void Unit::setStats(int newLevel, int newArmor, int newStrength, int newHealth, int newHealthRegen)
{
    level = newLevel;
    armor = newArmor;
    strength = newStrength;
    maxHealth = static_cast<float>(newHealth);
    health = maxHealth;
    healthRegen = static_cast<float>(newHealthRegen);
}

void Unit::resetAtNewLevel(int L)
{
    level = L;
    strength = 20 * L;
    armor = 10 * L;
    maxHealth = static_cast<float>(100 * L);
    health = maxHealth;
    healthRegen = static_cast<float>(2 * L);
}

void Unit::resetHealth()
{
    health = maxHealth;
}

glm::vec3 Unit::getRandomPosWithLOS(Collidable* level, float radius)
{
    glm::vec3 candidate(position.x, position.y, SIGHT_CANDIDATE_Z);
    for (int tries = 0; tries < MAX_SIGHT_TRIES; ++tries) {
        const double u1 = MathUtil::random() / RANDOM_SCALE;
        const double u2 = MathUtil::random() / RANDOM_SCALE;
        const double angle = 2.0 * PI_D * u1;
        const double distance = radius / 3.0 + std::sqrt(u2) * (2.0 * radius / 3.0);
        candidate.x += static_cast<float>(std::cos(angle) * distance);
        candidate.y += static_cast<float>(std::sin(angle) * distance);
        if (level->lineOfSight(position, candidate, -1.0f))
            return candidate;
    }
    // Nothing visible was found (a unit boxed in by walls): give the search's
    // starting point, the unit's own place at candidate height, which is
    // reachable and never the unit's exact position (a walk there always has
    // a direction).
    return glm::vec3(position.x, position.y, SIGHT_CANDIDATE_Z);
}

float Unit::headingOf(const glm::vec3& direction, float previous)
{
    const double length = glm::length(glm::dvec3(direction));
    if (length <= 0.0)
        return previous;
    // Rounding may push the cosine a hair beyond +-1, where acos has no value.
    const double cosine = std::clamp(static_cast<double>(direction.x) / length, -1.0, 1.0);
    double heading = std::acos(cosine);
    if (direction.y < 0.0f)
        heading = PI_D + (PI_D - heading);
    return static_cast<float>(heading);
}
