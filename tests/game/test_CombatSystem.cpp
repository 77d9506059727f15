#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "core/MathUtil.h"
#include "game/CombatSystem.h"

namespace {

// A seed whose first MathUtil::random() makes the damage factor 0.5 + step / 1000.
unsigned seedForFactorStep(unsigned step)
{
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if (MathUtil::random() % 1000u == step)
            return seed;
    }
}

// A seed whose second draw (the critical roll) does or does not exceed 0.9.
unsigned seedForCritical(bool critical)
{
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        MathUtil::random();
        if ((MathUtil::get_random() > 0.9f) == critical)
            return seed;
    }
}

struct Hit {
    int attackerLevel;
    int attackerStrength;
    int defenderLevel;
    int defenderArmor;
    int levelBonus;
};

int damageAtStep(const Hit& hit, unsigned step)
{
    std::srand(seedForFactorStep(step));
    return CombatSystem::getDamage(hit.attackerLevel, hit.attackerStrength, hit.defenderLevel, hit.defenderArmor,
                                   nullptr, hit.levelBonus);
}

constexpr unsigned DRAW_SEED = 4321;

// The rand() value that follows the first 'draws' values after DRAW_SEED.
int randAfter(int draws)
{
    std::srand(DRAW_SEED);
    for (int i = 0; i < draws; ++i)
        std::rand();
    return std::rand();
}

// The rand() value that follows one damage roll after DRAW_SEED.
int randAfterDamage(bool* crit)
{
    std::srand(DRAW_SEED);
    CombatSystem::getDamage(3, 50, 2, 20, crit, 0);
    return std::rand();
}

} // namespace

TEST(CombatSystemDamage, WorkedExamplesGiveTheirExactDamage)
{
    const Hit even{1, 100, 1, 20, 0};
    EXPECT_EQ(damageAtStep(even, 0), 9);
    EXPECT_EQ(damageAtStep(even, 500), 19);

    const Hit enemySwing{1, 4, 1, 10, 1};
    EXPECT_EQ(damageAtStep(enemySwing, 0), 0);
    EXPECT_EQ(damageAtStep(enemySwing, 999), 2);
}

TEST(CombatSystemDamage, LevelDifferenceCountsForAtMostFiveLevelsEitherWay)
{
    // With no armor the defender's level only enters the level difference.
    EXPECT_EQ(damageAtStep({30, 100, 26, 0, 0}, 500), 895);  // +4: exp(0.4)
    EXPECT_EQ(damageAtStep({30, 100, 24, 0, 0}, 500), 989);  // +6: exp(0.5)
    EXPECT_EQ(damageAtStep({30, 100, 1, 0, 0}, 500), 989);   // +29: still exp(0.5)
    EXPECT_EQ(damageAtStep({1, 100, 5, 0, 0}, 500), 13);     // -4: exp(-0.4)
    EXPECT_EQ(damageAtStep({1, 100, 7, 0, 0}, 500), 12);     // -6: exp(-0.5)
    EXPECT_EQ(damageAtStep({1, 100, 60, 0, 0}, 500), 12);    // -59: still exp(-0.5)
    // The bonus is part of the attacker's level: 24 + 6 against 24.
    EXPECT_EQ(damageAtStep({24, 100, 24, 0, 6}, 500), 989);
}

TEST(CombatSystemDamage, ArmorBeyondTheAttackGivesZeroNotANegativeDamage)
{
    EXPECT_EQ(damageAtStep({1, 1, 10, 1000, 0}, 999), 0);
    EXPECT_EQ(damageAtStep({1, 0, 1, 10, 0}, 999), 0);
}

TEST(CombatSystemDamage, SinglePrecisionPartsDecideTruncationAtTheEdges)
{
    // Each case sits within a rounding error of a whole number: evaluating
    // the factor, the exponent or the armor term in another precision moves
    // it to the other side.
    EXPECT_EQ(damageAtStep({1, 5, 1, 3, 0}, 560), 0);
    EXPECT_EQ(damageAtStep({1, 6, 1, 22, 0}, 700), 1);
    EXPECT_EQ(damageAtStep({1, 9, 1, 8, 0}, 700), 2);
    EXPECT_EQ(damageAtStep({1, 5, 1, 17, 0}, 840), 0);
    EXPECT_EQ(damageAtStep({1, 10, 1, 7, 0}, 70), 0);
    EXPECT_EQ(damageAtStep({1, 10, 1, 13, 0}, 630), 2);
    EXPECT_EQ(damageAtStep({1, 10, 1, 77, 0}, 770), 1);
}

TEST(CombatSystemDamage, AbsurdlyStrongAttackersAreCappedInsteadOfOverflowing)
{
    EXPECT_EQ(damageAtStep({INT_MAX / 2, INT_MAX / 2, INT_MAX / 2, 0, 0}, 999), INT_MAX);
}

TEST(CombatSystemCritical, TheCriticalRollIsDrawnOnlyWhenAskedForAndAfterTheFactor)
{
    // One MathUtil::random() is four rand() values.
    EXPECT_EQ(randAfterDamage(nullptr), randAfter(4));
    bool crit = false;
    EXPECT_EQ(randAfterDamage(&crit), randAfter(8));

    // Asking for the flag does not change the damage: the factor comes first.
    const unsigned seed = seedForCritical(true);
    std::srand(seed);
    const int withoutFlag = CombatSystem::getDamage(7, 140, 5, 50, nullptr, 0);
    std::srand(seed);
    EXPECT_EQ(CombatSystem::getDamage(7, 140, 5, 50, &crit, 0), withoutFlag);
}

TEST(CombatSystemCritical, TheFlagFollowsTheSecondDrawAgainstNinetyPercent)
{
    bool crit = false;
    std::srand(seedForCritical(true));
    CombatSystem::getDamage(1, 10, 1, 0, &crit, 0);
    EXPECT_TRUE(crit);

    // A stale true from an earlier hit is overwritten.
    std::srand(seedForCritical(false));
    CombatSystem::getDamage(1, 10, 1, 0, &crit, 0);
    EXPECT_FALSE(crit);
}

TEST(CombatSystemCritical, RoughlyOneHitInTenIsCritical)
{
    std::srand(99);
    int criticals = 0;
    for (int i = 0; i < 10000; ++i) {
        bool crit = false;
        CombatSystem::getDamage(5, 60, 5, 30, &crit, 0);
        criticals += crit ? 1 : 0;
    }
    EXPECT_GT(criticals, 800);
    EXPECT_LT(criticals, 1200);
}
