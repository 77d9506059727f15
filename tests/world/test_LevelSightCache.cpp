#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "WorldTestKit.h"
#include "core/AssetList.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

// The level's fast sight cache build must give exactly the caches the plain
// walk over every ordered pair of leaves gives: same leaves, same answers.

namespace {

using Caches = std::vector<std::map<uint64_t, bool>>;

class CacheLevel : public Level {
public:
    using Level::Level;
    using Level::leaves;
    using Level::populate_los_data;
    using Level::populateLosDataFromEveryPair;

    Caches caches() const
    {
        Caches all;
        for (const node* leaf : leaves)
            all.push_back(*leaf->losCache);
        return all;
    }
};

// Where the fast build and the plain walk first disagree, for the message.
std::string firstDifference(const Caches& fast, const Caches& plain)
{
    if (fast.size() != plain.size())
        return "different leaf counts";
    for (size_t leaf = 0; leaf < fast.size(); ++leaf)
        if (fast[leaf] != plain[leaf])
            return "leaf " + std::to_string(leaf) + " sees " + std::to_string(fast[leaf].size()) + " leaves, not "
                + std::to_string(plain[leaf].size());
    return "none";
}

// Sets the level up (which builds the fast cache), then checks the plain
// walk gives the same caches. The level must have more than one leaf and see
// past its own leaf somewhere, or the comparison proves little.
void expectFastCacheEqualsEveryPairWalk(CacheLevel& level)
{
    LogCapture log;
    ASSERT_TRUE(level.setup()) << log.text();
    const Caches fast = level.caches();
    level.populateLosDataFromEveryPair();
    const Caches plain = level.caches();
    EXPECT_TRUE(fast == plain) << firstDifference(fast, plain);

    size_t seen = 0;
    for (const auto& cache : plain)
        seen += cache.size();
    EXPECT_GT(level.leaves.size(), 1u);
    EXPECT_GT(seen, level.leaves.size()) << "no leaf sees another";

    // Building again from a filled cache gives the same caches again.
    level.populate_los_data();
    EXPECT_TRUE(level.caches() == plain);
    EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
}

void expectSameCachesFor(const std::vector<std::string>& rows)
{
    ASSERT_TRUE(worldContext().ok()) << worldContext().error();
    TestPackage package(levelEntries(levelXml(), levelBitmap(rows)));
    ASSERT_TRUE(package.ok());
    CacheLevel level("levels/test.xml");
    expectFastCacheEqualsEveryPairWalk(level);
}

// Floor of the given size with every listed symbol placed.
std::vector<std::string> floorOf(int width, int height)
{
    return std::vector<std::string>(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '.'));
}

void place(std::vector<std::string>* rows, int column, int row, char symbol)
{
    (*rows)[rows->size() - 1 - static_cast<size_t>(row)][static_cast<size_t>(column)] = symbol;
}

// A border wall and random runs of both colours, some thick, some touching.
std::vector<std::string> randomLevel(unsigned seed, int width, int height)
{
    std::mt19937 random(seed);
    std::vector<std::string> rows = floorOf(width, height);
    for (int column = 0; column < width; ++column) {
        place(&rows, column, 0, '=');
        place(&rows, column, height - 1, '=');
    }
    for (int row = 1; row < height - 1; ++row) {
        place(&rows, 0, row, '|');
        place(&rows, width - 1, row, '|');
    }
    for (int run = 0; run < width * height / 40; ++run) {
        const bool horizontal = random() % 2 == 0;
        const int length = 1 + static_cast<int>(random() % 9);
        const int column = static_cast<int>(random() % static_cast<unsigned>(width));
        const int row = static_cast<int>(random() % static_cast<unsigned>(height));
        for (int i = 0; i < length; ++i) {
            const int c = horizontal ? column + i : column;
            const int r = horizontal ? row : row + i;
            if (c < width && r < height)
                place(&rows, c, r, horizontal ? '=' : '|');
        }
    }
    return rows;
}

} // namespace

TEST(LevelSightCache, EveryShippedLevelGetsTheCacheOfThePlainWalk)
{
    const std::string package = std::string(MORVELUND_DATA_DIR) + "/data.mv2";
    if (access(package.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << package << " (the full build makes it)";
    ASSERT_TRUE(worldContext().ok()) << worldContext().error();
    std::vector<std::string> shipped;
    for (const std::string& path : getAssetList())
        if (path.rfind("levels/", 0) == 0 && path.find(".xml") != std::string::npos)
            shipped.push_back(path);
    ASSERT_EQ(shipped.size(), 10u);

    ScopedChdir inData(MORVELUND_DATA_DIR);
    for (const std::string& path : shipped) {
        SCOPED_TRACE(path);
        CacheLevel level(path);
        expectFastCacheEqualsEveryPairWalk(level);
    }
}

TEST(LevelSightCache, RandomWallLayoutsGetTheCacheOfThePlainWalk)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        expectSameCachesFor(randomLevel(seed, 64, 48));
    }
}

TEST(LevelSightCache, ThickWallsLevelEdgesAndTheEdgeOfSightRangeMatchThePlainWalk)
{
    // Solid blocks deeper than a step (walks out of them end at once), walls
    // on the level's edge, and leaf centres exactly 25 units apart along
    // both axes and the diagonal, where rounding decides.
    std::vector<std::string> rows = floorOf(60, 60);
    for (int column = 20; column < 26; ++column)
        for (int row = 20; row < 26; ++row)
            place(&rows, column, row, column % 2 == 0 ? '=' : '|');
    for (int row = 0; row < 60; ++row)
        place(&rows, 59, row, '|');
    for (int column = 0; column < 60; column += 25)
        for (int row = 0; row < 60; row += 25)
            place(&rows, column, row, '=');
    place(&rows, 40, 5, '=');
    place(&rows, 5, 40, '|');
    expectSameCachesFor(rows);
}

TEST(LevelSightCache, NarrowLevelsAndLoneWallCellsMatchThePlainWalk)
{
    // Three cells wide: leaves one or two columns across, stacked far apart.
    std::vector<std::string> corridor = floorOf(3, 70);
    for (int row = 3; row < 70; row += 7)
        place(&corridor, row % 2 == 0 ? 0 : 2, row, '=');
    for (int row = 5; row < 70; row += 11)
        place(&corridor, 1, row, '|');
    expectSameCachesFor(corridor);

    std::vector<std::string> dotted = floorOf(40, 30);
    for (int column = 1; column < 40; column += 3)
        for (int row = 1; row < 30; row += 4)
            place(&dotted, column, row, (column + row) % 2 == 0 ? '=' : '|');
    expectSameCachesFor(dotted);
}

TEST(LevelSightCache, LevelsTooWideForTheSampleGridMatchThePlainWalk)
{
    // Over a thousand cells across the fine grid would take too much memory,
    // so every sample is asked of the wall buckets alone.
    std::vector<std::string> rows = floorOf(1100, 1100);
    for (int i = 0; i < 30; ++i) {
        place(&rows, 500 + i, 520, '=');
        place(&rows, 515, 505 + i, '|');
        place(&rows, 1080 + i % 20, 1090, '=');
    }
    expectSameCachesFor(rows);
}
