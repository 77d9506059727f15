#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "game/Collidable.h"
#include "game/InventoryProvider.h"
#include "game/Item.h"
#include "game/Unit.h"
#include "game/ValueProvider.h"

class ItemInstance;

// The hero. The game object steers it by writing its speed, direction and
// target; skills give it buffs and the spin; it falls into every level but
// the town. Besides the unit's numbers it has power (spent by attacks and
// skills), experience with the level that follows from it, and a bag of
// 130 cells plus seven equipment slots.
//
// Three faces: the HUD bars read health, power and experience as a
// ValueProvider; the inventory window and the HUD read and move items as an
// InventoryProvider; projectiles test hits on its footprint as a Collidable
// (the only question of the four it answers).
class Player : public Unit, public ValueProvider, public InventoryProvider, public Collidable {
public:
    static constexpr int BAG_SIZE = 130;

    Player(float x, float y);
    ~Player() override;

    // From the experience, 1 to 15; the unit's own level field stays 1.
    int getLevel() const override;
    // Includes the temporary bonus, truncated.
    int getStrength() const override;

    float getValue(int id) override;
    float getMaxValue(int id) override;
    float getAbsoluteValue(int id) override;

    bool isCollision(const glm::vec3& position, float radius) override;
    // The player when the point lies strictly inside its footprint; 'size'
    // plays no part.
    void* isCollisionExt(const glm::vec3& position, float size) override;
    bool lineOfSight(const glm::vec3& from, const glm::vec3& to, float maxDistance) override;
    void* lineOfSightExt(const glm::vec3& from, const glm::vec3& to, bool* clear, float maxDistance) override;

    int getNumItems() override;
    ItemInstance* getItem(int index) override;
    ItemInstance* getItemAtLocation(int location) override;
    bool addItem(unsigned int itemCode) override;
    // Deletes the instance; refuses (and deletes nothing) for one not owned.
    bool removeItem(ItemInstance* item) override;
    int getEquippedStrength() override;
    int getEquippedArmor() override;
    int getEquippedHealth() override;
    int getEquippedHealthRegen() override;
    int getEquippedPower() override;
    int getEquippedPowerRegen() override;
    int getBaseStrength() override;
    int getBaseArmor() override;
    int getBaseHealth() override;
    int getBaseHealthRegen() override;
    int getBasePower() override;
    int getBasePowerRegen() override;

    // Adds experience; the new level when it changed, else -1.
    int addExp(int n);
    void setMovementDirection(glm::vec3 d);
    // Walk on along the current direction and halt about 'd' units ahead.
    void setExtraWalkInDir(float d);
    void invalidateTargetPosition();
    // One second of spinning.
    void spin();
    // True at most once per 0.15 s of a spin: each true is one spin hit.
    bool isSpinning();
    // Extra strength for some seconds; the hero is drawn larger meanwhile.
    void setTemporaryExtraStrength(float amount, float seconds);
    void setTemporaryPowerRegenRate(float rate, float seconds);
    void resetPower();
    // Stops everything that moves the hero or its arms.
    void die();
    // Buffs, regeneration, falling, spin or heading, walking and collision.
    void update(float dt, Collidable* level);

    float power;
    float maxPower;
    int exp;
    // Power per second; every update rewrites it.
    float powerRegenRate;
    float tempPowerRegenRate;
    // Seconds left of each buff; -1 when it never ran.
    float tempPowerRegenTimer;
    float tempStrengthTimer;
    float tempExtraStrength;
    // Movement suppressed (Space held).
    bool blocked;
    // Halt short of targetPosition.
    bool hasTarget;
    glm::vec3 movementDirection;
    // Units per second.
    float speed;
    glm::vec3 targetPosition;
    // Dropping into the level from above.
    bool falling;
    // Seconds left of the spin; seconds since its last hit.
    float spinTimer;
    float spinTick;
    // Owned, in the order they were added.
    std::vector<ItemInstance*> items;

private:
    // Sum of one stat over the items in the seven equipment slots.
    int equipmentSum(item_stat stat);
    // Lowest bag cell no item occupies; NO_LOCATION when all are taken.
    int lowestFreeBagLocation() const;
    void updateBuffs(float dt);
    void regenerate(float dt);
    // False when the frame is a falling one.
    bool fall(float dt);
    void spinOrTurn(float dt);
    // Walks in steps short enough that no wall is stepped over.
    void walk(float dt, Collidable* level);
    // One step of the walk; false when it was undone (a wall, the target, or
    // holding position), as every further step of the frame would be too.
    bool walkStep(float dt, Collidable* level);
};
