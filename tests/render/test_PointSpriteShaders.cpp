#include <gtest/gtest.h>

#include <cstring>

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

#include "RenderTestKit.h"
#include "render/Camera.h"
#include "render/ProgramManager.h"
#include "GLContext.h"
#include "support/TestPackage.h"

// The particle and projectile shaders are fed straight from the records the
// particle system and the projectile pool upload, so these tests draw such
// records by hand and look at where points appear.

namespace {

using colours::BLACK;

struct Attribute {
    GLuint slot;
    GLint floats;
    size_t offset;
};

class PointSpriteShaders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok()) << gl.error();
        gl.clear();
        glEnable(GL_PROGRAM_POINT_SIZE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glDisable(GL_DEPTH_TEST);
        sprite = makeNearestTexture(Picture(4, 4, colours::WHITE));
    }
    void TearDown() override
    {
        glDeleteTextures(1, &sprite);
        for (const auto& [vertex, fragment] : loaded)
            ProgramManager::getInstance()->freeProgram(vertex, fragment, "");
    }

    // Uses the program and sets the matrices and the sprite every point
    // program shares.
    GLuint useProgram(const char* vertex, const char* fragment)
    {
        ShaderProgram* program = ProgramManager::getInstance()->loadProgram(vertex, fragment, "");
        EXPECT_NE(program, nullptr);
        if (program == nullptr)
            return 0;
        loaded.emplace_back(vertex, fragment);
        program->use();
        const GLuint id = program->getId();
        const glm::mat4 world(1.0f);
        const glm::mat4 view = camera.getViewMatrix();
        glUniformMatrix4fv(glGetUniformLocation(id, "u_world_matrix"), 1, GL_FALSE, glm::value_ptr(world));
        glUniformMatrix4fv(glGetUniformLocation(id, "u_view_matrix"), 1, GL_FALSE, glm::value_ptr(view));
        glUniformMatrix4fv(glGetUniformLocation(id, "u_projection_matrix"), 1, GL_FALSE,
                           glm::value_ptr(camera.getPerspectiveMatrix()));
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, sprite);
        glUniform1i(glGetUniformLocation(id, "s_texture"), 0);
        return id;
    }

    void drawPoints(const std::vector<uint8_t>& records, GLsizei stride, const std::vector<Attribute>& attributes)
    {
        GLuint vao = 0;
        GLuint vbo = 0;
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &vbo);
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(records.size()), records.data(), GL_STATIC_DRAW);
        for (const Attribute& attribute : attributes) {
            glVertexAttribPointer(attribute.slot, attribute.floats, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<void*>(attribute.offset));
            glEnableVertexAttribArray(attribute.slot);
        }
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(records.size() / static_cast<size_t>(stride)));
        glBindVertexArray(0);
        glDeleteBuffers(1, &vbo);
        glDeleteVertexArrays(1, &vao);
    }

    // Uses the particle program with one colour ramp, gravity and point size.
    GLuint useParticleProgram(glm::vec3 startColour, glm::vec3 endColour, glm::vec3 gravity, float size)
    {
        const GLuint id = useProgram("shaders/particlesystem.vs", "shaders/particlesystem.fs");
        glUniform3fv(glGetUniformLocation(id, "u_start_color"), 1, glm::value_ptr(startColour));
        glUniform3fv(glGetUniformLocation(id, "u_end_color"), 1, glm::value_ptr(endColour));
        glUniform3fv(glGetUniformLocation(id, "u_gravity"), 1, glm::value_ptr(gravity));
        glUniform1f(glGetUniformLocation(id, "u_start_point_size"), size);
        glUniform1f(glGetUniformLocation(id, "u_end_point_size"), size);
        return id;
    }

    glm::u8vec4 pixelAt(const glm::vec3& world)
    {
        const glm::vec2 at = projectToWindow(camera.getPerspectiveMatrix(), camera.getViewMatrix(), world, 200, 200);
        return gl.readPixel(static_cast<int>(at.x), static_cast<int>(at.y));
    }

    GLContext gl{200, 200};
    Camera camera = topDownCamera(200, 200);
    TestPackage package{gameShaderEntries()};
    GLuint sprite = 0;
    std::vector<std::pair<const char*, const char*>> loaded;
};

// One particle record: position, velocity, spawn delay, lifetime, age.
void appendParticle(std::vector<uint8_t>& records, glm::vec3 position, glm::vec3 velocity, float spawnDelay,
                    float lifetime, float age)
{
    const float record[9] = {position.x, position.y, position.z, velocity.x, velocity.y, velocity.z,
                             spawnDelay, lifetime,   age};
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(record);
    records.insert(records.end(), bytes, bytes + sizeof(record));
}

// One 48-byte projectile record: x, y, active, colour, velocity, damage,
// padding and the owner pointer.
void appendProjectile(std::vector<uint8_t>& records, glm::vec2 position, float active, glm::vec3 colour)
{
    uint8_t record[48] = {};
    const float fields[9] = {position.x, position.y, active, colour.r, colour.g, colour.b, 1.0f, 0.0f, 10.0f};
    std::memcpy(record, fields, sizeof(fields));
    records.insert(records.end(), record, record + sizeof(record));
}

} // namespace

