#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "LevelSource.h"
#include "core/AssetList.h"

namespace {

const char* const ENEMIES = "zgml";
const char* const BOSSES = "RHF";
const char* const TOWNSFOLK = "cM";
// Enemies spot the hero within about this distance, so none may stand where
// it arrives (start, both stairs).
constexpr float ARRIVAL_SAFE_DISTANCE = 30.0f;
// The level banner is drawn at 45 pixels a character across the smallest
// window, 1024 pixels.
constexpr size_t LONGEST_NAME = 1024 / 45;

// 0 for the town, else the dungeon (1 to 3) and floor (1 to 3) from "levelD_F".
int dungeonOf(const std::string& name) { return name == "level0" ? 0 : name[5] - '0'; }
int floorOf(const std::string& name) { return name == "level0" ? 0 : name[7] - '0'; }

std::string xmlOf(int dungeon, int floor)
{
    return dungeon == 0 ? "levels/level0.xml"
                        : "levels/level" + std::to_string(dungeon) + "_" + std::to_string(floor) + ".xml";
}

// The levels a level's stairs must lead to: down one floor, up one floor, the
// first floors up to the town, nothing below a third floor or above the town.
std::string expectedNext(const std::string& name)
{
    const int dungeon = dungeonOf(name);
    const int floor = floorOf(name);
    if (dungeon == 0)
        return xmlOf(1, 1);
    return floor < 3 ? xmlOf(dungeon, floor + 1) : "";
}

std::string expectedPrevious(const std::string& name)
{
    const int dungeon = dungeonOf(name);
    const int floor = floorOf(name);
    if (dungeon == 0)
        return "";
    return floor == 1 ? xmlOf(0, 0) : xmlOf(dungeon, floor - 1);
}

// Each level is read once for all the tests. A pointer, not a reference:
// GCC 14 warns that a reference returned for a temporary name may dangle.
const LevelSource* level(const std::string& name)
{
    static std::map<std::string, LevelSource> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, readLevelSource(name)).first;
    return &it->second;
}

std::string describe(char symbol, glm::vec2 at)
{
    std::ostringstream text;
    text << "'" << symbol << "' at (" << at.x << ", " << at.y << ")";
    return text.str();
}

std::vector<std::pair<char, glm::vec2>> markers(const LevelSource& source, const std::string& symbols)
{
    std::vector<std::pair<char, glm::vec2>> found;
    for (char symbol : symbols) {
        for (glm::vec2 at : source.find(symbol))
            found.emplace_back(symbol, at);
    }
    return found;
}

class EveryLevel : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override { ASSERT_EQ(source().error, ""); }
    const LevelSource& source() const { return *level(GetParam()); }
};

TEST_P(EveryLevel, NamesOnlyPackagedFilesAndItsOwnBitmap)
{
    const LevelSource& s = source();
    const std::vector<std::string> assets = getAssetList();
    const std::set<std::string> packaged(assets.begin(), assets.end());
    const std::vector<std::pair<std::string, std::string>> required = {
        {"level", "name"},        {"level", "bitmap"},       {"textures", "ground"},
        {"textures", "wall"},     {"sounds", "background"},  {"sounds", "footstep"}};
    for (const auto& [element, attribute] : required) {
        const auto& attributes = element == "level" ? s.level : element == "textures" ? s.textures : s.sounds;
        EXPECT_NE(attributes.count(attribute), 0u) << "<" << element << "> lacks " << attribute;
    }
    EXPECT_EQ(s.level.at("bitmap"), "levels/" + s.name + ".bmp");
    for (const auto* attributes : {&s.level, &s.textures, &s.sounds}) {
        for (const auto& [key, value] : *attributes) {
            if (key != "name") {
                EXPECT_EQ(packaged.count(value), 1u) << key << "=\"" << value << "\" is not in the package";
            }
        }
    }
}

TEST_P(EveryLevel, DisplayNameUsesOnlyFontGlyphsAndFitsTheBanner)
{
    const std::string name = source().level.at("name");
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), LONGEST_NAME) << name;
    const std::string glyphs = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz .:/?-+!%";
    EXPECT_EQ(name.find_first_not_of(glyphs), std::string::npos) << name;
}

