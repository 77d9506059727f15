// The inventory window's hit tests and its two click tables, worked on a
// stand-in bag. Nothing here draws, so the window is never set up.

#include <gtest/gtest.h>

#include "audio/GameSound.h"
#include "core/Util.h"
#include "hud/Inventory.h"
#include "support/LogCapture.h"
#include "test_HudDoubles.h"

namespace {

const int X = InventoryProbe::X;
const int Y = InventoryProbe::Y;
const int NOWHERE = -100;

const uint32_t HELM = itemCode(5, HEAD, NORMAL, 11);
const uint32_t OTHER_HELM = itemCode(6, HEAD, MAGIC, 12);
const uint32_t RING = itemCode(3, FINGER, RARE, 13);
const uint32_t OTHER_RING = itemCode(4, FINGER, NORMAL, 14);


class InventoryClicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        SCREEN_WIDTH = 1920;
        SCREEN_HEIGHT = 1080;
        window.setActive(true);
    }

    // The middle of a bag cell's drawn icon, or of a slot box.
    static glm::ivec2 at(int location)
    {
        static const std::map<int, glm::ivec2> slots = {
            {-1, {174, 425}}, {-2, {174, 265}}, {-3, {70, 227}}, {-4, {284, 226}},
            {-5, {66, 363}},  {-6, {287, 363}}, {-7, {174, 179}},
        };
        glm::ivec2 corner = location >= 0 ? glm::ivec2(409 + 45 * (location % 13), 34 + 45 * (location / 13))
                                          : slots.at(location);
        return glm::ivec2(X, Y) + corner + glm::ivec2(21);
    }
    void left(int location) { window.mouseClick(at(location).x, at(location).y, MOUSE_BUTTON_LEFT); }
    void right(int location) { window.mouseClick(at(location).x, at(location).y, MOUSE_BUTTON_OTHER); }
    void leftOutside() { window.mouseClick(X + 5, Y + 5, MOUSE_BUTTON_LEFT); }

    FakeInventory bag;
    InventoryProbe window{&bag};
    BusRecorder bus;
};

const int PICKUP = SOUND_INVENTORY_ITEM_PICKUP;
const int DROP = SOUND_INVENTORY_ITEM_DROP;

} // namespace

TEST_F(InventoryClicks, TheBagEndsStrictlyAtItsEdgesAndItsCornerCellsAreZeroTwelve117And129)
{
    EXPECT_EQ(window.getLocation(X + 409, Y + 100), NOWHERE);
    EXPECT_EQ(window.getLocation(X + 997, Y + 100), NOWHERE);
    EXPECT_EQ(window.getLocation(X + 500, Y + 34), NOWHERE);
    EXPECT_EQ(window.getLocation(X + 500, Y + 487), NOWHERE);
    EXPECT_EQ(window.getLocation(X + 410, Y + 35), 0);
    EXPECT_EQ(window.getLocation(X + 996, Y + 35), 12);
    EXPECT_EQ(window.getLocation(X + 410, Y + 486), 117);
    EXPECT_EQ(window.getLocation(X + 996, Y + 486), 129);
}

TEST_F(InventoryClicks, BagCellsAreHitOnA588By453GridSlightlyWiderThanTheDrawingPitch)
{
    // 45 pixels in is still column 0 (45 / 588 * 13 < 1); 46 is column 1.
    EXPECT_EQ(window.getLocation(X + 409 + 45, Y + 40), 0);
    EXPECT_EQ(window.getLocation(X + 409 + 46, Y + 40), 1);
    EXPECT_EQ(window.getLocation(X + 415, Y + 34 + 45), 0);
    EXPECT_EQ(window.getLocation(X + 415, Y + 34 + 46), 13);
    for (int cell : {0, 14, 64, 100, 129})
        EXPECT_EQ(window.getLocation(at(cell).x, at(cell).y), cell) << cell;
}

TEST_F(InventoryClicks, EachSlotBoxGivesItsLocationAndItsBorderGivesNone)
{
    for (int location = -1; location >= -7; --location) {
        EXPECT_EQ(window.getLocation(at(location).x, at(location).y), location);
        const glm::ivec2 corner = at(location) - glm::ivec2(21);
        EXPECT_EQ(window.getLocation(corner.x, corner.y + 5), NOWHERE) << location;
        EXPECT_EQ(window.getLocation(corner.x + 42, corner.y + 5), NOWHERE) << location;
        EXPECT_EQ(window.getLocation(corner.x + 41, corner.y + 41), location);
    }
}

TEST_F(InventoryClicks, AnItemFitsOnlyTheSlotOfItsOwnKind)
{
    EXPECT_TRUE(Inventory::canEquip(-5, RING));
    EXPECT_TRUE(Inventory::canEquip(-1, HELM));
    EXPECT_TRUE(Inventory::canEquip(-7, itemCode(2, FEET, EPIC, 3)));
    EXPECT_FALSE(Inventory::canEquip(-1, RING));
    EXPECT_FALSE(Inventory::canEquip(0, RING));
    EXPECT_FALSE(Inventory::canEquip(NOWHERE, RING));
}

