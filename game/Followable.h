#pragma once

#include <glm/glm.hpp>

// Anything with a place in the world that others track: the camera follows
// one, lit drawables take one as their light, combat numbers float above one.
class Followable {
public:
    virtual glm::vec3 getPosition() = 0;
    virtual ~Followable() = default;
};
