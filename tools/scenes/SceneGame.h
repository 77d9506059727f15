#pragma once

#include <string>

#include <GL/glew.h>

#include "game/OrvoGame.h"

// The fixed scenes the frame benchmark times and the picture test compares:
// what the player sees at a moment of play, staged without the clock, the
// mouse or the random walk of a running game, so that every run draws the
// same picture.
enum class Scene {
    START_MENU, // the start menu over the town
    TOWN,       // the town on arrival
    CRYPT,      // the first crypt floor on arrival
    FIGHT,      // a dozen enemies round the hero, a wall between hero and eye
    INVENTORY,  // the town with the inventory window open on a full bag
};

constexpr Scene ALL_SCENES[] = {Scene::START_MENU, Scene::TOWN, Scene::CRYPT, Scene::FIGHT, Scene::INVENTORY};

// "menu", "town", "crypt", "fight", "inventory".
const char* sceneName(Scene scene);

// The game object with one staged scene. Set SCREEN_WIDTH and SCREEN_HEIGHT
// to the window size before making one: the HUD and the camera are laid out
// for it at set-up.
class SceneGame : public OrvoGame {
public:
    SceneGame();
    ~SceneGame() override;

    // The game's setup, then the scene; false when either fails.
    bool stage(Scene scene);
    // One frame as the frame loop draws it, minus the swap.
    void draw(GLuint frameBuffer, GLuint frameTexture);

    using OrvoGame::createFramebuffer;
    using OrvoGame::setDrawingState;

private:
    bool enterLevel(const std::string& path);
    void startPlaying();
    bool standBehindWall();
    void surroundHero();
    void fillBag();
    // Poses every unit's boxes, places the camera and lays out the HUD for
    // the staged moment, with no time passing.
    void settle();
};
