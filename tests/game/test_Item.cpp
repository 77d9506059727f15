#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "core/MathUtil.h"
#include "game/Item.h"
#include "support/LogCapture.h"

namespace {

uint32_t codeOf(uint32_t seed, uint32_t quality, uint32_t slot, uint32_t level)
{
    return seed << 16 | quality << 12 | slot << 8 | level;
}

struct Table {
    const item_data_t* rows;
    int count;
};

Table tableOf(item_slot slot)
{
    switch (slot) {
    case HEAD: return {Item::head_data, Item::HEAD_ROWS};
    case ARMOR: return {Item::armor_data, Item::ARMOR_ROWS};
    case WEAPON: return {Item::weapon_data, Item::WEAPON_ROWS};
    case OFFHAND: return {Item::offhand_data, Item::OFFHAND_ROWS};
    case FINGER: return {Item::finger_data, Item::FINGER_ROWS};
    case NECK: return {Item::neck_data, Item::NECK_ROWS};
    default: return {Item::feet_data, Item::FEET_ROWS};
    }
}

bool rowHasIcon(const item_data_t& row, int icon)
{
    const int* end = row.icons + Item::countIcons(row);
    return std::find(row.icons, end, icon) != end;
}

// Whether some row of the slot's table is called baseName and lists the icon.
bool isBaseWithIcon(item_slot slot, const std::string& baseName, int icon)
{
    const Table table = tableOf(slot);
    for (int i = 0; i < table.count; ++i) {
        if (baseName == table.rows[i].name && rowHasIcon(table.rows[i], icon))
            return true;
    }
    return false;
}

template <int N>
bool isIn(const char* const (&table)[N], const std::string& entry)
{
    return std::find(table, table + N, entry) != table + N;
}

std::string afterLastBlank(const std::string& text)
{
    return text.substr(text.rfind(' ') + 1);
}

std::string beforeLastBlank(const std::string& text)
{
    return text.substr(0, text.rfind(' '));
}

// Every slot and quality, several seeds and levels.
void forEachSampleItem(const std::function<void(const Item&)>& check)
{
    const uint32_t levels[] = {1, 2, 37, 100, 255};
    for (uint32_t slot = HEAD; slot <= FEET; ++slot) {
        for (uint32_t quality = NORMAL; quality <= EPIC; ++quality) {
            for (uint32_t seed = 0; seed < 65535; seed += 2341) {
                for (uint32_t level : levels)
                    check(Item(codeOf(seed, quality, slot, level)));
            }
        }
    }
}

// The rand() value that follows the first 'draws' values after a seed.
int randAfter(unsigned seed, int draws)
{
    std::srand(seed);
    for (int i = 0; i < draws; ++i)
        std::rand();
    return std::rand();
}

} // namespace

TEST(ItemTables, EveryBaseItemHasOneToTenLeadingIconsAndZerosAfter)
{
    for (int slot = HEAD; slot <= FEET; ++slot) {
        const Table table = tableOf(static_cast<item_slot>(slot));
        for (int i = 0; i < table.count; ++i) {
            const item_data_t& row = table.rows[i];
            ASSERT_NE(row.name, nullptr) << "slot " << slot << " row " << i;
            EXPECT_GT(std::string(row.name).size(), 0u);
            const int icons = Item::countIcons(row);
            EXPECT_GE(icons, 1) << row.name;
            for (int k = icons; k < item_data_t::MAX_ICONS; ++k)
                EXPECT_EQ(row.icons[k], 0) << row.name;
        }
    }
}

