#include "support/TestPictures.h"

#include <stb_image_write.h>

#include <vector>

#include <glm/gtc/matrix_transform.hpp>

namespace {

void appendBytes(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

} // namespace

std::string encodePngBytes(int width, int height, int channels, const void* pixels)
{
    std::string out;
    stbi_write_png_to_func(appendBytes, &out, width, height, channels, pixels, width * channels);
    return out;
}

std::string encodeBmpBytes(int width, int height, int channels, const void* pixels)
{
    std::string out;
    stbi_write_bmp_to_func(appendBytes, &out, width, height, channels, pixels);
    return out;
}

std::string solidPng(const glm::u8vec4& colour, int side)
{
    const std::vector<glm::u8vec4> pixels(static_cast<size_t>(side * side), colour);
    return encodePngBytes(side, side, 4, pixels.data());
}

ScreenCamera::ScreenCamera(int width, int height)
    : ortho(glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height)))
{
}
