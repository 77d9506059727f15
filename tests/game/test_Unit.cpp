#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "game/Unit.h"
#include "render/TexturedCuboid.h"
#include "test_UnitDoubles.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2.0f * PI;

// A plain level-1 unit the size of the player, standing at (10, 20).
Unit makeUnit()
{
    return Unit(10.0f, 20.0f, 1.0f, 2.0f, 2.0f, 4.0f, 1, 10, 100, 100, 3);
}

} // namespace

TEST(UnitHeading, FacesEachQuadrantCounterClockwiseFromPlusX)
{
    EXPECT_NEAR(Unit::headingOf(glm::vec3(1, 0, 0), 9.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(1, 1, 0), 9.0f), PI / 4.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(0, 3, 0), 9.0f), PI / 2.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(-1, 1, 0), 9.0f), 3.0f * PI / 4.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(-2, 0, 0), 9.0f), PI, 1e-6f);
}

TEST(UnitHeading, ADirectionWithNegativeYGivesTheLowerHalfOfTheCircle)
{
    EXPECT_NEAR(Unit::headingOf(glm::vec3(-1, -1, 0), 9.0f), 5.0f * PI / 4.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(0, -1, 0), 9.0f), 3.0f * PI / 2.0f, 1e-6f);
    EXPECT_NEAR(Unit::headingOf(glm::vec3(1, -1, 0), 9.0f), 7.0f * PI / 4.0f, 1e-6f);
    // Just below the x axis is almost a full turn, never negative.
    const float nearlyFull = Unit::headingOf(glm::vec3(1, -1e-4f, 0), 9.0f);
    EXPECT_GT(nearlyFull, TWO_PI - 1e-3f);
    EXPECT_LE(nearlyFull, TWO_PI);
}

TEST(UnitHeading, TheLengthIncludesZAndAZeroDirectionKeepsThePreviousHeading)
{
    // acos(1 / sqrt(2)): the vertical part shortens the cosine.
    EXPECT_NEAR(Unit::headingOf(glm::vec3(1, 0, 1), 9.0f), PI / 4.0f, 1e-6f);
    EXPECT_FLOAT_EQ(Unit::headingOf(glm::vec3(0, 0, 0), 1.25f), 1.25f);
    // Straight up has no heading of its own either: acos(0).
    EXPECT_NEAR(Unit::headingOf(glm::vec3(0, 0, 5), 1.25f), PI / 2.0f, 1e-6f);
}

TEST(UnitDamage, LeavingOneTenthOrLessKillsAndNeverGoesNegative)
{
    Unit unit = makeUnit();
    EXPECT_FALSE(unit.addDamage(30.0f));
    EXPECT_FLOAT_EQ(unit.health, 70.0f);

    unit.health = 0.1f;
    EXPECT_TRUE(unit.addDamage(0.0f));
    EXPECT_FLOAT_EQ(unit.health, 0.0f);

    unit.health = 0.11f;
    EXPECT_FALSE(unit.addDamage(0.0f));
    EXPECT_FLOAT_EQ(unit.health, 0.11f);

    unit.health = 50.0f;
    EXPECT_TRUE(unit.addDamage(500.0f));
    EXPECT_FLOAT_EQ(unit.health, 0.0f);
}

TEST(UnitRegeneration, HealsTwoPerLevelAndSecondAndMayOvershootOnce)
{
    Unit unit = makeUnit();
    unit.level = 3;
    unit.health = 50.0f;
    unit.update(0.5f);
    // The constructor's 3 per second is replaced at once.
    EXPECT_FLOAT_EQ(unit.healthRegen, 6.0f);
    EXPECT_FLOAT_EQ(unit.health, 53.0f);

    unit.health = 99.5f;
    unit.update(0.5f);
    EXPECT_FLOAT_EQ(unit.health, 102.5f);
    unit.update(0.5f);
    EXPECT_FLOAT_EQ(unit.health, 102.5f);
}

