#include "core/GLErrorCheck.h"

#include <GL/glew.h>

#include "core/Log.h"

namespace {

const char* glErrorName(GLenum error)
{
    switch (error) {
    case 0x500:
        return "INVALID_ENUM";
    case 0x501:
        return "INVALID_VALUE";
    case 0x502:
        return "INVALID_OPERATION";
    case 0x503:
        return "STACK_OVERFLOW";
    case 0x504:
        return "STACK_UNDERFLOW";
    case 0x505:
        return "OUT_OF_MEMORY";
    case 0x506:
        return "INVALID_FRAMEBUFFER_OPERATION";
    default:
        return "Unknown";
    }
}

} // namespace

void CheckOpenGLError(const char* statement, const char* file, int line)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        log_error("GL error %08x (%s), at %s:%i - for %s", error, glErrorName(error), file, line, statement);
}
