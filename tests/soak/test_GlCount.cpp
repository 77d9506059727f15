// The live GL object counter the soak preloads into the game, tried on the
// real game: it must see the objects a running game holds, and the game must
// have given every one of them back by the time it has ended.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include <glm/vec2.hpp>

#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

using Counts = std::map<std::string, long>;

// "buffers=12 textures=40 ... malloc_kb=80123" into a map; empty when the
// counter has not written yet.
Counts readCounts(const TempDir& dir)
{
    std::istringstream line(dir.read("glcount.txt"));
    Counts counts;
    std::string field;
    while (line >> field) {
        const size_t equals = field.find('=');
        if (equals != std::string::npos)
            counts[field.substr(0, equals)] = std::atol(field.c_str() + equals + 1);
    }
    return counts;
}

const char* const GL_KINDS[] = {"buffers",  "textures", "vertex_arrays", "framebuffers", "renderbuffers",
                                "programs", "shaders",  "queries",       "samplers"};

} // namespace

TEST(GlObjectCounter, SeesTheRunningGamesObjectsAndNoneLeftOnceTheGameHasEnded)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a preloaded library would come before the sanitizer's runtime, which it refuses";
#endif
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "needs an X display (scripts/test starts Xvfb)";
    TempDir dir;
    GameProcess game(MORVELUND_DATA_DIR, {},
                     {{"LD_PRELOAD", MORVELUND_GLCOUNT}, {"GLCOUNT_OUT", dir.file("glcount.txt")},
                      {"ALSOFT_DRIVERS", "null"}});
    ASSERT_TRUE(game.waitForLine("Setup successful")) << game.output();

    // The frame loop makes its offscreen target before the first frame; the
    // counter rewrites its line twice a second, so a few frames bring it.
    Counts running;
    glm::vec2 position;
    for (int frames = 0; frames < 20 && running["framebuffers"] != 1; ++frames) {
        ASSERT_TRUE(game.nextPosition(&position)) << game.output();
        running = readCounts(dir);
    }
    EXPECT_EQ(running["framebuffers"], 1);
    EXPECT_EQ(running["renderbuffers"], 1);
    // The town's walls, floor, townsfolk, HUD and text all hold buffers,
    // vertex arrays, textures and shader programs.
    EXPECT_GT(running["buffers"], 10);
    EXPECT_GT(running["vertex_arrays"], 10);
    EXPECT_GT(running["textures"], 10);
    EXPECT_GT(running["programs"], 2);
    EXPECT_GT(running["malloc_kb"], 0);

    game.terminate();
    ASSERT_EQ(game.waitForExit(), 0) << game.output();
    const Counts atExit = readCounts(dir);
    for (const char* kind : GL_KINDS) {
        ASSERT_EQ(atExit.count(kind), 1u) << kind;
        EXPECT_EQ(atExit.at(kind), 0) << kind << " left at exit";
    }
}