TEST(UnitRegeneration, ATemporaryRateRunsForItsSecondsThenFallsBack)
{
    Unit unit = makeUnit();
    unit.health = 10.0f;
    unit.setTemporaryHealthRegenRate(8.0f, 1.0f);

    unit.update(0.5f);
    EXPECT_FLOAT_EQ(unit.health, 14.0f);
    unit.update(0.5f);
    EXPECT_FLOAT_EQ(unit.health, 18.0f);
    EXPECT_FLOAT_EQ(unit.tempRegenTime, 0.0f);
    // First frame after it ran out: back to 2 per level.
    unit.update(0.5f);
    EXPECT_FLOAT_EQ(unit.healthRegen, 2.0f);
    EXPECT_FLOAT_EQ(unit.health, 19.0f);
}

TEST(UnitHover, AHoveringUnitBobsAroundItsBaseWhateverZWasWritten)
{
    Unit unit = makeUnit();
    unit.position.z = 50.0f;
    unit.update(0.1f);
    EXPECT_FLOAT_EQ(unit.position.z, 50.0f);

    unit.hovering = true;
    unit.position.z = 50.0f;
    unit.update(0.1f);
    EXPECT_FLOAT_EQ(unit.hoverPhase, 0.5f);
    EXPECT_FLOAT_EQ(unit.position.z, 3.0f + 0.5f * std::sin(0.5f));
    unit.update(0.2f);
    EXPECT_FLOAT_EQ(unit.position.z, 3.0f + 0.5f * std::sin(1.5f));
}

TEST(UnitSwing, TheHitLandsOnceAtTheEndOfTheSwingWithItsUserData)
{
    Unit unit = makeUnit();
    SwingWatcher watcher;
    int target = 0;
    unit.performMeleeAttackAnimation(&watcher, &target);

    // 12 radians per second: at 0.1 s frames the sixth frame passes 2 pi.
    for (int frame = 0; frame < 5; ++frame)
        unit.update(0.1f);
    EXPECT_TRUE(watcher.notices.empty());
    EXPECT_TRUE(unit.attacking);

    unit.update(0.1f);
    ASSERT_EQ(watcher.notices.size(), 1u);
    EXPECT_EQ(watcher.notices[0], &target);
    EXPECT_FALSE(unit.attacking);
    EXPECT_FLOAT_EQ(unit.attackAngle, 0.0f);
    // The arm keeps the last drawn angle, just under a full turn.
    EXPECT_NEAR(unit.armBSwing, 6.0f, 1e-5f);

    unit.update(0.1f);
    EXPECT_EQ(watcher.notices.size(), 1u);
}

TEST(UnitSwing, StartingAgainDuringASwingContinuesItWithTheNewListener)
{
    Unit unit = makeUnit();
    SwingWatcher first;
    SwingWatcher second;
    int firstData = 1;
    int secondData = 2;

    unit.performMeleeAttackAnimation(&first, &firstData);
    unit.update(0.1f);
    unit.update(0.1f);
    unit.performMeleeAttackAnimation(&second, &secondData);
    EXPECT_NEAR(unit.attackAngle, 2.4f, 1e-5f);
    for (int frame = 0; frame < 4; ++frame)
        unit.update(0.1f);

    EXPECT_TRUE(first.notices.empty());
    ASSERT_EQ(second.notices.size(), 1u);
    EXPECT_EQ(second.notices[0], &secondData);
}

TEST(UnitSwing, AskingEveryFrameGivesOneNoticePerCompletedSwing)
{
    Unit unit = makeUnit();
    SwingWatcher watcher;
    // Six frames a swing; the next starts the frame after one ended.
    for (int frame = 0; frame < 36; ++frame) {
        unit.performMeleeAttackAnimation(&watcher, nullptr);
        unit.update(0.1f);
    }
    EXPECT_EQ(watcher.notices.size(), 6u);

    // Without a listener the swing still ends.
    Unit loner = makeUnit();
    loner.performMeleeAttackAnimation(nullptr, nullptr);
    for (int frame = 0; frame < 6; ++frame)
        loner.update(0.1f);
    EXPECT_FALSE(loner.attacking);
}