TEST(ItemTables, BaseItemsHoldTheirListedNamesAndIcons)
{
    EXPECT_STREQ(Item::head_data[2].name, "Headguard");
    EXPECT_EQ(Item::countIcons(Item::head_data[2]), 4);
    EXPECT_EQ(Item::head_data[2].icons[3], 214);
    EXPECT_STREQ(Item::armor_data[6].name, "Bulwark");
    EXPECT_EQ(Item::armor_data[6].icons[4], 230);
    EXPECT_STREQ(Item::weapon_data[0].name, "Sword");
    EXPECT_STREQ(Item::weapon_data[7].name, "Bastardsword");
    EXPECT_STREQ(Item::weapon_data[24].name, "Carver");
    EXPECT_EQ(Item::countIcons(Item::weapon_data[24]), 6);
    EXPECT_EQ(Item::weapon_data[24].icons[5], 190);
    EXPECT_STREQ(Item::weapon_data[44].name, "Trucheon");
    EXPECT_EQ(Item::countIcons(Item::weapon_data[44]), 2);
    EXPECT_STREQ(Item::offhand_data[8].name, "Ward");
    EXPECT_EQ(Item::offhand_data[8].icons[2], 147);
    EXPECT_STREQ(Item::finger_data[3].name, "Stone");
    EXPECT_STREQ(Item::neck_data[5].name, "Ornament");
    EXPECT_STREQ(Item::feet_data[4].name, "Galoshes");
    EXPECT_EQ(Item::countIcons(Item::feet_data[4]), 1);
}

TEST(ItemTables, NameTablesAreFullAndHoldTheirListedEntries)
{
    for (const char* entry : Item::common_prefix)
        ASSERT_NE(entry, nullptr);
    for (const char* entry : Item::uncommon_prefix)
        ASSERT_NE(entry, nullptr);
    for (const char* entry : Item::suffix)
        ASSERT_NE(entry, nullptr);
    for (const char* entry : Item::epic_weapon_names)
        ASSERT_NE(entry, nullptr);

    EXPECT_STREQ(Item::common_prefix[10], "Common");
    EXPECT_STREQ(Item::uncommon_prefix[0], "Crystalline");
    EXPECT_STREQ(Item::uncommon_prefix[28], "Beatiful");
    EXPECT_STREQ(Item::uncommon_prefix[99], "Crippling");
    EXPECT_STREQ(Item::suffix[14], "the Flaming Stars");
    EXPECT_STREQ(Item::suffix[50], "Frenzy");
    EXPECT_STREQ(Item::epic_weapon_names[0], "Dordoridon");
    EXPECT_STREQ(Item::epic_weapon_names[34], "Hearthammer");

    // Three words stand twice, so they come up twice as often.
    const std::set<std::string> distinct(std::begin(Item::uncommon_prefix), std::end(Item::uncommon_prefix));
    EXPECT_EQ(distinct.size(), 97u);
    for (const char* doubled : {"Heavy", "Sharp", "Unique"})
        EXPECT_EQ(std::count(std::begin(Item::uncommon_prefix), std::end(Item::uncommon_prefix), std::string(doubled)),
                  2);
}

TEST(ItemTables, EpicArmorNamesAreDistinctPossessivesOfSixToTwelveCharacters)
{
    std::set<std::string> distinct;
    for (const char* entry : Item::epic_armor_names) {
        ASSERT_NE(entry, nullptr);
        const std::string name(entry);
        EXPECT_GE(name.size(), 6u) << name;
        EXPECT_LE(name.size(), 12u) << name;
        EXPECT_EQ(name.substr(name.size() - 2), "'s") << name;
        EXPECT_EQ(name.find(' '), std::string::npos) << name;
        distinct.insert(name);
    }
    EXPECT_EQ(distinct.size(), 42u);
}

TEST(ItemTables, CountIconsStopsAtTheFirstNumberBelowOneOrAfterTen)
{
    EXPECT_EQ(Item::countIcons({"Full", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}), 10);
    EXPECT_EQ(Item::countIcons({"Gap", {7, 0, 9}}), 1);
    EXPECT_EQ(Item::countIcons({"Negative", {7, 8, -1, 9}}), 2);
    EXPECT_EQ(Item::countIcons({"Empty", {0}}), 0);
}

TEST(ItemTables, EachAccessorDrawsOneEntryOfItsTableWithOneRandomNumber)
{
    const struct {
        std::function<std::string()> draw;
        std::function<bool(const std::string&)> belongs;
    } accessors[] = {
        {Item::get_random_common_prefix, [](const std::string& s) { return isIn(Item::common_prefix, s); }},
        {Item::get_random_uncommon_prefix, [](const std::string& s) { return isIn(Item::uncommon_prefix, s); }},
        {Item::get_random_suffix, [](const std::string& s) { return isIn(Item::suffix, s); }},
        {Item::get_random_epic_weapon_name, [](const std::string& s) { return isIn(Item::epic_weapon_names, s); }},
        {Item::get_random_epic_armor_name, [](const std::string& s) { return isIn(Item::epic_armor_names, s); }},
    };
    for (const auto& accessor : accessors) {
        std::srand(5);
        EXPECT_TRUE(accessor.belongs(accessor.draw()));
        const int next = std::rand();
        EXPECT_EQ(next, randAfter(5, 4));
    }
    // The whole table is reachable, the last entry included.
    std::set<std::string> seen;
    std::srand(6);
    for (int i = 0; i < 2000; ++i)
        seen.insert(Item::get_random_suffix());
    EXPECT_EQ(seen.size(), 51u);
}

