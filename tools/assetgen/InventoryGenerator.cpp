// The inventory window's background (1024 x 512) and the four information
// boxes by quality. The window draws only icons and numbers over these
// pictures, so the bag grid, the slot boxes and every label live here, at
// the places where the window puts its icons and numbers. Those places are
// given from the window's bottom-left corner, y up, as the window uses them.
#include <cmath>
#include <string>

#include "Canvas.h"
#include "Font.h"
#include "Generator.h"
#include "Noise.h"

namespace {

using glm::vec2;

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 512;
constexpr int SLOT = 42;
constexpr int BAG_X = 409;
constexpr int BAG_Y = 34;
constexpr int BAG_PITCH = 45;
constexpr int BAG_COLUMNS = 13;
constexpr int BAG_ROWS = 10;
// Numbers are drawn at scale 0.25 of the 54-pixel font: 13.5 pixels high.
constexpr float NUMBER_HEIGHT = 13.5f;

struct Slot {
    const char* label;
    int x, y;  // lower-left corner, y up
};
constexpr Slot SLOTS[] = {{"HEAD", 174, 425},   {"ARMOR", 174, 265}, {"WEAPON", 70, 227}, {"OFFHAND", 284, 226},
                          {"RING", 66, 363},    {"NECK", 287, 363},  {"FEET", 174, 179}};

struct Stat {
    const char* label;
    int x, y;  // where the window writes the number, y up
};
constexpr Stat STATS[] = {{"STRENGTH", 145, 125}, {"ARMOR", 350, 125},       {"HEALTH", 145, 80},
                          {"HEALTH REGEN", 350, 80}, {"POWER", 145, 35}, {"POWER REGEN", 350, 35}};

// Picture row of a y-up coordinate in a picture 'height' high.
float row(float yUp, int height)
{
    return height - yUp;
}

Paint parchment(int seed)
{
    return [seed](vec2 p) {
        const float n = noise::fbm(p / 60.0f, 4, 0, seed);
        return shade(rgb(0xd8c8a0), 0.9f + 0.12f * n);
    };
}

Paint leather(int seed)
{
    return [seed](vec2 p) {
        const float n = noise::fbm(p / 18.0f, 4, 0, seed);
        const float m = noise::fbm(p / 90.0f, 3, 0, seed + 1);
        return shade(rgb(0x3a2a1e), 0.85f + 0.15f * n + 0.15f * m);
    };
}

// A sunken box with a bevel: dark inside, light lower-right edge.
void inset(Canvas& c, float x, float y, float w, float h, const Color& inside)
{
    const vec2 centre(x + w * 0.5f, y + h * 0.5f), half(w * 0.5f, h * 0.5f);
    c.fill([=](vec2 p) { return sdf::box(p, centre + vec2(1.0f), half + vec2(1.5f), 3.0f); }, solid(rgb(0xe0c890, 0.5f)));
    c.fill([=](vec2 p) { return sdf::box(p, centre - vec2(1.0f), half + vec2(1.5f), 3.0f); }, solid(rgb(0x000000, 0.7f)));
    c.fill([=](vec2 p) { return sdf::box(p, centre, half, 3.0f); },
           [=](vec2 p) { return shade(inside, 0.7f + 0.5f * (p.y - y) / h); });
}

void ornateBorder(Canvas& c, float inset, float radius, const Color& gold)
{
    const vec2 centre(c.width() * 0.5f, c.height() * 0.5f);
    const vec2 half = centre - vec2(inset);
    c.fill([=](vec2 p) { return std::fabs(sdf::box(p, centre, half, radius)) - 2.5f; },
           [=](vec2 p) { return shade(gold, 1.2f - 0.5f * p.y / c.height()); });
    c.fill([=](vec2 p) { return std::fabs(sdf::box(p, centre, half - vec2(6.0f), std::max(0.0f, radius - 6.0f))) - 0.8f; },
           solid(withAlpha(gold, 0.7f)));
}

// The figure behind the equipment slots, so each slot sits where it is worn.
void silhouette(Canvas& c)
{
    const Color ghost = rgb(0xd8c8a0, 0.08f);
    const float cx = 195.0f;
    c.fill([=](vec2 p) { return sdf::circle(p, vec2(cx, row(446, HEIGHT)), 34.0f); }, solid(ghost));
    c.fill([=](vec2 p) { return sdf::box(p, vec2(cx, row(300, HEIGHT)), vec2(70.0f, 95.0f), 30.0f); }, solid(ghost));
    for (float side : {-1.0f, 1.0f}) {
        c.fill([=](vec2 p) { return sdf::segment(p, vec2(cx + side * 80.0f, row(370, HEIGHT)), vec2(cx + side * 104.0f, row(255, HEIGHT)), 16.0f); },
               solid(ghost));
        c.fill([=](vec2 p) { return sdf::segment(p, vec2(cx + side * 30.0f, row(215, HEIGHT)), vec2(cx + side * 32.0f, row(195, HEIGHT)), 20.0f); },
               solid(ghost));
    }
}

bool writeInventory(const AssetWriter& out, const Font& font)
{
    Canvas c(WIDTH, HEIGHT);
    const vec2 centre(WIDTH * 0.5f, HEIGHT * 0.5f);
    c.fill([=](vec2 p) { return sdf::box(p, centre, centre - vec2(1.0f), 18.0f); }, leather(3));
    ornateBorder(c, 5.0f, 16.0f, rgb(0xc8a050));
    // Equipment side: figure, slot boxes and their names.
    c.fill([](vec2 p) { return sdf::box(p, vec2(211.0f, row(330, HEIGHT)), vec2(190.0f, 162.0f), 10.0f); },
           solid(rgb(0x000000, 0.25f)));
    silhouette(c);
    font.draw(c, "EQUIPMENT", 200.0f, 36.0f, 14.0f, solid(rgb(0xe8cf8a)), 0.5f, 2.0f);
    for (const Slot& s : SLOTS) {
        const float top = row(static_cast<float>(s.y + SLOT), HEIGHT);
        // A gold ring sets each slot off from the dark panel.
        const vec2 centre(s.x + SLOT * 0.5f, top + SLOT * 0.5f);
        c.fill([=](vec2 p) { return std::fabs(sdf::box(p, centre, vec2(SLOT * 0.5f + 3.5f), 5.0f)) - 1.2f; },
               [=](vec2 p) { return shade(rgb(0xc8a050), 1.2f - 0.5f * (p.y - top) / SLOT); });
        inset(c, static_cast<float>(s.x), top, SLOT, SLOT, rgb(0x1c1612));
        font.draw(c, s.label, s.x + SLOT * 0.5f, top + SLOT + 16.0f, 8.0f, solid(rgb(0xc8b080)), 0.5f, 1.0f);
    }
    // Stats: a parchment panel, the name of each number left of it.
    c.fill([](vec2 p) { return sdf::box(p, vec2(211.0f, row(86, HEIGHT)), vec2(190.0f, 68.0f), 8.0f); }, parchment(5));
    c.fill([](vec2 p) { return std::fabs(sdf::box(p, vec2(211.0f, row(86, HEIGHT)), vec2(190.0f, 68.0f), 8.0f)) - 1.2f; },
           solid(rgb(0x6a4a20)));
    c.fill([](vec2 p) { return sdf::box(p, vec2(212.0f, row(86, HEIGHT)), vec2(0.8f, 60.0f)); }, solid(rgb(0x6a4a20, 0.5f)));
    for (const Stat& s : STATS) {
        const float baseline = row(static_cast<float>(s.y), HEIGHT) - 1.0f;
        font.draw(c, s.label, s.x - 8.0f, baseline, 9.0f, solid(rgb(0x3a2410)), 1.0f, 0.5f);
        c.fill([=](vec2 p) { return sdf::box(p, vec2(s.x + 24.0f, baseline + 2.5f), vec2(26.0f, 0.6f)); }, solid(rgb(0x6a4a20, 0.4f)));
    }
    // The bag: 13 x 10 cells on the 45-pixel pitch the window draws its icons at.
    font.draw(c, "BAG", BAG_X + BAG_COLUMNS * BAG_PITCH * 0.5f, 26.0f, 14.0f, solid(rgb(0xe8cf8a)), 0.5f, 2.0f);
    for (int r = 0; r < BAG_ROWS; ++r)
        for (int col = 0; col < BAG_COLUMNS; ++col)
            inset(c, static_cast<float>(BAG_X + BAG_PITCH * col), row(static_cast<float>(BAG_Y + BAG_PITCH * r + SLOT), HEIGHT),
                  SLOT, SLOT, rgb(0x221a14));
    return out.writePng("textures/inventory_background.png", WIDTH, HEIGHT, c.rgba8());
}

// The information box, drawn 250 x 250: the item's name in white on a band
// of the quality's colour at the top, seven numbers in black at x = 180.
constexpr int BOX = 250;
constexpr const char* BOX_LABELS[] = {"LEVEL", "STRENGTH", "ARMOR", "HEALTH", "HEALTH REGEN", "POWER", "POWER REGEN"};
constexpr float BOX_ROWS[] = {145.0f, 122.5f, 100.0f, 77.5f, 55.0f, 32.5f, 10.0f};

bool writeHoverBox(const AssetWriter& out, const Font& font, const char* path, const Color& quality)
{
    Canvas c(BOX, BOX);
    const vec2 centre(BOX * 0.5f);
    c.fill([=](vec2 p) { return sdf::box(p, centre, centre - vec2(1.0f), 10.0f); }, parchment(7));
    c.fill([=](vec2 p) { return sdf::intersect(sdf::box(p, centre, centre - vec2(1.0f), 10.0f), p.y - 80.0f); },
           [=](vec2 p) { return shade(quality, 0.75f - 0.3f * p.y / 80.0f); });
    c.fill([=](vec2 p) { return std::fabs(p.y - 80.0f) - 1.0f; }, solid(shade(quality, 1.2f)));
    c.fill([=](vec2 p) { return std::fabs(sdf::box(p, centre, centre - vec2(3.0f), 8.0f)) - 2.5f; },
           [=](vec2 p) { return shade(quality, 1.25f - 0.4f * p.y / BOX); });
    for (int i = 0; i < 7; ++i) {
        const float baseline = row(BOX_ROWS[i], BOX) - 1.0f;
        const float mid = baseline - NUMBER_HEIGHT * 0.5f;
        if (i % 2 == 0)
            c.fill([=](vec2 p) { return sdf::box(p, vec2(BOX * 0.5f, mid), vec2(BOX * 0.5f - 10.0f, 10.5f), 3.0f); },
                   solid(rgb(0x8a6a30, 0.15f)));
        font.draw(c, BOX_LABELS[i], 170.0f, mid + 4.5f, 9.0f, solid(rgb(0x3a2410)), 1.0f, 0.5f);
    }
    return out.writePng(path, BOX, BOX, c.rgba8());
}

bool generateInventory(const AssetWriter& out)
{
    Font font;
    if (!font.load(Font::SANS_BOLD_PATH))
        return false;
    return writeInventory(out, font) &&
           writeHoverBox(out, font, "textures/hoverbg_normal.png", rgb(0x8a8a8a)) &&
           writeHoverBox(out, font, "textures/hoverbg_magic.png", rgb(0x3a6ae0)) &&
           writeHoverBox(out, font, "textures/hoverbg_rare.png", rgb(0xd8a020)) &&
           writeHoverBox(out, font, "textures/hoverbg_epic.png", rgb(0xa040f0));
}

} // namespace

REGISTER_GENERATOR("inventory", generateInventory);
