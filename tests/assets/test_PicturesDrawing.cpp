// The drawing helpers every picture generator paints with: compositing,
// anti-aliased shapes, clipping, resampling, tiling noise and text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "Canvas.h"
#include "Font.h"
#include "Noise.h"

using glm::vec2;

namespace {

float coverageSum(const Canvas& c)
{
    float sum = 0.0f;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            sum += c.get(x, y).a;
    return sum;
}

} // namespace

TEST(PicturesDrawing, compositingIsSourceOverWithStraightAlpha)
{
    Canvas c(2, 1, rgb(0x0000ff));
    c.blend(0, 0, rgb(0xff0000, 0.5f), 1.0f);
    EXPECT_NEAR(0.5f, c.get(0, 0).r, 1e-4f);
    EXPECT_NEAR(0.5f, c.get(0, 0).b, 1e-4f);
    EXPECT_NEAR(1.0f, c.get(0, 0).a, 1e-4f);
    // Over a transparent pixel the colour is kept whole and only alpha is partial,
    // so soft edges do not turn dark when the picture is filtered.
    Canvas clear(1, 1);
    clear.blend(0, 0, rgb(0xffffff), 0.25f);
    EXPECT_NEAR(1.0f, clear.get(0, 0).g, 1e-4f);
    EXPECT_NEAR(0.25f, clear.get(0, 0).a, 1e-4f);
    // Bytes round to nearest.
    Canvas one(1, 1, Color{0.5f, 1.0f / 255.0f * 0.49f, 2.0f, -1.0f});
    const std::vector<uint8_t> bytes = one.rgba8();
    EXPECT_EQ(128, bytes[0]);
    EXPECT_EQ(0, bytes[1]);
    EXPECT_EQ(255, bytes[2]);
    EXPECT_EQ(0, bytes[3]);
}

TEST(PicturesDrawing, shapesAreAntiAliasedToTheirTrueArea)
{
    Canvas c(64, 64);
    c.fill([](vec2 p) { return sdf::circle(p, vec2(32.0f), 20.0f); }, solid(rgb(0xffffff)));
    EXPECT_NEAR(3.14159f * 400.0f, coverageSum(c), 6.0f);
    // An edge half across a pixel covers it half.
    Canvas edge(4, 1);
    edge.fill([](vec2 p) { return p.x - 2.5f; }, solid(rgb(0xffffff)));
    EXPECT_NEAR(1.0f, edge.get(1, 0).a, 1e-4f);
    EXPECT_NEAR(0.5f, edge.get(2, 0).a, 1e-4f);
    EXPECT_NEAR(0.0f, edge.get(3, 0).a, 1e-4f);
    // In a local frame distances are scaled back to pixels.
    Canvas framed(64, 64);
    framed.setFrame(vec2(0.0f), 64.0f);
    framed.fill([](vec2 p) { return sdf::circle(p, vec2(0.5f), 20.0f / 64.0f); }, solid(rgb(0xffffff)));
    EXPECT_NEAR(coverageSum(c), coverageSum(framed), 1.0f);
}

TEST(PicturesDrawing, theBoxClipsFillsGlowsAndOutlines)
{
    Canvas c(32, 32);
    c.setFrame(vec2(0.0f), 32.0f);
    const Sdf big = [](vec2 p) { return sdf::circle(p, vec2(0.5f), 0.6f); };
    c.fillOutlined(big, solid(rgb(0xffffff)), rgb(0x000000), 0.1f, vec2(0.25f), vec2(0.75f));
    c.glow(big, rgb(0xff0000), 0.3f, vec2(0.25f), vec2(0.75f));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inside = x >= 8 && x < 24 && y >= 8 && y < 24;
            EXPECT_EQ(inside, c.get(x, y).a > 0.0f) << x << "," << y;
        }
}

