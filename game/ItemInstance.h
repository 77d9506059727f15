#pragma once

#include <cstdint>

// An item the player owns: its item code and where it lies.
//
// Locations 0..129 are bag cells, -1..-7 the equipment slots of item_slot
// 0..6 (see InventoryProviderHelper::slotToLocation), -100 no place. The
// player creates and deletes instances; the inventory window moves an item
// by rewriting its location.
class ItemInstance {
public:
    ItemInstance(uint32_t itemCode, int location);
    ~ItemInstance();

    uint32_t itemCode;
    int location;
};
