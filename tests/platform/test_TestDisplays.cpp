#include <gtest/gtest.h>

#include <cstdlib>
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
