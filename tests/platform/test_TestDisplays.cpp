#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "GLContext.h"
#include "support/GameProcess.h"
#include "support/XDriver.h"

namespace {

// Sets DISPLAY for the length of a test and puts the old value back.
class DisplayOverride {
public:
    explicit DisplayOverride(const char* display)
    {
        const char* old = std::getenv("DISPLAY");
        hadOld = old != nullptr;
        if (hadOld)
            previous = old;
        setenv("DISPLAY", display, 1);
    }
    ~DisplayOverride()
    {
        if (hadOld)
            setenv("DISPLAY", previous.c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    DisplayOverride(const DisplayOverride&) = delete;
    DisplayOverride& operator=(const DisplayOverride&) = delete;

private:
    bool hadOld = false;
    std::string previous;
};

} // namespace

// Left to itself SDL would fall back to a driver without X, and the lost
// display would show up only later as a glewInit failure.
TEST(TestDisplays, AContextOnAnUnreachableDisplayFailsAtSdlInitNamingTheDisplay)
{
    const DisplayOverride unreachable(":64999");
    GLContext gl(64, 64);
    EXPECT_FALSE(gl.ok());
    EXPECT_EQ(std::string(gl.error()).rfind("SDL_Init failed on X display :64999: ", 0), 0u) << gl.error();
}

// The picture tests compare with references that Mesa's software rasteriser
// drew: the gl tests must draw with it too, never with a desktop's GL driver.
TEST(TestDisplays, TestsDrawWithMesasLlvmpipe)
{
    GLContext gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    EXPECT_NE(renderer.find("llvmpipe"), std::string::npos) << renderer;
}

// scripts/with-xvfb, which make test runs the tests under, gives them a
// screen of their own even where DISPLAY names another (here one that nobody
// serves): the test above, run again under it, reaches its llvmpipe.
TEST(TestDisplays, TheTestScriptDrawsOnAPrivateScreenWhateverDisplayNames)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    int status = -1;
    const std::string output = runCommand("DISPLAY=:64999 " MORVELUND_SOURCE_DIR "/scripts/with-xvfb '" + self +
                                              "' --gtest_filter=TestDisplays.TestsDrawWithMesasLlvmpipe 2>&1",
                                          &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

// A server that resets when its last client leaves forgets everything (the
// root window's properties with it) and drops clients still connecting.
TEST(TestDisplays, APrivateServerKeepsItsStateWhenItsLastClientLeaves)
{
    const PrivateXServer screen(640, 480);
    ASSERT_FALSE(screen.display().empty()) << "no private X server could be started (Xvfb missing?)";
    const std::string onScreen = "DISPLAY=" + screen.display() + " xprop -root ";
    int status = -1;
    runCommand(onScreen + "-f MORVELUND_KEPT 8s -set MORVELUND_KEPT kept", &status);
    ASSERT_EQ(status, 0);
    // The only client has gone: the next one must find the property there.
    EXPECT_EQ(runCommand(onScreen + "MORVELUND_KEPT 2>&1"), "MORVELUND_KEPT(STRING) = \"kept\"\n");
}
