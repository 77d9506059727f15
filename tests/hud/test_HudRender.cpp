// The HUD drawn for real: the menu hover's glyph rebuilds, and the menu, the
// in-game HUD, the world map and the inventory with the pictures the build
// generated, each saved under <build>/screenshots for a person to look at.

#include <memory>

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "render/Text.h"
#include "support/LogCapture.h"
#include "test_HudDoubles.h"

namespace {

bool dark(const glm::u8vec4& colour)
{
    return colour.r < 8 && colour.g < 8 && colour.b < 8;
}

class MenuHover : public HudScreenTest {};
class HudPictures : public RealPackageTest {
protected:
    void draw()
    {
        context->clear();
        game.hud->render(&camera);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Whether anything is drawn along row y between x0 and x1.
    bool litInRow(int y, int x0, int x1) const
    {
        for (int x = x0; x < x1; ++x) {
            if (!dark(pixel(x, y)))
                return true;
        }
        return false;
    }

    GameHud game;
    WindowCamera camera;
    BusRecorder bus;
};

} // namespace

TEST_F(MenuHover, AMenuEntryRebuildsItsGlyphsOnlyWhenItsScaleChanges)
{
    GameHud game;
    LogCapture quiet; // the test package lacks most HUD pictures
    ASSERT_TRUE(game.hud->setup());
    game.hud->menu = true;
    Text* play = game.hud->playText;
    float* glyphs = const_cast<float*>(play->getVertexData());
    const int overX = static_cast<int>(play->getX()) + 20;
    const int overY = static_cast<int>(play->getY()) + 20;

    // A scribbled vertex survives every update that leaves the scale alone.
    glyphs[0] = -999.0f;
    game.hud->update(0.016f, 900, 500);
    EXPECT_FLOAT_EQ(glyphs[0], -999.0f);

    game.hud->update(0.016f, overX, overY);
    EXPECT_FLOAT_EQ(glyphs[0], play->getX()) << "growing rebuilds";
    EXPECT_FLOAT_EQ(glyphs[4] - glyphs[0], 35.0f * 1.2f);
    glyphs[0] = -999.0f;
    game.hud->update(0.016f, overX, overY);
    EXPECT_FLOAT_EQ(glyphs[0], -999.0f);

    game.hud->update(0.016f, 900, 500);
    EXPECT_FLOAT_EQ(glyphs[4] - glyphs[0], 35.0f);
}

TEST_F(HudPictures, TheMenuShowsLogoVersionAndEntriesOnly)
{
    ASSERT_TRUE(game.hud->setup());
    game.hud->menu = true;
    game.hud->update(0.016f, static_cast<int>(game.hud->playText->getX()) + 20,
                    static_cast<int>(game.hud->playText->getY()) + 20);
    draw();
    saveScreenshot("menu");
    EXPECT_TRUE(litInRow(837 + 96, 19, 19 + 775)) << "the logo";
    EXPECT_TRUE(dark(pixel(50, 100))) << "no health bar in the menu";
    EXPECT_TRUE(dark(pixel(385, 75))) << "no skill button in the menu";
}

TEST_F(HudPictures, TheGameFaceShowsBarsButtonsBuffAndTexts)
{
    game.values.health = 72.0f;
    game.values.power = 35.0f;
    ASSERT_TRUE(game.hud->setup());
    game.hud->setLevelName("Morvelund town");
    game.hud->setPlayerLevel(3);
    game.hud->setFPS(60);
    game.hud->showBuff(REGEN_ICON, 5);
    game.hud->update(0.016f, 0, 0);
    game.hud->showBuff(BERSERKER_ICON, 5);
    game.skills[2].ready = false;
    game.hud->update(0.016f, 0, 0);
    draw();
    saveScreenshot("hud");
    EXPECT_FALSE(dark(pixel(58, 40))) << "the health bar";
    EXPECT_FALSE(dark(pixel(385, 75))) << "skill button 1";
    EXPECT_FALSE(dark(pixel(75, 1080 - 60 + 25))) << "the first buff";
    EXPECT_FALSE(litInRow(837 + 96, 19, 19 + 775)) << "no logo in play";
}

TEST_F(HudPictures, TheWorldMapCoversTheWholeWindowAndHidesTheHud)
{
    ASSERT_TRUE(game.hud->setup());
    game.hud->keyPress('m');
    game.hud->update(0.016f, 0, 0);
    draw();
    saveScreenshot("worldmap");
    for (const glm::ivec2& at : {glm::ivec2(2, 2), glm::ivec2(1917, 1077), glm::ivec2(960, 540), glm::ivec2(176, 402)})
        EXPECT_FALSE(dark(pixel(at.x, at.y))) << at.x << ", " << at.y;
}

TEST_F(HudPictures, TheInventoryShowsItemsOfEveryQualityAndTheBoxOfTheOneUnderThePointer)
{
    game.bag.put(itemCode(30, ARMOR, EPIC, 21), 0);
    game.bag.put(itemCode(20, HEAD, RARE, 22), 1);
    game.bag.put(itemCode(10, FEET, MAGIC, 23), 2);
    game.bag.put(itemCode(5, FINGER, NORMAL, 24), 3);
    game.bag.put(itemCode(12, WEAPON, RARE, 31), 14);
    game.bag.put(itemCode(40, WEAPON, EPIC, 25), -3);
    game.bag.put(itemCode(8, NECK, MAGIC, 26), -6);
    game.bag.put(itemCode(9, OFFHAND, NORMAL, 27), -4);
    ASSERT_TRUE(game.hud->setup());
    game.hud->keyPress('i');
    const glm::ivec2 pointer(448 + 409 + 45 + 21, 284 + 34 + 21);
    game.hud->update(0.016f, pointer.x, pointer.y);
    draw();
    saveScreenshot("inventory");
    EXPECT_FALSE(dark(pixel(pointer.x + 125, pointer.y + 125))) << "the information box";
    EXPECT_FALSE(dark(pixel(448 + 20, 284 + 20))) << "the window";
}
