#include "game/Skill.h"

#include <utility>

#include "game/SkillActivatedInterface.h"

Skill::Skill(std::string name, std::string texturePath, int powerCost, int cooldown,
             SkillActivatedInterface* listener)
    : listener(listener)
    , powerCost(powerCost)
    , cooldown(cooldown)
    , cooldownLeft(0.0f)
    , name(std::move(name))
    , texturePath(std::move(texturePath))
{
}

bool Skill::use()
{
    // The last second of a cooldown does not hold the skill back.
    if (cooldownLeft > READY_COOLDOWN)
        return false;
    if (listener == nullptr)
        return false;
    // Power must exceed the cost, so even a free skill needs 1 whole power.
    if (listener->getAvailablePower() <= powerCost)
        return false;
    cooldownLeft = static_cast<float>(cooldown);
    listener->skillActivated(this);
    return true;
}

std::string Skill::getTexturePath()
{
    return texturePath;
}

void Skill::update(float dt)
{
    if (cooldownLeft > 0.0f)
        cooldownLeft -= dt;
}

float Skill::getValue(int /*id*/)
{
    return cooldownLeft >= 0.0f ? cooldownLeft : COOLDOWN_OVER;
}

float Skill::getMaxValue(int /*id*/)
{
    return 0.0f;
}

float Skill::getAbsoluteValue(int /*id*/)
{
    return 0.0f;
}

int Skill::getPowerCost() const
{
    return powerCost;
}

std::string Skill::getName() const
{
    return name;
}