TEST_P(EveryLevel, LinksUpAndDownWithOneStartAndTheStairsItsLinksNeed)
{
    const LevelSource& s = source();
    const auto value = [](const std::map<std::string, std::string>& m, const char* key) {
        const auto it = m.find(key);
        return it == m.end() ? std::string() : it->second;
    };
    EXPECT_EQ(value(s.level, "next"), expectedNext(s.name));
    EXPECT_EQ(value(s.level, "previous"), expectedPrevious(s.name));
    EXPECT_EQ(s.count("S"), 1);
    EXPECT_EQ(s.count(">"), expectedNext(s.name).empty() ? 0 : 1);
    // Every level has its up-stairs: to the floor above, or the town's way to
    // the world map.
    EXPECT_EQ(s.count("<"), 1);
}

TEST_P(EveryLevel, IsEnclosedByWallsAtTheMapEdge)
{
    const LevelSource& s = source();
    for (int c = 0; c < s.map.width; ++c) {
        EXPECT_TRUE(s.isWall(c, 0) && s.isWall(c, s.map.height - 1)) << "column " << c;
    }
    for (int r = 0; r < s.map.height; ++r) {
        EXPECT_TRUE(s.isWall(0, r) && s.isWall(s.map.width - 1, r)) << "row " << r;
    }
}

TEST_P(EveryLevel, HeroCanWalkFromTheStartToStairsAndEveryone)
{
    const LevelSource& s = source();
    Walkable walkable(s);
    const glm::vec2 start = s.find('S').at(0);
    ASSERT_TRUE(walkable.canStand(start));
    walkable.fillFrom(start);
    for (const auto& [symbol, at] : markers(s, std::string("<>") + ENEMIES + BOSSES + TOWNSFOLK))
        EXPECT_TRUE(walkable.reached(at)) << describe(symbol, at) << " cannot be reached";
}

// Seen either way: in plain view (what the player calls "the same room") or
// by the game's coarser sight rule, which decides when enemies give chase.
bool watches(const LevelSource& s, const SightCache& sight, glm::vec2 enemy, glm::vec2 target)
{
    return sight.sees(enemy, target) ||
           (glm::distance(enemy, target) <= ARRIVAL_SAFE_DISTANCE && clearSight(s, enemy, target));
}

const SightCache& sightOf(const LevelSource& s)
{
    static std::map<std::string, SightCache> cache;
    auto it = cache.find(s.name);
    if (it == cache.end())
        it = cache.emplace(s.name, SightCache(s)).first;
    return it->second;
}

TEST_P(EveryLevel, NoEnemyWatchesTheStartOrTheStairs)
{
    const LevelSource& s = source();
    for (const auto& [arrival, at] : markers(s, "S<>")) {
        for (const auto& [enemy, enemyAt] : markers(s, ENEMIES))
            EXPECT_FALSE(watches(s, sightOf(s), enemyAt, at)) << describe(enemy, enemyAt) << " sees " << describe(arrival, at);
    }
}

TEST_P(EveryLevel, BitmapIsTwentyFourBitAndShowsTheMap)
{
    const std::string path = std::string(MORVELUND_DATA_DIR) + "/levels/" + GetParam() + ".bmp";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_TRUE(bitmapShowsMap(bytes.str(), source().map));
}

