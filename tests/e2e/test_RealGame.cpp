// The game as built, with its own levels: a visit with screenshots at
// 1920 x 1080 and at 1280 x 720.
#include <gtest/gtest.h>

#include "e2e/GameSession.h"

namespace {

// Menu, town, inventory, world map, then the crypt by the map; screenshots
// named '<prefix>-<what>'. Checks what a window size must not change.
void visit(GameSession& session, const std::string& prefix)
{
    session.waitFrames(2);
    EXPECT_FALSE(session.screenshot(prefix + "-menu").empty());
    const glm::vec2 town = session.enterPlay();
    session.waitFrames(1);
    EXPECT_FALSE(session.screenshot(prefix + "-town").empty());

    const glm::ivec2 east = session.fromCentre(200, 50);
    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    glm::vec2 at;
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return distance(p, town) > 2.0f; }, &at))
        << "the hero did not walk in the town";
    session.x().release(1);

    session.x().tap("i");
    session.waitFrames(1);
    EXPECT_FALSE(session.screenshot(prefix + "-inventory").empty());
    session.x().tap("m");
    session.waitFrames(1);
    EXPECT_FALSE(session.screenshot(prefix + "-worldmap").empty());

    // The crypt's place moves with the map picture stretched over the window.
    session.x().moveToHud(176 * session.x().windowWidth() / 1920, 402 * session.x().windowHeight() / 1080);
    session.x().click(1);
    const glm::vec2 cryptStart = levelStart("level1_1");
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return distance(p, cryptStart) < 0.5f; }, &at))
        << "the map did not take the hero to the crypt's start " << cryptStart.x << ", " << cryptStart.y
        << "; last seen at " << at.x << ", " << at.y;
    session.waitFrames(2);
    EXPECT_FALSE(session.screenshot(prefix + "-dungeon").empty());

    session.x().tap("Escape");
    session.clickExit();
    const int status = session.game().waitForExit();
    EXPECT_EQ(cleanEnd(session.game(), status), "") << session.game().output();
}

} // namespace

TEST(RealGame, AVisitThroughTheBuiltLevelsAt1920By1080)
{
    GameSession session;
    ASSERT_TRUE(session.start()) << session.failure();
    EXPECT_NE(session.game().output().find("Creating 1920x1080 window"), std::string::npos);
    visit(session, "1920");
}

TEST(RealGame, AVisitOnA1280By720Screen)
{
    PrivateXServer screen(1280, 720);
    if (screen.display().empty())
        GTEST_SKIP() << "no private 1280 x 720 X server could be started (Xvfb missing?)";
    GameSession session(SessionOptions{"", {}, screen.display()});
    ASSERT_TRUE(session.start()) << session.failure();
    EXPECT_NE(session.game().output().find("Creating 1280x720 window"), std::string::npos);
    EXPECT_EQ(session.x().windowWidth(), 1280);
    EXPECT_EQ(session.x().windowHeight(), 720);
    visit(session, "1280");
}