TEST_F(PointSpriteShaders, ParticlesShowOnlyBetweenSpawnDelayAndLifetimeAndFlyFromTheirStart)
{
    ASSERT_NE(useParticleProgram(glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f), 20.0f),
              0u);

    std::vector<uint8_t> records;
    appendParticle(records, glm::vec3(0.0f), glm::vec3(0.0f), 0.0f, 1.0f, 0.0f);
    appendParticle(records, glm::vec3(5.0f, 0.0f, 0.0f), glm::vec3(0.0f), 0.0f, 1.0f, 2.0f);
    appendParticle(records, glm::vec3(-5.0f, 0.0f, 0.0f), glm::vec3(0.0f), 0.5f, 1.0f, 0.1f);
    appendParticle(records, glm::vec3(0.0f, -8.0f, 0.0f), glm::vec3(0.0f, 3.0f, 0.0f), 0.0f, 2.0f, 1.0f);
    drawPoints(records, 36, {{0, 3, 0}, {1, 3, 12}, {2, 3, 24}});

    const glm::u8vec4 newborn = pixelAt(glm::vec3(0.0f));
    EXPECT_GT(newborn.r, 200) << "a new particle has the start colour";
    EXPECT_EQ(newborn.b, 0);
    EXPECT_EQ(pixelAt(glm::vec3(5.0f, 0.0f, 0.0f)), BLACK) << "expired records are drawn invisibly";
    EXPECT_EQ(pixelAt(glm::vec3(-5.0f, 0.0f, 0.0f)), BLACK) << "still waiting for its spawn delay";
    const glm::u8vec4 halfway = pixelAt(glm::vec3(0.0f, -5.0f, 0.0f));
    EXPECT_GT(halfway.b, 0) << "halfway through its life the colour moves towards the end colour";
    EXPECT_GT(halfway.r, 0);
    EXPECT_EQ(pixelAt(glm::vec3(0.0f, -8.0f, 0.0f)), BLACK) << "the particle left its start";
}

TEST_F(PointSpriteShaders, ParticlesFallWithGravityAndShrinkWithDistance)
{
    ASSERT_NE(useParticleProgram(glm::vec3(1.0f), glm::vec3(1.0f), glm::vec3(0.0f, 4.0f, 0.0f), 10.0f), 0u);

    // Half of 4 units/s² over 2 s: 8 units along y.
    std::vector<uint8_t> records;
    appendParticle(records, glm::vec3(-6.0f, -4.0f, 0.0f), glm::vec3(0.0f), 0.0f, 10.0f, 2.0f);
    drawPoints(records, 36, {{0, 3, 0}, {1, 3, 12}, {2, 3, 24}});
    EXPECT_GT(brightness(pixelAt(glm::vec3(-6.0f, 4.0f, 0.0f))), 0);
    EXPECT_EQ(pixelAt(glm::vec3(-6.0f, -4.0f, 0.0f)), BLACK);

    // Ten units away a size of 10 is 10 pixels across; nearer it grows.
    gl.clear();
    records.clear();
    appendParticle(records, glm::vec3(0.0f), glm::vec3(0.0f), 0.0f, 10.0f, 0.0f);
    appendParticle(records, glm::vec3(4.0f, 0.0f, 5.0f), glm::vec3(0.0f), 0.0f, 10.0f, 0.0f);
    drawPoints(records, 36, {{0, 3, 0}, {1, 3, 12}, {2, 3, 24}});
    const glm::vec2 far = projectToWindow(camera.getPerspectiveMatrix(), camera.getViewMatrix(), glm::vec3(0.0f), 200, 200);
    EXPECT_GT(brightness(gl.readPixel(static_cast<int>(far.x) + 4, static_cast<int>(far.y))), 0);
    EXPECT_EQ(gl.readPixel(static_cast<int>(far.x) + 7, static_cast<int>(far.y)), BLACK);
    const glm::vec2 near =
        projectToWindow(camera.getPerspectiveMatrix(), camera.getViewMatrix(), glm::vec3(4.0f, 0.0f, 5.0f), 200, 200);
    EXPECT_GT(brightness(gl.readPixel(static_cast<int>(near.x) + 8, static_cast<int>(near.y))), 0);
}

TEST_F(PointSpriteShaders, OnlyLiveProjectilesAreDrawnInTheirColour)
{
    ASSERT_NE(useProgram("shaders/projectiles.vs", "shaders/projectiles.fs"), 0u);
    std::vector<uint8_t> records;
    appendProjectile(records, glm::vec2(3.0f, 0.0f), 1.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    appendProjectile(records, glm::vec2(-3.0f, 0.0f), -1.0f, glm::vec3(1.0f, 1.0f, 1.0f));
    drawPoints(records, 48, {{0, 2, 0}, {1, 1, 8}, {2, 3, 12}});

    const glm::u8vec4 live = pixelAt(glm::vec3(3.0f, 0.0f, 1.0f));
    EXPECT_GT(live.g, 200);
    EXPECT_EQ(live.r, 0);
    EXPECT_EQ(pixelAt(glm::vec3(-3.0f, 0.0f, 1.0f)), BLACK);
}
