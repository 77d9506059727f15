#include "game/Level.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include <stb_image.h>
#include <tinyxml.h>

#include "core/AttributeValidator.h"
#include "core/Log.h"
#include "core/PackageManager.h"
#include "core/XmlText.h"
#include "game/EnemyType.h"
#include "game/Followable.h"
#include "game/NpcType.h"
#include "render/MatrixOwner.h"
#include "render/ParticleSystem.h"
#include "render/Rectangle.h"
#include "render/TexturedCuboid.h"
#include "render/TexturedQuad.h"

namespace {

const char* const PACKAGE = "data.mv2";
const char* const TOWN_LEVEL = "levels/level0.xml";
const char* const WORLD_VERTEX_SHADER = "shaders/simple.vs";
const char* const WORLD_FRAGMENT_SHADER = "shaders/simple.fs";
const char* const STAIRS_TEXTURE = "textures/stairs_down.png";
const char* const TELEPORTER_DOWN_EFFECT = "particlesystems/teleporter_down.xml";
const char* const TELEPORTER_UP_EFFECT = "particlesystems/teleporter_up.xml";

// Bitmap colours, 0xRRGGBB.
const unsigned COLOR_WALL_HORIZONTAL = 0x0000FF;
const unsigned COLOR_WALL_VERTICAL = 0x00FF00;
const unsigned COLOR_START = 0xFFFF00;
const unsigned COLOR_NEXT_STAIRS = 0x00FFFF;
const unsigned COLOR_PREVIOUS_STAIRS = 0xFF00FF;
const unsigned COLOR_COMMONER = 0x6A6A6A;
const unsigned COLOR_MERCHANT = 0x6B6B6B;

struct EnemyColor {
    unsigned color;
    enemy_type type;
};
// Four monsters, then the three bosses.
const EnemyColor ENEMY_COLORS[] = {
    {0xFF0000, ENEMY_TYPE_ZOMBIE},    {0xFFFFFF, ENEMY_TYPE_GHOST},   {0x835C3B, ENEMY_TYPE_CRAZY_MONK},
    {0x7F00FF, ENEMY_TYPE_LUNATIC},   {0xFF0001, ENEMY_TYPE_RABAKULUS}, {0xFF0002, ENEMY_TYPE_HARIONA},
    {0xFF0003, ENEMY_TYPE_FIHUGIA},
};

const float WALL_HEIGHT = 12.0f;
const float GROUND_TILE_SIZE = 10.0f;
const float STAIRS_SIZE = 5.0f;
const float STAIRS_HEIGHT = 0.1f;

// Leaves holding this many wall cells or more are split further.
const int SPLIT_WALL_COUNT = 6;
// Segments longer than this are never in sight, and are walked in this many steps.
constexpr float SIGHT_RANGE = 25.0f;
const float SIGHT_MIN_LENGTH = 0.1f;
const int SIGHT_MAX_SAMPLES = 201;
const float SIGHT_SAMPLE_SIZE = 1.0f;

// Far larger than any map the game ships; a header claiming more is damaged,
// and building the sight cache for it would never finish anyway.
const int MAX_LEVEL_SIDE = 4096;

// Facts about walks between two distinct leaf centres (half units apart at
// least, in a level no wider than MAX_LEVEL_SIDE) that let the sight cache
// build skip work without changing a single answer. The rounding of 26
// float steps at such coordinates stays below 0.007 units, so
// - samples up to the 22nd are three steps (0.06 units or more) short of the
//   far centre and need no distance test;
// - the 25th sample is always tested and lands within 0.01 units of the far
//   centre: a centre that deep in a wall footprint is never in sight;
// - the first sample lies one step from the near centre: a walk that starts
//   deeper in a wall footprint than that step (and 0.01 units) is blocked.
const int SHORT_SAMPLES = 22;
const double ROUNDING_MARGIN = 0.01;

const glm::vec3 DEBUG_VISIBLE_COLOR(0.0f, 1.0f, 0.0f);
const glm::vec3 DEBUG_HIDDEN_COLOR(1.0f, 0.0f, 0.0f);
const glm::vec3 DEBUG_PLAYER_COLOR(0.0f, 1.0f, 1.0f);
const float DEBUG_VISIBLE_Z = 1.3f;
const float DEBUG_HIDDEN_Z = 1.0f;
const float DEBUG_PLAYER_Z = 2.3f;

// The cell coordinate of a world coordinate, truncated toward zero. Values an
// int cannot hold (a unit flung far away, NaN) saturate instead of being
// undefined; the grid clamp then brings them back.
int toCell(float value)
{
    if (value >= static_cast<float>(INT_MAX))
        return INT_MAX;
    if (!(value > static_cast<float>(INT_MIN)))
        return INT_MIN;
    return static_cast<int>(value);
}

bool isEnemyColor(unsigned color)
{
    for (const EnemyColor& enemy : ENEMY_COLORS)
        if (enemy.color == color)
            return true;
    return false;
}

uint32_t readLittleEndian(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// An uncompressed BMP must hold every pixel row its header promises: the
// decoder would pad a truncated file with black, silently opening the walls
// of the missing rows. Other formats are left to the decoder, which checks
// its own streams.
bool bitmapIsComplete(const unsigned char* data, unsigned size)
{
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        return true;
    if (size < 26)
        return false;
    const uint32_t pixelOffset = readLittleEndian(data + 10, 4);
    const uint32_t headerSize = readLittleEndian(data + 14, 4);
    int64_t pictureWidth = 0;
    int64_t pictureHeight = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = 0;
    if (headerSize == 12) {
        pictureWidth = readLittleEndian(data + 18, 2);
        pictureHeight = static_cast<int16_t>(readLittleEndian(data + 20, 2));
        bitsPerPixel = readLittleEndian(data + 24, 2);
    } else {
        if (size < 34)
            return false;
        pictureWidth = static_cast<int32_t>(readLittleEndian(data + 18, 4));
        pictureHeight = static_cast<int32_t>(readLittleEndian(data + 22, 4));
        bitsPerPixel = readLittleEndian(data + 28, 2);
        compression = readLittleEndian(data + 30, 4);
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || pictureWidth <= 0 || pictureHeight == 0)
        return true;
    // Compared by division: a damaged header's rows times its height need
    // not fit in 64 bits.
    const int64_t rowBytes = (pictureWidth * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset > size)
        return false;
    const int64_t available = static_cast<int64_t>(size) - pixelOffset;
    return rowBytes == 0 || std::llabs(pictureHeight) <= available / rowBytes;
}

// Whether a wall box's footprint, grown by 'size', holds the point strictly:
// the one judgement of "this sample hits that wall" behind every walk.
bool footprintHolds(const wall_data& box, const glm::vec3& position, float size)
{
    const float dx = std::fabs(position.x - box.x);
    const float dy = std::fabs(position.y - box.y);
    return dx < (box.sizeX + size) / 2.0f && dy < (box.sizeY + size) / 2.0f;
}

// Twice the coordinate rounded down into 'whole', with the dropped part
// (0 to below 1) in 'offset'; exact, as doubling a float never rounds. False
// outside [low, high) half units, NaN included. By hand, because std::floor
// is a slow call on plain x86-64.
bool splitHalves(float coordinate, int low, int high, int* whole, float* offset)
{
    const float halves = coordinate * 2.0f;
    if (!(halves >= static_cast<float>(low) && halves < static_cast<float>(high)))
        return false;
    int line = static_cast<int>(halves);
    if (static_cast<float>(line) > halves)
        --line;
    *whole = line;
    *offset = halves - static_cast<float>(line);
    return true;
}

size_t gridIndex(int column, int row, int columns)
{
    return static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column);
}

// The wall boxes listed per unit cell, under every cell their grown footprint
// can reach (a cell to spare on each side against rounding), so a question
// about a point asks only the few boxes around it.
class WallBuckets {
public:
    WallBuckets(const std::vector<wall_data*>& runs, size_t count, int width, int height, float size)
        : runs(runs)
        , count(count)
        , columns(width + 2 * BORDER)
        , rows(height + 2 * BORDER)
        , size(size)
        , firstEntry(static_cast<size_t>(columns) * static_cast<size_t>(rows) + 1, 0)
    {
        // Two passes over the same cells: count per cell, then fill.
        forEachCellOfEveryBox([this](size_t cell, uint32_t) { ++firstEntry[cell + 1]; });
        for (size_t cell = 1; cell < firstEntry.size(); ++cell)
            firstEntry[cell] += firstEntry[cell - 1];
        entries.resize(firstEntry.back());
        std::vector<uint32_t> filled(firstEntry.begin(), firstEntry.end() - 1);
        forEachCellOfEveryBox([this, &filled](size_t cell, uint32_t box) { entries[filled[cell]++] = box; });
    }

