#pragma once

#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "game/AnimationCompleteListener.h"
#include "game/Collidable.h"

// A world for units to move and look in, answering from two rules the test
// chooses, and remembering what it was asked.
class FakeWorld : public Collidable {
public:
    struct SightQuery {
        glm::vec3 from;
        glm::vec3 to;
        float maxDistance;
    };

    // Where the walls are: by default nowhere.
    std::function<bool(const glm::vec3& position, float radius)> solid = [](const glm::vec3&, float) {
        return false;
    };
    // What can be seen: by default everything.
    std::function<bool(const glm::vec3& from, const glm::vec3& to)> visible = [](const glm::vec3&,
                                                                                 const glm::vec3&) { return true; };

    std::vector<float> collisionRadii;
    std::vector<SightQuery> sightQueries;

    bool isCollision(const glm::vec3& position, float radius) override
    {
        collisionRadii.push_back(radius);
        return solid(position, radius);
    }
    void* isCollisionExt(const glm::vec3&, float) override { return nullptr; }
    bool lineOfSight(const glm::vec3& from, const glm::vec3& to, float maxDistance) override
    {
        sightQueries.push_back({from, to, maxDistance});
        return visible(from, to);
    }
    void* lineOfSightExt(const glm::vec3&, const glm::vec3&, bool* clear, float) override
    {
        *clear = true;
        return nullptr;
    }
};

// Counts swing notices and keeps the user data of each.
class SwingWatcher : public AnimationCompleteListener {
public:
    std::vector<void*> notices;
    void animationComplete(void* userData) override { notices.push_back(userData); }
};
