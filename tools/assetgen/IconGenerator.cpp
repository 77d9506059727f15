// The item icon atlas: 16 x 16 cells of 64 pixels. Icon n sits in column
// (n mod 16) - 1 (column 15 when n mod 16 is 0) and in row n div 16 counted
// from the bottom of the picture, as the inventory window reads it. Icons
// 1 to 4 are the quality frames drawn under every item.
#include <cmath>
#include <vector>

#include "Canvas.h"
#include "Generator.h"
#include "Noise.h"

namespace {

constexpr int CELL = 64;
constexpr int ATLAS = CELL * 16;
constexpr float PI = 3.14159265f;

using glm::vec2;

const Color OUTLINE = rgb(0x15100c);
const Color STEEL = rgb(0xc9d2dc);
const Color DARK_STEEL = rgb(0x5a6470);
const Color GOLD = rgb(0xe8b93a);
const Color BRONZE = rgb(0xb87333);
const Color WOOD = rgb(0x7a4a24);
const Color LEATHER = rgb(0x5c3a1e);
const Color RUBY = rgb(0xd0203a);
const Color SAPPHIRE = rgb(0x2a6ae0);
const Color EMERALD = rgb(0x1fae5a);
const Color AMETHYST = rgb(0x9a3ad8);

// Icons keep the outermost pixel ring of their cell clear, so that the
// linear filtering of the inventory window never pulls in a neighbour.
const vec2 CLIP_LO(1.0f / CELL);
const vec2 CLIP_HI(1.0f - 1.0f / CELL);

// Top-left pixel of icon n's cell in the picture.
vec2 cellCorner(int n)
{
    const int column = n % 16 == 0 ? 15 : n % 16 - 1;
    const int rowFromBottom = n / 16;
    return vec2(column * CELL, (15 - rowFromBottom) * CELL);
}

// Draws into one cell in units of the cell (0..1, y down). Weapons are
// designed upright (tip at the top) and tilted 45 degrees by the pen.
class Pen {
public:
    Pen(Canvas& canvas, int icon) : c(canvas) { c.setFrame(cellCorner(icon), static_cast<float>(CELL)); }
    ~Pen() { c.resetFrame(); }

    void tilt(float radians) { angle = radians; }
    void shape(const Sdf& s, const Paint& p, float outline = 0.028f)
    {
        const auto rot = [this](vec2 q) { return turn(q); };
        const Sdf turned = [&](vec2 q) { return s(rot(q)); };
        const Paint painted = [&](vec2 q) { return p(rot(q)); };
        if (outline > 0.0f)
            c.fillOutlined(turned, painted, OUTLINE, outline, CLIP_LO, CLIP_HI);
        else
            c.fill(turned, painted, CLIP_LO, CLIP_HI);
    }
    void glow(const Sdf& s, const Color& colour, float radius)
    {
        c.glow([&](vec2 q) { return s(turn(q)); }, colour, radius, CLIP_LO, CLIP_HI);
    }

private:
    vec2 turn(vec2 q) const
    {
        const vec2 d = q - vec2(0.5f);
        const float cs = std::cos(angle), sn = std::sin(angle);
        return vec2(0.5f) + vec2(cs * d.x - sn * d.y, sn * d.x + cs * d.y);
    }

    Canvas& c;
    float angle = 0.0f;
};

// Bevelled metal: lit left of the ridge line x = ridge, shadowed right of it.
Paint metal(const Color& base, float ridge = 0.5f)
{
    return [=](vec2 p) {
        const float side = p.x < ridge ? 1.15f : 0.78f;
        return shade(base, side * (1.05f - 0.25f * p.y));
    };
}

Paint rounded(const Color& base, vec2 centre, float radius)
{
    return [=](vec2 p) {
        const float d = glm::length(p - (centre - vec2(radius * 0.35f))) / (radius * 1.6f);
        return mix(shade(base, 1.35f), shade(base, 0.6f), d);
    };
}

Sdf circleAt(vec2 c, float r)
{
    return [=](vec2 p) { return sdf::circle(p, c, r); };
}

Sdf boxAt(vec2 c, vec2 half, float radius = 0.0f)
{
    return [=](vec2 p) { return sdf::box(p, c, half, radius); };
}

Sdf poly(std::vector<vec2> points)
{
    return [points](vec2 p) { return sdf::polygon(p, points); };
}

void gem(Pen& pen, vec2 c, float r, const Color& colour)
{
    pen.shape(circleAt(c, r), rounded(colour, c, r), 0.018f);
    pen.shape(circleAt(c - vec2(r * 0.35f), r * 0.3f), solid(Color{1, 1, 1, 0.8f}), 0.0f);
}

// ---- Blades ------------------------------------------------------------

struct Blade {
    float base = 0.62f;      // y where the blade leaves the guard
    float tip = 0.0f;        // y of the point
    float width = 0.07f;     // half width at the guard
    float taper = 0.3f;      // share of the width lost towards the point
    float curve = 0.0f;      // sideways bend of the point
    float point = 0.18f;     // length of the pointed end
    float wave = 0.0f;       // wavy edges (a kris)
    Color colour = STEEL;
    bool fuller = true;      // the groove down the middle
};

vec2 bladeCentre(const Blade& b, float t)
{
    return vec2(0.5f + b.curve * t * t, b.base + (b.tip - b.base) * t);
}

std::vector<vec2> bladeOutline(const Blade& b)
{
    const int steps = 24;
    std::vector<vec2> left, right;
    const float length = b.base - b.tip;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const vec2 c = bladeCentre(b, t);
        const vec2 ahead = bladeCentre(b, std::min(1.0f, t + 0.01f)) - bladeCentre(b, std::max(0.0f, t - 0.01f));
        const vec2 n = glm::normalize(vec2(-ahead.y, ahead.x));
        const float fromTip = (1.0f - t) * length;
        float w = b.width * (1.0f - b.taper * t);
        if (fromTip < b.point)
            w *= fromTip / b.point;
        w *= 1.0f + b.wave * std::sin(t * 18.0f);
        left.push_back(c - n * w);
        right.push_back(c + n * w);
    }
    std::vector<vec2> points(left.begin(), left.end());
    points.insert(points.end(), right.rbegin(), right.rend());
    return points;
}

