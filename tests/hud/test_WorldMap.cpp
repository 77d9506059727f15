// Travel by the world map: which clicks send which level, and when it closes.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "core/Util.h"
#include "hud/WorldMap.h"
#include "test_HudDoubles.h"

namespace {

class WorldMapClicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        SCREEN_WIDTH = 1920;
        SCREEN_HEIGHT = 1080;
        map = std::make_unique<WorldMap>();
        map->setActive(true, -1, false);
    }

    std::vector<std::string> levelsSent() const
    {
        std::vector<std::string> levels;
        for (const BusRecorder::Record& record : bus.records) {
            if (record.message == MESSAGE_LOAD_LEVEL)
                levels.push_back(record.text);
        }
        return levels;
    }

    BusRecorder bus;
    std::unique_ptr<WorldMap> map;
};

} // namespace

TEST_F(WorldMapClicks, EachPlaceSendsItsLevelAndClosesTheMap)
{
    const struct {
        int x, y;
        const char* level;
    } places[] = {{176, 402, "levels/level1_1.xml"},
                  {802, 848, "levels/level2_1.xml"},
                  {1666, 697, "levels/level3_1.xml"},
                  {1043, 432, "levels/level0.xml"}};
    for (const auto& place : places) {
        bus.records.clear();
        map->setActive(true, -1, false);
        map->mouseClick(place.x + 10, place.y - 10, MOUSE_BUTTON_LEFT);
        EXPECT_EQ(levelsSent(), std::vector<std::string>{place.level});
        EXPECT_FALSE(map->getActive()) << place.level;
    }
}

TEST_F(WorldMapClicks, APlaceReachesStrictlyLessThan25Pixels)
{
    map->mouseClick(176, 427, MOUSE_BUTTON_LEFT);
    map->mouseClick(201, 402, MOUSE_BUTTON_LEFT);
    EXPECT_TRUE(levelsSent().empty());
    EXPECT_TRUE(map->getActive()) << "a miss leaves the map open";

    map->mouseClick(176, 426, MOUSE_BUTTON_LEFT);
    EXPECT_EQ(levelsSent(), std::vector<std::string>{"levels/level1_1.xml"});
}

TEST_F(WorldMapClicks, RightClicksAndAHiddenMapDoNothing)
{
    WorldMap fresh;
    EXPECT_FALSE(fresh.getActive()) << "the map starts hidden";
    fresh.mouseClick(176, 402, MOUSE_BUTTON_LEFT);
    map->mouseClick(176, 402, MOUSE_BUTTON_OTHER);
    EXPECT_TRUE(bus.records.empty());
    EXPECT_TRUE(map->getActive());
}

TEST_F(WorldMapClicks, TheLevelIsRequestedWhileTheMapIsStillOpen)
{
    bool openAtDelivery = false;
    bus.onMessage = [&](const BusRecorder::Record&) { openAtDelivery = map->getActive(); };
    map->mouseClick(1043, 432, MOUSE_BUTTON_LEFT);
    EXPECT_TRUE(openAtDelivery);
    EXPECT_FALSE(map->getActive());
}

namespace {

// Where the picture draws each place in a 1920 x 1080 window.
struct DrawnPlace {
    float x, y;
    const char* level;
};
const DrawnPlace DRAWN_PLACES[] = {{176.0f, 402.0f, "levels/level1_1.xml"},
                                   {802.0f, 848.0f, "levels/level2_1.xml"},
                                   {1666.0f, 697.0f, "levels/level3_1.xml"},
                                   {1043.0f, 432.0f, "levels/level0.xml"}};

class WorldMapSizes : public WorldMapClicks, public ::testing::WithParamInterface<std::pair<int, int>> {};

} // namespace

TEST_P(WorldMapSizes, EachPlaceAnswersWhereThePictureDrawsItWithinTheScaledRadius)
{
    SCREEN_WIDTH = GetParam().first;
    SCREEN_HEIGHT = GetParam().second;
    WorldMap sized;
    EXPECT_TRUE(sized.inside(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1)) << "the picture fills the window";
    EXPECT_FALSE(sized.inside(SCREEN_WIDTH, SCREEN_HEIGHT / 2));

    const float scale = static_cast<float>(SCREEN_WIDTH) / 1920.0f;
    const float radius = 25.0f * scale;
    for (const DrawnPlace& place : DRAWN_PLACES) {
        const int x = static_cast<int>(std::lround(place.x * scale));
        const float y = place.y * static_cast<float>(SCREEN_HEIGHT) / 1080.0f;
        // Straight below the centre (x rounded by at most half a pixel):
        // one pixel short of the radius, and one pixel beyond it.
        const int inside = static_cast<int>(std::ceil(y - radius + 1.0f));
        const int outside = static_cast<int>(std::floor(y - radius - 1.0f));
        ASSERT_GE(outside, 0) << place.level;
        bus.records.clear();
        sized.setActive(true, -1, false);
        sized.mouseClick(x, outside, MOUSE_BUTTON_LEFT);
        EXPECT_TRUE(levelsSent().empty()) << place.level << " answered beyond its radius";
        sized.mouseClick(x, inside, MOUSE_BUTTON_LEFT);
        EXPECT_EQ(levelsSent(), std::vector<std::string>{place.level}) << "at " << x << ", " << inside;
        EXPECT_FALSE(sized.getActive()) << place.level;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, WorldMapSizes,
                         ::testing::Values(std::make_pair(1920, 1080), std::make_pair(1280, 720),
                                           std::make_pair(1024, 576)),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });
