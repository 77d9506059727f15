#include "render/ReliefTextures.h"

#include <vector>

#include "render/TextureManager.h"

ReliefTextures* ReliefTextures::sInstance = nullptr;

namespace {

constexpr int PICTURE_CHANNELS = 4;
constexpr int SLOPE_CHANNELS = 2;
// How bright each colour looks; the lit shader read the same weights.
constexpr float RED_WEIGHT = 0.299f;
constexpr float GREEN_WEIGHT = 0.587f;
constexpr float BLUE_WEIGHT = 0.114f;

// Brightness of every texel, row by row from v = 0.
std::vector<float> brightness(const std::vector<unsigned char>& rgba)
{
    std::vector<float> light(rgba.size() / PICTURE_CHANNELS);
    for (size_t i = 0; i < light.size(); ++i) {
        const unsigned char* texel = &rgba[i * PICTURE_CHANNELS];
        light[i] = (RED_WEIGHT * texel[0] + GREEN_WEIGHT * texel[1] + BLUE_WEIGHT * texel[2]) / 255.0f;
    }
    return light;
}

} // namespace

ReliefTextures* ReliefTextures::getInstance()
{
    if (sInstance == nullptr)
        sInstance = new ReliefTextures();
    return sInstance;
}

GLuint ReliefTextures::acquire(const std::string& path, GLuint picture)
{
    if (picture == 0)
        return 0;
    const auto found = entries.find(path);
    if (found != entries.end()) {
        ++found->second.holders;
        return found->second.texture;
    }
    const GLuint slopes = makeSlopes(picture);
    if (slopes != 0)
        entries[path] = Entry{slopes, 1};
    return slopes;
}

void ReliefTextures::release(const std::string& path)
{
    const auto found = entries.find(path);
    if (found == entries.end())
        return;
    if (--found->second.holders > 0)
        return;
    glDeleteTextures(1, &found->second.texture);
    entries.erase(found);
}

GLuint ReliefTextures::makeSlopes(GLuint picture)
{
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, picture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0)
        return 0;
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * PICTURE_CHANNELS);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const std::vector<float> light = brightness(rgba);

    std::vector<float> slopes(static_cast<size_t>(width) * height * SLOPE_CHANNELS);
    const auto at = [&light, width](int x, int y) { return light[static_cast<size_t>(y) * width + x]; };
    for (int y = 0; y < height; ++y) {
        const int below = (y + height - 1) % height;
        const int above = (y + 1) % height;
        for (int x = 0; x < width; ++x) {
            const int before = (x + width - 1) % width;
            const int after = (x + 1) % width;
            float* slope = &slopes[(static_cast<size_t>(y) * width + x) * SLOPE_CHANNELS];
            slope[0] = at(before, y) - at(after, y);
            slope[1] = at(x, below) - at(x, above);
        }
    }

    // Repeating and linear like the picture, so a read anywhere gives the
    // slopes the picture's own filter would.
    const GLuint texture =
        TextureManager::createRepeatingTexture(GL_RG32F, width, height, GL_RG, GL_FLOAT, slopes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}