void drawBlade(Pen& pen, const Blade& b)
{
    pen.shape(poly(bladeOutline(b)), [b](vec2 p) {
        const float t = (b.base - p.y) / (b.base - b.tip);
        const float ridge = bladeCentre(b, std::max(0.0f, std::min(1.0f, t))).x;
        return metal(b.colour, ridge)(p);
    });
    if (b.fuller) {
        Blade groove = b;
        groove.width *= 0.2f;
        groove.base -= 0.02f;
        groove.tip = b.tip + (b.base - b.tip) * 0.35f;
        groove.point = 0.05f;
        pen.shape(poly(bladeOutline(groove)), solid(shade(b.colour, 0.6f)), 0.0f);
    }
}

struct Hilt {
    float guardY = 0.64f;
    float guardHalf = 0.16f;
    float guardDroop = 0.0f;  // the guard's arms bend down (+) or up (-)
    Color guard = DARK_STEEL;
    float gripLength = 0.2f;
    Color grip = LEATHER;
    Color pommel = DARK_STEEL;
    Color jewel = Color{};     // alpha 0: no jewel
};

void drawHilt(Pen& pen, const Hilt& h)
{
    const float top = h.guardY + 0.03f;
    pen.shape(boxAt(vec2(0.5f, top + h.gripLength * 0.5f), vec2(0.028f, h.gripLength * 0.5f), 0.01f),
              [h](vec2 p) { return shade(h.grip, std::fmod(p.y * 40.0f, 1.0f) < 0.5f ? 1.0f : 0.75f); });
    const vec2 l(0.5f - h.guardHalf, h.guardY + h.guardDroop), r(0.5f + h.guardHalf, h.guardY + h.guardDroop);
    const vec2 m(0.5f, h.guardY);
    pen.shape([=](vec2 p) { return std::min(sdf::segment(p, l, m, 0.026f), sdf::segment(p, m, r, 0.026f)); },
              metal(h.guard));
    const vec2 pommel(0.5f, top + h.gripLength + 0.03f);
    pen.shape(circleAt(pommel, 0.042f), rounded(h.pommel, pommel, 0.042f));
    if (h.jewel.a > 0.0f)
        gem(pen, m, 0.03f, h.jewel);
}

void sword(Canvas& atlas, int icon, const Blade& b, const Hilt& h)
{
    Pen pen(atlas, icon);
    pen.tilt(PI / 4.0f);
    drawBlade(pen, b);
    drawHilt(pen, h);
}

// ---- Hafted weapons ------------------------------------------------------

void haft(Pen& pen, float top, float bottom, float radius, const Color& colour)
{
    pen.shape([=](vec2 p) { return sdf::segment(p, vec2(0.5f, top), vec2(0.5f, bottom), radius); },
              [=](vec2 p) { return shade(colour, p.x < 0.49f ? 1.15f : 0.8f); });
}

void band(Pen& pen, float y, float radius, const Color& colour)
{
    pen.shape(boxAt(vec2(0.5f, y), vec2(radius, 0.018f), 0.008f), metal(colour));
}

// An axe bit on the right of the haft (and on the left too when 'doubled').
void axeHead(Pen& pen, float y, float size, bool doubled, bool bearded, const Color& colour)
{
    const auto bit = [=](float side) {
        std::vector<vec2> pts = {{0.5f, y - 0.05f * size},
                                 {0.5f + side * 0.16f * size, y - 0.06f * size},
                                 {0.5f + side * 0.3f * size, y - 0.19f * size},
                                 {0.5f + side * 0.34f * size, y + (bearded ? 0.16f : 0.06f) * size},
                                 {0.5f + side * 0.3f * size, y + (bearded ? 0.26f : 0.15f) * size},
                                 {0.5f + side * 0.16f * size, y + 0.07f * size},
                                 {0.5f, y + 0.06f * size}};
        return pts;
    };
    pen.shape(poly(bit(1.0f)), [=](vec2 p) { return shade(colour, 1.2f - 1.4f * (p.x - 0.5f)); });
    if (doubled)
        pen.shape(poly(bit(-1.0f)), [=](vec2 p) { return shade(colour, 1.2f - 1.4f * (0.5f - p.x)); });
}

void axe(Canvas& atlas, int icon, float size, bool doubled, bool bearded, bool spike, float haftTop,
         const Color& head, const Color& wood)
{
    Pen pen(atlas, icon);
    pen.tilt(PI / 4.0f);
    haft(pen, haftTop, 1.05f, 0.03f, wood);
    if (spike)
        pen.shape(poly({{0.5f, haftTop - 0.22f}, {0.53f, haftTop}, {0.47f, haftTop}}), metal(head));
    axeHead(pen, haftTop + 0.12f, size, doubled, bearded, head);
    band(pen, haftTop + 0.12f, 0.04f, DARK_STEEL);
    band(pen, 0.95f, 0.036f, DARK_STEEL);
}

