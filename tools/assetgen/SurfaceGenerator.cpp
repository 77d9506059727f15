// Level surfaces: ground and wall pictures of the town, the eastern
// wastelands, the ice cave and Rabakulus' lair, and the stairs tile. Each is painted from a
// tiling height field, lit from the top left, and its colour carries a trace
// of the height gradient, because the game also reads the same picture as the
// surface's normal map.
#include <algorithm>
#include <cmath>
#include <functional>

#include "Canvas.h"
#include "Generator.h"
#include "Noise.h"

namespace {

constexpr int SIZE = 512;

struct Sample {
    float height;  // 0..1
    Color albedo;
    float glow = 0.0f;  // self-lit share of the albedo (embers), unaffected by relief
};

// u, v in 0..1 over one repeat of the texture; must tile.
using Material = std::function<Sample(glm::vec2 uv)>;

// How strongly the height's slope tints red and green for the normal map.
constexpr float NORMAL_TINT = 0.05f;

Canvas paintSurface(const Material& material, float bumpiness)
{
    std::vector<Sample> samples(SIZE * SIZE);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x)
            samples[y * SIZE + x] = material(glm::vec2((x + 0.5f) / SIZE, (y + 0.5f) / SIZE));
    const auto heightAt = [&](int x, int y) {
        return samples[((y + SIZE) % SIZE) * SIZE + (x + SIZE) % SIZE].height;
    };
    const glm::vec3 light = glm::normalize(glm::vec3(-0.6f, -0.7f, 1.0f));
    Canvas out(SIZE, SIZE);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float dx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * bumpiness;
            const float dy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * bumpiness;
            const glm::vec3 n = glm::normalize(glm::vec3(-dx, -dy, 1.0f));
            const float lit = 0.55f + 0.6f * std::max(0.0f, glm::dot(n, light));
            // Cavities collect shadow.
            const float h = heightAt(x, y);
            const float around = 0.25f * (heightAt(x - 3, y) + heightAt(x + 3, y) + heightAt(x, y - 3) + heightAt(x, y + 3));
            const float cavity = std::min(1.0f, std::max(0.55f, 1.0f + 2.5f * (h - around)));
            const Sample& s = samples[y * SIZE + x];
            Color c = mix(shade(s.albedo, lit * cavity * (0.8f + 0.3f * h)), s.albedo, s.glow);
            c.r += NORMAL_TINT * std::max(-1.0f, std::min(1.0f, -dx));
            c.g += NORMAL_TINT * std::max(-1.0f, std::min(1.0f, dy));
            c.a = 1.0f;
            out.set(x, y, c);
        }
    return out;
}

float smoothstep(float a, float b, float x)
{
    const float t = std::min(1.0f, std::max(0.0f, (x - a) / (b - a)));
    return t * t * (3.0f - 2.0f * t);
}

// Rounded stones set in mortar.
Sample cobbles(glm::vec2 uv)
{
    const int period = 7;
    const glm::vec2 warp(noise::fbm(uv * 8.0f, 3, 8, 11), noise::fbm(uv * 8.0f, 3, 8, 12));
    const noise::Cells c = noise::cells(uv * float(period) + warp * 0.12f, period, 3, 0.8f);
    const float edge = c.f2 - c.f1;
    const float stone = smoothstep(0.04f, 0.22f, edge);
    const float grit = noise::fbm(uv * 64.0f, 3, 64, 5);
    const float tone = (c.id & 255) / 255.0f;
    const Color stoneColour = mix(rgb(0x8c8478), rgb(0xa89c86), tone);
    const Color mortar = rgb(0x4f463a);
    Color albedo = mix(mortar, shade(stoneColour, 0.92f + 0.12f * grit), stone);
    albedo = mix(albedo, rgb(0x5d6b45), smoothstep(0.3f, 0.7f, noise::fbm(uv * 4.0f, 4, 4, 9)) * (1 - stone) * 0.8f);
    return {stone * (0.7f + 0.3f * std::sqrt(std::min(1.0f, edge * 2.5f))) + 0.05f * grit, albedo};
}

// Staggered blocks of dressed stone: 'rows' courses of 'perRow' blocks.
Sample blocks(glm::vec2 uv, int rows, int perRow, const Color& dark, const Color& light, const Color& joint, int seed)
{
    const float rowF = uv.y * rows;
    const int row = static_cast<int>(std::floor(rowF));
    const float shift = (row % 2) * 0.5f + 0.17f * noise::hash(row, 0, seed);
    const float colF = uv.x * perRow + shift;
    const int col = static_cast<int>(std::floor(colF));
    const float fx = colF - col, fy = rowF - row;
    const float chip = 0.05f * noise::fbm(uv * 32.0f, 3, 32, seed + 1);
    const float ex = std::min(fx, 1.0f - fx) / perRow * rows, ey = std::min(fy, 1.0f - fy);
    const float edge = std::min(ex * 0.8f, ey) + chip;
    const float body = smoothstep(0.02f, 0.12f, edge);
    const float tone = noise::hash((col % perRow + perRow) % perRow, row, seed);
    const float grain = noise::fbm(uv * 64.0f, 3, 64, seed + 2);
    Color stone = mix(dark, light, 0.3f + 0.5f * tone + 0.25f * grain);
    stone = shade(stone, 1.0f - 0.25f * smoothstep(0.2f, 0.8f, noise::fbm(uv * 8.0f, 3, 8, seed + 3)));
    const float height = body * (0.75f + 0.15f * grain + 0.1f * std::min(1.0f, edge * 4.0f));
    return {height, mix(joint, stone, body)};
}

