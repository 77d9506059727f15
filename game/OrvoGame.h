#pragma once

#include <GL/glew.h>
#include <SDL.h>

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "core/Log.h"
#include "core/MessageReceiver.h"
#include "game/CanAddEnemies.h"
#include "game/Collidable.h"
#include "game/SkillActivatedInterface.h"

class Boss;
class Camera;
class CombatText;
class Enemy;
class Hud;
class Level;
class LootManager;
class Npc;
class ParticleSystem;
class Player;
class ProjectileManager;
class ScreenQuad;
class Skill;
class SoundSystem;

// What the player is doing; values 4 and 5 are not used.
enum game_state {
    GAME_STATE_START_MENU = 0,
    GAME_STATE_ENTERING = 1,
    GAME_STATE_PLAYING = 2,
    GAME_STATE_PAUSED = 3,
    GAME_STATE_DEAD = 6,
};

// Where the player lands in a new level.
enum setup_level_reason {
    SETUP_LEVEL_START = 0,    // at the level's start (game start, world-map travel)
    SETUP_LEVEL_PREVIOUS = 1, // at its next-level stairs: the player came up
    SETUP_LEVEL_NEXT = 2,     // at its previous-level stairs: the player went down
};

// The running game. Owns every object of it (sound, player, HUD, camera, the
// current level with its inhabitants and projectile pool, effects, loot and
// skills), holds the game state and runs the frame loop. It is also the
// receiver of the game's bus messages, the listener of the skills, the place
// a boss puts its minion, and the target projectiles test against enemies.
class OrvoGame : public MessageReceiver,
                 public SkillActivatedInterface,
                 public CanAddEnemies,
                 public Collidable {
public:
    // The argument is not used.
    explicit OrvoGame(std::string unused);
    ~OrvoGame() override;
    OrvoGame(const OrvoGame&) = delete;
    OrvoGame& operator=(const OrvoGame&) = delete;

    // Creates every part of the game; false, after its error line, when one fails.
    bool setup();
    // Runs frames until EXIT is chosen in a menu (or the process is told to end).
    void gameLoop(SDL_Window* window);
    // Replaces the current level by the one at levelPath. A level that fails to
    // load leaves the current one in place.
    bool setupLevel(setup_level_reason reason);

    void handleMessage(Message message, MessagePayload* payload) override;
    const char* whoIsThere() override;

    void skillActivated(Skill* skill) override;
    int getAvailablePower() override;

    // A boss's minion joins and leaves the enemy list; the boss keeps owning it.
    void addEnemy(Enemy* enemy) override;
    void removeEnemy(Enemy* enemy) override;

    // Only isCollisionExt serves (projectile hits on enemies); the others are
    // not used by the game and say so.
    bool isCollision(const glm::vec3& position, float radius) override;
    void* isCollisionExt(const glm::vec3& position, float size) override;
    bool lineOfSight(const glm::vec3& from, const glm::vec3& to, float maxDistance) override;
    void* lineOfSightExt(const glm::vec3& from, const glm::vec3& to, bool* clear, float maxDistance) override;

    // The level of ordinary enemies in a level for a player of playerLevel.
    static int enemyLevelFor(const std::string& levelPath, int playerLevel);

    int getGameState() const { return gameState; }
    const std::string& getLevelPath() const { return levelPath; }

protected:
    SoundSystem* soundSystem;
    Player* player;
    Hud* hud;
    CombatText* combatText;
    Camera* camera;
    ScreenQuad* fboQuad;
    Level* level;
    ParticleSystem* deathEffect;
    ParticleSystem* regenEffect;
    LootManager* lootManager;
    ProjectileManager* projectileManager;
    Skill* regenSkill;
    Skill* teleportSkill;
    Skill* berserkerSkill;
    Skill* bladestormSkill;
    Skill* fireballSkill;
    bool teleportPending;
    float stateTimer;
    Boss* boss;
    std::vector<Enemy*> enemies;
    std::vector<Npc*> npcs;
    int gameState;
    std::string levelPath;

    // Entries of 'enemies' that a boss put there: listed, never owned.
    std::vector<Enemy*> summoned;

    // Melee, kills and loot.
    Enemy* enemyWithinRange(bool facing);
    bool bossWithinRange();
    void handlePlayerAttackOnEnemy(Enemy* enemy, float multiplier, int damage);
    void dropLoot(const glm::vec3& position, int levelSpread, float magicChance, float rareChance, float epicChance);
    void meleeAttack();
    void killBoss();
    void spinHit();

    // Level changes.
    void tearDownLevel();
    bool populateLevel();
    // Sets up a newly made inhabitant and hands it to 'keep'. One whose set-up
    // fails is deleted after 'failure' is logged, and never kept: nothing
    // half set up is updated or drawn.
    template <typename T, typename Keep>
    static bool keepIfSetUp(T* made, const char* failure, Keep keep)
    {
        if (!made->setup()) {
            log_error("%s", failure);
            delete made;
            return false;
        }
        keep(made);
        return true;
    }
    // Stores 'path' and sets it up; on failure the previous path comes back
    // with the level that is still in place.
    bool travelTo(const std::string& path, setup_level_reason reason);

    // One frame's world updates in play, after input: skills, units, level,
    // camera, HUD, effects, texts, loot and projectiles, in that order.
    void updateWorld(float dt, int mouseX, int mouseY);
    // Draws the world into the offscreen frame, shows it through the
    // pixelate pass and draws the overlays; the caller swaps.
    void drawWorldAndOverlays(GLuint frameBuffer, GLuint frameTexture);
    // The offscreen target of the window's size: colour texture and
    // depth-stencil buffer. Leaves it bound; false when it is incomplete.
    static bool createFramebuffer(GLuint* frameBuffer, GLuint* frameTexture, GLuint* depthStencilBuffer);
    // The GL state every frame is drawn with, set once before the first.
    static void setDrawingState();

private:
    // Input and per-state steps of the frame loop.
    struct LoopState {
        bool holdPosition = false;
        bool mouseHeld = false;
        bool walking = false;
        float footstepTimer = 0.0f;
        int positionLogCounter = 1;
        bool quitRequested = false;
        bool attackRequested = false;
        int hudResult = 0;
    };

    void updateFps(float dt);
    glm::vec3 worldPointUnder(int x, int y) const;
    void startMenuStep(float dt, int mx, int my, LoopState& loop);
    void enteringStep(float dt);
    // False when the frame must end at once (EXIT chosen during play).
    bool playingStep(float dt, int mx, int my, LoopState& loop);
    bool handlePlayingEvent(const SDL_Event& event, LoopState& loop);
    void handleLeftPress(int x, int y, LoopState& loop);
    void playingUpdates(float dt, int mx, int my, LoopState& loop);
    void pausedStep(float dt, int mx, int my, LoopState& loop);
    void deadStep(float dt);
    void respawn();
    void drawFrame(SDL_Window* window, GLuint frameBuffer, GLuint frameTexture);
    void logPosition(LoopState& loop) const;
};