// The level builds its sight cache by walking segments between quad-tree
// leaves against every wall box, so both numbers drive its load time.
TEST_P(EveryLevel, KeepsWallBoxesAndSightLeavesWithinTheLoadBudget)
{
    EXPECT_LE(sightOf(source()).boxCount(), 320);
    EXPECT_LE(sightOf(source()).leafCount(), 900);
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel, testing::ValuesIn(levelNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(Dungeons, EnemyCountsStayBetween20And40AndGrowFromDungeonToDungeon)
{
    int previousMost = 0;
    for (int dungeon = 1; dungeon <= 3; ++dungeon) {
        int fewest = 1000;
        int most = 0;
        for (int floor = 1; floor <= 3; ++floor) {
            const std::string name = "level" + std::to_string(dungeon) + "_" + std::to_string(floor);
            const LevelSource& s = *level(name);
            const int enemies = s.count(ENEMIES);
            EXPECT_GE(enemies, 20) << name;
            EXPECT_LE(enemies, 40) << name;
            for (const char* kind = ENEMIES; *kind != '\0'; ++kind)
                EXPECT_GT(s.count(std::string(1, *kind)), 0) << name << " has no '" << *kind << "'";
            EXPECT_EQ(s.count(TOWNSFOLK), 0) << name;
            fewest = std::min(fewest, enemies);
            most = std::max(most, enemies);
        }
        EXPECT_GT(fewest, previousMost) << "dungeon " << dungeon << " is no fuller than the one before";
        previousMost = most;
    }
}

TEST(Dungeons, TownHasTownsfolkOfBothKindsAndNoEnemies)
{
    const LevelSource& town = *level("level0");
    EXPECT_EQ(town.count(std::string(ENEMIES) + BOSSES), 0);
    EXPECT_GE(town.count(TOWNSFOLK), 6);
    EXPECT_LE(town.count(TOWNSFOLK), 12);
    EXPECT_GT(town.count("c"), 0);
    EXPECT_GT(town.count("M"), 0);
}

TEST(Dungeons, EachBossWaitsAloneOnItsDungeonsLastFloor)
{
    for (const std::string& name : levelNames()) {
        const LevelSource& s = *level(name);
        for (int kind = 0; kind < 3; ++kind) {
            const bool home = dungeonOf(name) == kind + 1 && floorOf(name) == 3;
            EXPECT_EQ(s.count(std::string(1, BOSSES[kind])), home ? 1 : 0) << name << " '" << BOSSES[kind] << "'";
        }
        for (const auto& [boss, bossAt] : markers(s, BOSSES)) {
            for (const auto& [enemy, enemyAt] : markers(s, ENEMIES)) {
                EXPECT_FALSE(watches(s, sightOf(s), enemyAt, bossAt))
                    << name << ": " << describe(enemy, enemyAt) << " shares the boss room";
            }
        }
    }
}

TEST(Dungeons, SummoningBossesCallTheirMinionToOpenFloorInTheBossRoom)
{
    const glm::vec2 summonPoint(45.0f, 20.0f);
    for (const auto& [name, boss] : {std::make_pair("level1_3", 'R'), std::make_pair("level3_3", 'F')}) {
        const LevelSource& s = *level(name);
        ASSERT_EQ(s.count(std::string(1, boss)), 1) << name;
        const glm::vec2 bossAt = s.find(boss).at(0);
        EXPECT_EQ(s.map.at(45, 20), '.') << name;
        EXPECT_TRUE(clearSight(s, bossAt, summonPoint)) << name;
        EXPECT_LE(glm::distance(bossAt, summonPoint), 25.0f) << name;
        Walkable walkable(s);
        walkable.fillFrom(s.find('S').at(0));
        EXPECT_TRUE(walkable.reached(summonPoint)) << name;
    }
}

TEST(Dungeons, EachDungeonHasItsOwnSurfacesAndBossFloorsTheirOwnMusic)
{
    std::set<std::string> surfaces;
    for (int dungeon = 0; dungeon <= 3; ++dungeon) {
        const int floors = dungeon == 0 ? 1 : 3;
        const LevelSource& first = *level(dungeon == 0 ? "level0" : "level" + std::to_string(dungeon) + "_1");
        EXPECT_TRUE(surfaces.insert(first.textures.at("ground")).second) << first.name;
        EXPECT_TRUE(surfaces.insert(first.textures.at("wall")).second) << first.name;
        for (int floor = 1; floor <= floors; ++floor) {
            const LevelSource& s = *level(dungeon == 0 ? "level0" : "level" + std::to_string(dungeon) + "_" +
                                                                      std::to_string(floor));
            EXPECT_EQ(s.textures, first.textures) << s.name;
            const std::string background = s.sounds.at("background");
            const bool bossMusic = background.find("sounds/boss") == 0;
            EXPECT_EQ(bossMusic, floor == 3) << s.name << " plays " << background;
        }
    }
    EXPECT_EQ(level("level0")->sounds.at("background"), "sounds/town_background.wav");
    EXPECT_NE(level("level1_1")->sounds.at("background"), level("level2_1")->sounds.at("background"));
}

} // namespace
