#pragma once

#include <cstddef>

#include <GL/glew.h>
#include <glm/glm.hpp>

class Collidable;
class MatrixOwner;
class ShaderProgram;
class Unit;

// One projectile of the pool. The pool is uploaded to the GPU as it is, so
// this record is also the vertex format the projectile shaders read.
struct projectile_data {
    float x;
    float y;
    // 1.0 while the projectile flies, -1.0 for a free record.
    float active;
    float color[3];
    // Units per second.
    float vx;
    float vy;
    float damage;
    float padding;
    // The unit that fired it; compared, never dereferenced.
    Unit* owner;
};

static_assert(sizeof(projectile_data) == 48, "the projectile record is the 48-byte vertex layout");
static_assert(offsetof(projectile_data, x) == 0, "attribute 0 (x, y) starts at byte 0");
static_assert(offsetof(projectile_data, active) == 8, "attribute 1 (active) starts at byte 8");
static_assert(offsetof(projectile_data, color) == 12, "attribute 2 (colour) starts at byte 12");
static_assert(offsetof(projectile_data, vx) == 24 && offsetof(projectile_data, vy) == 28, "velocity at 24");
static_assert(offsetof(projectile_data, damage) == 32, "damage at byte 32");
static_assert(offsetof(projectile_data, owner) == 40, "owner at byte 40");

// Flies every projectile of the current level: the hero's fireballs, the
// Crazy Monk's shots and the bosses' volleys. They move in straight lines one
// unit above the floor until they hit the player, an enemy or a wall; a hit
// is not applied here but reported on the message bus to the game object.
//
// All projectiles live in one fixed pool that is also the vertex buffer,
// drawn as additive point sprites in one call. The game makes one manager
// per level, right after the level, and deletes it before the next.
// Construction does no GL work, so the flight rules run without a context.
class ProjectileManager {
public:
    static constexpr int MAX_PROJECTILES = 20;
    // Height of the flight plane, where all hit tests are made.
    static constexpr float FLIGHT_HEIGHT = 1.0f;

    // 'enemies' answers isCollisionExt with the living enemy under a point.
    // None of the three is owned. All records start free.
    ProjectileManager(Collidable* level, Collidable* player, Collidable* enemies);
    ~ProjectileManager();
    ProjectileManager(const ProjectileManager&) = delete;
    ProjectileManager& operator=(const ProjectileManager&) = delete;

    // Takes program and sprite from the caches and uploads the pool; false
    // when the program cannot be built (the cache logs why).
    bool setup();
    // Fires from 'position' (its z is dropped) along 'direction'; silently
    // dropped when all records fly.
    void add(const glm::vec3& position, glm::vec3 direction, float speed, const glm::vec3& color, Unit* owner,
             int damage);
    // Resolves hits in pool order, then moves what was not hit. 'player' is
    // compared with each projectile's owner.
    void update(float dt, Unit* player);
    void render(MatrixOwner* camera);

    const projectile_data& getProjectile(int index) const { return mpProjectiles[index]; }
    int getActiveCount() const;

private:
    static void release(projectile_data* record);
    // Moves one live projectile through a frame in steps short enough that no
    // wall or unit is flown over, stopping at the first hit.
    void fly(projectile_data* record, float dt, Unit* player);
    // Reports a hit on the bus; true when the record was used up by it.
    bool resolveHits(projectile_data* record, Unit* player);

    ShaderProgram* program;
    GLuint texture;
    GLuint vbo;
    GLuint vao;
    Collidable* levelCollidable;
    Collidable* playerCollidable;
    Collidable* enemyCollidable;
    // Owned by this manager, so two managers alive at once (a level change
    // made in a different order, a test) never share or double-free it.
    projectile_data* mpProjectiles;
};
