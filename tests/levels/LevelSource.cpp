#include "LevelSource.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <fstream>
#include <sstream>

#include <stb_image.h>
#include <tinyxml.h>

namespace {

constexpr int LATTICE = 4;  // sample points per unit
constexpr float HALF_SIDE = 0.75f;

std::string readText(const std::string& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void collectAttributes(const TiXmlNode* node, LevelSource& level)
{
    for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (const TiXmlElement* element = child->ToElement()) {
            std::map<std::string, std::string>* target = nullptr;
            const std::string tag = element->Value();
            if (tag == "level")
                target = &level.level;
            else if (tag == "textures")
                target = &level.textures;
            else if (tag == "sounds")
                target = &level.sounds;
            for (const TiXmlAttribute* a = element->FirstAttribute(); target && a; a = a->Next())
                (*target)[a->Name()] = a->Value();
        }
        collectAttributes(child, level);
    }
}

bool isWallSymbol(char symbol) { return symbol == '=' || symbol == '|'; }

} // namespace

std::vector<glm::vec2> LevelSource::find(char symbol) const
{
    std::vector<glm::vec2> found;
    for (int r = 0; r < map.height; ++r) {
        for (int c = 0; c < map.width; ++c) {
            if (map.at(c, r) == symbol)
                found.emplace_back(static_cast<float>(c), static_cast<float>(r));
        }
    }
    return found;
}

int LevelSource::count(const std::string& symbols) const
{
    int n = 0;
    for (char symbol : symbols)
        n += static_cast<int>(find(symbol).size());
    return n;
}

bool LevelSource::isWall(int column, int row) const
{
    return !map.inside(column, row) || isWallSymbol(map.at(column, row));
}

const std::vector<std::string>& levelNames()
{
    static const std::vector<std::string> names = {"level0",   "level1_1", "level1_2", "level1_3", "level2_1",
                                                   "level2_2", "level2_3", "level3_1", "level3_2", "level3_3"};
    return names;
}

LevelSource readLevelSource(const std::string& name)
{
    LevelSource level;
    level.name = name;
    const std::string base = std::string(MORVELUND_SOURCE_DIR) + "/data/levels/" + name;
    bool ok = false;
    const std::string xml = readText(base + ".xml", ok);
    TiXmlDocument document;
    document.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (!ok || document.Error()) {
        level.error = name + ".xml does not read as XML";
        return level;
    }
    collectAttributes(&document, level);
    const std::string text = readText(base + ".map", ok);
    std::string mapError;
    if (!ok || !levelmap::parse(text, level.map, mapError))
        level.error = name + ".map: " + (ok ? mapError : "missing");
    return level;
}

Walkable::Walkable(const LevelSource& level)
    : level(level), columns(level.map.width * LATTICE), rows(level.map.height * LATTICE),
      seen(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0)
{
}

bool Walkable::canStand(glm::vec2 point) const
{
    const float dx[] = {-HALF_SIDE, HALF_SIDE, -HALF_SIDE, HALF_SIDE};
    const float dy[] = {HALF_SIDE, HALF_SIDE, -HALF_SIDE, -HALF_SIDE};
    for (int i = 0; i < 4; ++i) {
        const float cx = point.x + dx[i] + 0.5f;
        const float cy = point.y + dy[i] + 0.5f;
        // Past the edge the game clamps to the border cells, which are walls.
        if (cx < 0.0f || cy < 0.0f || level.isWall(static_cast<int>(cx), static_cast<int>(cy)))
            return false;
    }
    return true;
}

void Walkable::fillFrom(glm::vec2 start)
{
    const int sx = static_cast<int>(std::lround(start.x * LATTICE));
    const int sy = static_cast<int>(std::lround(start.y * LATTICE));
    if (sx < 0 || sy < 0 || sx >= columns || sy >= rows || !canStand(start))
        return;
    std::deque<std::pair<int, int>> open = {{sx, sy}};
    seen[static_cast<size_t>(sy) * columns + sx] = 1;
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!open.empty()) {
        const auto [x, y] = open.front();
        open.pop_front();
        for (const auto& step : steps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= columns || ny >= rows)
                continue;
            char& mark = seen[static_cast<size_t>(ny) * columns + nx];
            if (mark != 0 || !canStand(glm::vec2(nx, ny) / static_cast<float>(LATTICE)))
                continue;
            mark = 1;
            open.emplace_back(nx, ny);
        }
    }
}

bool Walkable::reached(glm::vec2 point) const
{
    const int x = static_cast<int>(std::lround(point.x * LATTICE));
    const int y = static_cast<int>(std::lround(point.y * LATTICE));
    return x >= 0 && y >= 0 && x < columns && y < rows && seen[static_cast<size_t>(y) * columns + x] != 0;
}

bool clearSight(const LevelSource& level, glm::vec2 from, glm::vec2 to)
{
    const int samples = std::max(1, static_cast<int>(glm::length(to - from) * 10.0f));
    for (int i = 0; i <= samples; ++i) {
        const glm::vec2 p = from + (to - from) * (static_cast<float>(i) / static_cast<float>(samples));
        if (level.isWall(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y))))
            return false;
    }
    return true;
}

