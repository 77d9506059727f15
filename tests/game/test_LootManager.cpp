#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "game/LootManager.h"

// The manager's rules run without set-up: no label, no boxes, no GL.

namespace {

const std::string CELLAR = "levels/level1_1.xml";
const std::string TOWN = "levels/level0.xml";
const float PI = 3.14159265358979f;

// A drop whose launch the test chooses instead of the dice.
loot_data* drop(LootManager* manager, const glm::vec3& at, uint32_t code, const std::string& level,
                float elevation, float azimuth, float speed)
{
    manager->addLoot(at, code, level);
    loot_data* record = manager->getLoot().back();
    record->elevation = elevation;
    record->azimuth = azimuth;
    record->speed = speed;
    return record;
}

// A box lying still on the floor at (x, y).
void place(LootManager* manager, float x, float y, uint32_t code, const std::string& level)
{
    drop(manager, glm::vec3(x, y, 0.0f), code, level, 0.0f, 0.0f, 0.0f);
    manager->update(0.0f);
}

} // namespace

TEST(LootLaunch, ADropStartsAtRestWhereItFellWithALaunchInTheThrowingRanges)
{
    LootManager manager;
    const glm::vec3 at(10.0f, 20.0f, 1.5f);
    srand(7);
    for (int i = 0; i < 300; ++i)
        manager.addLoot(at, 0x12340105u, CELLAR);

    float lowest[3] = {10.0f, 10.0f, 10.0f};
    float highest[3] = {-1.0f, -1.0f, -1.0f};
    for (const loot_data* record : manager.getLoot()) {
        EXPECT_EQ(record->start[2], 1.5f);
        EXPECT_EQ(record->pos[0], 10.0f);
        EXPECT_EQ(record->flightTime, 0.0f);
        EXPECT_EQ(record->landed, 0);
        const float launch[3] = {record->elevation, record->azimuth, record->speed};
        for (int k = 0; k < 3; ++k) {
            lowest[k] = std::fmin(lowest[k], launch[k]);
            highest[k] = std::fmax(highest[k], launch[k]);
        }
    }
    // Ranges are widths from the base: pi/8 + 3pi/8, 0 + 2pi, 2.5 + 5.
    const float base[3] = {PI / 8.0f, 0.0f, 2.5f};
    const float width[3] = {1.1780972f, 2.0f * PI, 5.0f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(lowest[k], base[k]);
        EXPECT_LT(lowest[k], base[k] + 0.1f * width[k]);
        EXPECT_LT(highest[k], base[k] + width[k]);
        EXPECT_GT(highest[k], base[k] + 0.9f * width[k]);
    }
    EXPECT_EQ(manager.getLoot().front()->levelName, CELLAR);
}

TEST(LootFlight, AnArcFromWaistHeightLandsAfterAboutOneAndAHalfSeconds)
{
    LootManager manager;
    const float azimuth = PI / 3.0f;
    loot_data* record = drop(&manager, glm::vec3(4.0f, 6.0f, 1.5f), 1u, CELLAR, PI / 4.0f, azimuth, 5.0f);

    for (int frame = 0; frame < 145; ++frame)
        manager.update(0.01f);
    EXPECT_EQ(record->landed, 0);
    EXPECT_GT(record->pos[2], 0.5f);

    manager.update(0.002f);
    EXPECT_EQ(record->landed, 1);
    EXPECT_EQ(record->pos[2], 0.5f);
    const glm::vec2 travelled(record->pos[0] - 4.0f, record->pos[1] - 6.0f);
    EXPECT_NEAR(glm::length(travelled), 5.13f, 0.01f);
    EXPECT_NEAR(std::atan2(travelled.y, travelled.x), azimuth, 1e-4f);

    // A landed box never moves again.
    const float restX = record->pos[0];
    manager.update(1.0f);
    EXPECT_EQ(record->pos[0], restX);
    EXPECT_EQ(record->pos[2], 0.5f);
}

