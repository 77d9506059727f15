// Moving the hero with the mouse and holding it with Space.
#include <gtest/gtest.h>

#include <cmath>

#include "e2e/GameSession.h"

namespace {

class Walking : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.start()) << session.failure();
        session.enterPlay();
    }

    GameSession session{SessionOptions{"quiet", {}, ""}};
};

} // namespace

TEST_F(Walking, TheHeroWalksTowardWhereTheButtonIsHeld)
{
    struct Heading {
        const char* name;
        glm::ivec2 offset;  // pixels from the centre, y up
        float walk;         // units to walk at least
    };
    // A press on stairs takes them, and the quiet town's lie seven cells
    // north and west of the start: the first walk takes the hero far east of
    // them, and every press lands within two cells of the hero. However far
    // a walk runs on between two logged positions (52 frames), no press
    // comes near the stairs.
    const Heading headings[] = {
        {"east", {60, 0}, 35.0f}, {"north", {0, 60}, 3.0f}, {"west", {-60, 0}, 3.0f}, {"south-west", {-45, -45}, 3.0f}};
    for (const Heading& heading : headings) {
        SCOPED_TRACE(heading.name);
        glm::vec2 from;
        ASSERT_TRUE(staysPut(session.game(), 2, &from)) << "the hero was still moving";
        const glm::ivec2 target = session.fromCentre(heading.offset.x, heading.offset.y);
        session.x().moveTo(target.x, target.y);
        session.x().press(1);
        glm::vec2 to;
        EXPECT_TRUE(
            session.game().waitForPosition([&](glm::vec2 p) { return distance(p, from) > heading.walk; }, &to));
        session.x().release(1);

        const glm::vec2 wanted = glm::vec2(heading.offset) / std::hypot(float(heading.offset.x), float(heading.offset.y));
        const glm::vec2 walked = (to - from) / distance(to, from);
        EXPECT_GT(walked.x * wanted.x + walked.y * wanted.y, 0.95f)
            << "walked from " << from.x << ", " << from.y << " to " << to.x << ", " << to.y;
    }
}

TEST_F(Walking, SpaceHoldsTheHeroInPlaceWhileTheButtonIsHeld)
{
    glm::vec2 from;
    ASSERT_TRUE(staysPut(session.game(), 2, &from));
    session.x().keyDown("space");
    const glm::ivec2 east = session.fromCentre(300, 0);
    session.x().moveTo(east.x, east.y);
    session.x().press(1);
    session.game().skipLoggedPositions();
    glm::vec2 held;
    EXPECT_TRUE(staysPut(session.game(), 3, &held)) << "the hero walked with Space held";
    EXPECT_EQ(held, from);

    session.x().keyUp("space");
    glm::vec2 to;
    EXPECT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return p.x > from.x + 2.0f; }, &to))
        << "the hero did not walk on once Space was let go";
    session.x().release(1);
}

TEST_F(Walking, AWallStopsTheHero)
{
    // The town's north wall is the row y = 59, 29 cells north of the start.
    const glm::ivec2 north = session.fromCentre(0, 250);
    session.x().moveTo(north.x, north.y);
    session.x().press(1);
    glm::vec2 stopped;
    bool still = false;
    for (int tries = 0; tries < 30 && !still; ++tries)
        still = staysPut(session.game(), 2, &stopped);
    session.x().release(1);
    ASSERT_TRUE(still) << "the hero never stopped";
    EXPECT_GT(stopped.y, 55.0f) << "stopped short of the wall";
    EXPECT_LT(stopped.y, 59.0f) << "walked into the wall";
}
