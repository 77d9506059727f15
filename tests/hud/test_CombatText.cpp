// The pool of five floating texts: taking and freeing entries, fading,
// rising and where critical numbers stand. Texts that were never set up
// still take their strings and places, so nothing here draws.

#include <gtest/gtest.h>

#include "core/Util.h"
#include "hud/CombatText.h"
#include "render/Text.h"
#include "test_HudDoubles.h"

namespace {

class CombatTextProbe : public CombatText {
public:
    using CombatText::Entry;
    using CombatText::entries;

    Entry& entry(int i) { return entries[i]; }
    bool live(int i) const { return entries[i].age < LIFETIME; }
    int liveCount() const
    {
        int count = 0;
        for (int i = 0; i < POOL_SIZE; ++i)
            count += live(i) ? 1 : 0;
        return count;
    }
};

class CombatTextPool : public ::testing::Test {
protected:
    void SetUp() override
    {
        SCREEN_WIDTH = 1920;
        SCREEN_HEIGHT = 1080;
    }

    CombatTextProbe pool;
    // With identity matrices the world origin shows at the window's middle.
    FixedTarget unit{glm::vec3(0.0f)};
    WindowCamera camera;
};

} // namespace

TEST_F(CombatTextPool, FiveTextsFlyAtOnceAndASixthIsDropped)
{
    EXPECT_EQ(pool.liveCount(), 0);
    for (int damage = 1; damage <= 6; ++damage)
        pool.addDamageText(damage, &unit, false);
    EXPECT_EQ(pool.liveCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::string(pool.entry(i).text->getText()), std::to_string(i + 1));
}

TEST_F(CombatTextPool, AZeroIsShownButNeverCritical)
{
    pool.addDamageText(0, &unit, true);
    pool.addDamageText(7, &unit, true);
    EXPECT_STREQ(pool.entry(0).text->getText(), "0");
    EXPECT_FALSE(pool.entry(0).critical);
    EXPECT_TRUE(pool.entry(1).critical);
}

TEST_F(CombatTextPool, DamageNumbersScatterUpTo75PixelsRightAndUp)
{
    float highestX = -100.0f;
    for (int round = 0; round < 200; ++round) {
        pool.removeAll();
        pool.addDamageText(5, &unit, false);
        const CombatTextProbe::Entry& entry = pool.entry(0);
        ASSERT_GE(entry.offsetY, 25.0f);
        ASSERT_LT(entry.offsetY, 75.0f);
        ASSERT_GE(entry.offsetX, -25.0f);
        ASSERT_LT(entry.offsetX, 75.0f);
        highestX = std::max(highestX, entry.offsetX);
    }
    EXPECT_GT(highestX, 25.0f) << "x spreads over 100 pixels, not 50";
}

TEST_F(CombatTextPool, AfterOneSecondATextIsHalfFadedAndHasRisen25Pixels)
{
    pool.addText("Berserker", &unit);
    EXPECT_FLOAT_EQ(pool.entry(0).offsetX, 0.0f);
    pool.render(&camera);
    const float startX = pool.entry(0).text->getX();
    const float startY = pool.entry(0).text->getY();
    EXPECT_FLOAT_EQ(startX, 960.0f);
    EXPECT_FLOAT_EQ(startY, 540.0f);

    pool.update(0.5f);
    pool.update(0.5f);
    pool.render(&camera);
    EXPECT_FLOAT_EQ(pool.entry(0).text->alpha, 0.5f);
    EXPECT_FLOAT_EQ(pool.entry(0).text->getY(), startY + 25.0f);
    EXPECT_FLOAT_EQ(pool.entry(0).text->getX(), startX);
}

TEST_F(CombatTextPool, AfterTwoSecondsATextIsGoneAndItsEntryReusedOpaque)
{
    pool.addText("Teleport", &unit);
    pool.addDamageText(40, &unit, false);
    pool.update(1.9f);
    pool.addDamageText(41, &unit, false);
    pool.update(0.1f);
    EXPECT_FALSE(pool.live(0));
    EXPECT_FALSE(pool.live(1));
    EXPECT_TRUE(pool.live(2));

    pool.addDamageText(99, &unit, false);
    EXPECT_STREQ(pool.entry(0).text->getText(), "99");
    EXPECT_FLOAT_EQ(pool.entry(0).text->alpha, 1.0f) << "the new text does not start faded";
}

TEST_F(CombatTextPool, ACriticalNumberIsDrawnFullSize20PixelsFurtherLeft)
{
    pool.addDamageText(100, &unit, false);
    pool.addDamageText(200, &unit, true);
    pool.entry(1).offsetX = pool.entry(0).offsetX;
    pool.entry(1).offsetY = pool.entry(0).offsetY;
    pool.render(&camera);
    EXPECT_FLOAT_EQ(pool.entry(0).text->getScale(), 0.3f);
    EXPECT_FLOAT_EQ(pool.entry(1).text->getScale(), 1.0f);
    EXPECT_FLOAT_EQ(pool.entry(1).text->getX(), pool.entry(0).text->getX() - 20.0f);
    EXPECT_FLOAT_EQ(pool.entry(1).text->getY(), pool.entry(0).text->getY());
    EXPECT_FLOAT_EQ(pool.entry(0).text->getY(), 540.0f + pool.entry(0).offsetY);
}

TEST_F(CombatTextPool, RemoveAllHidesEveryTextAndTheNextRequestTakesEntryZero)
{
    for (int i = 0; i < 5; ++i)
        pool.addDamageText(i + 10, &unit, false);
    pool.removeAll();
    EXPECT_EQ(pool.liveCount(), 0);
    EXPECT_STREQ(pool.entry(3).text->getText(), "13") << "texts keep their strings";

    pool.update(1.0f);
    EXPECT_EQ(pool.liveCount(), 0);
    pool.render(&camera);
    pool.addText("Fireball", &unit);
    EXPECT_TRUE(pool.live(0));
    EXPECT_EQ(pool.liveCount(), 1);
}
