#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

// Straight (not premultiplied) RGBA colour, every channel 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

Color rgb(uint32_t hex, float alpha = 1.0f);
Color mix(const Color& a, const Color& b, float t);
// Multiplies the colour channels, keeps alpha.
Color shade(const Color& c, float factor);
Color withAlpha(const Color& c, float alpha);

// A signed distance in the caller's units: negative inside the shape.
using Sdf = std::function<float(glm::vec2)>;
// The colour of a shape at a point of the caller's coordinates.
using Paint = std::function<Color(glm::vec2)>;

Paint solid(const Color& c);
// Linear gradient from 'a' at point 'from' to 'b' at point 'to'.
Paint linear(glm::vec2 from, glm::vec2 to, const Color& a, const Color& b);
// Radial gradient from 'inner' at 'centre' to 'outer' at 'radius'.
Paint radial(glm::vec2 centre, float radius, const Color& inner, const Color& outer);

// A float RGBA picture, top row first, that the generators paint on with
// anti-aliased signed-distance shapes and composite with "source over".
// Coordinates are pixels with y pointing down; pixel (x, y) has its centre
// at (x + 0.5, y + 0.5). A Canvas can draw in a local frame (origin and
// scale) so that icons and faces are designed in their own units.
class Canvas {
public:
    Canvas(int width, int height, const Color& fill = Color{});

    int width() const { return w; }
    int height() const { return h; }

    Color get(int x, int y) const;
    void set(int x, int y, const Color& c);
    // Composites 'c' over pixel (x, y) with the given coverage.
    void blend(int x, int y, const Color& c, float coverage);

    // Sets the local frame: local point p lands on pixel origin + p * scale.
    void setFrame(glm::vec2 origin, float scale);
    void resetFrame() { setFrame(glm::vec2(0.0f), 1.0f); }

    // Fills the inside of 'shape' (local units) with 'paint', anti-aliased
    // over one pixel. Only pixels whose centres lie in the local box lo..hi
    // are painted, so the box also clips.
    void fill(const Sdf& shape, const Paint& paint, glm::vec2 lo, glm::vec2 hi);
    // Same, box taken as the whole canvas.
    void fill(const Sdf& shape, const Paint& paint);
    // A shape with a dark rim of 'outline' local units around it (the box clips both).
    void fillOutlined(const Sdf& shape, const Paint& paint, const Color& rim, float outline,
                      glm::vec2 lo, glm::vec2 hi);
    // Soft glow or shadow: 'c' fading out over 'radius' local units outside the shape, clipped to the box.
    void glow(const Sdf& shape, const Color& c, float radius, glm::vec2 lo, glm::vec2 hi);
    // Runs 'paint' over every pixel (local coordinates) and composites it.
    void paintAll(const Paint& paint);

    // Composites 'src' scaled into the pixel rectangle (x, y, dw, dh), bilinear.
    void draw(const Canvas& src, float x, float y, float dw, float dh);
    // Composites an alpha mask (0..1 per pixel, mw x mh) at pixel (x, y) in 'paint'.
    void drawMask(const std::vector<float>& mask, int mw, int mh, int x, int y, const Paint& paint);

    std::vector<uint8_t> rgba8() const;

private:
    glm::vec2 toLocal(float px, float py) const;

    int w, h;
    std::vector<Color> pixels;
    glm::vec2 origin{0.0f};
    float scale = 1.0f;
};

// Shapes in local units.
namespace sdf {
float circle(glm::vec2 p, glm::vec2 c, float r);
float box(glm::vec2 p, glm::vec2 centre, glm::vec2 half, float radius = 0.0f);
float segment(glm::vec2 p, glm::vec2 a, glm::vec2 b, float r);
// Segment whose radius goes from ra at a to rb at b.
float taper(glm::vec2 p, glm::vec2 a, glm::vec2 b, float ra, float rb);
float ellipse(glm::vec2 p, glm::vec2 c, glm::vec2 radii);
float polygon(glm::vec2 p, const std::vector<glm::vec2>& points);
// Arc band of radius r and half thickness t between angles a0..a1 (radians).
float arc(glm::vec2 p, glm::vec2 c, float r, float t, float a0, float a1);
inline float unite(float a, float b) { return a < b ? a : b; }
inline float intersect(float a, float b) { return a > b ? a : b; }
inline float subtract(float a, float b) { return a > -b ? a : -b; }
} // namespace sdf
