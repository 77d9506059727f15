// The start and pause menus and the ways the game ends, played on the real
// binary through X.
#include <gtest/gtest.h>

#include "e2e/GameSession.h"

namespace {

class QuietTown : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.start()) << session.failure(); }

    GameSession session{SessionOptions{"quiet", {}, ""}};
    const glm::vec2 start{30.0f, 30.0f};
};

} // namespace

TEST_F(QuietTown, TheStartMenuIgnoresTheWorldUntilPlayThenTheHeroDropsInAndWalks)
{
    EXPECT_EQ(session.waitFrames(1), start);
    const Picture menu(session.screenshot("menu"));
    ASSERT_FALSE(menu.empty());
    EXPECT_TRUE(session.showsMenu(menu));

    // In the menu a held button moves nobody, and a right click on PLAY is
    // no choice.
    const glm::ivec2 east = session.fromCentre(300, 0);
    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    EXPECT_TRUE(staysPut(session.game(), 3));
    session.x().release(1);
    const glm::ivec2 play = session.playPoint();
    session.x().moveTo(play.x, play.y);
    session.waitFrames(1);
    session.x().click(3);
    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    EXPECT_TRUE(staysPut(session.game(), 3)) << "a right click on PLAY started the game";
    session.x().release(1);

    EXPECT_EQ(session.enterPlay(), start) << "the drop-in keeps the start position";
    const Picture town(session.screenshot("town"));
    ASSERT_FALSE(town.empty());
    EXPECT_FALSE(session.showsMenu(town)) << "the menu is still shown";

    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    glm::vec2 at;
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return p.x > start.x + 3.0f; }, &at))
        << "the hero never walked east; last seen at " << at.x << ", " << at.y;
    session.x().release(1);
}

TEST_F(QuietTown, ExitInTheStartMenuEndsTheGameInOrder)
{
    session.clickExit();
    const int status = session.game().waitForExit();
    EXPECT_EQ(cleanEnd(session.game(), status), "") << session.game().output();
}

TEST_F(QuietTown, EscapePausesTheWorldAndResumesItAndExitInThePauseMenuEndsTheGame)
{
    session.enterPlay();
    const glm::ivec2 east = session.fromCentre(300, 0);
    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    glm::vec2 at;
    ASSERT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return p.x > start.x + 1.0f; }, &at));

    // Only the release of Escape pauses; the held button then moves nothing.
    session.x().keyDown("Escape");
    session.x().keyUp("Escape");
    session.game().skipLoggedPositions();
    session.waitFrames(1);
    glm::vec2 paused;
    EXPECT_TRUE(staysPut(session.game(), 3, &paused)) << "the world went on while paused";
    const Picture pauseMenu(session.screenshot("pause"));
    EXPECT_TRUE(session.showsMenu(pauseMenu));

    session.x().tap("Escape");
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return p.x > paused.x + 1.0f; }, &at))
        << "the held button did not walk on after the pause";
    session.x().release(1);

    session.x().tap("Escape");
    session.clickExit();
    const int status = session.game().waitForExit();
    EXPECT_EQ(cleanEnd(session.game(), status), "") << session.game().output();
}

TEST_F(QuietTown, ResumingWithThePointerOnExitLeavesTheNextClickInPlayAlone)
{
    session.enterPlay();
    session.x().tap("Escape");
    const glm::ivec2 exit = session.exitPoint();
    session.x().moveTo(exit.x, exit.y);
    session.waitFrames(2);
    // Resumed by the key while the menu still saw the pointer on EXIT.
    session.x().tap("Escape");
    session.waitFrames(2);
    session.x().click(1);
    session.waitFrames(2);
    EXPECT_TRUE(session.game().running()) << session.game().output();
    EXPECT_EQ(session.game().output().find("Gameloop stopped"), std::string::npos);
}

TEST_F(QuietTown, SigtermEndsARunningGameInOrder)
{
    session.enterPlay();
    const int status = session.terminate();
    EXPECT_EQ(cleanEnd(session.game(), status), "") << session.game().output();
}
