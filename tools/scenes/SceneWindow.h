#pragma once

#include "GLContext.h"

// A hidden window of the game's largest size with a GL 3.3 core context,
// current, and the GL state the frame loop draws with: where the scene
// tools draw.
class SceneWindow : public GLContext {
public:
    SceneWindow();
};
