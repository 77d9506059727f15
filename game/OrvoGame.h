#pragma once

#include <SDL.h>

#include <string>

// The game object: owns every part of a running game and drives its frames.
//
// For now it only keeps the window alive: it shows empty frames until the
// window is asked to close.
class OrvoGame {
public:
    // The argument is not used.
    explicit OrvoGame(const std::string& unused);
    virtual ~OrvoGame();
    OrvoGame(const OrvoGame&) = delete;
    OrvoGame& operator=(const OrvoGame&) = delete;

    // Creates every part of the game; false when one fails.
    bool setup();
    // Runs frames, swapping the given window each, until the game ends.
    void gameLoop(SDL_Window* window);
};
