#include <gtest/gtest.h>

#include <cmath>

#include "WorldTestKit.h"
#include "support/LogCapture.h"

namespace {

class LevelSight : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(worldContext().ok()) << worldContext().error(); }

    // A level from rows of symbols (first row on top), set up successfully.
    TestLevel& load(const std::vector<std::string>& rows)
    {
        loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(rows)));
        EXPECT_TRUE(loaded.ok) << loaded.log;
        return *loaded.level;
    }

    LoadedLevel loaded;
};

// 'width' x 'height' of floor with the listed cells (column, row) walled.
std::vector<std::string> roomWithWalls(int width, int height, const std::vector<glm::ivec2>& cells)
{
    std::vector<std::string> rows(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '.'));
    for (const glm::ivec2& cell : cells)
        rows[static_cast<size_t>(height - 1 - cell.y)][static_cast<size_t>(cell.x)] = '|';
    return rows;
}

glm::vec3 at(float x, float y)
{
    return glm::vec3(x, y, 0.0f);
}

} // namespace

TEST_F(LevelSight, SegmentWalksAreLimitedTo25UnitsAndToTheGivenDistance)
{
    TestLevel& level = load(roomWithWalls(40, 10, {}));
    struct Walk {
        glm::vec3 from, to;
        float maxDistance;
        bool clear;
    };
    const std::vector<Walk> walks = {
        {at(2, 5), at(2, 5), -1.0f, true},    {at(2, 5), at(27, 5), -1.0f, true},
        {at(2, 5), at(27.5, 5), -1.0f, false}, {at(2, 5), at(14, 5), 10.0f, false},
        {at(2, 5), at(14, 5), 0.0f, true},    {at(2, 5), at(14, 5), 12.5f, true},
    };
    for (const Walk& walk : walks) {
        bool clear = !walk.clear;
        EXPECT_EQ(level.lineOfSightExt(walk.from, walk.to, &clear, walk.maxDistance), nullptr);
        EXPECT_EQ(clear, walk.clear) << walk.to.x << " limit " << walk.maxDistance;
    }
}

TEST_F(LevelSight, AWallOnTheSegmentOrJustBeyondItsEndBlocksAndIsReturned)
{
    TestLevel& level = load(roomWithWalls(30, 10, {{20, 5}}));
    ASSERT_EQ(level.walls.size(), 1u);
    void* wall = level.walls[0];

    bool clear = true;
    EXPECT_EQ(level.lineOfSightExt(at(10, 5.5), at(25, 5.5), &clear, -1.0f), wall);
    EXPECT_FALSE(clear);
    // The last sample lies one step past the end and still meets the grown box.
    clear = true;
    EXPECT_EQ(level.lineOfSightExt(at(10, 5.5), at(19.2f, 5.5), &clear, -1.0f), wall);
    EXPECT_FALSE(clear);
    EXPECT_EQ(level.lineOfSightExt(at(10, 5.5), at(18, 5.5), &clear, -1.0f), nullptr);
    EXPECT_TRUE(clear);
}

TEST_F(LevelSight, WallBoxHitsAreStrictAndIgnoreHeight)
{
    TestLevel& level = load(roomWithWalls(10, 10, {{5, 5}}));
    void* wall = level.walls.at(0);
    EXPECT_EQ(level.isCollisionExt(glm::vec3(5.5f, 5.5f, 100.0f), 0.0f), wall);
    EXPECT_EQ(level.isCollisionExt(at(6.4f, 5.5f), 1.0f), wall);
    EXPECT_EQ(level.isCollisionExt(at(6.5f, 5.5f), 1.0f), nullptr);
    EXPECT_EQ(level.isCollisionExt(at(5.5f, 4.5f), 1.0f), nullptr);
    EXPECT_EQ(level.isCollisionExt(at(5.0f, 5.0f), 0.0f), nullptr); // exactly on the corner
}

TEST_F(LevelSight, StandingTestsReadTheGridHalfACellOffTheBoxes)
{
    TestLevel& level = load(roomWithWalls(10, 10, {{5, 5}}));
    LogCapture log;
    EXPECT_TRUE(level.isCollision(at(5.0f, 5.0f), 0.0f));
    EXPECT_TRUE(level.isCollision(at(4.5f, 4.5f), 0.0f));
    EXPECT_FALSE(level.isCollision(at(4.4f, 5.0f), 0.0f));
    EXPECT_FALSE(level.isCollision(at(5.5f, 5.0f), 0.0f)); // inside the box, but the grid says free
    EXPECT_TRUE(level.isCollision(at(4.0f, 4.0f), 0.5f));  // top right corner reaches the cell
    EXPECT_FALSE(level.isCollision(at(3.9f, 3.9f), 0.5f));
    EXPECT_TRUE(level.isCollision(at(5.9f, 5.9f), 0.5f));  // only the bottom left corner reaches it
    EXPECT_FALSE(level.isCollision(at(0.2f, 0.2f), 0.75f));
    EXPECT_EQ(log.count("[WARNING]"), 0);
}

