#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/Item.h"
#include "game/ItemInstance.h"
#include "game/Player.h"
#include "render/TexturedCuboid.h"
#include "support/LogCapture.h"
#include "test_UnitDoubles.h"

namespace {

constexpr float PI = 3.14159265358979f;

// An epic level-50 item of the slot: every stat is at least 25.
uint32_t strongItem(item_slot slot, uint32_t seed)
{
    return seed << 16 | static_cast<uint32_t>(EPIC) << 12 | static_cast<uint32_t>(slot) << 8 | 50u;
}

// Puts an item straight into its equipment slot, as the inventory window does.
ItemInstance* equip(Player& player, uint32_t code)
{
    EXPECT_TRUE(player.addItem(code));
    ItemInstance* item = player.getItem(player.getNumItems() - 1);
    item->location = -(static_cast<int>(Item(code).slot) + 1);
    return item;
}

// The bag holds 130 items.
void fillBag(Player& player)
{
    for (int i = 0; i < 130; ++i)
        ASSERT_TRUE(player.addItem(strongItem(HEAD, static_cast<uint32_t>(i + 1))));
}

} // namespace

TEST(PlayerConstruction, StartsAsTheLevelOneHeroOnTheGround)
{
    Player player(3.0f, 4.0f);
    EXPECT_EQ(player.position, glm::vec3(3.0f, 4.0f, 2.0f));
    EXPECT_EQ(player.getLevel(), 1);
    EXPECT_EQ(player.getStrength(), 100);
    EXPECT_EQ(player.armor, 10);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_FLOAT_EQ(player.power, 100.0f);
    EXPECT_EQ(player.bodyTexturePath, "textures/units/hero.png");
    EXPECT_EQ(player.armTexturePath, "textures/units/hero_arm.png");
}

TEST(PlayerExperience, ALevelBeginsAboveItsThresholdAndAddExpReportsOnlyChanges)
{
    Player player(0.0f, 0.0f);
    EXPECT_EQ(player.addExp(999), -1);
    EXPECT_EQ(player.exp, 1000);
    EXPECT_EQ(player.getLevel(), 1);
    EXPECT_EQ(player.addExp(1), 2);
    EXPECT_EQ(player.addExp(1), -1);
    // Across two thresholds at once: the final level.
    EXPECT_EQ(player.addExp(6500), 4);
    EXPECT_EQ(player.getLevel(), 4);
    EXPECT_EQ(player.addExp(2000000), 15);
    EXPECT_EQ(player.addExp(500), -1);
    EXPECT_EQ(player.getLevel(), 15);
    // The unit's own level field is not the hero's level.
    EXPECT_EQ(player.level, 1);
}

TEST(PlayerExperience, TheBarShowsTheShareOfTheCurrentLevelAndIsFullAtTheTop)
{
    Player player(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_EXPERIENCE), 0.001f);
    player.exp = 2000;
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_EXPERIENCE), 0.5f);
    player.exp = 999999;
    EXPECT_EQ(player.getLevel(), 14);
    EXPECT_NEAR(player.getValue(VALUE_PLAYER_EXPERIENCE), 1.0f, 1e-5f);
    player.exp = 1000000;
    EXPECT_EQ(player.getLevel(), 15);
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_EXPERIENCE), 1.0f);
    player.exp = 50000000;
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_EXPERIENCE), 1.0f);
}

TEST(PlayerValues, HealthAndPowerAreServedAndEveryOtherIdIsNeutral)
{
    Player player(0.0f, 0.0f);
    player.health = 25.0f;
    player.power = 80.0f;
    player.maxPower = 160.0f;
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_HEALTH), 0.25f);
    EXPECT_FLOAT_EQ(player.getMaxValue(VALUE_PLAYER_HEALTH), 100.0f);
    EXPECT_FLOAT_EQ(player.getAbsoluteValue(VALUE_PLAYER_HEALTH), 25.0f);
    EXPECT_FLOAT_EQ(player.getValue(VALUE_PLAYER_POWER), 0.5f);
    EXPECT_FLOAT_EQ(player.getMaxValue(VALUE_PLAYER_POWER), 160.0f);
    EXPECT_FLOAT_EQ(player.getAbsoluteValue(VALUE_PLAYER_POWER), 80.0f);
    EXPECT_FLOAT_EQ(player.getMaxValue(VALUE_PLAYER_EXPERIENCE), 0.0f);
    EXPECT_FLOAT_EQ(player.getAbsoluteValue(VALUE_PLAYER_EXPERIENCE), 0.0f);
    for (int other : {3, 4, -1, 99}) {
        EXPECT_FLOAT_EQ(player.getValue(other), 1.0f) << other;
        EXPECT_FLOAT_EQ(player.getMaxValue(other), 0.0f) << other;
        EXPECT_FLOAT_EQ(player.getAbsoluteValue(other), 0.0f) << other;
    }
}

