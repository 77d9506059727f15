// The real game slowed from outside to a few frames a second, as a busy
// machine drawing in software slows it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "e2e/GameSession.h"
#include "support/ProcessThrottle.h"

namespace {

using std::chrono::milliseconds;

constexpr int FRAMES_PER_POSITION_LINE = 52;
// The wall of the fixture's town runs along the row y = 40; its cells answer
// from y = 39.5, and the hero's wall test reaches 0.75 ahead of its centre.
constexpr float WALL_ROW = 40.0f;
constexpr float HERO_STOP = WALL_ROW - 0.5f - 0.75f;
// Running 10 ms out of every 300: shorter than a frame even on a quiet
// machine, so a frame seldom ends within one run and the game draws about
// three frames a second, fewer when the machine is busy.
const milliseconds RUNNING(10);
const milliseconds STOPPED(290);
constexpr int HOLD_MS = 20000;
// A position line comes every 52 frames: minutes apart on a busy machine.
constexpr int LINE_TIMEOUT_MS = 300000;

class SlowFrames : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.start()) << session.failure();
        session.enterPlay();
    }

    GameSession session{SessionOptions{"thinwall", {}, ""}};
};

} // namespace

TEST_F(SlowFrames, HoldingTheButtonTowardAWallForTwentySecondsNeverTakesTheHeroThroughIt)
{
    glm::vec2 start;
    ASSERT_TRUE(staysPut(session.game(), 2, &start)) << "the hero was still moving";
    ASSERT_LT(start.y, HERO_STOP - 5.0f) << "the hero does not start south of the wall";

    auto throttle = std::make_unique<ProcessThrottle>(session.game().pid(), RUNNING, STOPPED);
    const glm::ivec2 north = session.fromCentre(0, 250);
    session.x().moveTo(north.x, north.y);
    session.x().press(1);
    session.game().skipLoggedPositions();

    // Every position the game logs while the button is held, for twenty
    // seconds of the game's own clock and at least two lines.
    glm::vec2 position;
    ASSERT_TRUE(session.game().nextPosition(&position, LINE_TIMEOUT_MS)) << session.game().output();
    const int firstMs = session.game().lastPositionTime();
    float northmost = position.y;
    int lines = 1;
    while (session.game().lastPositionTime() - firstMs < HOLD_MS || lines < 2) {
        ASSERT_TRUE(session.game().nextPosition(&position, LINE_TIMEOUT_MS)) << session.game().output();
        northmost = std::max(northmost, position.y);
        ++lines;
    }
    const int msPerFrame = (session.game().lastPositionTime() - firstMs) / ((lines - 1) * FRAMES_PER_POSITION_LINE);
    session.x().release(1);
    throttle.reset();

    EXPECT_GE(msPerFrame, 150) << "the game was not slowed to a few frames a second";
    EXPECT_LT(northmost, HERO_STOP + 0.05f) << "the hero got into or through the wall";
    EXPECT_GT(northmost, HERO_STOP - 1.0f) << "the hero did not reach the wall";
    EXPECT_LT(position.y, HERO_STOP + 0.05f) << "the hero ended north of the wall";
}
