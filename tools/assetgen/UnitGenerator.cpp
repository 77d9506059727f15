// Unit pictures. A body is one box whose picture is a 2 x 2 atlas: the
// front (+X, the way the unit looks) in the bottom-left quadrant, the sides
// (+Y and -Y, front edge on the quadrant's left) bottom-right, the back (-X,
// seen mirrored) top-right and the top (+Z, front edge at the quadrant's
// bottom) top-left. Each face is painted at its true proportions and then
// fitted into its quadrant. Arms are boxes that show the whole picture on
// every face: a tall sleeve with a hand at the bottom.
#include <cmath>
#include <functional>

#include "Canvas.h"
#include "Generator.h"
#include "Noise.h"

namespace {

using glm::vec2;

constexpr int BODY_SIZE = 512;
constexpr int QUAD = BODY_SIZE / 2;
constexpr int ARM_WIDTH = 128;
constexpr int ARM_HEIGHT = 384;

enum class Face { FRONT, SIDE, BACK, TOP };

// How a kind of unit looks. The face is drawn in local units: x 0..1 across,
// y 0..aspect down from the top of the box.
struct Look {
    float aspect = 1.5f;   // height / width of the box's upright faces
    float headShare = 0.5f;  // share of the height taken by the head
    Color skin = rgb(0xe0b088);
    Color hair = rgb(0x5a3418);
    Color cloth = rgb(0x2a4a9a);
    Color trim = rgb(0xd0a040);
    Color belt = rgb(0x4a2a14);
    Color legs = rgb(0x3a3028);
    Color eye = rgb(0x202028);
    bool glowingEyes = false;
    int hairStyle = 1;  // 0 bald, 1 short, 2 wild, 3 hood, 4 long
    int mouth = 0;      // 0 firm, 1 grin, 2 fangs, 3 stitched, 4 wail, 5 beard
    // Extra painting on top of the generic figure.
    std::function<void(Canvas&, Face, const Look&)> extra;
};

float headBottom(const Look& l)
{
    return l.aspect * l.headShare;
}

Paint cloth(const Color& c, float aspect)
{
    return [=](vec2 p) {
        const float folds = 0.06f * std::sin(p.x * 25.0f + 3.0f * noise::fbm(p * 4.0f, 2, 0, 5));
        return shade(c, 1.05f - 0.25f * p.y / aspect + folds);
    };
}

Paint skinPaint(const Color& c)
{
    return [=](vec2 p) { return shade(c, 1.1f - 0.15f * p.y + 0.05f * noise::fbm(p * 12.0f, 2, 0, 9)); };
}

void eyes(Canvas& c, const Look& l, float y, float spread, float size)
{
    for (float side : {-1.0f, 1.0f}) {
        const vec2 e(0.5f + side * spread, y);
        if (l.glowingEyes) {
            c.glow([=](vec2 p) { return sdf::circle(p, e, size * 0.7f); }, withAlpha(l.eye, 0.8f), size * 2.0f,
                   e - vec2(size * 3.0f), e + vec2(size * 3.0f));
            c.fill([=](vec2 p) { return sdf::ellipse(p, e, vec2(size, size * 0.6f)); },
                   radial(e, size, rgb(0xffffff), l.eye), e - vec2(size * 1.5f), e + vec2(size * 1.5f));
            continue;
        }
        c.fill([=](vec2 p) { return sdf::ellipse(p, e, vec2(size * 1.1f, size * 0.75f)); }, solid(rgb(0xf4f0ea)),
               e - vec2(2 * size), e + vec2(2 * size));
        c.fill([=](vec2 p) { return sdf::circle(p, e + vec2(0, size * 0.05f), size * 0.55f); }, solid(l.eye),
               e - vec2(size), e + vec2(size));
        c.fill([=](vec2 p) { return sdf::circle(p, e - vec2(size * 0.2f), size * 0.18f); }, solid(rgb(0xffffff)),
               e - vec2(size), e + vec2(size));
        // Brows give the face its mood.
        const vec2 b0 = e + vec2(-side * size * 1.2f, -size * 1.4f), b1 = e + vec2(side * size * 1.1f, -size * 1.1f);
        c.fill([=](vec2 p) { return sdf::segment(p, b0, b1, size * 0.22f); }, solid(shade(l.hair, 0.7f)),
               vec2(0.0f), vec2(1.0f, l.aspect));
    }
}

void mouth(Canvas& c, const Look& l, float y)
{
    const Color dark = rgb(0x2a0c0c);
    const vec2 lo(0.0f), hi(1.0f, l.aspect);
    switch (l.mouth) {
    case 1:
        c.fill([=](vec2 p) { return sdf::intersect(sdf::circle(p, vec2(0.5f, y - 0.08f), 0.16f), y - 0.04f - p.y); },
               solid(dark), lo, hi);
        for (int i = 0; i < 5; ++i)
            c.fill([=](vec2 p) { return sdf::box(p, vec2(0.39f + 0.055f * i, y - 0.02f), vec2(0.02f, 0.018f)); },
                   solid(rgb(0xf0e8c0)), lo, hi);
        break;
    case 2:
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, y), vec2(0.22f, 0.06f), 0.03f); }, solid(dark), lo, hi);
        for (int i = 0; i < 4; ++i) {
            const float x = 0.33f + 0.113f * i;
            c.fill([=](vec2 p) { return sdf::polygon(p, {{x, y - 0.06f}, {x + 0.05f, y - 0.06f}, {x + 0.025f, y + 0.02f}}); },
                   solid(rgb(0xf4ecd0)), lo, hi);
            c.fill([=](vec2 p) { return sdf::polygon(p, {{x + 0.03f, y + 0.06f}, {x + 0.08f, y + 0.06f}, {x + 0.055f, y - 0.01f}}); },
                   solid(rgb(0xf4ecd0)), lo, hi);
        }
        break;
    case 3:
        c.fill([=](vec2 p) { return sdf::segment(p, vec2(0.34f, y), vec2(0.66f, y + 0.02f), 0.012f); }, solid(dark), lo,
               hi);
        for (int i = 0; i < 6; ++i) {
            const float x = 0.36f + 0.056f * i;
            c.fill([=](vec2 p) { return sdf::segment(p, vec2(x, y - 0.03f), vec2(x + 0.01f, y + 0.04f), 0.007f); },
                   solid(rgb(0x1a1010)), lo, hi);
        }
        break;
    case 4:
        c.fill([=](vec2 p) { return sdf::ellipse(p, vec2(0.5f, y + 0.02f), vec2(0.08f, 0.12f)); }, solid(rgb(0x101020)),
               lo, hi);
        break;
    case 5:
        c.fill([=](vec2 p) {
            return sdf::polygon(p, {{0.2f, y - 0.1f}, {0.8f, y - 0.1f}, {0.72f, y + 0.12f}, {0.5f, y + 0.2f}, {0.28f, y + 0.12f}});
        }, [=](vec2 p) { return shade(l.hair, 0.9f + 0.2f * std::sin(p.x * 80.0f)); }, lo, hi);
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, y - 0.02f), vec2(0.08f, 0.015f), 0.01f); }, solid(dark), lo,
               hi);
        break;
    default:
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, y), vec2(0.1f, 0.014f), 0.01f); }, solid(shade(l.skin, 0.45f)),
               lo, hi);
    }
}