TEST(PlayerInventory, ABadIndexIsLoggedWithTheIndexAndGivesNothing)
{
    Player player(0.0f, 0.0f);
    ASSERT_TRUE(player.addItem(strongItem(FEET, 5)));
    LogCapture log;
    EXPECT_EQ(player.getItem(-1), nullptr);
    EXPECT_EQ(player.getItem(1), nullptr);
    EXPECT_NE(player.getItem(0), nullptr);
    EXPECT_TRUE(log.contains("[ERROR]"));
    EXPECT_EQ(log.count("Invalid item index (-1)"), 1);
    EXPECT_EQ(log.count("Invalid item index (1)"), 1);
}

TEST(PlayerInventory, NewItemsTakeTheLowestFreeBagCell)
{
    Player player(0.0f, 0.0f);
    for (uint32_t seed = 1; seed <= 3; ++seed)
        ASSERT_TRUE(player.addItem(strongItem(NECK, seed)));
    EXPECT_EQ(player.getItem(2)->location, 2);
    EXPECT_EQ(player.getItemAtLocation(1), player.getItem(1));
    EXPECT_EQ(player.getItemAtLocation(3), nullptr);

    // Cell 0 frees up when its item is equipped, cell 1 when it is removed.
    player.getItem(0)->location = -6;
    ASSERT_TRUE(player.addItem(strongItem(NECK, 4)));
    EXPECT_EQ(player.getItem(3)->location, 0);
    ASSERT_TRUE(player.removeItem(player.getItemAtLocation(1)));
    ASSERT_TRUE(player.addItem(strongItem(NECK, 5)));
    EXPECT_EQ(player.getItemAtLocation(1)->itemCode, strongItem(NECK, 5));
    EXPECT_EQ(player.getItemAtLocation(-6)->itemCode, strongItem(NECK, 1));
}

TEST(PlayerInventory, AFullBagRefusesButEquippedItemsDoNotCount)
{
    Player player(0.0f, 0.0f);
    fillBag(player);
    {
        LogCapture log;
        EXPECT_FALSE(player.addItem(strongItem(FEET, 9)));
        EXPECT_EQ(log.count("Inventory is full"), 1);
        EXPECT_TRUE(log.contains("[ERROR]"));
    }
    EXPECT_EQ(player.getNumItems(), 130);

    player.getItemAtLocation(77)->location = -1;
    ASSERT_TRUE(player.addItem(strongItem(FEET, 9)));
    EXPECT_EQ(player.getItemAtLocation(77)->itemCode, strongItem(FEET, 9));
    EXPECT_EQ(player.getNumItems(), 131);
}

TEST(PlayerInventory, RemovingKeepsTheOrderAndRefusesItemsNotOwned)
{
    Player player(0.0f, 0.0f);
    for (uint32_t seed = 1; seed <= 3; ++seed)
        ASSERT_TRUE(player.addItem(strongItem(FINGER, seed)));
    EXPECT_TRUE(player.removeItem(player.getItem(1)));
    ASSERT_EQ(player.getNumItems(), 2);
    EXPECT_EQ(player.getItem(0)->itemCode, strongItem(FINGER, 1));
    EXPECT_EQ(player.getItem(1)->itemCode, strongItem(FINGER, 3));

    ItemInstance stranger(strongItem(FINGER, 1), 0);
    LogCapture log;
    EXPECT_FALSE(player.removeItem(&stranger));
    EXPECT_FALSE(player.removeItem(nullptr));
    EXPECT_EQ(log.count("Failed to remove item"), 2);
    EXPECT_EQ(player.getNumItems(), 2);
    EXPECT_EQ(stranger.location, 0);
}

