#include <gtest/gtest.h>

#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>

#include "core/AttributeValidator.h"
#include "core/Log.h"
#include "core/Util.h"
#include "support/LogCapture.h"

namespace {

// The matrices the follow camera uses for a unit standing at 'target'.
struct CameraMatrices {
    glm::mat4 projection;
    glm::mat4 view;
};

CameraMatrices cameraLookingAt(const glm::vec3& target, float distance)
{
    const float aspect = static_cast<float>(SCREEN_WIDTH) / static_cast<float>(SCREEN_HEIGHT);
    const glm::vec3 eye(target.x, target.y - 6.0f, target.z + distance);
    return {glm::perspective(glm::half_pi<float>(), aspect, 0.01f, 100.0f),
            glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f))};
}

} // namespace

TEST(Timestamp, FormatsMinutesSecondsAndMilliseconds)
{
    EXPECT_STREQ(get_timestamp_string_at(0), "000:00:000");
    EXPECT_STREQ(get_timestamp_string_at(61234), "001:01:234");
    EXPECT_STREQ(get_timestamp_string_at(59999), "000:59:999");
    EXPECT_STREQ(get_timestamp_string_at(1000u * 60000u + 5), "1000:00:005");
    EXPECT_STREQ(get_timestamp_string_at(0xFFFFFFFFu), "71582:47:295");
}

TEST(GameClock, FollowsSdlUntilATestSetsIt)
{
    set_test_ticks(123456);
    EXPECT_EQ(get_ticks(), 123456u);
    set_test_ticks(5);
    EXPECT_EQ(get_ticks(), 5u);
    clear_test_ticks();
    EXPECT_LT(get_ticks(), 100000u) << "back on SDL's clock, which started with this process";
}

TEST(LogLine, TagsAreRightAlignedInNineColumns)
{
    LogCapture log;
    log_info("Starting %s", "application");
    log_error("No input files");
    log_warning("Unknown message %d", 9);
    const std::string& text = log.text();
    EXPECT_NE(text.find("   [INFO] ["), std::string::npos);
    EXPECT_NE(text.find("] Starting application\n"), std::string::npos);
    EXPECT_NE(text.find("  [ERROR] ["), std::string::npos);
    EXPECT_NE(text.find("[WARNING] ["), std::string::npos);
    // "   [INFO] [000:00:000] " is 23 characters before the message.
    EXPECT_EQ(text.find("Starting application"), 23u);
}

TEST(WindowSize, PicksTheLargestSizeThatFits)
{
    const int saved[2] = {SCREEN_WIDTH, SCREEN_HEIGHT};
    struct Case {
        int displayW, displayH, expectedW, expectedH;
    };
    for (const Case& c : {Case{2560, 1440, 1920, 1080}, Case{1920, 1080, 1920, 1080}, Case{1920, 1079, 1280, 720},
                          Case{1280, 720, 1280, 720}, Case{1280, 719, 1024, 576}, Case{800, 600, 1024, 576}}) {
        set_window_dimension(c.displayW, c.displayH);
        EXPECT_EQ(SCREEN_WIDTH, c.expectedW) << c.displayW << "x" << c.displayH;
        EXPECT_EQ(SCREEN_HEIGHT, c.expectedH) << c.displayW << "x" << c.displayH;
    }
    SCREEN_WIDTH = saved[0];
    SCREEN_HEIGHT = saved[1];
}

TEST(Experience, LevelsBeginAboveTheirTableEntry)
{
    const int table[15] = {0,     1000,   3000,   7000,   12000,  20000,  30000, 60000,
                           90000, 130000, 200000, 300000, 400000, 600000, 999999};
    for (int level = 1; level <= 15; ++level) {
        EXPECT_EQ(getExpNeededForLevel(level), table[level - 1]) << level;
        if (level > 1) {
            EXPECT_EQ(getLevelAtExp(table[level - 1]), level - 1);
            EXPECT_EQ(getLevelAtExp(table[level - 1] + 1), level);
        }
    }
    EXPECT_EQ(getLevelAtExp(1), 1);
    EXPECT_EQ(getLevelAtExp(50000000), 15);
}

TEST(Experience, KillRewardsMatchTheTable)
{
    struct Case {
        int player, enemy, exp;
    };
    for (const Case& c : {Case{1, 1, 200}, Case{1, 2, 428}, Case{1, 3, 664}, Case{3, 1, 100}, Case{10, 10, 1100},
                          Case{15, 15, 1600}, Case{10, 14, 2071}, Case{1, 20, 2500}, Case{5, 0, 1}})
        EXPECT_EQ(getKillExp(c.player, c.enemy), c.exp) << c.player << " vs " << c.enemy;
}

