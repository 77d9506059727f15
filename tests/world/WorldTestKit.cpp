#include "WorldTestKit.h"

#include <dirent.h>

#include <cstdint>
#include <glm/gtc/matrix_transform.hpp>

#include "support/TestPictures.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

const glm::u8vec4 GROUND_COLOUR(255, 0, 0, 255);
const glm::u8vec4 WALL_COLOUR(0, 255, 0, 255);

namespace {

uint32_t colourOf(char symbol)
{
    static const std::map<char, uint32_t> colours = {
        {'=', 0x0000FF}, {'|', 0x00FF00}, {'S', 0xFFFF00}, {'>', 0x00FFFF}, {'<', 0xFF00FF},
        {'z', 0xFF0000}, {'g', 0xFFFFFF}, {'m', 0x835C3B}, {'l', 0x7F00FF}, {'R', 0xFF0001},
        {'H', 0xFF0002}, {'F', 0xFF0003}, {'c', 0x6A6A6A}, {'M', 0x6B6B6B},
    };
    const auto found = colours.find(symbol);
    return found == colours.end() ? 0 : found->second;
}

std::map<std::string, std::string> shaderEntries()
{
    std::map<std::string, std::string> entries;
    const std::string folder = std::string(MORVELUND_SOURCE_DIR) + "/data/shaders";
    DIR* dir = opendir(folder.c_str());
    for (dirent* entry = dir ? readdir(dir) : nullptr; entry; entry = readdir(dir))
        if (entry->d_name[0] != '.')
            entries["shaders/" + std::string(entry->d_name)] = readFileBytes(folder + "/" + entry->d_name);
    if (dir)
        closedir(dir);
    return entries;
}

const char* const EFFECT_XML = "<effect><general max_particles=\"16\" flow=\"8\" speed_factor=\"1\"/></effect>";

} // namespace

GLContext& worldContext()
{
    static GLContext context(VIEW_SIZE, VIEW_SIZE);
    return context;
}

std::string levelBitmap(const std::vector<std::string>& rows)
{
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows.front().size());
    std::vector<uint8_t> rgb;
    for (const std::string& row : rows) {
        for (char symbol : row) {
            const uint32_t colour = colourOf(symbol);
            rgb.push_back(static_cast<uint8_t>(colour >> 16));
            rgb.push_back(static_cast<uint8_t>(colour >> 8));
            rgb.push_back(static_cast<uint8_t>(colour));
        }
    }
    return encodeBmpBytes(width, height, 3, rgb.data());
}

std::string levelXml(const std::string& extraLevelAttributes)
{
    return "<?xml version=\"1.0\"?>\n<root><level name=\"Test Cellar\" bitmap=\"levels/test.bmp\" "
        + extraLevelAttributes + "/>\n<textures ground=\"textures/ground.png\" wall=\"textures/wall.png\"/>\n"
        + "<sounds background=\"sounds/bg.wav\" footstep=\"sounds/step.wav\"/></root>\n";
}

std::map<std::string, std::string> levelEntries(const std::string& xml, const std::string& bitmap)
{
    std::map<std::string, std::string> entries = shaderEntries();
    entries["textures/ground.png"] = solidPng(GROUND_COLOUR, 8);
    entries["textures/wall.png"] = solidPng(WALL_COLOUR, 8);
    entries["textures/stairs_down.png"] = solidPng(glm::u8vec4(0, 0, 255, 255), 8);
    entries["textures/particle.bmp"] = solidPng(glm::u8vec4(255), 8);
    entries["particlesystems/teleporter_down.xml"] = EFFECT_XML;
    entries["particlesystems/teleporter_up.xml"] = EFFECT_XML;
    entries["levels/test.xml"] = xml;
    entries["levels/test.bmp"] = bitmap;
    return entries;
}

void loadLevel(LoadedLevel* out, const std::map<std::string, std::string>& entries, const std::string& xmlPath)
{
    TestPackage package(entries);
    delete out->level;
    out->level = new TestLevel(xmlPath);
    LogCapture capture;
    out->ok = out->level->setup();
    out->log = capture.text();
}

StillCamera::StillCamera(const glm::vec3& eye, const glm::vec3& target)
    : eye(eye), target(target)
{
    const float aspect = 1.0f;
    perspective = glm::perspective(glm::radians(90.0f), aspect, 0.01f, 100.0f);
    ortho = glm::ortho(0.0f, static_cast<float>(VIEW_SIZE), 0.0f, static_cast<float>(VIEW_SIZE));
}

glm::mat4 StillCamera::getViewMatrix()
{
    return glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::ivec2 StillCamera::pixelOf(const glm::vec3& world)
{
    const glm::vec4 clip = perspective * getViewMatrix() * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc.x + 1.0f) * 0.5f * VIEW_SIZE, (ndc.y + 1.0f) * 0.5f * VIEW_SIZE);
}