void hairOnHead(Canvas& c, const Look& l, Face face)
{
    const float hb = headBottom(l);
    const vec2 lo(0.0f), hi(1.0f, l.aspect);
    const Paint hair = [=](vec2 p) { return shade(l.hair, 0.92f + 0.12f * std::sin(p.x * 70.0f + 3.0f * p.y)); };
    switch (l.hairStyle) {
    case 1:
        if (face == Face::FRONT)
            c.fill([=](vec2 p) { return sdf::unite(p.y - hb * 0.2f, sdf::polygon(p, {{0.0f, 0.0f}, {0.32f, 0.0f}, {0.0f, hb * 0.42f}})); },
                   hair, lo, hi);
        else if (face == Face::SIDE)
            c.fill([=](vec2 p) { return sdf::unite(p.y - hb * 0.22f, sdf::box(p, vec2(0.8f, hb * 0.4f), vec2(0.2f, hb * 0.4f))); },
                   hair, lo, hi);
        else
            c.fill([=](vec2 p) { return p.y - hb * 0.85f; }, hair, lo, hi);
        break;
    case 2:
        c.fill([=](vec2 p) {
            const float spikes = 0.05f * std::sin(p.x * 40.0f) + hb * (face == Face::BACK ? 0.9f : 0.22f);
            return p.y - spikes;
        }, hair, lo, hi);
        break;
    case 3: {
        // A hood leaves only a shadowed opening for the face.
        const Paint hood = cloth(l.cloth, l.aspect);
        if (face == Face::FRONT) {
            c.fill([=](vec2 p) { return p.y - hb * 1.05f; }, hood, lo, hi);
            c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, hb * 0.62f), vec2(0.28f, hb * 0.36f), 0.12f); },
                   radial(vec2(0.5f, hb * 0.7f), 0.35f, rgb(0x2a1c16), rgb(0x0a0606)), lo, hi);
        } else {
            c.fill([=](vec2 p) { return p.y - hb * 1.05f; }, hood, lo, hi);
        }
        break;
    }
    case 4:
        if (face == Face::FRONT)
            c.fill([=](vec2 p) {
                return sdf::unite(p.y - hb * 0.2f, sdf::unite(p.x - 0.14f, 0.86f - p.x));
            }, hair, lo, vec2(1.0f, hb * 1.3f));
        else if (face == Face::SIDE)
            c.fill([=](vec2 p) { return sdf::unite(p.y - hb * 0.2f, 0.45f - p.x); }, hair, lo, vec2(1.0f, hb * 1.3f));
        else
            c.fill([=](vec2 p) { return p.y - hb * 1.3f; }, hair, lo, hi);
        break;
    default:
        break;
    }
}

