#include <gtest/gtest.h>

#include <vector>

#include "WorldTestKit.h"
#include "core/MailBox.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/Npc.h"
#include "game/OrvoGame.h"
#include "game/Player.h"
#include "support/TestPackage.h"

namespace {

// A game handed a level that is already set up, to bring its inhabitants to
// life; the game owns the level from then on.
class PopulatingGame : public OrvoGame {
public:
    explicit PopulatingGame(Level* built) : OrvoGame("unused")
    {
        player = new Player(0.0f, 0.0f);
        level = built;
    }

    using OrvoGame::populateLevel;
    const std::vector<Enemy*>& enemyList() const { return enemies; }
    const std::vector<Npc*>& npcList() const { return npcs; }
    const Boss* theBoss() const { return boss; }
};

class LevelInhabitants : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(worldContext().ok()) << worldContext().error(); }
    void TearDown() override { MailBox::getInstance()->clear(); }
};

} // namespace

TEST_F(LevelInhabitants, EveryEnemyTownspersonAndTheBossOfALevelAreKeptOnceEach)
{
    const std::map<std::string, std::string> entries =
        levelEntries(levelXml(), levelBitmap({"z.c..", ".R.g.", "S..M."}));
    LoadedLevel loaded;
    loadLevel(&loaded, entries);
    ASSERT_TRUE(loaded.ok) << loaded.log;

    PopulatingGame game(loaded.level);
    loaded.level = nullptr;
    {
        TestPackage package(entries);
        ASSERT_TRUE(game.populateLevel());
    }
    ASSERT_EQ(game.enemyList().size(), 2u);
    EXPECT_EQ(game.enemyList()[0]->type, ENEMY_TYPE_ZOMBIE);
    EXPECT_EQ(game.enemyList()[1]->type, ENEMY_TYPE_GHOST);
    ASSERT_EQ(game.npcList().size(), 2u);
    EXPECT_EQ(game.npcList()[0]->type, NPC_TYPE_COMMONER);
    EXPECT_EQ(game.npcList()[1]->type, NPC_TYPE_MERCHANT);
    ASSERT_NE(game.theBoss(), nullptr);
    EXPECT_EQ(game.theBoss()->type, ENEMY_TYPE_RABAKULUS);
}
