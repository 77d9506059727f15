// The generated pictures as the game will read them: every texture of the
// asset list is present and decodes, the font and icon atlases hold their
// glyphs and icons exactly where the text and inventory code look for them,
// the level surfaces tile, and the generator gives the same bytes each run.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/AssetList.h"
#include "game/Item.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Eleven cells a row: digits, capitals and signs fill four, the apostrophe
// opens the fifth.
constexpr int FONT_CELLS = 45;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    bool valid() const { return width > 0 && height > 0; }
    int alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    int channel(int x, int y, int c) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + c]; }
    // Pixels more opaque than 'threshold' inside the rectangle (x0, y0)..(x1, y1), exclusive.
    int inkIn(int x0, int y0, int x1, int y1, int threshold = 32) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += alpha(x, y) > threshold;
        return n;
    }
};

// Decoded top row first, as the picture is stored.
Picture load(const std::string& assetPath)
{
    Picture p;
    stbi_set_flip_vertically_on_load(0);
    int channels = 0;
    const std::string file = std::string(MORVELUND_DATA_DIR) + "/" + assetPath;
    unsigned char* pixels = stbi_load(file.c_str(), &p.width, &p.height, &channels, 4);
    if (!pixels)
        return Picture{};
    p.rgba.assign(pixels, pixels + static_cast<size_t>(p.width) * p.height * 4);
    stbi_image_free(pixels);
    return p;
}

std::vector<std::string> texturePaths()
{
    std::vector<std::string> paths;
    for (const std::string& path : getAssetList())
        if (path.rfind("textures/", 0) == 0)
            paths.push_back(path);
    return paths;
}

std::vector<unsigned char> readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Pictures, everyTextureOfTheAssetListDecodesAndFixedSizesHold)
{
    const std::map<std::string, std::pair<int, int>> fixedSizes = {
        {"textures/font.png", {512, 512}},
        {"textures/font_black.png", {512, 512}},
        {"textures/inventory_background.png", {1024, 512}},
        {"textures/worldmap.png", {1920, 1080}},
    };
    const std::vector<std::string> paths = texturePaths();
    ASSERT_EQ(58u, paths.size());
    for (const std::string& path : paths) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path << " is missing or does not decode";
        const auto fixed = fixedSizes.find(path);
        if (fixed != fixedSizes.end()) {
            EXPECT_EQ(fixed->second.first, p.width) << path;
            EXPECT_EQ(fixed->second.second, p.height) << path;
        }
    }
    const Picture atlas = load("textures/itematlas.png");
    EXPECT_EQ(atlas.width, atlas.height);
    EXPECT_EQ(0, atlas.width % 16);
    // The logo is shown 800 x 200 and the bar frames over 100 x 200 bars.
    const Picture logo = load("textures/logo.png");
    EXPECT_EQ(logo.width, 4 * logo.height);
    const Picture frame = load("textures/healthbar_frame.png");
    EXPECT_EQ(frame.height, 2 * frame.width);
}

TEST(Pictures, fontGlyphsFillExactlyTheAtlasCells)
{
    for (const char* path : {"textures/font.png", "textures/font_black.png"}) {
        const Picture font = load(path);
        ASSERT_TRUE(font.valid()) << path;
        std::vector<bool> inCell(512 * 512, false);
        for (int cell = 0; cell < FONT_CELLS; ++cell) {
            const int column = cell % 11, row = cell / 11;
            const int x0 = 43 * column, y0 = 87 * row;
            EXPECT_GT(font.inkIn(x0, y0, x0 + 35, y0 + 54), 30) << path << " cell " << column << "," << row;
            // Ink may not touch the cell's border, where linear filtering would smear it.
            EXPECT_EQ(0, font.inkIn(x0, y0, x0 + 35, y0 + 1) + font.inkIn(x0, y0 + 53, x0 + 35, y0 + 54))
                << path << " cell " << column << "," << row;
            for (int y = y0; y < y0 + 54; ++y)
                for (int x = x0; x < x0 + 35; ++x)
                    inCell[y * 512 + x] = true;
        }
        int stray = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                stray += !inCell[y * 512 + x] && font.alpha(x, y) != 0;
        EXPECT_EQ(0, stray) << path;
    }
    // The two faces have the same coverage, one in white and one in black.
    const Picture white = load("textures/font.png"), black = load("textures/font_black.png");
    ASSERT_EQ(white.rgba.size(), black.rgba.size());
    int inked = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            EXPECT_EQ(white.alpha(x, y), black.alpha(x, y));
            if (white.alpha(x, y) > 0) {
                ++inked;
                EXPECT_EQ(255, white.channel(x, y, 0) & white.channel(x, y, 1) & white.channel(x, y, 2));
                EXPECT_EQ(0, black.channel(x, y, 0) | black.channel(x, y, 1) | black.channel(x, y, 2));
            }
        }
    EXPECT_GT(inked, 44 * 200);
}

