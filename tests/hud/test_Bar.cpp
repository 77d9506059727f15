#include <gtest/gtest.h>

#include <cmath>

#include <GL/glew.h>

#include "HudTestSupport.h"
#include "hud/Bar.h"

namespace {

class InspectableBar : public Bar {
public:
    using Bar::Bar;
    using Bar::swayPhase;
    using Bar::value;

    // Position and texture coordinate of vertex i (0 to 5).
    glm::vec2 position(int i) const { return glm::vec2(vertexData[i * 4], vertexData[i * 4 + 1]); }
    glm::vec2 uv(int i) const { return glm::vec2(vertexData[i * 4 + 2], vertexData[i * 4 + 3]); }
    // Lowest and highest corner of the drawn fill.
    glm::vec2 lowest() const { return glm::min(position(1), position(5)); }
    glm::vec2 highest() const { return glm::max(position(1), position(5)); }
};

const int BAR_X = 10;
const int BAR_Y = 20;
const int BAR_W = 40;
const int BAR_H = 100;

InspectableBar* makeBar(bar_direction direction, ValueProvider* provider)
{
    return new InspectableBar(BAR_X, BAR_Y, BAR_W, BAR_H, 100, direction, RED_PICTURE, HALF_BLUE_PICTURE, provider,
                              VALUE_PLAYER_POWER);
}

} // namespace

TEST(BarFill, AVerticalFillRisesAndFallsWithTheProvidersFractionShowingTheTopOfItsPicture)
{
    FakeValueProvider provider;
    std::unique_ptr<InspectableBar> bar(makeBar(BAR_DIRECTION_VERTICAL, &provider));
    for (float fraction : {0.25f, 0.75f, 1.0f, 0.5f, 0.0f}) {
        provider.value = fraction;
        bar->update(0.1f, 0, 0);
        EXPECT_EQ(provider.askedId, VALUE_PLAYER_POWER);
        const float top = BAR_Y + BAR_H * fraction;
        EXPECT_EQ(bar->lowest(), glm::vec2(BAR_X, BAR_Y)) << fraction;
        EXPECT_EQ(bar->highest(), glm::vec2(BAR_X + BAR_W, top)) << fraction;
        EXPECT_EQ(bar->position(0), glm::vec2(BAR_X, top));
        // The fill's top edge shows the picture's top edge; the cut runs
        // through the picture at 1 - fraction.
        EXPECT_FLOAT_EQ(bar->uv(0).y, 1.0f);
        EXPECT_FLOAT_EQ(bar->uv(1).y, 1.0f - fraction);
        EXPECT_FLOAT_EQ(bar->uv(2).y, 1.0f - fraction);
        EXPECT_FLOAT_EQ(bar->uv(5).y, 1.0f);
        // The whole picture width, slid sideways.
        EXPECT_FLOAT_EQ(bar->uv(5).x - bar->uv(0).x, 1.0f);
    }
}

TEST(BarFill, AVerticalFillSwaysSlowlySidewaysFromARandomPhaseAndAHorizontalOneDoesNot)
{
    FakeValueProvider provider;
    provider.value = 0.5f;
    std::unique_ptr<InspectableBar> vertical(makeBar(BAR_DIRECTION_VERTICAL, &provider));
    const float start = vertical->swayPhase;
    EXPECT_GE(start, 0.0f);
    EXPECT_LT(start, 10.0f);
    // One second moves the phase on by a fifth; the picture slides by its sine.
    vertical->update(1.0f, 0, 0);
    EXPECT_FLOAT_EQ(vertical->swayPhase, start + 0.2f);
    EXPECT_FLOAT_EQ(vertical->uv(0).x, std::sin(start + 0.2f));

    std::unique_ptr<InspectableBar> horizontal(makeBar(BAR_DIRECTION_HORIZONTAL, &provider));
    const float still = horizontal->swayPhase;
    horizontal->update(1.0f, 0, 0);
    EXPECT_EQ(horizontal->swayPhase, still);
    EXPECT_EQ(horizontal->uv(0).x, 0.0f);
}

