#pragma once

#include <string>

// A skill as its HUD button sees it: fire it, and the icon to show.
class SkillInterface {
public:
    // Fires the skill when it is ready and affordable; true when it fired.
    virtual bool use() = 0;
    virtual std::string getTexturePath() = 0;
    virtual ~SkillInterface() = default;
};
