#include <gtest/gtest.h>

#include <cstdlib>

#include "game/CombatSystem.h"
#include "game/ItemInstance.h"
#include "game/Player.h"
#include "game/Unit.h"

namespace {

struct Roll {
    int damage;
    bool crit;
};

Roll unitHit(unsigned seed, Unit* attacker, Unit* defender, int levelBonus)
{
    std::srand(seed);
    Roll roll{0, false};
    roll.damage = CombatSystem::getDamage(attacker, defender, &roll.crit, levelBonus);
    return roll;
}

Roll numberHit(unsigned seed, int attackerLevel, int attackerStrength, int defenderLevel, int defenderArmor,
               int levelBonus)
{
    std::srand(seed);
    Roll roll{0, false};
    roll.damage = CombatSystem::getDamage(attackerLevel, attackerStrength, defenderLevel, defenderArmor, &roll.crit,
                                          levelBonus);
    return roll;
}

} // namespace

TEST(UnitCombat, TheHeroHitsWithItsExperienceLevelAndBuffedStrength)
{
    Player hero(0.0f, 0.0f);
    hero.exp = 3500; // level 3, while the unit field stays 1
    hero.setTemporaryExtraStrength(50.0f, 5.0f);
    Unit enemy(0.0f, 0.0f, 1.0f, 2.0f, 2.0f, 3.0f, 2, 40, 8, 400, 6);

    for (unsigned seed = 1; seed <= 20; ++seed) {
        const Roll byUnits = unitHit(seed, &hero, &enemy, 0);
        const Roll byNumbers = numberHit(seed, 3, 150, 2, 40, 0);
        EXPECT_EQ(byUnits.damage, byNumbers.damage) << seed;
        EXPECT_EQ(byUnits.crit, byNumbers.crit) << seed;
    }
}

TEST(UnitCombat, AnEnemyStrikesTheHeroWithItsBonusAgainstTheUnequippedArmor)
{
    Player hero(0.0f, 0.0f);
    hero.exp = 1500; // level 2
    // Equipment armor does not count; the unit's armor field does.
    ASSERT_TRUE(hero.addItem(1u << 16 | 3u << 12 | 1u << 8 | 50u));
    hero.getItem(0)->location = -2;
    Unit enemy(0.0f, 0.0f, 1.0f, 2.0f, 2.0f, 3.0f, 4, 80, 16, 800, 12);

    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        const int byUnits = CombatSystem::getDamage(&enemy, &hero, nullptr, 1);
        std::srand(seed);
        const int byNumbers = CombatSystem::getDamage(4, 16, 2, 10, nullptr, 1);
        EXPECT_EQ(byUnits, byNumbers) << seed;
    }
}
