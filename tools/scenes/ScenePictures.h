#pragma once

#include <string>
#include <vector>

#include "SceneGame.h"

// What a staged scene looks like in the window, and the reference pictures
// kept of it.
namespace ScenePictures {

struct WindowSize {
    int width;
    int height;
};

// The sizes the scenes are kept at: the largest and the middle one.
constexpr WindowSize SIZES[] = {{1920, 1080}, {1280, 720}};

// The window's colours, top row first, three bytes a pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// "town_1920x1080.png".
std::string fileName(Scene scene, const WindowSize& size);
// "1280x720" -> that size; false for anything else.
bool parseSize(const std::string& text, WindowSize* size);

// Makes SCREEN_WIDTH and SCREEN_HEIGHT the given size and the viewport with
// them. The window must be at least that large.
void useWindowSize(const WindowSize& size);
// What the window shows now, in its lower-left 'size'.
Picture readWindow(const WindowSize& size);
// Stages the scene in a game object of its own at the given size, draws one
// frame and reads the window back; false, with the reason in 'failure',
// when the scene cannot be staged. Needs the GL context current, the
// game's package in the working directory and a window at least that large.
bool render(Scene scene, const WindowSize& size, Picture* picture, std::string* failure);

bool save(const std::string& path, const Picture& picture);
bool load(const std::string& path, Picture* picture);

} // namespace ScenePictures
