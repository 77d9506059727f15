// The world map, painted for a 1920 x 1080 window: the town of Morvelund in
// the green middle lands, the Sunken Crypt in the dark western woods, the
// Ice Caves in the northern mountains and the Eastern Wastes in the desert.
// Each place is marked where the map answers clicks (centres given from the
// window's bottom-left corner, radius 25 pixels).
#include <cmath>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Font.h"
#include "Generator.h"
#include "Noise.h"

namespace {

using glm::vec2;

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr float PLACE_RADIUS = 25.0f;

struct Place {
    const char* name;
    float x, y;  // window pixels, y up
};
constexpr Place CRYPT = {"SUNKEN CRYPT", 176, 402};
constexpr Place ICE = {"ICE CAVES", 802, 848};
constexpr Place WASTES = {"EASTERN WASTES", 1666, 697};
constexpr Place TOWN = {"MORVELUND", 1043, 432};

vec2 onPicture(const Place& p)
{
    return vec2(p.x, HEIGHT - p.y);
}


float smoothstep(float a, float b, float x)
{
    const float t = std::min(1.0f, std::max(0.0f, (x - a) / (b - a)));
    return t * t * (3.0f - 2.0f * t);
}

// Land height: rolling hills, mountains in the north, the sea in the south-west.
float terrain(vec2 p)
{
    float h = 0.5f + 0.35f * noise::fbm(p / 380.0f, 6, 0, 1);
    const float north = smoothstep(560.0f, 120.0f, p.y);
    h += 0.75f * north * noise::ridged(p / 260.0f, 5, 0, 2);
    const float sea = glm::length((p - vec2(200.0f, 1150.0f)) / vec2(700.0f, 420.0f));
    h -= 0.6f * std::max(0.0f, 1.0f - sea);
    return h;
}

// The river from the mountains past the town to the sea.
std::vector<vec2> riverPath()
{
    std::vector<vec2> pts;
    for (int i = 0; i <= 40; ++i) {
        const float t = i / 40.0f;
        const vec2 a(980.0f, 300.0f), b(1000.0f, 660.0f), c(560.0f, 1000.0f);
        vec2 p = t < 0.5f ? glm::mix(a, b, t * 2.0f) : glm::mix(b, c, (t - 0.5f) * 2.0f);
        p.x += 40.0f * std::sin(t * 17.0f) + 25.0f * noise::fbm(vec2(t * 6.0f, 0.5f), 2, 0, 9);
        pts.push_back(p);
    }
    return pts;
}

float polylineDistance(vec2 p, const std::vector<vec2>& pts, float* along = nullptr)
{
    float best = 1e9f, walked = 0.0f, bestAlong = 0.0f;
    for (size_t i = 1; i < pts.size(); ++i) {
        const vec2 a = pts[i - 1], b = pts[i];
        const vec2 ab = b - a;
        const float t = std::min(1.0f, std::max(0.0f, glm::dot(p - a, ab) / glm::dot(ab, ab)));
        const float d = glm::length(p - a - ab * t);
        if (d < best) {
            best = d;
            bestAlong = walked + t * glm::length(ab);
        }
        walked += glm::length(ab);
    }
    if (along)
        *along = bestAlong;
    return best;
}

void paintLand(Canvas& c)
{
    const std::vector<vec2> river = riverPath();
    const vec2 light = glm::normalize(vec2(-1.0f, -1.0f));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            const vec2 p(x + 0.5f, y + 0.5f);
            const float h = terrain(p);
            const float slope = glm::dot(vec2(terrain(p + vec2(2.0f, 0.0f)) - h, terrain(p + vec2(0.0f, 2.0f)) - h), light);
            const float detail = noise::fbm(p / 40.0f, 4, 0, 6);
            const float snow = smoothstep(460.0f, 240.0f, p.y) * smoothstep(0.78f, 0.98f, h + 0.1f * detail);
            const float desert = smoothstep(1250.0f, 1550.0f, p.x + 80.0f * noise::fbm(p / 200.0f, 3, 0, 4));
            const float gloom = smoothstep(620.0f, 320.0f, p.x + 80.0f * noise::fbm(p / 200.0f, 3, 0, 5));
            Color land = mix(rgb(0x5e8a3a), rgb(0x86a44e), 0.5f + 0.6f * detail);
            land = mix(land, mix(rgb(0xc89858), rgb(0xe0b878), 0.5f + 0.5f * detail), desert);
            land = mix(land, mix(rgb(0x2a3a24), rgb(0x3e4a30), 0.5f + 0.5f * detail), gloom);
            land = mix(land, rgb(0x8a8478), smoothstep(0.75f, 0.95f, h));
            land = mix(land, rgb(0xf2f6fa), snow);
            // Woods: dark speckles where it is green and low.
            const noise::Cells tree = noise::cells(p / 9.0f, 0, 7);
            const float woods = smoothstep(0.1f, 0.4f, noise::fbm(p / 160.0f, 3, 0, 8)) * (1.0f - desert) * (1.0f - snow) *
                                smoothstep(0.8f, 0.65f, h);
            if (tree.f1 < 0.38f && woods > 0.2f)
                land = mix(land, shade(land, 0.55f), woods * (1.0f - tree.f1 / 0.38f) * 1.4f);
            Color col = shade(land, 1.0f + 14.0f * slope);
            // Water: the sea and the river, with a sandy shore.
            const float sea = 0.34f - h;
            float along = 0.0f;
            const float riverWidth = 3.0f + 5.0f * (p.y - 300.0f) / 700.0f;
            const float riverD = polylineDistance(p, river, &along) - riverWidth;
            if (sea > -0.02f && sea <= 0.0f)
                col = mix(col, rgb(0xd8c890), (sea + 0.02f) / 0.02f);
            if (sea > 0.0f)
                col = mix(rgb(0x3a7ab0), rgb(0x1a3a70), std::min(1.0f, sea * 6.0f) + 0.05f * detail);
            if (riverD < 1.0f && p.y > 300.0f)
                col = mix(col, rgb(0x3a7ab0), std::min(1.0f, 1.0f - riverD));
            col.a = 1.0f;
            c.set(x, y, col);
        }
}