struct Spear {
    float shaftTop = 0.24f;
    float headHalf = 0.06f;
    float headLength = 0.3f;
    Color head = STEEL;
    Color shaft = WOOD;
    int kind = 0;  // 0 leaf, 1 trident, 2 harpoon, 3 spike, 4 partisan, 5 winged, 6 glaive, 7 tasselled pike
};

void spear(Canvas& atlas, int icon, const Spear& s)
{
    Pen pen(atlas, icon);
    pen.tilt(PI / 4.0f);
    const float y = s.shaftTop;
    haft(pen, y, 1.12f, 0.026f, s.shaft);
    const float top = y - s.headLength;
    switch (s.kind) {
    case 1:
        for (float x : {0.38f, 0.5f, 0.62f}) {
            const float t = x == 0.5f ? top : top + 0.06f;
            pen.shape(poly({{x, t}, {x + 0.03f, t + 0.08f}, {x + 0.018f, y}, {x - 0.018f, y}, {x - 0.03f, t + 0.08f}}),
                      metal(s.head, x));
        }
        pen.shape(boxAt(vec2(0.5f, y), vec2(0.14f, 0.022f), 0.01f), metal(s.head));
        return;
    case 2:
        pen.shape(poly({{0.5f, top}, {0.56f, top + 0.12f}, {0.62f, top + 0.2f}, {0.53f, top + 0.16f},
                        {0.53f, y}, {0.47f, y}, {0.47f, top + 0.16f}, {0.38f, top + 0.2f}, {0.44f, top + 0.12f}}),
                  metal(s.head));
        break;
    case 3:
        pen.shape(poly({{0.5f, top - 0.1f}, {0.54f, y}, {0.46f, y}}), metal(s.head));
        break;
    case 4:
        pen.shape(poly({{0.5f, top}, {0.57f, top + 0.14f}, {0.56f, y - 0.08f}, {0.66f, y - 0.1f}, {0.6f, y},
                        {0.4f, y}, {0.34f, y - 0.1f}, {0.44f, y - 0.08f}, {0.43f, top + 0.14f}}),
                  metal(s.head));
        break;
    case 6:
        pen.shape(poly({{0.47f, y}, {0.47f, top + 0.1f}, {0.58f, top - 0.04f}, {0.6f, top + 0.1f}, {0.55f, y}}),
                  metal(s.head, 0.53f));
        break;
    default: {
        Blade leaf;
        leaf.base = y;
        leaf.tip = top;
        leaf.width = s.headHalf;
        leaf.taper = -0.4f;
        leaf.point = s.headLength * 0.6f;
        leaf.colour = s.head;
        leaf.fuller = false;
        drawBlade(pen, leaf);
        if (s.kind == 5)
            pen.shape(poly({{0.5f, y - 0.03f}, {0.65f, y - 0.09f}, {0.6f, y + 0.02f}, {0.4f, y + 0.02f},
                            {0.35f, y - 0.09f}}),
                      metal(s.head));
        if (s.kind == 7)
            pen.shape([=](vec2 p) { return sdf::taper(p, vec2(0.5f, y + 0.03f), vec2(0.5f, y + 0.16f), 0.02f, 0.05f); },
                      [](vec2 p) { return shade(RUBY, std::fmod(p.x * 60.0f, 1.0f) < 0.5f ? 1.0f : 0.7f); });
    }
    }
    band(pen, y + 0.01f, 0.034f, DARK_STEEL);
}

struct Mace {
    int kind = 0;  // 0 flanged, 1 ball, 2 club, 3 morningstar, 4 studded club, 5 baton, 6 hammer
    Color head = DARK_STEEL;
    Color handle = WOOD;
};