// The generic figure: head in the upper part of the box, clothes below.
void paintFace(Canvas& c, Face face, const Look& l)
{
    const float a = face == Face::TOP ? 1.0f : l.aspect;
    const float hb = headBottom(l);
    const vec2 lo(0.0f), hi(1.0f, a);
    if (face == Face::TOP) {
        // Seen from above: shoulders in the clothes' colour around the head,
        // the face's side (the front) at the bottom of the quadrant.
        c.fill([](vec2) { return -1.0f; }, [=](vec2 p) {
            return shade(l.cloth, 1.1f - 0.5f * glm::length(p - vec2(0.5f)));
        }, lo, hi);
        c.fill([](vec2 p) { return std::fabs(sdf::box(p, vec2(0.5f), vec2(0.47f), 0.1f)) - 0.02f; },
               solid(shade(l.trim, 0.9f)), lo, hi);
        const Color top = l.hairStyle == 3 ? shade(l.cloth, 0.9f) : (l.hairStyle == 0 ? l.skin : l.hair);
        const vec2 head(0.5f, 0.54f);
        c.fill([=](vec2 p) { return sdf::circle(p, head + vec2(0.0f, 0.04f), 0.3f); }, solid(rgb(0x000000, 0.35f)), lo, hi);
        if (l.hairStyle != 3 && l.hairStyle != 0)
            c.fill([=](vec2 p) { return sdf::ellipse(p, head + vec2(0.0f, 0.2f), vec2(0.12f, 0.1f)); }, skinPaint(l.skin), lo, hi);
        c.fill([=](vec2 p) { return sdf::circle(p, head, 0.27f); },
               [=](vec2 p) { return shade(top, 1.25f - 1.2f * glm::length(p - head + vec2(0.08f))); }, lo, hi);
        if (l.hairStyle == 1 || l.hairStyle == 2)
            for (int i = 0; i < 7; ++i) {
                const float a = i * 0.9f;
                c.fill([=](vec2 p) { return sdf::segment(p, head - vec2(0.0f, 0.05f), head + 0.22f * vec2(std::cos(a), std::sin(a)), 0.012f); },
                       solid(shade(l.hair, 0.7f)), lo, hi);
            }
        if (l.extra)
            l.extra(c, face, l);
        return;
    }
    // Clothes over the whole face, then the head, belt and legs.
    c.fill([](vec2) { return -1.0f; }, cloth(l.cloth, a), lo, hi);
    const float legTop = a * 0.86f;
    c.fill([=](vec2 p) { return legTop - p.y; }, [=](vec2 p) { return shade(l.legs, 1.0f - 0.3f * (p.y - legTop)); },
           lo, hi);
    if (face != Face::SIDE)
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, (legTop + a) * 0.5f + 0.02f), vec2(0.012f, (a - legTop) * 0.5f)); },
               solid(rgb(0x000000, 0.6f)), lo, hi);
    c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, a * 0.74f), vec2(0.6f, 0.045f)); },
           [=](vec2 p) { return shade(l.belt, 1.0f + 0.2f * std::sin(p.x * 3.0f)); }, lo, hi);
    if (face == Face::FRONT) {
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, a * 0.74f), vec2(0.06f, 0.05f), 0.01f); },
               [=](vec2 p) { return mix(shade(l.trim, 1.3f), shade(l.trim, 0.7f), (p.y - a * 0.7f) * 10.0f); }, lo, hi);
        c.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, (hb + a * 0.7f) * 0.5f), vec2(0.03f, (a * 0.7f - hb) * 0.5f)); },
               solid(l.trim), lo, hi);
    }
    // Head: skin with a shaded chin line.
    if (l.hairStyle != 3 || face != Face::FRONT) {
        c.fill([=](vec2 p) { return p.y - hb; }, skinPaint(l.skin), lo, vec2(1.0f, hb));
        c.fill([=](vec2 p) { return std::fabs(p.y - hb) - 0.015f; }, solid(rgb(0x000000, 0.35f)), lo, hi);
    }
    hairOnHead(c, l, face);
    if (face == Face::FRONT) {
        const float ey = l.hairStyle == 3 ? hb * 0.55f : hb * 0.45f;
        eyes(c, l, ey, 0.19f, 0.08f);
        if (l.hairStyle != 3)
            c.fill([=](vec2 p) { return sdf::polygon(p, {{0.5f, ey + 0.02f}, {0.55f, ey + 0.16f}, {0.46f, ey + 0.16f}}); },
                   solid(shade(l.skin, 0.8f)), lo, hi);
        mouth(c, l, hb * 0.82f);
    } else if (face == Face::SIDE && l.hairStyle != 3) {
        c.fill([=](vec2 p) { return sdf::ellipse(p, vec2(0.55f, hb * 0.5f), vec2(0.06f, 0.1f)); },
               solid(shade(l.skin, 0.85f)), lo, hi);
        const vec2 e(0.1f, hb * 0.45f);
        if (l.glowingEyes)
            c.fill([=](vec2 p) { return sdf::circle(p, e, 0.04f); }, solid(l.eye), lo, hi);
        else
            c.fill([=](vec2 p) { return sdf::ellipse(p, e, vec2(0.03f, 0.045f)); }, solid(rgb(0x202028)), lo, hi);
    }
    if (l.extra)
        l.extra(c, face, l);
}