TEST(PicturesDrawing, distanceFunctionsAreZeroOnTheirOutlines)
{
    EXPECT_NEAR(0.0f, sdf::circle(vec2(3.0f, 4.0f), vec2(0.0f), 5.0f), 1e-5f);
    EXPECT_NEAR(-1.0f, sdf::box(vec2(0.0f), vec2(0.0f), vec2(1.0f, 2.0f)), 1e-5f);
    EXPECT_NEAR(1.0f, sdf::box(vec2(2.0f, 0.0f), vec2(0.0f), vec2(1.0f, 2.0f)), 1e-5f);
    EXPECT_NEAR(0.5f, sdf::segment(vec2(1.0f, 1.0f), vec2(0.0f), vec2(2.0f, 0.0f), 0.5f), 1e-5f);
    EXPECT_NEAR(0.0f, sdf::taper(vec2(2.0f, 2.0f), vec2(0.0f), vec2(2.0f, 0.0f), 1.0f, 2.0f), 1e-5f);
    // Ellipse: on the outline at both radii, negative inside, positive outside.
    for (const vec2 p : {vec2(3.0f, 0.0f), vec2(0.0f, 1.0f), vec2(-3.0f, 0.0f)})
        EXPECT_NEAR(0.0f, sdf::ellipse(p, vec2(0.0f), vec2(3.0f, 1.0f)), 1e-4f);
    EXPECT_LT(sdf::ellipse(vec2(2.0f, 0.0f), vec2(0.0f), vec2(3.0f, 1.0f)), 0.0f);
    EXPECT_NEAR(1.0f, sdf::ellipse(vec2(4.0f, 0.0f), vec2(0.0f), vec2(3.0f, 1.0f)), 0.1f);
    // A concave polygon (an L) knows its notch is outside.
    const std::vector<vec2> ell = {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    EXPECT_LT(sdf::polygon(vec2(0.5f, 1.5f), ell), 0.0f);
    EXPECT_NEAR(0.5f, sdf::polygon(vec2(1.5f, 1.5f), ell), 1e-5f);
    // Arc band: inside between its end angles only.
    EXPECT_LT(sdf::arc(vec2(0.0f, 1.0f), vec2(0.0f), 1.0f, 0.1f, 0.0f, 3.14159f), 0.0f);
    EXPECT_GT(sdf::arc(vec2(0.0f, -1.0f), vec2(0.0f), 1.0f, 0.1f, 0.0f, 3.14159f), 0.5f);
}

TEST(PicturesDrawing, resamplingKeepsColoursAndIgnoresTransparentNeighbours)
{
    Canvas src(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            src.set(x, y, rgb(0x40c080));  // right half stays transparent black
    Canvas dst(4, 4);
    dst.draw(src, 0.0f, 0.0f, 4.0f, 4.0f);
    // Shrinking by two: left column full, the column at the edge keeps its
    // colour (not darkened by the transparent black) with partial alpha.
    EXPECT_NEAR(1.0f, dst.get(0, 1).a, 1e-3f);
    EXPECT_NEAR(0x40 / 255.0f, dst.get(1, 1).r, 1e-3f);
    EXPECT_NEAR(0xc0 / 255.0f, dst.get(1, 1).g, 1e-3f);
    EXPECT_GT(dst.get(1, 1).a, 0.3f);
    EXPECT_NEAR(0.0f, dst.get(3, 1).a, 1e-3f);
    // Drawing outside the canvas is clipped, not an error.
    dst.draw(src, -10.0f, 30.0f, 8.0f, 8.0f);
}

TEST(PicturesDrawing, noiseRepeatsWithItsPeriodAndIsRepeatable)
{
    for (const vec2 p : {vec2(0.3f, 0.7f), vec2(2.9f, 5.1f), vec2(7.75f, 0.05f)}) {
        EXPECT_NEAR(noise::fbm(p, 4, 8, 3), noise::fbm(p + vec2(8.0f, 0.0f), 4, 8, 3), 1e-4f);
        EXPECT_NEAR(noise::fbm(p, 4, 8, 3), noise::fbm(p + vec2(0.0f, 8.0f), 4, 8, 3), 1e-4f);
        EXPECT_NEAR(noise::ridged(p, 3, 4, 5), noise::ridged(p + vec2(4.0f, 4.0f), 3, 4, 5), 1e-4f);
        const noise::Cells a = noise::cells(p, 6, 7), b = noise::cells(p + vec2(6.0f, -6.0f), 6, 7);
        EXPECT_NEAR(a.f1, b.f1, 1e-4f);
        EXPECT_NEAR(a.f2, b.f2, 1e-4f);
        EXPECT_EQ(a.id, b.id);
        EXPECT_LE(a.f1, a.f2);
    }
    EXPECT_NE(noise::fbm(vec2(0.3f, 0.7f), 4, 8, 3), noise::fbm(vec2(0.3f, 0.7f), 4, 8, 4));
    float lo = 1.0f, hi = 0.0f;
    for (int i = 0; i < 1000; ++i) {
        const float h = noise::hash(i, -i, 9);
        lo = std::min(lo, h);
        hi = std::max(hi, h);
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LT(hi, 1.0f);
    Rng first(42), second(42);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(first.next(), second.next());
}

TEST(PicturesDrawing, textIsRasterisedAtTheAskedCapitalHeight)
{
    Font font;
    ASSERT_TRUE(font.load(Font::SANS_BOLD_PATH));
    const Font::Mask h = font.glyph('H', 40.0f);
    int top = h.height, bottom = -1;
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x)
            if (h.coverage[y * h.width + x] > 0.5f) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_NEAR(40.0f, static_cast<float>(bottom - top + 1), 1.5f);
    EXPECT_NEAR(0.0f, static_cast<float>(h.top + bottom + 1), 1.5f) << "H stands on the baseline";
    float spaceInk = 0.0f;
    for (float v : font.glyph(' ', 40.0f).coverage)
        spaceInk += v;
    EXPECT_EQ(0.0f, spaceInk);
    EXPECT_GT(font.advance("WW", 20.0f), font.advance("W", 20.0f) * 1.8f);
    EXPECT_NEAR(font.advance("AB", 20.0f, 5.0f), font.advance("AB", 20.0f) + 5.0f, 1e-3f);

    Font missing;
    EXPECT_FALSE(missing.load("/nonexistent/font.ttf"));
}

TEST(PicturesDrawing, dilationGrowsAMaskIntoADiscAndBlurKeepsItsMass)
{
    const int w = 21, h = 21;
    std::vector<float> mask(w * h, 0.0f);
    mask[10 * w + 10] = 1.0f;
    const std::vector<float> grown = dilate(mask, w, h, 4.0f);
    // The grown outline passes through the centres of the pixels 'radius' away.
    EXPECT_FLOAT_EQ(1.0f, grown[10 * w + 13]);
    EXPECT_FLOAT_EQ(0.5f, grown[10 * w + 14]);
    EXPECT_FLOAT_EQ(0.0f, grown[10 * w + 15]);
    EXPECT_LT(grown[14 * w + 14], 0.01f);  // the corner of the square is outside the disc
    std::vector<float> blurred = grown;
    blur(blurred, w, h, 2, 2);
    float before = 0.0f, after = 0.0f;
    for (size_t i = 0; i < grown.size(); ++i) {
        before += grown[i];
        after += blurred[i];
    }
    EXPECT_NEAR(before, after, before * 0.02f);
    EXPECT_LT(blurred[10 * w + 10], 1.0f);
}
