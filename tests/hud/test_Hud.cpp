// The HUD's layout, menu answers, key table, skill buttons, buffs and texts.
// None of this needs the HUD set up, so nothing here draws.

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "audio/GameSound.h"
#include "core/Util.h"
#include "hud/Bar.h"
#include "hud/Button.h"
#include "hud/Hud.h"
#include "hud/Inventory.h"
#include "hud/WorldMap.h"
#include "render/Text.h"
#include "test_HudDoubles.h"

namespace {

// The element covers exactly x..x+w by y..y+h: its inside ends one pixel
// within each edge.
::testing::AssertionResult coversRect(const HudElement* element, int x, int y, int w, int h)
{
    const bool exact = element->inside(x + 1, y + 1) && element->inside(x + w - 1, y + h - 1) &&
                       !element->inside(x, y + 1) && !element->inside(x + 1, y) && !element->inside(x + w, y + h - 1) &&
                       !element->inside(x + w - 1, y + h);
    if (exact)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "does not cover (" << x << ", " << y << ") " << w << " x " << h;
}

class HudLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        SCREEN_WIDTH = 1920;
        SCREEN_HEIGHT = 1080;
        game.reset();
        hud = game.hud.get();
    }

    Button* button(int id) const { return static_cast<Button*>(hud->elements[static_cast<size_t>(2 + id)]); }
    bool hudShown() const
    {
        for (Text* text : hud->texts) {
            if (!text->visible)
                return false;
        }
        return hud->healthBar->getActive() && button(5)->getActive();
    }
    void pointAt(const Text* text, float dt = 0.016f)
    {
        hud->update(dt, static_cast<int>(text->getX()) + 20, static_cast<int>(text->getY()) + 20);
    }

    GameHud game;
    FakeInventory& bag = game.bag;
    FakePlayerValues& values = game.values;
    FakeSkill (&skills)[Hud::SKILL_COUNT] = game.skills;
    HudProbe* hud = nullptr;
    BusRecorder bus;
};

} // namespace

TEST_F(HudLogic, At1920By1080TheLayoutIsScaledBy1920Over1980AndTruncated)
{
    EXPECT_TRUE(coversRect(hud->logo, 19, 837, 775, 193));
    EXPECT_TRUE(coversRect(hud->healthBar, 10, 10, 96, 193));
    EXPECT_TRUE(coversRect(hud->powerBar, 1813, 10, 96, 193));
    EXPECT_TRUE(coversRect(hud->expBar, 290, 10, 1338, 29));
    EXPECT_TRUE(coversRect(hud->inventory, 448, 284, 1024, 512));
    EXPECT_TRUE(coversRect(hud->worldMap, 0, 0, 1920, 1080));

    const float s = 1920.0f / 1980.0f;
    EXPECT_FLOAT_EQ(hud->playText->getX(), 40.0f * s);
    EXPECT_FLOAT_EQ(hud->playText->getY(), 1080.0f - 400.0f * s);
    EXPECT_FLOAT_EQ(hud->exitText->getY(), 1080.0f - 500.0f * s);
    EXPECT_FLOAT_EQ(hud->versionText->getY(), 1080.0f - 250.0f * s);
    EXPECT_FLOAT_EQ(hud->fpsText->getX(), 10.0f) << "the FPS text's x is not scaled";
    EXPECT_FLOAT_EQ(hud->powerText->getX(), 1920.0f - 110.0f * s);
    EXPECT_FLOAT_EQ(hud->levelText->getY(), 16.0f * s);
}

TEST_F(HudLogic, TheVersionLineNamesTheBuildInAtMostSixteenCharacters)
{
    const std::string version = hud->versionText->getText();
    EXPECT_EQ(version.rfind("Version ", 0), 0u) << version;
    EXPECT_GT(version.size(), 8u);
    EXPECT_LE(version.size(), 16u);
}

