#include "game/LootManager.h"

#include <cmath>

#include "core/Log.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/Item.h"
#include "render/MatrixOwner.h"
#include "render/Text.h"
#include "render/TexturedCuboid.h"

namespace {

constexpr float PI = 3.14159265358979f;

// Launch: elevation from pi/8 over a width of 3pi/8, any azimuth, and a speed
// from 2.5 over a width of 5.
constexpr float MIN_ELEVATION = PI / 8.0f;
constexpr float ELEVATION_RANGE = 1.1780972f;
constexpr float AZIMUTH_RANGE = 2.0f * PI;
constexpr float MIN_SPEED = 2.5f;
constexpr float SPEED_RANGE = 5.0f;

// Lighter than real gravity so that the arcs hang a little in the air.
constexpr float GRAVITY = 5.82f;
// A unit box resting on the floor has its centre here.
constexpr float RESTING_HEIGHT = 0.5f;
// Half the side of the square around a box that a click picks it in.
constexpr float PICK_REACH = 0.5f;

const char* const LABEL_PLACEHOLDER = "item text placeholder";
constexpr float LABEL_SCALE = 0.3f;
const char* const FONT_TEXTURE = "textures/font.png";
const char* const BOX_VERTEX_SHADER = "shaders/simple.vs";
const char* const BOX_FRAGMENT_SHADER = "shaders/simple.fs";

// A unit box wearing one picture as both colour and relief.
TexturedCuboid* newBox(const char* texture)
{
    return new TexturedCuboid(0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, texture, texture, BOX_VERTEX_SHADER,
                              BOX_FRAGMENT_SHADER);
}

glm::vec3 positionOf(const loot_data& record)
{
    return glm::vec3(record.pos[0], record.pos[1], record.pos[2]);
}

} // namespace

LootManager::LootManager()
    : lootText(nullptr)
    , normalBox(nullptr)
    , magicBox(nullptr)
    , rareBox(nullptr)
    , epicBox(nullptr)
{
}

LootManager::~LootManager()
{
    delete lootText;
    delete normalBox;
    delete magicBox;
    delete rareBox;
    delete epicBox;
    for (loot_data* record : loot)
        delete record;
}

bool LootManager::setup()
{
    lootText = new Text(0.0f, 0.0f, LABEL_PLACEHOLDER, LABEL_SCALE, glm::vec3(1.0f, 1.0f, 1.0f), FONT_TEXTURE);
    if (!lootText->setup()) {
        log_error("Failed to setup loot text");
        return false;
    }
    struct BoxKind {
        TexturedCuboid** box;
        const char* texture;
        const char* failure;
    };
    const BoxKind kinds[] = {
        {&normalBox, "textures/lootbox_normal.png", "Failed to create normal lootbox"},
        {&magicBox, "textures/lootbox_magic.png", "Failed to create magic lootbox"},
        {&rareBox, "textures/lootbox_rare.png", "Failed to create rare lootbox"},
        {&epicBox, "textures/lootbox_epic.png", "Failed to create epic lootbox"},
    };
    for (const BoxKind& kind : kinds) {
        *kind.box = newBox(kind.texture);
        if (!(*kind.box)->setup(UV_MAPPING_TEMPLATE)) {
            log_error("%s", kind.failure);
            return false;
        }
    }
    return true;
}

void LootManager::addLoot(const glm::vec3& position, uint32_t itemCode, const std::string& levelName)
{
    loot_data* record = new loot_data();
    for (int axis = 0; axis < 3; ++axis)
        record->start[axis] = record->pos[axis] = position[axis];
    record->itemCode = itemCode;
    record->levelName = levelName;
    // The draw order is fixed: elevation, azimuth, speed.
    record->elevation = MathUtil::grf(MIN_ELEVATION, ELEVATION_RANGE);
    record->azimuth = MathUtil::grf(0.0f, AZIMUTH_RANGE);
    record->speed = MathUtil::grf(MIN_SPEED, SPEED_RANGE);
    loot.push_back(record);
}

void LootManager::update(float dt)
{
    for (loot_data* record : loot) {
        if (record->landed == 0)
            fly(record, dt);
    }
    if (normalBox != nullptr)
        normalBox->update(dt);
}

// The position follows from the start and the whole flight time rather than
// being stepped, so the arc is the same at any frame rate. Walls do not stop
// a flying box.
void LootManager::fly(loot_data* record, float dt)
{
    record->flightTime += dt;
    const float t = record->flightTime;
    const float travelled = t * record->speed;
    const float horizontal = travelled * std::cos(record->elevation);
    record->pos[0] = record->start[0] + horizontal * std::cos(record->azimuth);
    record->pos[1] = record->start[1] + horizontal * std::sin(record->azimuth);
    const float z = record->start[2] + travelled * std::sin(record->elevation) - 0.5f * GRAVITY * t * t;
    if (z <= RESTING_HEIGHT) {
        record->pos[2] = RESTING_HEIGHT;
        record->landed = 1;
    } else {
        record->pos[2] = z;
    }
}

void LootManager::render(MatrixOwner* camera, const std::string& levelName)
{
    for (const loot_data* record : loot) {
        if (record->levelName != levelName)
            continue;
        const Item item(record->itemCode);
        TexturedCuboid* box = boxOfQuality(item.quality);
        box->position = positionOf(*record);
        box->render(camera, nullptr, false);
    }
}

void LootManager::renderLootTexts(MatrixOwner* camera, const std::string& levelName)
{
    for (const loot_data* record : loot) {
        if (record->levelName != levelName)
            continue;
        const Item item(record->itemCode);
        // Window pixels count y from the top, the HUD from the bottom.
        const glm::vec2 screen = world_to_screen(positionOf(*record), camera->getPerspectiveMatrix(),
                                                 camera->getViewMatrix());
        lootText->setPos(screen.x, static_cast<float>(SCREEN_HEIGHT) - screen.y);
        lootText->setText(item.name.c_str());
        lootText->render(camera);
    }
}

uint32_t LootManager::mouseClick(const glm::vec3& worldPoint, const std::string& levelName)
{
    const int index = findOnLevel(levelName, [&worldPoint](const loot_data& record) {
        return std::fabs(record.pos[0] - worldPoint.x) < PICK_REACH
            && std::fabs(record.pos[1] - worldPoint.y) < PICK_REACH;
    });
    return index < 0 ? 0 : loot[index]->itemCode;
}

void LootManager::removeLoot(uint32_t itemCode, const std::string& levelName)
{
    const int index = findOnLevel(levelName, [itemCode](const loot_data& record) {
        return record.itemCode == itemCode;
    });
    if (index < 0)
        return;
    delete loot[index];
    loot.erase(loot.begin() + index);
}

template <typename Predicate>
int LootManager::findOnLevel(const std::string& levelName, Predicate hit) const
{
    for (size_t i = 0; i < loot.size(); ++i) {
        if (loot[i]->levelName == levelName && hit(*loot[i]))
            return static_cast<int>(i);
    }
    return -1;
}

TexturedCuboid* LootManager::boxOfQuality(int quality) const
{
    switch (quality) {
    case MAGIC: return magicBox;
    case RARE: return rareBox;
    case EPIC: return epicBox;
    default: return normalBox;
    }
}