TEST_F(InventoryClicks, TheFirstEmptyCellIsTheLowestFreeOneAndAFullBagHasNone)
{
    bag.put(RING, 0);
    bag.put(HELM, 2);
    bag.put(OTHER_HELM, -1);
    EXPECT_EQ(window.getEmptyInventoryLocation(), 1);
    FakeInventory full;
    full.fillBag(-1);
    InventoryProbe fullWindow(&full);
    EXPECT_EQ(fullWindow.getEmptyInventoryLocation(), NOWHERE);
}

TEST_F(InventoryClicks, WithEmptyHandsALeftClickPicksUpWhatLiesThereAndNothingElse)
{
    ItemInstance* ring = bag.put(RING, 7);
    ItemInstance* helm = bag.put(HELM, -1);
    left(8);
    leftOutside();
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_TRUE(bus.sounds().empty());

    left(7);
    EXPECT_EQ(window.heldItem, ring);
    EXPECT_EQ(window.heldOrigin, 7);
    EXPECT_EQ(ring->location, 7) << "a held item keeps its place until it is put down";
    leftOutside();
    left(-1);
    EXPECT_EQ(window.heldItem, helm);
    EXPECT_EQ(window.heldOrigin, -1);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP, DROP, PICKUP}));
}

TEST_F(InventoryClicks, HoldingAnItemTheBagTakesItBackMovesItOrSwapsWithTheItemThere)
{
    ItemInstance* ring = bag.put(RING, 7);
    ItemInstance* helm = bag.put(HELM, 9);

    left(7);
    left(7);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(ring->location, 7);

    left(7);
    left(8);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(ring->location, 8);

    left(8);
    left(9);
    EXPECT_EQ(ring->location, 9);
    EXPECT_EQ(window.heldItem, helm);
    EXPECT_EQ(helm->location, NOWHERE);
    EXPECT_EQ(window.heldOrigin, 8) << "the origin stays the first pick-up's";

    leftOutside();
    EXPECT_EQ(helm->location, 8);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP, DROP, PICKUP, DROP, PICKUP, DROP, DROP}));
}

TEST_F(InventoryClicks, HoldingAnItemASlotTakesItOnlyIfItFitsSwappingOutWhatWasEquipped)
{
    ItemInstance* ring = bag.put(RING, 3);
    ItemInstance* helm = bag.put(HELM, 4);
    ItemInstance* worn = bag.put(OTHER_HELM, -1);

    left(3);
    left(-1);
    EXPECT_EQ(window.heldItem, ring);
    EXPECT_EQ(ring->location, 3);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP})) << "a ring over the head slot is refused in silence";

    left(-5);
    EXPECT_EQ(ring->location, -5);
    EXPECT_EQ(window.heldItem, nullptr);

    left(4);
    left(-1);
    EXPECT_EQ(helm->location, -1);
    EXPECT_EQ(window.heldItem, worn);
    EXPECT_EQ(worn->location, NOWHERE);

    leftOutside();
    EXPECT_EQ(worn->location, 4) << "the old helm goes to where the new one came from";
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP, PICKUP, PICKUP, PICKUP, DROP}));
}

TEST_F(InventoryClicks, AnItemPickedFromItsSlotIsLiftedByTheFirstClickThereAndEquippedByTheSecond)
{
    ItemInstance* helm = bag.put(HELM, -1);
    left(-1);
    left(-1);
    EXPECT_EQ(window.heldItem, helm);
    EXPECT_EQ(helm->location, NOWHERE);
    left(-1);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(helm->location, -1);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP, PICKUP, PICKUP}));
}

TEST_F(InventoryClicks, AnItemSwappedOutOfABagCellIntoTheHandOfASlotItemGoesToTheFirstFreeCell)
{
    ItemInstance* helm = bag.put(HELM, -1);
    ItemInstance* ring = bag.put(RING, 5);
    bag.put(OTHER_RING, 0);

    left(-1);
    left(5);
    ASSERT_EQ(window.heldItem, ring);
    EXPECT_EQ(helm->location, 5);
    leftOutside();
    EXPECT_EQ(ring->location, 1) << "the helm's slot does not take a ring";
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(bag.getItemAtLocation(-1), nullptr);

    left(5);
    left(-1);
    left(-1);
    left(1);
    ASSERT_EQ(window.heldItem, ring);
    window.setActive(false);
    EXPECT_EQ(ring->location, 2) << "cell 1 is the helm's now; closing uses the next free one";
    EXPECT_EQ(window.heldItem, nullptr);
}

