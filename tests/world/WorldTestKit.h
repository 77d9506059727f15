#pragma once

#include <map>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "game/Followable.h"
#include "game/Level.h"
#include "render/MatrixOwner.h"
#include "GLContext.h"

// Shared pieces of the world tests: a hidden GL context for the whole suite,
// level bitmaps drawn from text, the assets a level needs in a test package,
// and stand-ins for the camera and the player.

// The suite's one GL context, a square window of this size, made on first use.
constexpr int VIEW_SIZE = 256;
GLContext& worldContext();

// A 24-bit BMP from rows of symbols, first row at the top of the picture:
//   .  floor   =  wall joined along rows   |  wall joined along columns
//   S  start   >  next stairs   <  previous stairs
//   z g m l  the four monsters   R H F  the three bosses
//   c  commoner   M  merchant
std::string levelBitmap(const std::vector<std::string>& rows);

// A level file naming "levels/test.bmp" and the kit's textures and sounds.
std::string levelXml(const std::string& extraLevelAttributes = "");

// Shaders, textures and teleporter effects for a level, plus the given
// level file and bitmap as "levels/test.xml" and "levels/test.bmp".
std::map<std::string, std::string> levelEntries(const std::string& xml, const std::string& bitmap);

// Solid colours of the kit's pictures: the ground red, the walls green.
extern const glm::u8vec4 GROUND_COLOUR;
extern const glm::u8vec4 WALL_COLOUR;

// The level with its insides open to the tests.
class TestLevel : public Level {
public:
    using Level::Level;
    using Level::assertRowCol;
    using Level::debug;
    using Level::get_node_position;
    using Level::height;
    using Level::leaves;
    using Level::quadTree;
    using Level::wallGrid;
    using Level::wallRuns;
    using Level::walls;
    using Level::width;
};

// A level set up from a test package that lives only for the setup, with
// everything setup logged.
struct LoadedLevel {
    TestLevel* level = nullptr;
    bool ok = false;
    std::string log;

    LoadedLevel() = default;
    ~LoadedLevel() { delete level; }
    LoadedLevel(const LoadedLevel&) = delete;
    LoadedLevel& operator=(const LoadedLevel&) = delete;
    bool logged(const std::string& text) const { return log.find(text) != std::string::npos; }
};
void loadLevel(LoadedLevel* out, const std::map<std::string, std::string>& entries,
               const std::string& xmlPath = "levels/test.xml");

class StandIn : public Followable {
public:
    explicit StandIn(const glm::vec3& position) : position(position) {}
    glm::vec3 getPosition() override { return position; }
    glm::vec3 position;
};

// Looks from 'eye' at 'target' with the game's 90 degree perspective.
class StillCamera : public MatrixOwner {
public:
    StillCamera(const glm::vec3& eye, const glm::vec3& target);
    glm::mat4 getViewMatrix() override;
    const glm::mat4& getPerspectiveMatrix() override { return perspective; }
    const glm::mat4& getOrthogonalMatrix() override { return ortho; }
    const glm::vec3& getPosition() override { return eye; }
    // Window pixel on which a world point lands.
    glm::ivec2 pixelOf(const glm::vec3& world);

private:
    glm::vec3 eye;
    glm::vec3 target;
    glm::mat4 perspective;
    glm::mat4 ortho;
};