void mace(Canvas& atlas, int icon, const Mace& m)
{
    Pen pen(atlas, icon);
    pen.tilt(PI / 4.0f);
    const vec2 c(0.5f, 0.3f);
    switch (m.kind) {
    case 2:
    case 4:
        pen.shape([](vec2 p) { return sdf::taper(p, vec2(0.5f, 0.95f), vec2(0.5f, 0.2f), 0.035f, 0.11f); },
                  [m](vec2 p) {
                      const float grain = noise::fbm(vec2(p.x * 20.0f, p.y * 4.0f), 3, 0, 7);
                      return shade(m.handle, (p.x < 0.5f ? 1.1f : 0.8f) + 0.2f * grain);
                  });
        if (m.kind == 4)
            for (int i = 0; i < 5; ++i) {
                const vec2 s(0.44f + 0.06f * (i % 3), 0.2f + 0.08f * i);
                pen.shape(circleAt(s, 0.02f), rounded(STEEL, s, 0.02f), 0.012f);
            }
        band(pen, 0.85f, 0.04f, LEATHER);
        return;
    case 5:
        pen.shape(boxAt(vec2(0.5f, 0.55f), vec2(0.035f, 0.42f), 0.03f), metal(m.head));
        for (float y : {0.2f, 0.35f, 0.75f, 0.9f})
            band(pen, y, 0.045f, GOLD);
        return;
    case 6:
        haft(pen, 0.2f, 1.05f, 0.028f, m.handle);
        pen.shape(boxAt(vec2(0.5f, 0.25f), vec2(0.2f, 0.085f), 0.02f), metal(m.head, 0.5f));
        pen.shape(boxAt(vec2(0.5f, 0.25f), vec2(0.16f, 0.02f), 0.0f), solid(shade(m.head, 0.6f)), 0.0f);
        band(pen, 0.95f, 0.036f, LEATHER);
        return;
    default:
        break;
    }
    haft(pen, 0.35f, 1.02f, 0.026f, m.handle);
    band(pen, 0.92f, 0.036f, LEATHER);
    if (m.kind == 0) {
        for (int i = 0; i < 6; ++i) {
            const float a = i * PI / 3.0f;
            const vec2 d(std::cos(a), std::sin(a) * 0.45f);
            pen.shape([=](vec2 p) { return sdf::taper(p, c, c + d * 0.15f, 0.05f, 0.02f); }, metal(m.head));
        }
        pen.shape(circleAt(c, 0.07f), rounded(m.head, c, 0.07f));
        return;
    }
    if (m.kind == 3)
        for (int i = 0; i < 10; ++i) {
            const float a = i * PI / 5.0f;
            const vec2 d(std::cos(a), std::sin(a));
            pen.shape(poly({c + d * 0.2f, c + d * 0.1f + vec2(d.y, -d.x) * 0.04f, c + d * 0.1f - vec2(d.y, -d.x) * 0.04f}),
                      metal(STEEL));
        }
    pen.shape(circleAt(c, m.kind == 3 ? 0.12f : 0.13f), rounded(m.head, c, 0.13f));
    if (m.kind == 1)
        for (int i = 0; i < 4; ++i) {
            const vec2 s = c + vec2(std::cos(i * PI / 2 + 0.4f), std::sin(i * PI / 2 + 0.4f)) * 0.08f;
            pen.shape(circleAt(s, 0.018f), rounded(STEEL, s, 0.018f), 0.01f);
        }
}