TEST_F(LevelSight, PositionsOutsideTheGridAreClampedWithAWarningPerCorrection)
{
    TestLevel& level = load(roomWithWalls(10, 10, {{0, 5}}));
    {
        LogCapture log;
        // Rows 4 and 6 of column 0 are read, not the wall in row 5.
        EXPECT_FALSE(level.isCollision(at(-3.0f, 5.0f), 1.0f));
        EXPECT_EQ(log.count("[WARNING] ["), 4);
        EXPECT_EQ(log.count("Col -3 is below valid min width 0"), 2);
        EXPECT_EQ(log.count("Col -1 is below valid min width 0"), 2);
    }
    LogCapture log;
    int row = 12, column = 10;
    level.assertRowCol(&row, &column);
    EXPECT_EQ(row, 9);
    EXPECT_EQ(column, 9);
    row = -2;
    column = -7;
    level.assertRowCol(&row, &column);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    EXPECT_TRUE(log.contains("Row 12 is above valid max height 9"));
    EXPECT_TRUE(log.contains("Col 10 is above valid width 9"));
    EXPECT_TRUE(log.contains("Row -2 is below valid min height 0"));
    EXPECT_TRUE(log.contains("Col -7 is below valid min width 0"));
}

TEST_F(LevelSight, TheTreeSplitsAtSixWallCellsWithTheOddHalfUpAndRight)
{
    {
        TestLevel& level = load(roomWithWalls(10, 10, {{1, 1}, {2, 1}, {3, 1}, {7, 8}, {8, 8}}));
        EXPECT_EQ(level.leaves.size(), 1u);
        // One leaf sees itself whatever stands inside it.
        EXPECT_TRUE(level.lineOfSight(at(0.5f, 1.5f), at(5.5f, 1.5f), 5.0f));
    }
    {
        TestLevel& level = load(roomWithWalls(10, 10, {{1, 1}, {2, 1}, {3, 1}, {7, 8}, {8, 8}, {9, 8}}));
        ASSERT_EQ(level.leaves.size(), 4u);
        for (node* leaf : level.leaves)
            EXPECT_EQ(glm::ivec2(leaf->w, leaf->h), glm::ivec2(5, 5));
        EXPECT_EQ(level.quadTree->topRight->wallCount, 3);
    }
    TestLevel& level = load({"===", "===", "==="});
    const node* root = level.quadTree;
    const auto box = [](const node* n) { return glm::ivec4(n->x, n->y, n->w, n->h); };
    EXPECT_EQ(box(root->topLeft), glm::ivec4(0, 1, 1, 2));
    EXPECT_EQ(box(root->topRight), glm::ivec4(1, 1, 2, 2));
    EXPECT_EQ(box(root->bottomLeft), glm::ivec4(0, 0, 1, 1));
    EXPECT_EQ(box(root->bottomRight), glm::ivec4(1, 0, 2, 1));
    EXPECT_EQ(root->topRight->depth, 1);
    ASSERT_EQ(level.leaves.size(), 4u);
    EXPECT_EQ(level.leaves[0], root->topLeft);
    EXPECT_EQ(level.leaves[3], root->bottomRight);
}

TEST_F(LevelSight, CachedSightAgreesWithWalkingTheSegmentAndIgnoresTheDistance)
{
    std::vector<glm::ivec2> divider;
    for (int row = 0; row < 30; ++row)
        divider.push_back({15, row});
    divider.push_back({6, 6});
    TestLevel& level = load(roomWithWalls(30, 30, divider));

    EXPECT_FALSE(level.lineOfSight(at(5, 15), at(25, 15), 30.0f));
    EXPECT_TRUE(level.lineOfSight(at(5, 15), at(10, 20), 30.0f));
    EXPECT_TRUE(level.lineOfSight(at(5, 15), at(10, 20), 1.0f));
    EXPECT_TRUE(level.lineOfSight(at(-0.5f, 15), at(5, 15), 30.0f));
    EXPECT_FALSE(level.lineOfSight(at(-1.5f, 15), at(5, 15), 30.0f));
    EXPECT_FALSE(level.lineOfSight(at(5, 15), at(5, 30.5f), 30.0f));

    for (node* a : level.leaves) {
        for (node* b : level.leaves) {
            const glm::vec3 from = level.get_node_position(a, 0);
            const glm::vec3 to = level.get_node_position(b, 0);
            bool clear = false;
            level.lineOfSightExt(from, to, &clear, -1.0f);
            ASSERT_EQ(level.lineOfSight(from, to, 5.0f), clear) << from.x << "," << from.y << " -> " << to.x << "," << to.y;
        }
    }
}

TEST_F(LevelSight, PositionsNoCellCanHoldAreClampedOrRefusedNotConverted)
{
    TestLevel& level = load(roomWithWalls(10, 10, {{9, 9}}));
    LogCapture log;
    EXPECT_TRUE(level.isCollision(at(1e12f, 1e12f), 0.5f)); // clamped onto the top right wall
    EXPECT_FALSE(level.lineOfSight(at(NAN, 5.0f), at(5.0f, 5.0f), 10.0f));
    bool clear = false;
    EXPECT_EQ(level.lineOfSightExt(at(NAN, 5.0f), at(5.0f, 5.0f), &clear, -1.0f), nullptr);
    EXPECT_TRUE(clear);
    EXPECT_EQ(log.count("Col 2147483647 is above valid width 9"), 1);
    EXPECT_EQ(log.count("Row 2147483647 is above valid max height 9"), 1);
    EXPECT_EQ(log.count("Ouch! should not happen!"), 1);
}