TEST_F(HudLogic, SkillButtonsStandUnscaledAHundredPixelsApartAfterTheBars)
{
    ASSERT_EQ(hud->elements.size(), 8u);
    EXPECT_EQ(hud->elements[0], hud->healthBar);
    EXPECT_EQ(hud->elements[2], hud->expBar);
    for (int id = 1; id <= 5; ++id) {
        EXPECT_EQ(button(id)->getId(), id);
        EXPECT_TRUE(coversRect(button(id), 260 + 100 * id, 50, 50, 50)) << id;
    }
}

TEST_F(HudLogic, TheMenuAnswersALeftClickOnTheEntryThePointerLastHovered)
{
    hud->menu = true;
    pointAt(hud->playText);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_PLAY) << "the hover decides, not the click";
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_OTHER), Hud::CLICK_NOTHING);
    pointAt(hud->exitText);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_EXIT);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_OTHER), Hud::CLICK_NOTHING);
    hud->update(0.016f, 900, 500);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_NOTHING);
}

TEST_F(HudLogic, HoveringAMenuEntryGrowsItAndLeavingShrinksIt)
{
    hud->menu = true;
    pointAt(hud->playText);
    EXPECT_FLOAT_EQ(hud->playText->getScale(), 1.2f);
    EXPECT_FLOAT_EQ(hud->exitText->getScale(), 1.0f);
    hud->update(0.016f, 900, 500);
    EXPECT_FLOAT_EQ(hud->playText->getScale(), 1.0f);
}

TEST_F(HudLogic, ClicksInPlayAnswerNothingWhereverThePointerRestsAndAPauseDoesNotReplayAnOldHover)
{
    hud->menu = true;
    pointAt(hud->exitText);
    ASSERT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_EXIT);

    // Resumed with the pointer still on EXIT.
    hud->menu = false;
    pointAt(hud->exitText);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_NOTHING);
    pointAt(hud->playText);
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_NOTHING);

    // Paused again: a click before the menu's first update must not quit.
    hud->menu = true;
    EXPECT_EQ(hud->mouseClick(0, 0, MOUSE_BUTTON_LEFT), Hud::CLICK_NOTHING);
}

TEST_F(HudLogic, EveryCellOfTheKeyTableOpensClosesAndSoundsAsItShould)
{
    enum Open { NEITHER, MAP, INVENTORY };
    struct Cell {
        char key;
        Open before;
        Open after;
        bool shown;
        std::vector<int> sounds;
    };
    const int INV = SOUND_INVENTORY_OPEN_CLOSE;
    const int MAP_SOUND = SOUND_MAP_OPEN_CLOSE;
    const Cell table[] = {
        {'i', MAP, INVENTORY, true, {INV}},   {'i', INVENTORY, NEITHER, true, {}},
        {'i', NEITHER, INVENTORY, true, {INV}}, {'m', MAP, NEITHER, true, {}},
        {'m', INVENTORY, MAP, false, {MAP_SOUND}}, {'m', NEITHER, MAP, false, {MAP_SOUND}},
        {27, MAP, NEITHER, true, {}},         {27, INVENTORY, NEITHER, true, {}},
        {27, NEITHER, NEITHER, true, {}},     {'x', MAP, MAP, true, {}},
        {'x', INVENTORY, INVENTORY, true, {}}, {'x', NEITHER, NEITHER, true, {}},
    };
    for (const Cell& cell : table) {
        SetUp();
        if (cell.before == MAP)
            hud->keyPress('m');
        if (cell.before == INVENTORY)
            hud->keyPress('i');
        hud->showAll(!cell.shown);
        bus.records.clear();

        hud->keyPress(cell.key);
        SCOPED_TRACE(::testing::Message() << "key " << static_cast<int>(cell.key) << " from " << cell.before);
        EXPECT_EQ(hud->worldMapActive(), cell.after == MAP);
        EXPECT_EQ(hud->inventoryActive(), cell.after == INVENTORY);
        EXPECT_EQ(hudShown(), cell.shown);
        EXPECT_EQ(bus.sounds(), cell.sounds);
    }
}