TEST(UnitPose, ArmsHangBesideTheBodyAndTheDrawnSwingTrailsAFrame)
{
    Unit unit = makeUnit();
    unit.createBoxes();
    unit.rotation.z = 0.0f;
    unit.armAPose = -0.5f;
    unit.update(0.0f);

    EXPECT_EQ(unit.body->position, unit.position);
    // 0.625 of the width to the left (arm A) and right (arm B) of +x.
    EXPECT_NEAR(glm::distance(unit.armA->position, glm::vec3(10.0f, 21.25f, 2.0f)), 0.0f, 1e-5f);
    EXPECT_NEAR(glm::distance(unit.armB->position, glm::vec3(10.0f, 18.75f, 2.0f)), 0.0f, 1e-5f);
    EXPECT_EQ(unit.armA->pivot, glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_FLOAT_EQ(unit.armA->rotation.y, -0.5f);

    unit.rotation.z = PI / 2.0f;
    unit.performMeleeAttackAnimation(nullptr, nullptr);
    unit.update(0.1f);
    EXPECT_NEAR(unit.armA->position.x, 10.0f - 1.25f, 1e-5f);
    EXPECT_FLOAT_EQ(unit.armB->rotation.z, PI / 2.0f);
    // The box shows what armBSwing held before the frame: two frames behind
    // the swing's own angle.
    const float drawnAfter[] = {0.0f, 0.0f, 1.2f, 2.4f};
    for (float drawn : drawnAfter) {
        EXPECT_NEAR(unit.armB->rotation.y, drawn, 1e-5f);
        unit.update(0.1f);
    }
}

TEST(UnitRandomPosition, AFirstVisibleCandidateLiesBetweenAThirdOfTheRadiusAndTheRadius)
{
    std::srand(77);
    for (int i = 0; i < 50; ++i) {
        Unit unit = makeUnit();
        FakeWorld world;
        const glm::vec3 point = unit.getRandomPosWithLOS(&world, 9.0f);
        const float reach = glm::distance(glm::vec2(point), glm::vec2(unit.position));
        EXPECT_GE(reach, 3.0f - 1e-4f);
        EXPECT_LE(reach, 9.0f + 1e-4f);
        EXPECT_FLOAT_EQ(point.z, 1.0f);
        ASSERT_EQ(world.sightQueries.size(), 1u);
        EXPECT_EQ(world.sightQueries[0].from, unit.position);
        EXPECT_FLOAT_EQ(world.sightQueries[0].maxDistance, -1.0f);
    }
}

TEST(UnitRandomPosition, RejectedCandidatesAreTheStartOfTheNextTry)
{
    std::srand(78);
    Unit unit = makeUnit();
    FakeWorld world;
    int asked = 0;
    world.visible = [&asked](const glm::vec3&, const glm::vec3&) { return ++asked == 5; };
    const glm::vec3 point = unit.getRandomPosWithLOS(&world, 9.0f);

    ASSERT_EQ(world.sightQueries.size(), 5u);
    EXPECT_EQ(point, world.sightQueries.back().to);
    glm::vec2 previous(unit.position);
    for (const FakeWorld::SightQuery& query : world.sightQueries) {
        const float step = glm::distance(glm::vec2(query.to), previous);
        EXPECT_GE(step, 3.0f - 1e-4f);
        EXPECT_LE(step, 9.0f + 1e-4f);
        EXPECT_EQ(query.from, unit.position);
        previous = glm::vec2(query.to);
    }
}

TEST(UnitRandomPosition, ASearchThatNeverSeesItsCandidateGivesUpOnItsStartingPoint)
{
    Unit unit = makeUnit();
    FakeWorld world;
    world.visible = [](const glm::vec3&, const glm::vec3&) { return false; };
    EXPECT_EQ(unit.getRandomPosWithLOS(&world, 10.0f), glm::vec3(10.0f, 20.0f, 1.0f));
    EXPECT_EQ(world.sightQueries.size(), static_cast<size_t>(Unit::MAX_SIGHT_TRIES));
}
