#include <gtest/gtest.h>

#include "WorldTestKit.h"
#include "support/LogCapture.h"

namespace {

class LevelLoading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(worldContext().ok()) << worldContext().error(); }
};

const std::vector<std::string> OPEN_ROOM = {"....", "....", "...."};

// Overwrites the little-endian number at 'offset' of a file's bytes.
std::string patched(std::string bytes, size_t offset, uint32_t value, size_t count)
{
    std::string little;
    for (size_t i = 0; i < count; ++i)
        little.push_back(static_cast<char>(value >> (8 * i)));
    return bytes.replace(offset, count, little);
}

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

} // namespace

TEST_F(LevelLoading, ReadersWarnAboutEachMissingRequiredAttributeAndLoadingGoesOn)
{
    const std::string xml = "<!DOCTYPE map>\n<map><level name=\"First\" bitmap=\"levels/test.bmp\" next=\"levels/down.xml\"/>"
                            "<group><textures ground=\"textures/ground.png\" wall=\"textures/wall.png\"/>"
                            "<level NAME=\"Shouting\" previous=\"levels/up.xml\" bitmap=\"levels/test.bmp\"/></group>"
                            "<!-- a comment --><sounds volume=\"3\"/></map>";
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(xml, levelBitmap(OPEN_ROOM)));

    EXPECT_TRUE(loaded.ok) << loaded.log;
    EXPECT_TRUE(loaded.logged("[WARNING]")) << loaded.log;
    EXPECT_TRUE(loaded.logged("Unknown data in xml, "));
    EXPECT_TRUE(loaded.logged("Attribute name not specified for tag <level>"));
    EXPECT_FALSE(loaded.logged("Attribute bitmap not specified"));
    EXPECT_FALSE(loaded.logged("not specified for tag <textures>"));
    const size_t background = loaded.log.find("Attribute background not specified for tag <sounds>");
    const size_t footstep = loaded.log.find("Attribute footstep not specified for tag <sounds>");
    ASSERT_NE(background, std::string::npos);
    ASSERT_NE(footstep, std::string::npos);
    EXPECT_LT(background, footstep);
    EXPECT_FALSE(loaded.logged("[ERROR]"));

    // Later elements replace only what they carry; the nested one was read.
    EXPECT_EQ(loaded.level->name, "First");
    EXPECT_EQ(loaded.level->nextLevel, "levels/down.xml");
    EXPECT_EQ(loaded.level->previousLevel, "levels/up.xml");
    EXPECT_EQ(loaded.level->backgroundSound, "");
    EXPECT_EQ(loaded.level->width, 4);
    EXPECT_EQ(loaded.level->height, 3);
}

