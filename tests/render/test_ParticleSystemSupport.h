#pragma once

// Shared by the particle system tests: a view into the system's state, a
// small package with the shaders and sprite it draws with, and the log's
// error lines without their timestamps.

#include <map>
#include <string>
#include <vector>

#include "render/ParticleSystem.h"
#include "support/LogCapture.h"

// Exposes the definition and simulation state the tests check.
class InspectableParticleSystem : public ParticleSystem {
public:
    using ParticleSystem::ParticleSystem;

    using ParticleSystem::active;
    using ParticleSystem::endColor;
    using ParticleSystem::endPointSize;
    using ParticleSystem::flow;
    using ParticleSystem::gravity;
    using ParticleSystem::gravityMax;
    using ParticleSystem::gravityMin;
    using ParticleSystem::lifetimeMax;
    using ParticleSystem::lifetimeMin;
    using ParticleSystem::loadFromXml;
    using ParticleSystem::maxParticles;
    using ParticleSystem::onceRequested;
    using ParticleSystem::onceRunning;
    using ParticleSystem::particles;
    using ParticleSystem::pendingSpawns;
    using ParticleSystem::positionMax;
    using ParticleSystem::positionMin;
    using ParticleSystem::spawnDelayMax;
    using ParticleSystem::spawnDelayMin;
    using ParticleSystem::spawnTimer;
    using ParticleSystem::speedFactor;
    using ParticleSystem::startColor;
    using ParticleSystem::startPointSize;
    using ParticleSystem::velocityMax;
    using ParticleSystem::velocityMin;

    int liveCount() const;
};

// The path every test system reads its definition from.
extern const char* const TEST_DEFINITION;

// Package entries for one definition file plus the shaders and the sprite
// setup() asks for. The shaders draw a record as a point at
// position + velocity * age + gravity * age^2 / 2, coloured and sized from
// start to end over its life, and hide records outside spawnDelay..lifetime.
std::map<std::string, std::string> particlePackage(const std::string& definition);

// A fixture file of tests/fixtures/particles.
std::string particleFixture(const std::string& name);

// The messages of the captured "[ERROR]" lines, in order, timestamps removed.
std::vector<std::string> errorMessages(LogCapture& log);
