// The bitmap font atlas: 45 glyphs in a 512 x 512 picture, each cell
// 35 x 54 pixels at column 43c and row 87r, in white and in black. The
// apostrophe of possessive item names came last and starts a fifth row.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "Canvas.h"
#include "Font.h"
#include "Generator.h"

namespace {

constexpr int ATLAS_SIZE = 512;
constexpr int CELL_WIDTH = 35;
constexpr int CELL_HEIGHT = 54;
constexpr int CELL_PITCH_X = 43;
constexpr int CELL_PITCH_Y = 87;
constexpr const char* ROWS[] = {"0123456789A", "BCDEFGHIJKL", "MNOPQRSTUVW", "XYZ.:/?-+!%", "'"};

// Capital height in the cell, the baseline's row in the cell, and the
// supersampling of the rasterisation.
constexpr float CAP_HEIGHT = 40.0f;
constexpr float BASELINE = 47.0f;
constexpr float OVERSAMPLE = 4.0f;
// Glyphs are set a little condensed so that M, W and % fit the narrow cells.
constexpr float CONDENSE = 0.78f;
constexpr float MAX_INK_WIDTH = CELL_WIDTH - 2.0f;

Canvas renderAtlas(const Font& font, const Color& ink)
{
    Canvas atlas(ATLAS_SIZE, ATLAS_SIZE, withAlpha(ink, 0.0f));
    for (int row = 0; row < static_cast<int>(std::size(ROWS)); ++row) {
        for (int column = 0; ROWS[row][column] != '\0'; ++column) {
            const Font::Mask g = font.glyph(ROWS[row][column], CAP_HEIGHT * OVERSAMPLE);
            Canvas glyph(g.width, g.height, withAlpha(ink, 0.0f));
            glyph.drawMask(g.coverage, g.width, g.height, 0, 0, solid(ink));
            const float sy = 1.0f / OVERSAMPLE;
            const float sx = std::min(CONDENSE * sy, MAX_INK_WIDTH / std::max(1, g.width));
            const float w = g.width * sx, h = g.height * sy;
            const float x = CELL_PITCH_X * column + (CELL_WIDTH - w) * 0.5f;
            // Tails (Q, J) are lifted rather than cut where they would leave the cell.
            const float cellTop = static_cast<float>(CELL_PITCH_Y * row);
            const float y = std::min(cellTop + BASELINE + g.top * sy, cellTop + CELL_HEIGHT - 1.0f - h);
            atlas.draw(glyph, std::round(x * 4.0f) / 4.0f, y, w, h);
        }
    }
    return atlas;
}

bool generateFont(const AssetWriter& out)
{
    Font font;
    if (!font.load(Font::SANS_BOLD_PATH))
        return false;
    const Canvas white = renderAtlas(font, Color{1, 1, 1, 1});
    const Canvas black = renderAtlas(font, Color{0, 0, 0, 1});
    return out.writePng("textures/font.png", ATLAS_SIZE, ATLAS_SIZE, white.rgba8()) &&
           out.writePng("textures/font_black.png", ATLAS_SIZE, ATLAS_SIZE, black.rgba8());
}

} // namespace

REGISTER_GENERATOR("font", generateFont);