TEST_F(InventoryClicks, WithTheBagFullASwappedRingGoesToItsOwnSlotOrStaysInTheHand)
{
    FakeInventory full;
    full.fillBag(-1);
    InventoryProbe fullWindow(&full);
    fullWindow.setActive(true);
    ItemInstance* helm = full.put(HELM, -1);
    ItemInstance* ring = full.getItemAtLocation(20);
    const glm::ivec2 helmAt = at(-1);
    const glm::ivec2 ringAt = at(20);

    fullWindow.mouseClick(helmAt.x, helmAt.y, MOUSE_BUTTON_LEFT);
    fullWindow.mouseClick(ringAt.x, ringAt.y, MOUSE_BUTTON_LEFT);
    ASSERT_EQ(fullWindow.heldItem, ring);
    fullWindow.mouseClick(X + 5, Y + 5, MOUSE_BUTTON_LEFT);
    EXPECT_EQ(ring->location, -5);
    EXPECT_EQ(helm->location, 20);

    // Both a ring and the helm's old slot taken: nowhere fits, nothing is lost.
    ItemInstance* otherHelm = full.put(OTHER_HELM, -1);
    fullWindow.mouseClick(helmAt.x, helmAt.y, MOUSE_BUTTON_LEFT);
    const glm::ivec2 cell = at(21);
    fullWindow.mouseClick(cell.x, cell.y, MOUSE_BUTTON_LEFT);
    ItemInstance* held = fullWindow.heldItem;
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(otherHelm->location, 21);
    fullWindow.mouseClick(X + 5, Y + 5, MOUSE_BUTTON_LEFT);
    fullWindow.setActive(false);
    EXPECT_EQ(fullWindow.heldItem, held);
    EXPECT_EQ(held->location, NOWHERE);
    EXPECT_EQ(full.getItemAtLocation(-1), nullptr);
}

TEST_F(InventoryClicks, ClosingTheWindowPutsAHeldItemBackWhereItCameFrom)
{
    ItemInstance* helm = bag.put(HELM, -1);
    left(-1);
    left(-1);
    ASSERT_EQ(helm->location, NOWHERE);
    window.setActive(false);
    EXPECT_EQ(helm->location, -1);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_FALSE(window.getActive());
}

TEST_F(InventoryClicks, ARightClickUnequipsIntoTheFirstFreeCellOrSaysTheBagIsFull)
{
    FakeInventory nearlyFull;
    nearlyFull.fillBag(129);
    InventoryProbe crowded(&nearlyFull);
    crowded.setActive(true);
    ItemInstance* helm = nearlyFull.put(HELM, -1);
    const glm::ivec2 slot = at(-1);

    crowded.mouseClick(slot.x, slot.y, MOUSE_BUTTON_OTHER);
    EXPECT_EQ(helm->location, 129);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{DROP}));

    helm->location = -1;
    nearlyFull.put(RING, 129);
    LogCapture log;
    crowded.mouseClick(slot.x, slot.y, MOUSE_BUTTON_OTHER);
    EXPECT_TRUE(log.contains("[INFO]"));
    EXPECT_EQ(log.count("Inventory is full"), 1);
    EXPECT_EQ(helm->location, -1);
    EXPECT_EQ(bus.sounds().size(), 1u);
}

TEST_F(InventoryClicks, ARightClickOnABagItemEquipsItSwappingWithWhatWasWorn)
{
    ItemInstance* ring = bag.put(RING, 10);
    ItemInstance* otherRing = bag.put(OTHER_RING, 11);
    right(10);
    EXPECT_EQ(ring->location, -5);
    right(11);
    EXPECT_EQ(otherRing->location, -5);
    EXPECT_EQ(ring->location, 11);
    right(12);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{PICKUP, PICKUP}));
}

TEST_F(InventoryClicks, RightClicksAreIgnoredWhileAnItemIsHeld)
{
    ItemInstance* ring = bag.put(RING, 10);
    ItemInstance* helm = bag.put(HELM, 11);
    left(10);
    right(11);
    EXPECT_EQ(helm->location, 11);
    EXPECT_EQ(window.heldItem, ring);
}

TEST_F(InventoryClicks, OtherButtonsAndAHiddenWindowChangeNothing)
{
    ItemInstance* ring = bag.put(RING, 10);
    LogCapture log;
    window.mouseClick(at(10).x, at(10).y, static_cast<mouse_button>(2));
    EXPECT_EQ(log.count("Mouse clicks on that button is not implemented"), 1);

    window.setActive(false);
    left(10);
    right(10);
    window.update(0.1f, at(10).x, at(10).y);
    EXPECT_EQ(window.heldItem, nullptr);
    EXPECT_EQ(window.hoveredItem, nullptr);
    EXPECT_EQ(ring->location, 10);
    EXPECT_TRUE(bus.sounds().empty());
}

TEST_F(InventoryClicks, TheHoveredItemFollowsThePointerOnlyWithEmptyHands)
{
    ItemInstance* ring = bag.put(RING, 10);
    ItemInstance* helm = bag.put(HELM, -1);
    window.update(0.016f, at(10).x, at(10).y);
    EXPECT_EQ(window.hoveredItem, ring);
    window.update(0.016f, X + 5, Y + 5);
    EXPECT_EQ(window.hoveredItem, nullptr);

    window.update(0.016f, at(-1).x, at(-1).y);
    left(-1);
    left(-1);
    window.update(0.016f, at(10).x, at(10).y);
    EXPECT_EQ(window.hoveredItem, helm) << "not refreshed while holding";
}
