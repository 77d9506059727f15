#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include <GL/glew.h>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "RenderTestKit.h"
#include "render/MatrixOwner.h"
#include "render/ParticleSystemController.h"
#include "GLContext.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"
#include "test_ParticleSystemSupport.h"

namespace {

const int VIEW_SIZE = 64;

// The parts of a definition file the simulation tests vary.
struct Definition {
    int maxParticles = 4;
    int flow = 0;
    int speedFactor = 0;
    std::string lifetime = "min=\"1\" max=\"1.5\"";
    std::string spawnDelay = "min=\"0\" max=\"0.5\"";
    std::string gravity = "min_x=\"0\" min_y=\"0\" min_z=\"-2\" max_x=\"0\" max_y=\"0\" max_z=\"-1\"";
    std::string velocity = "min_x=\"-1\" min_y=\"-1\" min_z=\"2\" max_x=\"1\" max_y=\"1\" max_z=\"3\"";
    std::string position = "min_x=\"-2\" min_y=\"-2\" min_z=\"0\" max_x=\"2\" max_y=\"2\" max_z=\"1\"";

    std::string xml() const
    {
        std::ostringstream out;
        out << "<particles><general max_particles=\"" << maxParticles << "\" flow=\"" << flow
            << "\" speed_factor=\"" << speedFactor << "\"/>"
            << "<color start_r=\"1\" start_g=\"0.5\" start_b=\"0\" end_r=\"0\" end_g=\"0\" end_b=\"1\"/>"
            << "<size start=\"9\" end=\"1\"/>"
            << "<lifetime " << lifetime << "/><spawndelay " << spawnDelay << "/>"
            << "<gravity " << gravity << "/><staticvelocity " << velocity << "/>"
            << "<staticposition " << position << "/></particles>";
        return out.str();
    }
};

// Hand-picked matrices: the view shifts the world up a little and the
// projection halves it, so where a point lands shows both were applied.
class FakeCamera : public MatrixOwner {
public:
    glm::mat4 view = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.1f, 0.0f));
    glm::mat4 perspective = glm::scale(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 1.0f));
    glm::mat4 ortho = glm::mat4(1.0f);
    glm::vec3 eye = glm::vec3(0.0f);

    glm::mat4 getViewMatrix() override { return view; }
    const glm::mat4& getPerspectiveMatrix() override { return perspective; }
    const glm::mat4& getOrthogonalMatrix() override { return ortho; }
    const glm::vec3& getPosition() override { return eye; }

    // Window pixel that a world point is drawn at.
    glm::ivec2 pixelOf(const glm::vec3& world) const
    {
        const glm::vec4 clip = perspective * view * glm::vec4(world, 1.0f);
        return glm::ivec2(static_cast<int>((clip.x / clip.w + 1.0f) * 0.5f * VIEW_SIZE),
                          static_cast<int>((clip.y / clip.w + 1.0f) * 0.5f * VIEW_SIZE));
    }
};

class FakeController : public ParticleSystemController {
public:
    glm::vec3 spawnPosition = glm::vec3(7.0f, 8.0f, 9.0f);
    glm::vec3 offset = glm::vec3(0.5f, -0.25f, 4.0f);
    float emissionAngle = 0.3f;
    float flow = 1000.0f;
    float flowSeen = -1.0f;

    void getSpawnPosition(glm::vec3* position) override { *position = spawnPosition; }
    void getVelocityOffset(glm::vec3* out) override { *out = offset; }
    void adjustFlow(float* value) override
    {
        flowSeen = *value;
        *value = flow;
    }
    void getEmissionAngle(float* angle) override { *angle = emissionAngle; }
};

void expectWithin(float value, float min, float width)
{
    EXPECT_GE(value, min);
    EXPECT_LT(value, min + width);
}

void expectWithin(const glm::vec3& value, const glm::vec3& min, const glm::vec3& width)
{
    for (int axis = 0; axis < 3; ++axis)
        expectWithin(value[axis], min[axis], width[axis]);
}

Particle record(const glm::vec3& position, const glm::vec3& velocity, float spawnDelay, float lifetime, float age)
{
    return Particle{position, velocity, spawnDelay, lifetime, age};
}

class ParticleSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { context = new GLContext(VIEW_SIZE, VIEW_SIZE); }
    static void TearDownTestSuite()
    {
        delete context;
        context = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(context->ok()) << context->error();
        glEnable(GL_PROGRAM_POINT_SIZE);
        context->clear();
    }

    // Loads and sets up a system from 'definition'; it lives until the test
    // ends or makes the next one.
    InspectableParticleSystem& make(const Definition& definition, bool active)
    {
        // The previous package must restore the working directory first.
        system.reset();
        package.reset();
        package = std::make_unique<TestPackage>(particlePackage(definition.xml()));
        EXPECT_TRUE(package->ok());
        system = std::make_unique<InspectableParticleSystem>(TEST_DEFINITION, active);
        EXPECT_TRUE(system->setup());
        return *system;
    }

    static GLContext* context;
    std::unique_ptr<TestPackage> package;
    std::unique_ptr<InspectableParticleSystem> system;
    FakeCamera camera;
};

GLContext* ParticleSystemTest::context = nullptr;

} // namespace

TEST_F(ParticleSystemTest, SetupLeavesEveryRecordExpiredAndPicksOneGravityForTheSystemsLife)
{
    Definition definition;
    definition.maxParticles = 6;
    definition.flow = 50;
    // Written backwards: picked from min upwards by the width of the range.
    definition.gravity = "min_x=\"1\" min_y=\"-1\" min_z=\"-3\" max_x=\"-1\" max_y=\"1\" max_z=\"-3\"";
    InspectableParticleSystem& particles = make(definition, true);

    for (int i = 0; i < particles.maxParticles; ++i) {
        EXPECT_FLOAT_EQ(particles.particles[i].age, 2.0f);
        EXPECT_FLOAT_EQ(particles.particles[i].lifetime, 1.0f);
        EXPECT_FLOAT_EQ(particles.particles[i].spawnDelay, 1.0f);
        EXPECT_EQ(particles.particles[i].position, glm::vec3(0.0f));
    }
    const glm::vec3 gravity = particles.gravity;
    expectWithin(gravity.x, 1.0f, 2.0f);
    expectWithin(gravity.y, -1.0f, 2.0f);
    // An empty range does not give its bound: it gives 0.
    EXPECT_EQ(gravity.z, 0.0f);

    for (int frame = 0; frame < 20; ++frame)
        particles.update(0.1f);
    EXPECT_EQ(particles.gravity, gravity);
}

TEST_F(ParticleSystemTest, TheFlowSpawnsAtMostOneParticlePerUpdateOnceItsIntervalHasStrictlyPassed)
{
    Definition definition;
    definition.flow = 10;
    InspectableParticleSystem& slow = make(definition, true);
    slow.update(0.05f);
    EXPECT_EQ(slow.liveCount(), 0);
    slow.update(0.06f);
    ASSERT_EQ(slow.liveCount(), 1);
    EXPECT_EQ(slow.pendingSpawns, 0);
    EXPECT_EQ(slow.spawnTimer, 0.0f);
    const Particle& spawned = slow.particles[0];
    EXPECT_EQ(spawned.age, 0.0f);
    expectWithin(spawned.position, glm::vec3(-2.0f, -2.0f, 0.0f), glm::vec3(4.0f, 4.0f, 1.0f));
    expectWithin(spawned.velocity, glm::vec3(-1.0f, -1.0f, 2.0f), glm::vec3(2.0f, 2.0f, 1.0f));
    expectWithin(spawned.lifetime, 1.0f, 0.5f);
    expectWithin(spawned.spawnDelay, 0.0f, 0.5f);

    // An interval far shorter than a frame still gives one particle per update.
    definition.flow = 1000;
    InspectableParticleSystem& fast = make(definition, true);
    for (int frame = 1; frame <= 3; ++frame) {
        fast.update(0.1f);
        EXPECT_EQ(fast.liveCount(), frame);
    }

    definition.flow = 0;
    InspectableParticleSystem& still = make(definition, true);
    for (int frame = 0; frame < 50; ++frame)
        still.update(1.0f);
    EXPECT_EQ(still.liveCount(), 0);
    EXPECT_EQ(still.pendingSpawns, 0);
}