    // Whether some box's grown footprint holds the point.
    bool blocks(const glm::vec3& p) const
    {
        const size_t cell = cellOf(p);
        if (cell == OFF_MAP) {
            for (size_t box = 0; box < count; ++box)
                if (footprintHolds(*runs[box], p, size))
                    return true;
            return false;
        }
        for (uint32_t entry = firstEntry[cell]; entry < firstEntry[cell + 1]; ++entry)
            if (footprintHolds(*runs[entries[entry]], p, size))
                return true;
        return false;
    }

    // How deep the point lies inside the grown footprints: the largest
    // distance it could move along either axis, or both, and stay inside one
    // box. 0 when it is in none.
    double depthOf(const glm::vec3& p) const
    {
        const size_t cell = cellOf(p);
        if (cell == OFF_MAP)
            return 0.0;
        double depth = 0.0;
        for (uint32_t entry = firstEntry[cell]; entry < firstEntry[cell + 1]; ++entry) {
            const wall_data& run = *runs[entries[entry]];
            const double spareX = (run.sizeX + size) / 2.0 - std::fabs(double(p.x) - run.x);
            const double spareY = (run.sizeY + size) / 2.0 - std::fabs(double(p.y) - run.y);
            depth = std::max(depth, std::min(spareX, spareY));
        }
        return depth;
    }

private:
    // Cells kept around the level: samples can fall a little outside it.
    static constexpr int BORDER = 2;
    static constexpr size_t OFF_MAP = static_cast<size_t>(-1);

    size_t cellOf(const glm::vec3& p) const
    {
        const float column = std::floor(p.x) + BORDER;
        const float row = std::floor(p.y) + BORDER;
        if (!(column >= 0.0f && column < columns && row >= 0.0f && row < rows))
            return OFF_MAP;
        return gridIndex(static_cast<int>(column), static_cast<int>(row), columns);
    }

    // Calls visit(cell, box) for every box and every cell its grown footprint
    // may reach.
    template <typename Visit>
    void forEachCellOfEveryBox(const Visit& visit) const
    {
        for (size_t box = 0; box < count; ++box) {
            const wall_data& run = *runs[box];
            const float halfX = (run.sizeX + size) / 2.0f + 1.0f;
            const float halfY = (run.sizeY + size) / 2.0f + 1.0f;
            const int firstColumn = std::max(static_cast<int>(std::floor(run.x - halfX)) + BORDER, 0);
            const int lastColumn = std::min(static_cast<int>(std::floor(run.x + halfX)) + BORDER, columns - 1);
            const int firstRow = std::max(static_cast<int>(std::floor(run.y - halfY)) + BORDER, 0);
            const int lastRow = std::min(static_cast<int>(std::floor(run.y + halfY)) + BORDER, rows - 1);
            for (int row = firstRow; row <= lastRow; ++row)
                for (int column = firstColumn; column <= lastColumn; ++column)
                    visit(gridIndex(column, row, columns), static_cast<uint32_t>(box));
        }
    }

    const std::vector<wall_data*>& runs;
    const size_t count;
    const int columns;
    const int rows;
    const float size;
    std::vector<uint32_t> firstEntry; // per cell, its first index into 'entries'; one extra at the end
    std::vector<uint32_t> entries;
};

// Tells, mostly from one byte, whether a sample point is blocked the way a
// scan over every wall box would, and if not, how far it is from every wall.
//
// Wall footprints grown by the sample size end on half units, so the plane
// splits into the half-unit lines and the open strips between them, and each
// such piece is wholly inside or wholly outside every footprint. Along each
// axis even lanes are the lines, odd lanes the strips; the grid holds one
// byte per piece. A piece outside every footprint holds how many half-unit
// cells its cell is from the nearest cell with footprint points in it
// (Chebyshev distance): every point n cells away is clear, and so is every
// point (n - 1) / 2 units around it. A point within rounding reach of a line
// it is not exactly on, or off the grid, is asked of the wall buckets.
class SightGrid {
public:
    // What clearance() answers for a blocked point.
    static constexpr int BLOCKED_POINT = -1;