TEST(PlayerInventory, EquippedSumsCoverAllSevenSlotsAndOnlyThem)
{
    Player player(0.0f, 0.0f);
    int strength = 0, armor = 0, health = 0, healthRegen = 0, power = 0, powerRegen = 0;
    for (int slot = HEAD; slot <= FEET; ++slot) {
        const uint32_t code = strongItem(static_cast<item_slot>(slot), static_cast<uint32_t>(slot + 11));
        equip(player, code);
        const Item item(code);
        strength += item.strength;
        armor += item.armor;
        health += item.health;
        healthRegen += item.healthRegen;
        power += item.power;
        powerRegen += item.powerRegen;
    }
    // Items in the bag add nothing.
    ASSERT_TRUE(player.addItem(strongItem(WEAPON, 99)));

    EXPECT_EQ(player.getEquippedStrength(), strength);
    EXPECT_EQ(player.getEquippedArmor(), armor);
    EXPECT_EQ(player.getEquippedHealth(), health);
    EXPECT_EQ(player.getEquippedHealthRegen(), healthRegen);
    EXPECT_EQ(player.getEquippedPower(), power);
    EXPECT_EQ(player.getEquippedPowerRegen(), powerRegen);
    EXPECT_GE(health, 7 * 25);

    // Unequipping one item takes exactly its share away.
    const Item feet(strongItem(FEET, FEET + 11));
    player.getItemAtLocation(-7)->location = 5;
    EXPECT_EQ(player.getEquippedHealth(), health - feet.health);
    EXPECT_EQ(player.getEquippedPowerRegen(), powerRegen - feet.powerRegen);
}

TEST(PlayerInventory, EquipmentRaisesTheMaximaAndUnequippingCutsHealthDown)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    ItemInstance* armour = equip(player, strongItem(ARMOR, 3));
    const Item item(armour->itemCode);
    player.update(0.1f, &world);
    EXPECT_FLOAT_EQ(player.maxHealth, 100.0f + static_cast<float>(item.health));
    EXPECT_FLOAT_EQ(player.maxPower, 100.0f + static_cast<float>(item.power));
    // Equipped power regeneration counts a tenth.
    EXPECT_FLOAT_EQ(player.powerRegenRate, 1.0f + static_cast<float>(item.powerRegen) / 10.0f);

    player.health = player.maxHealth;
    armour->location = 0;
    player.update(0.1f, &world);
    EXPECT_FLOAT_EQ(player.maxHealth, 100.0f);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

TEST(PlayerInventory, BaseStatsFollowTheLevelAndTheBuffs)
{
    Player player(0.0f, 0.0f);
    player.exp = 3001; // level 3
    EXPECT_EQ(player.getBaseHealth(), 200);
    EXPECT_EQ(player.getBasePower(), 120);
    EXPECT_EQ(player.getBaseArmor(), 10);
    EXPECT_EQ(player.getBaseHealthRegen(), 3);
    EXPECT_EQ(player.getBasePowerRegen(), 1);

    player.setTemporaryExtraStrength(55.5f, 5.0f);
    player.setTemporaryPowerRegenRate(10.7f, 5.0f);
    EXPECT_EQ(player.getBaseStrength(), 155);
    EXPECT_EQ(player.getBasePowerRegen(), 10);
}

TEST(PlayerBuffs, StrengthBonusLastsItsSecondsAndDrawsTheHeroLarger)
{
    Player player(0.0f, 0.0f);
    player.createBoxes();
    FakeWorld world;
    player.setTemporaryExtraStrength(100.0f, 1.0f);
    EXPECT_EQ(player.getStrength(), 200);
    EXPECT_FLOAT_EQ(player.body->scale, 1.25f);

    // A second cast replaces the first rather than adding to it.
    player.setTemporaryExtraStrength(40.0f, 1.0f);
    EXPECT_EQ(player.getStrength(), 140);

    player.update(0.5f, &world);
    player.update(0.5f, &world);
    EXPECT_EQ(player.getStrength(), 140);
    EXPECT_FLOAT_EQ(player.armA->scale, 1.25f);
    // It ends in the first update whose timer is no longer above 0.
    player.update(0.5f, &world);
    EXPECT_EQ(player.getStrength(), 100);
    EXPECT_FLOAT_EQ(player.body->scale, 1.0f);
    EXPECT_FLOAT_EQ(player.armB->scale, 1.0f);
}

