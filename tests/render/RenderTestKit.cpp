#include "RenderTestKit.h"

#include <cstdlib>
#include <algorithm>
#include <dirent.h>

#include <GL/glew.h>

#include <stb_image_write.h>

#include "render/Camera.h"
#include "support/TestPackage.h"

std::map<std::string, std::string> gameShaderEntries()
{
    std::map<std::string, std::string> entries;
    const std::string folder = std::string(MORVELUND_SOURCE_DIR) + "/data/shaders";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return entries;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        entries["shaders/" + name] = readFileBytes(folder + "/" + name);
    }
    closedir(dir);
    return entries;
}

Picture::Picture(int width, int height, const glm::u8vec4& fill)
    : width(width)
    , height(height)
    , rgba(static_cast<size_t>(width) * height * 4)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            set(x, y, fill);
    }
}

void Picture::set(int x, int y, const glm::u8vec4& colour)
{
    const size_t at = (static_cast<size_t>(y) * width + x) * 4;
    for (int c = 0; c < 4; ++c)
        rgba[at + c] = colour[c];
}

namespace {

void appendBytes(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::vector<uint8_t> reduced(const Picture& picture, int channels)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        for (int c = 0; c < channels; ++c)
            bytes.push_back(picture.rgba[i + c]);
    }
    return bytes;
}

} // namespace

std::string encodePng(const Picture& picture)
{
    return encodePng(picture, 4);
}

std::string encodePng(const Picture& picture, int channels)
{
    std::string out;
    const std::vector<uint8_t> bytes = reduced(picture, channels);
    stbi_write_png_to_func(appendBytes, &out, picture.width, picture.height, channels, bytes.data(),
                           picture.width * channels);
    return out;
}

std::string encodeBmp(const Picture& picture)
{
    std::string out;
    const std::vector<uint8_t> bytes = reduced(picture, 3);
    stbi_write_bmp_to_func(appendBytes, &out, picture.width, picture.height, 3, bytes.data());
    return out;
}

std::string encodeJpeg(const Picture& picture)
{
    std::string out;
    const std::vector<uint8_t> bytes = reduced(picture, 3);
    stbi_write_jpg_to_func(appendBytes, &out, picture.width, picture.height, 3, bytes.data(), 95);
    return out;
}

bool near(const glm::u8vec4& actual, const glm::u8vec4& expected, int tolerance)
{
    for (int c = 0; c < 4; ++c) {
        if (std::abs(static_cast<int>(actual[c]) - static_cast<int>(expected[c])) > tolerance)
            return false;
    }
    return true;
}

unsigned makeNearestTexture(const Picture& picture)
{
    std::vector<uint8_t> bottomUp(picture.rgba.size());
    const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.rgba.begin() + static_cast<long>(y * rowBytes), rowBytes,
                    bottomUp.begin() + static_cast<long>((picture.height - 1 - y) * rowBytes));
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    return id;
}

glm::vec2 projectToWindow(const glm::mat4& projection, const glm::mat4& view, const glm::vec3& world, int width,
                          int height)
{
    const glm::vec4 clip = projection * view * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::vec2((ndc.x + 1.0f) * 0.5f * static_cast<float>(width),
                     (ndc.y + 1.0f) * 0.5f * static_cast<float>(height));
}

std::vector<glm::u8vec4> readRow(int y, int width)
{
    std::vector<glm::u8vec4> row(static_cast<size_t>(width));
    glFinish();
    glReadPixels(0, y, width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    return row;
}

Camera topDownCamera(int width, int height)
{
    return Camera(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f),
                  static_cast<float>(width), static_cast<float>(height));
}

int brightness(const glm::u8vec4& pixel)
{
    return pixel.r + pixel.g + pixel.b;
}
