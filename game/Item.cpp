#include "game/Item.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "core/Log.h"
#include "core/MathUtil.h"

namespace {

// Item seeds stay below this; the generator's value is taken modulo it.
constexpr uint32_t SEED_MODULUS = 65535;
constexpr int MAX_LEVEL_IN_CODE = 255;
// The multiplier m of a stat range is drawn from 0..STAT_SPREAD - 1.
constexpr uint32_t STAT_SPREAD = 3;

// Base-item table and row count of one slot.
struct SlotTable {
    const item_data_t* rows;
    int count;
};

bool getSlotTable(item_slot slot, SlotTable* table)
{
    switch (slot) {
    case HEAD: *table = {Item::head_data, Item::HEAD_ROWS}; return true;
    case ARMOR: *table = {Item::armor_data, Item::ARMOR_ROWS}; return true;
    case WEAPON: *table = {Item::weapon_data, Item::WEAPON_ROWS}; return true;
    case OFFHAND: *table = {Item::offhand_data, Item::OFFHAND_ROWS}; return true;
    case FINGER: *table = {Item::finger_data, Item::FINGER_ROWS}; return true;
    case NECK: *table = {Item::neck_data, Item::NECK_ROWS}; return true;
    case FEET: *table = {Item::feet_data, Item::FEET_ROWS}; return true;
    default: return false;
    }
}

template <int N>
std::string pickFrom(const char* const (&table)[N])
{
    return table[MathUtil::get_random_int(0, N - 1)];
}

} // namespace

const item_data_t Item::head_data[HEAD_ROWS] = {
    {"Helm", {209, 214}},
    {"Visor", {212}},
    {"Headguard", {209, 212, 213, 214}},
    {"Hat", {210, 211}},
    {"Cap", {210, 211}},
};

const item_data_t Item::armor_data[ARMOR_ROWS] = {
    {"Breastplate", {226, 228, 229, 231}},
    {"Harness", {226}},
    {"Armor", {226, 228, 229, 231}},
    {"Vest", {227}},
    {"Robe", {225, 232, 233, 234}},
    {"Chainmail", {230}},
    {"Bulwark", {226, 228, 229, 231, 230}},
    {"Chestguard", {226, 228, 229, 231}},
};

const item_data_t Item::weapon_data[WEAPON_ROWS] = {
    {"Sword", {161, 163, 179, 181, 191}},
    {"Sabre", {177, 178}},
    {"Rapier", {177, 178, 180}},
    {"Scimitar", {177, 178}},
    {"Cleaver", {162, 198}},
    {"Cutlass", {192, 180}},
    {"Falchion", {192, 180}},
    {"Bastardsword", {161, 163, 179}},
    {"Claymore", {161, 163, 191}},
    {"Axe", {197, 198}},
    {"Chopper", {197, 198}},
    {"Poleaxe", {196}},
    {"Doubleaxe", {194, 196}},
    {"Labrys", {193, 194, 196}},
    {"Halberd", {193, 197}},
    {"Broadaxe", {197, 198}},
    {"Dagger", {184, 185}},
    {"Piercer", {184, 185, 186, 187}},
    {"Poker", {184, 185, 186, 187}},
    {"Cutter", {184, 185, 186, 187}},
    {"Dirk", {184, 185, 186, 187}},
    {"Shank", {184, 185, 186, 187}},
    {"Edge", {184, 185, 186, 187}},
    {"Ripper", {184, 185, 186, 187, 189, 190}},
    {"Carver", {184, 185, 186, 187, 189, 190}},
    {"Stiletto", {188}},
    {"Kris", {182}},
    {"Blade", {183}},
    {"Spear", {164, 168, 170, 171}},
    {"Spike", {167}},
    {"Partisan", {168}},
    {"Lancet", {168}},
    {"Javelin", {164, 168, 170, 171}},
    {"Trident", {165}},
    {"Pike", {164, 168, 170, 171}},
    {"Harpoon", {166}},
    {"Mace", {195, 200, 201}},
    {"Club", {202, 204}},
    {"Baton", {205}},
    {"Mallet", {195, 200, 201}},
    {"Cudgel", {204}},
    {"Morningstar", {203}},
    {"Blackjack", {205}},
    {"Hammer", {200}},
    {"Trucheon", {195, 201}},
};

