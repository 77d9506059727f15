#include <gtest/gtest.h>

#include <string>

#include "support/GameProcess.h"
#include "support/XDriver.h"

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
