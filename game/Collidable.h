#pragma once

#include <glm/glm.hpp>

// Something units move, shoot and look against: the level's walls, the
// player's footprint, or the game's enemies. The pointers returned identify
// what was hit (a wall box, the player, an enemy); callers compare them with
// objects they know or pass them on. Never deleted through this face.
class Collidable {
public:
    // Whether the square of half-side 'radius' around 'position' touches
    // something solid.
    virtual bool isCollision(const glm::vec3& position, float radius) = 0;
    // The object hit at 'position' (grown by 'size'), or null.
    virtual void* isCollisionExt(const glm::vec3& position, float size) = 0;
    // Whether 'to' can be seen from 'from' within 'maxDistance'.
    virtual bool lineOfSight(const glm::vec3& from, const glm::vec3& to, float maxDistance) = 0;
    // The object blocking the segment, or null; '*clear' is always written.
    virtual void* lineOfSightExt(const glm::vec3& from, const glm::vec3& to, bool* clear, float maxDistance) = 0;

protected:
    ~Collidable() = default;
};
