#include <gtest/gtest.h>

#include "WorldTestKit.h"
#include "game/Player.h"

namespace {

class UnitsInALevel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worldContext().ok()) << worldContext().error();
        // A 20 x 10 room with a wall down column 12 from row 2 to the top.
        std::vector<std::string> rows(10, std::string(20, '.'));
        for (size_t row = 0; row < 8; ++row)
            rows[row][12] = '|';
        loadLevel(&loaded, levelEntries(levelXml(), levelBitmap(rows)));
        ASSERT_TRUE(loaded.ok) << loaded.log;
    }

    LoadedLevel loaded;
};

} // namespace

TEST_F(UnitsInALevel, TheHeroWalksUpToTheWallAndNoFurther)
{
    Player hero(5.0f, 5.0f);
    hero.speed = 9.0f;
    hero.setMovementDirection(glm::vec3(1.0f, 0.0f, 0.0f));
    for (int frame = 0; frame < 120; ++frame)
        hero.update(1.0f / 60.0f, loaded.level);
    // The grid cell 12 answers from x 11.5: the hero's 0.75 reach stops it
    // short of that, within one step.
    EXPECT_LT(hero.position.x + 0.75f, 11.5f);
    EXPECT_GT(hero.position.x + 0.75f, 11.5f - 0.15f - 1e-3f);
    EXPECT_FLOAT_EQ(hero.position.y, 5.0f);

    // Below the wall's end the way east is open.
    Player below(5.0f, 0.5f);
    below.speed = 9.0f;
    below.setMovementDirection(glm::vec3(1.0f, 0.0f, 0.0f));
    for (int frame = 0; frame < 120; ++frame)
        below.update(1.0f / 60.0f, loaded.level);
    EXPECT_GT(below.position.x, 12.5f);
}
