#pragma once

#include <string>
#include <vector>

#include <stb_truetype.h>

#include "Canvas.h"

// A TrueType face from a Debian fonts package, rasterised with stb_truetype
// into anti-aliased coverage masks for the painters.
class Font {
public:
    // Regular text face and the heavier display face of the logo.
    static const char* const SANS_BOLD_PATH;
    static const char* const SERIF_BOLD_PATH;

    // Reads the font file; false (with a message on stderr) if it is missing.
    bool load(const std::string& path);

    struct Mask {
        int width = 0;
        int height = 0;
        // Pixel offset of the mask's top-left corner from the pen position on the baseline.
        int left = 0;
        int top = 0;
        std::vector<float> coverage;
    };
    // One glyph whose capital letters are 'capHeight' pixels high.
    Mask glyph(int codepoint, float capHeight) const;
    // A whole line, pen starting at x = 0 on the baseline.
    Mask line(const std::string& text, float capHeight, float tracking = 0.0f) const;
    // Width in pixels of the line as 'line' lays it out.
    float advance(const std::string& text, float capHeight, float tracking = 0.0f) const;

    // Draws a line with its baseline at y; 'align' 0 left, 0.5 centred, 1 right of x.
    void draw(Canvas& canvas, const std::string& text, float x, float y, float capHeight, const Paint& paint,
              float align = 0.0f, float tracking = 0.0f) const;

private:
    float scaleFor(float capHeight) const;

    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

// Grows a mask by 'radius' pixels (for outlines and shadows); the result keeps
// the size, so leave a margin.
std::vector<float> dilate(const std::vector<float>& mask, int w, int h, float radius);
// Box-blurs a mask in place, 'passes' times with the given radius.
void blur(std::vector<float>& mask, int w, int h, int radius, int passes);
