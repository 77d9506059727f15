// Travel by the world map: which clicks send which level, and when it closes.

#include <gtest/gtest.h>

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

TEST_F(WorldMapClicks, ThePictureFillsASmallerWindowWhileThePlacesStayPut)
{
    SCREEN_WIDTH = 1280;
    SCREEN_HEIGHT = 720;
    WorldMap small;
    small.setActive(true, -1, false);
    EXPECT_TRUE(small.inside(1279, 719));
    EXPECT_FALSE(small.inside(1280, 500));
    small.mouseClick(1043, 432, MOUSE_BUTTON_LEFT);
    EXPECT_EQ(levelsSent(), std::vector<std::string>{"levels/level0.xml"});
}