Sample townWall(glm::vec2 uv)
{
    return blocks(uv, 8, 3, rgb(0x6f6558), rgb(0xb3a48a), rgb(0x3a332b), 21);
}

// Sun-baked, cracked clay.
Sample wastelandGround(glm::vec2 uv)
{
    const int period = 6;
    const glm::vec2 warp(noise::fbm(uv * 8.0f, 3, 8, 31), noise::fbm(uv * 8.0f, 3, 8, 32));
    const noise::Cells c = noise::cells(uv * float(period) + warp * 0.25f, period, 33, 0.9f);
    const float crack = 1.0f - smoothstep(0.0f, 0.06f, c.f2 - c.f1);
    const noise::Cells fineCells = noise::cells(uv * 16.0f + warp, 16, 34);
    const float small = fineCells.f2 - fineCells.f1;
    const float fine = 1.0f - smoothstep(0.0f, 0.04f, small);
    const float dust = noise::fbm(uv * 16.0f, 4, 16, 35);
    const Color clay = mix(rgb(0x9a6a42), rgb(0xc29461), 0.5f + 0.5f * dust);
    const Color albedo = mix(shade(clay, 1.0f - 0.25f * fine), rgb(0x3b2618), crack);
    const float plate = smoothstep(0.0f, 0.3f, c.f2 - c.f1);
    return {0.6f * plate + 0.15f * dust - 0.2f * fine - 0.5f * crack + 0.4f, albedo};
}

// Banded sandstone cliff.
Sample wastelandWall(glm::vec2 uv)
{
    const float warp = 0.08f * noise::fbm(uv * 4.0f, 4, 4, 41);
    const float band = std::sin((uv.y + warp) * 6.2831853f * 7.0f);
    const float ridge = noise::ridged(uv * glm::vec2(4.0f, 16.0f), 4, 4, 42);
    const float grain = noise::fbm(uv * 32.0f, 3, 32, 43);
    const Color layer = mix(rgb(0x8a4f2e), rgb(0xd09a62), 0.5f + 0.5f * band);
    const float height = 0.45f + 0.25f * band * band + 0.3f * ridge + 0.08f * grain;
    return {height, shade(layer, 0.85f + 0.25f * ridge + 0.1f * grain)};
}

// Blue ice with frozen cracks and drifts of frost.
Sample iceGround(glm::vec2 uv)
{
    const glm::vec2 warp(noise::fbm(uv * 4.0f, 3, 4, 51), noise::fbm(uv * 4.0f, 3, 4, 52));
    const noise::Cells c = noise::cells(uv * 5.0f + warp * 0.3f, 5, 53, 0.9f);
    const float crack = 1.0f - smoothstep(0.0f, 0.04f, c.f2 - c.f1);
    const float depth = noise::fbm(uv * 8.0f, 4, 8, 54);
    const float frost = smoothstep(0.1f, 0.6f, noise::fbm(uv * 4.0f + warp, 5, 4, 55));
    Color ice = mix(rgb(0x3f7fae), rgb(0x9fd2ee), 0.5f + 0.5f * depth);
    ice = mix(ice, rgb(0xe8f4fb), crack * 0.8f);
    ice = mix(ice, rgb(0xf2f8fc), frost);
    return {0.5f + 0.15f * depth + 0.12f * frost - 0.2f * crack, ice};
}

// Facetted ice crystal on dark rock.
Sample iceWall(glm::vec2 uv)
{
    const noise::Cells c = noise::cells(uv * 6.0f, 6, 61, 0.95f);
    const float facetSlope = (c.id & 255) / 255.0f;
    const glm::vec2 local = uv * 6.0f - c.centre;
    const float facet = 0.5f + local.x * (facetSlope - 0.5f) * 1.2f + local.y * ((c.id >> 8 & 255) / 255.0f - 0.5f);
    const float seam = 1.0f - smoothstep(0.0f, 0.05f, c.f2 - c.f1);
    const float rock = smoothstep(0.2f, 0.5f, noise::fbm(uv * 4.0f, 4, 4, 62));
    Color colour = mix(rgb(0x6fa8d0), rgb(0xd8f0ff), facet);
    colour = mix(colour, rgb(0x2a3845), rock * 0.7f);
    colour = mix(colour, rgb(0xffffff), seam * 0.6f);
    return {0.3f + 0.6f * facet - 0.3f * seam, colour};
}