    SightGrid(const std::vector<wall_data*>& runs, size_t count, int width, int height, float size)
        : buckets(runs, count, width, height, size)
        , cellColumns(2 * (width + 2 * BORDER))
        , cellRows(2 * (height + 2 * BORDER))
    {
        if (static_cast<size_t>(cellColumns) * static_cast<size_t>(cellRows) * 4 > MAX_PIECES)
            return;
        std::vector<unsigned char> cells = cellDistances(runs, count, size);
        pieces.resize(static_cast<size_t>(cellColumns) * static_cast<size_t>(cellRows) * 4);
        for (int row = 0; row < 2 * cellRows; ++row)
            for (int column = 0; column < 2 * cellColumns; ++column)
                pieces[gridIndex(column, row, 2 * cellColumns)] = cells[gridIndex(column / 2, row / 2, cellColumns)];
        for (size_t box = 0; box < count; ++box)
            markFootprint(*runs[box], size);
    }

    // BLOCKED_POINT, or the half-unit cells between the point's cell and the
    // nearest footprint (0: clear, but maybe right beside a wall).
    int clearance(const glm::vec3& p) const
    {
        const int column = laneOf(p.x, cellColumns);
        const int row = laneOf(p.y, cellRows);
        if (column < 0 || row < 0 || pieces.empty())
            return buckets.blocks(p) ? BLOCKED_POINT : 0;
        const unsigned char piece = pieces[gridIndex(column, row, 2 * cellColumns)];
        if (piece == UNSURE)
            return buckets.blocks(p) ? BLOCKED_POINT : 0;
        return piece == BLOCKED ? BLOCKED_POINT : piece;
    }

    double depthOf(const glm::vec3& p) const { return buckets.depthOf(p); }

private:
    // Piece bytes besides the distances, which stay below both.
    static constexpr unsigned char BLOCKED = 255;
    static constexpr unsigned char UNSURE = 254;
    static constexpr unsigned char FAR = 253;
    // Half units kept around the level on each side.
    static constexpr int BORDER = 2;
    // Strip points this close to a line (in half units) are left to the
    // buckets: the float comparison could round either way there.
    static constexpr float NEAR_LINE = 1.0f / 64.0f;
    // Footprint edges within this of a piece make it unsure (world units).
    static constexpr double EDGE_MARGIN = 1.0 / 256.0;
    // Beyond this many pieces (a level some thousand cells wide) the buckets
    // answer alone rather than the grid taking hundreds of megabytes.
    static constexpr size_t MAX_PIECES = size_t(1) << 24;

    // The lane of a coordinate, or -1 when the buckets must answer.
    static int laneOf(float coordinate, int cells)
    {
        int line = 0;
        float offset = 0.0f;
        if (!splitHalves(coordinate, -2 * BORDER, cells - 2 * BORDER, &line, &offset))
            return -1;
        // Bitwise, not short-circuit: which way these go is hard to predict.
        const bool inStrip = offset != 0.0f;
        if (inStrip & ((offset < NEAR_LINE) | (offset > 1.0f - NEAR_LINE)))
            return -1;
        return 2 * (line + 2 * BORDER) + static_cast<int>(inStrip);
    }

    // The half units from the one holding 'low' to the one holding 'high',
    // for the open interval (low, high) of a footprint, as cell indices.
    // Bounds on half units, as every wall run has, are exact: the float test
    // never puts a point beyond them inside. Others get a margin.
    static void cellRange(double low, double high, int cells, int* first, int* last)
    {
        if (std::floor(low * 2.0) == low * 2.0 && std::floor(high * 2.0) == high * 2.0) {
            *first = static_cast<int>(low * 2.0);
            *last = static_cast<int>(high * 2.0) - 1;
        } else {
            *first = static_cast<int>(std::floor((low - ROUNDING_MARGIN) * 2.0));
            *last = static_cast<int>(std::floor((high + ROUNDING_MARGIN) * 2.0));
        }
        *first = std::max(*first + 2 * BORDER, 0);
        *last = std::min(*last + 2 * BORDER, cells - 1);
    }

    // Per half-unit cell, the Chebyshev distance in cells to the nearest cell
    // with footprint points in it, by the two-pass distance transform.
    std::vector<unsigned char> cellDistances(const std::vector<wall_data*>& runs, size_t count, float size) const
    {
        std::vector<unsigned char> cells(static_cast<size_t>(cellColumns) * static_cast<size_t>(cellRows), FAR);
        for (size_t box = 0; box < count; ++box) {
            const wall_data& run = *runs[box];
            const double halfX = (run.sizeX + size) / 2.0f;
            const double halfY = (run.sizeY + size) / 2.0f;
            int firstColumn = 0;
            int lastColumn = 0;
            int firstRow = 0;
            int lastRow = 0;
            cellRange(run.x - halfX, run.x + halfX, cellColumns, &firstColumn, &lastColumn);
            cellRange(run.y - halfY, run.y + halfY, cellRows, &firstRow, &lastRow);
            for (int row = firstRow; row <= lastRow; ++row)
                for (int column = firstColumn; column <= lastColumn; ++column)
                    cells[gridIndex(column, row, cellColumns)] = 0;
        }
        // The outermost ring is never reached by a sample; 0 keeps it honest.
        for (int column = 0; column < cellColumns; ++column)
            cells[gridIndex(column, 0, cellColumns)] = cells[gridIndex(column, cellRows - 1, cellColumns)] = 0;
        for (int row = 0; row < cellRows; ++row)
            cells[gridIndex(0, row, cellColumns)] = cells[gridIndex(cellColumns - 1, row, cellColumns)] = 0;
        const auto relax = [](unsigned char* cell, const unsigned char* side, const unsigned char* beyond) {
            const int nearest = std::min({int(side[0]), int(beyond[-1]), int(beyond[0]), int(beyond[1])});
            *cell = static_cast<unsigned char>(std::min<int>(*cell, std::min<int>(nearest + 1, FAR)));
        };
        for (int row = 1; row < cellRows - 1; ++row) {
            for (int column = 1; column < cellColumns - 1; ++column) {
                unsigned char* cell = &cells[gridIndex(column, row, cellColumns)];
                relax(cell, cell - 1, cell - cellColumns);
            }
        }
        for (int row = cellRows - 2; row >= 1; --row) {
            for (int column = cellColumns - 2; column >= 1; --column) {
                unsigned char* cell = &cells[gridIndex(column, row, cellColumns)];
                relax(cell, cell + 1, cell + cellColumns);
            }
        }
        return cells;
    }

