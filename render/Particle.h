#pragma once

#include <glm/glm.hpp>

// One particle of a ParticleSystem. The record array is uploaded to the GPU
// as it is, so this layout is also the vertex layout: position at byte 0,
// velocity at 12, and (spawnDelay, lifetime, age) read as one vec3 at 24.
// The CPU only ages particles; the vertex shader works out where they are.
struct Particle {
    glm::vec3 position; // where it was spawned, in the system's own space
    glm::vec3 velocity; // start velocity
    float spawnDelay;
    float lifetime; // seconds
    float age;      // seconds since spawn; expired once age > lifetime

    bool expired() const { return age > lifetime; }
};

static_assert(sizeof(Particle) == 36, "Particle must match the 36-byte vertex layout");