TEST(Pictures, everyIconThatAnItemCanShowIsDrawnInItsAtlasCell)
{
    std::set<int> icons = {1, 2, 3, 4};  // the quality frames
    const auto collect = [&icons](const item_data_t* rows, int count) {
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < item_data_t::MAX_ICONS && rows[i].icons[k] >= 1; ++k)
                icons.insert(rows[i].icons[k]);
    };
    collect(Item::head_data, Item::HEAD_ROWS);
    collect(Item::armor_data, Item::ARMOR_ROWS);
    collect(Item::weapon_data, Item::WEAPON_ROWS);
    collect(Item::offhand_data, Item::OFFHAND_ROWS);
    collect(Item::finger_data, Item::FINGER_ROWS);
    collect(Item::neck_data, Item::NECK_ROWS);
    collect(Item::feet_data, Item::FEET_ROWS);

    const Picture atlas = load("textures/itematlas.png");
    ASSERT_TRUE(atlas.valid());
    const int cell = atlas.width / 16;
    std::map<std::vector<unsigned char>, int> looks;
    for (int n : icons) {
        // The inventory window's texture range for icon n, with the texture
        // repeating (u below 0 wraps), v counted from the picture's bottom.
        float u = ((n % 16) - 1) / 16.0f;
        if (u < 0.0f)
            u += 1.0f;
        const float vBottom = (n / 16) / 16.0f;
        const int x0 = static_cast<int>(std::lround(u * atlas.width));
        const int y0 = atlas.height - static_cast<int>(std::lround((vBottom + 1.0f / 16.0f) * atlas.height));
        ASSERT_GE(y0, 0) << n;
        EXPECT_GT(atlas.inkIn(x0, y0, x0 + cell, y0 + cell), cell * cell / 10) << "icon " << n;
        // The outermost pixel ring stays clear so neighbours do not bleed in.
        EXPECT_EQ(0, atlas.inkIn(x0, y0, x0 + cell, y0 + 1) + atlas.inkIn(x0, y0, x0 + 1, y0 + cell)) << "icon " << n;
        std::vector<unsigned char> pixels;
        for (int y = y0; y < y0 + cell; ++y)
            for (int x = x0; x < x0 + cell; ++x)
                for (int c = 0; c < 4; ++c)
                    pixels.push_back(static_cast<unsigned char>(atlas.channel(x, y, c)));
        ++looks[pixels];
    }
    EXPECT_EQ(icons.size(), looks.size()) << "two icon numbers share the same picture";
}

