#pragma once

// Logs every pending GL error with the statement that raised it. Wrap a call
// in GL_CHECK(...) while hunting a rendering fault.
void CheckOpenGLError(const char* statement, const char* file, int line);

#define GL_CHECK(statement)                                   \
    do {                                                      \
        statement;                                            \
        CheckOpenGLError(#statement, __FILE__, __LINE__);     \
    } while (0)
