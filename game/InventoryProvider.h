#pragma once

class ItemInstance;

// The player's bag and equipment as the inventory window and the HUD see it:
// items by index or location, adding and removing, and the stats that the
// equipment adds to the hero's own. Never deleted through this face.
class InventoryProvider {
public:
    virtual int getNumItems() = 0;
    virtual ItemInstance* getItem(int index) = 0;
    // The item at a bag cell (0 to 129) or an equipment slot (-1 to -7), or null.
    virtual ItemInstance* getItemAtLocation(int location) = 0;
    // Puts a new item into the first free bag cell; false when the bag is full.
    virtual bool addItem(unsigned int itemCode) = 0;
    virtual bool removeItem(ItemInstance* item) = 0;

    virtual int getEquippedStrength() = 0;
    virtual int getEquippedArmor() = 0;
    virtual int getEquippedHealth() = 0;
    virtual int getEquippedHealthRegen() = 0;
    virtual int getEquippedPower() = 0;
    virtual int getEquippedPowerRegen() = 0;

    virtual int getBaseStrength() = 0;
    virtual int getBaseArmor() = 0;
    virtual int getBaseHealth() = 0;
    virtual int getBaseHealthRegen() = 0;
    virtual int getBasePower() = 0;
    virtual int getBasePowerRegen() = 0;

protected:
    ~InventoryProvider() = default;
};
