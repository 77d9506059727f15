#include <gtest/gtest.h>

#include <cstdlib>

#include "core/Util.h"
#include "game/Npc.h"
#include "render/MatrixOwner.h"
#include "render/Text.h"
#include "support/LogCapture.h"
#include "test_UnitDoubles.h"

namespace {

constexpr unsigned START = 100000;

// Draws nothing: with identity matrices a world point's x and y are its
// normalised device coordinates.
class FlatCamera : public MatrixOwner {
public:
    glm::mat4 getViewMatrix() override { return glm::mat4(1.0f); }
    const glm::mat4& getPerspectiveMatrix() override { return identity; }
    const glm::mat4& getOrthogonalMatrix() override { return identity; }
    const glm::vec3& getPosition() override { return eye; }

private:
    glm::mat4 identity{1.0f};
    glm::vec3 eye{0.0f};
};

// The townsfolk's clock stands still unless the test moves it.
class NpcTest : public ::testing::Test {
protected:
    void SetUp() override { set_test_ticks(START); }
    void TearDown() override { clear_test_ticks(); }

    // Runs frames of 0.1 s until the NPC leaves 'state'; the frame count.
    static int framesWhile(Npc& npc, int state, FakeWorld& world)
    {
        int frames = 0;
        while (npc.state == state && frames < 1000) {
            npc.update(0.1f, &world);
            ++frames;
        }
        return frames;
    }
};

} // namespace

TEST_F(NpcTest, EachKindHasItsNameTexturesAndLabel)
{
    Npc commoner(1.0f, 2.0f, NPC_TYPE_COMMONER);
    EXPECT_EQ(commoner.getName(), "Commoner");
    EXPECT_EQ(commoner.bodyTexturePath, "textures/units/commoner.png");
    EXPECT_EQ(commoner.armTexturePath, "textures/units/commoner_arm.png");
    EXPECT_STREQ(commoner.nameText->getText(), "Commoner");
    EXPECT_FLOAT_EQ(commoner.labelWidth, Text::dimensions("Commoner").x * 0.3f);
    EXPECT_EQ(commoner.position, glm::vec3(1.0f, 2.0f, 1.75f));
    EXPECT_EQ(commoner.level, 10);

    Npc merchant(1.0f, 2.0f, NPC_TYPE_MERCHANT);
    EXPECT_EQ(merchant.getName(), "Merchant");
    EXPECT_EQ(merchant.armTexturePath, "textures/units/merchant_arm.png");
}

TEST_F(NpcTest, AnUnknownKindIsWarnedAboutAndBuiltWithoutTextures)
{
    for (int kind : {2, -1}) {
        LogCapture log;
        Npc stranger(0.0f, 0.0f, static_cast<npc_type>(kind));
        EXPECT_EQ(log.count("[WARNING]"), 1);
        EXPECT_TRUE(log.contains("Invalid NPC type"));
        EXPECT_EQ(stranger.getName(), "Unknown");
        EXPECT_TRUE(stranger.bodyTexturePath.empty());
        EXPECT_STREQ(stranger.nameText->getText(), "Unknown");
    }
}

TEST_F(NpcTest, ANewNpcStandsStillForTwoToSevenSeconds)
{
    std::srand(5);
    for (int i = 0; i < 40; ++i) {
        Npc npc(0.0f, 0.0f, NPC_TYPE_COMMONER);
        EXPECT_GE(npc.nextWanderTime, START + 2000);
        EXPECT_LE(npc.nextWanderTime, START + 6999);
        EXPECT_NEAR(glm::length(npc.direction), 1.0f, 1e-5f);
    }

    Npc npc(4.0f, 4.0f, NPC_TYPE_COMMONER);
    FakeWorld world;
    set_test_ticks(npc.nextWanderTime);
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_IDLE);
    EXPECT_TRUE(world.sightQueries.empty());
    EXPECT_EQ(npc.position, glm::vec3(4.0f, 4.0f, 1.75f));

    set_test_ticks(npc.nextWanderTime + 1);
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_WANDER);
    EXPECT_EQ(npc.home, glm::vec3(4.0f, 4.0f, 1.75f));
    ASSERT_EQ(world.sightQueries.size(), 1u);
    EXPECT_EQ(npc.wanderTarget, world.sightQueries[0].to);
}

