#include "Noise.h"

#include <stb_perlin.h>

#include <cmath>

namespace noise {

namespace {

uint32_t mixBits(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

uint32_t hashBits(int x, int y, int seed)
{
    return mixBits(static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                   static_cast<uint32_t>(seed) * 0xcb1ab31fu);
}

int wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

} // namespace

float hash(int x, int y, int seed)
{
    return (hashBits(x, y, seed) & 0xffffff) / 16777216.0f;
}

float fbm(glm::vec2 p, int octaves, int period, int seed)
{
    float sum = 0.0f, amplitude = 0.5f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        const int wrapAt = period > 0 ? period * static_cast<int>(frequency) : 0;
        const int w = wrapAt > 256 ? 0 : wrapAt;
        sum += amplitude * stb_perlin_noise3_seed(p.x * frequency, p.y * frequency, seed * 0.37f + i * 1.7f, w, w, 0,
                                                  seed + i);
        amplitude *= 0.5f;
        frequency *= 2.0f;
    }
    return sum * 1.6f;
}

float ridged(glm::vec2 p, int octaves, int period, int seed)
{
    float sum = 0.0f, amplitude = 0.5f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        const int wrapAt = period > 0 ? period * static_cast<int>(frequency) : 0;
        const int w = wrapAt > 256 ? 0 : wrapAt;
        const float n = stb_perlin_noise3_seed(p.x * frequency, p.y * frequency, seed * 0.37f + i * 1.7f, w, w, 0,
                                               seed + i);
        sum += amplitude * (1.0f - std::fabs(n));
        amplitude *= 0.5f;
        frequency *= 2.0f;
    }
    return sum;
}

Cells cells(glm::vec2 p, int period, int seed, float jitter)
{
    const int cx = static_cast<int>(std::floor(p.x));
    const int cy = static_cast<int>(std::floor(p.y));
    Cells out{1e9f, 1e9f, 0, glm::vec2(0.0f)};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            const uint32_t id = hashBits(wrap(gx, period), wrap(gy, period), seed);
            const glm::vec2 feature(gx + 0.5f + jitter * (((id & 0xffff) / 65535.0f) - 0.5f),
                                    gy + 0.5f + jitter * (((id >> 16) / 65535.0f) - 0.5f));
            const float d = glm::length(p - feature);
            if (d < out.f1) {
                out.f2 = out.f1;
                out.f1 = d;
                out.id = id;
                out.centre = feature;
            } else if (d < out.f2) {
                out.f2 = d;
            }
        }
    }
    return out;
}

} // namespace noise

uint32_t Rng::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Rng::range(float lo, float hi)
{
    return lo + (hi - lo) * ((next() & 0xffffff) / 16777216.0f);
}

glm::vec2 Rng::point(glm::vec2 lo, glm::vec2 hi)
{
    const float x = range(lo.x, hi.x);
    const float y = range(lo.y, hi.y);
    return glm::vec2(x, y);
}
