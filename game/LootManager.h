#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

class MatrixOwner;
class Text;
class TexturedCuboid;

// One item lying on the ground (or still flying there), on one level.
struct loot_data {
    // Where the box is drawn, centred; z is up.
    float pos[3] = {0.0f, 0.0f, 0.0f};
    // Where the item was dropped; the flight is computed from here.
    float start[3] = {0.0f, 0.0f, 0.0f};
    // Launch angle above the ground plane, radians.
    float elevation = 0.0f;
    // Launch direction in the ground plane, radians from +x towards +y.
    float azimuth = 0.0f;
    // World units per second.
    float speed = 0.0f;
    uint32_t itemCode = 0;
    // Seconds since the drop.
    float flightTime = 0.0f;
    // 0 while flying, 1 once it rests on the ground.
    int landed = 0;
    // The level's path as the game names it, e.g. "levels/level1_1.xml".
    std::string levelName;
};

// Every item on the ground, on every level, for as long as the game runs.
//
// A kill throws an item out of the dying unit as a small box on a ballistic
// arc; it lands and stays until the player clicks it into the bag. Records
// remember their level, so only the current level's boxes and name labels
// are drawn and loot left behind is still there on coming back. The box's
// texture tells the item's quality. The game object owns one manager, sets it
// up once and drives it every frame. Items are kept as codes and rebuilt
// whenever a name or quality is needed.
class LootManager {
public:
    // Empty: no label, no boxes, no records.
    LootManager();
    ~LootManager();
    LootManager(const LootManager&) = delete;
    LootManager& operator=(const LootManager&) = delete;

    // Makes the label and the four quality boxes; false after the error line
    // of the first that fails.
    bool setup();
    // Throws the item out from 'position' in a random direction.
    void addLoot(const glm::vec3& position, uint32_t itemCode, const std::string& levelName);
    // Moves every record that has not landed yet.
    void update(float dt);
    // Draws the box of every record of the level.
    void render(MatrixOwner* camera, const std::string& levelName);
    // Draws the item name above every record of the level.
    void renderLootTexts(MatrixOwner* camera, const std::string& levelName);
    // The code of the first record of the level within half a unit of the
    // ground point in both x and y (strictly), else 0. Loot on other levels
    // cannot be seen and is never picked.
    uint32_t mouseClick(const glm::vec3& worldPoint, const std::string& levelName);
    // Takes away the first record of the level with that code, the one
    // mouseClick found; nothing happens when there is none.
    void removeLoot(uint32_t itemCode, const std::string& levelName);

    // The records in drop order.
    const std::vector<loot_data*>& getLoot() const { return loot; }

private:
    // Index of the first record of the level that 'hit' accepts, or -1.
    template <typename Predicate>
    int findOnLevel(const std::string& levelName, Predicate hit) const;
    TexturedCuboid* boxOfQuality(int quality) const;
    static void fly(loot_data* record, float dt);

    Text* lootText;
    TexturedCuboid* normalBox;
    TexturedCuboid* magicBox;
    TexturedCuboid* rareBox;
    TexturedCuboid* epicBox;
    std::vector<loot_data*> loot;
};
