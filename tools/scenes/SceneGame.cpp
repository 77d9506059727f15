#include "SceneGame.h"

#include <cmath>
#include <cstdlib>

#include "audio/SoundSystem.h"
#include "core/MailBox.h"
#include "core/Util.h"
#include "game/Boss.h"
#include "game/Enemy.h"
#include "game/Item.h"
#include "game/Level.h"
#include "game/Npc.h"
#include "game/Player.h"
#include "hud/Hud.h"
#include "render/Camera.h"
#include "render/Text.h"

namespace {

const char* const TOWN = "levels/level0.xml";
const char* const FIRST_CRYPT = "levels/level1_1.xml";
// Every scene starts from the same random numbers: the enemies' first
// headings and the rest of what a level's set-up draws by chance.
constexpr unsigned SCENE_SEED = 1234;
// The menu's version line names the build; the picture must not.
const char* const FIXED_VERSION = "Version scene";
// The pointer rests outside the window, so no menu entry is hovered.
constexpr int POINTER_AWAY = -1000;

// The fight: this many enemies in a ring round the hero, facing it.
constexpr int FIGHTERS = 12;
constexpr float TWO_PI = 6.28318530718f;
constexpr float RING_RADIUS = 5.0f;
constexpr float ENEMY_CLEARANCE = 0.75f;
// How far from its arrival point the hero may be moved to stand right in
// front of a wall (seen from the eye), and how much room it needs there.
constexpr int WALL_SEARCH_RANGE = 30;
constexpr float HERO_CLEARANCE = 1.5f;

// A bag of items of every slot and quality, made from fixed codes.
constexpr int ITEM_LEVELS = 15;
constexpr int ITEM_SLOTS = 7;
constexpr int ITEM_QUALITIES = 4;
constexpr unsigned FIRST_ITEM_SEED = 100;

uint32_t itemCode(int i)
{
    return Item::makeCode(FIRST_ITEM_SEED + static_cast<uint32_t>(i), static_cast<item_quality>(i % ITEM_QUALITIES),
                          static_cast<item_slot>(i % ITEM_SLOTS), 1u + static_cast<uint32_t>(i % ITEM_LEVELS));
}

// The HUD keeps its version line to itself; the scenes reach it through a
// pointer to the member.
struct HudVersionLine : Hud {
    static Text* Hud::*member() { return &HudVersionLine::versionText; }
};

} // namespace

const char* sceneName(Scene scene)
{
    switch (scene) {
    case Scene::START_MENU:
        return "menu";
    case Scene::TOWN:
        return "town";
    case Scene::CRYPT:
        return "crypt";
    case Scene::FIGHT:
        return "fight";
    case Scene::INVENTORY:
        return "inventory";
    }
    return "unknown";
}

SceneGame::SceneGame() : OrvoGame("scene")
{
    // Sound plays into nothing: a scene must not depend on a sound card.
    setenv("ALSOFT_DRIVERS", "null", 0);
}

// The game and its sound system stay registered on the bus after they are
// gone; the next game object must be the one that hears.
SceneGame::~SceneGame()
{
    MailBox::getInstance()->removeReceiver(soundSystem);
    MailBox::getInstance()->removeReceiver(this);
}

bool SceneGame::stage(Scene scene)
{
    std::srand(SCENE_SEED);
    if (!setup())
        return false;
    (hud->*HudVersionLine::member())->setText(FIXED_VERSION);
    bool staged = true;
    switch (scene) {
    case Scene::START_MENU:
        break;
    case Scene::TOWN:
        startPlaying();
        break;
    case Scene::CRYPT:
        staged = enterLevel(FIRST_CRYPT);
        startPlaying();
        break;
    case Scene::FIGHT:
        staged = enterLevel(FIRST_CRYPT);
        startPlaying();
        staged = staged && standBehindWall();
        surroundHero();
        break;
    case Scene::INVENTORY:
        startPlaying();
        fillBag();
        hud->keyPress('i');
        break;
    }
    settle();
    return staged && (scene != Scene::INVENTORY || hud->inventoryActive());
}

void SceneGame::draw(GLuint frameBuffer, GLuint frameTexture)
{
    drawWorldAndOverlays(frameBuffer, frameTexture);
}

bool SceneGame::enterLevel(const std::string& path)
{
    std::srand(SCENE_SEED);
    levelPath = path;
    return setupLevel(SETUP_LEVEL_START);
}

void SceneGame::startPlaying()
{
    hud->menu = false;
    hud->showAll(true);
    player->position.z = 0.0f;
    player->falling = false;
    gameState = GAME_STATE_PLAYING;
}

// The nearest free spot to the arrival point from which the first wall
// towards the eye is drawn see-through.
bool SceneGame::standBehindWall()
{
    const glm::vec3 arrival = player->position;
    for (int range = 0; range <= WALL_SEARCH_RANGE; ++range) {
        for (int dy = -range; dy <= range; ++dy) {
            for (int dx = -range; dx <= range; ++dx) {
                if (std::abs(dx) != range && std::abs(dy) != range)
                    continue;
                const glm::vec3 spot = arrival + glm::vec3(static_cast<float>(dx), static_cast<float>(dy), 0.0f);
                if (level->isCollision(spot, HERO_CLEARANCE))
                    continue;
                player->position = spot;
                camera->update(0.0f);
                bool clear = true;
                if (level->lineOfSightExt(spot, camera->getPosition(), &clear, -1.0f) != nullptr && !clear)
                    return true;
            }
        }
    }
    player->position = arrival;
    return false;
}

// The first living enemies of the level stand round the hero where there is
// room, facing it and engaged.
void SceneGame::surroundHero()
{
    const glm::vec3 hero = player->position;
    int placed = 0;
    for (Enemy* enemy : enemies) {
        if (placed == FIGHTERS)
            break;
        if (enemy->isDead())
            continue;
        for (int slot = placed; slot < 2 * FIGHTERS; ++slot) {
            const float angle = TWO_PI * static_cast<float>(slot) / FIGHTERS;
            const float radius = RING_RADIUS * (slot < FIGHTERS ? 1.0f : 1.6f);
            const glm::vec3 spot = hero + radius * glm::vec3(std::cos(angle), std::sin(angle), 0.0f);
            if (level->isCollision(spot, ENEMY_CLEARANCE))
                continue;
            enemy->position = glm::vec3(spot.x, spot.y, enemy->position.z);
            enemy->rotation.z = Unit::headingOf(hero - spot, enemy->rotation.z);
            enemy->state = ENEMY_STATE_ENGAGED;
            break;
        }
        ++placed;
    }
}

void SceneGame::fillBag()
{
    for (int i = 0; i < Player::BAG_SIZE; ++i)
        player->addItem(itemCode(i));
}

void SceneGame::settle()
{
    player->Unit::update(0.0f);
    for (Enemy* enemy : enemies)
        enemy->Unit::update(0.0f);
    for (Npc* npc : npcs)
        npc->Unit::update(0.0f);
    if (boss != nullptr)
        boss->Unit::update(0.0f);
    camera->update(0.0f);
    hud->update(0.0f, POINTER_AWAY, POINTER_AWAY);
}
