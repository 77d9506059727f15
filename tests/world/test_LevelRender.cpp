#include <gtest/gtest.h>

#include <GL/glew.h>

#include "WorldTestKit.h"

namespace {

class LevelDrawing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(worldContext().ok()) << worldContext().error(); }
};

// A 20 x 24 floor; each run is {row, first column, last column} of blue wall.
std::vector<std::string> floorWithRuns(const std::vector<glm::ivec3>& runs)
{
    std::vector<std::string> rows(24, std::string(20, '.'));
    for (const glm::ivec3& run : runs)
        for (int column = run.y; column <= run.z; ++column)
            rows[static_cast<size_t>(23 - run.x)][static_cast<size_t>(column)] = '=';
    return rows;
}

// The player stands at (10, 16); the eye is behind and above it, as in play.
const glm::vec3 PLAYER_SPOT(10.0f, 16.0f, 0.0f);
const glm::vec3 EYE(10.0f, 10.0f, 14.0f);
const glm::ivec3 WALL_NEAR_PLAYER(14, 9, 11);
const glm::ivec3 WALL_NEAR_EYE(12, 4, 16);

// Draws the level as the frame loop does and reads the pixels at the given
// floor points.
std::vector<glm::u8vec4> drawAndRead(TestLevel& level, const std::vector<glm::vec3>& floorPoints)
{
    StandIn player(PLAYER_SPOT);
    StillCamera camera(EYE, PLAYER_SPOT);
    worldContext().clear();
    glEnable(GL_DEPTH_TEST);
    level.update(0.016f);
    level.render(&camera, &player);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<glm::u8vec4> pixels;
    for (const glm::vec3& point : floorPoints) {
        const glm::ivec2 pixel = camera.pixelOf(point);
        EXPECT_TRUE(pixel.x >= 0 && pixel.x < VIEW_SIZE && pixel.y >= 0 && pixel.y < VIEW_SIZE);
        pixels.push_back(worldContext().readPixel(pixel.x, pixel.y));
    }
    return pixels;
}

} // namespace

TEST_F(LevelDrawing, GroundAndWallsAreDrawnAndTheWallHidingThePlayerIsSeeThrough)
{
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(floorWithRuns({WALL_NEAR_PLAYER}))));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    // The player's spot is seen through the wall; the floor beside the wall
    // and the ground beyond the level's edge (it is twice the level's size)
    // are plain red.
    const auto pixels = drawAndRead(*loaded.level, {PLAYER_SPOT, {16, 20, 0}, {-2, 16, 0}});
    EXPECT_GT(pixels[0].r, 60) << "the wall hides the player";
    EXPECT_GT(pixels[0].g, 20) << "the see-through wall is not drawn";
    for (size_t i = 1; i < pixels.size(); ++i) {
        EXPECT_GT(pixels[i].r, 80) << i;
        EXPECT_LT(pixels[i].g, 10) << i;
    }
}

TEST_F(LevelDrawing, OnlyTheWallNearestThePlayerOnTheWayToTheEyeIsSeeThrough)
{
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(floorWithRuns({WALL_NEAR_PLAYER, WALL_NEAR_EYE}))));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    // This floor point is seen through the wall near the eye only.
    const auto pixels = drawAndRead(*loaded.level, {{5.5f, 16.0f, 0.0f}});
    EXPECT_GT(pixels[0].g, 50);
    EXPECT_LT(pixels[0].r, 10) << "the wall near the eye is see-through";
}

TEST_F(LevelDrawing, StairsTeleportersAndTheDebugOverlayDrawWithoutGlErrors)
{
    LoadedLevel loaded;
    auto rows = floorWithRuns({WALL_NEAR_PLAYER});
    rows[23 - 18][6] = '>';
    rows[23 - 18][14] = '<';
    loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(rows)));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    loaded.level->debug = true;
    const auto pixels = drawAndRead(*loaded.level, {{6.0f, 18.0f, 0.1f}});
    EXPECT_GT(pixels[0].b, 80) << "the stairs tile is blue";
}

TEST_F(LevelDrawing, ClicksNameTheStairsHitWithTheTownsPreviousStairsOpeningTheMap)
{
    const std::string bitmap = levelBitmap({"......<.", "........", "........", ".>......"});
    auto entries = levelEntries(levelXml(), bitmap);
    entries["levels/level0.xml"] = levelXml();
    struct Click {
        glm::vec3 point;
        int dungeon;
        int town;
    };
    const std::vector<Click> clicks = {
        {{1.0f, 0.0f, 0.0f}, 1, 1}, {{3.4f, 2.4f, 0.0f}, 1, 1}, {{3.5f, 0.0f, 0.0f}, 0, 0},
        {{6.0f, 3.0f, 0.0f}, 2, 3}, {{8.4f, 0.6f, 7.0f}, 2, 3}, {{8.5f, 3.0f, 0.0f}, 0, 0},
        {{1.0f, 5.6f, 0.0f}, 0, 0},
    };
    LoadedLevel dungeon, town, bare;
    loadLevel(&dungeon, entries);
    loadLevel(&town, entries, "levels/level0.xml");
    loadLevel(&bare, levelEntries(levelXml(), levelBitmap({"....", "...."})));
    ASSERT_TRUE(dungeon.ok && town.ok && bare.ok);
    for (const Click& click : clicks) {
        EXPECT_EQ(dungeon.level->mouseClick(click.point), click.dungeon) << click.point.x << "," << click.point.y;
        EXPECT_EQ(town.level->mouseClick(click.point), click.town) << click.point.x << "," << click.point.y;
        EXPECT_EQ(bare.level->mouseClick(click.point), 0);
    }
}
