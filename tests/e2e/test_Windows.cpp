// The inventory window and the world map: opening and closing them with
// their sounds, what they show, and travelling by the map.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/glm.hpp>

#include "e2e/GameSession.h"

namespace {

constexpr float INVENTORY_HZ = 600.0f;
constexpr float MAP_HZ = 1000.0f;
constexpr float HEARD = 3000.0f;

// Mean per-channel difference of two pictures over a rectangle (y down).
float difference(const Picture& a, const Picture& b, int x, int y, int w, int h)
{
    const glm::vec3 d = glm::abs(a.mean(x, y, w, h) - b.mean(x, y, w, h));
    return (d.x + d.y + d.z) / 3.0f;
}

} // namespace

TEST(Windows, TheInventoryAndTheMapOpenWithTheirSoundsAndTheMapTakesTheHeroAway)
{
    GameSession session(SessionOptions{
        "quiet", {{"sounds/inventory_open_close.wav", INVENTORY_HZ}, {"sounds/map_open_close.wav", MAP_HZ}}, ""});
    ASSERT_TRUE(session.start()) << session.failure();
    const glm::vec2 start = session.enterPlay();
    const int w = session.x().windowWidth();
    const int h = session.x().windowHeight();
    // The inventory window: 1024 x 512 in the middle of the window.
    const int left = w / 2 - 512;
    const int top = h / 2 - 256;

    session.x().moveTo(w / 2, 40);
    const Picture town(session.screenshot("windows-town"));
    session.x().tap("i");
    session.waitFrames(1);
    const Picture inventory(session.screenshot("inventory"));
    ASSERT_FALSE(inventory.empty());
    EXPECT_GT(difference(town, inventory, left + 20, top + 20, 984, 472), 10.0f) << "no inventory window";
    EXPECT_LT(difference(town, inventory, 0, 0, left - 10, h), 4.0f) << "the window spilled over";

    // 'i' closes it again without a sound; 'm' opens the map over all.
    session.x().tap("i");
    session.x().tap("m");
    session.waitFrames(1);
    const Picture map(session.screenshot("worldmap"));
    const Picture mapPicture(session.dir().file("textures/worldmap.png"));
    ASSERT_FALSE(mapPicture.empty());
    int alike = 0;
    int samples = 0;
    for (int gy = 1; gy < 10; ++gy) {
        for (int gx = 1; gx < 10; ++gx, ++samples) {
            const int x = w * gx / 10;
            const int y = h * gy / 10;
            const glm::ivec3 shown = map.pixel(x, y);
            const glm::ivec3 drawn = mapPicture.pixel(x * mapPicture.width() / w, y * mapPicture.height() / h);
            alike += glm::all(glm::lessThan(glm::abs(shown - drawn), glm::ivec3(40)));
        }
    }
    EXPECT_GE(alike, samples * 8 / 10) << "the screen does not show the world map picture";

    // The town's place: nowhere to go.
    session.x().moveToHud(1043, 432);
    session.x().click(1);
    EXPECT_TRUE(session.game().waitForLine("You are already at this level", 30000));
    EXPECT_TRUE(staysPut(session.game(), 2)) << "the hero left the town";

    // The map closed with the click; the town's stairs up open it again.
    glm::vec2 standing;
    ASSERT_TRUE(staysPut(session.game(), 2, &standing));
    const glm::ivec2 mapStairs = session.screenPointOf(glm::vec2(23.0f, 30.0f), standing);
    session.x().moveTo(mapStairs.x, mapStairs.y);
    session.x().click(1);
    session.waitFrames(1);
    EXPECT_FALSE(session.screenshot("worldmap-by-stairs").empty());
    session.x().moveToHud(176, 402);
    session.x().click(1);
    const glm::vec2 cryptStart(10.0f, 15.0f);
    glm::vec2 at;
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return distance(p, cryptStart) < 0.5f; }, &at))
        << "not at the crypt's start; last seen at " << at.x << ", " << at.y << " (came from " << start.x << ", "
        << start.y << ")";
    session.waitFrames(1);
    session.screenshot("crypt-by-map");

    ASSERT_EQ(session.terminate(), 0);
    const std::vector<short> heard = session.recording();
    EXPECT_EQ(toneBursts(heard, session.recordingRate(), INVENTORY_HZ, HEARD), 1) << "opening sounds, closing does not";
    EXPECT_EQ(toneBursts(heard, session.recordingRate(), MAP_HZ, HEARD), 2) << "the key and the stairs each open the map with its sound";
}

TEST(Windows, WithTheInventoryOpenPressesAreIgnoredAndEscapeClosesItAndPauses)
{
    GameSession session(SessionOptions{"quiet", {}, ""});
    ASSERT_TRUE(session.start()) << session.failure();
    const glm::vec2 start = session.enterPlay();
    const int w = session.x().windowWidth();

    session.x().tap("i");
    // Above the window, where a press would otherwise walk north.
    session.x().moveTo(w / 2, 60);
    session.x().press(1);
    session.game().skipLoggedPositions();
    glm::vec2 at;
    EXPECT_TRUE(staysPut(session.game(), 3, &at)) << "the hero walked with the inventory open";
    EXPECT_EQ(at, start);
    session.x().release(1);

    // Escape: its press closes the window, its release pauses the game.
    session.x().tap("Escape");
    session.waitFrames(1);
    const Picture paused(session.screenshot("inventory-escape-pause"));
    EXPECT_TRUE(session.showsMenu(paused)) << "Escape did not pause";

    // A press in the frame that resumes is dropped with the paused frame's
    // other input, so let that frame pass.
    session.x().tap("Escape");
    session.waitFrames(2);
    session.x().press(1);
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return p.y > start.y + 2.0f; }, &at))
        << "after Escape the inventory still held the hero";
    session.x().release(1);
}
