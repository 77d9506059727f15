#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HudTestSupport.h"
#include "hud/Button.h"
#include "hud/ClickInterface.h"
#include "render/Text.h"

namespace {

class RecordingListener : public ClickInterface {
public:
    std::vector<Button*> clicked;
    void buttonClicked(Button* button) override { clicked.push_back(button); }
};

class InspectableButton : public Button {
public:
    using Button::Button;
    using Button::cooldownText;
    using Button::shownSeconds;
};

// A 50 x 50 button at (100, 50) on hot key '3'.
InspectableButton* makeButton(ClickInterface* listener, ValueProvider* cooldown)
{
    return new InspectableButton(3, 100, 50, 50, 50, '3', RED_PICTURE, CLEAR_PICTURE, listener, cooldown);
}

} // namespace

TEST(ButtonInput, ClicksStrictlyInsideWithAnyMouseButtonReachTheListenerEvenWhileHidden)
{
    RecordingListener listener;
    FakeValueProvider cooldown;
    std::unique_ptr<InspectableButton> button(makeButton(&listener, &cooldown));
    EXPECT_EQ(button->getId(), 3);

    button->mouseClick(125, 75, MOUSE_BUTTON_LEFT);
    button->mouseClick(101, 99, MOUSE_BUTTON_OTHER);
    button->setActive(false, -1, false);
    button->mouseClick(149, 51, MOUSE_BUTTON_LEFT);
    EXPECT_EQ(listener.clicked, std::vector<Button*>(3, button.get()));

    listener.clicked.clear();
    for (const glm::ivec2& outside : {glm::ivec2(100, 75), glm::ivec2(150, 75), glm::ivec2(125, 50),
                                      glm::ivec2(125, 100), glm::ivec2(20, 20)}) {
        button->mouseClick(outside.x, outside.y, MOUSE_BUTTON_LEFT);
        button->mouseClick(outside.x, outside.y, MOUSE_BUTTON_OTHER);
    }
    EXPECT_TRUE(listener.clicked.empty());
}

TEST(ButtonInput, OnlyTheHotKeyClicksShownOrHidden)
{
    RecordingListener listener;
    FakeValueProvider cooldown;
    std::unique_ptr<InspectableButton> button(makeButton(&listener, &cooldown));
    for (char key : {'1', '2', '4', 'a', ' ', '\0'})
        button->keyPress(key);
    EXPECT_TRUE(listener.clicked.empty());
    button->keyPress('3');
    button->setActive(false, -1, false);
    button->keyPress('3');
    EXPECT_EQ(listener.clicked, std::vector<Button*>(2, button.get()));
}

TEST_F(HudTest, TheCooldownShowsItsWholeSecondsRoundedUpAndDisappearsWhenReady)
{
    RecordingListener listener;
    FakeValueProvider cooldown;
    std::unique_ptr<InspectableButton> button(makeButton(&listener, &cooldown));
    ASSERT_TRUE(button->setup());
    Text* text = button->cooldownText;
    ASSERT_NE(text, nullptr);

    const std::pair<float, const char*> shown[] = {{3.4f, "4"}, {3.0f, "4"}, {2.9f, "3"}, {0.2f, "1"}, {12.5f, "13"}};
    for (const auto& [seconds, number] : shown) {
        cooldown.value = seconds;
        button->update(0.1f, 0, 0);
        EXPECT_TRUE(text->visible) << seconds;
        EXPECT_STREQ(text->getText(), number) << seconds;
        EXPECT_EQ(button->shownSeconds, static_cast<int>(seconds));
    }
    // Too long a cooldown is capped at four digits.
    cooldown.value = 1e9f;
    button->update(0.1f, 0, 0);
    EXPECT_STREQ(text->getText(), "9999");

    // Ready (a skill answers -1) or exactly 0: no number, and the dimmed icon
    // is restored every frame.
    for (float ready : {0.0f, -1.0f}) {
        button->alpha = 0.3f;
        cooldown.value = ready;
        button->update(0.1f, 0, 0);
        EXPECT_FALSE(text->visible);
        EXPECT_EQ(button->alpha, 1.0f);
    }
    // After a pause the number shows again, also for the whole second it
    // showed last.
    cooldown.value = 0.2f;
    button->update(0.1f, 0, 0);
    cooldown.value = -1.0f;
    button->update(0.1f, 0, 0);
    cooldown.value = 0.5f;
    button->update(0.1f, 0, 0);
    EXPECT_TRUE(text->visible);
    EXPECT_STREQ(text->getText(), "1");
}

TEST_F(HudTest, AButtonDrawsItsIconUnderItsOverlayAndItsNumberOnTop)
{
    RecordingListener listener;
    FakeValueProvider cooldown;
    Button button(1, 20, 20, 60, 60, '1', RED_PICTURE, HALF_BLUE_PICTURE, &listener, &cooldown);
    ASSERT_TRUE(button.setup());
    const glm::u8vec4 covered(128, 0, 127, 255);
    // The number sits a third in and a quarter up: at (40, 35), 17.5 x 27
    // pixels at half scale, drawn from the (all white) font picture.
    cooldown.value = 2.0f;
    button.update(0.1f, 0, 0);
    button.render(&camera);
    EXPECT_TRUE(closeTo(pixel(45, 45), glm::u8vec4(255, 255, 255, 255)));
    EXPECT_TRUE(closeTo(pixel(70, 70), covered));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    context->clear();
    cooldown.value = -1.0f;
    button.update(0.1f, 0, 0);
    button.render(&camera);
    EXPECT_TRUE(closeTo(pixel(45, 45), covered));

    context->clear();
    button.setActive(false, -1, false);
    button.render(&camera);
    EXPECT_TRUE(closeTo(pixel(45, 45), glm::u8vec4(0, 0, 0, 255)));
}