TEST_F(HudLogic, OpeningTheMapOverTheInventoryPutsAHeldItemBack)
{
    ItemInstance* ring = bag.put(itemCode(3, FINGER, RARE, 13), 0);
    const glm::ivec2 cell(448 + 409 + 20, 284 + 34 + 20);
    const glm::ivec2 fingerSlot(448 + 66 + 20, 284 + 363 + 20);
    hud->keyPress('i');
    hud->mouseClick(cell.x, cell.y, MOUSE_BUTTON_LEFT);
    hud->mouseClick(fingerSlot.x, fingerSlot.y, MOUSE_BUTTON_LEFT);
    ASSERT_EQ(ring->location, -5);
    hud->mouseClick(fingerSlot.x, fingerSlot.y, MOUSE_BUTTON_LEFT);
    hud->mouseClick(fingerSlot.x, fingerSlot.y, MOUSE_BUTTON_LEFT);
    ASSERT_EQ(ring->location, -100);

    hud->keyPress('m');
    EXPECT_EQ(ring->location, -5);
    EXPECT_TRUE(hud->worldMapActive());
    EXPECT_FALSE(hud->inventoryActive());
}

TEST_F(HudLogic, HotKeysWorkWithTheMapOpenAndShowTheHudAgain)
{
    hud->keyPress('m');
    ASSERT_FALSE(hudShown());
    hud->keyPress('1');
    EXPECT_TRUE(hudShown());
    EXPECT_TRUE(hud->worldMapActive());
    EXPECT_EQ(skills[0].uses, 1);
    EXPECT_EQ(skills[1].uses, 0);
}

TEST_F(HudLogic, OnlyTheFirstButtonDimsWhenItsSkillFiresAndComplainsWhenItCannot)
{
    hud->buttonClicked(button(1));
    EXPECT_FLOAT_EQ(button(1)->alpha, 0.5f);
    EXPECT_TRUE(bus.sounds().empty());

    for (FakeSkill& skill : skills)
        skill.ready = false;
    button(1)->alpha = 1.0f;
    hud->keyPress('1');
    EXPECT_FLOAT_EQ(button(1)->alpha, 1.0f);
    EXPECT_EQ(bus.sounds(), (std::vector<int>{SOUND_NO_POWER}));

    for (int id = 2; id <= 5; ++id) {
        const glm::ivec2 middle(260 + 100 * id + 25, 75);
        hud->mouseClick(middle.x, middle.y, MOUSE_BUTTON_LEFT);
        EXPECT_EQ(skills[id - 1].uses, 1) << id;
        EXPECT_FLOAT_EQ(button(id)->alpha, 1.0f) << id;
    }
    EXPECT_EQ(bus.sounds().size(), 1u) << "buttons 2 to 5 stay silent";
}

TEST_F(HudLogic, AButtonWithoutASkillDoesNothing)
{
    HudProbe bare(&bag, &values);
    Button stray(9, 0, 0, 10, 10, 'z', "textures/skill_frame.png", "textures/skill_frame.png", &bare, &skills[0]);
    bare.buttonClicked(&stray);
    Button unset(2, 0, 0, 10, 10, 'y', "textures/skill_frame.png", "textures/skill_frame.png", &bare, &skills[0]);
    bare.buttonClicked(&unset);
    for (const FakeSkill& skill : skills)
        EXPECT_EQ(skill.uses, 0);
    EXPECT_TRUE(bus.sounds().empty());
}