TEST(Pictures, repeatingPicturesHaveNoSeams)
{
    // Surfaces repeat both ways; the liquid fills of the side bars sway sideways.
    const std::vector<std::pair<const char*, bool>> pictures = {
        {"textures/town_floor.jpg", true},        {"textures/town_wall.jpg", true},
        {"textures/eastern_wastelands_ground.jpg", true}, {"textures/eastern_wastelands_wall.jpg", true},
        {"textures/icecave_ground.jpg", true},    {"textures/icecave_wall.jpg", true},
        {"textures/rabakulus_ground.jpg", true},  {"textures/rabakulus_wall.jpg", true},
        {"textures/healthbar.png", false},        {"textures/powerbar.png", false}};
    for (const auto& [path, bothWays] : pictures) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path;
        // The step across the wrap (last column to the first, last row to the
        // first) must look like any step between neighbours inside the picture.
        for (const bool acrossColumns : {true, false}) {
            if (!acrossColumns && !bothWays)
                continue;
            const int lines = acrossColumns ? p.width : p.height;
            const int length = acrossColumns ? p.height : p.width;
            // The median over the line: a seam runs the whole way, a small
            // feature that happens to lie on the wrap does not.
            const auto step = [&](int a, int b) {
                std::vector<int> diffs;
                for (int i = 0; i < length; ++i) {
                    int d = 0;
                    for (int c = 0; c < 3; ++c)
                        d += acrossColumns ? std::abs(p.channel(a, i, c) - p.channel(b, i, c))
                                           : std::abs(p.channel(i, a, c) - p.channel(i, b, c));
                    diffs.push_back(d);
                }
                std::nth_element(diffs.begin(), diffs.begin() + length / 2, diffs.end());
                return static_cast<double>(diffs[length / 2]);
            };
            double inner = 0.0;
            for (int i = 1; i < lines; ++i)
                inner += step(i - 1, i);
            inner /= lines - 1;
            EXPECT_LT(step(lines - 1, 0), 2.0 * inner + 2.0) << path << (acrossColumns ? " left/right" : " top/bottom");
        }
    }
}

TEST(Pictures, boxPicturesAreOpaqueAndOverlaysLeaveTheirMiddleClear)
{
    std::vector<std::string> boxes = {"textures/lootbox.png", "textures/lootbox_normal.png", "textures/lootbox_magic.png",
                                      "textures/lootbox_rare.png", "textures/lootbox_epic.png", "textures/stairs_down.png"};
    for (const std::string& path : texturePaths())
        if (path.rfind("textures/units/", 0) == 0)
            boxes.push_back(path);
    for (const std::string& path : boxes) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path;
        EXPECT_EQ(p.width * p.height, p.inkIn(0, 0, p.width, p.height)) << path << " has see-through pixels";
    }
    // Frames are drawn over a fill or an icon of the same size: their middle
    // is clear but for a faint glass sheen.
    for (const char* path : {"textures/healthbar_frame.png", "textures/expbar_frame.png", "textures/enemyhealthbar_frame.png",
                             "textures/skill_frame.png"}) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path;
        EXPECT_EQ(0, p.inkIn(p.width / 4, p.height / 4, p.width * 3 / 4, p.height * 3 / 4, 64)) << path;
    }
    const Picture logo = load("textures/logo.png");
    EXPECT_EQ(0, logo.alpha(0, 0) + logo.alpha(logo.width - 1, logo.height - 1));
    EXPECT_GT(logo.inkIn(0, 0, logo.width, logo.height), logo.width * logo.height / 10);
}