void drawWeapons(Canvas& atlas)
{
    const Hilt plain;
    Hilt gold = plain;
    gold.guard = GOLD;
    gold.pommel = GOLD;
    Hilt royal = gold;
    royal.jewel = RUBY;
    royal.grip = rgb(0x6b1020);
    Hilt bluegem = plain;
    bluegem.jewel = SAPPHIRE;
    bluegem.guardDroop = -0.05f;
    Hilt bronze = plain;
    bronze.guard = BRONZE;
    bronze.pommel = BRONZE;
    bronze.guardHalf = 0.1f;
    Hilt droop = plain;
    droop.guardDroop = 0.07f;
    droop.guardHalf = 0.18f;
    droop.gripLength = 0.26f;
    droop.guardY = 0.6f;
    Hilt dagger = plain;
    dagger.guardHalf = 0.11f;
    dagger.guardY = 0.58f;
    dagger.gripLength = 0.16f;

    Blade sword;
    sword.base = 0.64f;
    sword.tip = -0.08f;
    Blade wide = sword;
    wide.width = 0.1f;
    Blade curved = sword;
    curved.curve = 0.2f;
    curved.width = 0.075f;
    curved.taper = -0.1f;
    curved.point = 0.24f;
    curved.fuller = false;
    Blade knife = sword;
    knife.base = 0.58f;
    knife.tip = 0.16f;
    knife.width = 0.06f;
    knife.point = 0.14f;

    // Straight swords.
    ::sword(atlas, 161, sword, plain);
    Blade b = sword;
    b.colour = rgb(0xdfe6ee);
    ::sword(atlas, 163, b, bluegem);
    b = wide;
    b.tip = -0.14f;
    b.base = 0.6f;
    ::sword(atlas, 179, b, droop);
    ::sword(atlas, 181, sword, royal);
    b = wide;
    b.width = 0.11f;
    b.tip = -0.16f;
    b.base = 0.6f;
    b.colour = rgb(0xb8c8e0);
    Hilt zwei = droop;
    zwei.jewel = SAPPHIRE;
    zwei.guard = GOLD;
    ::sword(atlas, 191, b, zwei);
    b = wide;
    b.tip = 0.1f;
    b.colour = rgb(0xd8a060);
    ::sword(atlas, 172, b, bronze);
    b = sword;
    b.colour = rgb(0xff7a30);
    {
        Pen pen(atlas, 173);
        pen.tilt(PI / 4.0f);
        pen.glow(poly(bladeOutline(b)), rgb(0xff4010, 0.9f), 0.08f);
    }
    ::sword(atlas, 173, b, gold);
    b = sword;
    b.colour = rgb(0x40444c);
    Hilt rune = plain;
    rune.jewel = rgb(0x30e0f0);
    {
        Pen pen(atlas, 174);
        pen.tilt(PI / 4.0f);
        pen.glow(poly(bladeOutline(b)), rgb(0x30d0ff, 0.7f), 0.06f);
    }
    ::sword(atlas, 174, b, rune);
    b = wide;
    b.width = 0.12f;
    b.taper = 0.1f;
    b.tip = -0.15f;
    ::sword(atlas, 175, b, droop);
    b = sword;
    b.colour = rgb(0xfff4d0);
    {
        Pen pen(atlas, 176);
        pen.tilt(PI / 4.0f);
        pen.glow(poly(bladeOutline(b)), rgb(0xfff0a0, 0.8f), 0.08f);
    }
    Hilt holy = gold;
    holy.jewel = rgb(0xffffff);
    ::sword(atlas, 176, b, holy);

    // Curved swords.
    Hilt basket = gold;
    basket.guardHalf = 0.1f;
    ::sword(atlas, 177, curved, basket);
    b = curved;
    b.curve = 0.32f;
    b.taper = -0.5f;
    b.width = 0.06f;
    ::sword(atlas, 178, b, bronze);
    b = curved;
    b.curve = 0.12f;
    b.width = 0.085f;
    ::sword(atlas, 180, b, plain);
    b = curved;
    b.curve = 0.08f;
    b.taper = -0.45f;
    b.point = 0.3f;
    b.width = 0.07f;
    ::sword(atlas, 192, b, bronze);

    // Cleavers.
    {
        Pen pen(atlas, 162);
        pen.tilt(PI / 4.0f);
        pen.shape(poly({{0.42f, 0.62f}, {0.42f, 0.08f}, {0.66f, 0.02f}, {0.7f, 0.62f}}), metal(STEEL, 0.56f));
        pen.shape(circleAt(vec2(0.6f, 0.12f), 0.03f), solid(Color{0, 0, 0, 0.9f}), 0.0f);
        drawHilt(pen, dagger);
    }

    // Daggers.
    ::sword(atlas, 184, knife, dagger);
    Hilt goldDagger = dagger;
    goldDagger.guard = GOLD;
    goldDagger.jewel = EMERALD;
    b = knife;
    b.colour = rgb(0xe0e4ea);
    ::sword(atlas, 185, b, goldDagger);
    b = knife;
    b.curve = 0.12f;
    b.fuller = false;
    ::sword(atlas, 186, b, bronze);
    b = knife;
    b.colour = rgb(0xe8dcc0);
    b.fuller = false;
    Hilt bone = dagger;
    bone.guard = rgb(0xcbbd9a);
    bone.pommel = rgb(0xcbbd9a);
    bone.grip = rgb(0x4a3a2a);
    ::sword(atlas, 187, b, bone);
    b = knife;
    b.width = 0.025f;
    b.tip = 0.06f;
    b.fuller = false;
    b.point = 0.3f;
    ::sword(atlas, 188, b, dagger);
    b = knife;
    b.wave = 0.25f;
    b.width = 0.07f;
    ::sword(atlas, 189, b, dagger);
    b = knife;
    b.colour = rgb(0x34303a);
    b.width = 0.07f;
    Hilt dark = dagger;
    dark.jewel = RUBY;
    dark.guard = rgb(0x302830);
    ::sword(atlas, 190, b, dark);
    b = knife;
    b.wave = 0.35f;
    b.taper = 0.5f;
    ::sword(atlas, 182, b, goldDagger);
    b = knife;
    b.width = 0.09f;
    b.taper = 0.5f;
    ::sword(atlas, 183, b, bronze);

    // Axes.
    axe(atlas, 197, 1.0f, false, false, false, 0.18f, STEEL, WOOD);
    axe(atlas, 198, 1.3f, false, true, false, 0.14f, rgb(0xa8b0b8), rgb(0x4a3020));
    axe(atlas, 194, 1.0f, true, false, false, 0.16f, STEEL, rgb(0x5a3a20));
    axe(atlas, 193, 0.9f, false, false, true, 0.28f, STEEL, rgb(0x6a4a2a));
    axe(atlas, 196, 0.8f, true, true, true, 0.3f, DARK_STEEL, WOOD);
    axe(atlas, 199, 1.1f, false, true, false, 0.18f, BRONZE, WOOD);

    // Spears.
    Spear s;
    spear(atlas, 164, s);
    s.kind = 1;
    s.head = BRONZE;
    spear(atlas, 165, s);
    s = Spear();
    s.kind = 2;
    spear(atlas, 166, s);
    s = Spear();
    s.kind = 3;
    s.shaft = DARK_STEEL;
    s.head = rgb(0x9aa4b0);
    spear(atlas, 167, s);
    s = Spear();
    s.kind = 4;
    s.head = rgb(0xd6dce4);
    spear(atlas, 168, s);
    s = Spear();
    s.kind = 7;
    s.headHalf = 0.045f;
    spear(atlas, 169, s);
    s = Spear();
    s.kind = 5;
    s.head = DARK_STEEL;
    s.shaft = rgb(0x3a2a1a);
    spear(atlas, 170, s);
    s = Spear();
    s.kind = 6;
    s.head = rgb(0xc0c8d0);
    s.shaft = rgb(0x6a1a1a);
    spear(atlas, 171, s);

    // Maces and hammers.
    Mace m;
    mace(atlas, 195, m);
    m.kind = 6;
    mace(atlas, 200, m);
    m = Mace();
    m.kind = 1;
    m.head = rgb(0x4a4e56);
    mace(atlas, 201, m);
    m = Mace();
    m.kind = 2;
    m.handle = rgb(0x8a5a30);
    mace(atlas, 202, m);
    m = Mace();
    m.kind = 3;
    m.head = rgb(0x3a3e46);
    mace(atlas, 203, m);
    m = Mace();
    m.kind = 4;
    m.handle = rgb(0x6a4020);
    mace(atlas, 204, m);
    m = Mace();
    m.kind = 5;
    m.head = rgb(0x2a2a30);
    mace(atlas, 205, m);
}

// ---- Armour ----------------------------------------------------------------