Canvas paintBody(const Look& look)
{
    Canvas atlas(BODY_SIZE, BODY_SIZE);
    const int tall = static_cast<int>(QUAD * look.aspect);
    const auto faceCanvas = [&](Face face, int h) {
        Canvas f(QUAD, h);
        f.setFrame(vec2(0.0f), static_cast<float>(QUAD));
        paintFace(f, face, look);
        return f;
    };
    atlas.draw(faceCanvas(Face::FRONT, tall), 0, QUAD, QUAD, QUAD);
    atlas.draw(faceCanvas(Face::SIDE, tall), QUAD, QUAD, QUAD, QUAD);
    // The back is seen mirrored in the atlas, so it is painted and then flipped.
    const Canvas back = faceCanvas(Face::BACK, tall);
    Canvas mirrored(QUAD, tall);
    for (int y = 0; y < tall; ++y)
        for (int x = 0; x < QUAD; ++x)
            mirrored.set(QUAD - 1 - x, y, back.get(x, y));
    atlas.draw(mirrored, QUAD, 0, QUAD, QUAD);
    atlas.draw(faceCanvas(Face::TOP, QUAD), 0, 0, QUAD, QUAD);
    return atlas;
}

// An arm: sleeve, cuff and hand, with a shoulder band at the top.
Canvas paintArm(const Color& sleeve, const Color& cuff, const Color& hand, bool claws = false)
{
    Canvas arm(ARM_WIDTH, ARM_HEIGHT);
    arm.setFrame(vec2(0.0f), static_cast<float>(ARM_WIDTH));
    const float a = static_cast<float>(ARM_HEIGHT) / ARM_WIDTH;
    const vec2 lo(0.0f), hi(1.0f, a);
    arm.fill([](vec2) { return -1.0f; }, cloth(sleeve, a), lo, hi);
    arm.fill([](vec2 p) { return p.y - 0.35f; }, [=](vec2 p) { return shade(cuff, 1.2f - p.y); }, lo, hi);
    arm.fill([=](vec2 p) { return a * 0.72f - p.y; }, skinPaint(hand), lo, hi);
    arm.fill([=](vec2 p) { return sdf::box(p, vec2(0.5f, a * 0.72f), vec2(0.6f, 0.12f)); },
             [=](vec2 p) { return shade(cuff, 1.1f - 0.5f * std::fabs(p.y - a * 0.72f)); }, lo, hi);
    for (int i = 1; i < 4; ++i)
        arm.fill([=](vec2 p) { return sdf::segment(p, vec2(i * 0.25f, a * 0.9f), vec2(i * 0.25f, a), 0.015f); },
                 solid(shade(hand, claws ? 0.4f : 0.7f)), lo, hi);
    if (claws)
        for (int i = 0; i < 4; ++i)
            arm.fill([=](vec2 p) {
                const float x = 0.14f + 0.24f * i;
                return sdf::polygon(p, {{x - 0.07f, a - 0.12f}, {x + 0.07f, a - 0.12f}, {x, a}});
            }, solid(rgb(0xf0e8d0)), lo, hi);
    return arm;
}

bool writeUnit(const AssetWriter& out, const std::string& name, const Look& look, const Canvas& arm)
{
    return out.writePng("textures/units/" + name + ".png", BODY_SIZE, BODY_SIZE, paintBody(look).rgba8()) &&
           out.writePng("textures/units/" + name + "_arm.png", ARM_WIDTH, ARM_HEIGHT, arm.rgba8());
}

// ---- The kinds -----------------------------------------------------------

const vec2 LO(0.0f);

vec2 hiOf(const Look& l, Face f)
{
    return vec2(1.0f, f == Face::TOP ? 1.0f : l.aspect);
}

void hornPair(Canvas& c, const Look& l, Face f, const Color& horn)
{
    const Paint p = [horn](vec2 q) { return shade(horn, 1.3f - 1.5f * q.y); };
    if (f == Face::TOP) {
        for (float side : {-1.0f, 1.0f})
            c.fill([=](vec2 q) { return sdf::taper(q, vec2(0.5f + side * 0.3f, 0.55f), vec2(0.5f + side * 0.48f, 0.9f), 0.1f, 0.02f); },
                   p, LO, hiOf(l, f));
        return;
    }
    if (f == Face::SIDE) {
        c.fill([=](vec2 q) { return sdf::taper(q, vec2(0.45f, 0.2f), vec2(0.9f, 0.02f), 0.09f, 0.015f); }, p, LO, hiOf(l, f));
        return;
    }
    for (float side : {-1.0f, 1.0f})
        c.fill([=](vec2 q) {
            return sdf::unite(sdf::taper(q, vec2(0.5f + side * 0.28f, 0.22f), vec2(0.5f + side * 0.42f, 0.1f), 0.09f, 0.06f),
                              sdf::taper(q, vec2(0.5f + side * 0.42f, 0.1f), vec2(0.5f + side * 0.36f, -0.05f), 0.06f, 0.01f));
        }, p, LO, hiOf(l, f));
}

void spikesRow(Canvas& c, float y, int count, float size, const Color& colour)
{
    for (int i = 0; i < count; ++i) {
        const float x = (i + 0.5f) / count;
        c.fill([=](vec2 q) { return sdf::polygon(q, {{x - size * 0.5f, y}, {x + size * 0.5f, y}, {x, y - size * 1.4f}}); },
               [=](vec2 q) { return shade(colour, q.x < x ? 1.3f : 0.8f); }, vec2(0.0f, y - size * 2.0f), vec2(1.0f, y + 0.01f));
    }
}

void tatteredHem(Canvas& c, const Look& l, float y, const Color& below)
{
    c.fill([=](vec2 q) { return y + 0.05f * std::fabs(std::sin(q.x * 19.0f)) + 0.03f * std::sin(q.x * 47.0f) - q.y; },
           solid(below), LO, vec2(1.0f, l.aspect));
}

