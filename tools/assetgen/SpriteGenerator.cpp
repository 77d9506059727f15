// The particle sprite: a soft round spot, white, its alpha falling off from
// the centre, shared by every particle system and by the projectiles.
#include <cmath>

#include "Canvas.h"
#include "Generator.h"

namespace {

constexpr int SIZE = 64;

bool generateSprite(const AssetWriter& out)
{
    Canvas c(SIZE, SIZE);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float d = glm::length(glm::vec2(x + 0.5f, y + 0.5f) - glm::vec2(SIZE * 0.5f)) / (SIZE * 0.5f);
            const float t = std::max(0.0f, 1.0f - d);
            // A bright core inside a wide soft halo; zero at the rim.
            const float a = std::min(1.0f, 0.85f * t * t + 0.6f * std::pow(t, 6.0f));
            c.set(x, y, Color{a, a, a, a});
        }
    return out.writeBmp("textures/particle.bmp", SIZE, SIZE, c.rgba8());
}

} // namespace

REGISTER_GENERATOR("sprite", generateSprite);
