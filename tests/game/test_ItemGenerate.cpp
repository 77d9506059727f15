#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

#include "core/MathUtil.h"
#include "game/Item.h"

namespace {

struct Fields {
    uint32_t level;
    uint32_t slot;
    uint32_t quality;
    uint32_t seed;
};

Fields fieldsOf(uint32_t code)
{
    return {code & 0xFF, (code >> 8) & 0xF, (code >> 12) & 0xF, code >> 16};
}

} // namespace

TEST(ItemGenerate, KeepsTheRequestedLevelSlotAndQualityInTheirBits)
{
    std::srand(11);
    for (int slot = HEAD; slot <= FEET; ++slot) {
        for (int quality = NORMAL; quality <= EPIC; ++quality) {
            const uint32_t code =
                Item::generate(5, 5, static_cast<item_slot>(slot), static_cast<item_quality>(quality));
            const Fields fields = fieldsOf(code);
            EXPECT_EQ(fields.level, 5u);
            EXPECT_EQ(fields.slot, static_cast<uint32_t>(slot));
            EXPECT_EQ(fields.quality, static_cast<uint32_t>(quality));
            EXPECT_LT(fields.seed, 65535u);

            const Item item(code);
            EXPECT_EQ(item.level, 5);
            EXPECT_EQ(item.slot, slot);
            EXPECT_EQ(item.quality, quality);
        }
    }
}

TEST(ItemGenerate, DrawsLevelSlotQualityThenSeedFromTheCurrentGenerator)
{
    std::srand(2024);
    const uint32_t code = Item::generate(1, 100, ANY_SLOT, ANY_QUALITY);

    std::srand(2024);
    const uint32_t level = static_cast<uint32_t>(MathUtil::get_random_int(1, 100));
    const uint32_t slot = static_cast<uint32_t>(MathUtil::get_random_int(0, 6));
    const uint32_t quality = static_cast<uint32_t>(MathUtil::get_random_int(0, 3));
    const uint32_t seed = MathUtil::random() % 65535;
    EXPECT_EQ(code, seed << 16 | quality << 12 | slot << 8 | level);

    // A fixed slot and quality draw nothing for them.
    std::srand(2024);
    const uint32_t fixed = Item::generate(1, 100, NECK, RARE);
    std::srand(2024);
    const uint32_t fixedLevel = static_cast<uint32_t>(MathUtil::get_random_int(1, 100));
    EXPECT_EQ(fixed, (MathUtil::random() % 65535) << 16 | RARE << 12 | NECK << 8 | fixedLevel);
}

TEST(ItemGenerate, AnySlotAndAnyQualitySpreadEvenlyAndSeedsStayBelowTheLimit)
{
    std::srand(3);
    std::map<uint32_t, int> slots;
    std::map<uint32_t, int> qualities;
    std::set<uint32_t> levels;
    const int draws = 28000;
    for (int i = 0; i < draws; ++i) {
        const uint32_t code = Item::generate(1, 100, ANY_SLOT, ANY_QUALITY);
        ASSERT_NE(code, 0u);
        const Fields fields = fieldsOf(code);
        ASSERT_LT(fields.seed, 65535u);
        ++slots[fields.slot];
        ++qualities[fields.quality];
        levels.insert(fields.level);
    }
    ASSERT_EQ(slots.size(), 7u);
    for (const auto& [slot, count] : slots)
        EXPECT_NEAR(count, draws / 7, draws / 70) << "slot " << slot;
    ASSERT_EQ(qualities.size(), 4u);
    for (const auto& [quality, count] : qualities)
        EXPECT_NEAR(count, draws / 4, draws / 40) << "quality " << quality;
    // Both ends of the level range occur.
    EXPECT_EQ(levels.size(), 100u);
    EXPECT_EQ(*levels.begin(), 1u);
    EXPECT_EQ(*levels.rbegin(), 100u);
}

TEST(ItemGenerate, LevelsOutsideTheCodeOrAReversedRangeCannotSpillIntoOtherFields)
{
    std::srand(17);
    for (int i = 0; i < 200; ++i) {
        const Fields high = fieldsOf(Item::generate(300, 400, WEAPON, MAGIC));
        EXPECT_EQ(high.level, 255u);
        EXPECT_EQ(high.slot, static_cast<uint32_t>(WEAPON));
        EXPECT_EQ(high.quality, static_cast<uint32_t>(MAGIC));

        const Fields negative = fieldsOf(Item::generate(-40, -1, HEAD, NORMAL));
        EXPECT_EQ(negative.level, 0u);
        EXPECT_EQ(negative.slot, static_cast<uint32_t>(HEAD));
        EXPECT_LT(negative.seed, 65535u);

        const Fields reversed = fieldsOf(Item::generate(10, 3, FEET, EPIC));
        EXPECT_GE(reversed.level, 3u);
        EXPECT_LE(reversed.level, 10u);
        EXPECT_EQ(reversed.quality, static_cast<uint32_t>(EPIC));
    }
}

TEST(ItemGenerate, SlotsAndQualitiesBeyondTheirRangesAreDrawnLikeAny)
{
    std::srand(23);
    for (int i = 0; i < 200; ++i) {
        const Fields fields = fieldsOf(Item::generate(20, 20, static_cast<item_slot>(40), static_cast<item_quality>(-2)));
        EXPECT_EQ(fields.level, 20u);
        EXPECT_LE(fields.slot, static_cast<uint32_t>(FEET));
        EXPECT_LE(fields.quality, static_cast<uint32_t>(EPIC));
        EXPECT_LT(fields.seed, 65535u);
    }
}
