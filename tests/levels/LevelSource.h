#pragma once

#include <map>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <gtest/gtest.h>

#include "tools/levelmaps/LevelMap.h"

// One level as its sources describe it: the attributes of its XML file and
// its text map, read the way the game reads them (every element at any
// depth, later occurrences win).
struct LevelSource {
    std::string name;  // "level1_2"
    std::map<std::string, std::string> level, textures, sounds;
    levelmap::LevelMap map;
    std::string error;  // empty when both files were read

    // World positions (column, row from the bottom) of every cell holding 'symbol'.
    std::vector<glm::vec2> find(char symbol) const;
    int count(const std::string& symbols) const;
    bool isWall(int column, int row) const;
};

// The ten level names in the order the game meets them.
const std::vector<std::string>& levelNames();

// Reads data/levels/NAME.xml and NAME.map from the source tree.
LevelSource readLevelSource(const std::string& name);

// Where the hero can stand, following the level's collision rule: the four
// corners of the 1.5 x 1.5 square around a point, each rounded to a cell by
// truncating x + 0.5 and y + 0.5, must all be open (outside the map counts as
// wall). Points are sampled on a quarter-unit lattice.
class Walkable {
public:
    explicit Walkable(const LevelSource& level);

    bool canStand(glm::vec2 point) const;
    // Flood fill over the lattice from 'start'; afterwards reached() answers.
    void fillFrom(glm::vec2 start);
    bool reached(glm::vec2 point) const;

private:
    const LevelSource& level;
    int columns = 0;  // lattice size
    int rows = 0;
    std::vector<char> seen;
};

// True when no wall cell lies on the segment (sampled every 0.1 unit).
bool clearSight(const LevelSource& level, glm::vec2 from, glm::vec2 to);

// The game's own sight rule, rebuilt from the level's description: a quad
// tree over the wall grid whose leaves see each other when the segment
// between their centres, walked in 25 steps, meets no wall box grown by half a
// unit on each side (and the centres are at most 25 apart). A point sees
// another when their leaves see each other: that is how enemies spot the hero.
class SightCache {
public:
    explicit SightCache(const LevelSource& level);

    bool sees(glm::vec2 from, glm::vec2 to) const;
    int leafCount() const { return static_cast<int>(leaves.size()); }
    int boxCount() const { return static_cast<int>(boxes.size()); }

private:
    struct Box {
        glm::vec2 centre, size;
    };
    struct Leaf {
        int x, y, w, h;
    };

    void split(int x, int y, int w, int h);
    bool segmentClear(glm::vec2 from, glm::vec2 to) const;
    int leafAt(glm::vec2 point) const;

    const LevelSource& level;
    std::vector<Box> boxes;
    std::vector<Leaf> leaves;
    std::vector<std::vector<bool>> visible;  // [from leaf][to leaf]
};


// Decodes 'bytes' as the game decodes a level bitmap (stb_image, flipped so
// that row 0 is the bottom, 3 channels) and compares every pixel with the
// colour the map's character stands for; also checks the header says 24 bits.
testing::AssertionResult bitmapShowsMap(const std::string& bytes, const levelmap::LevelMap& map);
