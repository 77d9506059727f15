#include "SceneWindow.h"

#include <GL/glew.h>

#include "SceneGame.h"
#include "ScenePictures.h"

SceneWindow::SceneWindow()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    const ScenePictures::WindowSize largest = ScenePictures::SIZES[0];
    window = SDL_CreateWindow("morvelund scenes", 0, 0, largest.width, largest.height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr)
        return;
    SDL_GLContext made = SDL_GL_CreateContext(window);
    if (made == nullptr)
        return;
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        SDL_GL_DeleteContext(made);
        return;
    }
    glGetError(); // GLEW leaves a harmless INVALID_ENUM behind on core profiles.
    context = made;
    SceneGame::setDrawingState();
    ScenePictures::useWindowSize(largest);
}

SceneWindow::~SceneWindow()
{
    if (context != nullptr)
        SDL_GL_DeleteContext(context);
    if (window != nullptr)
        SDL_DestroyWindow(window);
    SDL_Quit();
}

void SceneWindow::swap()
{
    SDL_GL_SwapWindow(window);
}