TEST(ItemRebuild, TheSameCodeAlwaysRebuildsTheSameItem)
{
    forEachSampleItem([](const Item& item) {
        const Item again(item.itemCode);
        EXPECT_EQ(again.name, item.name);
        EXPECT_EQ(again.namePrefixPart, item.namePrefixPart);
        EXPECT_EQ(again.nameSuffixPart, item.nameSuffixPart);
        EXPECT_EQ(again.icon, item.icon);
        for (int stat = STAT_STRENGTH; stat <= STAT_POWER_REGEN; ++stat)
            EXPECT_EQ(again.getStat(static_cast<item_stat>(stat)), item.getStat(static_cast<item_stat>(stat)));
    });
}

TEST(ItemRebuild, DecodesLevelSlotAndQualityFromTheCode)
{
    const Item item(codeOf(65534, EPIC, FEET, 255));
    EXPECT_EQ(item.itemCode, codeOf(65534, EPIC, FEET, 255));
    EXPECT_EQ(item.level, 255);
    EXPECT_EQ(item.slot, FEET);
    EXPECT_EQ(item.quality, EPIC);

    // A seed field of 0xFFFF is never generated but still rebuilds.
    const Item topSeed(codeOf(0xFFFF, NORMAL, HEAD, 0));
    EXPECT_EQ(topSeed.level, 0);
    EXPECT_EQ(topSeed.slot, HEAD);
    EXPECT_EQ(topSeed.quality, NORMAL);
    EXPECT_EQ(Item(topSeed.itemCode).name, topSeed.name);
}

TEST(ItemRebuild, DrawsStatsBaseItemIconAndNameInOrderFromTheSeed)
{
    const Item item(codeOf(1234, RARE, ARMOR, 40));

    std::srand(1234);
    const int m = static_cast<int>(MathUtil::random() % 3);
    const int high = (RARE + m + 1) * 40;
    EXPECT_EQ(item.strength, MathUtil::get_random_int(20, high));
    EXPECT_EQ(item.armor, MathUtil::get_random_int(20, high));
    EXPECT_EQ(item.health, MathUtil::get_random_int(20, high));
    EXPECT_EQ(item.power, MathUtil::get_random_int(20, high));
    EXPECT_EQ(item.healthRegen, MathUtil::get_random_int(20, high));
    EXPECT_EQ(item.powerRegen, MathUtil::get_random_int(20, high));
    const item_data_t& row = Item::armor_data[MathUtil::get_random_int(0, Item::ARMOR_ROWS - 1)];
    EXPECT_EQ(item.icon, row.icons[MathUtil::get_random_int(0, Item::countIcons(row) - 1)]);
    const std::string prefix = Item::uncommon_prefix[MathUtil::get_random_int(0, 99)];
    EXPECT_EQ(item.namePrefixPart, prefix + " " + row.name);
    EXPECT_EQ(item.nameSuffixPart, std::string(" of ") + Item::suffix[MathUtil::get_random_int(0, 50)]);
    EXPECT_EQ(item.name, item.namePrefixPart + item.nameSuffixPart);
}