// Body armour, seen from the front: 0 plate, 1 leather vest, 2 chainmail,
// 3 scale, 4 robe.
void armour(Canvas& atlas, int icon, int kind, const Color& colour, const Color& trim)
{
    Pen pen(atlas, icon);
    const bool robe = kind == 4;
    const float hem = robe ? 0.95f : 0.82f;
    const Sdf body = poly({{0.3f, 0.12f}, {0.42f, 0.1f}, {0.5f, 0.2f}, {0.58f, 0.1f}, {0.7f, 0.12f},
                           {0.92f, 0.26f}, {0.86f, 0.5f}, {0.74f, 0.44f}, {robe ? 0.82f : 0.74f, hem},
                           {robe ? 0.18f : 0.26f, hem}, {0.26f, 0.44f}, {0.14f, 0.5f}, {0.08f, 0.26f}});
    pen.shape(body, [=](vec2 p) {
        float f = 1.2f - 0.5f * std::fabs(p.x - 0.45f) - 0.3f * p.y;
        if (kind == 2)
            f *= (std::fmod(p.x * 30.0f + (std::fmod(p.y * 30.0f, 2.0f) < 1.0f ? 0.5f : 0.0f), 1.0f) < 0.6f) ? 1.0f : 0.6f;
        if (kind == 3) {
            const float row = std::floor(p.y * 16.0f);
            const float col = std::fmod(p.x * 12.0f + row * 0.5f, 1.0f);
            const float v = std::fmod(p.y * 16.0f, 1.0f);
            f *= 0.7f + 0.5f * (1.0f - v) * (1.0f - std::fabs(col - 0.5f) * 1.5f);
        }
        if (kind == 1)
            f *= 0.9f + 0.15f * noise::fbm(p * 20.0f, 3, 0, 3);
        if (robe)
            f *= 0.85f + 0.25f * std::sin(p.x * 40.0f + p.y * 4.0f) * p.y;
        return shade(colour, f);
    });
    // Trim: collar, belt or breast line.
    if (kind == 0) {
        pen.shape([](vec2 p) { return sdf::segment(p, vec2(0.5f, 0.22f), vec2(0.5f, 0.78f), 0.006f); },
                  solid(shade(colour, 0.5f)), 0.0f);
        pen.shape([](vec2 p) { return sdf::arc(p, vec2(0.5f, 0.05f), 0.42f, 0.012f, 1.0f, 2.14f); },
                  solid(trim), 0.0f);
        pen.shape(boxAt(vec2(0.5f, 0.64f), vec2(0.24f, 0.03f)), metal(trim), 0.015f);
    } else if (kind == 1) {
        for (float y : {0.35f, 0.5f, 0.65f})
            pen.shape(boxAt(vec2(0.5f, y), vec2(0.06f, 0.012f), 0.01f), solid(trim), 0.01f);
    } else if (robe) {
        pen.shape(boxAt(vec2(0.5f, 0.55f), vec2(0.2f, 0.03f)), solid(trim), 0.012f);
        pen.shape(poly({{0.45f, 0.2f}, {0.55f, 0.2f}, {0.52f, 0.94f}, {0.48f, 0.94f}}), solid(trim), 0.0f);
    } else {
        pen.shape(boxAt(vec2(0.5f, 0.7f), vec2(0.24f, 0.03f)), solid(trim), 0.012f);
    }
}

// Head gear: 0 great helm, 1 wizard hat, 2 cap, 3 visored helm, 4 horned helm, 5 winged crown helm.
void headgear(Canvas& atlas, int icon, int kind, const Color& colour, const Color& trim)
{
    Pen pen(atlas, icon);
    if (kind == 1) {
        pen.shape(poly({{0.5f, 0.06f}, {0.7f, 0.58f}, {0.3f, 0.58f}}), metal(colour, 0.52f));
        pen.shape([](vec2 p) { return sdf::ellipse(p, vec2(0.5f, 0.66f), vec2(0.4f, 0.1f)); },
                  rounded(colour, vec2(0.5f, 0.66f), 0.3f));
        pen.shape(boxAt(vec2(0.5f, 0.56f), vec2(0.2f, 0.035f)), solid(trim), 0.012f);
        gem(pen, vec2(0.5f, 0.56f), 0.03f, GOLD);
        return;
    }
    if (kind == 2) {
        pen.shape([](vec2 p) { return sdf::intersect(sdf::circle(p, vec2(0.5f, 0.62f), 0.32f), p.y - 0.62f); },
                  rounded(colour, vec2(0.5f, 0.45f), 0.3f));
        pen.shape([](vec2 p) { return sdf::ellipse(p, vec2(0.5f, 0.64f), vec2(0.38f, 0.07f)); },
                  solid(trim));
        pen.shape([](vec2 p) { return sdf::segment(p, vec2(0.5f, 0.32f), vec2(0.5f, 0.6f), 0.008f); },
                  solid(shade(colour, 0.6f)), 0.0f);
        return;
    }
    if (kind == 4)
        for (float side : {-1.0f, 1.0f})
            pen.shape([=](vec2 p) {
                return sdf::taper(p, vec2(0.5f + side * 0.28f, 0.45f), vec2(0.5f + side * 0.42f, 0.12f), 0.07f, 0.01f);
            }, [](vec2 p) { return shade(rgb(0xe8dcc0), 1.2f - p.y); });
    if (kind == 5)
        for (float side : {-1.0f, 1.0f})
            pen.shape(poly({{0.5f + side * 0.26f, 0.5f}, {0.5f + side * 0.46f, 0.15f},
                            {0.5f + side * 0.4f, 0.3f}, {0.5f + side * 0.47f, 0.32f}, {0.5f + side * 0.32f, 0.58f}}),
                      solid(rgb(0xf0f0f0)));
    const Sdf dome = [](vec2 p) {
        return sdf::unite(sdf::intersect(sdf::circle(p, vec2(0.5f, 0.48f), 0.3f), p.y - 0.9f),
                          sdf::box(p, vec2(0.5f, 0.66f), vec2(0.3f, 0.2f), 0.04f));
    };
    pen.shape(dome, metal(colour, 0.47f));
    if (kind == 0 || kind == 3 || kind == 4) {
        pen.shape(boxAt(vec2(0.5f, 0.55f), vec2(0.22f, 0.025f), 0.01f), solid(rgb(0x08080a)), 0.0f);
        if (kind != 4)
            pen.shape(boxAt(vec2(0.5f, 0.7f), vec2(0.02f, 0.14f), 0.01f), solid(rgb(0x08080a)), 0.0f);
        for (int i = 0; i < 3; ++i) {
            const vec2 hole(0.36f + 0.05f * i, 0.72f);
            if (kind == 0)
                pen.shape(circleAt(hole, 0.012f), solid(rgb(0x08080a)), 0.0f);
        }
    }
    pen.shape([](vec2 p) { return sdf::segment(p, vec2(0.5f, 0.2f), vec2(0.5f, 0.5f), 0.02f); }, metal(trim), 0.012f);
    if (kind == 5) {
        pen.shape(poly({{0.26f, 0.34f}, {0.34f, 0.2f}, {0.42f, 0.3f}, {0.5f, 0.16f}, {0.58f, 0.3f}, {0.66f, 0.2f},
                        {0.74f, 0.34f}, {0.74f, 0.42f}, {0.26f, 0.42f}}),
                  metal(GOLD));
        gem(pen, vec2(0.5f, 0.37f), 0.03f, RUBY);
    }
}

