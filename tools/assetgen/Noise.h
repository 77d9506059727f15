#pragma once

#include <cstdint>

#include <glm/glm.hpp>

// Deterministic noise for the painters: the same inputs give the same
// pictures on every machine. 'period' arguments make a pattern tile: noise at
// x and at x + period is the same, so a picture whose coordinates run
// 0..period across tiles. Perlin tiling stops at a period of 256 for the
// finest octave: period << (octaves - 1) must stay within 256.
namespace noise {

// Integer hash to 0..1.
float hash(int x, int y, int seed);
// Perlin fractal sum in -1..1 (roughly) of 'octaves' octaves, tiling every
// 'period' units (a power of two up to 256, or 0 for no tiling).
float fbm(glm::vec2 p, int octaves, int period, int seed);
// Ridged variant: sharp crests, 0..1.
float ridged(glm::vec2 p, int octaves, int period, int seed);

// Cellular noise: distance to the nearest and second nearest feature point,
// with the nearest cell's id, tiling every 'period' cells.
struct Cells {
    float f1;
    float f2;
    uint32_t id;
    glm::vec2 centre;
};
Cells cells(glm::vec2 p, int period, int seed, float jitter = 0.9f);

} // namespace noise

// Small seeded generator for placing things (stars, rocks, studs).
class Rng {
public:
    explicit Rng(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    uint32_t next();
    // Uniform in lo..hi.
    float range(float lo, float hi);
    // A point in the box lo..hi, x drawn before y (argument evaluation order
    // is unspecified in C++, so two draws in one call could swap).
    glm::vec2 point(glm::vec2 lo, glm::vec2 hi);

private:
    uint32_t state;
};
