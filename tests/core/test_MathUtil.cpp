#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/MathUtil.h"

namespace {

// Counts how many rand() values a call consumes by replaying the sequence.
template <typename Call>
int randDrawsOf(Call call)
{
    std::srand(1234);
    call();
    const int next = std::rand();
    std::srand(1234);
    for (int draws = 0; draws < 64; ++draws) {
        if (std::rand() == next)
            return draws;
    }
    return -1;
}

} // namespace

TEST(MathUtilRandom, RandomPacksLowBytesOfFourDrawsHighByteFirst)
{
    std::srand(77);
    const unsigned b0 = static_cast<unsigned>(std::rand()) & 0xFF;
    const unsigned b1 = static_cast<unsigned>(std::rand()) & 0xFF;
    const unsigned b2 = static_cast<unsigned>(std::rand()) & 0xFF;
    const unsigned b3 = static_cast<unsigned>(std::rand()) & 0xFF;
    std::srand(77);
    EXPECT_EQ(MathUtil::random(), (b0 << 24) | (b1 << 16) | (b2 << 8) | b3);
}

TEST(MathUtilRandom, EachCallDrawsTheDocumentedNumberOfRandValues)
{
    EXPECT_EQ(randDrawsOf([] { MathUtil::random(); }), 4);
    EXPECT_EQ(randDrawsOf([] { MathUtil::get_random(); }), 4);
    EXPECT_EQ(randDrawsOf([] { EXPECT_EQ(MathUtil::get_random_int(3, 3), 3); }), 4);
    EXPECT_EQ(randDrawsOf([] { MathUtil::grf(5.0f, 0.2f); }), 4);
    // A range that rounds to zero draws nothing at all.
    EXPECT_EQ(randDrawsOf([] { MathUtil::grf(5.0f, 0.0005f); }), 0);
    EXPECT_EQ(randDrawsOf([] { MathUtil::getRandomVector(glm::vec3(1.0f), glm::vec3(1.0f, 0.0f, 1.0f)); }), 8);
}

TEST(MathUtilRandom, GrfTreatsRangeAsAWidthAndReturnsZeroForTinyRanges)
{
    EXPECT_EQ(MathUtil::grf(5.0f, 0.0005f), 0.0f);
    std::srand(9);
    for (int i = 0; i < 500; ++i) {
        const float negative = MathUtil::grf(5.0f, -0.2f);
        EXPECT_GE(negative, 5.0f);
        EXPECT_LT(negative, 5.2f);
        const float width = MathUtil::grf(0.8f, 0.4f);
        EXPECT_GE(width, 0.8f);
        EXPECT_LT(width, 1.2f);
    }
}

