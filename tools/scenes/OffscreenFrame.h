#pragma once

#include <GL/glew.h>

// The offscreen target the frame loop draws the world into, of the window
// size at the time it is made, made the way the game makes it.
class OffscreenFrame {
public:
    OffscreenFrame();
    ~OffscreenFrame();
    OffscreenFrame(const OffscreenFrame&) = delete;
    OffscreenFrame& operator=(const OffscreenFrame&) = delete;

    bool complete() const { return isComplete; }

    GLuint frameBuffer = 0;
    GLuint texture = 0;
    GLuint depthStencil = 0;

private:
    bool isComplete = false;
};
