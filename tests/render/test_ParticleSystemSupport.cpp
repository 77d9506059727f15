#include "test_ParticleSystemSupport.h"

#include "RenderTestKit.h"
#include "support/TestPackage.h"

const char* const TEST_DEFINITION = "particlesystems/test.xml";

namespace {

const char* const VERTEX_SHADER = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_velocity;
layout(location = 2) in vec3 a_timing; // spawn delay, lifetime, age
uniform mat4 u_world_matrix;
uniform mat4 u_view_matrix;
uniform mat4 u_projection_matrix;
uniform vec3 u_gravity;
uniform vec3 u_start_color;
uniform vec3 u_end_color;
uniform float u_start_point_size;
uniform float u_end_point_size;
out vec3 v_color;
void main()
{
    float age = a_timing.z;
    float life = age / a_timing.y;
    if (age < a_timing.x || age > a_timing.y) {
        gl_Position = vec4(5.0, 5.0, 5.0, 1.0);
        gl_PointSize = 1.0;
        v_color = vec3(0.0);
        return;
    }
    vec3 local = a_position + a_velocity * age + 0.5 * u_gravity * age * age;
    gl_Position = u_projection_matrix * u_view_matrix * u_world_matrix * vec4(local, 1.0);
    gl_PointSize = mix(u_start_point_size, u_end_point_size, life);
    v_color = mix(u_start_color, u_end_color, life);
}
)";

const char* const FRAGMENT_SHADER = R"(#version 330 core
in vec3 v_color;
uniform sampler2D s_texture;
out vec4 fragColor;
void main()
{
    fragColor = texture(s_texture, gl_PointCoord) * vec4(v_color, 1.0);
}
)";

} // namespace

int InspectableParticleSystem::liveCount() const
{
    int live = 0;
    for (int i = 0; i < maxParticles; ++i)
        live += particles[i].expired() ? 0 : 1;
    return live;
}

std::map<std::string, std::string> particlePackage(const std::string& definition)
{
    return {
        {TEST_DEFINITION, definition},
        {"shaders/particlesystem.vs", VERTEX_SHADER},
        {"shaders/particlesystem.fs", FRAGMENT_SHADER},
        {"textures/particle.bmp", encodeBmp(Picture(4, 4, glm::u8vec4(255)))},
    };
}

std::string particleFixture(const std::string& name)
{
    return readFileBytes(std::string(MORVELUND_FIXTURES_DIR) + "/particles/" + name);
}

std::vector<std::string> errorMessages(LogCapture& log)
{
    const std::string tag = "  [ERROR] [";
    std::vector<std::string> messages;
    const std::string& text = log.text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t stampEnd = line.find("] ", tag.size());
        if (line.compare(0, tag.size(), tag) == 0 && stampEnd != std::string::npos)
            messages.push_back(line.substr(stampEnd + 2));
        start = end + 1;
    }
    return messages;
}
