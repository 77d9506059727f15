#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include <cstdio>
#include <string>

#include "LevelSource.h"
#include "support/TempDir.h"

namespace {

// The build puts the map tool next to the game binary.
std::string toolPath()
{
    const std::string game = MORVELUND_BINARY;
    return game.substr(0, game.find_last_of('/') + 1) + "levelmaps";
}

struct ToolRun {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

ToolRun runTool(const std::string& outputDir, const std::string& mapPath)
{
    ToolRun run;
    const std::string command = "'" + toolPath() + "' '" + outputDir + "' '" + mapPath + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[256];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

TEST(LevelMapTool, RejectsMalformedMapsSayingWhereAndWritesNothing)
{
    TempDir dir;
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"===\n=x=\n===\n", "bad.map: line 2, column 2: unknown character 'x' (not in the map legend)"},
        {"===\n=.=\n==\n", "bad.map: line 3 has 2 characters, line 1 has 3"},
        {"===\n\n===\n", "bad.map: line 2 has 0 characters, line 1 has 3"},
        {"=\t=\n", "bad.map: line 1, column 2: unknown character with code 9"},
        {"", "bad.map: the map is empty"},
    };
    for (const auto& c : cases) {
        const std::string map = dir.write("bad.map", c.text);
        const ToolRun run = runTool(dir.path(), map);
        EXPECT_EQ(run.exitCode, 1) << c.text;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_FALSE(exists(dir.file("bad.bmp"))) << c.text;
    }
}

TEST(LevelMapTool, ParsesWindowsLineEndingsAndAMissingFinalNewlineAlike)
{
    levelmap::LevelMap unix, windows;
    std::string error;
    ASSERT_TRUE(levelmap::parse("=S|\n<.>\nzgm\n", unix, error)) << error;
    ASSERT_TRUE(levelmap::parse("=S|\r\n<.>\r\nzgm", windows, error)) << error;
    EXPECT_EQ(windows.rows, unix.rows);
    EXPECT_EQ(unix.width, 3);
    EXPECT_EQ(unix.height, 3);
    // The last line of the text is the bottom row of the world.
    EXPECT_EQ(unix.at(0, 0), 'z');
    EXPECT_EQ(unix.at(1, 2), 'S');
}

TEST(LevelMapTool, WritesEveryLegendColourIntoARowPaddedBitmap)
{
    TempDir dir;
    // 5 pixels a row, so every BMP row carries one byte of padding.
    const std::string text = "=====\n|S><|\n|zgm|\n|lRH|\n|FcM|\n|...|\n=====\n";
    const std::string map = dir.write("level9.map", text);
    const ToolRun run = runTool(dir.path(), map);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    levelmap::LevelMap parsed;
    std::string error;
    ASSERT_TRUE(levelmap::parse(text, parsed, error));
    const std::string bytes = dir.read("level9.bmp");
    EXPECT_EQ(bytes.size(), 54u + 16u * 7u);
    EXPECT_TRUE(bitmapShowsMap(bytes, parsed));
}

TEST(LevelMapTool, LeavesAnUnchangedBitmapUntouchedSoThePackageIsNotRebuilt)
{
    TempDir dir;
    const std::string map = dir.write("level9.map", "===\n=S=\n===\n");
    ASSERT_EQ(runTool(dir.path(), map).exitCode, 0);
    const std::string bmp = dir.file("level9.bmp");
    const utimbuf longAgo{1000000, 1000000};
    ASSERT_EQ(utime(bmp.c_str(), &longAgo), 0);

    ASSERT_EQ(runTool(dir.path(), map).exitCode, 0);
    struct stat info {};
    ASSERT_EQ(stat(bmp.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, longAgo.modtime);

    dir.write("level9.map", "===\n=>=\n===\n");
    ASSERT_EQ(runTool(dir.path(), map).exitCode, 0);
    ASSERT_EQ(stat(bmp.c_str(), &info), 0);
    EXPECT_NE(info.st_mtime, longAgo.modtime);
}

} // namespace
