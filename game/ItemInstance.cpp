#include "game/ItemInstance.h"

ItemInstance::ItemInstance(uint32_t itemCode, int location) : itemCode(itemCode), location(location)
{
}

ItemInstance::~ItemInstance() = default;