TEST(Pictures, inventoryBackgroundShowsCellsAndSlotsWhereTheWindowDrawsIcons)
{
    const Picture p = load("textures/inventory_background.png");
    ASSERT_TRUE(p.valid());
    // Window coordinates count y up from the bottom; the picture is shown upright.
    const auto brightness = [&p](int x, int yUp) {
        const int y = p.height - 1 - yUp;
        return p.channel(x, y, 0) + p.channel(x, y, 1) + p.channel(x, y, 2);
    };
    // Every bag cell looks the same under its icon and differs from its rim.
    const int cellMiddle = brightness(409 + 21, 34 + 21);
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 13; ++column) {
            const int x = 409 + 45 * column, y = 34 + 45 * row;
            EXPECT_NEAR(cellMiddle, brightness(x + 21, y + 21), 12) << column << "," << row;
            EXPECT_GT(std::abs(brightness(x + 21, y + 21) - brightness(x + 43, y + 21)), 20) << column << "," << row;
            EXPECT_GT(std::abs(brightness(x + 21, y + 21) - brightness(x + 21, y - 2)), 20) << column << "," << row;
        }
    // The slot boxes are sunk like the cells.
    const int slots[7][2] = {{174, 425}, {174, 265}, {70, 227}, {284, 226}, {66, 363}, {287, 363}, {174, 179}};
    for (const auto& slot : slots) {
        EXPECT_NEAR(cellMiddle, brightness(slot[0] + 21, slot[1] + 21), 30) << slot[0] << "," << slot[1];
        EXPECT_GT(std::abs(brightness(slot[0] + 21, slot[1] + 21) - brightness(slot[0] - 4, slot[1] + 21)), 20) << slot[0];
    }
    // The stats' numbers are black on a light panel, with their names left of them.
    const int stats[6][2] = {{145, 125}, {350, 125}, {145, 80}, {350, 80}, {145, 35}, {350, 35}};
    for (const auto& stat : stats) {
        int darkest = 765, nameInk = 0;
        for (int x = stat[0]; x < stat[0] + 45; ++x)
            for (int y = stat[1]; y < stat[1] + 14; ++y)
                darkest = std::min(darkest, brightness(x, y));
        for (int x = stat[0] - 60; x < stat[0] - 4; ++x)
            for (int y = stat[1]; y < stat[1] + 14; ++y)
                nameInk += brightness(x, y) < 300;
        EXPECT_GT(darkest, 400) << "the number at " << stat[0] << "," << stat[1] << " would not read";
        EXPECT_GT(nameInk, 20) << "no name left of " << stat[0] << "," << stat[1];
    }
}

TEST(Pictures, informationBoxesKeepTheirNumberColumnClearAndLabelEachRow)
{
    for (const char* path : {"textures/hoverbg_normal.png", "textures/hoverbg_magic.png", "textures/hoverbg_rare.png",
                             "textures/hoverbg_epic.png"}) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path;
        // Drawn over 250 x 250 pixels; numbers 13.5 high at x = 180 and these heights.
        const float scale = p.width / 250.0f;
        for (const float yUp : {145.0f, 122.5f, 100.0f, 77.5f, 55.0f, 32.5f, 10.0f}) {
            const int top = p.height - static_cast<int>((yUp + 13.5f) * scale), bottom = p.height - static_cast<int>(yUp * scale);
            int darkUnderNumber = 0, labelInk = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = static_cast<int>(180 * scale); x < static_cast<int>(230 * scale); ++x)
                    darkUnderNumber += p.channel(x, y, 0) + p.channel(x, y, 1) + p.channel(x, y, 2) < 300;
                for (int x = static_cast<int>(100 * scale); x < static_cast<int>(175 * scale); ++x)
                    labelInk += p.channel(x, y, 0) + p.channel(x, y, 1) + p.channel(x, y, 2) < 300;
            }
            EXPECT_EQ(0, darkUnderNumber) << path << " row " << yUp;
            EXPECT_GT(labelInk, 15) << path << " row " << yUp;
        }
    }
}

TEST(Pictures, worldMapMarksEachPlaceWhereTheMapTakesItsClicks)
{
    const Picture map = load("textures/worldmap.png");
    ASSERT_TRUE(map.valid());
    struct Place {
        int x, y;  // window pixels, y up
        bool (*looksRight)(int r, int g, int b);
    };
    const Place places[] = {
        {176, 402, [](int r, int g, int b) { return r > 110 && g < 80 && b < 80; }},     // crypt: red
        {802, 848, [](int r, int g, int b) { return b > 170 && g > 130 && r < 150; }},   // ice: light blue
        {1666, 697, [](int r, int g, int b) { return r > 150 && g > 70 && g < r && b < 90; }},  // wastes: orange
        {1043, 432, [](int r, int g, int b) { return r > 150 && g > 110 && b < 100; }},  // town: gold
    };
    for (const Place& place : places) {
        // The marker's ring lies 21 pixels from the centre, on the picture's rows counted from the top.
        for (const bool flipped : {false, true}) {
            const int cy = flipped ? place.y : map.height - place.y;
            int hits = 0;
            for (int i = 0; i < 8; ++i) {
                const float a = i * 0.785398f;
                const int x = place.x + static_cast<int>(std::lround(21 * std::cos(a)));
                const int y = cy + static_cast<int>(std::lround(21 * std::sin(a)));
                hits += place.looksRight(map.channel(x, y, 0), map.channel(x, y, 1), map.channel(x, y, 2));
            }
            if (flipped)
                EXPECT_LT(hits, 4) << "a marker at the unflipped place " << place.x << "," << place.y;
            else
                EXPECT_GE(hits, 6) << "no marker at " << place.x << "," << place.y;
        }
    }
}