TEST(PlayerBuffs, PowerRegenerationBuffRunsThenFallsBackToTheBaseRate)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    player.power = 10.0f;
    player.update(1.0f, &world);
    EXPECT_FLOAT_EQ(player.powerRegenRate, 1.0f);
    EXPECT_FLOAT_EQ(player.power, 11.0f);

    player.setTemporaryPowerRegenRate(10.0f, 1.0f);
    player.update(0.5f, &world);
    player.update(0.5f, &world);
    EXPECT_FLOAT_EQ(player.power, 21.0f);
    player.update(0.5f, &world);
    EXPECT_FLOAT_EQ(player.powerRegenRate, 1.0f);
    EXPECT_FLOAT_EQ(player.power, 21.5f);

    // Full power is held at the maximum.
    player.power = 150.0f;
    player.update(0.5f, &world);
    EXPECT_FLOAT_EQ(player.power, 100.0f);
}

TEST(PlayerRegeneration, BelowTheMaximumTheHeroHealsTwiceAndAboveItIsCut)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    player.health = 50.0f;
    // First frame: the constructor's 3 per second, then the unit's 2.
    player.update(1.0f, &world);
    EXPECT_FLOAT_EQ(player.health, 55.0f);
    player.update(1.0f, &world);
    EXPECT_FLOAT_EQ(player.health, 59.0f);

    player.setTemporaryHealthRegenRate(5.0f, 10.0f);
    player.update(1.0f, &world);
    // The player's own step still uses last frame's rate; the unit's the buff.
    EXPECT_FLOAT_EQ(player.health, 66.0f);
    player.update(1.0f, &world);
    EXPECT_FLOAT_EQ(player.health, 76.0f);

    player.health = 130.0f;
    player.update(1.0f, &world);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

TEST(PlayerFalling, DropsAtTwentyUnitsPerSecondToTheGroundWithoutMovingOrTurning)
{
    Player player(5.0f, 5.0f);
    FakeWorld world;
    player.position.z = 20.0f;
    player.falling = true;
    player.speed = 9.0f;
    player.setMovementDirection(glm::vec3(0.0f, 1.0f, 0.0f));

    for (int frame = 0; frame < 9; ++frame)
        player.update(0.1f, &world);
    EXPECT_NEAR(player.position.z, 2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(player.position.x, 5.0f);
    EXPECT_FLOAT_EQ(player.position.y, 5.0f);
    EXPECT_FLOAT_EQ(player.rotation.z, 0.0f);
    EXPECT_TRUE(world.collisionRadii.empty());

    player.update(0.1f, &world);
    EXPECT_FLOAT_EQ(player.position.z, 2.0f);
    EXPECT_FALSE(player.falling);
    // Landed: the next frame walks and turns again.
    player.update(0.1f, &world);
    EXPECT_NEAR(player.position.y, 5.9f, 1e-5f);
    EXPECT_NEAR(player.rotation.z, PI / 2.0f, 1e-5f);
}

TEST(PlayerSpin, OneSecondOfSpinTurnsTwentyRadiansWithAHitEveryTenthFrame)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    player.setMovementDirection(glm::vec3(1.0f, 0.0f, 0.0f));
    player.spin();
    std::vector<int> hitFrames;
    int frame = 0;
    for (; frame < 60; ++frame) {
        player.update(1.0f / 60.0f, &world);
        if (player.isSpinning())
            hitFrames.push_back(frame + 1);
        if (frame == 30) {
            EXPECT_FLOAT_EQ(player.armAPose, PI / 2.0f);
            EXPECT_FLOAT_EQ(player.armBSwing, -PI / 2.0f);
        }
    }
    EXPECT_EQ(hitFrames, (std::vector<int>{10, 20, 30, 40, 50, 60}));
    EXPECT_NEAR(player.rotation.z, 20.0f, 0.4f);

    // Until the timer runs out, then the arms hang and the walk turns it again.
    while (player.spinTimer > 0.0f)
        player.update(1.0f / 60.0f, &world);
    EXPECT_FLOAT_EQ(player.armAPose, 0.0f);
    EXPECT_FLOAT_EQ(player.armBSwing, 0.0f);
    EXPECT_FALSE(player.isSpinning());
    player.update(1.0f / 60.0f, &world);
    EXPECT_FLOAT_EQ(player.rotation.z, 0.0f);
}

