#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "game/Collidable.h"

class Followable;
class MatrixOwner;
class ParticleSystem;
class Rectangle;
class TexturedCuboid;
class TexturedQuad;
class TiXmlElement;
class TiXmlNode;

// One enemy, boss or townsfolk placed by the level bitmap, at the pixel's
// corner (whole numbers). 'type' is an enemy_type for enemies and bosses and
// an npc_type for non-player characters.
struct spawn_data {
    float x;
    float y;
    float z;
    int type;
};

// One wall box: a horizontal or vertical run of wall pixels, centred on the
// run, half the wall height up, 'sizeX' by 'sizeY' cells.
struct wall_data {
    float x;
    float y;
    float z;
    float sizeX;
    float sizeY;
};

// One cell block of the quad tree over the wall grid. Leaves carry the set of
// leaves visible from their centre, computed once when the level loads.
struct node {
    int y;
    int x;
    int h;
    int w;
    int depth;
    int wallCount;
    node* topLeft;
    node* topRight;
    node* bottomLeft;
    node* bottomRight;
    // Keyed by the visible leaf's address; only leaves fill theirs.
    std::map<uint64_t, bool>* losCache;
};

// One map of the game, the town or a dungeon floor, read from an XML file and
// a 24-bit bitmap in data.mv2. The game object makes a new one on every level
// change, reads where the player starts and which levels the stairs lead to,
// and spawns one unit per spawn record. Units, projectiles and the game put
// their collision and sight questions to it through Collidable, each answered
// from the structure that makes it cheap: the wall grid for standing, the wall
// boxes for walking a segment, the quad tree's sight cache for "can A see B".
//
// A failed setup leaves the level partly built; every operation, the
// destructor included, copes with whatever was built.
class Level : public Collidable {
public:
    // Stores the path and makes the debug rectangle; no file or GL work.
    explicit Level(std::string xmlPath);
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    bool isCollision(const glm::vec3& position, float radius) override;
    // The first wall box whose footprint, grown by 'size', holds the point.
    void* isCollisionExt(const glm::vec3& position, float size) override;
    // Answered from the sight cache; 'maxDistance' is not used (the cache
    // reaches 25 units).
    bool lineOfSight(const glm::vec3& from, const glm::vec3& to, float maxDistance) override;
    // Walks the segment in 25 samples against the wall boxes.
    void* lineOfSightExt(const glm::vec3& from, const glm::vec3& to, bool* clear, float maxDistance) override;
    virtual ~Level();

    // Loads the XML and the bitmap and builds everything; false with one
    // error line at the first failure.
    bool setup();

    // Advances the two teleporter effects.
    void update(float dt);
    // Ground, walls (the one hiding the player see-through), stairs, effects.
    void render(MatrixOwner* camera, Followable* player);
    // 1 next-level stairs, 2 previous-level stairs, 3 the town's previous-level
    // stairs (the world map), 0 anything else.
    int mouseClick(glm::vec3 point);

    int getNumEnemies() const;
    int getNumNpcs() const;
    // Null when the index is out of range.
    spawn_data* getEnemyData(int index) const;
    spawn_data* getNpcData(int index) const;

    // Unknown colours log an error and give 0.
    int getEnemyTypeFromPixelColor(unsigned color) const;
    // Unknown colours log an error and give 1.
    int getNpcTypeFromPixelColor(unsigned color) const;

    std::string name;

protected:
    std::string groundTexture;
    std::string wallTexture;
    std::string bitmapPath;

public:
    std::string backgroundSound;

protected:
    std::string footstepSound; // stored for the level's authors; nothing plays it

public:
    std::string nextLevel;
    std::string previousLevel;

protected:
    int width = 0;
    int height = 0;
    TexturedQuad* ground = nullptr;
    TexturedQuad* nextStairs = nullptr;
    TexturedQuad* prevStairs = nullptr;
    ParticleSystem* teleporterDown = nullptr;
    ParticleSystem* teleporterUp = nullptr;

public:
    glm::vec3 nextStairsPos = glm::vec3(0.0f);
    glm::vec3 prevStairsPos = glm::vec3(0.0f);

protected:
    std::string xmlPath;
    std::vector<spawn_data*> enemySpawns;
    std::vector<spawn_data*> npcSpawns;

public:
    glm::vec3 startPosition = glm::vec3(0.0f);

protected:
    std::vector<wall_data*> wallRuns; // horizontal runs first, then vertical
    std::vector<TexturedCuboid*> walls; // one per entry of wallRuns, same order
    unsigned char** wallGrid = nullptr; // [row][column], 1 = wall
    node* quadTree = nullptr;
    std::vector<node*> leaves; // depth-first, topLeft, topRight, bottomLeft, bottomRight
    Rectangle* debugRect = nullptr;
    bool debug = false; // quad-tree overlay; the game never switches it on

    // The depth-first walk over the level file and its three element readers.
    void populate(TiXmlNode* node);
    void extractLevelData(TiXmlElement* element);
    void extractTexturesData(TiXmlElement* element);
    void extractSoundsData(TiXmlElement* element);

    // Builds the node and, while it holds enough walls, its subtree.
    node* create_node(int x, int y, int w, int h, int depth);
    int count_walls(node* n) const;
    void create_leaf_array(node* n);
    // Refills every leaf's cache. Only pairs of leaves within sight range are
    // walked, and each sample meets only the wall boxes bucketed around it.
    void populate_los_data();
    // Refills every leaf's cache the plain way, walking every ordered pair of
    // leaves through lineOfSightExt. Slow; kept as the yardstick the fast
    // build must match exactly.
    void populateLosDataFromEveryPair();
    // Whether leaf b's centre is in sight from leaf a's centre.
    bool extendedLosCheck(node* a, node* b);
    // Selector 0: the node's centre; any other: its bottom-left corner.
    glm::vec3 get_node_position(node* n, int selector) const;
    // The leaf holding the cell, or null outside the subtree.
    node* get_node_from_position(node* n, int column, int row) const;
    bool position_inside_node(node* n, int column, int row) const;
    bool isLeafNode(node* n) const;
    void free_quad_tree(node* n);

    // Clamps both into the grid, warning about each correction.
    void assertRowCol(int* row, int* column) const;

private:
    // Loads the level file and walks it.
    bool loadXml();
    // Decoded RGB pixels of the bitmap, bottom row first; null after logging.
    unsigned char* loadBitmap();
    bool buildGround();
    // Joins wall cells of one colour into maximal runs along the rows
    // (horizontal) or the columns; a run never continues into the next line.
    void scanRuns(const unsigned char* pixels, bool horizontal);
    void buildWallBoxes();
    bool scanMarkersAndSpawns(const unsigned char* pixels);
    // A stairs tile and its teleporter effect at a marker pixel.
    bool placeStairs(int column, int row, bool next);
    void buildWallGrid(const unsigned char* pixels);
    void buildQuadTree();
    void renderDebugOverlay(MatrixOwner* camera, Followable* player);
    unsigned pixelAt(const unsigned char* pixels, int column, int row) const;
};
