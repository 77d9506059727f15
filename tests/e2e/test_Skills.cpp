// The five skills on the keys 1 to 5 and the melee swing on the right
// button, heard through the wave recording: every sound of the game is
// silent but the marked ones, each a pure tone of its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/GameSession.h"

namespace {

// Well apart, so that one tone never shows in another's bin.
constexpr float TELEPORT_HZ = 500.0f;
constexpr float REGEN_HZ = 800.0f;
constexpr float BERSERKER_HZ = 1100.0f;
constexpr float BLADESTORM_HZ = 1400.0f;
constexpr float FIREBALL_HZ = 1700.0f;
constexpr float NO_POWER_HZ = 2000.0f;
constexpr float SWING_HZ = 2300.0f;
constexpr float UNUSED_HZ = 2600.0f;
// The tones are written at 12000; a played one comes out near that.
constexpr float HEARD = 3000.0f;
constexpr float SILENT = 300.0f;
// Swings to drain the last power, a round at a time.
constexpr int SWINGS_PER_ROUND = 60;
constexpr int MAX_SWING_ROUNDS = 4;

SessionOptions markedSkills()
{
    return SessionOptions{"quiet",
                          {{"sounds/teleport.wav", TELEPORT_HZ},
                           {"sounds/regen.wav", REGEN_HZ},
                           {"sounds/berserker.wav", BERSERKER_HZ},
                           {"sounds/attack_3.wav", BLADESTORM_HZ},
                           {"sounds/projectile.wav", FIREBALL_HZ},
                           {"sounds/no_power.wav", NO_POWER_HZ},
                           {"sounds/attack_1.wav", SWING_HZ}},
                          ""};
}

} // namespace

TEST(Skills, EachHotKeyFiresItsSkillAndTeleportPutsTheHeroUnderTheCursor)
{
    GameSession session(markedSkills());
    ASSERT_TRUE(session.start()) << session.failure();
    const glm::vec2 start = session.enterPlay();
    const glm::ivec2 cursor = session.fromCentre(250, 120);
    session.x().moveTo(cursor.x, cursor.y);

    // Regeneration first (it costs nothing and refills), then the dear
    // ones, teleport last: each needs more power than it costs.
    for (const char* key : {"2", "5", "4", "3"}) {
        session.x().tap(key);
        EXPECT_TRUE(staysPut(session.game(), 2)) << "key " << key << " moved the hero";
    }
    session.x().tap("1");
    glm::vec2 landed;
    ASSERT_TRUE(session.game().waitForPosition([&](glm::vec2 p) { return distance(p, start) > 2.0f; }, &landed))
        << "teleport did not move the hero";
    const glm::ivec2 seen = session.screenPointOf(landed, start);
    EXPECT_NEAR(seen.x, cursor.x, 12) << "landed at " << landed.x << ", " << landed.y;
    EXPECT_NEAR(seen.y, cursor.y, 12) << "landed at " << landed.x << ", " << landed.y;

    ASSERT_EQ(session.terminate(), 0);
    const std::vector<short> heard = session.recording();
    ASSERT_FALSE(heard.empty()) << "nothing was recorded";
    const int rate = session.recordingRate();
    EXPECT_GT(toneAmplitude(heard, rate, TELEPORT_HZ), HEARD) << "teleport";
    EXPECT_GT(toneAmplitude(heard, rate, REGEN_HZ), HEARD) << "regeneration";
    EXPECT_GT(toneAmplitude(heard, rate, BERSERKER_HZ), HEARD) << "berserker";
    EXPECT_GT(toneAmplitude(heard, rate, BLADESTORM_HZ), HEARD) << "bladestorm";
    EXPECT_GT(toneAmplitude(heard, rate, FIREBALL_HZ), HEARD) << "fireball";
    EXPECT_LT(toneAmplitude(heard, rate, NO_POWER_HZ), SILENT) << "a skill was refused";
    EXPECT_LT(toneAmplitude(heard, rate, UNUSED_HZ), SILENT) << "the recording is not silent between the tones";
}

TEST(Skills, ASwingWithPowerLeftSoundsTheSwingAndOneWithoutSoundsTheWant)
{
    GameSession session(markedSkills());
    ASSERT_TRUE(session.start()) << session.failure();
    session.enterPlay();
    const glm::ivec2 east = session.fromCentre(300, 0);
    session.x().moveTo(east.x, east.y);

    // Full power: swings only.
    session.x().click(3);
    session.waitFrames(2);
    const std::vector<short> before = session.recording();
    EXPECT_GT(toneAmplitude(before, session.recordingRate(), SWING_HZ), HEARD) << "no swing sound";
    EXPECT_LT(toneAmplitude(before, session.recordingRate(), NO_POWER_HZ), SILENT) << "a swing with power was refused";

    // Bladestorm takes 20 a time while more than 20 is left; the swings
    // then take the last points, one each, until 5 or less is left. Power
    // comes back at 1 a second, so the swings come fast, yet one a frame.
    for (int i = 0; i < 4; ++i) {
        session.x().tap("4");
        session.waitFrames(1);
    }
    // A busy machine draws slower frames, and power comes back between
    // them: swing on, a round at a time, until the want is heard.
    const auto wantHeard = [&] {
        return toneAmplitude(session.recording(), session.recordingRate(), NO_POWER_HZ) > HEARD;
    };
    bool heard = false;
    for (int round = 0; round < MAX_SWING_ROUNDS && !heard; ++round) {
        const int gapMs = std::max(60, session.frameMs() * 3 / 2);
        session.x().clickRepeatedly(3, SWINGS_PER_ROUND, gapMs);
        session.waitFrames(2);
        heard = wantHeard();
    }
    ASSERT_EQ(session.terminate(), 0);
    EXPECT_TRUE(heard || wantHeard()) << "a swing without power did not sound the want of it";
}