TEST(MathUtilRandom, GrfSaturatesWidthsAnIntCannotHoldAndTreatsNanAsNoWidth)
{
    std::srand(3);
    for (const float range : {1.0e13f, -1.0e30f, std::numeric_limits<float>::infinity()}) {
        const float value = MathUtil::grf(1.0f, range);
        EXPECT_GE(value, 1.0f);
        EXPECT_LE(value, 1.0f + 2147483.648f);
    }
    EXPECT_EQ(MathUtil::grf(1.0f, std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(MathUtilRandom, GetRandomIntCoversBothEndsOnly)
{
    std::srand(5);
    bool sawLow = false;
    bool sawHigh = false;
    for (int i = 0; i < 2000; ++i) {
        const int value = MathUtil::get_random_int(-2, 2);
        ASSERT_GE(value, -2);
        ASSERT_LE(value, 2);
        sawLow |= value == -2;
        sawHigh |= value == 2;
    }
    EXPECT_TRUE(sawLow);
    EXPECT_TRUE(sawHigh);
}

TEST(MathUtilRandom, GetRandomStaysWithinUnitInterval)
{
    std::srand(11);
    for (int i = 0; i < 1000; ++i) {
        const float value = MathUtil::get_random();
        ASSERT_GE(value, 0.0f);
        ASSERT_LE(value, 1.0f);
    }
}

TEST(MathUtilGeometry, EdgesAreOutside)
{
    EXPECT_FALSE(MathUtil::insideRect(glm::vec2(0.0f, 5.0f), 0.0f, 0.0f, 10.0f, 10.0f));
    EXPECT_FALSE(MathUtil::insideRect(glm::vec2(5.0f, 10.0f), 0.0f, 0.0f, 10.0f, 10.0f));
    EXPECT_TRUE(MathUtil::insideRect(glm::vec2(0.01f, 9.99f), 0.0f, 0.0f, 10.0f, 10.0f));
    EXPECT_FALSE(MathUtil::pointInsideCircle(glm::vec2(3.0f, 4.0f), glm::vec2(0.0f), 5.0f));
    EXPECT_TRUE(MathUtil::pointInsideCircle(glm::vec2(3.0f, 3.9f), glm::vec2(0.0f), 5.0f));
    EXPECT_FALSE(MathUtil::pointInRectangle(glm::vec2(1.0f, 0.0f), glm::vec2(0.0f), glm::vec2(2.0f)));
    EXPECT_TRUE(MathUtil::pointInRectangle(glm::vec2(0.99f, -0.99f), glm::vec2(0.0f), glm::vec2(2.0f)));
}

TEST(MathUtilGeometry, DistanceAndFloatCompare)
{
    EXPECT_FLOAT_EQ(MathUtil::distance2d(glm::vec2(1.0f, 1.0f), glm::vec2(4.0f, 5.0f)), 5.0f);
    EXPECT_TRUE(MathUtil::fcmp(1.0f, 1.00005f));
    EXPECT_FALSE(MathUtil::fcmp(1.0f, 1.0002f));
}

TEST(MathUtilGeometry, CircleMeetsSegmentOnlyAlongItsLength)
{
    const glm::vec2 a(0.0f, 0.0f);
    const glm::vec2 b(10.0f, 0.0f);
    EXPECT_TRUE(MathUtil::circleIntersectsLineSegment(glm::vec2(5.0f, 0.5f), 1.0f, a, b));
    EXPECT_FALSE(MathUtil::circleIntersectsLineSegment(glm::vec2(5.0f, 1.5f), 1.0f, a, b));
    // Beyond the end of the segment the nearest line point is outside its box.
    EXPECT_FALSE(MathUtil::circleIntersectsLineSegment(glm::vec2(10.5f, 0.2f), 1.0f, a, b));
    // A vertical segment still has a box 0.1 wide to be inside of.
    EXPECT_TRUE(MathUtil::circleIntersectsLineSegment(glm::vec2(0.5f, 5.0f), 1.0f, glm::vec2(0.0f), glm::vec2(0.0f, 10.0f)));
}

TEST(MathUtilGeometry, CircleAndRectangleTests)
{
    const glm::vec2 centre(0.0f);
    const glm::vec2 size(4.0f, 2.0f);
    EXPECT_TRUE(MathUtil::circleIntersectsRectangle(glm::vec2(0.0f), 0.1f, centre, size));
    EXPECT_TRUE(MathUtil::circleIntersectsRectangle(glm::vec2(0.0f, 1.5f), 1.0f, centre, size));
    EXPECT_FALSE(MathUtil::circleIntersectsRectangle(glm::vec2(0.0f, 3.5f), 1.0f, centre, size));
}

TEST(MathUtilGeometry, RectangleTestLooksOnlyAtTheFirstRectanglesCorners)
{
    const glm::vec2 big(10.0f);
    const glm::vec2 small(2.0f);
    EXPECT_TRUE(MathUtil::rectangleIntersectsRectangle(glm::vec2(0.0f), small, glm::vec2(0.0f), big));
    // The small one inside the big one has none of the big one's corners.
    EXPECT_FALSE(MathUtil::rectangleIntersectsRectangle(glm::vec2(0.0f), big, glm::vec2(0.0f), small));
}

TEST(MathUtilGeometry, SawToothRisesOverEachPeriod)
{
    EXPECT_FLOAT_EQ(MathUtil::sawTooth(0.0f, 1.0f, 3.0f, 2.0f), 1.0f);
    EXPECT_FLOAT_EQ(MathUtil::sawTooth(1.0f, 1.0f, 3.0f, 2.0f), 2.0f);
    EXPECT_FLOAT_EQ(MathUtil::sawTooth(3.0f, 1.0f, 3.0f, 2.0f), 2.0f);
    EXPECT_FLOAT_EQ(MathUtil::sawTooth(-1.0f, 1.0f, 3.0f, 2.0f), 1.0f);
}

TEST(MathUtilSubSteps, AMoveIsCutIntoTheFewestEqualStepsNoLongerThanTheLimit)
{
    EXPECT_EQ(MathUtil::subStepCount(0.0f, 0.25f), 1);
    EXPECT_EQ(MathUtil::subStepCount(0.15f, 0.25f), 1);
    EXPECT_EQ(MathUtil::subStepCount(0.25f, 0.25f), 1);
    EXPECT_EQ(MathUtil::subStepCount(0.2501f, 0.25f), 2);
    EXPECT_EQ(MathUtil::subStepCount(4.5f, 0.25f), 18);
    EXPECT_EQ(MathUtil::subStepCount(4.51f, 0.25f), 19);
    // A move that is not a number stays one step; an endless one is bounded.
    EXPECT_EQ(MathUtil::subStepCount(std::nanf(""), 0.25f), 1);
    EXPECT_EQ(MathUtil::subStepCount(std::numeric_limits<float>::infinity(), 0.25f), MathUtil::MAX_SUB_STEPS);
    EXPECT_EQ(MathUtil::subStepCount(1e30f, 0.25f), MathUtil::MAX_SUB_STEPS);
}