const item_data_t Item::offhand_data[OFFHAND_ROWS] = {
    {"Buckler", {145, 146, 147}}, {"Wand", {145, 146, 147}},     {"Shield", {145, 146, 147}},
    {"Wall", {145, 146, 147}},    {"Orb", {145, 146, 147}},      {"Grimoire", {145, 146, 147}},
    {"Mojo", {145, 146, 147}},    {"Aegis", {145, 146, 147}},    {"Ward", {145, 146, 147}},
};

const item_data_t Item::finger_data[FINGER_ROWS] = {
    {"Ring", {244, 245}},
    {"Eye", {244, 245}},
    {"Band", {244, 245}},
    {"Stone", {244, 245}},
};

const item_data_t Item::neck_data[NECK_ROWS] = {
    {"Amulet", {241, 242, 243}},  {"Necklace", {241, 242, 243}}, {"Trinket", {241, 242, 243}},
    {"Charm", {241, 242, 243}},   {"Pendant", {241, 242, 243}},  {"Ornament", {241, 242, 243}},
};

const item_data_t Item::feet_data[FEET_ROWS] = {
    {"Shoes", {129}}, {"Boots", {129}}, {"Slippers", {129}}, {"Footwear", {129}}, {"Galoshes", {129}},
};

const char* const Item::common_prefix[COMMON_PREFIXES] = {
    "Simple", "Basic", "Unworthy", "Withered", "Wooden", "Training", "Broken", "Tiny", "Dusty", "Small", "Common",
};

// "Heavy", "Sharp" and "Unique" stand twice on purpose: they come up more often.
const char* const Item::uncommon_prefix[UNCOMMON_PREFIXES] = {
    "Crystalline", "Malevolent",   "Great",         "Impressive",    "Sharp",       "Red",
    "Blue",        "Black",        "White",         "Green",         "Sparkling",   "Exquisite",
    "Priceless",   "Perfect",      "Flawless",      "Superb",        "Large",       "Heavy",
    "Light",       "Orc",          "Troll",         "Gem Inlaid",    "Honorable",   "Dangerous",
    "Balanced",    "Well Balanced", "Primal",       "Ceremonial",    "Beatiful",    "Guardian",
    "Stalwart",    "Thundering",   "Leeching",      "Grey",          "Fine",        "Steel",
    "Bronze",      "Gold",         "Silver",        "Gold Plated",   "Diabolic",    "Field",
    "Seer's",      "Runic",        "Quality",       "High Quality",  "Improved",    "Stone",
    "Cold",        "Warm",         "Solid",         "Lava Imbued",   "Gnomish",     "Rigid",
    "Rigid Steel", "Venomous",     "Fatal",         "Glowing",       "Unique",      "Tactician's",
    "Morbid",      "Azure",        "Cobalt",        "Wicked",        "Vile",        "Bone",
    "Ghostly",     "Unique",       "Goblin's",      "Pale",          "Aged",        "Shimmering",
    "Arcane",      "Reinforced",   "Gleaming",      "Dreaded",       "Flaming",     "Rusty",
    "Deceitful",   "Legendary",    "Forgotten",     "Blackened",     "Mighty",      "Demonic",
    "Bonebreaking", "Skullcrushing", "Cadaverous",  "Ghastly",       "Victorious",  "Residual",
    "Strong",      "Foreign",      "Bloodthirsty",  "Blood Dripping", "Heavy",      "Sharp",
    "Deadly",      "Deathbringing", "Maiming",      "Crippling",
};

const char* const Item::suffix[SUFFIXES] = {
    "Grace",          "Immortality",  "Stability",        "Fire",          "Water",
    "Flowing Waters", "Doom",         "Death",            "Precision",     "Striking",
    "Lava",           "Dragons",      "Greatness",        "Justice",       "the Flaming Stars",
    "Flames",         "Tyranny",      "Expertise",        "War",           "Wailing Death",
    "Silence",        "Heroes",       "Speed",            "Madness",       "Tears",
    "Hatred",         "Knowledge",    "Sorrow",           "Souls",         "Mischief",
    "Angels",         "Power",        "Anger",            "Pride",         "Venom",
    "the Massacre",   "Throatcutting", "Beheading",       "Executing",     "Grizzly Death",
    "Mourning",       "Dying",        "Thoughts",         "Forbidding Rites", "the Lair",
    "the Moons",      "the Suns",     "the Stars",        "Eye-Poking",    "Time",
    "Frenzy",
};

