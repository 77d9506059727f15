#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

uint8_t toByte(float v)
{
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

} // namespace

Color rgb(uint32_t hex, float alpha)
{
    return Color{((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

Color mix(const Color& a, const Color& b, float t)
{
    t = clamp01(t);
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color shade(const Color& c, float factor)
{
    return Color{c.r * factor, c.g * factor, c.b * factor, c.a};
}

Color withAlpha(const Color& c, float alpha)
{
    return Color{c.r, c.g, c.b, alpha};
}

Paint solid(const Color& c)
{
    return [c](glm::vec2) { return c; };
}

Paint linear(glm::vec2 from, glm::vec2 to, const Color& a, const Color& b)
{
    const glm::vec2 axis = to - from;
    const float length2 = std::max(1e-6f, glm::dot(axis, axis));
    return [=](glm::vec2 p) { return mix(a, b, glm::dot(p - from, axis) / length2); };
}

Paint radial(glm::vec2 centre, float radius, const Color& inner, const Color& outer)
{
    return [=](glm::vec2 p) { return mix(inner, outer, glm::length(p - centre) / radius); };
}

Canvas::Canvas(int width, int height, const Color& fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill)
{
}

Color Canvas::get(int x, int y) const
{
    x = std::min(w - 1, std::max(0, x));
    y = std::min(h - 1, std::max(0, y));
    return pixels[static_cast<size_t>(y) * w + x];
}

void Canvas::set(int x, int y, const Color& c)
{
    if (x >= 0 && y >= 0 && x < w && y < h)
        pixels[static_cast<size_t>(y) * w + x] = c;
}

void Canvas::blend(int x, int y, const Color& c, float coverage)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    const float sa = clamp01(c.a * coverage);
    if (sa <= 0.0f)
        return;
    Color& d = pixels[static_cast<size_t>(y) * w + x];
    const float outA = sa + d.a * (1.0f - sa);
    if (outA <= 1e-6f) {
        d = Color{};
        return;
    }
    const float keep = d.a * (1.0f - sa);
    d.r = (c.r * sa + d.r * keep) / outA;
    d.g = (c.g * sa + d.g * keep) / outA;
    d.b = (c.b * sa + d.b * keep) / outA;
    d.a = outA;
}

void Canvas::setFrame(glm::vec2 frameOrigin, float frameScale)
{
    origin = frameOrigin;
    scale = frameScale;
}

glm::vec2 Canvas::toLocal(float px, float py) const
{
    return (glm::vec2(px, py) - origin) / scale;
}

void Canvas::fill(const Sdf& shape, const Paint& paint, glm::vec2 lo, glm::vec2 hi)
{
    // The box clips: only pixels whose centres lie inside it are painted.
    const int x0 = std::max(0, static_cast<int>(std::ceil(origin.x + lo.x * scale - 0.5f)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(origin.y + lo.y * scale - 0.5f)));
    const int x1 = std::min(w - 1, static_cast<int>(std::floor(origin.x + hi.x * scale - 0.5f)));
    const int y1 = std::min(h - 1, static_cast<int>(std::floor(origin.y + hi.y * scale - 0.5f)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const glm::vec2 p = toLocal(x + 0.5f, y + 0.5f);
            const float coverage = clamp01(0.5f - shape(p) * scale);
            if (coverage > 0.0f)
                blend(x, y, paint(p), coverage);
        }
    }
}

void Canvas::fill(const Sdf& shape, const Paint& paint)
{
    fill(shape, paint, toLocal(0, 0), toLocal(static_cast<float>(w), static_cast<float>(h)));
}

void Canvas::fillOutlined(const Sdf& shape, const Paint& paint, const Color& rim, float outline,
                          glm::vec2 lo, glm::vec2 hi)
{
    fill([&](glm::vec2 p) { return shape(p) - outline; }, solid(rim), lo, hi);
    fill(shape, paint, lo, hi);
}

void Canvas::glow(const Sdf& shape, const Color& c, float radius, glm::vec2 lo, glm::vec2 hi)
{
    fill([&](glm::vec2 p) { return shape(p) - radius; },
         [&](glm::vec2 p) {
             const float t = clamp01(shape(p) / radius);
             return withAlpha(c, c.a * (1.0f - t) * (1.0f - t));
         },
         lo, hi);
}

void Canvas::paintAll(const Paint& paint)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            blend(x, y, paint(toLocal(x + 0.5f, y + 0.5f)), 1.0f);
}

void Canvas::draw(const Canvas& src, float x, float y, float dw, float dh)
{
    const int x0 = std::max(0, static_cast<int>(std::floor(x)));
    const int y0 = std::max(0, static_cast<int>(std::floor(y)));
    const int x1 = std::min(w, static_cast<int>(std::ceil(x + dw)));
    const int y1 = std::min(h, static_cast<int>(std::ceil(y + dh)));
    const float sx = src.w / dw;
    const float sy = src.h / dh;
    // Shrinking averages several source samples per pixel.
    const int taps = std::min(8, std::max(1, static_cast<int>(std::ceil(std::max(sx, sy)))));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int ty = 0; ty < taps; ++ty) {
                for (int tx = 0; tx < taps; ++tx) {
                    const float u = (px + (tx + 0.5f) / taps - x) * sx - 0.5f;
                    const float v = (py + (ty + 0.5f) / taps - y) * sy - 0.5f;
                    const int iu = static_cast<int>(std::floor(u));
                    const int iv = static_cast<int>(std::floor(v));
                    const float fu = u - iu, fv = v - iv;
                    const Color c00 = src.get(iu, iv), c10 = src.get(iu + 1, iv);
                    const Color c01 = src.get(iu, iv + 1), c11 = src.get(iu + 1, iv + 1);
                    const float w00 = (1 - fu) * (1 - fv) * c00.a, w10 = fu * (1 - fv) * c10.a;
                    const float w01 = (1 - fu) * fv * c01.a, w11 = fu * fv * c11.a;
                    r += c00.r * w00 + c10.r * w10 + c01.r * w01 + c11.r * w11;
                    g += c00.g * w00 + c10.g * w10 + c01.g * w01 + c11.g * w11;
                    b += c00.b * w00 + c10.b * w10 + c01.b * w01 + c11.b * w11;
                    a += w00 + w10 + w01 + w11;
                }
            }
            const float n = static_cast<float>(taps * taps);
            if (a > 1e-6f)
                blend(px, py, Color{r / a, g / a, b / a, a / n}, 1.0f);
        }
    }
}

