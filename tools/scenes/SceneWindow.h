#pragma once

#include <SDL.h>

// A hidden window of the game's largest size with a GL 3.3 core context,
// current, and the GL state the frame loop draws with: where the scene
// tools draw.
class SceneWindow {
public:
    SceneWindow();
    ~SceneWindow();
    SceneWindow(const SceneWindow&) = delete;
    SceneWindow& operator=(const SceneWindow&) = delete;

    // False (with SDL's reason in SDL_GetError) when there is no context.
    bool ok() const { return context != nullptr; }
    void swap();

private:
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};
