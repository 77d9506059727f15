#include "render/ParticleSystem.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <tinyxml.h>

#include "core/AttributeValidator.h"
#include "core/Log.h"
#include "core/MathUtil.h"
#include "core/PackageManager.h"
#include "core/XmlText.h"
#include "render/MatrixOwner.h"
#include "render/ParticleSystemController.h"
#include "render/ProgramManager.h"
#include "render/ShaderProgram.h"
#include "render/TextureManager.h"

namespace {

const char* const VERTEX_SHADER = "shaders/particlesystem.vs";
const char* const FRAGMENT_SHADER = "shaders/particlesystem.fs";
const char* const PARTICLE_TEXTURE = "textures/particle.bmp";

// Far more records than any effect of the game uses (they use a few hundred).
const int MAX_PARTICLES = 65536;

// Every record starts expired (age beyond lifetime), so the first spawns or
// the first burst can use any of them.
const Particle EXPIRED_PARTICLE = {glm::vec3(0.0f), glm::vec3(0.0f), 1.0f, 1.0f, 2.0f};

// A controlled spawn leaves within 12 degrees either side of the direction
// opposite to the controller's emission angle.
const float EMISSION_SPREAD_BASE = -0.20943952f; // -12 degrees
const float EMISSION_SPREAD_RANGE = 0.41887903f; // 24 degrees

// Pick from a range of the definition: the width is |max - min|, so a range
// written backwards still picks from min upwards.
float pick(float min, float max)
{
    return MathUtil::grf(min, std::fabs(max - min));
}

glm::vec3 pick(const glm::vec3& min, const glm::vec3& max)
{
    const float x = pick(min.x, max.x);
    const float y = pick(min.y, max.y);
    const float z = pick(min.z, max.z);
    return glm::vec3(x, y, z);
}

// A required real attribute of a definition element and what a value that
// does not parse turns into.
struct RealAttribute {
    const char* name;
    float* field;
    float fallback;
    const char* fallbackText; // the fallback as the parse-error line writes it
};

void reportMissing(const AttributeValidator& validator, const char* tag)
{
    for (int i = 0; i < validator.getNumMissingAttributes(); ++i)
        log_error("Attribute %s not specified for tag <%s>", validator.getMissingAttribute(i).c_str(), tag);
}

const RealAttribute* findAttribute(const char* name, const RealAttribute* attributes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (std::strcmp(name, attributes[i].name) == 0)
            return &attributes[i];
    }
    return nullptr;
}

// Reads an element whose attributes are all required reals. A missing one
// leaves its field as it was; an unparsable one stores the fallback.
void readRealAttributes(const TiXmlElement* element, const char* tag, const RealAttribute* attributes,
                        size_t count)
{
    AttributeValidator validator;
    for (size_t i = 0; i < count; ++i)
        validator.add(attributes[i].name);

    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        const RealAttribute* known = findAttribute(attribute->Name(), attributes, count);
        if (known == nullptr)
            continue;
        double value = 0.0;
        if (attribute->QueryDoubleValue(&value) == TIXML_SUCCESS) {
            *known->field = static_cast<float>(value);
        } else {
            log_error("Parse error for attribute '%s', defaulting to %s", known->name, known->fallbackText);
            *known->field = known->fallback;
        }
        validator.check(known->name);
    }
    reportMissing(validator, tag);
}

// The six attributes min_x .. max_z shared by gravity, velocity and position.
void readRangeAttributes(const TiXmlElement* element, const char* tag, glm::vec3* min, glm::vec3* max)
{
    const RealAttribute attributes[] = {
        {"min_x", &min->x, 0.0f, "0.0"}, {"min_y", &min->y, 0.0f, "0.0"}, {"min_z", &min->z, 0.0f, "0.0"},
        {"max_x", &max->x, 0.0f, "0.0"}, {"max_y", &max->y, 0.0f, "0.0"}, {"max_z", &max->z, 0.0f, "0.0"},
    };
    readRealAttributes(element, tag, attributes, std::size(attributes));
}

