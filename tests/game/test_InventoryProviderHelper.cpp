#include <gtest/gtest.h>

#include <set>

#include "game/InventoryProviderHelper.h"
#include "game/Item.h"

TEST(InventoryProviderHelper, EachEquipmentSlotHasItsOwnLocationBelowTheBag)
{
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(HEAD), -1);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(ARMOR), -2);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(WEAPON), -3);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(OFFHAND), -4);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(FINGER), -5);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(NECK), -6);
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(FEET), -7);

    // An item's equipment location follows from the slot its code rebuilds to.
    EXPECT_EQ(InventoryProviderHelper::slotToLocation(Item(1u << 16 | FEET << 8 | 4).slot), -7);
}

TEST(InventoryProviderHelper, AnythingButTheSevenSlotsHasNoLocation)
{
    for (int other : {static_cast<int>(ANY_SLOT), -1, 8, 100, -100}) {
        EXPECT_EQ(InventoryProviderHelper::slotToLocation(other), -100) << other;
        EXPECT_EQ(InventoryProviderHelper::slotToLocation(other), InventoryProviderHelper::NO_LOCATION);
    }
}
