#include "RenderTestKit.h"

#include <cstdlib>
#include <dirent.h>

#include <stb_image_write.h>

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