// An optional integer attribute of <general>, stored as a float.
void readGeneralNumber(const TiXmlAttribute* attribute, float* field, int fallback)
{
    int value = 0;
    if (attribute->QueryIntValue(&value) == TIXML_SUCCESS) {
        *field = static_cast<float>(value);
    } else {
        log_error("Parse error for general attribute '%s', defaulting to %d", attribute->Name(), fallback);
        *field = static_cast<float>(fallback);
    }
}

} // namespace

ParticleSystem::ParticleSystem(std::string xmlPath, bool active) : xmlPath(std::move(xmlPath)), active(active)
{
}

ParticleSystem::~ParticleSystem()
{
    // Give back only what setup took: freeing a reference this system never
    // held would take it from another system sharing the same program.
    if (program != nullptr)
        ProgramManager::getInstance()->freeProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    if (textureId != 0)
        TextureManager::getInstance()->freeTexture(PARTICLE_TEXTURE);
    if (vao != 0)
        glDeleteVertexArrays(1, &vao);
    if (vbo != 0)
        glDeleteBuffers(1, &vbo);
    std::free(particles);
}

bool ParticleSystem::loadFromXml()
{
    unsigned size = 0;
    char* data = static_cast<char*>(PackageManager::getInstance()->load("data.mv2", xmlPath, &size));
    if (data == nullptr) {
        log_error("Load problem with %s", xmlPath.c_str());
        return false;
    }
    // Parse's result cannot tell success from failure: it is null also for a
    // sound document that ends right after its root element. The document's
    // error flag is set for empty and malformed text only.
    TiXmlDocument document;
    const bool parsed = XmlText::parse(&document, data, size);
    std::free(data);
    if (!parsed) {
        log_error("XML parse error for %s!", xmlPath.c_str());
        return false;
    }
    populate(&document);
    return true;
}

void ParticleSystem::populate(TiXmlNode* node)
{
    if (node->Type() == TiXmlNode::TINYXML_ELEMENT) {
        TiXmlElement* element = node->ToElement();
        const std::string& name = node->ValueStr();
        if (name == "general")
            extractGeneralInformation(element);
        else if (name == "color")
            extractColorInformation(element);
        else if (name == "size")
            extractSizeInformation(element);
        else if (name == "gravity")
            extractGravityInformation(element);
        else if (name == "lifetime")
            extractLifeTimeInformation(element);
        else if (name == "spawndelay")
            extractSpawnDelayInformation(element);
        else if (name == "staticvelocity")
            extractStaticVelocityInformation(element);
        else if (name == "staticposition")
            extractStaticPositionInformation(element);
    } else if (node->Type() == TiXmlNode::TINYXML_UNKNOWN) {
        log_error("Unknown data in xml, %s", node->Value());
    }
    for (TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling())
        populate(child);
}

void ParticleSystem::extractGeneralInformation(TiXmlElement* element)
{
    // flow and speed_factor are optional: only max_particles is reported missing.
    AttributeValidator validator;
    validator.add("max_particles");
    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        const std::string name = attribute->Name();
        if (name == "max_particles") {
            if (attribute->QueryIntValue(&maxParticles) != TIXML_SUCCESS) {
                log_error("Parse error for attribute 'max_particles', defaulting to 100");
                maxParticles = 100;
            }
            validator.check(name);
        } else if (name == "flow") {
            readGeneralNumber(attribute, &flow, 10);
        } else if (name == "speed_factor") {
            readGeneralNumber(attribute, &speedFactor, 1);
        }
    }
    reportMissing(validator, "general");
}

void ParticleSystem::extractColorInformation(TiXmlElement* element)
{
    const RealAttribute attributes[] = {
        {"start_r", &startColor.r, 1.0f, "1.0"}, {"start_g", &startColor.g, 1.0f, "1.0"},
        {"start_b", &startColor.b, 1.0f, "1.0"}, {"end_r", &endColor.r, 1.0f, "1.0"},
        {"end_g", &endColor.g, 1.0f, "1.0"},     {"end_b", &endColor.b, 1.0f, "1.0"},
    };
    readRealAttributes(element, "color", attributes, std::size(attributes));
}

