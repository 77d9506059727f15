#pragma once

#include <string>

#include <glm/glm.hpp>

#include "render/MatrixOwner.h"

// Small pictures and a window camera shared by the drawing tests.

// A 'side' x 'side' PNG of one colour (RGBA), encoded in memory.
std::string solidPng(const glm::u8vec4& colour, int side = 4);
// PNG bytes of 'channels'-channel pixels, top row first.
std::string encodePngBytes(int width, int height, int channels, const void* pixels);
// BMP bytes of 'channels'-channel pixels, top row first.
std::string encodeBmpBytes(int width, int height, int channels, const void* pixels);

// The orthographic camera of screen-space drawing: one unit per pixel of a
// width x height view, origin at the bottom left; the other matrices are the
// identity.
class ScreenCamera : public MatrixOwner {
public:
    ScreenCamera(int width, int height);
    glm::mat4 getViewMatrix() override { return glm::mat4(1.0f); }
    const glm::mat4& getPerspectiveMatrix() override { return identity; }
    const glm::mat4& getOrthogonalMatrix() override { return ortho; }
    const glm::vec3& getPosition() override { return eye; }

private:
    glm::mat4 identity = glm::mat4(1.0f);
    glm::mat4 ortho;
    glm::vec3 eye = glm::vec3(0.0f);
};
