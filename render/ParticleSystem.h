#pragma once

#include <GL/glew.h>

#include <string>

#include <glm/glm.hpp>

#include "render/Particle.h"

class MatrixOwner;
class ParticleSystemController;
class ShaderProgram;
class TiXmlElement;
class TiXmlNode;

// A point-sprite emitter described by an XML file in the data package: the
// teleporters of a level emit continuously, the death and regeneration
// effects of the game make one burst on request and then switch themselves
// off. The CPU decides only when a particle is born, where, how fast and for
// how long, and ages it; the vertex shader places, colours and sizes it.
//
// The definition file may nest its elements anywhere and in any order; the
// reader is forgiving and reports bad or missing values on the log instead
// of failing, so only an unreadable or malformed file stops the load.
class ParticleSystem {
public:
    // Stores the path and whether it emits from the start; no file or GL work.
    ParticleSystem(std::string xmlPath, bool active);
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Loads the definition, then the program, texture, records and buffers.
    // False only when the definition cannot be loaded or the records cannot
    // be allocated.
    bool setup();
    // One simulation step of dt seconds: ages records, spawns into expired ones.
    void update(float dt);
    void render(MatrixOwner* camera);
    // Turns every expired record into a burst at 'position' on the next
    // update; the system switches itself off once the burst has died out.
    void activateOnce(glm::vec3 position);
    void setParticleSystemController(ParticleSystemController* controller);

protected:
    // Reads xmlPath from the package and fills the definition fields.
    bool loadFromXml();
    // Depth-first walk that hands each known element to its reader.
    void populate(TiXmlNode* node);
    void extractGeneralInformation(TiXmlElement* element);
    void extractColorInformation(TiXmlElement* element);
    void extractSizeInformation(TiXmlElement* element);
    void extractGravityInformation(TiXmlElement* element);
    void extractLifeTimeInformation(TiXmlElement* element);
    void extractSpawnDelayInformation(TiXmlElement* element);
    void extractStaticVelocityInformation(TiXmlElement* element);
    void extractStaticPositionInformation(TiXmlElement* element);

    GLuint vbo = 0;
    GLuint vao = 0;
    std::string xmlPath;
    ParticleSystemController* controller = nullptr;
    Particle* particles = nullptr;
    glm::vec3 gravity = glm::vec3(0.0f); // picked once in setup, shared by every particle
    glm::vec3 gravityMin = glm::vec3(0.0f);
    glm::vec3 gravityMax = glm::vec3(0.0f);
    glm::vec3 startColor = glm::vec3(0.0f);
    glm::vec3 endColor = glm::vec3(0.0f);
    glm::vec3 velocityMin = glm::vec3(0.0f);
    glm::vec3 velocityMax = glm::vec3(0.0f);
    glm::vec3 positionMin = glm::vec3(0.0f);
    glm::vec3 positionMax = glm::vec3(0.0f);
    float speedFactor = 0.0f; // only used with a controller
    bool onceRequested = false;
    glm::vec3 oncePosition = glm::vec3(0.0f);
    float flow = 0.0f; // continuous spawns per second
    int maxParticles = 0;
    float lifetimeMin = 0.0f;
    float lifetimeMax = 0.0f;
    float spawnDelayMin = 0.0f;
    float spawnDelayMax = 0.0f;
    bool active;
    float startPointSize = 0.0f;
    float endPointSize = 0.0f;
    bool onceRunning = false;
    int pendingSpawns = 0; // spawn intervals elapsed that found no expired record yet
    float spawnTimer = 0.0f;

public:
    // World translation of the whole system; the owner writes it directly.
    glm::vec3 position = glm::vec3(0.0f);

protected:
    GLuint textureId = 0;
    ShaderProgram* program = nullptr;

private:
    // Respawns one expired record, as a burst or from the flow.
    void spawnBurstParticle(Particle& particle) const;
    void spawnFlowParticle(Particle& particle) const;
    void spawnControlledParticle(Particle& particle) const;
    void pickLifetimeAndDelay(Particle& particle) const;
    void uploadRecords() const;
};
