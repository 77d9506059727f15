#include "HudTestSupport.h"

#include <vector>

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

const char* const RED_PICTURE = "textures/red.png";
const char* const HALF_RED_PICTURE = "textures/half_red.png";
const char* const HALF_BLUE_PICTURE = "textures/half_blue.png";
const char* const CLEAR_PICTURE = "textures/clear.png";
const char* const FONT_PICTURE = "textures/font.png";

GLContext* HudTest::context = nullptr;

namespace {

std::string gameShader(const std::string& name)
{
    return readFileBytes(std::string(MORVELUND_SOURCE_DIR) + "/data/shaders/" + name);
}

std::map<std::string, std::string> hudPackage()
{
    return {
        {"shaders/basicortho.vs", gameShader("basicortho.vs")},
        {"shaders/basicortho.fs", gameShader("basicortho.fs")},
        {"shaders/text.vs", gameShader("text.vs")},
        {"shaders/text.fs", gameShader("text.fs")},
        {RED_PICTURE, solidPng(glm::u8vec4(255, 0, 0, 255))},
        {HALF_RED_PICTURE, solidPng(glm::u8vec4(255, 0, 0, 128))},
        {HALF_BLUE_PICTURE, solidPng(glm::u8vec4(0, 0, 255, 128))},
        {CLEAR_PICTURE, solidPng(glm::u8vec4(0))},
        {FONT_PICTURE, solidPng(glm::u8vec4(255))},
    };
}

} // namespace

void HudTest::SetUpTestSuite()
{
    context = new GLContext(HUD_VIEW_WIDTH, HUD_VIEW_HEIGHT);
}

void HudTest::TearDownTestSuite()
{
    delete context;
    context = nullptr;
}

void HudTest::SetUp()
{
    ASSERT_TRUE(context->ok()) << context->error();
    package = std::make_unique<TestPackage>(hudPackage());
    ASSERT_TRUE(package->ok());
    context->clear();
}

bool closeTo(const glm::u8vec4& actual, const glm::u8vec4& expected)
{
    for (int c = 0; c < 4; ++c) {
        if (std::abs(static_cast<int>(actual[c]) - static_cast<int>(expected[c])) > 3)
            return false;
    }
    return true;
}
