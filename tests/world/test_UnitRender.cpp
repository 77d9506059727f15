#include <gtest/gtest.h>

#include <GL/glew.h>

#include "WorldTestKit.h"
#include "game/Player.h"
#include "render/TexturedCuboid.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

// Looking straight down on a hero at the origin: trunk green, arms red.
class UnitDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worldContext().ok()) << worldContext().error();
        TestPackage package(levelEntries(levelXml(), levelBitmap({"."})));
        ASSERT_TRUE(package.ok());
        hero.setTexturePaths("textures/wall.png", "textures/ground.png");
        LogCapture log;
        ASSERT_TRUE(hero.setup());
        EXPECT_FALSE(log.contains("[ERROR]")) << log.text();
    }

    // Draws the hero alone, as last posed, and reads the pixel at each world
    // point.
    std::vector<glm::u8vec4> drawAndRead(const std::vector<glm::vec3>& points)
    {
        StillCamera camera(glm::vec3(0.0f, 0.0f, 12.0f), glm::vec3(0.0f));
        StandIn light(hero.position);
        worldContext().clear();
        glEnable(GL_DEPTH_TEST);
        hero.render(&camera, &light);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::vector<glm::u8vec4> pixels;
        for (const glm::vec3& point : points) {
            const glm::ivec2 pixel = camera.pixelOf(point);
            pixels.push_back(worldContext().readPixel(pixel.x, pixel.y));
        }
        return pixels;
    }

    static bool mostlyGreen(const glm::u8vec4& p) { return p.g > 40 && p.g > 2 * p.r && p.g > 2 * p.b; }
    static bool mostlyRed(const glm::u8vec4& p) { return p.r > 40 && p.r > 2 * p.g && p.r > 2 * p.b; }
    static bool empty(const glm::u8vec4& p) { return p.r + p.g + p.b < 10; }

    Player hero{0.0f, 0.0f};
};

// Tops of the trunk (z 4) and of the arms (z 3) as seen from above.
const glm::vec3 TRUNK_TOP(0.0f, 0.0f, 4.0f);
const glm::vec3 LEFT_ARM_TOP(0.0f, 1.25f, 3.0f);
const glm::vec3 RIGHT_ARM_TOP(0.0f, -1.25f, 3.0f);
const glm::vec3 BEHIND_ARM_TOP(-1.25f, 0.0f, 3.0f);

} // namespace

TEST_F(UnitDrawing, TheTrunkStandsBetweenTheArmsAcrossTheHeading)
{
    hero.Unit::update(0.0f);
    const std::vector<glm::u8vec4> facingEast = drawAndRead({TRUNK_TOP, LEFT_ARM_TOP, RIGHT_ARM_TOP, BEHIND_ARM_TOP});
    EXPECT_TRUE(mostlyGreen(facingEast[0]));
    EXPECT_TRUE(mostlyRed(facingEast[1]));
    EXPECT_TRUE(mostlyRed(facingEast[2]));
    EXPECT_TRUE(empty(facingEast[3]));

    // Facing north, arm A hangs on the west side.
    hero.rotation.z = Unit::headingOf(glm::vec3(0.0f, 1.0f, 0.0f), 0.0f);
    hero.Unit::update(0.0f);
    const std::vector<glm::u8vec4> facingNorth = drawAndRead({LEFT_ARM_TOP, BEHIND_ARM_TOP});
    EXPECT_TRUE(empty(facingNorth[0]));
    EXPECT_TRUE(mostlyRed(facingNorth[1]));
}

TEST_F(UnitDrawing, TheStrengthBuffDrawsTheHeroAQuarterLarger)
{
    const glm::vec3 beyondTrunk(1.15f, 0.0f, 4.5f);
    hero.Unit::update(0.0f);
    EXPECT_TRUE(empty(drawAndRead({beyondTrunk})[0]));
    hero.setTemporaryExtraStrength(100.0f, 5.0f);
    EXPECT_TRUE(mostlyGreen(drawAndRead({beyondTrunk})[0]));
}

TEST_F(UnitDrawing, ASwingLiftsTheRightArmOutOfItsHangingPlace)
{
    hero.performMeleeAttackAnimation(nullptr, nullptr);
    for (int frame = 0; frame < 5; ++frame)
        hero.Unit::update(0.05f);
    ASSERT_TRUE(hero.attacking);
    // Near the hand: the lower end of arm B's box, wherever the swing has
    // taken it.
    const glm::vec3 hand(hero.armB->getWorldMatrix() * glm::vec4(0.0f, 0.0f, -0.3f, 1.0f));
    EXPECT_GT(glm::distance(hand, glm::vec3(0.0f, -1.25f, 1.4f)), 1.5f);
    EXPECT_TRUE(mostlyRed(drawAndRead({hand})[0]));

    hero.attacking = false;
    hero.armBSwing = 0.0f;
    hero.Unit::update(0.0f);
    EXPECT_TRUE(empty(drawAndRead({hand})[0]));
}
