#include "Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

const char* const Font::SANS_BOLD_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const Font::SERIF_BOLD_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

bool Font::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "assetgen: font %s is missing (install the Debian package fonts-dejavu-core)\n",
                     path.c_str());
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!stbtt_InitFont(&info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0))) {
        std::fprintf(stderr, "assetgen: font %s cannot be read\n", path.c_str());
        return false;
    }
    return true;
}

float Font::scaleFor(float capHeight) const
{
    int x0, y0, x1, y1;
    if (!stbtt_GetCodepointBox(&info, 'H', &x0, &y0, &x1, &y1) || y1 <= 0)
        return stbtt_ScaleForPixelHeight(&info, capHeight);
    return capHeight / static_cast<float>(y1);
}

Font::Mask Font::glyph(int codepoint, float capHeight) const
{
    const float scale = scaleFor(capHeight);
    Mask mask;
    int w = 0, h = 0, xoff = 0, yoff = 0;
    unsigned char* bitmap = stbtt_GetCodepointBitmap(&info, scale, scale, codepoint, &w, &h, &xoff, &yoff);
    mask.width = w;
    mask.height = h;
    mask.left = xoff;
    mask.top = yoff;
    mask.coverage.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < mask.coverage.size(); ++i)
        mask.coverage[i] = bitmap[i] / 255.0f;
    stbtt_FreeBitmap(bitmap, nullptr);
    return mask;
}

float Font::advance(const std::string& text, float capHeight, float tracking) const
{
    const float scale = scaleFor(capHeight);
    float x = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        int adv = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&info, static_cast<unsigned char>(text[i]), &adv, &lsb);
        x += adv * scale + tracking;
        if (i + 1 < text.size())
            x += scale * stbtt_GetCodepointKernAdvance(&info, static_cast<unsigned char>(text[i]),
                                                       static_cast<unsigned char>(text[i + 1]));
    }
    return text.empty() ? 0.0f : x - tracking;
}

Font::Mask Font::line(const std::string& text, float capHeight, float tracking) const
{
    const float scale = scaleFor(capHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    Mask out;
    const int pad = 2;
    out.width = static_cast<int>(std::ceil(advance(text, capHeight, tracking))) + 2 * pad + 4;
    out.top = static_cast<int>(std::floor(-ascent * scale)) - pad;
    out.height = static_cast<int>(std::ceil((ascent - descent) * scale)) + 2 * pad;
    out.left = -pad;
    out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0.0f);
    float x = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        const Mask g = glyph(c, capHeight);
        const int gx = static_cast<int>(std::lround(x)) + g.left - out.left;
        const int gy = g.top - out.top;
        for (int y = 0; y < g.height; ++y)
            for (int xx = 0; xx < g.width; ++xx) {
                const int tx = gx + xx, ty = gy + y;
                if (tx < 0 || ty < 0 || tx >= out.width || ty >= out.height)
                    continue;
                float& d = out.coverage[static_cast<size_t>(ty) * out.width + tx];
                d = std::min(1.0f, d + g.coverage[static_cast<size_t>(y) * g.width + xx]);
            }
        int adv = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&info, c, &adv, &lsb);
        x += adv * scale + tracking;
        if (i + 1 < text.size())
            x += scale * stbtt_GetCodepointKernAdvance(&info, c, static_cast<unsigned char>(text[i + 1]));
    }
    return out;
}

void Font::draw(Canvas& canvas, const std::string& text, float x, float y, float capHeight, const Paint& paint,
                float align, float tracking) const
{
    const Mask m = line(text, capHeight, tracking);
    const float start = x - align * advance(text, capHeight, tracking);
    canvas.drawMask(m.coverage, m.width, m.height, static_cast<int>(std::lround(start)) + m.left,
                    static_cast<int>(std::lround(y)) + m.top, paint);
}

std::vector<float> dilate(const std::vector<float>& mask, int w, int h, float radius)
{
    std::vector<float> out(mask.size(), 0.0f);
    const int r = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float best = 0.0f;
            for (int dy = -r; dy <= r && best < 1.0f; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                        continue;
                    const float edge = std::min(1.0f, std::max(0.0f, radius + 0.5f - std::sqrt(float(dx * dx + dy * dy))));
                    best = std::max(best, mask[static_cast<size_t>(sy) * w + sx] * edge);
                }
            out[static_cast<size_t>(y) * w + x] = best;
        }
    return out;
}

void blur(std::vector<float>& mask, int w, int h, int radius, int passes)
{
    std::vector<float> tmp(mask.size());
    const float n = 2.0f * radius + 1.0f;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float s = 0.0f;
                for (int d = -radius; d <= radius; ++d)
                    s += mask[static_cast<size_t>(y) * w + std::min(w - 1, std::max(0, x + d))];
                tmp[static_cast<size_t>(y) * w + x] = s / n;
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float s = 0.0f;
                for (int d = -radius; d <= radius; ++d)
                    s += tmp[static_cast<size_t>(std::min(h - 1, std::max(0, y + d))) * w + x];
                mask[static_cast<size_t>(y) * w + x] = s / n;
            }
    }
}
