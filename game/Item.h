#pragma once

#include <cstdint>
#include <string>

// The three item enums have int underneath so that any int a caller passes
// is a defined value the string and stat functions can refuse.

// Equipment slot of an item, and the inventory's equipment slot it fits.
enum item_slot : int {
    HEAD = 0,
    ARMOR = 1,
    WEAPON = 2,
    OFFHAND = 3,
    FINGER = 4,
    NECK = 5,
    FEET = 6,
    // Only for Item::generate: draw one of the seven slots.
    ANY_SLOT = 7
};

// Picks the naming rule, the stat range, the loot box and the icon frame.
enum item_quality : int {
    NORMAL = 0,
    MAGIC = 1,
    RARE = 2,
    EPIC = 3,
    // Only for Item::generate: draw one of the four qualities.
    ANY_QUALITY = 4
};

// Also the order in which a rebuild draws the six stats.
enum item_stat : int {
    STAT_STRENGTH = 0,
    STAT_ARMOR = 1,
    STAT_HEALTH = 2,
    STAT_POWER = 3,
    STAT_HEALTH_REGEN = 4,
    STAT_POWER_REGEN = 5
};

// One base item: its name and the atlas cells it may be drawn with. The icon
// list ends at the first value below 1.
struct item_data_t {
    static constexpr int MAX_ICONS = 10;
    const char* name;
    int icons[MAX_ICONS];
};

// An item rebuilt from its 32-bit item code.
//
// Items are never stored: the bag, the equipment slots and the loot on the
// ground keep only the code (bits 0-7 level, 8-11 slot, 12-15 quality,
// 16-31 seed). Whoever needs a name, the stats or the icon builds an Item on
// the stack and throws it away; the loot boxes, the inventory window and the
// player's equipped sums do so several times per frame. The rebuild reseeds
// the process-wide rand() with the code's seed, so one code always gives the
// same item, and then reseeds it from the tick count so that the rest of the
// game does not continue the item's sequence. Nothing may draw random
// numbers concurrently with a rebuild.
class Item {
public:
    static constexpr int HEAD_ROWS = 5;
    static constexpr int ARMOR_ROWS = 8;
    static constexpr int WEAPON_ROWS = 45;
    static constexpr int OFFHAND_ROWS = 9;
    static constexpr int FINGER_ROWS = 4;
    static constexpr int NECK_ROWS = 6;
    static constexpr int FEET_ROWS = 5;

    static constexpr int COMMON_PREFIXES = 11;
    static constexpr int UNCOMMON_PREFIXES = 100;
    static constexpr int SUFFIXES = 51;
    static constexpr int EPIC_WEAPON_NAMES = 35;
    static constexpr int EPIC_ARMOR_NAMES = 42;

    // Base items per slot.
    static const item_data_t head_data[HEAD_ROWS];
    static const item_data_t armor_data[ARMOR_ROWS];
    static const item_data_t weapon_data[WEAPON_ROWS];
    static const item_data_t offhand_data[OFFHAND_ROWS];
    static const item_data_t finger_data[FINGER_ROWS];
    static const item_data_t neck_data[NECK_ROWS];
    static const item_data_t feet_data[FEET_ROWS];

    // Name parts.
    static const char* const common_prefix[COMMON_PREFIXES];
    static const char* const uncommon_prefix[UNCOMMON_PREFIXES];
    static const char* const suffix[SUFFIXES];
    static const char* const epic_weapon_names[EPIC_WEAPON_NAMES];
    static const char* const epic_armor_names[EPIC_ARMOR_NAMES];

    uint32_t itemCode;
    std::string name;
    // Rare and non-weapon epic items only: "<prefix> <base>" and " of <suffix>",
    // so the inventory window can show them on two lines.
    std::string namePrefixPart;
    std::string nameSuffixPart;
    int level;
    int strength;
    int health;
    int power;
    int armor;
    int healthRegen;
    int powerRegen;
    item_slot slot;
    item_quality quality;
    // Cell of the item icon atlas.
    int icon;

    // A new item code drawn from the generator in its current state. The
    // level lies in minLevel..maxLevel, both held within 0..255; ANY_SLOT and
    // ANY_QUALITY (or any value beyond the real ones) are drawn.
    static uint32_t generate(int minLevel, int maxLevel, item_slot slot, item_quality quality);
    // The code of the item with these parts: bits 0-7 the level, 8-11 the
    // slot, 12-15 the quality, 16-31 the seed.
    static uint32_t makeCode(uint32_t seed, item_quality quality, item_slot slot, uint32_t level);

    // Rebuilds everything from the code; see the class comment for the
    // effect on rand().
    explicit Item(uint32_t itemCode);
    ~Item();

    // The stat's field; 0 for a value that names no stat.
    int getStat(item_stat stat) const;
    std::string slot_as_string() const;
    std::string quality_as_string() const;
    void debug() const;

    static std::string get_random_common_prefix();
    static std::string get_random_uncommon_prefix();
    static std::string get_random_suffix();
    static std::string get_random_epic_weapon_name();
    static std::string get_random_epic_armor_name();

    // Number of leading icons of the row that are at least 1 (at most 10).
    static int countIcons(const item_data_t& row);
    // Draws a base item of this item's slot and one of its icons.
    void get_slot_name_and_icon(std::string* baseName, int* iconNumber) const;

private:
    void populate_stats();
    void drawStats();
    void drawName(const std::string& baseName);
};