TEST_F(ParticleSystemTest, SpawnsWaitWhileNoRecordIsFreeAndAreReleasedOnePerExpiredRecord)
{
    Definition definition;
    definition.maxParticles = 2;
    definition.flow = 10;
    InspectableParticleSystem& particles = make(definition, true);
    particles.update(0.2f);
    particles.update(0.2f);
    ASSERT_EQ(particles.liveCount(), 2);
    EXPECT_EQ(particles.pendingSpawns, 0);

    // Both records live for at least a second: the timer is not reset, so
    // every update adds one waiting spawn.
    for (int waiting = 1; waiting <= 3; ++waiting) {
        particles.update(0.2f);
        EXPECT_EQ(particles.pendingSpawns, waiting);
        EXPECT_EQ(particles.liveCount(), 2);
    }
    particles.update(2.0f);
    EXPECT_EQ(particles.liveCount(), 2);
    EXPECT_EQ(particles.pendingSpawns, 2);
    EXPECT_EQ(particles.spawnTimer, 0.0f);
    particles.update(2.0f);
    EXPECT_EQ(particles.pendingSpawns, 1);
}

TEST_F(ParticleSystemTest, ABurstUsesEveryExpiredRecordAndTheSystemSwitchesOffWhenItHasDiedOut)
{
    Definition definition;
    definition.maxParticles = 5;
    definition.lifetime = "min=\"0.5\" max=\"1\"";
    InspectableParticleSystem& particles = make(definition, false);

    // Idle: nothing ages and the flow timer stands still.
    particles.update(1.0f);
    EXPECT_EQ(particles.particles[0].age, 2.0f);
    EXPECT_EQ(particles.spawnTimer, 0.0f);

    const glm::vec3 where(10.0f, 20.0f, 1.0f);
    particles.activateOnce(where);
    EXPECT_TRUE(particles.active);
    EXPECT_EQ(particles.liveCount(), 0); // the burst itself waits for the update
    particles.update(0.01f);
    EXPECT_TRUE(particles.onceRunning);
    EXPECT_FALSE(particles.onceRequested);
    EXPECT_EQ(particles.pendingSpawns, 0);
    for (int i = 0; i < particles.maxParticles; ++i) {
        const Particle& spawned = particles.particles[i];
        EXPECT_EQ(spawned.position, where);
        EXPECT_EQ(spawned.age, 0.0f);
        expectWithin(spawned.velocity, glm::vec3(-1.0f, -1.0f, 2.0f), glm::vec3(2.0f, 2.0f, 1.0f));
        expectWithin(spawned.lifetime, 0.5f, 0.5f);
    }

    particles.update(0.4f);
    EXPECT_EQ(particles.liveCount(), 5);
    EXPECT_TRUE(particles.active);
    particles.update(0.7f);
    EXPECT_FALSE(particles.active);
    EXPECT_FALSE(particles.onceRunning);

    const float ageWhenOff = particles.particles[0].age;
    particles.update(1.0f);
    EXPECT_EQ(particles.particles[0].age, ageWhenOff);
}

TEST_F(ParticleSystemTest, ABurstRequestedWhileTheLastOneIsDyingOutIsShownNotSwitchedOff)
{
    Definition definition;
    definition.lifetime = "min=\"0.5\" max=\"1\"";
    InspectableParticleSystem& particles = make(definition, false);
    particles.activateOnce(glm::vec3(1.0f));
    particles.update(0.01f);

    // Every record of the first burst expires in the same update that makes
    // the second one.
    const glm::vec3 second(-4.0f, 2.0f, 0.0f);
    particles.activateOnce(second);
    particles.update(2.0f);
    EXPECT_TRUE(particles.active);
    EXPECT_TRUE(particles.onceRunning);
    EXPECT_EQ(particles.liveCount(), 4);
    EXPECT_EQ(particles.particles[0].position, second);

    particles.update(2.0f);
    EXPECT_FALSE(particles.active);
}

TEST_F(ParticleSystemTest, ABurstOnRecordsThatAreAllAliveMakesNothingAndEndsWithThem)
{
    Definition definition;
    InspectableParticleSystem& particles = make(definition, false);
    const glm::vec3 first(1.0f, 2.0f, 3.0f);
    particles.activateOnce(first);
    particles.update(0.01f);

    particles.activateOnce(glm::vec3(-1.0f));
    particles.update(0.01f);
    for (int i = 0; i < particles.maxParticles; ++i)
        EXPECT_EQ(particles.particles[i].position, first);
    EXPECT_TRUE(particles.onceRunning);
    EXPECT_TRUE(particles.active);

    particles.update(2.0f);
    EXPECT_FALSE(particles.active);
}