TEST_F(NpcTest, AWalkAwayEndsInAPauseAndTheWalkHomeInIdleness)
{
    Npc npc(0.0f, 0.0f, NPC_TYPE_MERCHANT);
    FakeWorld world;
    npc.state = NPC_STATE_WANDER;
    npc.home = npc.position;
    npc.wanderTarget = glm::vec3(0.0f, 2.0f, 1.75f);

    // Four units a second: 0.4 a frame, facing the goal.
    npc.update(0.1f, &world);
    EXPECT_NEAR(npc.position.y, 0.4f, 1e-5f);
    EXPECT_NEAR(npc.rotation.z, 3.14159265f / 2.0f, 1e-5f);
    framesWhile(npc, NPC_STATE_WANDER, world);
    EXPECT_EQ(npc.state, NPC_STATE_WANDER_PAUSE);
    EXPECT_EQ(npc.wanderTarget, npc.home);
    EXPECT_GE(npc.pauseUntil, START + 1000);
    EXPECT_LE(npc.pauseUntil, START + 5999);

    // The pause holds it in place until its tick has passed.
    const glm::vec3 paused = npc.position;
    set_test_ticks(npc.pauseUntil);
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_WANDER_PAUSE);
    EXPECT_EQ(npc.position, paused);

    const unsigned later = npc.pauseUntil + 1;
    set_test_ticks(later);
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_WANDER);
    framesWhile(npc, NPC_STATE_WANDER, world);
    EXPECT_EQ(npc.state, NPC_STATE_IDLE);
    EXPECT_LT(glm::distance(npc.position, npc.home), 0.5f);
    EXPECT_GE(npc.nextWanderTime, later + 2000);
    EXPECT_LE(npc.nextWanderTime, later + 11999);
    // Heading south-ish on the way home.
    EXPECT_NEAR(npc.rotation.z, 1.5f * 3.14159265f, 1e-3f);
}

TEST_F(NpcTest, ArrivalIsJudgedBeforeTheStepWhichIsStillTaken)
{
    Npc npc(0.0f, 0.0f, NPC_TYPE_COMMONER);
    FakeWorld world;
    npc.state = NPC_STATE_WANDER;
    npc.home = glm::vec3(-5.0f, 0.0f, 1.75f);
    npc.wanderTarget = npc.position + glm::vec3(0.05f, 0.0f, 0.0f);
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_WANDER_PAUSE);
    // 0.4 along the way, well past the goal 0.05 ahead.
    EXPECT_NEAR(npc.position.x, 0.4f, 1e-5f);
}

TEST_F(NpcTest, StandingExactlyOnTheGoalArrivesWithoutLosingItsPlace)
{
    Npc npc(3.0f, 3.0f, NPC_TYPE_COMMONER);
    FakeWorld world;
    npc.state = NPC_STATE_WANDER;
    npc.home = npc.position;
    npc.wanderTarget = npc.position;
    const float heading = npc.rotation.z;
    npc.update(0.1f, &world);
    EXPECT_EQ(npc.state, NPC_STATE_IDLE);
    EXPECT_EQ(npc.position, glm::vec3(3.0f, 3.0f, 1.75f));
    // No direction to face either: the heading stays.
    EXPECT_FLOAT_EQ(npc.rotation.z, heading);
}

TEST_F(NpcTest, TheLabelIsCentredEightyPixelsAboveTheScreenPosition)
{
    const int savedWidth = SCREEN_WIDTH;
    const int savedHeight = SCREEN_HEIGHT;
    SCREEN_WIDTH = 1000;
    SCREEN_HEIGHT = 500;
    Npc npc(0.0f, 0.0f, NPC_TYPE_MERCHANT);
    npc.position = glm::vec3(0.5f, -0.5f, 0.0f);
    FlatCamera camera;
    npc.renderHealthBar(&camera);
    // Window pixel (750, 375) counted from the top: 125 from the bottom.
    EXPECT_FLOAT_EQ(npc.nameText->getX(), 750.0f - 0.5f * npc.labelWidth);
    EXPECT_FLOAT_EQ(npc.nameText->getY(), 500.0f - 375.0f + 80.0f);
    SCREEN_WIDTH = savedWidth;
    SCREEN_HEIGHT = savedHeight;
}
