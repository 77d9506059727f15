// The game object as the program makes it: set up from the game's own
// package in a hidden window, then played a frame at a time through its own
// frame loop with events put on SDL's queue. The rules checked here hold for
// the objects the game's set-up creates, not for copies made by a test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "core/MailBox.h"
#include "core/Util.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/Item.h"
#include "game/ItemInstance.h"
#include "game/Level.h"
#include "game/LootManager.h"
#include "game/OrvoGame.h"
#include "game/Player.h"
#include "game/Skill.h"
#include "hud/Hud.h"
#include "render/Camera.h"
#include "GLContext.h"
#include "support/TempDir.h"

namespace {

// 1024 x 576, the smallest window the game knows, draws quickest.
GLContext& gameWindow()
{
    static GLContext context(1024, 576);
    return context;
}

class PlayedGame : public OrvoGame {
public:
    PlayedGame() : OrvoGame("unused") {}

    // One pass of the frame loop: with a termination requested (see the
    // fixture) the loop returns after the frame it is in.
    void frame() { gameLoop(SDL_GL_GetCurrentWindow()); }

    // What PLAY in the start menu leads to, without the drop.
    void play()
    {
        hud->menu = false;
        hud->showAll(true);
        gameState = GAME_STATE_PLAYING;
    }

    // The ground point under window pixel (x, y), as the game finds it.
    glm::vec3 groundUnder(int x, int y)
    {
        const glm::vec2 mirrored(static_cast<float>(SCREEN_WIDTH - x), static_cast<float>(SCREEN_HEIGHT - y));
        return screen_to_world(mirrored, camera->getPerspectiveMatrix(), camera->getViewMatrix());
    }

    Player* hero() { return player; }
    Hud* heads() { return hud; }
    LootManager* loot() { return lootManager; }
    Level* currentLevel() { return level; }
    const std::vector<Enemy*>& enemyList() const { return enemies; }
    Boss* levelBoss() { return boss; }
    void setStateTimer(float seconds) { stateTimer = seconds; }
    Skill* skillNamed(const std::string& name)
    {
        for (Skill* skill : {teleportSkill, regenSkill, berserkerSkill, bladestormSkill, fireballSkill})
            if (skill != nullptr && skill->getName() == name)
                return skill;
        return nullptr;
    }
};

void pushKey(Uint32 type, SDL_Keycode key)
{
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void pushButton(Uint32 type, Uint8 button, int x, int y)
{
    SDL_Event event = {};
    event.type = type;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

class PlayedGameTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The frame loop ends after the frame in which a termination was
        // asked for: from now on every gameLoop call is one frame.
        install_termination_handler();
        std::raise(SIGTERM);
        setenv("ALSOFT_DRIVERS", "null", 1);
    }

    void SetUp() override
    {
        const std::string dataDir = MORVELUND_DATA_DIR;
        if (access((dataDir + "/data.mv2").c_str(), R_OK) != 0)
            GTEST_SKIP() << "no game package in " << dataDir << " (the full build makes it)";
        ASSERT_TRUE(gameWindow().ok()) << gameWindow().error();
        ASSERT_TRUE(termination_requested());
        inData.reset(new ScopedChdir(dataDir));
        game.reset(new PlayedGame());
        ASSERT_TRUE(game->setup());
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    void TearDown() override
    {
        game.reset();
        inData.reset();
        MailBox::getInstance()->clear();
    }

    std::unique_ptr<ScopedChdir> inData;
    std::unique_ptr<PlayedGame> game;
};

} // namespace

TEST_F(PlayedGameTest, TheHeroStartsAtLevelOneWithFullHealthAndPowerAtTheTownsStart)
{
    Player* hero = game->hero();
    EXPECT_EQ(game->getLevelPath(), "levels/level0.xml");
    EXPECT_FLOAT_EQ(hero->position.x, game->currentLevel()->startPosition.x);
    EXPECT_FLOAT_EQ(hero->position.y, game->currentLevel()->startPosition.y);
    EXPECT_FLOAT_EQ(hero->position.z, 2.0f);
    EXPECT_EQ(hero->exp, 1);
    EXPECT_FLOAT_EQ(hero->health, 100.0f);
    EXPECT_FLOAT_EQ(hero->power, 100.0f);
    EXPECT_EQ(hero->armor, 10);
    EXPECT_EQ(hero->strength, 100);
    EXPECT_EQ(hero->getNumItems(), 0);
    EXPECT_EQ(game->getGameState(), GAME_STATE_START_MENU);
    EXPECT_TRUE(game->heads()->menu);
}

TEST_F(PlayedGameTest, EachHotKeyFiresItsSkillAtItsCostAndStartsItsCooldown)
{
    game->play();
    struct Row {
        char key;
        const char* name;
        const char* icon;
        float cost;
        float cooldown;
    };
    const Row rows[] = {
        {'1', "Teleport", "textures/skill_teleport.png", 10.0f, 2.0f},
        {'2', "Powerful Regeneration", "textures/skill_regen.png", 0.0f, 9.0f},
        {'3', "Berserker", "textures/skill_berserker.png", 30.0f, 9.0f},
        {'4', "Bladestorm", "textures/skill_bladestorm.png", 20.0f, 0.0f},
        {'5', "Fireball", "textures/skill_fireball.png", 40.0f, 5.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Skill* skill = game->skillNamed(row.name);
        ASSERT_NE(skill, nullptr);
        EXPECT_EQ(skill->getTexturePath(), row.icon);
        EXPECT_EQ(skill->getValue(0), 0.0f) << "never used";

        game->hero()->power = 100.0f;
        game->heads()->keyPress(row.key);
        EXPECT_FLOAT_EQ(game->hero()->power, 100.0f - row.cost);
        EXPECT_FLOAT_EQ(skill->getValue(0), row.cooldown);

        // The cost must be exceeded: exactly the cost is not enough.
        game->hero()->power = row.cost;
        skill->update(row.cooldown);
        EXPECT_FALSE(skill->use());
        game->hero()->power = row.cost + 1.0f;
        EXPECT_TRUE(skill->use());
    }
}

TEST_F(PlayedGameTest, OnlyTheReleaseOfEscapePausesAndOnlyItsReleaseResumes)
{
    game->play();
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_PLAYING) << "paused on the press";
    EXPECT_FALSE(game->heads()->menu);

    pushKey(SDL_KEYUP, SDLK_ESCAPE);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_PAUSED);
    EXPECT_TRUE(game->heads()->menu);

