#include "game/OrvoGame.h"

#include <GL/glew.h>

#include "core/Util.h"

OrvoGame::OrvoGame(const std::string& /*unused*/) {}

OrvoGame::~OrvoGame() {}

bool OrvoGame::setup()
{
    return true;
}

void OrvoGame::gameLoop(SDL_Window* window)
{
    bool running = true;
    while (running && !termination_requested()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT)
                running = false;
        }
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    }
}