namespace {

int wallsIn(const LevelSource& level, int x, int y, int w, int h)
{
    int n = 0;
    for (int r = y; r < y + h; ++r) {
        for (int c = x; c < x + w; ++c)
            n += level.isWall(c, r) ? 1 : 0;
    }
    return n;
}

} // namespace

SightCache::SightCache(const LevelSource& level) : level(level)
{
    const levelmap::LevelMap& map = level.map;
    for (int r = 0; r < map.height; ++r) {
        for (int c = 0, s = 0; c <= map.width; ++c) {
            if (c < map.width && map.at(c, r) == '=')
                continue;
            if (c > s)
                boxes.push_back({glm::vec2(s + (c - s) / 2.0f, r + 0.5f), glm::vec2(c - s, 1.0f)});
            s = c + 1;
        }
    }
    for (int c = 0; c < map.width; ++c) {
        for (int r = 0, s = 0; r <= map.height; ++r) {
            if (r < map.height && map.at(c, r) == '|')
                continue;
            if (r > s)
                boxes.push_back({glm::vec2(c + 0.5f, s + (r - s) / 2.0f), glm::vec2(1.0f, r - s)});
            s = r + 1;
        }
    }
    split(0, 0, map.width, map.height);
    visible.assign(leaves.size(), std::vector<bool>(leaves.size(), false));
    const auto centre = [](const Leaf& leaf) { return glm::vec2(leaf.x + leaf.w / 2.0f, leaf.y + leaf.h / 2.0f); };
    for (size_t a = 0; a < leaves.size(); ++a) {
        for (size_t b = 0; b < leaves.size(); ++b)
            visible[a][b] = segmentClear(centre(leaves[a]), centre(leaves[b]));
    }
}

void SightCache::split(int x, int y, int w, int h)
{
    if (wallsIn(level, x, y, w, h) < 6 || w < 2 || h < 2) {
        leaves.push_back({x, y, w, h});
        return;
    }
    const int hw = w / 2;
    const int hh = h / 2;
    split(x, y + hh, hw, h - hh);
    split(x + hw, y + hh, w - hw, h - hh);
    split(x, y, hw, hh);
    split(x + hw, y, w - hw, hh);
}

bool SightCache::segmentClear(glm::vec2 from, glm::vec2 to) const
{
    constexpr float REACH = 25.0f;
    constexpr float GROWTH = 1.0f;
    const float length = glm::length(to - from);
    if (length < 0.1f)
        return true;
    if (length > REACH)
        return false;
    const glm::vec2 step = (to - from) / REACH;
    glm::vec2 p = from + step;
    for (int i = 0; i < 201; ++i) {
        for (const Box& box : boxes) {
            const glm::vec2 d = glm::abs(p - box.centre);
            if (d.x < (box.size.x + GROWTH) / 2.0f && d.y < (box.size.y + GROWTH) / 2.0f)
                return false;
        }
        if (glm::length(p - from) > length)
            return true;
        p += step;
    }
    return true;
}

int SightCache::leafAt(glm::vec2 point) const
{
    const int c = static_cast<int>(point.x);
    const int r = static_cast<int>(point.y);
    for (size_t i = 0; i < leaves.size(); ++i) {
        const Leaf& leaf = leaves[i];
        if (c >= leaf.x && c < leaf.x + leaf.w && r >= leaf.y && r < leaf.y + leaf.h)
            return static_cast<int>(i);
    }
    return -1;
}

bool SightCache::sees(glm::vec2 from, glm::vec2 to) const
{
    const int a = leafAt(from);
    const int b = leafAt(to);
    return a >= 0 && b >= 0 && visible[a][b];
}

testing::AssertionResult bitmapShowsMap(const std::string& bytes, const levelmap::LevelMap& map)
{
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0)
        return testing::AssertionFailure() << "not a BMP file";
    const unsigned bitsPerPixel = static_cast<unsigned char>(bytes[28]) | static_cast<unsigned char>(bytes[29]) << 8;
    if (bitsPerPixel != 24)
        return testing::AssertionFailure() << bitsPerPixel << " bits per pixel";
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_set_flip_vertically_on_load(1);
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &width, &height, &channels, 3);
    if (pixels == nullptr)
        return testing::AssertionFailure() << "stb_image cannot decode it: " << stbi_failure_reason();
    testing::AssertionResult result = testing::AssertionSuccess();
    if (width != map.width || height != map.height) {
        result = testing::AssertionFailure() << "decodes to " << width << " x " << height << ", the map is "
                                             << map.width << " x " << map.height;
    }
    for (int r = 0; result && r < height; ++r) {
        for (int c = 0; result && c < width; ++c) {
            const stbi_uc* p = pixels + (static_cast<size_t>(r) * width + c) * 3;
            const uint32_t colour = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
            const char symbol = map.at(c, r);
            if (colour != levelmap::findSymbol(symbol)->colour) {
                result = testing::AssertionFailure() << "pixel (" << c << ", " << r << ") is " << std::hex << colour
                                                     << ", the map has '" << symbol << "'";
            }
        }
    }
    stbi_image_free(pixels);
    return result;
}