void Canvas::drawMask(const std::vector<float>& mask, int mw, int mh, int x, int y, const Paint& paint)
{
    for (int my = 0; my < mh; ++my)
        for (int mx = 0; mx < mw; ++mx) {
            const float coverage = mask[static_cast<size_t>(my) * mw + mx];
            if (coverage > 0.0f)
                blend(x + mx, y + my, paint(toLocal(x + mx + 0.5f, y + my + 0.5f)), coverage);
        }
}

std::vector<uint8_t> Canvas::rgba8() const
{
    std::vector<uint8_t> out;
    out.reserve(pixels.size() * 4);
    for (const Color& c : pixels) {
        out.push_back(toByte(c.r));
        out.push_back(toByte(c.g));
        out.push_back(toByte(c.b));
        out.push_back(toByte(c.a));
    }
    return out;
}

namespace sdf {

float circle(glm::vec2 p, glm::vec2 c, float r)
{
    return glm::length(p - c) - r;
}

float box(glm::vec2 p, glm::vec2 centre, glm::vec2 half, float radius)
{
    const glm::vec2 d = glm::abs(p - centre) - half + glm::vec2(radius);
    return glm::length(glm::max(d, glm::vec2(0.0f))) + std::min(std::max(d.x, d.y), 0.0f) - radius;
}

float segment(glm::vec2 p, glm::vec2 a, glm::vec2 b, float r)
{
    return taper(p, a, b, r, r);
}

float taper(glm::vec2 p, glm::vec2 a, glm::vec2 b, float ra, float rb)
{
    const glm::vec2 pa = p - a, ba = b - a;
    const float t = clamp01(glm::dot(pa, ba) / std::max(1e-9f, glm::dot(ba, ba)));
    return glm::length(pa - ba * t) - (ra + (rb - ra) * t);
}

float ellipse(glm::vec2 p, glm::vec2 c, glm::vec2 radii)
{
    // Scaled-circle distance with a gradient correction: close enough for
    // anti-aliasing at the edge, which is all the painting needs.
    const glm::vec2 q = (p - c) / radii;
    const float k = glm::length(q);
    const glm::vec2 grad = q / radii;
    const float gl = glm::length(grad);
    return gl > 1e-9f ? k * (k - 1.0f) / gl : -std::min(radii.x, radii.y);
}

float polygon(glm::vec2 p, const std::vector<glm::vec2>& v)
{
    float d = glm::dot(p - v[0], p - v[0]);
    float s = 1.0f;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const glm::vec2 e = v[j] - v[i];
        const glm::vec2 wv = p - v[i];
        const glm::vec2 b = wv - e * clamp01(glm::dot(wv, e) / std::max(1e-12f, glm::dot(e, e)));
        d = std::min(d, glm::dot(b, b));
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * wv.y > e.y * wv.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            s = -s;
    }
    return s * std::sqrt(d);
}

float arc(glm::vec2 p, glm::vec2 c, float r, float t, float a0, float a1)
{
    const glm::vec2 q = p - c;
    float angle = std::atan2(q.y, q.x);
    while (angle < a0)
        angle += 6.2831853f;
    if (angle <= a1)
        return std::fabs(glm::length(q) - r) - t;
    const glm::vec2 e0 = c + r * glm::vec2(std::cos(a0), std::sin(a0));
    const glm::vec2 e1 = c + r * glm::vec2(std::cos(a1), std::sin(a1));
    return std::min(glm::length(p - e0), glm::length(p - e1)) - t;
}

} // namespace sdf