namespace {

// Mean colour of the pixels of a rectangle that are at least half opaque.
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean meanColour(const Picture& p, int x0, int y0, int x1, int y1)
{
    Mean m;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (p.alpha(x, y) > 128) {
                m.r += p.channel(x, y, 0);
                m.g += p.channel(x, y, 1);
                m.b += p.channel(x, y, 2);
                ++n;
            }
    if (n > 0) {
        m.r /= n;
        m.g /= n;
        m.b /= n;
    }
    return m;
}

// Which quality a colour reads as: 3 epic purple, 2 rare gold, 1 magic blue, 0 normal grey.
int qualityOf(const Mean& m)
{
    const double spread = std::max({m.r, m.g, m.b}) - std::min({m.r, m.g, m.b});
    if (spread < 30)
        return 0;
    if (m.b > m.r && m.b > m.g)
        return m.r > m.g + 20 ? 3 : 1;
    if (m.r > m.b && m.g > m.b + 30)
        return 2;
    return m.r > m.g && m.b > m.g ? 3 : -1;
}

} // namespace

TEST(Pictures, eachQualityHasOneColourOnFramesBoxesAndLoot)
{
    const char* names[4] = {"normal", "magic", "rare", "epic"};
    const int frameIcon[4] = {4, 3, 2, 1};
    const Picture atlas = load("textures/itematlas.png");
    ASSERT_TRUE(atlas.valid());
    const int cell = atlas.width / 16;
    for (int q = 0; q < 4; ++q) {
        // The frame's rim: the outer band of its cell (icons 1 to 4 lie in the bottom row).
        const int x0 = (frameIcon[q] - 1) * cell, y0 = atlas.height - cell;
        const Mean rim = meanColour(atlas, x0 + 2, y0 + 2, x0 + cell - 2, y0 + 5);
        EXPECT_EQ(q, qualityOf(rim)) << "frame of " << names[q];
        const Picture hover = load(std::string("textures/hoverbg_") + names[q] + ".png");
        ASSERT_TRUE(hover.valid());
        EXPECT_EQ(q, qualityOf(meanColour(hover, 4, 4, hover.width - 4, 40))) << "information box of " << names[q];
        const Picture loot = load(std::string("textures/lootbox_") + names[q] + ".png");
        ASSERT_TRUE(loot.valid());
        EXPECT_EQ(q, qualityOf(meanColour(loot, 0, loot.height / 3, loot.width / 12, loot.height * 2 / 3)))
            << "loot box of " << names[q];
    }
}

TEST(Pictures, theApostropheHangsInTheUpperHalfOfItsCell)
{
    // Its cell is the first of the fifth row: column 0, pixel row 87 * 4.
    for (const char* path : {"textures/font.png", "textures/font_black.png"}) {
        const Picture font = load(path);
        ASSERT_TRUE(font.valid()) << path;
        const int y0 = 87 * 4;
        EXPECT_GT(font.inkIn(0, y0, 35, y0 + 27), 30) << path;
        EXPECT_EQ(font.inkIn(0, y0 + 27, 35, y0 + 54), 0) << path << ": a comma, not an apostrophe";
    }
}