Look hero()
{
    Look l;
    l.aspect = 2.0f;
    l.headShare = 0.42f;
    l.cloth = rgb(0x24407a);
    l.trim = rgb(0xd8a838);
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        const Color steel = rgb(0xaab4c0);
        if (f == Face::FRONT) {
            c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, hb + 0.3f), vec2(0.36f, 0.26f), 0.1f); },
                   [=](vec2 q) { return shade(steel, q.x < 0.5f ? 1.15f - 0.3f * (q.y - hb) : 0.85f - 0.3f * (q.y - hb)); },
                   LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::segment(q, vec2(0.5f, hb + 0.08f), vec2(0.5f, hb + 0.5f), 0.012f); },
                   solid(rgb(0x5a6470)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return std::fabs(sdf::circle(q, vec2(0.5f, hb + 0.28f), 0.09f)) - 0.015f; },
                   solid(l.trim), LO, hiOf(l, f));
        } else if (f == Face::BACK) {
            c.fill([=](vec2 q) { return sdf::polygon(q, {{0.08f, hb}, {0.92f, hb}, {0.98f, a * 0.95f}, {0.02f, a * 0.95f}}); },
                   [=](vec2 q) { return shade(rgb(0x9a1c1c), 1.0f + 0.12f * std::sin(q.x * 30.0f) - 0.2f * (q.y - hb)); },
                   LO, hiOf(l, f));
        } else if (f == Face::SIDE) {
            c.fill([=](vec2 q) { return sdf::box(q, vec2(0.9f, (hb + a * 0.95f) * 0.5f), vec2(0.1f, (a * 0.95f - hb) * 0.5f)); },
                   solid(rgb(0x8a1818)), LO, hiOf(l, f));
        }
    };
    return l;
}

Look zombie()
{
    Look l;
    l.skin = rgb(0x7a9a62);
    l.hair = rgb(0x2c2a20);
    l.cloth = rgb(0x5e5040);
    l.trim = rgb(0x3c3020);
    l.legs = rgb(0x3c3a44);
    l.eye = rgb(0xe8e040);
    l.glowingEyes = true;
    l.hairStyle = 2;
    l.mouth = 3;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        if (f == Face::TOP) {
            c.fill([](vec2 q) { return sdf::circle(q, vec2(0.62f, 0.35f), 0.16f); }, skinPaint(l.skin), LO, hiOf(l, f));
            return;
        }
        // Torn shirt showing rotten skin and ribs, and a stain of blood.
        tatteredHem(c, l, a * 0.62f, shade(l.skin, 0.8f));
        c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, a * 0.74f), vec2(0.6f, 0.045f)); }, solid(l.belt), LO, hiOf(l, f));
        if (f == Face::FRONT) {
            c.fill([=](vec2 q) { return sdf::ellipse(q, vec2(0.35f, hb + 0.2f), vec2(0.16f, 0.12f)); },
                   solid(shade(l.skin, 0.6f)), LO, hiOf(l, f));
            for (int i = 0; i < 3; ++i)
                c.fill([=](vec2 q) { return sdf::segment(q, vec2(0.24f, hb + 0.14f + 0.05f * i), vec2(0.46f, hb + 0.16f + 0.05f * i), 0.012f); },
                       solid(rgb(0xe0d8b8)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::circle(q, vec2(0.68f, hb + 0.35f), 0.09f) + 0.02f * noise::fbm(q * 30.0f, 2, 0, 3); },
                   solid(rgb(0x6a0a0a, 0.85f)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::segment(q, vec2(0.6f, hb * 0.15f), vec2(0.8f, hb * 0.3f), 0.01f); },
                   solid(rgb(0x3a1010)), LO, hiOf(l, f));
        }
    };
    return l;
}

Look ghost()
{
    Look l;
    l.skin = rgb(0xcfe4f0);
    l.cloth = rgb(0xb8d4e8);
    l.legs = rgb(0x8fb2cc);
    l.belt = rgb(0xa8c8e0);
    l.trim = rgb(0xa8c8e0);
    l.hair = rgb(0xdfeef8);
    l.eye = rgb(0x40f0ff);
    l.glowingEyes = true;
    l.hairStyle = 0;
    l.mouth = 4;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        if (f == Face::TOP)
            return;
        // One flowing sheet: no belt, no legs, a ragged fading hem.
        c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, (hb + a) * 0.5f), vec2(0.6f, (a - hb) * 0.5f + 0.01f)); },
               [=](vec2 q) {
                   const float wisp = 0.1f * std::sin(q.x * 14.0f + q.y * 6.0f);
                   return shade(l.cloth, 1.05f - 0.35f * (q.y - hb) / (a - hb) + wisp);
               }, LO, hiOf(l, f));
        tatteredHem(c, l, a * 0.88f, rgb(0x405868));
        if (f == Face::FRONT)
            for (float side : {-1.0f, 1.0f})
                c.fill([=](vec2 q) { return sdf::ellipse(q, vec2(0.5f + side * 0.17f, hb * 0.45f), vec2(0.1f, 0.14f)); },
                       solid(rgb(0x101828)), LO, hiOf(l, f));
        if (f == Face::FRONT)
            eyes(c, l, hb * 0.47f, 0.17f, 0.04f);
    };
    return l;
}

