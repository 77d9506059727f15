// HUD pictures: the liquid fills of the health and power bars (they tile
// sideways, because the bar sways its fill), the experience and enemy bars
// with their frames, the five skill icons and their frame, and the logo.
#include <cmath>

#include "Canvas.h"
#include "Font.h"
#include "Generator.h"
#include "Noise.h"

namespace {

using glm::vec2;

constexpr float PI = 3.14159265f;

// A liquid seen through glass: darker in the depth, a bright surface line at
// the top, rising bubbles. Everything repeats across the width.
Canvas liquid(int w, int h, const Color& deep, const Color& bright, int seed)
{
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            const float swirl = noise::fbm(vec2(u * 4.0f, v * 8.0f), 4, 4, seed);
            const float wave = 0.5f + 0.5f * std::sin(u * 2.0f * PI * 2.0f + v * 9.0f + swirl * 2.0f);
            Color col = mix(bright, deep, 0.25f + 0.65f * v + 0.1f * wave);
            // Surface: a thin bright band at the very top.
            col = mix(col, mix(bright, rgb(0xffffff), 0.5f), std::max(0.0f, 1.0f - y / 5.0f));
            col.a = 1.0f;
            c.set(x, y, col);
        }
    Rng rng(static_cast<uint32_t>(seed));
    c.setFrame(vec2(0.0f), 1.0f);
    for (int i = 0; i < 28; ++i) {
        const float r = rng.range(1.5f, 5.0f);
        const vec2 centre = rng.point(vec2(0.0f, 12.0f), vec2(static_cast<float>(w), h - 8.0f));
        for (float shift : {-static_cast<float>(w), 0.0f, static_cast<float>(w)}) {
            const vec2 b = centre + vec2(shift, 0.0f);
            c.fill([=](vec2 p) { return std::fabs(sdf::circle(p, b, r)) - 0.7f; }, solid(withAlpha(bright, 0.55f)),
                   b - vec2(r + 2), b + vec2(r + 2));
            c.fill([=](vec2 p) { return sdf::circle(p, b - vec2(r * 0.35f), r * 0.3f); },
                   solid(Color{1, 1, 1, 0.6f}), b - vec2(r + 2), b + vec2(r + 2));
        }
    }
    return c;
}

// A uniform horizontal fill: reads well at any fraction of its length.
Canvas horizontalFill(int w, int h, const Color& top, const Color& bottom, bool stripes)
{
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float v = (y + 0.5f) / h;
            Color col = mix(top, bottom, v);
            col = mix(col, rgb(0xffffff), std::max(0.0f, 0.45f - 3.0f * std::fabs(v - 0.28f)));
            if (stripes && (x / (h / 2)) % 2 == 0)
                col = shade(col, 0.9f);
            col.a = 1.0f;
            c.set(x, y, col);
        }
    return c;
}

// A frame of 'border' pixels around a transparent window, with a glass sheen.
Canvas barFrame(int w, int h, float border, float radius, const Color& metal, const Color& rim, bool glass)
{
    Canvas c(w, h);
    const vec2 centre(w * 0.5f, h * 0.5f), half(w * 0.5f, h * 0.5f);
    // Nearly square outside, so the fill's corners under the frame stay hidden;
    // the window itself is rounded.
    const Sdf outer = [=](vec2 p) { return sdf::box(p, centre, half, std::min(radius, 3.0f)); };
    const Sdf inner = [=](vec2 p) { return sdf::box(p, centre, half - vec2(border), std::max(0.0f, radius - border)); };
    c.fill([=](vec2 p) { return sdf::subtract(outer(p), inner(p)); },
           [=](vec2 p) { return shade(metal, 1.3f - 0.6f * p.y / h); });
    c.fill([=](vec2 p) { return std::fabs(inner(p) + 0.5f) - std::max(1.0f, border * 0.18f); },
           solid(rim));
    c.fill([=](vec2 p) { return std::fabs(outer(p) + 1.0f) - 0.8f; }, solid(rgb(0x000000, 0.8f)));
    if (glass) {
        c.fill([=](vec2 p) { return sdf::intersect(inner(p), sdf::box(p, vec2(w * 0.3f, h * 0.5f), vec2(w * 0.07f, h))); },
               solid(Color{1, 1, 1, 0.14f}));
        c.fill([=](vec2 p) { return sdf::intersect(inner(p), sdf::box(p, vec2(w * 0.42f, h * 0.5f), vec2(w * 0.02f, h))); },
               solid(Color{1, 1, 1, 0.09f}));
    }
    return c;
}

// The enemy bars are 100 x 5 pixels on screen: a one-pixel black rim drawn
// pixel for pixel, so it stays crisp.
Canvas enemyBarFrame()
{
    const int w = 100, h = 5;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
                c.set(x, y, rgb(0x000000));
    return c;
}