TEST(Pictures, everyGlyphAndEveryUnitLooksDifferent)
{
    // No two font cells hold the same glyph.
    const Picture font = load("textures/font.png");
    ASSERT_TRUE(font.valid());
    std::vector<std::vector<int>> glyphs;
    for (int cell = 0; cell < FONT_CELLS; ++cell) {
        const int column = cell % 11, row = cell / 11;
        std::vector<int> alpha;
        for (int y = 87 * row; y < 87 * row + 54; ++y)
            for (int x = 43 * column; x < 43 * column + 35; ++x)
                alpha.push_back(font.alpha(x, y));
        glyphs.push_back(alpha);
    }
    for (size_t a = 0; a < glyphs.size(); ++a)
        for (size_t b = a + 1; b < glyphs.size(); ++b) {
            long difference = 0;
            for (size_t i = 0; i < glyphs[a].size(); ++i)
                difference += std::abs(glyphs[a][i] - glyphs[b][i]);
            EXPECT_GT(difference, 255L * 40) << "glyph cells " << a << " and " << b << " look alike";
        }
    // Every kind of unit has its own front, and its front is not its back.
    const char* kinds[] = {"hero", "zombie", "ghost", "monk", "lunatic", "boss1", "boss2", "boss3", "commoner", "merchant"};
    // Fronts compared as 16 x 16 blocks of mean colour: alike kinds would differ little block by block.
    std::vector<std::vector<Mean>> fronts;
    for (const char* kind : kinds) {
        const Picture body = load(std::string("textures/units/") + kind + ".png");
        ASSERT_TRUE(body.valid()) << kind;
        ASSERT_EQ(body.width, body.height) << kind;
        const int half = body.width / 2;
        long frontBack = 0;
        for (int y = 0; y < half; ++y)
            for (int x = 0; x < half; ++x)
                for (int c = 0; c < 3; ++c)
                    frontBack += std::abs(body.channel(x, y + half, c) - body.channel(x + half, y, c));
        EXPECT_GT(frontBack / (half * half), 20) << kind << ": front and back look alike";
        std::vector<Mean> blocks;
        const int block = half / 16;
        for (int by = 0; by < 16; ++by)
            for (int bx = 0; bx < 16; ++bx)
                blocks.push_back(meanColour(body, bx * block, half + by * block, (bx + 1) * block, half + (by + 1) * block));
        fronts.push_back(blocks);
    }
    for (size_t a = 0; a < fronts.size(); ++a)
        for (size_t b = a + 1; b < fronts.size(); ++b) {
            double d = 0.0;
            for (size_t i = 0; i < fronts[a].size(); ++i)
                d += std::fabs(fronts[a][i].r - fronts[b][i].r) + std::fabs(fronts[a][i].g - fronts[b][i].g) +
                     std::fabs(fronts[a][i].b - fronts[b][i].b);
            EXPECT_GT(d / fronts[a].size(), 60.0) << kinds[a] << " and " << kinds[b] << " look alike";
        }
}

TEST(Pictures, theGeneratorWritesTheSamePicturesOnEveryRun)
{
    const fs::path generator = MORVELUND_ASSETGEN;
    ASSERT_TRUE(fs::exists(generator)) << generator;
    TempDir firstDir, secondDir;
    const fs::path first(firstDir.path()), second(secondDir.path());
    const std::string pictures = " font icons units surfaces hud lootboxes sprite inventory worldmap";
    ASSERT_EQ(0, std::system((generator.string() + " " + first.string() + pictures).c_str()));
    ASSERT_EQ(0, std::system((generator.string() + " " + second.string() + pictures).c_str()));
    int compared = 0;
    for (const std::string& path : texturePaths()) {
        const std::vector<unsigned char> a = readBytes(first / path);
        ASSERT_FALSE(a.empty()) << path;
        EXPECT_EQ(a, readBytes(second / path)) << path;
        EXPECT_EQ(a, readBytes(fs::path(MORVELUND_DATA_DIR) / path)) << path << " differs from the build's copy";
        ++compared;
    }
    EXPECT_EQ(58, compared);
}
