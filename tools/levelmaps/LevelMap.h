#pragma once

// The text form of a level bitmap and its conversion to the 24-bit BMP the
// game reads. Header-only so that the level tests read the maps with exactly
// the code the build uses.
//
// A map is a rectangle of characters, one per pixel, first line = top row of
// the picture (north). Every character stands for one colour of the level
// bitmap; the legend (also in data/levels/README.md):
//
//   .  0x000000  open floor
//   =  0x0000FF  wall, joined with its row neighbours into one box
//   |  0x00FF00  wall, joined with its column neighbours into one box
//   S  0xFFFF00  player start
//   >  0x00FFFF  stairs to the next (deeper) level
//   <  0xFF00FF  stairs to the previous level (the world map in town)
//   z  0xFF0000  Zombie           g  0xFFFFFF  Ghost
//   m  0x835C3B  Crazy Monk       l  0x7F00FF  Lunatic
//   R  0xFF0001  RABAKULUS        H  0xFF0002  HARIONA
//   F  0xFF0003  FIHUGIA
//   c  0x6A6A6A  commoner         M  0x6B6B6B  merchant

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace levelmap {

struct LegendEntry {
    char symbol;
    uint32_t colour;  // 0xRRGGBB
    const char* meaning;
};

inline const std::vector<LegendEntry>& legend()
{
    static const std::vector<LegendEntry> entries = {
        {'.', 0x000000, "open floor"},
        {'=', 0x0000FF, "wall, joined along its row"},
        {'|', 0x00FF00, "wall, joined along its column"},
        {'S', 0xFFFF00, "player start"},
        {'>', 0x00FFFF, "stairs to the next level"},
        {'<', 0xFF00FF, "stairs to the previous level"},
        {'z', 0xFF0000, "Zombie"},
        {'g', 0xFFFFFF, "Ghost"},
        {'m', 0x835C3B, "Crazy Monk"},
        {'l', 0x7F00FF, "Lunatic"},
        {'R', 0xFF0001, "RABAKULUS"},
        {'H', 0xFF0002, "HARIONA"},
        {'F', 0xFF0003, "FIHUGIA"},
        {'c', 0x6A6A6A, "commoner"},
        {'M', 0x6B6B6B, "merchant"},
    };
    return entries;
}

inline const LegendEntry* findSymbol(char symbol)
{
    for (const LegendEntry& entry : legend()) {
        if (entry.symbol == symbol)
            return &entry;
    }
    return nullptr;
}

// Bigger than any level needs; guards the BMP header fields and the memory of
// the game's per-level structures against a runaway file.
constexpr int MAX_SIDE = 1024;

// A parsed map. 'rows' holds the text lines top first, so the world row r
// (counted from the bottom, as the game counts) is rows[height - 1 - r].
struct LevelMap {
    int width = 0;
    int height = 0;
    std::vector<std::string> rows;

    char at(int column, int worldRow) const { return rows[height - 1 - worldRow][column]; }
    bool inside(int column, int worldRow) const
    {
        return column >= 0 && column < width && worldRow >= 0 && worldRow < height;
    }
};

// Splits 'text' into lines (a final newline is optional, a CR before each
// newline is dropped) and checks that they form a rectangle of legend
// characters. On failure 'error' says where and what, for a human.
inline bool parse(const std::string& text, LevelMap& map, std::string& error)
{
    map = LevelMap();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() || lines[0].empty()) {
        error = "the map is empty";
        return false;
    }
    const size_t width = lines[0].size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() != width) {
            error = "line " + std::to_string(i + 1) + " has " + std::to_string(lines[i].size()) +
                    " characters, line 1 has " + std::to_string(width) +
                    " (every row of a map must be equally wide)";
            return false;
        }
        for (size_t c = 0; c < width; ++c) {
            const char symbol = lines[i][c];
            if (findSymbol(symbol) == nullptr) {
                const bool printable = symbol > ' ' && symbol < 127;
                error = "line " + std::to_string(i + 1) + ", column " + std::to_string(c + 1) +
                        ": unknown character " +
                        (printable ? "'" + std::string(1, symbol) + "'"
                                   : "with code " + std::to_string(static_cast<unsigned char>(symbol))) +
                        " (not in the map legend)";
                return false;
            }
        }
    }
    if (width > static_cast<size_t>(MAX_SIDE) || lines.size() > static_cast<size_t>(MAX_SIDE)) {
        error = "the map is " + std::to_string(width) + " x " + std::to_string(lines.size()) +
                ", more than " + std::to_string(MAX_SIDE) + " on a side";
        return false;
    }
    map.width = static_cast<int>(width);
    map.height = static_cast<int>(lines.size());
    map.rows = lines;
    return true;
}

namespace detail {

inline void putU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

inline void putU32(std::vector<uint8_t>& out, uint32_t value)
{
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

} // namespace detail

// The map as an uncompressed 24-bit BMP: 14-byte file header, 40-byte info
// header, rows bottom to top in blue-green-red order, each padded to 4 bytes.
inline std::vector<uint8_t> encodeBmp(const LevelMap& map)
{
    constexpr uint32_t HEADERS_SIZE = 14 + 40;
    const uint32_t rowSize = (static_cast<uint32_t>(map.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowSize * static_cast<uint32_t>(map.height);

    std::vector<uint8_t> out;
    out.reserve(HEADERS_SIZE + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    detail::putU32(out, HEADERS_SIZE + pixelBytes);
    detail::putU32(out, 0);  // reserved
    detail::putU32(out, HEADERS_SIZE);
    detail::putU32(out, 40);
    detail::putU32(out, static_cast<uint32_t>(map.width));
    detail::putU32(out, static_cast<uint32_t>(map.height));  // positive: bottom row first
    detail::putU16(out, 1);                                   // planes
    detail::putU16(out, 24);                                  // bits per pixel
    detail::putU32(out, 0);                                   // no compression
    detail::putU32(out, pixelBytes);
    detail::putU32(out, 2835);  // 72 dpi, both ways
    detail::putU32(out, 2835);
    detail::putU32(out, 0);  // no palette
    detail::putU32(out, 0);

    for (int r = 0; r < map.height; ++r) {
        const size_t rowStart = out.size();
        for (int c = 0; c < map.width; ++c) {
            const uint32_t colour = findSymbol(map.at(c, r))->colour;
            out.push_back(static_cast<uint8_t>(colour & 0xFF));
            out.push_back(static_cast<uint8_t>((colour >> 8) & 0xFF));
            out.push_back(static_cast<uint8_t>((colour >> 16) & 0xFF));
        }
        out.resize(rowStart + rowSize, 0);
    }
    return out;
}

} // namespace levelmap