TEST(LootFlight, ThePathDependsOnTheTimeFlownNotOnTheFrameRate)
{
    LootManager oneStep;
    LootManager manySteps;
    const glm::vec3 at(0.0f, 0.0f, 2.0f);
    loot_data* whole = drop(&oneStep, at, 1u, CELLAR, 1.2f, 2.0f, 7.0f);
    loot_data* stepped = drop(&manySteps, at, 1u, CELLAR, 1.2f, 2.0f, 7.0f);
    oneStep.update(0.75f);
    for (int frame = 0; frame < 45; ++frame)
        manySteps.update(1.0f / 60.0f);
    ASSERT_EQ(stepped->landed, 0);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(whole->pos[axis], stepped->pos[axis], 1e-4f);
}

TEST(LootFlight, ADropFromTheFloorLandsOnItsFirstUpdateWhereItHasGotTo)
{
    LootManager manager;
    loot_data* record = drop(&manager, glm::vec3(1.0f, 1.0f, 0.0f), 1u, CELLAR, 0.5f, 0.0f, 4.0f);
    manager.update(0.1f);
    EXPECT_EQ(record->landed, 1);
    EXPECT_FLOAT_EQ(record->pos[0], 1.0f + 0.4f * std::cos(0.5f));
    EXPECT_EQ(record->pos[1], 1.0f);
    EXPECT_EQ(record->pos[2], 0.5f);
}

TEST(LootPicking, AClickPicksTheFirstDroppedBoxWithinAStrictSquareOnTheCurrentLevel)
{
    LootManager manager;
    place(&manager, 5.0f, 5.0f, 11u, TOWN);
    place(&manager, 5.0f, 5.0f, 22u, CELLAR);
    place(&manager, 5.2f, 4.9f, 33u, CELLAR);

    EXPECT_EQ(manager.mouseClick(glm::vec3(5.1f, 5.0f, 0.0f), CELLAR), 22u);
    EXPECT_EQ(manager.mouseClick(glm::vec3(5.1f, 5.0f, 0.0f), TOWN), 11u);
    // Corners of the square count: 0.45 off on both axes is still a hit.
    EXPECT_EQ(manager.mouseClick(glm::vec3(4.55f, 5.45f, 0.0f), CELLAR), 22u);
    EXPECT_EQ(manager.mouseClick(glm::vec3(5.65f, 4.9f, 0.0f), CELLAR), 33u);
    EXPECT_EQ(manager.mouseClick(glm::vec3(5.0f, 4.5f, 0.0f), TOWN), 0u);
    EXPECT_EQ(manager.mouseClick(glm::vec3(4.5f, 5.0f, 0.0f), TOWN), 0u);
    EXPECT_EQ(manager.mouseClick(glm::vec3(5.0f, 5.0f, 0.0f), "levels/level2_1.xml"), 0u);
}

TEST(LootPicking, RemovingTakesTheFirstRecordOfThatCodeOnThatLevelOnly)
{
    LootManager manager;
    place(&manager, 1.0f, 1.0f, 7u, TOWN);
    place(&manager, 2.0f, 2.0f, 7u, CELLAR);
    place(&manager, 3.0f, 3.0f, 8u, CELLAR);
    place(&manager, 4.0f, 4.0f, 7u, CELLAR);

    manager.removeLoot(7u, CELLAR);
    ASSERT_EQ(manager.getLoot().size(), 3u);
    EXPECT_EQ(manager.getLoot()[0]->levelName, TOWN);
    EXPECT_EQ(manager.getLoot()[1]->itemCode, 8u);
    EXPECT_EQ(manager.getLoot()[2]->pos[0], 4.0f);

    manager.removeLoot(9u, CELLAR);
    manager.removeLoot(8u, TOWN);
    EXPECT_EQ(manager.getLoot().size(), 3u);
}