void amulet(Canvas& atlas, int icon, const Color& chain, const Color& stone, int shape)
{
    Pen pen(atlas, icon);
    pen.shape([](vec2 p) { return sdf::arc(p, vec2(0.5f, 0.32f), 0.26f, 0.014f, -3.14159f, 0.0f); },
              [chain](vec2 p) { return shade(chain, std::fmod((p.x + p.y) * 50.0f, 1.0f) < 0.5f ? 1.2f : 0.7f); },
              0.014f);
    pen.shape([](vec2 p) { return sdf::arc(p, vec2(0.5f, 0.32f), 0.26f, 0.014f, 0.0f, 1.1f); }, solid(chain), 0.014f);
    pen.shape([](vec2 p) { return sdf::arc(p, vec2(0.5f, 0.32f), 0.26f, 0.014f, 2.04f, 3.14159f); }, solid(chain),
              0.014f);
    const vec2 c(0.5f, 0.66f);
    if (shape == 0)
        pen.shape(circleAt(c, 0.15f), rounded(chain, c, 0.15f));
    else if (shape == 1)
        pen.shape(poly({{0.5f, 0.46f}, {0.66f, 0.66f}, {0.5f, 0.88f}, {0.34f, 0.66f}}), metal(chain));
    else
        pen.shape(poly({{0.32f, 0.52f}, {0.68f, 0.52f}, {0.5f, 0.88f}}), metal(chain));
    gem(pen, shape == 2 ? vec2(0.5f, 0.63f) : c, 0.08f, stone);
}

void ring(Canvas& atlas, int icon, const Color& metalColour, const Color& stone)
{
    Pen pen(atlas, icon);
    const vec2 c(0.5f, 0.6f);
    pen.shape([c](vec2 p) { return std::fabs(sdf::ellipse(p, c, vec2(0.26f, 0.22f))) - 0.05f; },
              [=](vec2 p) { return shade(metalColour, 1.3f - 1.2f * (p.y - 0.38f)); });
    pen.shape(poly({{0.38f, 0.38f}, {0.62f, 0.38f}, {0.56f, 0.26f}, {0.44f, 0.26f}}), metal(metalColour));
    gem(pen, vec2(0.5f, 0.26f), 0.1f, stone);
}

void boots(Canvas& atlas, int icon)
{
    Pen pen(atlas, icon);
    for (float dx : {0.14f, -0.06f}) {
        const Sdf boot = poly({{0.3f + dx, 0.14f}, {0.52f + dx, 0.14f}, {0.52f + dx, 0.6f}, {0.76f + dx, 0.7f},
                               {0.8f + dx, 0.84f}, {0.3f + dx, 0.84f}});
        pen.shape(boot, [dx](vec2 p) { return shade(LEATHER, 1.25f - 0.6f * (p.x - 0.3f - dx) - 0.2f * p.y); });
        pen.shape(boxAt(vec2(0.41f + dx, 0.2f), vec2(0.13f, 0.05f), 0.02f), solid(rgb(0x3e2612)), 0.015f);
        pen.shape(boxAt(vec2(0.55f + dx, 0.86f), vec2(0.26f, 0.025f), 0.01f), solid(rgb(0x24160a)), 0.012f);
        pen.shape(boxAt(vec2(0.41f + dx, 0.55f), vec2(0.12f, 0.02f)), metal(GOLD), 0.01f);
    }
}