void ParticleSystem::extractSizeInformation(TiXmlElement* element)
{
    const RealAttribute attributes[] = {
        {"start", &startPointSize, 10.0f, "10.0"},
        {"end", &endPointSize, 0.0f, "0.0"},
    };
    readRealAttributes(element, "size", attributes, std::size(attributes));
}

void ParticleSystem::extractGravityInformation(TiXmlElement* element)
{
    readRangeAttributes(element, "gravity", &gravityMin, &gravityMax);
}

void ParticleSystem::extractLifeTimeInformation(TiXmlElement* element)
{
    const RealAttribute attributes[] = {
        {"min", &lifetimeMin, 0.0f, "0.0"},
        {"max", &lifetimeMax, 1.0f, "1.0"},
    };
    readRealAttributes(element, "lifetime", attributes, std::size(attributes));
}

void ParticleSystem::extractSpawnDelayInformation(TiXmlElement* element)
{
    const RealAttribute attributes[] = {
        {"min", &spawnDelayMin, 0.0f, "0.0"},
        {"max", &spawnDelayMax, 0.0f, "0.0"},
    };
    readRealAttributes(element, "spawndelay", attributes, std::size(attributes));
}

void ParticleSystem::extractStaticVelocityInformation(TiXmlElement* element)
{
    readRangeAttributes(element, "staticvelocity", &velocityMin, &velocityMax);
}

void ParticleSystem::extractStaticPositionInformation(TiXmlElement* element)
{
    readRangeAttributes(element, "staticposition", &positionMin, &positionMax);
}

bool ParticleSystem::setup()
{
    if (!loadFromXml())
        return false;
    program = ProgramManager::getInstance()->loadProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    textureId = TextureManager::getInstance()->loadTexture(PARTICLE_TEXTURE, true);

    // A system without records is valid (nothing is drawn); a negative count
    // or one beyond MAX_PARTICLES comes from a damaged definition and is not
    // allocated (nor uploaded and drawn every frame).
    if (maxParticles > 0 && maxParticles <= MAX_PARTICLES)
        particles = static_cast<Particle*>(std::malloc(static_cast<size_t>(maxParticles) * sizeof(Particle)));
    if (maxParticles < 0 || (maxParticles > 0 && particles == nullptr)) {
        log_error("Failed to allocate memory for particles (%d)", maxParticles);
        return false;
    }
    for (int i = 0; i < maxParticles; ++i)
        particles[i] = EXPIRED_PARTICLE;

    gravity = pick(gravityMin, gravityMax);

    glGenBuffers(1, &vbo);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    uploadRecords();
    const GLsizei stride = sizeof(Particle);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Particle, position)));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Particle, velocity)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(Particle, spawnDelay)));
    glEnableVertexAttribArray(2);
    return true;
}

void ParticleSystem::uploadRecords() const
{
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(maxParticles) * static_cast<GLsizeiptr>(sizeof(Particle)),
                 particles, GL_STATIC_DRAW);
}

void ParticleSystem::update(float dt)
{
    if (!active)
        return;

    float currentFlow = flow;
    if (controller != nullptr)
        controller->adjustFlow(&currentFlow);
    // At most one spawn per update comes from the flow; the timer is only
    // reset by a spawn, so spawns wait here while no record is free. A flow
    // of 0 never spawns.
    spawnTimer += dt;
    if (currentFlow != 0.0f && spawnTimer > 1.0f / currentFlow)
        pendingSpawns += 1;

    const bool burst = onceRequested;
    int expired = 0;
    for (int i = 0; i < maxParticles; ++i) {
        Particle& particle = particles[i];
        particle.age += dt;
        if (!particle.expired())
            continue;
        ++expired;
        if (burst) {
            spawnBurstParticle(particle);
        } else if (pendingSpawns > 0) {
            if (controller != nullptr)
                spawnControlledParticle(particle);
            else
                spawnFlowParticle(particle);
            pickLifetimeAndDelay(particle);
            spawnTimer = 0.0f;
            pendingSpawns -= 1;
        }
    }

    // A burst made in this update keeps the system on even when every record
    // was expired before it: switching off now would hide the new burst and
    // leave it to play later, wherever the next request asks for one.
    if (onceRunning && expired == maxParticles && !burst) {
        active = false;
        onceRunning = false;
    }
    if (burst) {
        onceRequested = false;
        onceRunning = true;
    }
}