bool writeCanvas(const AssetWriter& out, const char* path, const Canvas& c)
{
    return out.writePng(path, c.width(), c.height(), c.rgba8());
}

// ---- Skill icons (128 x 128, drawn in units of the icon) ----------------------

Canvas skillBase(const Color& inner, const Color& outer)
{
    Canvas c(128, 128);
    c.setFrame(vec2(0.0f), 128.0f);
    c.fill([](vec2) { return -1.0f; }, radial(vec2(0.5f), 0.75f, inner, outer));
    return c;
}

Canvas teleportIcon()
{
    Canvas c = skillBase(rgb(0x3a1a6a), rgb(0x08041a));
    // Five arms spiralling into the centre of the portal.
    c.fill([](vec2 p) {
        const vec2 d = p - vec2(0.5f);
        const float r = glm::length(d), a = std::atan2(d.y, d.x);
        const float spiral = std::sin(a * 5.0f + r * 22.0f);
        return std::max((0.35f - spiral) * 0.03f, r - 0.42f);
    }, [](vec2 p) { return mix(rgb(0xffffff), rgb(0xa050ff), glm::length(p - vec2(0.5f)) * 2.4f); });
    c.glow([](vec2 p) { return sdf::circle(p, vec2(0.5f), 0.06f); }, rgb(0xffffff, 0.9f), 0.12f, vec2(0.0f), vec2(1.0f));
    Rng rng(5);
    for (int i = 0; i < 12; ++i) {
        const vec2 s = rng.point(vec2(0.1f), vec2(0.9f));
        const float r = rng.range(0.008f, 0.02f);
        c.fill([=](vec2 p) { return std::min(sdf::box(p, s, vec2(r * 2.5f, r * 0.4f)), sdf::box(p, s, vec2(r * 0.4f, r * 2.5f))); },
               solid(rgb(0xe8d0ff)));
    }
    return c;
}

Canvas regenIcon()
{
    Canvas c = skillBase(rgb(0x1a5a2a), rgb(0x041a08));
    c.glow([](vec2 p) { return std::min(sdf::box(p, vec2(0.5f), vec2(0.1f, 0.3f), 0.03f), sdf::box(p, vec2(0.5f), vec2(0.3f, 0.1f), 0.03f)); },
           rgb(0x80ff80, 0.8f), 0.12f, vec2(0.0f), vec2(1.0f));
    c.fill([](vec2 p) { return std::min(sdf::box(p, vec2(0.5f), vec2(0.1f, 0.3f), 0.03f), sdf::box(p, vec2(0.5f), vec2(0.3f, 0.1f), 0.03f)); },
           linear(vec2(0.3f, 0.2f), vec2(0.7f, 0.8f), rgb(0xd0ffd0), rgb(0x20b040)));
    // Rising motes of life.
    Rng rng(11);
    for (int i = 0; i < 9; ++i) {
        const vec2 m = rng.point(vec2(0.12f, 0.1f), vec2(0.88f, 0.9f));
        const float r = rng.range(0.012f, 0.03f);
        if (std::fabs(m.x - 0.5f) < 0.32f && std::fabs(m.y - 0.5f) < 0.32f)
            continue;
        c.fill([=](vec2 p) { return sdf::circle(p, m, r); }, solid(rgb(0xc0ffc0, 0.85f)));
    }
    return c;
}

Canvas berserkerIcon()
{
    Canvas c = skillBase(rgb(0x8a1010), rgb(0x1a0202));
    // A snarling face in red fury.
    c.glow([](vec2 p) { return sdf::circle(p, vec2(0.5f, 0.52f), 0.3f); }, rgb(0xff3000, 0.8f), 0.15f, vec2(0.0f), vec2(1.0f));
    c.fill([](vec2 p) { return sdf::circle(p, vec2(0.5f, 0.52f), 0.3f); }, radial(vec2(0.42f, 0.42f), 0.45f, rgb(0xff6040), rgb(0x6a0808)));
    for (float side : {-1.0f, 1.0f}) {
        c.fill([=](vec2 p) { return sdf::polygon(p, {{0.5f + side * 0.05f, 0.45f}, {0.5f + side * 0.22f, 0.36f}, {0.5f + side * 0.2f, 0.46f}}); },
               solid(rgb(0xfff060)));
        c.fill([=](vec2 p) { return sdf::segment(p, vec2(0.5f + side * 0.04f, 0.38f), vec2(0.5f + side * 0.26f, 0.28f), 0.025f); },
               solid(rgb(0x200000)));
    }
    c.fill([](vec2 p) { return sdf::box(p, vec2(0.5f, 0.66f), vec2(0.15f, 0.06f), 0.03f); }, solid(rgb(0x200000)));
    for (int i = 0; i < 4; ++i) {
        const float x = 0.38f + 0.08f * i;
        c.fill([=](vec2 p) { return sdf::polygon(p, {{x, 0.6f}, {x + 0.06f, 0.6f}, {x + 0.03f, 0.66f}}); }, solid(rgb(0xf0f0e0)));
        c.fill([=](vec2 p) { return sdf::polygon(p, {{x, 0.72f}, {x + 0.06f, 0.72f}, {x + 0.03f, 0.66f}}); }, solid(rgb(0xf0f0e0)));
    }
    return c;
}

