#include <string>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"
#include "render/ParticleSystem.h"

namespace {

const char* const DEFINITION = "particlesystems/fuzz.xml";
constexpr int FRAMES = 8;
constexpr float FRAME_TIME = 1.0f / 60.0f;

void simulate(ParticleSystem* system)
{
    for (int frame = 0; frame < FRAMES; ++frame)
        system->update(FRAME_TIME);
}

} // namespace

int fuzz_particle_definition(const uint8_t* data, size_t size)
{
    write_fuzz_package({{DEFINITION, std::string(reinterpret_cast<const char*>(data), size)}});
    // Emitting from the start like a teleporter, then bursting like a death.
    ParticleSystem system(DEFINITION, true);
    if (system.setup()) {
        simulate(&system);
        system.activateOnce(glm::vec3(10.0f, 20.0f, 0.0f));
        simulate(&system);
    }
    return 0;
}
