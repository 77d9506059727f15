#pragma once

// The numbering of item locations that the player and the inventory window
// share: bag cells from 0, equipment slots at -(slot + 1), NO_LOCATION for
// no place at all.
class InventoryProviderHelper {
public:
    static constexpr int NO_LOCATION = -100;

    InventoryProviderHelper();
    ~InventoryProviderHelper();

    // The equipment location of an item_slot 0..6; NO_LOCATION for any other
    // value, ANY_SLOT included.
    static int slotToLocation(int slot);
};
