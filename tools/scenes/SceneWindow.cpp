#include "SceneWindow.h"

#include "SceneGame.h"
#include "ScenePictures.h"

SceneWindow::SceneWindow() : GLContext(ScenePictures::SIZES[0].width, ScenePictures::SIZES[0].height)
{
    if (!ok())
        return;
    SceneGame::setDrawingState();
    ScenePictures::useWindowSize(ScenePictures::SIZES[0]);
}