TEST_F(HudLogic, BuffIconsShownInOneFrameShareAPlaceAndStackDownOnceCounted)
{
    HudElement* regen = hud->buffs[0];
    HudElement* berserker = hud->buffs[1];
    EXPECT_FALSE(regen->getActive());

    hud->showBuff(REGEN_ICON, 5);
    hud->showBuff(BERSERKER_ICON, 5);
    EXPECT_TRUE(coversRect(regen, 50, 1020, 50, 50));
    EXPECT_TRUE(coversRect(berserker, 50, 1020, 50, 50));
    EXPECT_TRUE(regen->getActive());

    hud->update(0.016f, 0, 0);
    hud->showBuff(BERSERKER_ICON, 5);
    EXPECT_TRUE(coversRect(berserker, 50, 1080 - 2 * 55 - 60, 50, 50));

    SetUp();
    hud->showBuff(REGEN_ICON, 5);
    hud->update(0.016f, 0, 0);
    hud->showBuff(BERSERKER_ICON, 5);
    EXPECT_TRUE(coversRect(hud->buffs[1], 50, 1080 - 115, 50, 50));
    hud->showBuff("textures/never_prepared.png", 5);
}

TEST_F(HudLogic, TextsAreCutToTheirBuffers)
{
    hud->setFPS(12345);
    EXPECT_STREQ(hud->fpsText->getText(), "1234");
    hud->setFPS(60);
    EXPECT_STREQ(hud->fpsText->getText(), "60");
    hud->setPlayerLevel(12);
    EXPECT_STREQ(hud->levelText->getText(), "Level 12");

    const std::string sixty(60, 'A');
    hud->setLevelName(sixty);
    EXPECT_EQ(std::strlen(hud->levelNameText->getText()), 49u);
    EXPECT_EQ(std::strlen(hud->levelBanner->getText()), 49u);
}

TEST_F(HudLogic, TheLevelNameSitsTopRightAndItsBannerCentredFadesOutInThreeSeconds)
{
    ASSERT_FALSE(hud->levelBanner->visible);
    hud->setLevelName("Town");
    // "Town" is 4 x 45 by 54 unscaled.
    EXPECT_FLOAT_EQ(hud->levelNameText->getX(), 1920.0f - 0.3f * 180.0f - 10.0f);
    EXPECT_FLOAT_EQ(hud->levelNameText->getY(), 1080.0f - 0.3f * 54.0f - 10.0f);
    EXPECT_FLOAT_EQ(hud->levelBanner->getX(), 960.0f - 90.0f);
    EXPECT_FLOAT_EQ(hud->levelBanner->getY(), 540.0f - 27.0f);
    EXPECT_FLOAT_EQ(hud->levelBanner->getScale(), 1.0f);
    EXPECT_TRUE(hud->levelBanner->visible);

    hud->update(1.5f, 0, 0);
    EXPECT_NEAR(hud->levelBanner->alpha, 0.5f, 1e-4f);
    hud->update(1.6f, 0, 0);
    EXPECT_FALSE(hud->levelBanner->visible);
    EXPECT_TRUE(hud->levelNameText->visible);
}

TEST_F(HudLogic, HealthAndPowerNumbersAreRewrittenEveryFrameTruncated)
{
    values.health = 57.9f;
    values.maxHealth = 120.0f;
    values.power = 3.2f;
    values.maxPower = 150.0f;
    hud->update(0.016f, 0, 0);
    EXPECT_STREQ(hud->healthText->getText(), "57/120");
    EXPECT_STREQ(hud->powerText->getText(), "3/150");
}

TEST_F(HudLogic, ShowAllLeavesBuffsWindowsAndMenuAlone)
{
    hud->showBuff(REGEN_ICON, 5);
    hud->keyPress('i');
    hud->showAll(false);
    EXPECT_FALSE(hudShown());
    EXPECT_FALSE(hud->expBar->getActive());
    EXPECT_TRUE(hud->buffs[0]->getActive());
    EXPECT_TRUE(hud->inventoryActive());
    EXPECT_TRUE(hud->playText->visible);
    EXPECT_TRUE(hud->logo->getActive());
}

