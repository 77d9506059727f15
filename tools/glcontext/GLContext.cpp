#include "GLContext.h"

#include <GL/glew.h>

#include "core/Util.h"

GLContext::GLContext(int width, int height)
{
    request_x11_video_driver();
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        failure = "SDL_Init failed on X display " + x_display_name() + ": " + SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    window = SDL_CreateWindow("morvelund test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        failure = std::string("SDL_CreateWindow failed: ") + SDL_GetError();
        return;
    }
    SDL_GLContext made = SDL_GL_CreateContext(window);
    if (made == nullptr) {
        failure = std::string("SDL_GL_CreateContext failed: ") + SDL_GetError();
        return;
    }
    glewExperimental = GL_TRUE;
    const GLenum glewError = glewInit();
    if (glewError != GLEW_OK) {
        SDL_GL_DeleteContext(made);
        failure = "glewInit failed with error " + std::to_string(glewError) + ": " +
                  reinterpret_cast<const char*>(glewGetErrorString(glewError));
        return;
    }
    glGetError(); // GLEW leaves a harmless INVALID_ENUM behind on core profiles.
    context = made;
    SCREEN_WIDTH = width;
    SCREEN_HEIGHT = height;
    glViewport(0, 0, width, height);
}

GLContext::~GLContext()
{
    if (context != nullptr)
        SDL_GL_DeleteContext(context);
    if (window != nullptr)
        SDL_DestroyWindow(window);
    SDL_Quit();
}

void GLContext::clear(const glm::vec4& colour)
{
    glClearColor(colour.r, colour.g, colour.b, colour.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

glm::u8vec4 GLContext::readPixel(int x, int y) const
{
    glm::u8vec4 pixel(0);
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel[0]);
    return pixel;
}

void GLContext::swap()
{
    SDL_GL_SwapWindow(window);
}
