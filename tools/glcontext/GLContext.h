#pragma once

#include <SDL.h>

#include <glm/glm.hpp>

#include <string>

// A hidden SDL window with a GL 3.3 core context, made current, for the
// tests, the fixed scenes and the benchmarks that draw for real (Mesa's
// llvmpipe under Xvfb). Sets SCREEN_WIDTH and SCREEN_HEIGHT to the window
// size.
class GLContext {
public:
    GLContext(int width = 1920, int height = 1080);
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // False (with the reason in error()) when no context could be made.
    bool ok() const { return context != nullptr; }
    const char* error() const { return failure.c_str(); }

    void clear(const glm::vec4& colour = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    // RGBA of one pixel of the back buffer, (0, 0) at the bottom left.
    glm::u8vec4 readPixel(int x, int y) const;
    void swap();

private:
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::string failure;
};
