#pragma once

#include <glm/glm.hpp>

#include "audio/GameSound.h"
#include "game/AnimationCompleteListener.h"
#include "game/EnemyDeadListener.h"
#include "game/EnemyType.h"
#include "game/Unit.h"
#include "game/ValueProvider.h"

class Bar;
class CanAddEnemies;
class Collidable;
class Enemy;
class MatrixOwner;
class ProjectileManager;
class Text;

// What a boss is doing. Values 6, 7 and 9 are not used.
enum boss_state : int {
    // Waiting: RABAKULUS and FIHUGIA decide after 1.3 s, HARIONA until it sees the player.
    BOSS_STATE_IDLE = 0,
    // Held after the player came back to life, until resumeState.
    BOSS_STATE_RESET = 1,
    BOSS_STATE_LEAP = 2,
    BOSS_STATE_CHARGE = 3,
    BOSS_STATE_VOLLEY = 4,
    BOSS_STATE_SUMMON = 5,
    BOSS_STATE_CHASE = 8,
    // For good: no action, no drawing, no damage taken.
    BOSS_STATE_DEAD = 10,
};

// The large named unit at the end of a dungeon. RABAKULUS and FIHUGIA keep
// a zombie minion they summon into the game's enemy list, and otherwise leap
// into a straight charge or fire volleys of green projectiles; HARIONA walks
// after the player, through walls, and strikes in melee. A boss does nothing
// until it first sees the player, then acts whether it sees the player or
// not. Its health bar and label are drawn every frame.
//
// The game object makes at most one boss per level, drives and hurts it, and
// handles its death; the boss alone owns its minion, bar and label.
// Construction does no GL work, so the behaviour runs without a GL context.
class Boss : public Unit, public ValueProvider, public AnimationCompleteListener, public EnemyDeadListener {
public:
    // 'player' is tested for contact during a charge; it must be a Unit that
    // answers isCollisionExt with itself. None of the pointers is owned.
    Boss(float x, float y, enemy_type type, ProjectileManager* projectiles, CanAddEnemies* game, Collidable* player);
    ~Boss() override;

    // Refused (false, no sound) once dead; otherwise the hurt scream and the
    // unit rule. True = killed.
    bool addDamage(float amount) override;

    // Health fraction for VALUE_BOSS_HEALTH, 1.0 for any other id.
    float getValue(int id) override;
    float getMaxValue(int id) override;
    float getAbsoluteValue(int id) override;
    // The end of a swing: the hit on the unit given as user data lands.
    void animationComplete(void* userData) override;
    // The minion died: it leaves the game's enemy list until summoned again.
    void enemyDead(Enemy* enemy) override;

    // Bar, label, minion, then the body boxes; false (logged) on the first failure.
    bool setup();
    void update(float dt, Unit* target, Collidable* level);
    void render(MatrixOwner* camera, Followable* light);
    void renderHealthBar(MatrixOwner* camera);
    void kill();
    bool isDead() const;
    // Held while the player comes back to life; released when the player
    // has entered. Neither wakes a dead boss.
    void resetState();
    void resumeState();
    void playGameSound(game_sound sound);
    const char* getName() const;

    // Set when the boss first sees the player; never cleared.
    bool aggro;
    Collidable* playerCollidable;
    // The minion is in the game's enemy list.
    bool minionAlive;
    glm::vec3 summonPoint;
    Enemy* minion;
    CanAddEnemies* canAddEnemies;
    int state;
    // Seconds in the current phase.
    float stateTimer;
    Bar* healthBar;
    Text* nameText;
    float labelWidth;
    // Target position minus boss position, refreshed every update.
    glm::vec3 toTarget;
    // Fixed when a leap is decided; z always 0.
    glm::vec3 chargeDir;
    // Seconds since the last volley shot.
    float shotTimer;
    ProjectileManager* projectiles;
    enemy_type type;

private:
    // Summon, leap and charge, volley.
    void updateBoss1(float dt, const glm::vec3& targetPosition, Collidable* level);
    // Chase and melee.
    void updateBoss2(float dt, Unit* target, bool seen);
    void decide();
    void updateLeap(float dt, Collidable* level);
    // Rushes on in steps short enough that no wall is passed over.
    void updateCharge(float dt, Collidable* level);
    // One step of the charge and the blow to a player it runs into.
    void chargeStep(float dt);
    // The charge ends at a wall: back to where the step began, and waiting.
    void stopAtWall(const glm::vec2& before);
    void updateVolley(float dt, const glm::vec3& targetPosition);
    void fireShot(const glm::vec3& targetPosition);
    void updateSummon(float dt);
    void updateChase(float dt, Unit* target);
    void turnTo(const glm::vec3& direction);
    void refreshBar(float dt);
    void setArms(float pose);
};
