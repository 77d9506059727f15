#include <gtest/gtest.h>

#include <string>

#include <GL/glew.h>

#include "HudTestSupport.h"
#include "hud/HudElement.h"

namespace {

class InspectableElement : public HudElement {
public:
    using HudElement::HudElement;
    using HudElement::active;
    using HudElement::blink;
};

// Shown ('#') or hidden ('.') after each of 'frames' updates of dt seconds.
std::string visibility(InspectableElement& element, int frames, float dt)
{
    std::string shown;
    for (int frame = 0; frame < frames; ++frame) {
        element.update(dt, 0, 0);
        shown += element.active ? '#' : '.';
    }
    return shown;
}

} // namespace

TEST(HudElementShow, ABlinkingShowCountsAsActiveThroughoutTogglesPastHalfASecondAndEndsHidden)
{
    InspectableElement element(0, 0, 10, 10, RED_PICTURE, true);
    element.setActive(true, 5, true);
    // A toggle needs more than 0.5 s gathered: every third quarter second.
    std::string expected;
    bool shown = true;
    for (int frame = 1; frame <= 19; ++frame) {
        if (frame % 3 == 0)
            shown = !shown;
        expected += shown ? '#' : '.';
    }
    for (int frame = 0; frame < 19; ++frame) {
        element.update(0.25f, 0, 0);
        EXPECT_TRUE(element.getActive()) << "frame " << frame + 1;
        EXPECT_EQ(element.active, expected[frame] == '#') << "frame " << frame + 1;
    }
    // The timer lands exactly on zero here, and that ends the show too.
    element.update(0.25f, 0, 0);
    EXPECT_FALSE(element.active);
    EXPECT_FALSE(element.getActive());
    EXPECT_EQ(visibility(element, 8, 0.25f), "........");
}

TEST(HudElementShow, ATimedShowWithoutBlinkingStaysShownForItsSecondsThenHides)
{
    InspectableElement element(0, 0, 10, 10, RED_PICTURE, false);
    element.setActive(false, -1, false);
    EXPECT_FALSE(element.getActive());
    element.setActive(true, 2, false);
    EXPECT_EQ(visibility(element, 9, 0.3f), "######...");
    EXPECT_FALSE(element.getActive());

    // Plain show and hide leave no timer behind.
    element.setActive(true, -1, false);
    EXPECT_EQ(visibility(element, 20, 0.5f), std::string(20, '#'));
    element.setActive(true, 0, false);
    EXPECT_EQ(visibility(element, 20, 0.5f), std::string(20, '#'));
}

TEST(HudElementShow, HidingDuringATimedShowHidesAtOnceButTheTimerRunsOn)
{
    InspectableElement element(0, 0, 10, 10, RED_PICTURE, false);
    element.setActive(true, 5, true);
    visibility(element, 4, 0.25f);
    element.setActive(false, -1, false);
    EXPECT_FALSE(element.active);
    EXPECT_FALSE(element.blink);
    EXPECT_TRUE(element.getActive());

    // No more blinking: hidden for the rest of the timer, then inactive.
    EXPECT_EQ(visibility(element, 15, 0.25f), std::string(15, '.'));
    EXPECT_TRUE(element.getActive());
    element.update(0.3f, 0, 0);
    EXPECT_FALSE(element.getActive());
}

TEST(HudElementShow, InsideMeansStrictlyWithinTheRectangle)
{
    InspectableElement element(10, 20, 100, 50, RED_PICTURE, false);
    EXPECT_TRUE(element.inside(11, 21));
    EXPECT_TRUE(element.inside(109, 69));
    EXPECT_TRUE(element.inside(60, 45));
    EXPECT_FALSE(element.inside(10, 45));
    EXPECT_FALSE(element.inside(110, 45));
    EXPECT_FALSE(element.inside(60, 20));
    EXPECT_FALSE(element.inside(60, 70));
    EXPECT_FALSE(element.inside(5, 45));
}

TEST_F(HudTest, AnElementDrawsItsPictureOnlyWhileShownAndBlendsOnlyWhenAskedTo)
{
    context->clear(glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
    HudElement blended(10, 10, 40, 40, HALF_RED_PICTURE, true);
    HudElement opaque(80, 10, 40, 40, HALF_RED_PICTURE, false);
    HudElement hidden(10, 60, 40, 40, RED_PICTURE, false);
    ASSERT_TRUE(blended.setup());
    ASSERT_TRUE(opaque.setup());
    ASSERT_TRUE(hidden.setup());
    hidden.setActive(false, -1, false);
    glDisable(GL_BLEND);

    blended.render(&camera);
    opaque.render(&camera);
    hidden.render(&camera);

    EXPECT_TRUE(closeTo(pixel(30, 30), glm::u8vec4(128, 0, 127, 255)));
    EXPECT_TRUE(closeTo(pixel(100, 30), glm::u8vec4(255, 0, 0, 255)));
    EXPECT_TRUE(closeTo(pixel(30, 80), glm::u8vec4(0, 0, 255, 255)));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}