    // Held again in the pause menu: the press changes nothing.
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_PAUSED) << "resumed on the press";
    pushKey(SDL_KEYUP, SDLK_ESCAPE);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_PLAYING);
    EXPECT_FALSE(game->heads()->menu);
}

TEST_F(PlayedGameTest, AClickOnLootPicksItUpWithoutWalkingAndAClickBesideItWalks)
{
    game->play();
    const int x = 700, y = 200;
    const glm::vec3 ground = game->groundUnder(x, y);
    const uint32_t code = Item::generate(1, 1, HEAD, NORMAL);
    game->loot()->addLoot(glm::vec3(ground.x, ground.y, 0.0f), code, game->getLevelPath());
    game->loot()->getLoot().back()->speed = 0.0f;
    game->loot()->update(0.0f);

    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    game->frame();
    ASSERT_EQ(game->hero()->getNumItems(), 1);
    EXPECT_EQ(game->hero()->getItem(0)->itemCode, code);
    EXPECT_TRUE(game->loot()->getLoot().empty());
    EXPECT_FLOAT_EQ(game->hero()->speed, 0.0f) << "the pick-up started a walk";

    // Nothing under the pointer now: the same press walks at 9 units a second.
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
    game->frame();
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y);
    game->frame();
    EXPECT_FLOAT_EQ(game->hero()->speed, 9.0f);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y);
    game->frame();
    EXPECT_FLOAT_EQ(game->hero()->speed, 0.0f);
}

TEST_F(PlayedGameTest, TwoSecondsAfterDeathTheHeroDropsInAtTheStartWithFullHealthAndPower)
{
    game->play();
    game->hero()->position = glm::vec3(40.0f, 35.0f, 2.0f);
    game->hero()->power = 3.0f;
    MailBox::getInstance()->sendMessage(MESSAGE_PLAYER_DEAD, nullptr);
    ASSERT_EQ(game->getGameState(), GAME_STATE_DEAD);
    game->hero()->health = 0.0f;

    // Not yet after a second and a half of lying there.
    game->setStateTimer(1.5f);
    game->frame();
    ASSERT_EQ(game->getGameState(), GAME_STATE_DEAD);
    EXPECT_LT(game->hero()->power, 4.0f);

    game->setStateTimer(2.01f);
    game->frame();
    ASSERT_EQ(game->getGameState(), GAME_STATE_ENTERING);
    Player* hero = game->hero();
    EXPECT_FLOAT_EQ(hero->power, 100.0f);
    EXPECT_FLOAT_EQ(hero->health, 100.0f);
    EXPECT_FLOAT_EQ(hero->position.x, game->currentLevel()->startPosition.x);
    EXPECT_FLOAT_EQ(hero->position.y, game->currentLevel()->startPosition.y);
    EXPECT_FLOAT_EQ(hero->position.z, 20.0f);
    EXPECT_TRUE(hero->falling);

    // The drop-in takes a second before play resumes.
    game->setStateTimer(0.9f);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_ENTERING);
    game->setStateTimer(1.01f);
    game->frame();
    EXPECT_EQ(game->getGameState(), GAME_STATE_PLAYING);
}

TEST_F(PlayedGameTest, TheSecondDungeonsMonstersAreAtLeastLevelSixAndComeBackWithLoot)
{
    game->hero()->exp = 3001; // level 3
    MessagePayload* travel = new MessagePayload;
    travel->setString("levels/level2_1.xml");
    MailBox::getInstance()->sendMessage(MESSAGE_LOAD_LEVEL, travel);
    ASSERT_EQ(game->getLevelPath(), "levels/level2_1.xml");
    ASSERT_FALSE(game->enemyList().empty());
    for (const Enemy* enemy : game->enemyList()) {
        EXPECT_EQ(enemy->level, 6);
        EXPECT_TRUE(enemy->canDropLoot);
        EXPECT_TRUE(enemy->respawns);
        // Scaled by 0.8 up to 1.2: a body 1.6 to 2.4 wide.
        EXPECT_GE(enemy->width, 1.6f);
        EXPECT_LT(enemy->width, 2.4f);
    }
    // The hero drops in from 20 units up.
    EXPECT_FLOAT_EQ(game->hero()->position.z, 20.0f);
    EXPECT_TRUE(game->hero()->falling);
}
