#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/AssetList.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

namespace {

// A working directory with a small stand-in file under every asset path:
// enough for building and checking the package, which never looks inside.
class StandInAssets : public testing::Test {
protected:
    StandInAssets()
    {
        for (const std::string& path : getAssetList())
            dir.write(path, "contents of " + path);
    }

    int runGame(const std::vector<std::string>& args, std::string* output = nullptr,
                const GameProcess::Environment& env = {})
    {
        GameProcess game(dir.path(), args, env);
        const int status = game.waitForExit(120000);
        if (output != nullptr)
            *output = game.output();
        return status;
    }

    TempDir dir;
};

} // namespace

TEST_F(StandInAssets, PackageModeBuildsEveryAssetInListOrderAndExitsWithoutAWindow)
{
    std::string output;
    ASSERT_EQ(runGame({"-d"}, &output), 0) << output;
    EXPECT_NE(output.find("   [INFO] ["), std::string::npos);
    EXPECT_NE(output.find("] Starting application"), std::string::npos);
    EXPECT_EQ(output.find("window"), std::string::npos) << output;
    EXPECT_EQ(output.find("[ERROR]"), std::string::npos) << output;

    const std::string package = dir.read("data.mv2");
    const std::vector<std::string> assets = getAssetList();
    ASSERT_GE(package.size(), 12u + 72u * assets.size());
    EXPECT_EQ(u32At(package, 4), assets.size());
    for (size_t i = 0; i < assets.size(); ++i)
        EXPECT_EQ(std::string(package.c_str() + 12 + 72 * i), assets[i]);

    // Running it again rebuilds over the existing package.
    dir.write("levels/level0.xml", "changed");
    ASSERT_EQ(runGame({"-d"}), 0);
    EXPECT_NE(dir.read("data.mv2"), package);
}

TEST_F(StandInAssets, AFlippedByteInsideAnEntryStopsTheGame)
{
    ASSERT_EQ(runGame({"-d"}), 0);
    std::string package = dir.read("data.mv2");
    const size_t firstContent = 12 + 72 * getAssetList().size();
    package[firstContent + 3] ^= 0x20;
    dir.write("data.mv2", package);

    std::string output;
    EXPECT_EQ(runGame({}, &output), 1);
    EXPECT_NE(output.find("Data file exists"), std::string::npos) << output;
    EXPECT_NE(output.find("  [ERROR] ["), std::string::npos) << output;
    EXPECT_NE(output.find("data.mv2 is corrupted"), std::string::npos) << output;
    EXPECT_EQ(output.find("window"), std::string::npos) << "the check comes before the window";
    EXPECT_EQ(dir.read("data.mv2"), package) << "a damaged package is never rebuilt behind the user's back";
}

TEST_F(StandInAssets, AnUnreadablePackageIsReportedAndNotRebuilt)
{
    dir.write("data.mv2", "short");
    std::string output;
    EXPECT_EQ(runGame({}, &output), 1);
    EXPECT_NE(output.find("Failed to read checksum"), std::string::npos) << output;
}

TEST_F(StandInAssets, AMissingInputFileFailsThePackageBuild)
{
    std::filesystem::remove(dir.file("sounds/footstep.wav"));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-d"}, std::vector<std::string>{}}) {
        // A failed build leaves an empty package behind; start from none.
        std::filesystem::remove(dir.file("data.mv2"));
        std::string output;
        EXPECT_EQ(runGame(args, &output), 1);
        EXPECT_NE(output.find("Input file sounds/footstep.wav does not exist"), std::string::npos) << output;
        EXPECT_NE(output.find("Failed to create package"), std::string::npos) << output;
        EXPECT_LT(output.find("does not exist"), output.find("Failed to create package"));
        EXPECT_EQ(dir.read("data.mv2"), "") << "nothing is written when an input is missing";
    }
}

// What a Wayland desktop's session may hold. The game draws through GLX all
// the same, so it takes SDL's X11 driver (XWayland's there) and says so.
const GameProcess::Environment WAYLAND_SESSION = {{"SDL_VIDEODRIVER", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}};

TEST_F(StandInAssets, ANormalStartBuildsAMissingPackageAndOpensAnX11WindowWithoutCheckingEvenWhereWaylandIsAskedFor)
{
    GameProcess game(dir.path(), {}, WAYLAND_SESSION);
    ASSERT_TRUE(game.waitForLine("RAND_MAX = 2147483647")) << game.output();
    ASSERT_TRUE(game.waitForLine("SDL_VIDEODRIVER=wayland is ignored")) << game.output();
    ASSERT_TRUE(game.waitForLine("Found 1 display")) << game.output();
    ASSERT_TRUE(game.waitForLine("Creating 1920x1080 window @ ")) << game.output();
    game.waitForExit(120000);
    const std::string output = game.output();
    const size_t warning = output.find("SDL_VIDEODRIVER=wayland is ignored");
    ASSERT_NE(warning, std::string::npos) << output;
    EXPECT_EQ(output.compare(output.rfind('\n', warning) + 1, 11, "[WARNING] ["), 0) << output;
    EXPECT_EQ(output.find("Data file exists"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.file("data.mv2")));
    // Past the window, its context and GLEW, to the game's own set-up, which
    // stand-in assets cannot pass.
    EXPECT_EQ(output.find("Failed to initialize!"), std::string::npos) << output;
    EXPECT_NE(output.find("Failed to create game!"), std::string::npos) << output;
}

// Left to itself SDL would fall back to a driver without X, "create" a
// window there, and the game would end on a puzzling glewInit error.
TEST_F(StandInAssets, AnUnreachableDisplayEndsTheStartNamingTheDisplay)
{
    std::string output;
    EXPECT_EQ(runGame({}, &output, {{"DISPLAY", ":64998"}}), 1);
    const size_t error = output.find("  [ERROR] [");
    ASSERT_NE(error, std::string::npos) << output;
    const std::string line = output.substr(error, output.find('\n', error) - error);
    EXPECT_NE(line.find("SDL could not initialize! SDL Error: "), std::string::npos) << line;
    EXPECT_NE(line.find("X display :64998 could not be opened"), std::string::npos) << line;
    EXPECT_EQ(output.find("window"), std::string::npos) << output;
    EXPECT_EQ(output.find("GLEW"), std::string::npos) << output;
    EXPECT_NE(output.find("Failed to initialize!"), std::string::npos) << output;

    // A Wayland session without XWayland has no X display to name.
    EXPECT_EQ(runGame({}, &output, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "wayland-0"}}), 1);
    EXPECT_NE(output.find("(DISPLAY is not set: on a Wayland desktop the game needs XWayland)"), std::string::npos)
        << output;
}

TEST_F(StandInAssets, ExtraArgumentsStartTheGameNormally)
{
    ASSERT_EQ(runGame({"-d"}), 0);
    GameProcess game(dir.path(), {"-d", "other"});
    ASSERT_TRUE(game.waitForLine("Data file exists")) << game.output();
    ASSERT_TRUE(game.waitForLine("Creating 1920x1080 window @ ")) << game.output();
}