TEST(BarFill, AHorizontalFillGrowsRightwardAndShowsItsPictureUpToTheSameFraction)
{
    FakeValueProvider provider;
    std::unique_ptr<InspectableBar> bar(makeBar(BAR_DIRECTION_HORIZONTAL, &provider));
    for (float fraction : {0.5f, 1.0f, 0.2f, 0.0f}) {
        provider.value = fraction;
        bar->update(0.1f, 0, 0);
        const float right = BAR_X + BAR_W * fraction;
        EXPECT_EQ(bar->lowest(), glm::vec2(BAR_X, BAR_Y)) << fraction;
        EXPECT_EQ(bar->highest(), glm::vec2(right, BAR_Y + BAR_H)) << fraction;
        EXPECT_EQ(bar->uv(1), glm::vec2(0.0f, 0.0f));
        EXPECT_EQ(bar->uv(5), glm::vec2(fraction, 1.0f));
    }
}

TEST(BarFill, WithoutAProviderTheBarKeepsItsLastFractionFullAtFirst)
{
    std::unique_ptr<InspectableBar> bar(makeBar(BAR_DIRECTION_HORIZONTAL, nullptr));
    bar->update(0.1f, 0, 0);
    EXPECT_EQ(bar->value, 1.0f);
    EXPECT_EQ(bar->highest(), glm::vec2(BAR_X + BAR_W, BAR_Y + BAR_H));
    // The whole rectangle still counts for clicks whatever is drawn.
    bar->value = 0.1f;
    bar->update(0.1f, 0, 0);
    EXPECT_TRUE(bar->inside(BAR_X + BAR_W - 1, BAR_Y + 1));
}

TEST_F(HudTest, ABarDrawsItsFillUnderItsFrameAndAMovedBarShowsWholeUntilItsNextUpdate)
{
    FakeValueProvider provider;
    provider.value = 0.5f;
    // Red fill under a half-transparent blue frame, over black.
    const glm::u8vec4 filled(128, 0, 127, 255);
    const glm::u8vec4 empty(0, 0, 127, 255);
    const glm::u8vec4 background(0, 0, 0, 255);
    Bar bar(10, 10, 100, 20, 100, BAR_DIRECTION_HORIZONTAL, RED_PICTURE, HALF_BLUE_PICTURE, &provider,
            VALUE_PLAYER_HEALTH);
    ASSERT_TRUE(bar.setup());
    bar.update(0.1f, 0, 0);
    bar.render(&camera);
    EXPECT_TRUE(closeTo(pixel(35, 20), filled));
    EXPECT_TRUE(closeTo(pixel(85, 20), empty));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    context->clear();
    bar.setPos(10, 60);
    bar.render(&camera);
    EXPECT_TRUE(closeTo(pixel(85, 70), filled));
    EXPECT_TRUE(closeTo(pixel(35, 20), background));

    context->clear();
    bar.update(0.1f, 0, 0);
    bar.render(&camera);
    EXPECT_TRUE(closeTo(pixel(35, 70), filled));
    EXPECT_TRUE(closeTo(pixel(85, 70), empty));

    context->clear();
    bar.setActive(false, -1, false);
    bar.render(&camera);
    EXPECT_TRUE(closeTo(pixel(35, 70), background));
}

TEST_F(HudTest, AVerticalBarFillsFromTheBottomEdge)
{
    FakeValueProvider provider;
    provider.value = 0.25f;
    Bar bar(20, 10, 20, 100, 100, BAR_DIRECTION_VERTICAL, RED_PICTURE, CLEAR_PICTURE, &provider,
            VALUE_PLAYER_HEALTH);
    ASSERT_TRUE(bar.setup());
    bar.update(0.1f, 0, 0);
    bar.render(&camera);
    EXPECT_TRUE(closeTo(pixel(30, 20), glm::u8vec4(255, 0, 0, 255)));
    EXPECT_TRUE(closeTo(pixel(30, 50), glm::u8vec4(0, 0, 0, 255)));
}