TEST(PlayerWalking, ShortDirectionsDoNotTurnTheHero)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    player.speed = 0.0f;
    player.setMovementDirection(glm::vec3(0.0f, -0.15f, 0.0f));
    player.update(0.1f, &world);
    EXPECT_FLOAT_EQ(player.rotation.z, 0.0f);
    player.setMovementDirection(glm::vec3(0.0f, -0.25f, 0.0f));
    player.update(0.1f, &world);
    EXPECT_NEAR(player.rotation.z, 1.5f * PI, 1e-5f);
}

TEST(PlayerWalking, HaltsOnTheStepThatWouldEndNearItsTargetUntilTheTargetGoes)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    player.speed = 9.0f;
    player.setMovementDirection(glm::vec3(1.0f, 0.0f, 0.0f));
    player.setExtraWalkInDir(5.0f);
    EXPECT_TRUE(player.hasTarget);
    EXPECT_EQ(player.targetPosition, glm::vec3(5.0f, 0.0f, 2.0f));

    // Frames of 0.45 units walk in two steps of 0.225: the one from 4.725 to
    // 4.95 would end within 0.2.
    for (int frame = 0; frame < 30; ++frame)
        player.update(0.05f, &world);
    EXPECT_NEAR(player.position.x, 4.725f, 1e-4f);

    player.invalidateTargetPosition();
    player.update(0.05f, &world);
    EXPECT_NEAR(player.position.x, 5.175f, 1e-4f);
}

TEST(PlayerWalking, AStepIntoAWallOrWhileBlockedIsUndoneWholly)
{
    Player player(0.0f, 0.0f);
    FakeWorld world;
    world.solid = [](const glm::vec3& p, float radius) { return p.x + radius > 3.0f; };
    player.speed = 9.0f;
    player.setMovementDirection(glm::normalize(glm::vec3(1.0f, 1.0f, 0.0f)));
    for (int frame = 0; frame < 30; ++frame)
        player.update(0.05f, &world);
    // No sliding along the wall: the hero stands where the last free step ended.
    EXPECT_LE(player.position.x + 0.75f, 3.0f);
    EXPECT_GT(player.position.x + 0.75f, 3.0f - 0.33f);
    EXPECT_FLOAT_EQ(player.position.x, player.position.y);
    EXPECT_FLOAT_EQ(world.collisionRadii.back(), 0.75f);

    Player held(0.0f, 0.0f);
    held.speed = 9.0f;
    held.blocked = true;
    held.setMovementDirection(glm::vec3(0.0f, 1.0f, 0.0f));
    FakeWorld open;
    held.update(0.1f, &open);
    EXPECT_EQ(held.position, glm::vec3(0.0f, 0.0f, 2.0f));
    // A blocked hero still turns towards the mouse.
    EXPECT_NEAR(held.rotation.z, PI / 2.0f, 1e-5f);
}

TEST(PlayerCollidable, ProjectilesHitTheFootprintStrictlyInside)
{
    Player player(10.0f, 10.0f);
    EXPECT_EQ(player.isCollisionExt(glm::vec3(10.5f, 9.2f, 1.0f), 1.0f), static_cast<void*>(&player));
    EXPECT_EQ(player.isCollisionExt(glm::vec3(11.0f, 10.0f, 1.0f), 1.0f), nullptr);
    EXPECT_EQ(player.isCollisionExt(glm::vec3(10.0f, 8.9f, 1.0f), 50.0f), nullptr);
}

TEST(PlayerCollidable, TheThreeQuestionsThePlayerDoesNotServeAreLoggedAndRefused)
{
    Player player(0.0f, 0.0f);
    const glm::vec3 here(0.0f, 0.0f, 1.0f);
    LogCapture log;
    EXPECT_FALSE(player.isCollision(here, 1.0f));
    EXPECT_FALSE(player.lineOfSight(here, here, 10.0f));
    bool clear = true;
    EXPECT_EQ(player.lineOfSightExt(here, here, &clear, 10.0f), nullptr);
    EXPECT_FALSE(clear);
    EXPECT_EQ(log.count("[ERROR]"), 3);
    EXPECT_EQ(log.count("Player does not implement isCollision"), 1);
    EXPECT_EQ(log.count("Player does not implement lineOfSight"), 2);
    EXPECT_EQ(log.count("Player does not implement lineOfSightExt"), 1);
}