Canvas bladestormIcon()
{
    Canvas c = skillBase(rgb(0x3a4a5a), rgb(0x080a10));
    c.fill([](vec2 p) { return std::fabs(sdf::circle(p, vec2(0.5f), 0.3f)) - 0.06f; },
           [](vec2 p) { return withAlpha(rgb(0xc0e0ff), 0.25f + 0.2f * std::sin(std::atan2(p.y - 0.5f, p.x - 0.5f) * 3.0f)); });
    for (int i = 0; i < 3; ++i) {
        const float a = i * 2.0f * PI / 3.0f;
        const vec2 d(std::cos(a), std::sin(a)), n(-d.y, d.x);
        const vec2 base = vec2(0.5f) + d * 0.08f, tip = vec2(0.5f) + d * 0.42f + n * 0.12f;
        c.fill([=](vec2 p) { return sdf::polygon(p, {base - n * 0.05f, tip, base + n * 0.06f}); },
               [=](vec2 p) { return glm::dot(p - base, n) > 0.0f ? rgb(0xf0f6ff) : rgb(0x8a9aae); });
    }
    c.fill([](vec2 p) { return sdf::circle(p, vec2(0.5f), 0.08f); }, radial(vec2(0.47f), 0.1f, rgb(0xf0d080), rgb(0x8a6020)));
    return c;
}

Canvas fireballIcon()
{
    Canvas c = skillBase(rgb(0x5a2008), rgb(0x140400));
    const vec2 centre(0.6f, 0.42f);
    c.fill([=](vec2 p) {
        const vec2 d = p - centre;
        const float along = glm::dot(d, glm::normalize(vec2(-1.0f, 1.0f)));
        const float flicker = 0.04f * noise::fbm(p * 10.0f, 3, 0, 4);
        return sdf::taper(p, centre, centre + vec2(-0.42f, 0.42f), 0.2f, 0.02f) + flicker - 0.0f * along;
    }, [=](vec2 p) {
        const float t = glm::length(p - centre) / 0.55f;
        return mix(mix(rgb(0xfff8c0), rgb(0xff9020), t * 1.6f), withAlpha(rgb(0xc02000), 0.8f), t * 1.2f - 0.4f);
    });
    c.glow([=](vec2 p) { return sdf::circle(p, centre, 0.16f); }, rgb(0xffd060, 0.8f), 0.1f, vec2(0.0f), vec2(1.0f));
    c.fill([=](vec2 p) { return sdf::circle(p, centre, 0.13f); }, radial(centre - vec2(0.03f), 0.16f, rgb(0xffffff), rgb(0xffc040)));
    return c;
}

Canvas skillFrame()
{
    Canvas c(128, 128);
    const Sdf outer = [](vec2 p) { return sdf::box(p, vec2(64.0f), vec2(63.5f), 10.0f); };
    const Sdf inner = [](vec2 p) { return sdf::box(p, vec2(64.0f), vec2(54.0f), 5.0f); };
    c.fill([&](vec2 p) { return sdf::subtract(outer(p), inner(p)); },
           [](vec2 p) { return mix(rgb(0xe8c870), rgb(0x6a4a18), glm::length(p - vec2(30.0f)) / 140.0f); });
    c.fill([&](vec2 p) { return std::fabs(inner(p) + 0.5f) - 1.2f; }, solid(rgb(0x201408)));
    c.fill([&](vec2 p) { return std::fabs(outer(p) + 4.5f) - 0.8f; }, solid(rgb(0xfff0b0, 0.7f)));
    for (const vec2 corner : {vec2(9.0f, 9.0f), vec2(119.0f, 9.0f), vec2(9.0f, 119.0f), vec2(119.0f, 119.0f)})
        c.fill([=](vec2 p) { return sdf::circle(p, corner, 4.0f); }, radial(corner - vec2(1.5f), 5.0f, rgb(0xffffff), rgb(0xa02020)));
    return c;
}

// ---- Logo -----------------------------------------------------------------