namespace {

// A text's drawn box: glyphs 35 x 54 pixels, 45 apart, at its scale.
struct TextBox {
    float left, right, bottom, top;
};

TextBox boxOf(const Text* text)
{
    const float scale = text->getScale();
    const float glyphs = static_cast<float>(text->getLength());
    return TextBox{text->getX(), text->getX() + ((glyphs - 1.0f) * 45.0f + 35.0f) * scale, text->getY(),
                   text->getY() + 54.0f * scale};
}

// First row above the bottom margin that the element no longer covers at x.
int topOf(const HudElement* element, int x)
{
    int y = 11;
    while (element->inside(x, y))
        ++y;
    return y;
}

// First column from the left that the element covers at y.
int leftOf(const HudElement* element, int y)
{
    int x = 0;
    while (!element->inside(x, y) && x < SCREEN_WIDTH)
        ++x;
    return x - 1;
}

class HudSizes : public HudLogic, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    void SetUp() override
    {
        HudLogic::SetUp();
        SCREEN_WIDTH = GetParam().first;
        SCREEN_HEIGHT = GetParam().second;
        game.reset();
        hud = game.hud.get();
        // The numbers as the player starts with them, the longest level text.
        hud->update(0.016f, 0, 0);
        hud->setPlayerLevel(15);
    }

    void expectInsideWindow(const Text* text) const
    {
        const TextBox box = boxOf(text);
        EXPECT_GE(box.left, 0.0f) << text->getText();
        EXPECT_LE(box.right, static_cast<float>(SCREEN_WIDTH)) << text->getText();
        EXPECT_GE(box.bottom, 0.0f) << text->getText();
        EXPECT_LE(box.top, static_cast<float>(SCREEN_HEIGHT)) << text->getText();
    }
};

} // namespace

TEST_P(HudSizes, TheNumbersLevelAndFpsTextsLieWhollyInsideTheWindow)
{
    ASSERT_STREQ(hud->powerText->getText(), "100/100");
    for (const Text* text : {hud->fpsText, hud->levelText, hud->healthText, hud->powerText, hud->versionText,
                             hud->playText, hud->exitText})
        expectInsideWindow(text);
}

TEST_P(HudSizes, TheNumbersStandClearAboveTheirBarsAndTheLevelLeftOfTheExperienceBar)
{
    const int barX = 20;
    EXPECT_GT(boxOf(hud->healthText).bottom, static_cast<float>(topOf(hud->healthBar, barX)));
    EXPECT_GT(boxOf(hud->powerText).bottom, static_cast<float>(topOf(hud->powerBar, SCREEN_WIDTH - barX)));
    const int levelRow = static_cast<int>(boxOf(hud->levelText).bottom) + 2;
    EXPECT_LT(boxOf(hud->levelText).right, static_cast<float>(leftOf(hud->expBar, levelRow)));
}

TEST_P(HudSizes, AHoveredMenuEntryKeepsClearOfTheOther)
{
    hud->menu = true;
    pointAt(hud->exitText);
    ASSERT_GT(hud->exitText->getScale(), hud->playText->getScale()) << "EXIT is not hovered";
    EXPECT_LT(boxOf(hud->exitText).top, boxOf(hud->playText).bottom);
    pointAt(hud->playText);
    ASSERT_GT(hud->playText->getScale(), hud->exitText->getScale()) << "PLAY is not hovered";
    EXPECT_LT(boxOf(hud->exitText).top, boxOf(hud->playText).bottom);
    EXPECT_LT(boxOf(hud->playText).top, boxOf(hud->versionText).bottom);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, HudSizes,
                         ::testing::Values(std::make_pair(1920, 1080), std::make_pair(1280, 720),
                                           std::make_pair(1024, 576)),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

TEST_F(HudLogic, At1920By1080TheTextsKeepTheirFullSizeAndTheNumbersTheirHeight)
{
    const float s = 1920.0f / 1980.0f;
    EXPECT_EQ(hud->healthText->getScale(), 0.3f);
    EXPECT_EQ(hud->playText->getScale(), 1.0f);
    EXPECT_EQ(hud->healthText->getY(), 215.0f * s);
    EXPECT_EQ(hud->powerText->getY(), 215.0f * s);
}
