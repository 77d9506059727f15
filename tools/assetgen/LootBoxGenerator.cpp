// Loot boxes: the little crates that dropped items lie in, one per quality
// (the box shows the whole picture on each of its faces), and a plain one.
#include <cmath>

#include "Canvas.h"
#include "Generator.h"
#include "Noise.h"

namespace {

using glm::vec2;

constexpr int SIZE = 128;

// Wooden planks in a metal frame in the quality's colour, a glowing gem in the middle.
Canvas crate(const Color& wood, const Color& trim, const Color& gem, float glow)
{
    Canvas c(SIZE, SIZE);
    c.setFrame(vec2(0.0f), static_cast<float>(SIZE));
    c.fill([](vec2) { return -1.0f; }, [wood](vec2 p) {
        const float plank = std::floor(p.y * 4.0f);
        const float grain = noise::fbm(vec2(p.x * 3.0f, p.y * 40.0f + plank * 7.0f), 3, 0, 3);
        const float seam = std::fabs(std::fmod(p.y * 4.0f, 1.0f) - 0.5f) > 0.46f ? 0.45f : 1.0f;
        return shade(wood, (0.85f + 0.25f * grain + 0.06f * std::sin(plank * 2.7f)) * seam);
    });
    const Sdf border = [](vec2 p) { return -(sdf::box(p, vec2(0.5f), vec2(0.4f))); };
    c.fill(border, [trim](vec2 p) { return shade(trim, 1.2f - 0.5f * p.y); });
    c.fill([](vec2 p) { return std::fabs(sdf::box(p, vec2(0.5f), vec2(0.4f))) - 0.008f; }, solid(rgb(0x000000, 0.6f)));
    for (const vec2 rivet : {vec2(0.05f), vec2(0.95f, 0.05f), vec2(0.05f, 0.95f), vec2(0.95f), vec2(0.5f, 0.05f),
                             vec2(0.5f, 0.95f), vec2(0.05f, 0.5f), vec2(0.95f, 0.5f)})
        c.fill([=](vec2 p) { return sdf::circle(p, rivet, 0.025f); },
               radial(rivet - vec2(0.01f), 0.035f, rgb(0xffffff), shade(trim, 0.5f)));
    const vec2 centre(0.5f);
    if (glow > 0.0f)
        c.glow([=](vec2 p) { return sdf::circle(p, centre, 0.09f); }, withAlpha(gem, glow), 0.14f, vec2(0.0f), vec2(1.0f));
    c.fill([=](vec2 p) { return sdf::box(p, centre, vec2(0.13f), 0.03f); }, [trim](vec2 p) { return shade(trim, 1.1f - 0.4f * p.y); });
    c.fill([=](vec2 p) { return sdf::polygon(p, {{0.5f, 0.4f}, {0.6f, 0.5f}, {0.5f, 0.6f}, {0.4f, 0.5f}}); },
           [=](vec2 p) { return (p.x < 0.5f) == (p.y < 0.5f) ? shade(gem, 1.4f) : shade(gem, 0.8f); });
    return c;
}

bool writeCrate(const AssetWriter& out, const char* path, const Canvas& c)
{
    return out.writePng(path, SIZE, SIZE, c.rgba8());
}

bool generateLootBoxes(const AssetWriter& out)
{
    const Color wood = rgb(0x8a5a2e);
    return writeCrate(out, "textures/lootbox.png", crate(wood, rgb(0x6a6a70), rgb(0xb0a080), 0.0f)) &&
           writeCrate(out, "textures/lootbox_normal.png", crate(wood, rgb(0x8a8e96), rgb(0xd0d0d0), 0.0f)) &&
           writeCrate(out, "textures/lootbox_magic.png", crate(rgb(0x6a4a34), rgb(0x3a6ae0), rgb(0x60a0ff), 0.7f)) &&
           writeCrate(out, "textures/lootbox_rare.png", crate(rgb(0x7a4a22), rgb(0xe0b030), rgb(0xffe040), 0.8f)) &&
           writeCrate(out, "textures/lootbox_epic.png", crate(rgb(0x3a2a3a), rgb(0xa040f0), rgb(0xe080ff), 1.0f));
}

} // namespace

REGISTER_GENERATOR("lootboxes", generateLootBoxes);
