#pragma once

#include <string>

#include <glm/glm.hpp>

#include "audio/GameSound.h"
#include "game/AnimationCompleteListener.h"
#include "game/EnemyType.h"
#include "game/Unit.h"
#include "game/ValueProvider.h"

class Bar;
class Collidable;
class EnemyDeadListener;
class MatrixOwner;
class ProjectileManager;
class Text;

// What an enemy is doing; written by its update and kill, by a boss that
// summons it and by the game when the player comes back to life.
enum enemy_state : int {
    ENEMY_STATE_IDLE = 0,
    ENEMY_STATE_WANDER = 1,
    ENEMY_STATE_WANDER_PAUSE = 2,
    ENEMY_STATE_ENGAGED = 3,
    ENEMY_STATE_SEEK = 4,
    ENEMY_STATE_FLEE = 5,
    ENEMY_STATE_DEAD = 6,
    ENEMY_STATE_RESPAWN_WAIT = 7,
};

// An ordinary monster: a Zombie, Ghost, Crazy Monk or Lunatic placed by the
// level bitmap, or a boss's summoned minion. It idles and wanders about its
// spawn, engages the player once the level reports a line of sight, chases
// and strikes in melee (the monk shoots from where it stands), follows the
// player's last known position when it loses sight, flees while badly hurt,
// and may come back 25 to 50 seconds after death. Its health bar and a
// "name - level" label float over its head; its sounds go over the bus.
//
// The game object creates, updates, draws and hurts enemies; a boss owns its
// minion. Construction does no GL work, so the behaviour runs without a GL
// context; AI timers read get_ticks().
class Enemy : public Unit, public ValueProvider, public AnimationCompleteListener {
public:
    Enemy(float x, float y, float scale, int level, enemy_type type, ProjectileManager* pm, bool canDropLoot,
          bool respawns);
    ~Enemy() override;

    // Sends the damage-taken sound, then applies the damage; true = killed.
    bool addDamage(float amount) override;

    // Health fraction for VALUE_ENEMY_HEALTH, 1.0 for any other id.
    float getValue(int id) override;
    float getMaxValue(int id) override;
    float getAbsoluteValue(int id) override;
    // The end of a swing: the hit on the unit given as user data lands.
    void animationComplete(void* userData) override;

    // Health bar, label, then the body boxes; false (logged) on the first failure.
    bool setup();
    // One frame of the state machine. 'target' is null while the player is dead.
    void update(float dt, Unit* target, Collidable* level);
    void render(MatrixOwner* camera, Followable* light);
    // Bar and label over the head, in window pixels; nothing while dead.
    void renderHealthBar(MatrixOwner* camera);
    // Dies; 'respawnLevel' is the level to come back at, -1 to keep the old one.
    void kill(int respawnLevel);
    bool isDead() const;
    bool canPerformedRangedAttack() const;
    void toggleHealthBarEnabled();
    const char* getName() const;

    // The overhead health bar and "name - level" label, shared with bosses.
    static std::string makeLabel(const char* name, int level);
    static float labelWidthOf(const std::string& label);
    static Text* makeLabelText(const std::string& label);
    static Bar* makeHealthBar(int maxValue, ValueProvider* provider, int valueId);
    // Sets up bar and label; false (logged) when one fails.
    static bool setupOverhead(Bar* bar, Text* label);
    // Draws the bar where the last call put it, then moves bar and label
    // above 'position' and draws the label.
    static void renderOverhead(MatrixOwner* camera, const glm::vec3& position, Bar* bar, Text* label,
                               float labelWidth);

    void playDetectSound();
    void playAttackSound();
    void playDamageTakenSound();
    void playDeathSound();

    EnemyDeadListener* deadListener;
    bool respawns;
    bool canDropLoot;
    int state;
    enemy_type type;
    int respawnLevel;
    unsigned int respawnTime;
    unsigned int nextWanderTime;
    unsigned int pauseUntil;
    glm::vec3 wanderTarget;
    glm::vec3 home;
    glm::vec3 lastKnownTarget;
    // 0.2 up to 1.2; multiplies wander and chase speeds.
    float speedFactor;
    Bar* healthBar;
    Text* nameText;
    float labelWidth;
    // Where it walks and faces.
    glm::vec3 direction;
    // Offset from the target that a melee enemy runs to.
    glm::vec3 approachOffset;
    // Seconds gathered towards the monk's next shot.
    float rangedTimer;
    ProjectileManager* projectiles;

private:
    // IDLE, WANDER, WANDER_PAUSE and SEEK: engage when the target is seen,
    // else the state's own step.
    void updateUnengaged(float dt, bool seen, Collidable* level);
    void updateEngaged(float dt, Unit* target, const glm::vec3& targetPosition, bool seen);
    void updateMelee(float dt, Unit* target, const glm::vec3& targetPosition);
    void shoot(const glm::vec3& targetPosition);
    void updateWander(float dt);
    void updateSeek(float dt);
    void updateFlee(float dt);
    void updateDead();
    void updateRespawnWait();
    void returnToLife();
    // Sets 'direction' towards 'goal' and steps along it; the distance
    // before the step, which decides arrival.
    float walkTowards(const glm::vec3& goal, float speed, float dt);
    // A quiet spell of 2 to 12 seconds before the next wander.
    void goIdle();
    // (int)health against 30 % of (int)maxHealth: below it an engaged enemy
    // flees, at or below it a fleeing one keeps fleeing.
    bool healthBelowFleeLine() const;
    bool healthAtOrBelowFleeLine() const;
    void setLabel();
    void sendSound(game_sound sound) const;
};
