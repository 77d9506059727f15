#pragma once

#include <string>

#include <glm/glm.hpp>

#include "game/Followable.h"

class AnimationCompleteListener;
class Collidable;
class MatrixOwner;
class TexturedCuboid;

// Every creature in the world: the hero, enemies and their minions, bosses
// and the townsfolk. A unit has a place, a body size, the four combat numbers
// the damage rule reads (health, armor, strength, level), health that comes
// back over time, and a body of three boxes (trunk and two arms) posed every
// frame from its heading, with a one-shot melee swing whose end is the moment
// the hit lands.
//
// State lives in public fields because the game object and the bosses steer
// units by writing them directly. Construction does no GL work: the boxes are
// made by createBoxes() and uploaded by setup(), so rules can run without a
// GL context.
class Unit : public Followable {
public:
    Unit(float x, float y, float z, float width, float depth, float height, int level, int armor, int strength,
         int health, int healthRegen);
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    glm::vec3 getPosition() override;
    ~Unit() override;
    virtual int getLevel() const;
    // Takes health away; true when this killed the unit (0.1 or less left).
    virtual bool addDamage(float amount);
    virtual int getStrength() const;

    // Textures of the trunk and of both arms; set before setup().
    void setTexturePaths(std::string body, std::string arm);
    // Makes the three boxes (no GL work) unless they exist.
    void createBoxes();
    // Makes the boxes if needed and uploads them; false when a box fails.
    bool setup();
    // Hover, regeneration, body and arm pose, swing; subclasses call it last.
    void update(float dt);
    void render(MatrixOwner* camera, Followable* light);
    // Starts a swing, or keeps the running one going with a new listener.
    void performMeleeAttackAnimation(AnimationCompleteListener* listener, void* userData);
    // Draws all three boxes this much larger (1.0 is normal size).
    void setScale(float s);
    void setTemporaryHealthRegenRate(float rate, float seconds);
    void setStats(int level, int armor, int strength, int health, int healthRegen);
    // The numbers a unit takes when it comes back at level L.
    void resetAtNewLevel(int L);
    void resetHealth();

    // A point that can be seen from the unit, radius/3 to radius away from
    // the previous candidate, at z 1.0. Rejected candidates are the start of
    // the next try, so the search walks outwards. After MAX_SIGHT_TRIES
    // failures it gives up and answers the unit's own x and y at z 1.0.
    glm::vec3 getRandomPosWithLOS(Collidable* level, float radius);
    // Heading about z (0 facing +x, counter-clockwise, 0 to 2pi) of a
    // direction; 'previous' for a direction of length 0, which has none.
    static float headingOf(const glm::vec3& direction, float previous);

    static constexpr int MAX_SIGHT_TRIES = 100;

    glm::vec3 position;
    // Radians; only z, the heading, is written by the game.
    glm::vec3 rotation;
    float width;
    float depth;
    float height;
    float maxHealth;
    float health;
    // Health per second; every update rewrites it.
    float healthRegen;
    float tempRegenRate;
    // Seconds the temporary rate has left.
    float tempRegenTime;
    int armor;
    int strength;
    int level;
    bool hovering;
    float hoverPhase;
    // Centre height of the bob.
    float hoverBaseZ;
    // Progress of the swing, 0 to 2pi.
    float attackAngle;
    bool attacking;
    TexturedCuboid* body;
    TexturedCuboid* armA;
    TexturedCuboid* armB;
    std::string bodyTexturePath;
    std::string armTexturePath;
    AnimationCompleteListener* attackListener;
    void* attackUserData;
    // Pitch of each arm in radians; 0 hangs down.
    float armAPose;
    float armBSwing;

private:
    void poseBoxes();
    void advanceSwing(float dt);
};
