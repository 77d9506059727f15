#include "game/Level.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include <stb_image.h>
#include <tinyxml.h>

#include "core/AttributeValidator.h"
#include "core/Log.h"
#include "core/PackageManager.h"
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
const float SIGHT_RANGE = 25.0f;
const float SIGHT_MIN_LENGTH = 0.1f;
const int SIGHT_MAX_SAMPLES = 201;
const float SIGHT_SAMPLE_SIZE = 1.0f;

// Far larger than any map the game ships; a header claiming more is damaged,
// and building the sight cache for it would never finish anyway.
const int MAX_LEVEL_SIDE = 4096;

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
    const int64_t rowBytes = (pictureWidth * bitsPerPixel + 31) / 32 * 4;
    const int64_t needed = pixelOffset + rowBytes * std::llabs(pictureHeight);
    return needed <= static_cast<int64_t>(size);
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
    std::string text(static_cast<const char*>(bytes), size);
    free(bytes);

    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
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
    for (node* a : leaves)
        for (node* b : leaves)
            if (extendedLosCheck(a, b))
                a->losCache->insert({reinterpret_cast<uint64_t>(b), true});
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
    for (size_t i = 0; i < count; ++i) {
        const wall_data* box = wallRuns[i];
        const float dx = std::fabs(position.x - box->x);
        const float dy = std::fabs(position.y - box->y);
        if (dx < (box->sizeX + size) / 2.0f && dy < (box->sizeY + size) / 2.0f)
            return walls[i];
    }
    return nullptr;
}

bool Level::lineOfSight(const glm::vec3& from, const glm::vec3& to, float /*maxDistance*/)
{
    node* fromLeaf = get_node_from_position(quadTree, toCell(from.x), toCell(from.y));
    node* toLeaf = get_node_from_position(quadTree, toCell(to.x), toCell(to.y));
    if (!fromLeaf || !toLeaf)
        return false;
    return fromLeaf->losCache->count(reinterpret_cast<uint64_t>(toLeaf)) > 0;
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
    if (ground)
        ground->render(camera, player);

    // The first box between the player and the eye is drawn see-through so
    // the player never disappears behind a wall.
    bool clear = true;
    const void* hiding = lineOfSightExt(player->getPosition(), camera->getPosition(), &clear, -1.0f);
    for (TexturedCuboid* box : walls)
        box->render(camera, player, !clear && box == hiding);

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