    // How a lane lies against the open interval (low, high) of a footprint.
    static unsigned char laneAgainst(int lane, double low, double high)
    {
        const double line = (lane / 2 - 2 * BORDER) / 2.0;
        if (lane % 2 == 0) {
            if (line == low || line == high)
                return 0;
            if (std::fabs(line - low) < EDGE_MARGIN || std::fabs(line - high) < EDGE_MARGIN)
                return UNSURE;
            return line > low && line < high ? BLOCKED : 0;
        }
        const double first = line + NEAR_LINE / 4.0;
        const double last = line + 0.5 - NEAR_LINE / 4.0;
        if (first - EDGE_MARGIN >= low && last + EDGE_MARGIN <= high)
            return BLOCKED;
        if (last + EDGE_MARGIN <= low || first - EDGE_MARGIN >= high)
            return 0;
        return UNSURE;
    }

    void markFootprint(const wall_data& run, float size)
    {
        const double halfX = (run.sizeX + size) / 2.0f;
        const double halfY = (run.sizeY + size) / 2.0f;
        const double left = run.x - halfX;
        const double right = run.x + halfX;
        const double bottom = run.y - halfY;
        const double top = run.y + halfY;
        int firstColumn = 0;
        int lastColumn = 0;
        int firstRow = 0;
        int lastRow = 0;
        // A cell to spare on each side: the lanes either side of each edge.
        cellRange(left - 0.5, right + 0.5, cellColumns, &firstColumn, &lastColumn);
        cellRange(bottom - 0.5, top + 0.5, cellRows, &firstRow, &lastRow);
        for (int row = 2 * firstRow; row <= 2 * lastRow + 1; ++row) {
            const unsigned char across = laneAgainst(row, bottom, top);
            if (across == 0)
                continue;
            for (int column = 2 * firstColumn; column <= 2 * lastColumn + 1; ++column) {
                const unsigned char along = laneAgainst(column, left, right);
                if (along == 0)
                    continue;
                unsigned char& piece = pieces[gridIndex(column, row, 2 * cellColumns)];
                if (along == BLOCKED && across == BLOCKED)
                    piece = BLOCKED;
                else if (piece != BLOCKED)
                    piece = UNSURE;
            }
        }
    }

    const WallBuckets buckets;
    const int cellColumns;
    const int cellRows;
    std::vector<unsigned char> pieces;
};

// Whether the walk lineOfSightExt makes between two distinct leaf centres
// meets no wall. It takes the very same samples, in the same float steps,
// but tests only those the grid cannot vouch for, and skips the distance
// test where the walk cannot have passed 'to' yet.
bool walkIsClear(const SightGrid& grid, const glm::vec3& from, const glm::vec3& to)
{
    const glm::vec3 d = to - from;
    const float length = glm::length(d);
    if (length < SIGHT_MIN_LENGTH)
        return true;
    if (length > SIGHT_RANGE)
        return false;
    const glm::vec3 step = d / SIGHT_RANGE;
    // How far one step moves in the measure the footprint test uses.
    const float stride = std::max(std::fabs(step.x), std::fabs(step.y));
    glm::vec3 p = from + step;
    int vouched = 0; // samples from here on known to be clear
    for (int sample = 0; sample < SIGHT_MAX_SAMPLES; ++sample) {
        if (vouched == 0) {
            const int away = grid.clearance(p);
            if (away == SightGrid::BLOCKED_POINT)
                return false;
            // Later samples stay within a step per sample of this one.
            const float room = (away - 1) / 2.0f - static_cast<float>(ROUNDING_MARGIN);
            vouched = room > 0.0f && stride > 0.0f
                ? 1 + static_cast<int>(std::min(room / stride, static_cast<float>(SIGHT_MAX_SAMPLES)))
                : 1;
        }
        --vouched;
        if (sample >= SHORT_SAMPLES && glm::length(p - from) > length)
            return true;
        p += step;
    }
    log_error("Ouch! should not happen!");
    return true;
}

// The leaves a walk may reach, listed per square block of the level by where
// their centre lies, so the ones in sight range of a point are found without
// looking at the others. Each entry carries the centre and the cache key.
class LeafBlocks {
public:
    struct Entry {
        glm::vec3 centre;
        uint64_t key;
    };

    LeafBlocks(const std::vector<Entry>& leaves, int width, int height)
        : columns(blockOf(static_cast<float>(width)) + 1)
        , rows(blockOf(static_cast<float>(height)) + 1)
        , firstEntry(static_cast<size_t>(columns) * static_cast<size_t>(rows) + 1, 0)
        , entries(leaves.size())
    {
        for (const Entry& leaf : leaves)
            ++firstEntry[blockIndex(leaf.centre) + 1];
        for (size_t block = 1; block < firstEntry.size(); ++block)
            firstEntry[block] += firstEntry[block - 1];
        std::vector<size_t> filled(firstEntry.begin(), firstEntry.end() - 1);
        for (const Entry& leaf : leaves)
            entries[filled[blockIndex(leaf.centre)]++] = leaf;
    }

