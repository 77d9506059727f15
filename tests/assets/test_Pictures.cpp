// The generated pictures as the game will read them: every texture of the
// asset list is present and decodes, the font and icon atlases hold their
// glyphs and icons exactly where the text and inventory code look for them,
// the level surfaces tile, and the generator gives the same bytes each run.
#include <gtest/gtest.h>

#include <stb_image.h>

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

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    bool valid() const { return width > 0 && height > 0; }
    int alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
    int channel(int x, int y, int c) const { return rgba[(static_cast<size_t>(y) * width + x) * 4 + c]; }
    // Opaque-enough pixels inside the rectangle (x0, y0)..(x1, y1), exclusive.
    int inkIn(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += alpha(x, y) > 32;
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
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 11; ++column) {
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

TEST(Pictures, levelSurfacesRepeatWithoutSeams)
{
    for (const char* path : {"textures/town_floor.jpg", "textures/town_wall.jpg", "textures/eastern_wastelands_ground.jpg",
                             "textures/eastern_wastelands_wall.jpg", "textures/icecave_ground.jpg",
                             "textures/icecave_wall.jpg", "textures/rabakulus_ground.jpg", "textures/rabakulus_wall.jpg"}) {
        const Picture p = load(path);
        ASSERT_TRUE(p.valid()) << path;
        // The step across the wrap (last column to the first, last row to the
        // first) must look like any step between neighbours inside the picture.
        for (const bool acrossColumns : {true, false}) {
            const int lines = acrossColumns ? p.width : p.height;
            const int length = acrossColumns ? p.height : p.width;
            const auto step = [&](int a, int b) {
                double sum = 0.0;
                for (int i = 0; i < length; ++i)
                    for (int c = 0; c < 3; ++c)
                        sum += acrossColumns ? std::abs(p.channel(a, i, c) - p.channel(b, i, c))
                                             : std::abs(p.channel(i, a, c) - p.channel(i, b, c));
                return sum / length;
            };
            double inner = 0.0;
            for (int i = 1; i < lines; ++i)
                inner += step(i - 1, i);
            inner /= lines - 1;
            EXPECT_LT(step(lines - 1, 0), 2.0 * inner + 2.0) << path << (acrossColumns ? " left/right" : " top/bottom");
        }
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
