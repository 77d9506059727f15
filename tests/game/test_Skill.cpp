#include <gtest/gtest.h>

#include <vector>

#include "game/Skill.h"
#include "game/SkillActivatedInterface.h"

namespace {

// The game's side of a skill: a power figure the test sets, and the skills
// that reported firing.
class FakeGame : public SkillActivatedInterface {
public:
    explicit FakeGame(int power) : power(power) {}
    void skillActivated(Skill* skill) override { fired.push_back(skill); }
    int getAvailablePower() override { return power; }

    int power;
    std::vector<Skill*> fired;
};

} // namespace

TEST(SkillUse, PowerMustExceedTheCostEvenForAFreeSkill)
{
    FakeGame game(20);
    Skill bladestorm("Bladestorm", "textures/skill_bladestorm.png", 20, 0, &game);
    EXPECT_FALSE(bladestorm.use());
    game.power = 21;
    EXPECT_TRUE(bladestorm.use());

    FakeGame drained(0);
    Skill regen("Powerful Regeneration", "textures/skill_regen.png", 0, 9, &drained);
    EXPECT_FALSE(regen.use());
    drained.power = 1;
    EXPECT_TRUE(regen.use());
    ASSERT_EQ(game.fired.size(), 1u);
    EXPECT_EQ(game.fired[0], &bladestorm);

    Skill orphan("Fireball", "textures/skill_fireball.png", 40, 5, nullptr);
    EXPECT_FALSE(orphan.use());
}

TEST(SkillUse, ACooldownHoldsTheSkillBackUntilOneSecondIsLeft)
{
    FakeGame game(100);
    Skill teleport("Teleport", "textures/skill_teleport.png", 10, 2, &game);
    ASSERT_TRUE(teleport.use());
    teleport.update(0.5f);
    EXPECT_FALSE(teleport.use());
    teleport.update(0.5f);
    EXPECT_EQ(teleport.getValue(0), 1.0f);
    EXPECT_TRUE(teleport.use());
    // Firing restarts the whole cooldown.
    EXPECT_EQ(teleport.getValue(0), 2.0f);
    EXPECT_EQ(game.fired.size(), 2u);

    Skill bladestorm("Bladestorm", "textures/skill_bladestorm.png", 20, 0, &game);
    for (int press = 0; press < 3; ++press)
        EXPECT_TRUE(bladestorm.use());
}

TEST(SkillCooldown, CountsDownToZeroAndReportsAnOvershootAsMinusOne)
{
    FakeGame game(100);
    Skill berserker("Berserker", "textures/skill_berserker.png", 30, 9, &game);
    Skill fireball("Fireball", "textures/skill_fireball.png", 40, 5, &game);
    ASSERT_TRUE(berserker.use());
    ASSERT_TRUE(fireball.use());

    // Landing exactly on 0 ends the countdown there.
    for (int second = 0; second < 9; ++second)
        berserker.update(1.0f);
    EXPECT_EQ(berserker.getValue(0), 0.0f);
    berserker.update(1.0f);
    EXPECT_EQ(berserker.getValue(0), 0.0f);

    fireball.update(4.75f);
    EXPECT_FLOAT_EQ(fireball.getValue(0), 0.25f);
    fireball.update(0.5f);
    EXPECT_EQ(fireball.getValue(0), -1.0f);
    fireball.update(0.5f);
    EXPECT_EQ(fireball.getValue(0), -1.0f);
}

TEST(SkillValues, ButtonsReadTheCooldownWhateverIdTheyAsk)
{
    FakeGame game(100);
    Skill teleport("Teleport", "textures/skill_teleport.png", 10, 2, &game);
    ValueProvider* provider = &teleport;
    EXPECT_EQ(provider->getValue(0), 0.0f);
    ASSERT_TRUE(teleport.use());
    for (int id : {0, 4, -7})
        EXPECT_EQ(provider->getValue(id), 2.0f);
}
