#pragma once

class Skill;

// The game's face towards its skills: a skill reports that it fired, and asks
// how much power the player has to pay for it.
class SkillActivatedInterface {
public:
    virtual void skillActivated(Skill* skill) = 0;
    virtual int getAvailablePower() = 0;

protected:
    ~SkillActivatedInterface() = default;
};