// A winding road of dashes between two places.
void road(Canvas& c, vec2 from, vec2 to, int seed)
{
    const vec2 d = to - from, n = glm::normalize(vec2(-d.y, d.x));
    std::vector<vec2> pts;
    for (int i = 0; i <= 30; ++i) {
        const float t = i / 30.0f;
        pts.push_back(from + d * t + n * (60.0f * std::sin(t * 3.14159f) * noise::fbm(vec2(t * 3.0f, 0.0f), 2, 0, seed) +
                                          25.0f * std::sin(t * 12.0f + seed)));
    }
    const vec2 lo = glm::min(from, to) - vec2(120.0f), hi = glm::max(from, to) + vec2(120.0f);
    c.fill([&](vec2 p) {
        float along = 0.0f;
        const float dist = polylineDistance(p, pts, &along);
        const float dash = std::fabs(std::fmod(along, 22.0f) - 11.0f) - 6.0f;
        return std::max(dist - 2.6f, dash);
    }, solid(rgb(0x5a3a1a, 0.85f)), lo, hi);
}

void marker(Canvas& c, vec2 at, const Color& ring)
{
    c.glow([=](vec2 p) { return sdf::circle(p, at, PLACE_RADIUS); }, withAlpha(ring, 0.55f), 18.0f, at - vec2(45.0f), at + vec2(45.0f));
    c.fill([=](vec2 p) { return std::fabs(sdf::circle(p, at, PLACE_RADIUS - 2.0f)) - 3.0f; },
           [=](vec2 p) { return shade(ring, 1.2f - (p.y - at.y + 25.0f) / 80.0f); });
    c.fill([=](vec2 p) { return std::fabs(sdf::circle(p, at, PLACE_RADIUS - 2.0f)) - 0.8f; }, solid(rgb(0xffffff, 0.6f)));
}

// The town: a wall around roofs and a keep.
void town(Canvas& c, vec2 at)
{
    marker(c, at, rgb(0xf0c040));
    c.fill([=](vec2 p) { return sdf::circle(p, at, 19.0f); }, solid(rgb(0x6a8a40, 0.9f)));
    const vec2 houses[] = {{-10, 6}, {4, 8}, {11, -2}, {-12, -5}, {-2, -10}};
    for (const vec2 h : houses) {
        const vec2 q = at + h;
        c.fill([=](vec2 p) { return sdf::box(p, q + vec2(0.0f, 2.0f), vec2(4.5f, 3.0f)); }, solid(rgb(0xe0d0b0)));
        c.fill([=](vec2 p) { return sdf::polygon(p, {q + vec2(-6.0f, -1.0f), q + vec2(6.0f, -1.0f), q + vec2(0.0f, -7.0f)}); },
               solid(rgb(0xb03a20)));
    }
    c.fill([=](vec2 p) { return sdf::box(p, at + vec2(0.0f, -2.0f), vec2(4.0f, 9.0f)); }, solid(rgb(0xb0a898)));
    c.fill([=](vec2 p) { return sdf::polygon(p, {at + vec2(-5.5f, -11.0f), at + vec2(5.5f, -11.0f), at + vec2(0.0f, -19.0f)}); },
           solid(rgb(0x3a4a8a)));
}

