#include <algorithm>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"
#include "game/Item.h"

namespace {

constexpr int HIGHEST_STAT_FACTOR = 6; // an epic item with the top multiplier
constexpr int LEVEL_LIMIT = 255;

int32_t i32At(const uint8_t* bytes)
{
    return static_cast<int32_t>(read_fuzz_u32(bytes));
}

bool sameItem(const Item& a, const Item& b)
{
    return a.name == b.name && a.namePrefixPart == b.namePrefixPart && a.nameSuffixPart == b.nameSuffixPart &&
           a.slot == b.slot && a.quality == b.quality && a.icon == b.icon && a.strength == b.strength &&
           a.armor == b.armor && a.health == b.health && a.power == b.power && a.healthRegen == b.healthRegen &&
           a.powerRegen == b.powerRegen;
}

void checkItem(uint32_t code)
{
    const Item item(code);
    fuzz_require(item.level == static_cast<int>(code & 0xFF), "the level is the code's low byte");
    fuzz_require(item.slot >= HEAD && item.slot <= FEET, "a rebuilt slot is a real slot");
    fuzz_require(item.quality >= NORMAL && item.quality <= EPIC, "a rebuilt quality is a real quality");
    fuzz_require(item.slot_as_string() != "Unknown slot", "the slot has a name");
    fuzz_require(item.quality_as_string() != "Unknown quality", "the quality has a name");
    fuzz_require(item.icon >= 1, "the icon is an atlas cell");
    fuzz_require(!item.name.empty(), "the item has a name");

    const bool twoParts = item.quality == RARE || (item.quality == EPIC && item.slot != WEAPON);
    if (twoParts)
        fuzz_require(item.name == item.namePrefixPart + item.nameSuffixPart, "the name is its two parts");
    else
        fuzz_require(item.namePrefixPart.empty() && item.nameSuffixPart.empty(), "only two-part names have parts");

    const int low = item.level / 2;
    const int high = HIGHEST_STAT_FACTOR * item.level;
    for (int stat = STAT_STRENGTH; stat <= STAT_POWER_REGEN; ++stat) {
        const int value = item.getStat(static_cast<item_stat>(stat));
        fuzz_require(value >= low && value <= high, "every stat lies in the level's range");
    }
    fuzz_require(item.getStat(static_cast<item_stat>(STAT_POWER_REGEN + 1)) == 0, "a stat past the last is 0");
    fuzz_require(item.getStat(static_cast<item_stat>(-1)) == 0, "a negative stat is 0");

    fuzz_require(sameItem(item, Item(code)), "one code always gives one item");
}

void checkGenerated(int32_t minLevel, int32_t maxLevel, int32_t slot, int32_t quality)
{
    const uint32_t code =
        Item::generate(minLevel, maxLevel, static_cast<item_slot>(slot), static_cast<item_quality>(quality));
    const int low = std::clamp(std::min(minLevel, maxLevel), 0, LEVEL_LIMIT);
    const int high = std::clamp(std::max(minLevel, maxLevel), 0, LEVEL_LIMIT);
    const int level = static_cast<int>(code & 0xFF);
    fuzz_require(level >= low && level <= high, "a generated level lies in the asked range");
    fuzz_require(((code >> 8) & 0xF) <= FEET, "a generated slot is a real slot");
    fuzz_require(((code >> 12) & 0xF) <= EPIC, "a generated quality is a real quality");
    fuzz_require((code >> 16) < 65535u, "a generated seed stays below 65535");
    if (slot >= HEAD && slot <= FEET)
        fuzz_require(static_cast<int32_t>((code >> 8) & 0xF) == slot, "a real slot is kept");
    if (quality >= NORMAL && quality <= EPIC)
        fuzz_require(static_cast<int32_t>((code >> 12) & 0xF) == quality, "a real quality is kept");
    checkItem(code);
}

} // namespace

int fuzz_item_code(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    checkItem(static_cast<uint32_t>(i32At(data)));
    if (size >= 20)
        checkGenerated(i32At(data + 4), i32At(data + 8), i32At(data + 12), i32At(data + 16));
    return 0;
}