    // Calls visit(entry) for every leaf of every block that reaches within
    // sight range of 'centre', a leaf centre itself.
    template <typename Visit>
    void forEachNear(const glm::vec3& centre, const Visit& visit) const
    {
        const int firstColumn = std::max(blockOf(centre.x - REACH), 0);
        const int lastColumn = std::min(blockOf(centre.x + REACH), columns - 1);
        const int firstRow = std::max(blockOf(centre.y - REACH), 0);
        const int lastRow = std::min(blockOf(centre.y + REACH), rows - 1);
        for (int row = firstRow; row <= lastRow; ++row) {
            const size_t begin = firstEntry[gridIndex(firstColumn, row, columns)];
            const size_t end = firstEntry[gridIndex(lastColumn, row, columns) + 1];
            for (size_t entry = begin; entry < end; ++entry)
                visit(entries[entry]);
        }
    }

private:
    static constexpr float BLOCK_SIZE = 8.0f;
    // A little beyond the sight range, against rounding.
    static constexpr float REACH = SIGHT_RANGE + 1.0f;

    // Leaf centres lie inside the level; points left of or below it map to
    // negative blocks, which the callers clamp.
    static int blockOf(float coordinate) { return static_cast<int>(std::floor(coordinate / BLOCK_SIZE)); }
    size_t blockIndex(const glm::vec3& centre) const
    {
        return gridIndex(blockOf(centre.x), blockOf(centre.y), columns);
    }

    const int columns;
    const int rows;
    std::vector<size_t> firstEntry; // per block, its first entry; one extra at the end
    std::vector<Entry> entries;
};

uint64_t cacheKey(const node* leaf)
{
    return reinterpret_cast<uint64_t>(leaf);
}

} // namespace

Level::Level(std::string xmlPath)
    : xmlPath(std::move(xmlPath))
{
    debugRect = new Rectangle(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
}

Level::~Level()
{
    for (spawn_data* spawn : enemySpawns)
        delete spawn;
    for (spawn_data* spawn : npcSpawns)
        delete spawn;
    for (wall_data* run : wallRuns)
        delete run;
    for (TexturedCuboid* box : walls)
        delete box;
    delete ground;
    if (quadTree) {
        free_quad_tree(quadTree);
        quadTree = nullptr;
    }
    delete nextStairs;
    delete teleporterDown;
    delete prevStairs;
    delete teleporterUp;
    delete debugRect;
    if (wallGrid) {
        for (int row = 0; row < height; ++row)
            delete[] wallGrid[row];
        delete[] wallGrid;
    }
}

// ---------------------------------------------------------------- loading

bool Level::setup()
{
    if (!loadXml())
        return false;
    unsigned char* pixels = loadBitmap();
    if (!pixels)
        return false;
    bool built = buildGround();
    if (built && !debugRect->setup()) {
        log_error("Debug rect setup problem");
        built = false;
    }
    if (built) {
        scanRuns(pixels, true);
        scanRuns(pixels, false);
        buildWallBoxes();
        built = scanMarkersAndSpawns(pixels);
    }
    if (built) {
        buildWallGrid(pixels);
        buildQuadTree();
    }
    stbi_image_free(pixels);
    return built;
}

bool Level::loadXml()
{
    unsigned size = 0;
    void* bytes = PackageManager::getInstance()->load(PACKAGE, xmlPath, &size);
    if (!bytes) {
        log_error("Load problem with %s", xmlPath.c_str());
        return false;
    }
    TiXmlDocument document;
    const bool parsed = XmlText::parse(&document, bytes, size);
    free(bytes);
    if (!parsed) {
        log_error("Failed to load %s", xmlPath.c_str());
        return false;
    }
    populate(&document);
    return true;
}

void Level::populate(TiXmlNode* current)
{
    if (current->Type() == TiXmlNode::TINYXML_ELEMENT) {
        TiXmlElement* element = current->ToElement();
        const std::string tag = element->Value();
        if (tag == "level")
            extractLevelData(element);
        else if (tag == "textures")
            extractTexturesData(element);
        else if (tag == "sounds")
            extractSoundsData(element);
    } else if (current->Type() == TiXmlNode::TINYXML_UNKNOWN) {
        log_warning("Unknown data in xml, %s", current->Value());
    }
    for (TiXmlNode* child = current->FirstChild(); child; child = child->NextSibling())
        populate(child);
}

namespace {

// Where one attribute of a level-file element goes.
struct AttributeTarget {
    const char* name;
    std::string* field;
    bool required;
};

// Reads an element's known attributes in document order and warns once per
// required one that is missing, in the order the targets list them.
void readAttributes(TiXmlElement* element, const char* tag, std::initializer_list<AttributeTarget> targets)
{
    AttributeValidator* validator = new AttributeValidator();
    for (const AttributeTarget& target : targets)
        if (target.required)
            validator->add(target.name);
    for (TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next()) {
        for (const AttributeTarget& target : targets) {
            if (std::strcmp(attribute->Name(), target.name) != 0)
                continue;
            *target.field = attribute->Value();
            if (target.required)
                validator->check(target.name);
        }
    }
    for (int i = 0; i < validator->getNumMissingAttributes(); ++i)
        log_warning("Attribute %s not specified for tag <%s>", validator->getMissingAttribute(i).c_str(), tag);
    delete validator;
}

} // namespace

void Level::extractLevelData(TiXmlElement* element)
{
    readAttributes(element, "level",
                   {{"name", &name, true}, {"bitmap", &bitmapPath, true}, {"next", &nextLevel, false},
                    {"previous", &previousLevel, false}});
}

void Level::extractTexturesData(TiXmlElement* element)
{
    readAttributes(element, "textures", {{"ground", &groundTexture, true}, {"wall", &wallTexture, true}});
}

void Level::extractSoundsData(TiXmlElement* element)
{
    readAttributes(element, "sounds", {{"background", &backgroundSound, true}, {"footstep", &footstepSound, true}});
}

unsigned char* Level::loadBitmap()
{
    unsigned size = 0;
    void* bytes = PackageManager::getInstance()->load(PACKAGE, bitmapPath, &size);
    if (!bytes) {
        log_error("Failed to load package data for level %s", bitmapPath.c_str());
        return nullptr;
    }
    const unsigned char* data = static_cast<const unsigned char*>(bytes);
    int pictureWidth = 0;
    int pictureHeight = 0;
    int channels = 0;
    unsigned char* pixels = nullptr;
    const bool plausible = size <= static_cast<unsigned>(INT_MAX) && bitmapIsComplete(data, size)
        && stbi_info_from_memory(data, static_cast<int>(size), &pictureWidth, &pictureHeight, &channels)
        && pictureWidth <= MAX_LEVEL_SIDE && pictureHeight <= MAX_LEVEL_SIDE;
    if (plausible) {
        stbi_set_flip_vertically_on_load(1);
        pixels = stbi_load_from_memory(data, static_cast<int>(size), &pictureWidth, &pictureHeight, &channels, 3);
    }
    free(bytes);
    if (!pixels || pictureWidth <= 0 || pictureHeight <= 0) {
        if (pixels)
            stbi_image_free(pixels);
        log_error("Failed to load image data for %s", bitmapPath.c_str());
        return nullptr;
    }
    width = pictureWidth;
    height = pictureHeight;
    return pixels;
}

bool Level::buildGround()
{
    ground = new TexturedQuad(0.5f * width, 0.5f * height, 0.0f, 2.0f * width, 2.0f * height, groundTexture,
                              groundTexture, WORLD_VERTEX_SHADER, WORLD_FRAGMENT_SHADER, GROUND_TILE_SIZE);
    if (!ground->setup()) {
        log_error("Ground setup problem");
        return false;
    }
    return true;
}

unsigned Level::pixelAt(const unsigned char* pixels, int column, int row) const
{
    const unsigned char* rgb = pixels + (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)) * 3;
    return static_cast<unsigned>(rgb[0]) << 16 | static_cast<unsigned>(rgb[1]) << 8 | rgb[2];
}