TEST_F(LevelLoading, EveryFailedStepLogsItsLineFailsAndLeavesALevelSafeToUseAndDelete)
{
    const std::string bitmap = levelBitmap({"=..>", "|..<", "S..z"});
    struct Case {
        std::string what;
        std::string entry;
        std::string contents; // replaces the entry; empty removes it
        std::string line;
    };
    const std::vector<Case> cases = {
        {"no level file", "levels/test.xml", "", "Load problem with levels/test.xml"},
        {"level file with nothing before a NUL", "levels/test.xml", std::string("\0", 1), "Failed to load levels/test.xml"},
        {"malformed level file", "levels/test.xml", "<level name=\"x\" bitmap=", "Failed to load levels/test.xml"},
        {"no bitmap attribute", "levels/test.xml", "<level name=\"Nameless\"/>",
         "Failed to load package data for level "},
        {"no bitmap in the package", "levels/test.bmp", "", "Failed to load package data for level levels/test.bmp"},
        {"bitmap that is no picture", "levels/test.bmp", "not a picture at all",
         "Failed to load image data for levels/test.bmp"},
        {"truncated bitmap", "levels/test.bmp", bitmap.substr(0, bitmap.size() - 8),
         "Failed to load image data for levels/test.bmp"},
        {"bitmap header cut short", "levels/test.bmp", bitmap.substr(0, 20),
         "Failed to load image data for levels/test.bmp"},
        {"absurd bitmap size", "levels/test.bmp", patched(patched(bitmap, 18, 300000, 4), 22, 300000, 4),
         "Failed to load image data for levels/test.bmp"},
        {"impossible bit depth", "levels/test.bmp", patched(bitmap, 28, 13, 2),
         "Failed to load image data for levels/test.bmp"},
        {"bitmap header whose pixel bytes overflow 64 bits", "levels/test.bmp",
         patched(patched(patched(bitmap, 18, 0x7FFFFFFF, 4), 22, 0x7FFFFFFF, 4), 28, 0xFFFF, 2),
         "Failed to load image data for levels/test.bmp"},
        {"level file nested deeper than TinyXML's stack allows", "levels/test.xml", repeated("<a>", 100000),
         "Failed to load levels/test.xml"},
        {"no down teleporter effect", "particlesystems/teleporter_down.xml", "",
         "Failed to setup teleport down particle system!"},
        {"no up teleporter effect", "particlesystems/teleporter_up.xml", "",
         "Failed to setup teleport up particle system!"},
    };
    for (const Case& failure : cases) {
        SCOPED_TRACE(failure.what);
        auto entries = levelEntries(levelXml(), bitmap);
        if (failure.contents.empty())
            entries.erase(failure.entry);
        else
            entries[failure.entry] = failure.contents;
        LoadedLevel loaded;
        loadLevel(&loaded, entries);
        EXPECT_FALSE(loaded.ok);
        EXPECT_TRUE(loaded.logged("  [ERROR] [")) << loaded.log;
        EXPECT_TRUE(loaded.logged(failure.line + "\n")) << loaded.log;

        TestLevel* level = loaded.level;
        StandIn player(glm::vec3(1.0f, 1.0f, 0.0f));
        StillCamera camera(glm::vec3(1.0f, -5.0f, 10.0f), player.position);
        bool clear = false;
        LogCapture quiet;
        EXPECT_FALSE(level->lineOfSight(player.position, glm::vec3(2.0f, 1.0f, 0.0f), 10.0f));
        level->lineOfSightExt(player.position, glm::vec3(2.0f, 2.0f, 0.0f), &clear, -1.0f);
        level->isCollision(player.position, 0.5f);
        level->update(0.016f);
        level->render(&camera, &player);
        level->mouseClick(glm::vec3(3.0f, 2.0f, 0.0f));
    }
}

TEST_F(LevelLoading, BlueCellsJoinAlongRowsGreenAlongColumnsHorizontalRunsFirst)
{
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(levelXml(), levelBitmap({
                                                    "......==",
                                                    "==.....|",
                                                    "=...===|",
                                                    "=|......",
                                                    ".|......",
                                                })));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    const std::vector<wall_data> expected = {
        {0.5f, 1.5f, 6.0f, 1.0f, 1.0f}, {0.5f, 2.5f, 6.0f, 1.0f, 1.0f}, {5.5f, 2.5f, 6.0f, 3.0f, 1.0f},
        {1.0f, 3.5f, 6.0f, 2.0f, 1.0f}, {7.0f, 4.5f, 6.0f, 2.0f, 1.0f}, {1.5f, 1.0f, 6.0f, 1.0f, 2.0f},
        {7.5f, 3.0f, 6.0f, 1.0f, 2.0f},
    };
    const TestLevel& level = *loaded.level;
    ASSERT_EQ(level.wallRuns.size(), expected.size());
    EXPECT_EQ(level.walls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(level.wallRuns[i]->x, expected[i].x);
        EXPECT_FLOAT_EQ(level.wallRuns[i]->y, expected[i].y);
        EXPECT_FLOAT_EQ(level.wallRuns[i]->z, expected[i].z);
        EXPECT_FLOAT_EQ(level.wallRuns[i]->sizeX, expected[i].sizeX);
        EXPECT_FLOAT_EQ(level.wallRuns[i]->sizeY, expected[i].sizeY);
    }

    int wallCells = 0;
    for (int row = 0; row < level.height; ++row)
        for (int column = 0; column < level.width; ++column)
            wallCells += level.wallGrid[row][column];
    EXPECT_EQ(wallCells, 13);
    EXPECT_EQ(level.wallGrid[0][1], 1); // green, bottom row
    EXPECT_EQ(level.wallGrid[2][5], 1); // blue run
    EXPECT_EQ(level.wallGrid[0][0], 0);
    EXPECT_EQ(level.wallGrid[4][7], 1); // top right corner
}