const char* const Item::epic_weapon_names[EPIC_WEAPON_NAMES] = {
    "Dordoridon",    "Midwinter",      "Surestrike",    "Corpsegrinder",   "Deathblow",
    "Justice",       "The Reaper",     "The Grinder",   "Shadowsong",      "Skullcrusher",
    "Gorondor",      "Lawkiller",      "Lawbreaker",    "Skullfang",       "Lawlance",
    "Frostbite",     "Hellish Fate",   "Stonespear",    "Goblinwrack",     "Stonegrinder",
    "Orcbiter",      "Spiritbreaker",  "Warslicer",     "Ghoulslicer",     "Windreaver",
    "Demonic Glory", "Astral Executor", "Celestial Wrath", "Heartaxe",     "Ghoulgrinder",
    "Nightruin",     "Black Fury",     "Fallen Fate",   "Chaosbreaker",    "Hearthammer",
};

// The former owners of the epic armor pieces.
const char* const Item::epic_armor_names[EPIC_ARMOR_NAMES] = {
    "Brannoc's", "Ermelind's", "Tovald's",  "Quessa's",  "Haldmar's", "Sibbe's",
    "Corvane's", "Edwyl's",    "Maelith's", "Thorvik's", "Ilsabet's", "Rudmer's",
    "Feyla's",   "Garrow's",   "Wendra's",  "Hallvard's", "Jorund's", "Selvane's",
    "Tamsin's",  "Brisa's",    "Odalric's", "Rhoswen's", "Sigvor's",  "Ardwen's",
    "Elsmere's", "Fenna's",    "Gisla's",   "Hamund's",  "Istra's",   "Jessamy's",
    "Lorcan's",  "Maddoc's",   "Nimra's",   "Ottilie's", "Quinlan's", "Radulf's",
    "Sunniva's", "Tiberon's",  "Vesna's",   "Wystan's",  "Kellan's",  "Mirela's",
};

uint32_t Item::generate(int minLevel, int maxLevel, item_slot slot, item_quality quality)
{
    // Each field must stay inside its own bits, or it would corrupt the
    // neighbouring ones (a negative level would even overwrite the seed). A
    // reversed range would make the draw divide by zero or run wild.
    minLevel = std::clamp(minLevel, 0, MAX_LEVEL_IN_CODE);
    maxLevel = std::clamp(maxLevel, 0, MAX_LEVEL_IN_CODE);
    if (minLevel > maxLevel)
        std::swap(minLevel, maxLevel);
    const int level = MathUtil::get_random_int(minLevel, maxLevel);
    int slotValue = slot;
    if (slotValue < HEAD || slotValue > FEET)
        slotValue = MathUtil::get_random_int(HEAD, FEET);
    int qualityValue = quality;
    if (qualityValue < NORMAL || qualityValue > EPIC)
        qualityValue = MathUtil::get_random_int(NORMAL, EPIC);
    const uint32_t seed = MathUtil::random() % SEED_MODULUS;
    return makeCode(seed, static_cast<item_quality>(qualityValue), static_cast<item_slot>(slotValue),
                    static_cast<uint32_t>(level));
}

uint32_t Item::makeCode(uint32_t seed, item_quality quality, item_slot slot, uint32_t level)
{
    return seed << 16 | static_cast<uint32_t>(quality) << 12 | static_cast<uint32_t>(slot) << 8 | level;
}

Item::Item(uint32_t itemCode)
    : itemCode(itemCode), level(0), strength(0), health(0), power(0), armor(0), healthRegen(0), powerRegen(0),
      slot(HEAD), quality(NORMAL), icon(0)
{
    populate_stats();
}

Item::~Item() = default;

