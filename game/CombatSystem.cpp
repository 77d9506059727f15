#include "game/CombatSystem.h"

#include <climits>
#include <cmath>

#include "core/MathUtil.h"
#include "game/Unit.h"

namespace {

// The random factor runs from 0.500 to 1.499 in steps of 0.001.
constexpr float FACTOR_BASE = 0.5f;
constexpr float FACTOR_WIDTH = 1.0f;
// Level differences beyond this many levels count no further.
constexpr int LEVEL_DIFFERENCE_CAP = 5;
constexpr float LEVEL_EXPONENT_CAP = 0.5f;
constexpr float LEVEL_EXPONENT_PER_LEVEL = 0.1f;
constexpr float ARMOR_DIVISOR = 10.0f;
constexpr double DAMAGE_DIVISOR = 5.0;
constexpr float CRIT_THRESHOLD = 0.9f;

float levelExponent(int levelDifference)
{
    if (levelDifference > LEVEL_DIFFERENCE_CAP)
        return LEVEL_EXPONENT_CAP;
    if (levelDifference < -LEVEL_DIFFERENCE_CAP)
        return -LEVEL_EXPONENT_CAP;
    return LEVEL_EXPONENT_PER_LEVEL * static_cast<float>(levelDifference);
}

} // namespace

CombatSystem::CombatSystem() = default;

CombatSystem::~CombatSystem() = default;

int CombatSystem::getDamage(int attackerLevel, int attackerStrength, int defenderLevel, int defenderArmor,
                            bool* crit, int levelBonus)
{
    const int level = attackerLevel + levelBonus;
    const float factor = MathUtil::grf(FACTOR_BASE, FACTOR_WIDTH);
    const float exponent = levelExponent(level - defenderLevel);

    // The armor term is single precision, the rest double; the rounding of
    // both shows in the truncated result.
    const float armorTerm = static_cast<float>(defenderArmor) / ARMOR_DIVISOR * static_cast<float>(defenderLevel);
    const double attack = std::exp(static_cast<double>(exponent)) * level * attackerStrength * factor;
    const double raw = (attack - armorTerm) / DAMAGE_DIVISOR;

    if (crit) {
        *crit = false;
        *crit = MathUtil::get_random() > CRIT_THRESHOLD;
    }

    if (raw < 0.0)
        return 0;
    // Converting a double beyond the int range is undefined; absurd unit
    // numbers must not turn into garbage damage.
    if (raw >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(raw);
}

int CombatSystem::getDamage(Unit* attacker, Unit* defender, bool* crit, int levelBonus)
{
    return getDamage(attacker->getLevel(), attacker->getStrength(), defender->getLevel(), defender->armor, crit,
                     levelBonus);
}