Look monk()
{
    Look l;
    l.skin = rgb(0xc89870);
    l.cloth = rgb(0x6a3420);
    l.trim = rgb(0xc8b080);
    l.belt = rgb(0xc8b080);
    l.legs = rgb(0x5a2c1a);
    l.eye = rgb(0xff3020);
    l.glowingEyes = true;
    l.hairStyle = 3;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        if (f == Face::TOP) {
            c.fill([](vec2 q) { return sdf::polygon(q, {{0.3f, 0.1f}, {0.7f, 0.1f}, {0.5f, 0.45f}}); },
                   solid(shade(l.cloth, 0.7f)), LO, hiOf(l, f));
            return;
        }
        // The robe reaches the ground; prayer beads hang over the chest.
        c.fill([=](vec2 q) { return a * 0.86f - 0.01f - q.y; }, cloth(shade(l.cloth, 0.85f), a), LO, hiOf(l, f));
        c.fill([=](vec2 q) { return std::fabs(q.y - a * 0.97f) - 0.03f; }, solid(rgb(0x2a1a10)), LO, hiOf(l, f));
        if (f == Face::FRONT)
            for (int i = 0; i < 9; ++i) {
                const float t = i / 8.0f;
                const vec2 b(0.28f + 0.44f * t, hb + 0.06f + 0.22f * std::sin(t * 3.14159f));
                c.fill([=](vec2 q) { return sdf::circle(q, b, 0.028f); }, radial(b - vec2(0.01f), 0.04f, rgb(0xd8a060), rgb(0x5a3010)),
                       LO, hiOf(l, f));
            }
    };
    return l;
}

Look lunatic()
{
    Look l;
    l.skin = rgb(0xe8c8b0);
    l.hair = rgb(0xb8b0a8);
    l.cloth = rgb(0xe4e0d4);
    l.trim = rgb(0x8a7a60);
    l.belt = rgb(0x6a5640);
    l.legs = rgb(0x6a6a70);
    l.eye = rgb(0x208030);
    l.hairStyle = 2;
    l.mouth = 1;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        if (f == Face::TOP || f == Face::SIDE)
            return;
        // The straitjacket's straps, and on the front one eye far too wide open.
        for (float y : {hb + 0.18f, hb + 0.38f})
            c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, y), vec2(0.6f, 0.035f)); }, solid(l.belt), LO, hiOf(l, f));
        if (f == Face::FRONT) {
            for (float y : {hb + 0.18f, hb + 0.38f, a * 0.74f})
                c.fill([=](vec2 q) { return std::fabs(sdf::box(q, vec2(0.3f, y), vec2(0.05f, 0.04f))) - 0.01f; },
                       solid(rgb(0xc0c0c0)), LO, hiOf(l, f));
            const vec2 e(0.67f, hb * 0.43f);
            c.fill([=](vec2 q) { return sdf::circle(q, e, 0.1f); }, solid(rgb(0xfaf8f0)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::circle(q, e + vec2(0.02f, 0.01f), 0.035f); }, solid(rgb(0x101010)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return std::fabs(sdf::circle(q, e, 0.1f)) - 0.008f; }, solid(rgb(0xb04040)), LO, hiOf(l, f));
        }
    };
    return l;
}

Look rabakulus()
{
    Look l;
    l.skin = rgb(0xa82418);
    l.hair = rgb(0x1a0a08);
    l.cloth = rgb(0x2c2a2e);
    l.trim = rgb(0xc03010);
    l.belt = rgb(0x1a1414);
    l.legs = rgb(0x3a1a14);
    l.eye = rgb(0xffd020);
    l.glowingEyes = true;
    l.hairStyle = 0;
    l.mouth = 2;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        hornPair(c, l, f, rgb(0x2a2420));
        if (f == Face::TOP)
            return;
        // Spiked iron plates and a skull on the belt.
        spikesRow(c, hb + 0.06f, 5, 0.08f, rgb(0x8a8a90));
        c.fill([=](vec2 q) { return std::fabs(q.y - hb - 0.06f) - 0.02f; }, solid(rgb(0x5a5a60)), LO, hiOf(l, f));
        if (f == Face::FRONT) {
            const vec2 s(0.5f, a * 0.74f);
            c.fill([=](vec2 q) { return sdf::circle(q, s, 0.07f); }, solid(rgb(0xe8e0c8)), LO, hiOf(l, f));
            for (float side : {-1.0f, 1.0f})
                c.fill([=](vec2 q) { return sdf::circle(q, s + vec2(side * 0.025f, -0.01f), 0.018f); }, solid(rgb(0x100808)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::polygon(q, {{0.3f, hb * 0.28f}, {0.45f, hb * 0.34f}, {0.3f, hb * 0.36f}}); },
                   solid(rgb(0x100404)), LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::polygon(q, {{0.7f, hb * 0.28f}, {0.55f, hb * 0.34f}, {0.7f, hb * 0.36f}}); },
                   solid(rgb(0x100404)), LO, hiOf(l, f));
        }
    };
    return l;
}