void Level::scanRuns(const unsigned char* pixels, bool horizontal)
{
    const unsigned color = horizontal ? COLOR_WALL_HORIZONTAL : COLOR_WALL_VERTICAL;
    const int lines = horizontal ? height : width;
    const int lineLength = horizontal ? width : height;
    for (int line = 0; line < lines; ++line) {
        const auto isRunCell = [&](int along) {
            return (horizontal ? pixelAt(pixels, along, line) : pixelAt(pixels, line, along)) == color;
        };
        int along = 0;
        while (along < lineLength) {
            if (!isRunCell(along)) {
                ++along;
                continue;
            }
            const int start = along;
            while (along < lineLength && isRunCell(along))
                ++along;
            const float length = static_cast<float>(along - start);
            const float centre = start + length / 2.0f;
            const float across = line + 0.5f;
            wallRuns.push_back(horizontal ? new wall_data{centre, across, WALL_HEIGHT / 2.0f, length, 1.0f}
                                          : new wall_data{across, centre, WALL_HEIGHT / 2.0f, 1.0f, length});
        }
    }
}

void Level::buildWallBoxes()
{
    for (const wall_data* run : wallRuns) {
        TexturedCuboid* box = new TexturedCuboid(run->x, run->y, run->z, run->sizeX, run->sizeY, WALL_HEIGHT,
                                                 wallTexture, wallTexture, WORLD_VERTEX_SHADER, WORLD_FRAGMENT_SHADER);
        box->setup(UV_MAPPING_DIMENSIONS);
        walls.push_back(box);
    }
}

bool Level::scanMarkersAndSpawns(const unsigned char* pixels)
{
    for (int column = 0; column < width; ++column) {
        for (int row = 0; row < height; ++row) {
            const unsigned color = pixelAt(pixels, column, row);
            const float x = static_cast<float>(column);
            const float y = static_cast<float>(row);
            if (color == COLOR_START) {
                startPosition = glm::vec3(x, y, 0.0f);
            } else if (color == COLOR_NEXT_STAIRS || color == COLOR_PREVIOUS_STAIRS) {
                if (!placeStairs(column, row, color == COLOR_NEXT_STAIRS))
                    return false;
            } else if (isEnemyColor(color)) {
                enemySpawns.push_back(new spawn_data{x, y, 0.0f, getEnemyTypeFromPixelColor(color)});
            } else if (color == COLOR_COMMONER || color == COLOR_MERCHANT) {
                npcSpawns.push_back(new spawn_data{x, y, 0.0f, getNpcTypeFromPixelColor(color)});
            }
        }
    }
    return true;
}

bool Level::placeStairs(int column, int row, bool next)
{
    TexturedQuad*& tile = next ? nextStairs : prevStairs;
    ParticleSystem*& effect = next ? teleporterDown : teleporterUp;
    const glm::vec3 position(static_cast<float>(column), static_cast<float>(row), 0.0f);
    (next ? nextStairsPos : prevStairsPos) = position;

    // A later marker of the same colour wins; the earlier tile and effect go.
    delete tile;
    delete effect;
    effect = nullptr;
    tile = new TexturedQuad(position.x, position.y, STAIRS_HEIGHT, STAIRS_SIZE, STAIRS_SIZE, STAIRS_TEXTURE,
                            STAIRS_TEXTURE, WORLD_VERTEX_SHADER, WORLD_FRAGMENT_SHADER, STAIRS_SIZE);
    if (!tile->setup()) {
        log_error("Failed to setup ground");
        return false;
    }
    effect = new ParticleSystem(next ? TELEPORTER_DOWN_EFFECT : TELEPORTER_UP_EFFECT, true);
    if (!effect->setup()) {
        if (next)
            log_error("Failed to setup teleport down particle system!");
        else
            log_error("Failed to setup teleport up particle system!");
        return false;
    }
    effect->position = position;
    return true;
}

void Level::buildWallGrid(const unsigned char* pixels)
{
    wallGrid = new unsigned char*[height];
    for (int row = 0; row < height; ++row) {
        wallGrid[row] = new unsigned char[width];
        for (int column = 0; column < width; ++column) {
            const unsigned color = pixelAt(pixels, column, row);
            wallGrid[row][column] = (color == COLOR_WALL_HORIZONTAL || color == COLOR_WALL_VERTICAL) ? 1 : 0;
        }
    }
}

void Level::buildQuadTree()
{
    quadTree = create_node(0, 0, width, height, 0);
    leaves.clear();
    create_leaf_array(quadTree);
    populate_los_data();
}

int Level::getEnemyTypeFromPixelColor(unsigned color) const
{
    for (const EnemyColor& enemy : ENEMY_COLORS)
        if (enemy.color == color)
            return enemy.type;
    log_error("Invalid enemy type");
    return ENEMY_TYPE_ZOMBIE;
}

