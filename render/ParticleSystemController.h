#pragma once

#include <glm/glm.hpp>

// Steers where and how a continuously emitting ParticleSystem spawns, in
// place of the position and velocity ranges of its definition file. The
// system does not own its controller.
class ParticleSystemController {
public:
    virtual ~ParticleSystemController() = default;

    // Fills in the spawn position of the next particle.
    virtual void getSpawnPosition(glm::vec3* position) = 0;
    // Fills in a velocity that is subtracted from the emission in x and y.
    virtual void getVelocityOffset(glm::vec3* offset) = 0;
    // May change the flow (spawns per second) used for this update.
    virtual void adjustFlow(float* flow) = 0;
    // Fills in the emission direction in radians; particles leave opposite to it.
    virtual void getEmissionAngle(float* angle) = 0;
};