TEST_F(ParticleSystemTest, AControllerSteersContinuousSpawnsInPlaceOfTheDefinitionsRanges)
{
    Definition definition;
    definition.maxParticles = 1;
    definition.speedFactor = 3;
    InspectableParticleSystem& particles = make(definition, true);
    FakeController controller;
    particles.setParticleSystemController(&controller);

    // The definition's flow of 0 would never spawn; the controller's does.
    particles.update(0.1f);
    EXPECT_EQ(controller.flowSeen, 0.0f);
    EXPECT_EQ(particles.flow, 0.0f);
    ASSERT_EQ(particles.liveCount(), 1);

    const Particle& spawned = particles.particles[0];
    EXPECT_EQ(spawned.position, controller.spawnPosition);
    const glm::vec2 emitted(spawned.velocity.x + controller.offset.x, spawned.velocity.y + controller.offset.y);
    EXPECT_NEAR(glm::length(emitted), 3.0f, 1e-4f);
    // Within 12 degrees of the direction opposite to the emission angle.
    const float opposite = controller.emissionAngle + glm::pi<float>();
    const float off = std::remainder(std::atan2(emitted.y, emitted.x) - opposite, glm::two_pi<float>());
    EXPECT_LE(std::fabs(off), glm::radians(12.0f) + 1e-4f);
    expectWithin(spawned.velocity.z, -0.5f, 1.0f);
    expectWithin(spawned.lifetime, 1.0f, 0.5f);

    // And a controller can stop a flowing system.
    controller.flow = 0.0f;
    particles.update(5.0f);
    EXPECT_EQ(particles.liveCount(), 0);
}

TEST_F(ParticleSystemTest, RangesArePickedFromMinByTheirWidthAndAnEmptyRangeGivesZero)
{
    Definition definition;
    definition.maxParticles = 1;
    definition.flow = 1000;
    definition.lifetime = "min=\"3\" max=\"1\"";
    definition.spawnDelay = "min=\"2\" max=\"2\"";
    InspectableParticleSystem& particles = make(definition, true);
    particles.update(0.1f);
    expectWithin(particles.particles[0].lifetime, 3.0f, 2.0f);
    EXPECT_EQ(particles.particles[0].spawnDelay, 0.0f);

    // A fixed lifetime written as min = max lives for no time at all.
    definition.lifetime = "min=\"2\" max=\"2\"";
    InspectableParticleSystem& brief = make(definition, true);
    brief.update(0.1f);
    EXPECT_EQ(brief.particles[0].lifetime, 0.0f);
    brief.update(0.001f);
    EXPECT_TRUE(brief.particles[0].age < 0.001f + 1e-6f);
}

TEST_F(ParticleSystemTest, ASystemWithoutRecordsDrawsNothingAndEndsABurstAtTheFollowingUpdate)
{
    package = std::make_unique<TestPackage>(particlePackage("<particles><size start=\"9\" end=\"9\"/></particles>"));
    system = std::make_unique<InspectableParticleSystem>(TEST_DEFINITION, false);
    ASSERT_TRUE(system->setup());
    EXPECT_EQ(system->maxParticles, 0);

    system->activateOnce(glm::vec3(0.0f));
    system->update(0.1f);
    EXPECT_TRUE(system->active);
    system->render(&camera);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    system->update(0.1f);
    EXPECT_FALSE(system->active);
}

TEST_F(ParticleSystemTest, ANegativeOrAbsurdRecordCountFailsSetupWithTheAllocationLine)
{
    // 1038634273 records would be 37 GB, allocated and then uploaded every frame.
    for (const std::string count : {"-3", "1038634273"}) {
        SCOPED_TRACE(count);
        system.reset();
        package.reset(); // the old package gives the working directory back first
        package = std::make_unique<TestPackage>(particlePackage("<general max_particles=\"" + count + "\"/>"));
        system = std::make_unique<InspectableParticleSystem>(TEST_DEFINITION, true);
        LogCapture log;
        EXPECT_FALSE(system->setup());
        EXPECT_EQ(errorMessages(log), std::vector<std::string>{"Failed to allocate memory for particles (" + count + ")"});
    }
}