int Level::getNpcTypeFromPixelColor(unsigned color) const
{
    if (color == COLOR_COMMONER)
        return NPC_TYPE_COMMONER;
    if (color != COLOR_MERCHANT)
        log_error("Invalid npc type");
    return NPC_TYPE_MERCHANT;
}

int Level::getNumEnemies() const
{
    return static_cast<int>(enemySpawns.size());
}

int Level::getNumNpcs() const
{
    return static_cast<int>(npcSpawns.size());
}

spawn_data* Level::getEnemyData(int index) const
{
    if (index < 0 || index >= getNumEnemies())
        return nullptr;
    return enemySpawns[static_cast<size_t>(index)];
}

spawn_data* Level::getNpcData(int index) const
{
    if (index < 0 || index >= getNumNpcs())
        return nullptr;
    return npcSpawns[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------- quad tree

node* Level::create_node(int x, int y, int w, int h, int depth)
{
    node* n = new node{y, x, h, w, depth, 0, nullptr, nullptr, nullptr, nullptr, new std::map<uint64_t, bool>()};
    n->wallCount = count_walls(n);
    if (n->wallCount >= SPLIT_WALL_COUNT && w >= 2 && h >= 2) {
        const int hw = w / 2;
        const int hh = h / 2;
        n->topLeft = create_node(x, y + hh, hw, h - hh, depth + 1);
        n->topRight = create_node(x + hw, y + hh, w - hw, h - hh, depth + 1);
        n->bottomLeft = create_node(x, y, hw, hh, depth + 1);
        n->bottomRight = create_node(x + hw, y, w - hw, hh, depth + 1);
    }
    return n;
}

int Level::count_walls(node* n) const
{
    if (!wallGrid)
        return 0;
    int count = 0;
    const int lastRow = std::min(n->y + n->h, height);
    const int lastColumn = std::min(n->x + n->w, width);
    for (int row = std::max(n->y, 0); row < lastRow; ++row)
        for (int column = std::max(n->x, 0); column < lastColumn; ++column)
            if (wallGrid[row][column] != 0)
                ++count;
    return count;
}

void Level::create_leaf_array(node* n)
{
    if (!n)
        return;
    if (isLeafNode(n)) {
        leaves.push_back(n);
        return;
    }
    create_leaf_array(n->topLeft);
    create_leaf_array(n->topRight);
    create_leaf_array(n->bottomLeft);
    create_leaf_array(n->bottomRight);
}

void Level::populate_los_data()
{
    const SightGrid grid(wallRuns, std::min(walls.size(), wallRuns.size()), width, height, SIGHT_SAMPLE_SIZE);
    std::vector<glm::vec3> centres;
    std::vector<double> depths;
    std::vector<LeafBlocks::Entry> targets;
    for (node* leaf : leaves) {
        centres.push_back(get_node_position(leaf, 0));
        depths.push_back(grid.depthOf(centres.back()));
        if (depths.back() <= ROUNDING_MARGIN)
            targets.push_back({centres.back(), cacheKey(leaf)});
    }
    const LeafBlocks blocks(targets, width, height);

    std::vector<uint64_t> visible;
    for (size_t a = 0; a < leaves.size(); ++a) {
        const glm::vec3 from = centres[a];
        const uint64_t self = cacheKey(leaves[a]);
        visible.assign(1, self); // a leaf always sees itself
        // Walks whose first step stays inside the wall around 'from' are
        // blocked; no step is longer than a unit along either axis.
        const float shortestReach = static_cast<float>((depths[a] - ROUNDING_MARGIN) * SIGHT_RANGE);
        if (shortestReach < SIGHT_RANGE) {
            blocks.forEachNear(from, [&](const LeafBlocks::Entry& to) {
                const glm::vec3 d = to.centre - from;
                if (to.key != self && std::max(std::fabs(d.x), std::fabs(d.y)) >= shortestReach
                    && walkIsClear(grid, from, to.centre))
                    visible.push_back(to.key);
            });
        }
        // In key order every insertion lands at the end: no tree search.
        std::sort(visible.begin(), visible.end());
        std::map<uint64_t, bool>& cache = *leaves[a]->losCache;
        cache.clear();
        for (uint64_t key : visible)
            cache.emplace_hint(cache.end(), key, true);
    }
}

void Level::populateLosDataFromEveryPair()
{
    for (node* a : leaves) {
        a->losCache->clear();
        for (node* b : leaves)
            if (extendedLosCheck(a, b))
                a->losCache->insert({cacheKey(b), true});
    }
}

bool Level::extendedLosCheck(node* a, node* b)
{
    bool clear = false;
    lineOfSightExt(get_node_position(a, 0), get_node_position(b, 0), &clear, -1.0f);
    return clear;
}

glm::vec3 Level::get_node_position(node* n, int selector) const
{
    if (selector == 0)
        return glm::vec3(n->x + n->w / 2.0f, n->y + n->h / 2.0f, 0.0f);
    return glm::vec3(static_cast<float>(n->x), static_cast<float>(n->y), 0.0f);
}

node* Level::get_node_from_position(node* n, int column, int row) const
{
    if (!n || !position_inside_node(n, column, row))
        return nullptr;
    node* deepest = n;
    for (node* child : {n->topLeft, n->topRight, n->bottomLeft, n->bottomRight}) {
        node* found = get_node_from_position(child, column, row);
        if (found && found->depth > deepest->depth)
            deepest = found;
    }
    return deepest;
}

bool Level::position_inside_node(node* n, int column, int row) const
{
    const float left = n->x - 0.5f;
    const float bottom = n->y - 0.5f;
    return column > left && column < left + n->w && row > bottom && row < bottom + n->h;
}

bool Level::isLeafNode(node* n) const
{
    return !n->topLeft && !n->topRight && !n->bottomLeft && !n->bottomRight;
}

void Level::free_quad_tree(node* n)
{
    if (!n)
        return;
    free_quad_tree(n->topLeft);
    free_quad_tree(n->topRight);
    free_quad_tree(n->bottomLeft);
    free_quad_tree(n->bottomRight);
    delete n->losCache;
    delete n;
}

// ---------------------------------------------------------------- questions

void Level::assertRowCol(int* row, int* column) const
{
    if (*row >= height) {
        log_warning("Row %d is above valid max height %d", *row, height - 1);
        *row = height - 1;
    }
    if (*row < 0) {
        log_warning("Row %d is below valid min height 0", *row);
        *row = 0;
    }
    if (*column >= width) {
        log_warning("Col %d is above valid width %d", *column, width - 1);
        *column = width - 1;
    }
    if (*column < 0) {
        log_warning("Col %d is below valid min width 0", *column);
        *column = 0;
    }
}

bool Level::isCollision(const glm::vec3& position, float radius)
{
    // Without a grid (a failed setup) nothing is solid: there is no cell to read.
    if (!wallGrid)
        return false;
    const glm::vec2 corners[] = {
        {position.x - radius, position.y + radius},
        {position.x + radius, position.y + radius},
        {position.x - radius, position.y - radius},
        {position.x + radius, position.y - radius},
    };
    for (const glm::vec2& corner : corners) {
        int column = toCell(corner.x + 0.5f);
        int row = toCell(corner.y + 0.5f);
        assertRowCol(&row, &column);
        if (wallGrid[row][column] != 0)
            return true;
    }
    return false;
}

void* Level::isCollisionExt(const glm::vec3& position, float size)
{
    const size_t count = std::min(walls.size(), wallRuns.size());
    for (size_t i = 0; i < count; ++i)
        if (footprintHolds(*wallRuns[i], position, size))
            return walls[i];
    return nullptr;
}

bool Level::lineOfSight(const glm::vec3& from, const glm::vec3& to, float /*maxDistance*/)
{
    node* fromLeaf = get_node_from_position(quadTree, toCell(from.x), toCell(from.y));
    node* toLeaf = get_node_from_position(quadTree, toCell(to.x), toCell(to.y));
    if (!fromLeaf || !toLeaf)
        return false;
    return fromLeaf->losCache->count(cacheKey(toLeaf)) > 0;
}

void* Level::lineOfSightExt(const glm::vec3& from, const glm::vec3& to, bool* clear, float maxDistance)
{
    const glm::vec3 d = to - from;
    const float length = glm::length(d);
    if (length < SIGHT_MIN_LENGTH) {
        *clear = true;
        return nullptr;
    }
    if (length > SIGHT_RANGE) {
        *clear = false;
        return nullptr;
    }
    const glm::vec3 step = d / SIGHT_RANGE;
    if (maxDistance > 0.0f && length > maxDistance) {
        *clear = false;
        return nullptr;
    }
    glm::vec3 p = from + step;
    for (int sample = 0; sample < SIGHT_MAX_SAMPLES; ++sample) {
        void* hit = isCollisionExt(p, SIGHT_SAMPLE_SIZE);
        if (hit) {
            *clear = false;
            return hit;
        }
        if (glm::length(p - from) > length) {
            *clear = true;
            return nullptr;
        }
        p += step;
    }
    log_error("Ouch! should not happen!");
    *clear = true;
    return nullptr;
}

// ---------------------------------------------------------------- frames

void Level::update(float dt)
{
    if (teleporterDown)
        teleporterDown->update(dt);
    if (teleporterUp)
        teleporterUp->update(dt);
}

void Level::render(MatrixOwner* camera, Followable* player)
{
    // The first box between the player and the eye is drawn see-through so
    // the player never disappears behind a wall.
    bool clear = true;
    const void* hiding = lineOfSightExt(player->getPosition(), camera->getPosition(), &clear, -1.0f);
    const auto seeThrough = clear ? walls.end() : std::find(walls.begin(), walls.end(), hiding);

    // The opaque walls ahead of the see-through one go before the ground, so
    // the depth test spares the lighting of the floor they stand on and hide.
    // Where a wall's foot and the ground meet at the same depth the ground
    // still wins, as when it came first. The see-through wall is blended over
    // the ground, and the walls after it in the list are drawn over it, as
    // before.
    for (auto box = walls.begin(); box != seeThrough; ++box)
        (*box)->render(camera, player, false);
    if (ground) {
        glDepthFunc(GL_LEQUAL);
        ground->render(camera, player);
        glDepthFunc(GL_LESS);
    }
    for (auto box = seeThrough; box != walls.end(); ++box)
        (*box)->render(camera, player, box == seeThrough);

    if (nextStairs)
        nextStairs->render(camera, player);
    if (teleporterDown)
        teleporterDown->render(camera);
    if (prevStairs)
        prevStairs->render(camera, player);
    if (teleporterUp)
        teleporterUp->render(camera);

    if (debug)
        renderDebugOverlay(camera, player);
}

void Level::renderDebugOverlay(MatrixOwner* camera, Followable* player)
{
    const glm::vec3 playerPosition = player->getPosition();
    const node* playerLeaf = get_node_from_position(quadTree, toCell(playerPosition.x), toCell(playerPosition.y));
    for (node* leaf : leaves) {
        const glm::vec3 centre = get_node_position(leaf, 0);
        float z = DEBUG_HIDDEN_Z;
        debugRect->color = DEBUG_HIDDEN_COLOR;
        if (leaf == playerLeaf) {
            z = DEBUG_PLAYER_Z;
            debugRect->color = DEBUG_PLAYER_COLOR;
        } else if (lineOfSight(playerPosition, centre, -1.0f)) {
            z = DEBUG_VISIBLE_Z;
            debugRect->color = DEBUG_VISIBLE_COLOR;
        }
        debugRect->position = glm::vec3(centre.x, centre.y, z);
        debugRect->width = static_cast<float>(leaf->w);
        debugRect->height = static_cast<float>(leaf->h);
        debugRect->render(camera);
    }
}

int Level::mouseClick(glm::vec3 point)
{
    const auto onTile = [point](const glm::vec3& tile) {
        return std::fabs(point.x - tile.x) < STAIRS_SIZE / 2.0f && std::fabs(point.y - tile.y) < STAIRS_SIZE / 2.0f;
    };
    if (nextStairs && onTile(nextStairsPos))
        return 1;
    if (prevStairs && onTile(prevStairsPos))
        return xmlPath == TOWN_LEVEL ? 3 : 2;
    return 0;
}