TEST_F(LevelLoading, MarkersAndSpawnsAreReadColumnByColumnFromTheBottomAndLaterMarkersWin)
{
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(levelXml(), levelBitmap({
                                                    "z>M..<",
                                                    "g.c.S.",
                                                    ".R.SH.",
                                                    "m>l..F",
                                                })));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    TestLevel& level = *loaded.level;

    const std::vector<spawn_data> enemies = {{0, 0, 0, 2}, {0, 2, 0, 1}, {0, 3, 0, 0}, {1, 1, 0, 4},
                                             {2, 0, 0, 3}, {4, 1, 0, 5}, {5, 0, 0, 6}};
    ASSERT_EQ(level.getNumEnemies(), static_cast<int>(enemies.size()));
    for (int i = 0; i < level.getNumEnemies(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(level.getEnemyData(i)->x, enemies[static_cast<size_t>(i)].x);
        EXPECT_EQ(level.getEnemyData(i)->y, enemies[static_cast<size_t>(i)].y);
        EXPECT_EQ(level.getEnemyData(i)->z, 0.0f);
        EXPECT_EQ(level.getEnemyData(i)->type, enemies[static_cast<size_t>(i)].type);
    }
    EXPECT_EQ(level.getEnemyData(level.getNumEnemies()), nullptr);
    ASSERT_EQ(level.getNumNpcs(), 2);
    EXPECT_EQ(level.getNpcData(0)->type, 0);
    EXPECT_EQ(level.getNpcData(0)->y, 2.0f);
    EXPECT_EQ(level.getNpcData(1)->type, 1);

    EXPECT_EQ(level.startPosition, glm::vec3(4.0f, 2.0f, 0.0f));
    EXPECT_EQ(level.nextStairsPos, glm::vec3(1.0f, 3.0f, 0.0f));
    EXPECT_EQ(level.prevStairsPos, glm::vec3(5.0f, 3.0f, 0.0f));
    // The first next-level stairs at (1, 0) were replaced and no longer answer.
    EXPECT_EQ(level.mouseClick(glm::vec3(1.0f, 0.2f, 0.0f)), 0);
    EXPECT_EQ(level.mouseClick(glm::vec3(1.0f, 3.0f, 0.0f)), 1);

    LogCapture log;
    EXPECT_EQ(level.getEnemyTypeFromPixelColor(0x123456), 0);
    EXPECT_EQ(level.getNpcTypeFromPixelColor(0x123456), 1);
    EXPECT_EQ(level.getNpcTypeFromPixelColor(0x6A6A6A), 0);
    EXPECT_EQ(log.count("  [ERROR] ["), 2);
    EXPECT_TRUE(log.contains("Invalid enemy type"));
    EXPECT_TRUE(log.contains("Invalid npc type"));
}

TEST_F(LevelLoading, ALevelFilePaddedWithNulBytesLoadsAsTheTextBeforeThem)
{
    LoadedLevel loaded;
    loadLevel(&loaded, levelEntries(levelXml() + std::string(32, '\0') + "<broken", levelBitmap(OPEN_ROOM)));
    ASSERT_TRUE(loaded.ok) << loaded.log;
    EXPECT_EQ(loaded.level->name, "Test Cellar");
}
