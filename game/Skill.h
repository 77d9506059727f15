#pragma once

#include <string>

#include "game/SkillInterface.h"
#include "game/ValueProvider.h"

class SkillActivatedInterface;

// One of the hero's five skills: its name, icon, power cost and cooldown, and
// the decision whether it may fire. What it does when it fires is the
// listener's business (the game object). Its HUD button fires it and reads
// the cooldown left through the ValueProvider face; the frame loop counts the
// cooldown down while the game is being played.
class Skill : public SkillInterface, public ValueProvider {
public:
    // A skill may fire again once no more than this much cooldown is left.
    static constexpr float READY_COOLDOWN = 1.0f;
    // What getValue answers once the countdown has passed 0.
    static constexpr float COOLDOWN_OVER = -1.0f;

    // The listener is not owned and must outlive the skill.
    Skill(std::string name, std::string texturePath, int powerCost, int cooldown, SkillActivatedInterface* listener);
    ~Skill() override = default;

    // Fires when ready and the listener's power, truncated, exceeds the cost;
    // the listener then pays the cost and applies the effect.
    bool use() override;
    std::string getTexturePath() override;
    void update(float dt);

    // The cooldown seconds left, or COOLDOWN_OVER once the countdown has
    // passed 0; skills serve one value, so the id is ignored.
    float getValue(int id) override;
    float getMaxValue(int id) override;
    float getAbsoluteValue(int id) override;

    int getPowerCost() const;
    std::string getName() const;

private:
    SkillActivatedInterface* listener;
    int powerCost;
    int cooldown;
    float cooldownLeft;
    std::string name;
    std::string texturePath;
};