void shield(Canvas& atlas, int icon)
{
    Pen pen(atlas, icon);
    const Sdf outline = [](vec2 p) {
        const float top = sdf::box(p, vec2(0.5f, 0.34f), vec2(0.34f, 0.24f), 0.06f);
        const float point = sdf::polygon(p, {{0.16f, 0.4f}, {0.84f, 0.4f}, {0.5f, 0.95f}});
        return sdf::unite(top, point);
    };
    pen.shape(outline, metal(rgb(0xb0b8c4)));
    pen.shape([&](vec2 p) { return outline(p) + 0.05f; }, [](vec2 p) {
        return (p.x < 0.5f) == (p.y < 0.45f) ? rgb(0x1d4fa8) : rgb(0xc8a040);
    }, 0.0f);
    pen.shape([](vec2 p) { return sdf::unite(sdf::box(p, vec2(0.5f, 0.46f), vec2(0.035f, 0.3f)),
                                             sdf::box(p, vec2(0.5f, 0.4f), vec2(0.22f, 0.035f))); },
              metal(rgb(0xe0e4ea)), 0.015f);
}

void wand(Canvas& atlas, int icon)
{
    Pen pen(atlas, icon);
    pen.tilt(PI / 4.0f);
    haft(pen, 0.3f, 1.0f, 0.03f, rgb(0x4a2a4a));
    band(pen, 0.85f, 0.04f, GOLD);
    band(pen, 0.32f, 0.04f, GOLD);
    pen.glow(circleAt(vec2(0.5f, 0.2f), 0.07f), rgb(0x80e0ff, 0.9f), 0.14f);
    pen.shape(poly({{0.5f, 0.08f}, {0.57f, 0.2f}, {0.5f, 0.31f}, {0.43f, 0.2f}}), metal(rgb(0x90e8ff)));
}

void orb(Canvas& atlas, int icon)
{
    Pen pen(atlas, icon);
    const vec2 c(0.5f, 0.42f);
    pen.glow(circleAt(c, 0.26f), rgb(0xb060ff, 0.7f), 0.12f);
    pen.shape(circleAt(c, 0.26f), [c](vec2 p) {
        const float swirl = noise::fbm((p - c) * 6.0f, 3, 0, 13);
        return mix(mix(rgb(0xf0d0ff), rgb(0x5010a0), glm::length(p - c + vec2(0.08f)) / 0.34f), rgb(0xff80ff),
                   std::max(0.0f, swirl) * 0.6f);
    });
    pen.shape(circleAt(c - vec2(0.09f), 0.05f), solid(Color{1, 1, 1, 0.7f}), 0.0f);
    pen.shape(poly({{0.3f, 0.88f}, {0.7f, 0.88f}, {0.62f, 0.7f}, {0.38f, 0.7f}}), metal(GOLD));
}

// Quality frames: a dark tile with a glow and a rim in the quality's colour.
void frame(Canvas& atlas, int icon, const Color& colour)
{
    Pen pen(atlas, icon);
    const Sdf tile = boxAt(vec2(0.5f), vec2(0.47f), 0.08f);
    pen.shape(tile, [colour](vec2 p) {
        const float d = glm::length(p - vec2(0.5f)) / 0.7f;
        return mix(shade(colour, 0.45f), rgb(0x0c0c10), d);
    }, 0.0f);
    pen.shape([&](vec2 p) { return std::fabs(tile(p) + 0.03f) - 0.022f; },
              [colour](vec2 p) { return shade(colour, 1.25f - 0.5f * p.y); }, 0.0f);
}

bool generateIcons(const AssetWriter& out)
{
    Canvas atlas(ATLAS, ATLAS);
    frame(atlas, 1, rgb(0xb040ff));  // epic
    frame(atlas, 2, rgb(0xffc020));  // rare
    frame(atlas, 3, rgb(0x3a7aff));  // magic
    frame(atlas, 4, rgb(0x9a9a9a));  // normal
    boots(atlas, 129);
    shield(atlas, 145);
    wand(atlas, 146);
    orb(atlas, 147);
    drawWeapons(atlas);
    headgear(atlas, 209, 0, rgb(0xb8c0c8), rgb(0x8a929c));
    headgear(atlas, 210, 1, rgb(0x3040a0), GOLD);
    headgear(atlas, 211, 2, rgb(0x7a4a24), rgb(0x4a2a10));
    headgear(atlas, 212, 3, rgb(0x9aa4ae), GOLD);
    headgear(atlas, 213, 4, rgb(0x7a8088), BRONZE);
    headgear(atlas, 214, 5, rgb(0xd8dde4), GOLD);
    armour(atlas, 225, 4, rgb(0x2a4aa0), GOLD);
    armour(atlas, 226, 0, rgb(0xb8c0ca), rgb(0x6a5030));
    armour(atlas, 227, 1, rgb(0x8a5a30), rgb(0xd0b080));
    armour(atlas, 228, 0, rgb(0xe0b040), rgb(0x8a2020));
    armour(atlas, 229, 0, rgb(0x3c3c46), rgb(0xa02020));
    armour(atlas, 230, 2, rgb(0xa8b0b8), LEATHER);
    armour(atlas, 231, 3, BRONZE, LEATHER);
    armour(atlas, 232, 4, rgb(0x9a1c1c), GOLD);
    armour(atlas, 233, 4, rgb(0x1e6a3a), rgb(0xd0d0d0));
    armour(atlas, 234, 4, rgb(0x5a2080), rgb(0xf0e070));
    amulet(atlas, 241, GOLD, RUBY, 0);
    amulet(atlas, 242, rgb(0xd0d8e0), SAPPHIRE, 1);
    amulet(atlas, 243, GOLD, EMERALD, 2);
    ring(atlas, 244, GOLD, RUBY);
    ring(atlas, 245, rgb(0xd0d8e0), AMETHYST);
    return out.writePng("textures/itematlas.png", ATLAS, ATLAS, atlas.rgba8());
}

} // namespace

REGISTER_GENERATOR("icons", generateIcons);