// A cave mouth in a rock face, lit from inside in the dungeon's colour.
void dungeon(Canvas& c, vec2 at, const Color& ring, const Color& rock, const Color& light)
{
    marker(c, at, ring);
    c.fill([=](vec2 p) { return sdf::polygon(p, {at + vec2(-19.0f, 12.0f), at + vec2(-10.0f, -14.0f), at + vec2(3.0f, -19.0f),
                                                 at + vec2(17.0f, -8.0f), at + vec2(19.0f, 12.0f)}); },
           [=](vec2 p) { return shade(rock, 1.3f - (p.y - at.y + 19.0f) / 45.0f); });
    c.glow([=](vec2 p) { return sdf::ellipse(p, at + vec2(0.0f, 4.0f), vec2(7.0f, 9.0f)); }, withAlpha(light, 0.9f), 7.0f,
           at - vec2(20.0f), at + vec2(20.0f));
    c.fill([=](vec2 p) { return sdf::intersect(sdf::ellipse(p, at + vec2(0.0f, 4.0f), vec2(8.0f, 11.0f)), p.y - at.y - 12.0f); },
           [=](vec2 p) { return mix(shade(light, 0.6f), rgb(0x000000), (p.y - at.y + 6.0f) / 18.0f); });
}

void label(Canvas& c, const Font& font, const std::string& text, vec2 at)
{
    const float size = 20.0f;
    const float w = font.advance(text, size, 2.0f);
    const vec2 centre(at.x, at.y + 52.0f);
    c.fill([=](vec2 p) { return sdf::box(p, centre, vec2(w * 0.5f + 12.0f, 16.0f), 6.0f); }, solid(rgb(0x1a120a, 0.65f)));
    font.draw(c, text, at.x, centre.y + size * 0.5f, size, solid(rgb(0xf0e0b0)), 0.5f, 2.0f);
}

void compass(Canvas& c, const Font& font, vec2 at)
{
    c.fill([=](vec2 p) { return std::fabs(sdf::circle(p, at, 52.0f)) - 2.0f; }, solid(rgb(0x3a2a18, 0.8f)));
    for (int i = 0; i < 4; ++i) {
        const float a = i * 1.5708f;
        const vec2 d(std::cos(a), std::sin(a)), n(-d.y, d.x);
        c.fill([=](vec2 p) { return sdf::polygon(p, {at + d * 62.0f, at + n * 9.0f, at - n * 9.0f}); },
               [=](vec2 p) { return glm::dot(p - at, n) > 0.0f ? rgb(0xf0e0b0) : rgb(0x6a4a28); });
    }
    font.draw(c, "N", at.x, at.y - 70.0f, 18.0f, solid(rgb(0xf0e0b0)), 0.5f);
}

bool generateWorldMap(const AssetWriter& out)
{
    Font font;
    if (!font.load(Font::SERIF_BOLD_PATH))
        return false;
    Canvas c(WIDTH, HEIGHT);
    paintLand(c);
    const vec2 town_ = onPicture(TOWN);
    road(c, town_, onPicture(CRYPT), 1);
    road(c, town_, onPicture(ICE), 2);
    road(c, town_, onPicture(WASTES), 3);
    town(c, town_);
    dungeon(c, onPicture(CRYPT), rgb(0xc03030), rgb(0x3a3432), rgb(0xff4020));
    dungeon(c, onPicture(ICE), rgb(0x60c0ff), rgb(0x8aa4b8), rgb(0x80e0ff));
    dungeon(c, onPicture(WASTES), rgb(0xe08a30), rgb(0x8a5a30), rgb(0xffb040));
    for (const Place& p : {TOWN, CRYPT, ICE, WASTES})
        label(c, font, p.name, onPicture(p));
    compass(c, font, vec2(1780.0f, 940.0f));
    // Old-map vignette towards the edges.
    c.paintAll([](vec2 p) {
        const vec2 d = (p - vec2(WIDTH * 0.5f, HEIGHT * 0.5f)) / vec2(WIDTH * 0.5f, HEIGHT * 0.5f);
        const float edge = std::max(0.0f, glm::length(d) - 0.75f);
        return rgb(0x1a1008, std::min(0.8f, edge * 1.3f));
    });
    return out.writePng("textures/worldmap.png", WIDTH, HEIGHT, c.rgba8());
}

} // namespace

REGISTER_GENERATOR("worldmap", generateWorldMap);
