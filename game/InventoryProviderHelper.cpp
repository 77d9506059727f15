#include "game/InventoryProviderHelper.h"

#include "game/Item.h"

InventoryProviderHelper::InventoryProviderHelper() = default;

InventoryProviderHelper::~InventoryProviderHelper() = default;

int InventoryProviderHelper::slotToLocation(int slot)
{
    if (slot < HEAD || slot > FEET)
        return NO_LOCATION;
    return -(slot + 1);
}
