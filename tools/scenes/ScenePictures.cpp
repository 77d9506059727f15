#include "ScenePictures.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>

#include "OffscreenFrame.h"
#include "core/Util.h"

namespace ScenePictures {

namespace {

constexpr int CHANNELS = 3;

} // namespace

std::string fileName(Scene scene, const WindowSize& size)
{
    return std::string(sceneName(scene)) + "_" + std::to_string(size.width) + "x" + std::to_string(size.height) +
           ".png";
}

bool parseSize(const std::string& text, WindowSize* size)
{
    for (const WindowSize& known : SIZES) {
        if (text == std::to_string(known.width) + "x" + std::to_string(known.height)) {
            *size = known;
            return true;
        }
    }
    return false;
}

void useWindowSize(const WindowSize& size)
{
    SCREEN_WIDTH = size.width;
    SCREEN_HEIGHT = size.height;
    glViewport(0, 0, size.width, size.height);
}

Picture readWindow(const WindowSize& size)
{
    Picture picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.rgb.assign(static_cast<size_t>(size.width) * size.height * CHANNELS, 0);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size.width, size.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    // GL reads the bottom row first; pictures keep the top row first.
    const size_t row = static_cast<size_t>(size.width) * CHANNELS;
    for (int y = 0; y < size.height / 2; ++y)
        std::swap_ranges(picture.rgb.begin() + static_cast<long>(y * row),
                         picture.rgb.begin() + static_cast<long>((y + 1) * row),
                         picture.rgb.begin() + static_cast<long>((size.height - 1 - y) * row));
    return picture;
}

bool render(Scene scene, const WindowSize& size, Picture* picture, std::string* failure)
{
    useWindowSize(size);
    SceneGame* game = new SceneGame();
    OffscreenFrame* frame = new OffscreenFrame();
    const bool staged = game->stage(scene);
    if (staged) {
        game->draw(frame->frameBuffer, frame->texture);
        *picture = readWindow(size);
    } else {
        *failure = std::string("the scene ") + sceneName(scene) + " could not be staged";
    }
    delete frame;
    delete game;
    return staged;
}

bool save(const std::string& path, const Picture& picture)
{
    return stbi_write_png(path.c_str(), picture.width, picture.height, CHANNELS, picture.rgb.data(),
                          picture.width * CHANNELS) != 0;
}

bool load(const std::string& path, Picture* picture)
{
    int width = 0, height = 0, channels = 0;
    stbi_set_flip_vertically_on_load(0);
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, CHANNELS);
    if (pixels == nullptr)
        return false;
    picture->width = width;
    picture->height = height;
    picture->rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * CHANNELS);
    stbi_image_free(pixels);
    return true;
}

} // namespace ScenePictures