TEST(ItemRebuild, OutOfRangeSlotAndQualityAreDrawnFromTheSeedSlotFirst)
{
    // Find a seed whose slot draw gives a weapon and quality draw an epic.
    uint32_t seed = 0;
    for (;; ++seed) {
        std::srand(seed);
        const int slot = MathUtil::get_random_int(0, 6);
        if (slot == WEAPON && MathUtil::get_random_int(0, 3) == EPIC)
            break;
    }
    const Item item(codeOf(seed, 7, 9, 10));
    EXPECT_EQ(item.slot, WEAPON);
    EXPECT_EQ(item.quality, EPIC);
    EXPECT_EQ(item.slot_as_string(), "WEAPON");
    EXPECT_EQ(item.quality_as_string(), "EPIC");

    std::srand(seed);
    for (int skipped = 0; skipped < 2 + 1 + 6; ++skipped)
        MathUtil::random();
    const item_data_t& row = Item::weapon_data[MathUtil::get_random_int(0, Item::WEAPON_ROWS - 1)];
    EXPECT_EQ(item.icon, row.icons[MathUtil::get_random_int(0, Item::countIcons(row) - 1)]);
    EXPECT_EQ(item.name, Item::epic_weapon_names[MathUtil::get_random_int(0, 34)]);
}

TEST(ItemRebuild, ReseedsTheGeneratorFromTheTickCountAfterwards)
{
    const Uint32 before = SDL_GetTicks();
    const Item item(codeOf(60000, MAGIC, NECK, 12));
    const int next = std::rand();
    const Uint32 after = SDL_GetTicks();

    bool fromTicks = false;
    for (Uint32 ticks = before; ticks <= after; ++ticks)
        fromTicks = fromTicks || randAfter(ticks, 0) == next;
    EXPECT_TRUE(fromTicks) << item.name;
}

TEST(ItemNames, EachQualityFollowsItsNamingRule)
{
    forEachSampleItem([](const Item& item) {
        const bool twoParts = item.quality == RARE || (item.quality == EPIC && item.slot != WEAPON);
        EXPECT_EQ(item.namePrefixPart.empty(), !twoParts) << item.name;
        EXPECT_EQ(item.nameSuffixPart.empty(), !twoParts) << item.name;
        if (twoParts) {
            EXPECT_EQ(item.name, item.namePrefixPart + item.nameSuffixPart);
            ASSERT_EQ(item.nameSuffixPart.rfind(" of ", 0), 0u) << item.name;
            EXPECT_TRUE(isIn(Item::suffix, item.nameSuffixPart.substr(4))) << item.name;
        }
        const std::string& prefixAndBase = twoParts ? item.namePrefixPart : item.name;
        const std::string prefix = beforeLastBlank(prefixAndBase);
        switch (item.quality) {
        case NORMAL: EXPECT_TRUE(isIn(Item::common_prefix, prefix)) << item.name; break;
        case MAGIC:
        case RARE: EXPECT_TRUE(isIn(Item::uncommon_prefix, prefix)) << item.name; break;
        default:
            if (item.slot == WEAPON) {
                EXPECT_TRUE(isIn(Item::epic_weapon_names, item.name)) << item.name;
            } else {
                EXPECT_TRUE(isIn(Item::epic_armor_names, prefix)) << item.name;
            }
            break;
        }
    });
}

TEST(ItemNames, TheIconIsOneListedForTheBaseItemInTheName)
{
    forEachSampleItem([](const Item& item) {
        if (item.quality == EPIC && item.slot == WEAPON) {
            // The epic name hides the base item; the icon is still a weapon's.
            bool anyWeapon = false;
            for (const item_data_t& row : Item::weapon_data)
                anyWeapon = anyWeapon || rowHasIcon(row, item.icon);
            EXPECT_TRUE(anyWeapon) << item.icon;
            return;
        }
        const std::string& prefixAndBase = item.namePrefixPart.empty() ? item.name : item.namePrefixPart;
        EXPECT_TRUE(isBaseWithIcon(item.slot, afterLastBlank(prefixAndBase), item.icon))
            << item.name << " icon " << item.icon;
        if (item.slot == FEET) {
            EXPECT_EQ(item.icon, 129);
        }
    });
}

TEST(ItemStats, StatsLieBetweenHalfTheLevelAndUpToQualityPlusThreeTimesIt)
{
    forEachSampleItem([](const Item& item) {
        for (int stat = STAT_STRENGTH; stat <= STAT_POWER_REGEN; ++stat) {
            const int value = item.getStat(static_cast<item_stat>(stat));
            EXPECT_GE(value, item.level / 2) << item.name;
            EXPECT_LE(value, (item.quality + 3) * item.level) << item.name;
        }
    });
}

