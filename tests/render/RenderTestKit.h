#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "game/Followable.h"

// Shared pieces for the rendering tests: the game's own shader sources to put
// into a test package, small pictures encoded in memory, and a camera stand-in
// with hand-picked matrices.

// The entries of a test package, by package path.
using Entries = std::map<std::string, std::string>;

// Every shader file under data/shaders of the source tree, keyed by its
// package path ("shaders/simple.vs", ...).
std::map<std::string, std::string> gameShaderEntries();

// An RGBA picture of the given size filled by 'pixel(x, y)', row 0 at the
// top as picture files store it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    Picture(int width, int height, const glm::u8vec4& fill);
    void set(int x, int y, const glm::u8vec4& colour);
};

std::string encodePng(const Picture& picture);
// The picture reduced to its first 'channels' channels (1 = grey, 3 = RGB).
std::string encodePng(const Picture& picture, int channels);
std::string encodeBmp(const Picture& picture);
std::string encodeJpeg(const Picture& picture);

// True when two colours differ by at most 'tolerance' in every channel.
bool near(const glm::u8vec4& actual, const glm::u8vec4& expected, int tolerance = 3);

// A GL texture made directly from the picture (row 0 at the bottom as GL
// wants it), with nearest filtering, for tests that need exact texels.
unsigned makeNearestTexture(const Picture& picture);

// The window pixel at which a world point appears through these matrices.
glm::vec2 projectToWindow(const glm::mat4& projection, const glm::mat4& view, const glm::vec3& world, int width,
                          int height);

// Every pixel of one window row, left to right.
std::vector<glm::u8vec4> readRow(int y, int width);

class Camera;
// A camera 10 units above the origin looking straight down, y up on screen.
Camera topDownCamera(int width, int height);

// Sum of the colour channels of a pixel: how bright it is.
int brightness(const glm::u8vec4& pixel);

// A light or followed point that stays where the test puts it.
class FixedPoint : public Followable {
public:
    explicit FixedPoint(glm::vec3 at) : at(at) {}
    glm::vec3 getPosition() override { return at; }
    glm::vec3 at;
};

namespace colours {
const glm::u8vec4 RED(255, 0, 0, 255);
const glm::u8vec4 GREEN(0, 255, 0, 255);
const glm::u8vec4 BLUE(0, 0, 255, 255);
const glm::u8vec4 WHITE(255, 255, 255, 255);
const glm::u8vec4 BLACK(0, 0, 0, 255);
} // namespace colours