TEST(Experience, KillRewardsStayBetweenOneAnd2500)
{
    for (int player = 1; player <= 15; ++player) {
        for (int enemy = 0; enemy <= 30; ++enemy) {
            const int exp = getKillExp(player, enemy);
            EXPECT_GE(exp, 1);
            EXPECT_LE(exp, 2500);
        }
    }
}

TEST(Projection, TheFollowedPointIsAtTheWindowCentreAndBack)
{
    const int saved[2] = {SCREEN_WIDTH, SCREEN_HEIGHT};
    for (const glm::ivec2& size : {glm::ivec2(1920, 1080), glm::ivec2(1280, 720), glm::ivec2(1024, 576)}) {
        SCREEN_WIDTH = size.x;
        SCREEN_HEIGHT = size.y;
        const glm::vec3 target(37.0f, 112.0f, 0.0f);
        const CameraMatrices camera = cameraLookingAt(target, 12.0f);

        const glm::vec2 pixel = world_to_screen(target, camera.projection, camera.view);
        EXPECT_NEAR(pixel.x, size.x / 2.0f, 0.01f);
        EXPECT_NEAR(pixel.y, size.y / 2.0f, 0.01f);

        const glm::vec3 ground = screen_to_world(glm::vec2(size) / 2.0f, camera.projection, camera.view);
        EXPECT_NEAR(ground.x, target.x, 0.001f);
        EXPECT_NEAR(ground.y, target.y, 0.001f);
        EXPECT_EQ(ground.z, 0.0f);
    }
    SCREEN_WIDTH = saved[0];
    SCREEN_HEIGHT = saved[1];
}

TEST(Projection, ScreenToWorldSeesTheMirroredPixelSoCallersFlipBothAxes)
{
    SCREEN_WIDTH = 1920;
    SCREEN_HEIGHT = 1080;
    const CameraMatrices camera = cameraLookingAt(glm::vec3(50.0f, 50.0f, 0.0f), 12.0f);
    // A ground point up and to the right of the player...
    const glm::vec3 world(53.0f, 54.0f, 0.0f);
    const glm::vec2 pixel = world_to_screen(world, camera.projection, camera.view);
    EXPECT_GT(pixel.x, 960.0f);
    EXPECT_LT(pixel.y, 540.0f) << "window y grows downwards";
    // ...is found again from the mouse position the way the frame loop asks.
    const glm::vec2 mirrored(SCREEN_WIDTH - pixel.x, SCREEN_HEIGHT - pixel.y);
    const glm::vec3 back = screen_to_world(mirrored, camera.projection, camera.view);
    EXPECT_NEAR(back.x, world.x, 0.01f);
    EXPECT_NEAR(back.y, world.y, 0.01f);
}

TEST(RandomDirection, HasUnitLengthAndDrawsTwelveValues)
{
    std::srand(3);
    for (int i = 0; i < 100; ++i)
        EXPECT_NEAR(glm::length(get_random_normalized_vector()), 1.0f, 1e-5f);
    std::srand(3);
    get_random_normalized_vector();
    const int next = std::rand();
    std::srand(3);
    for (int i = 0; i < 12; ++i)
        std::rand();
    EXPECT_EQ(std::rand(), next);
}

TEST(AttributeValidator, ReportsWhatIsStillMissingInAddOrder)
{
    AttributeValidator validator;
    validator.add("width");
    validator.add("height");
    validator.add("width");
    validator.add("next");
    validator.check("width");
    validator.check("unknown");
    ASSERT_EQ(validator.getNumMissingAttributes(), 3);
    EXPECT_EQ(validator.getMissingAttribute(0), "height");
    EXPECT_EQ(validator.getMissingAttribute(1), "width") << "a name added twice needs two checks";
    EXPECT_EQ(validator.getMissingAttribute(2), "next");
    EXPECT_EQ(validator.getMissingAttribute(-1), "unknown");
    EXPECT_EQ(validator.getMissingAttribute(3), "unknown");
    validator.check("width");
    validator.check("Next");
    EXPECT_EQ(validator.getNumMissingAttributes(), 2) << "names are case-sensitive";
    validator.clear();
    EXPECT_EQ(validator.getNumMissingAttributes(), 0);
}