Look hariona()
{
    Look l;
    l.skin = rgb(0x9cc4dc);
    l.hair = rgb(0xeef6ff);
    l.cloth = rgb(0x4a7ab0);
    l.trim = rgb(0xc8f0ff);
    l.belt = rgb(0x2a4a70);
    l.legs = rgb(0x2a4060);
    l.eye = rgb(0x60ffff);
    l.glowingEyes = true;
    l.hairStyle = 4;
    l.mouth = 2;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        const Paint ice = [](vec2 q) { return mix(rgb(0xffffff), rgb(0x70c0f0), q.y * 2.0f); };
        if (f == Face::TOP) {
            for (int i = 0; i < 6; ++i) {
                const float ang = i * 1.047f;
                const vec2 d(std::cos(ang), std::sin(ang));
                c.fill([=](vec2 q) { return sdf::taper(q, vec2(0.5f) + d * 0.2f, vec2(0.5f) + d * 0.45f, 0.06f, 0.0f); },
                       ice, LO, hiOf(l, f));
            }
            return;
        }
        if (f == Face::FRONT || f == Face::BACK)
            for (int i = 0; i < 5; ++i) {
                const float x = 0.18f + 0.16f * i, h = i == 2 ? 0.2f : 0.12f;
                c.fill([=](vec2 q) { return sdf::polygon(q, {{x - 0.06f, 0.1f}, {x + 0.06f, 0.1f}, {x, 0.1f - h}}); },
                       ice, LO, hiOf(l, f));
            }
        // Frost armour: crystal plates on the chest and shoulders.
        c.fill([=](vec2 q) {
            const noise::Cells cell = noise::cells(q * 8.0f, 0, 5);
            return sdf::intersect(sdf::box(q, vec2(0.5f, hb + 0.25f), vec2(0.42f, 0.2f), 0.05f), 0.02f - (cell.f2 - cell.f1) * 0.1f);
        }, [](vec2 q) {
            const noise::Cells cell = noise::cells(q * 8.0f, 0, 5);
            return mix(rgb(0xa8e0ff), rgb(0xf0ffff), (cell.id & 255) / 255.0f);
        }, LO, hiOf(l, f));
        c.fill([=](vec2 q) { return a * 0.86f - q.y; }, cloth(l.cloth, a), LO, hiOf(l, f));
        tatteredHem(c, l, a * 0.95f, rgb(0x203040));
    };
    return l;
}

Look fihugia()
{
    Look l;
    l.skin = rgb(0xe4dcc4);
    l.cloth = rgb(0x3a1850);
    l.trim = rgb(0xe0b030);
    l.belt = rgb(0x20102a);
    l.legs = rgb(0x24102e);
    l.eye = rgb(0x40ff60);
    l.glowingEyes = true;
    l.hairStyle = 0;
    l.mouth = 3;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        const Paint gold = [](vec2 q) { return shade(rgb(0xe8b830), 1.3f - 2.0f * q.y); };
        if (f == Face::TOP) {
            c.fill([](vec2 q) { return std::fabs(sdf::box(q, vec2(0.5f), vec2(0.36f), 0.1f)) - 0.05f; }, gold, LO, hiOf(l, f));
            return;
        }
        // A skull under a crown, and a long royal robe.
        if (f == Face::FRONT) {
            for (float side : {-1.0f, 1.0f})
                c.fill([=](vec2 q) { return sdf::circle(q, vec2(0.5f + side * 0.17f, hb * 0.45f), 0.1f); },
                       solid(rgb(0x0c0810)), LO, hiOf(l, f));
            eyes(c, l, hb * 0.46f, 0.17f, 0.035f);
            c.fill([=](vec2 q) { return sdf::polygon(q, {{0.5f, hb * 0.58f}, {0.54f, hb * 0.68f}, {0.46f, hb * 0.68f}}); },
                   solid(rgb(0x0c0810)), LO, hiOf(l, f));
        }
        c.fill([=](vec2 q) {
            const float teeth = 0.04f * std::fabs(std::sin(q.x * 15.7f));
            return sdf::box(q, vec2(0.5f, hb * 0.12f), vec2(0.6f, hb * 0.1f + teeth));
        }, gold, LO, vec2(1.0f, hb * 0.4f));
        if (f == Face::FRONT)
            for (int i = 0; i < 3; ++i) {
                const vec2 g(0.25f + 0.25f * i, hb * 0.12f);
                c.fill([=](vec2 q) { return sdf::circle(q, g, 0.035f); }, solid(i == 1 ? rgb(0x30ff60) : rgb(0xc02040)), LO, hiOf(l, f));
            }
        c.fill([=](vec2 q) { return a * 0.86f - q.y; }, cloth(l.cloth, a), LO, hiOf(l, f));
        c.fill([=](vec2 q) { return std::fabs(q.y - hb - 0.03f) - 0.03f; }, gold, LO, hiOf(l, f));
        if (f == Face::FRONT)
            c.fill([=](vec2 q) { return std::fabs(q.x - 0.5f) - 0.04f; }, solid(l.trim), vec2(0.0f, a * 0.78f), hiOf(l, f));
    };
    return l;
}

