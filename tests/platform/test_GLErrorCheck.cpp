#include <gtest/gtest.h>

#include <GL/glew.h>

#include "core/GLErrorCheck.h"
#include "GLContext.h"
#include "support/LogCapture.h"

TEST(GLErrorCheck, ReportsEveryPendingErrorWithItsNameAndPlace)
{
    GLContext gl(64, 64);
    ASSERT_TRUE(gl.ok()) << gl.error();
    {
        LogCapture log;
        CheckOpenGLError("nothing", "file.cpp", 1);
        EXPECT_EQ(log.text(), "");
    }
    LogCapture log;
    GL_CHECK(glEnable(0x1234));
    EXPECT_EQ(log.count("[ERROR]"), 1);
    EXPECT_TRUE(log.contains("GL error 00000500 (INVALID_ENUM), at "));
    EXPECT_TRUE(log.contains("test_GLErrorCheck.cpp:"));
    EXPECT_TRUE(log.contains(" - for glEnable(0x1234)"));
}