// Black basalt slabs split by glowing cracks.
Sample rabakulusGround(glm::vec2 uv)
{
    const glm::vec2 warp(noise::fbm(uv * 8.0f, 3, 8, 71), noise::fbm(uv * 8.0f, 3, 8, 72));
    const noise::Cells c = noise::cells(uv * 5.0f + warp * 0.15f, 5, 73, 0.85f);
    const float edge = c.f2 - c.f1;
    const float crack = 1.0f - smoothstep(0.0f, 0.07f, edge);
    const float grain = noise::fbm(uv * 64.0f, 3, 64, 74);
    const float tone = (c.id & 255) / 255.0f;
    Color rock = mix(rgb(0x26201f), rgb(0x4a3c38), 0.4f * tone + 0.3f + 0.3f * grain);
    const float heat = crack * (0.6f + 0.4f * noise::fbm(uv * 16.0f, 2, 16, 75));
    rock = mix(rock, rgb(0xff6a1a), heat);
    rock = mix(rock, rgb(0xffd070), std::pow(heat, 3.0f));
    return {0.3f + 0.5f * smoothstep(0.0f, 0.2f, edge) + 0.1f * grain, rock, std::min(1.0f, heat * 1.5f)};
}

Sample rabakulusWall(glm::vec2 uv)
{
    Sample s = blocks(uv, 6, 2, rgb(0x2b2423), rgb(0x5a4843), rgb(0x120c0b), 81);
    const float stain = smoothstep(0.2f, 0.7f, noise::fbm(uv * glm::vec2(4.0f, 4.0f), 4, 4, 82) +
                                                   0.6f * (1.0f - uv.y) - 0.3f);
    s.albedo = mix(s.albedo, rgb(0x5a0f0c), stain * 0.7f);
    return s;
}

bool writeSurface(const AssetWriter& out, const char* path, const Material& material, float bumpiness)
{
    const Canvas picture = paintSurface(material, bumpiness);
    return out.writeJpeg(path, SIZE, SIZE, picture.rgba8(), 92);
}

// Stairs seen from above: a stone rim around steps that sink into the dark.
Sample stairs(glm::vec2 uv)
{
    const float rim = std::max(std::fabs(uv.x - 0.5f), std::fabs(uv.y - 0.5f));
    const float grain = noise::fbm(uv * 32.0f, 3, 32, 91);
    if (rim > 0.36f) {
        const Sample block = blocks(uv, 10, 10, rgb(0x5a544c), rgb(0x9a9080), rgb(0x2a2620), 92);
        return {0.7f * block.height + 0.3f, block.albedo};
    }
    const int steps = 7;
    const float depth = (uv.y - 0.14f) / 0.72f;  // 0 at the top step, 1 at the bottom
    const float stepF = depth * steps;
    const float within = stepF - std::floor(stepF);
    const float fall = std::pow(std::min(1.0f, std::max(0.0f, depth)), 0.8f);
    Color stone = shade(mix(rgb(0x9a9080), rgb(0x6a6258), 0.5f + 0.5f * grain), 1.0f - 0.92f * fall);
    // Each tread's front edge catches the light.
    stone = shade(stone, within < 0.7f ? 1.0f : 0.5f);
    stone = mix(stone, shade(rgb(0xd8ccb8), 1.0f - 0.85f * fall), std::fabs(within - 0.68f) < 0.04f ? 0.8f : 0.0f);
    const float wall = smoothstep(0.3f, 0.36f, std::fabs(uv.x - 0.5f));
    stone = mix(stone, shade(rgb(0x3a342c), 1.0f - 0.8f * fall), wall);
    return {0.6f - 0.5f * fall - 0.1f * within, stone};
}

bool generateSurfaces(const AssetWriter& out)
{
    const Canvas steps = paintSurface(stairs, 20.0f);
    if (!out.writePng("textures/stairs_down.png", SIZE, SIZE, steps.rgba8()))
        return false;
    return writeSurface(out, "textures/town_floor.jpg", cobbles, 40.0f) &&
           writeSurface(out, "textures/town_wall.jpg", townWall, 40.0f) &&
           writeSurface(out, "textures/eastern_wastelands_ground.jpg", wastelandGround, 30.0f) &&
           writeSurface(out, "textures/eastern_wastelands_wall.jpg", wastelandWall, 30.0f) &&
           writeSurface(out, "textures/icecave_ground.jpg", iceGround, 20.0f) &&
           writeSurface(out, "textures/icecave_wall.jpg", iceWall, 30.0f) &&
           writeSurface(out, "textures/rabakulus_ground.jpg", rabakulusGround, 30.0f) &&
           writeSurface(out, "textures/rabakulus_wall.jpg", rabakulusWall, 40.0f);
}

} // namespace

REGISTER_GENERATOR("surfaces", generateSurfaces);