Look commoner()
{
    Look l;
    l.cloth = rgb(0x5a7038);
    l.trim = rgb(0x8a6a40);
    l.belt = rgb(0x5a3a1a);
    l.legs = rgb(0x6a5a44);
    l.hair = rgb(0x7a4a20);
    l.mouth = 5;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        const Paint straw = [](vec2 q) { return shade(rgb(0xd8b860), 0.9f + 0.15f * std::sin(q.x * 90.0f + q.y * 40.0f)); };
        if (f == Face::TOP) {
            c.fill([](vec2 q) { return sdf::circle(q, vec2(0.5f), 0.48f); }, straw, LO, hiOf(l, f));
            c.fill([](vec2 q) { return std::fabs(sdf::circle(q, vec2(0.5f), 0.28f)) - 0.03f; }, solid(rgb(0x8a2a1a)), LO, hiOf(l, f));
            return;
        }
        // Straw hat brim and an apron.
        c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, hb * 0.12f), vec2(0.6f, hb * 0.12f)); }, straw, LO, hiOf(l, f));
        c.fill([=](vec2 q) { return std::fabs(q.y - hb * 0.22f) - 0.025f; }, solid(rgb(0x8a2a1a)), LO, hiOf(l, f));
        if (f == Face::FRONT)
            c.fill([=](vec2 q) { return sdf::box(q, vec2(0.5f, a * 0.8f), vec2(0.25f, a * 0.12f), 0.03f); },
                   solid(rgb(0xd8d0b8)), LO, hiOf(l, f));
    };
    return l;
}

Look merchant()
{
    Look l;
    l.cloth = rgb(0x6a2a7a);
    l.trim = rgb(0xf0c040);
    l.belt = rgb(0xd8a830);
    l.legs = rgb(0x3a1a40);
    l.skin = rgb(0xc8946a);
    l.hair = rgb(0x1a1410);
    l.hairStyle = 0;
    l.mouth = 1;
    l.extra = [](Canvas& c, Face f, const Look& l) {
        const float hb = headBottom(l), a = l.aspect;
        const Paint turban = [](vec2 q) { return shade(rgb(0xf0ece0), 0.85f + 0.2f * std::sin((q.x + q.y) * 40.0f)); };
        if (f == Face::TOP) {
            c.fill([](vec2 q) { return sdf::circle(q, vec2(0.5f), 0.47f); }, turban, LO, hiOf(l, f));
            c.fill([](vec2 q) { return sdf::circle(q, vec2(0.5f, 0.7f), 0.07f); }, solid(rgb(0x20a050)), LO, hiOf(l, f));
            return;
        }
        // Turban with a jewel, a curled moustache and a purse of coins.
        c.fill([=](vec2 q) { return q.y - hb * 0.3f; }, turban, LO, vec2(1.0f, hb));
        if (f == Face::FRONT) {
            c.fill([=](vec2 q) { return sdf::circle(q, vec2(0.5f, hb * 0.2f), 0.05f); }, solid(rgb(0x20c060)), LO, hiOf(l, f));
            for (float side : {-1.0f, 1.0f})
                c.fill([=](vec2 q) { return sdf::taper(q, vec2(0.5f, hb * 0.72f), vec2(0.5f + side * 0.2f, hb * 0.66f), 0.03f, 0.012f); },
                       solid(l.hair), LO, hiOf(l, f));
            const vec2 purse(0.72f, a * 0.8f);
            c.fill([=](vec2 q) { return sdf::circle(q, purse, 0.08f); }, radial(purse - vec2(0.03f), 0.12f, rgb(0xa07040), rgb(0x4a2a10)),
                   LO, hiOf(l, f));
            c.fill([=](vec2 q) { return sdf::circle(q, vec2(0.5f, hb + 0.25f), 0.045f); }, solid(l.trim), LO, hiOf(l, f));
        }
        c.fill([=](vec2 q) { return std::fabs(q.y - a * 0.84f) - 0.02f; }, solid(l.trim), LO, hiOf(l, f));
    };
    return l;
}

bool generateUnits(const AssetWriter& out)
{
    const Look h = hero();
    return writeUnit(out, "hero", h, paintArm(h.cloth, rgb(0xaab4c0), rgb(0x8a929c))) &&
           writeUnit(out, "zombie", zombie(), paintArm(rgb(0x5e5040), rgb(0x7a9a62), rgb(0x7a9a62), true)) &&
           writeUnit(out, "ghost", ghost(), paintArm(rgb(0xb8d4e8), rgb(0xcfe4f0), rgb(0xcfe4f0))) &&
           writeUnit(out, "monk", monk(), paintArm(rgb(0x6a3420), rgb(0x5a2c1a), rgb(0xc89870))) &&
           writeUnit(out, "lunatic", lunatic(), paintArm(rgb(0xe4e0d4), rgb(0x6a5640), rgb(0xe8c8b0))) &&
           writeUnit(out, "boss1", rabakulus(), paintArm(rgb(0x2c2a2e), rgb(0x8a8a90), rgb(0xa82418), true)) &&
           writeUnit(out, "boss2", hariona(), paintArm(rgb(0x4a7ab0), rgb(0xc8f0ff), rgb(0x9cc4dc), true)) &&
           writeUnit(out, "boss3", fihugia(), paintArm(rgb(0x3a1850), rgb(0xe0b030), rgb(0xe4dcc4), true)) &&
           writeUnit(out, "commoner", commoner(), paintArm(rgb(0x5a7038), rgb(0x8a6a40), rgb(0xe0b088))) &&
           writeUnit(out, "merchant", merchant(), paintArm(rgb(0x6a2a7a), rgb(0xf0c040), rgb(0xc8946a)));
}

} // namespace

REGISTER_GENERATOR("units", generateUnits);