void ParticleSystem::spawnBurstParticle(Particle& particle) const
{
    particle.position = oncePosition;
    particle.velocity = pick(velocityMin, velocityMax);
    pickLifetimeAndDelay(particle);
}

void ParticleSystem::spawnFlowParticle(Particle& particle) const
{
    particle.position = pick(positionMin, positionMax);
    particle.velocity = pick(velocityMin, velocityMax);
}

void ParticleSystem::spawnControlledParticle(Particle& particle) const
{
    glm::vec3 offset(0.0f);
    float emissionAngle = 0.0f;
    controller->getVelocityOffset(&offset);
    controller->getEmissionAngle(&emissionAngle);
    const float angle =
        (emissionAngle + glm::pi<float>()) + MathUtil::grf(EMISSION_SPREAD_BASE, EMISSION_SPREAD_RANGE);
    const float vx = speedFactor * std::cos(angle) - offset.x;
    const float vy = speedFactor * std::sin(angle) - offset.y;
    particle.velocity = glm::vec3(vx, vy, MathUtil::grf(-0.5f, 1.0f));
    controller->getSpawnPosition(&particle.position);
}

void ParticleSystem::pickLifetimeAndDelay(Particle& particle) const
{
    particle.lifetime = pick(lifetimeMin, lifetimeMax);
    particle.spawnDelay = pick(spawnDelayMin, spawnDelayMax);
    particle.age = 0.0f;
}

void ParticleSystem::render(MatrixOwner* camera)
{
    // A program the cache could not build cannot draw anything.
    if (!active || program == nullptr)
        return;

    program->use();
    const GLuint id = program->getId();
    const GLint startColorLocation = glGetUniformLocation(id, "u_start_color");
    const GLint endColorLocation = glGetUniformLocation(id, "u_end_color");
    const GLint gravityLocation = glGetUniformLocation(id, "u_gravity");
    const GLint textureLocation = glGetUniformLocation(id, "s_texture");
    const GLint worldLocation = glGetUniformLocation(id, "u_world_matrix");
    const GLint viewLocation = glGetUniformLocation(id, "u_view_matrix");
    const GLint projectionLocation = glGetUniformLocation(id, "u_projection_matrix");
    const GLint startSizeLocation = glGetUniformLocation(id, "u_start_point_size");
    const GLint endSizeLocation = glGetUniformLocation(id, "u_end_point_size");

    // Additive: overlapping particles brighten each other.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    const glm::mat4 world = glm::translate(glm::mat4(1.0f), position);
    const glm::mat4 view = camera->getViewMatrix();
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getPerspectiveMatrix()));
    glUniform3fv(gravityLocation, 1, glm::value_ptr(gravity));
    glUniform3fv(startColorLocation, 1, glm::value_ptr(startColor));
    glUniform3fv(endColorLocation, 1, glm::value_ptr(endColor));
    glUniform1f(startSizeLocation, startPointSize);
    glUniform1f(endSizeLocation, endPointSize);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glUniform1i(textureLocation, 0);

    glBindVertexArray(vao);
    uploadRecords();
    glDrawArrays(GL_POINTS, 0, maxParticles);

    glBindVertexArray(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void ParticleSystem::activateOnce(glm::vec3 position)
{
    onceRequested = true;
    oncePosition = position;
    active = true;
}

void ParticleSystem::setParticleSystemController(ParticleSystemController* controller)
{
    this->controller = controller;
}