void Item::populate_stats()
{
    level = static_cast<int>(itemCode & 0xFF);
    int slotValue = static_cast<int>((itemCode >> 8) & 0xF);
    int qualityValue = static_cast<int>((itemCode >> 12) & 0xF);
    std::srand(itemCode >> 16);

    // Out-of-range fields are drawn after the reseeding, so they too are
    // fixed by the code.
    if (slotValue > FEET)
        slotValue = MathUtil::get_random_int(HEAD, FEET);
    if (qualityValue > EPIC)
        qualityValue = MathUtil::get_random_int(NORMAL, EPIC);
    slot = static_cast<item_slot>(slotValue);
    quality = static_cast<item_quality>(qualityValue);

    drawStats();
    std::string baseName;
    get_slot_name_and_icon(&baseName, &icon);
    drawName(baseName);

    std::srand(SDL_GetTicks());
}

void Item::drawStats()
{
    const int m = static_cast<int>(MathUtil::random() % STAT_SPREAD);
    const int high = (quality + m + 1) * level;
    const int low = level / 2;
    strength = MathUtil::get_random_int(low, high);
    armor = MathUtil::get_random_int(low, high);
    health = MathUtil::get_random_int(low, high);
    power = MathUtil::get_random_int(low, high);
    healthRegen = MathUtil::get_random_int(low, high);
    powerRegen = MathUtil::get_random_int(low, high);
}

void Item::drawName(const std::string& baseName)
{
    name.clear();
    switch (quality) {
    case NORMAL:
        name = get_random_common_prefix() + " " + baseName;
        break;
    case MAGIC:
        name = get_random_uncommon_prefix() + " " + baseName;
        break;
    case RARE:
        namePrefixPart = get_random_uncommon_prefix() + " " + baseName;
        nameSuffixPart = " of " + get_random_suffix();
        name = namePrefixPart + nameSuffixPart;
        break;
    case EPIC:
        if (slot == WEAPON) {
            name = get_random_epic_weapon_name();
            break;
        }
        namePrefixPart = get_random_epic_armor_name() + " " + baseName;
        nameSuffixPart = " of " + get_random_suffix();
        name = namePrefixPart + nameSuffixPart;
        break;
    default:
        break;
    }
}

int Item::getStat(item_stat stat) const
{
    switch (stat) {
    case STAT_STRENGTH: return strength;
    case STAT_ARMOR: return armor;
    case STAT_HEALTH: return health;
    case STAT_POWER: return power;
    case STAT_HEALTH_REGEN: return healthRegen;
    case STAT_POWER_REGEN: return powerRegen;
    default: return 0;
    }
}

std::string Item::slot_as_string() const
{
    switch (slot) {
    case HEAD: return "HEAD";
    case ARMOR: return "ARMOR";
    case WEAPON: return "WEAPON";
    case OFFHAND: return "OFFHAND";
    case FINGER: return "FINGER";
    case NECK: return "NECK";
    case FEET: return "FEET";
    default: return "Unknown slot";
    }
}

std::string Item::quality_as_string() const
{
    switch (quality) {
    case NORMAL: return "NORMAL";
    case MAGIC: return "MAGIC";
    case RARE: return "RARE";
    case EPIC: return "EPIC";
    default: return "Unknown quality";
    }
}

void Item::debug() const
{
}

std::string Item::get_random_common_prefix()
{
    return pickFrom(common_prefix);
}

std::string Item::get_random_uncommon_prefix()
{
    return pickFrom(uncommon_prefix);
}

std::string Item::get_random_suffix()
{
    return pickFrom(suffix);
}

std::string Item::get_random_epic_weapon_name()
{
    return pickFrom(epic_weapon_names);
}

std::string Item::get_random_epic_armor_name()
{
    return pickFrom(epic_armor_names);
}

int Item::countIcons(const item_data_t& row)
{
    int count = 0;
    while (count < item_data_t::MAX_ICONS && row.icons[count] >= 1)
        ++count;
    return count;
}

void Item::get_slot_name_and_icon(std::string* baseName, int* iconNumber) const
{
    SlotTable table;
    if (!getSlotTable(slot, &table)) {
        if (slot == ANY_SLOT)
            log_error("Should not happen!");
        return;
    }
    const item_data_t& row = table.rows[MathUtil::get_random_int(0, table.count - 1)];
    const int icons = countIcons(row);
    *iconNumber = row.icons[MathUtil::get_random_int(0, icons - 1)];
    *baseName = row.name;
}