bool writeLogo(const AssetWriter& out)
{
    Font font;
    if (!font.load(Font::SERIF_BOLD_PATH))
        return false;
    const int w = 1024, h = 256;
    const std::string title = "MORVELUND";
    const float tracking = 6.0f;
    float cap = 130.0f;
    const float gap = 36.0f;
    const float twoCap = 1.25f;
    const auto width = [&](float c) { return font.advance(title, c, tracking) + gap + font.advance("2", c * twoCap); };
    cap = std::min(cap, cap * 930.0f / width(cap));
    const float x0 = (w - width(cap)) * 0.5f;
    const float baseline = 128.0f + cap * 0.5f;

    // One coverage mask for the whole title, so outline and shadow follow it.
    std::vector<float> mask(w * h, 0.0f);
    const auto stamp = [&](const std::string& text, float x, float c) {
        const Font::Mask m = font.line(text, c, tracking);
        for (int y = 0; y < m.height; ++y)
            for (int xx = 0; xx < m.width; ++xx) {
                const int tx = static_cast<int>(std::lround(x)) + m.left + xx;
                const int ty = static_cast<int>(std::lround(baseline)) + m.top + y;
                if (tx >= 0 && ty >= 0 && tx < w && ty < h)
                    mask[ty * w + tx] = std::max(mask[ty * w + tx], m.coverage[y * m.width + xx]);
            }
    };
    stamp(title, x0, cap);
    const float twoX = x0 + font.advance(title, cap, tracking) + gap;
    std::vector<float> twoMask(w * h, 0.0f);
    std::swap(mask, twoMask);
    stamp("2", twoX, cap * twoCap);
    std::swap(mask, twoMask);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = std::max(mask[i], twoMask[i]);

    std::vector<float> shadow = dilate(mask, w, h, 6.0f);
    blur(shadow, w, h, 4, 3);
    const std::vector<float> outline = dilate(mask, w, h, 4.0f);
    Canvas c(w, h);
    const float top = baseline - cap, span = cap;
    c.drawMask(shadow, w, h, 0, 6, solid(rgb(0x000000, 0.85f)));
    c.drawMask(outline, w, h, 0, 0, [&](vec2 p) { return mix(rgb(0x6a4a10), rgb(0x1a1006), (p.y - top) / span); });
    // Steel above the horizon line, burnished gold below it; the 2 glows red.
    c.drawMask(mask, w, h, 0, 0, [&](vec2 p) {
        const float t = (p.y - top) / span;
        const Color upper = mix(rgb(0xffffff), rgb(0xb8c4d4), t * 1.8f);
        const Color lower = mix(rgb(0xffd870), rgb(0x8a5010), (t - 0.55f) * 2.2f);
        return t < 0.55f ? upper : lower;
    });
    c.drawMask(twoMask, w, h, 0, 0, [&](vec2 p) {
        const float t = (p.y - (baseline - cap * twoCap)) / (span * twoCap);
        return mix(rgb(0xffb080), rgb(0xa01008), t);
    });
    return writeCanvas(out, "textures/logo.png", c);
}

bool generateHud(const AssetWriter& out)
{
    return writeCanvas(out, "textures/healthbar.png", liquid(128, 256, rgb(0x4a0206), rgb(0xff3a30), 3)) &&
           writeCanvas(out, "textures/powerbar.png", liquid(128, 256, rgb(0x06104a), rgb(0x3aa0ff), 7)) &&
           writeCanvas(out, "textures/healthbar_frame.png", barFrame(128, 256, 12.0f, 26.0f, rgb(0x5a5048), rgb(0xd8b050), true)) &&
           writeCanvas(out, "textures/expbar.png", horizontalFill(256, 32, rgb(0xffe070), rgb(0x8a5a00), true)) &&
           writeCanvas(out, "textures/expbar_frame.png", barFrame(2048, 44, 6.0f, 10.0f, rgb(0x5a5048), rgb(0xd8b050), false)) &&
           writeCanvas(out, "textures/enemyhealthbar.png", horizontalFill(64, 8, rgb(0xff4030), rgb(0x800808), false)) &&
           writeCanvas(out, "textures/enemyhealthbar_frame.png", enemyBarFrame()) &&
           writeCanvas(out, "textures/skill_teleport.png", teleportIcon()) &&
           writeCanvas(out, "textures/skill_regen.png", regenIcon()) &&
           writeCanvas(out, "textures/skill_berserker.png", berserkerIcon()) &&
           writeCanvas(out, "textures/skill_bladestorm.png", bladestormIcon()) &&
           writeCanvas(out, "textures/skill_fireball.png", fireballIcon()) &&
           writeCanvas(out, "textures/skill_frame.png", skillFrame()) && writeLogo(out);
}

} // namespace

REGISTER_GENERATOR("hud", generateHud);
