#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"
#include "game/Level.h"

const char* const LEVEL_BITMAP_SEPARATOR = "\n--bitmap--\n";
const char* const FUZZ_LEVEL_XML = "levels/fuzz.xml";
const char* const FUZZ_LEVEL_BITMAP = "levels/fuzz.bmp";

namespace {

// Stairs set up their teleporter effects; the smallest valid definition keeps
// the run on the level's own reading.
const char* const TELEPORTER_DEFINITION = "<general max_particles=\"4\" flow=\"10\"/>";

// Reads what the level keeps to itself, to check the spawns against it.
class InspectedLevel : public Level {
public:
    using Level::Level;

    bool insideBitmap(const glm::vec3& point) const
    {
        return point.x >= 0.0f && point.y >= 0.0f && point.x < width && point.y < height && point.z == 0.0f;
    }
    bool wallsMatchRuns() const { return walls.size() == wallRuns.size(); }
};

void checkSpawns(const InspectedLevel& level)
{
    for (int i = 0; i < level.getNumEnemies(); ++i) {
        const spawn_data* spawn = level.getEnemyData(i);
        fuzz_require(level.insideBitmap(glm::vec3(spawn->x, spawn->y, spawn->z)), "enemies stand on the map");
    }
    for (int i = 0; i < level.getNumNpcs(); ++i) {
        const spawn_data* spawn = level.getNpcData(i);
        fuzz_require(level.insideBitmap(glm::vec3(spawn->x, spawn->y, spawn->z)), "townsfolk stand on the map");
    }
    fuzz_require(level.getEnemyData(level.getNumEnemies()) == nullptr, "no enemy past the last");
    fuzz_require(level.wallsMatchRuns(), "every wall run has its box");
}

// The questions units and projectiles ask, from the markers and from far off.
void askQuestions(InspectedLevel* level)
{
    const float far = 1.0e9f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const glm::vec3 points[] = {
        level->startPosition, level->nextStairsPos, level->prevStairsPos, glm::vec3(-3.0f, -3.0f, 0.0f),
        glm::vec3(far, -far, 0.0f), glm::vec3(nan, nan, 0.0f),
    };
    for (const glm::vec3& from : points) {
        level->isCollision(from, 0.75f);
        level->isCollisionExt(from, 1.0f);
        level->mouseClick(from);
        for (const glm::vec3& to : points) {
            bool clear = false;
            level->lineOfSight(from, to, 25.0f);
            level->lineOfSightExt(from, to, &clear, 25.0f);
        }
    }
    level->update(1.0f / 60.0f);
}

} // namespace

int fuzz_level_files(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(LEVEL_BITMAP_SEPARATOR);
    const std::string xml = input.substr(0, split);
    const std::string bitmap = split == std::string::npos ? "" : input.substr(split + std::strlen(LEVEL_BITMAP_SEPARATOR));
    write_fuzz_package({{FUZZ_LEVEL_XML, xml},
                        {FUZZ_LEVEL_BITMAP, bitmap},
                        {"particlesystems/teleporter_down.xml", TELEPORTER_DEFINITION},
                        {"particlesystems/teleporter_up.xml", TELEPORTER_DEFINITION}});

    InspectedLevel level(FUZZ_LEVEL_XML);
    if (level.setup()) {
        checkSpawns(level);
        askQuestions(&level);
    }
    return 0;
}