TEST(ItemStats, LevelZeroGivesNothingAndTheMultiplierTakesAllThreeValues)
{
    for (uint32_t seed = 0; seed < 50; ++seed) {
        const Item nothing(codeOf(seed * 1000, EPIC, HEAD, 0));
        for (int stat = STAT_STRENGTH; stat <= STAT_POWER_REGEN; ++stat)
            EXPECT_EQ(nothing.getStat(static_cast<item_stat>(stat)), 0);
    }

    // Level-100 epics top out at 400, 500 or 600 depending on m.
    std::set<int> ceilings;
    for (uint32_t seed = 0; seed < 300; ++seed) {
        const Item item(codeOf(seed * 200, EPIC, WEAPON, 100));
        int best = 0;
        for (int stat = STAT_STRENGTH; stat <= STAT_POWER_REGEN; ++stat)
            best = std::max(best, item.getStat(static_cast<item_stat>(stat)));
        ceilings.insert(best <= 400 ? 400 : best <= 500 ? 500 : 600);
    }
    EXPECT_EQ(ceilings, (std::set<int>{400, 500, 600}));
}

TEST(ItemStats, GetStatReadsEachFieldAndZeroForAnythingElse)
{
    Item item(codeOf(77, MAGIC, OFFHAND, 50));
    item.strength = 1;
    item.armor = 2;
    item.health = 3;
    item.power = 4;
    item.healthRegen = 5;
    item.powerRegen = 6;
    EXPECT_EQ(item.getStat(STAT_STRENGTH), 1);
    EXPECT_EQ(item.getStat(STAT_ARMOR), 2);
    EXPECT_EQ(item.getStat(STAT_HEALTH), 3);
    EXPECT_EQ(item.getStat(STAT_POWER), 4);
    EXPECT_EQ(item.getStat(STAT_HEALTH_REGEN), 5);
    EXPECT_EQ(item.getStat(STAT_POWER_REGEN), 6);
    EXPECT_EQ(item.getStat(static_cast<item_stat>(6)), 0);
    EXPECT_EQ(item.getStat(static_cast<item_stat>(-1)), 0);
}

TEST(ItemStrings, SlotAndQualityNamesWithAFallbackForOtherValues)
{
    const char* slots[] = {"HEAD", "ARMOR", "WEAPON", "OFFHAND", "FINGER", "NECK", "FEET"};
    const char* qualities[] = {"NORMAL", "MAGIC", "RARE", "EPIC"};
    for (uint32_t slot = HEAD; slot <= FEET; ++slot)
        EXPECT_EQ(Item(codeOf(3, NORMAL, slot, 1)).slot_as_string(), slots[slot]);
    for (uint32_t quality = NORMAL; quality <= EPIC; ++quality)
        EXPECT_EQ(Item(codeOf(3, quality, HEAD, 1)).quality_as_string(), qualities[quality]);

    Item item(codeOf(3, NORMAL, HEAD, 1));
    for (int other : {-1, 7, 9}) {
        item.slot = static_cast<item_slot>(other);
        EXPECT_EQ(item.slot_as_string(), "Unknown slot");
    }
    for (int other : {-1, 4, 15}) {
        item.quality = static_cast<item_quality>(other);
        EXPECT_EQ(item.quality_as_string(), "Unknown quality");
    }
}

TEST(ItemStrings, ABaseItemForAnUnresolvedSlotIsRefusedAndLeavesTheOutputsAlone)
{
    Item item(codeOf(3, NORMAL, HEAD, 1));
    std::string baseName = "untouched";
    int icon = -5;

    item.slot = ANY_SLOT;
    {
        LogCapture log;
        item.get_slot_name_and_icon(&baseName, &icon);
        EXPECT_EQ(log.count("Should not happen!"), 1);
        EXPECT_TRUE(log.contains("[ERROR]"));
    }
    item.slot = static_cast<item_slot>(12);
    {
        LogCapture log;
        item.get_slot_name_and_icon(&baseName, &icon);
        EXPECT_TRUE(log.text().empty());
    }
    EXPECT_EQ(baseName, "untouched");
    EXPECT_EQ(icon, -5);

    item.slot = FINGER;
    item.get_slot_name_and_icon(&baseName, &icon);
    EXPECT_TRUE(isBaseWithIcon(FINGER, baseName, icon)) << baseName << " " << icon;
}