TEST_F(ParticleSystemTest, RecordsAreDrawnAsPointsPlacedColouredAndSizedFromTheirAttributesAndTheUniforms)
{
    Definition definition;
    InspectableParticleSystem& particles = make(definition, true);
    particles.position = glm::vec3(0.2f, 0.0f, 0.0f);
    particles.gravity = glm::vec3(0.0f, -0.8f, 0.0f);
    const glm::vec3 fresh(0.4f, 0.0f, 0.0f);
    particles.particles[0] = record(fresh, glm::vec3(0.0f), 0.0f, 1.0f, 0.0f);
    // Half-way through its life: moved by velocity and gravity, colour and
    // size half-way from start to end.
    particles.particles[1] = record(glm::vec3(-0.4f, 0.0f, 0.0f), glm::vec3(0.0f, 0.8f, 0.0f), 0.0f, 1.0f, 0.5f);
    const glm::vec3 expired(0.0f, -0.6f, 0.0f);
    particles.particles[2] = record(expired, glm::vec3(0.0f), 0.0f, 1.0f, 2.0f);
    const glm::vec3 waiting(-0.6f, -0.6f, 0.0f);
    particles.particles[3] = record(waiting, glm::vec3(0.0f), 0.5f, 1.0f, 0.2f);

    particles.render(&camera);

    const glm::ivec2 freshAt = camera.pixelOf(fresh + particles.position);
    EXPECT_TRUE(near(context->readPixel(freshAt.x, freshAt.y), glm::u8vec4(255, 128, 0, 255)));
    // Start size 9: lit 3 pixels from the centre, dark 7 pixels away.
    EXPECT_TRUE(near(context->readPixel(freshAt.x + 3, freshAt.y), glm::u8vec4(255, 128, 0, 255)));
    EXPECT_TRUE(near(context->readPixel(freshAt.x, freshAt.y + 7), glm::u8vec4(0, 0, 0, 255)));

    const glm::ivec2 movedAt = camera.pixelOf(glm::vec3(-0.2f, 0.3f, 0.0f));
    EXPECT_TRUE(near(context->readPixel(movedAt.x, movedAt.y), glm::u8vec4(128, 64, 128, 255)));
    EXPECT_TRUE(near(context->readPixel(movedAt.x + 4, movedAt.y), glm::u8vec4(0, 0, 0, 255)));

    const glm::ivec2 expiredAt = camera.pixelOf(expired + particles.position);
    EXPECT_TRUE(near(context->readPixel(expiredAt.x, expiredAt.y), glm::u8vec4(0, 0, 0, 255)));
    const glm::ivec2 waitingAt = camera.pixelOf(waiting + particles.position);
    EXPECT_TRUE(near(context->readPixel(waitingAt.x, waitingAt.y), glm::u8vec4(0, 0, 0, 255)));
}

TEST_F(ParticleSystemTest, ParticlesAddUpOverTheSceneAndLeaveBlendingOffAndDepthTestingOn)
{
    Definition definition;
    InspectableParticleSystem& particles = make(definition, true);
    particles.startColor = glm::vec3(0.4f, 0.2f, 0.0f);
    for (int i = 0; i < 2; ++i)
        particles.particles[i] = record(glm::vec3(0.0f), glm::vec3(0.0f), 0.0f, 1.0f, 0.0f);
    context->clear(glm::vec4(0.0f, 0.0f, 0.5f, 1.0f));
    glDisable(GL_DEPTH_TEST);

    particles.render(&camera);

    const glm::ivec2 at = camera.pixelOf(glm::vec3(0.0f));
    EXPECT_TRUE(near(context->readPixel(at.x, at.y), glm::u8vec4(204, 102, 128, 255)));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
}

TEST_F(ParticleSystemTest, AnIdleSystemNeitherAgesNorDraws)
{
    Definition definition;
    InspectableParticleSystem& particles = make(definition, false);
    particles.particles[0] = record(glm::vec3(0.0f), glm::vec3(0.0f), 0.0f, 1.0f, 0.0f);
    particles.render(&camera);
    particles.update(0.5f);
    const glm::ivec2 at = camera.pixelOf(glm::vec3(0.0f));
    EXPECT_TRUE(near(context->readPixel(at.x, at.y), glm::u8vec4(0, 0, 0, 255)));
    EXPECT_EQ(particles.particles[0].age, 0.0f);
}
