#include "game/ProjectileManager.h"

#include <glm/gtc/type_ptr.hpp>

#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "game/Collidable.h"
#include "render/MatrixOwner.h"
#include "render/ProgramManager.h"
#include "render/TextureManager.h"

namespace {

const char* const VERTEX_SHADER = "shaders/projectiles.vs";
const char* const FRAGMENT_SHADER = "shaders/projectiles.fs";
const char* const SPRITE_TEXTURE = "textures/particle.bmp";

constexpr float LIVE = 1.0f;
constexpr float FREE = -1.0f;
// Against walls a projectile is the 2 x 2 square of the grid test; the
// player and the game ignore the size and test the point.
constexpr float WALL_RADIUS = 1.0f;
constexpr float UNIT_HIT_SIZE = 1.0f;
// The square of the wall test sees a wall one cell thick only when one of
// its corners lands in that cell, so a flight is cut into steps shorter than
// a cell that can never jump one. The fastest shots (25 units a second)
// cover 0.42 units in a frame at 60 frames a second: one step.
constexpr float MAX_FLIGHT_STEP = 0.45f;

constexpr GLsizei RECORD_BYTES = sizeof(projectile_data);
constexpr GLsizeiptr POOL_BYTES = ProjectileManager::MAX_PROJECTILES * sizeof(projectile_data);

void sendHit(Message message, float damage, void* victim)
{
    MessagePayload* payload = new MessagePayload();
    payload->setInt(static_cast<int>(damage));
    payload->setCustom(victim);
    MailBox::getInstance()->sendMessage(message, payload);
}

void declareAttribute(GLuint index, GLint floats, size_t offset)
{
    glVertexAttribPointer(index, floats, GL_FLOAT, GL_FALSE, RECORD_BYTES, reinterpret_cast<void*>(offset));
    glEnableVertexAttribArray(index);
}

} // namespace

ProjectileManager::ProjectileManager(Collidable* level, Collidable* player, Collidable* enemies)
    : program(nullptr)
    , texture(0)
    , vbo(0)
    , vao(0)
    , levelCollidable(level)
    , playerCollidable(player)
    , enemyCollidable(enemies)
    , mpProjectiles(new projectile_data[MAX_PROJECTILES]())
{
    for (int i = 0; i < MAX_PROJECTILES; ++i)
        release(&mpProjectiles[i]);
}

ProjectileManager::~ProjectileManager()
{
    if (program != nullptr)
        ProgramManager::getInstance()->freeProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    if (texture != 0)
        TextureManager::getInstance()->freeTexture(SPRITE_TEXTURE);
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
    }
    delete[] mpProjectiles;
}

bool ProjectileManager::setup()
{
    program = ProgramManager::getInstance()->loadProgram(VERTEX_SHADER, FRAGMENT_SHADER, "");
    texture = TextureManager::getInstance()->loadTexture(SPRITE_TEXTURE, true);

    glGenBuffers(1, &vbo);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, POOL_BYTES, mpProjectiles, GL_STATIC_DRAW);
    declareAttribute(0, 2, offsetof(projectile_data, x));
    declareAttribute(1, 1, offsetof(projectile_data, active));
    declareAttribute(2, 3, offsetof(projectile_data, color));
    glBindVertexArray(0);
    // Without its program the pool could not be drawn at all; the texture
    // cache has already logged a missing sprite, which only looks wrong.
    return program != nullptr;
}

void ProjectileManager::release(projectile_data* record)
{
    record->active = FREE;
}

int ProjectileManager::getActiveCount() const
{
    int count = 0;
    for (int i = 0; i < MAX_PROJECTILES; ++i)
        if (mpProjectiles[i].active > 0.0f)
            ++count;
    return count;
}

void ProjectileManager::add(const glm::vec3& position, glm::vec3 direction, float speed, const glm::vec3& color,
                            Unit* owner, int damage)
{
    // Without a direction there is nothing to fly along, and normalising it
    // would put NaN into the record and from there into the wall grid.
    if (glm::length(direction) <= 0.0f)
        return;
    direction = glm::normalize(direction);
    for (int i = 0; i < MAX_PROJECTILES; ++i) {
        projectile_data& record = mpProjectiles[i];
        if (record.active >= 0.0f)
            continue;
        record.x = position.x;
        record.y = position.y;
        record.active = LIVE;
        record.owner = owner;
        record.vx = direction.x * speed;
        record.vy = direction.y * speed;
        record.damage = static_cast<float>(damage);
        record.color[0] = color.r;
        record.color[1] = color.g;
        record.color[2] = color.b;
        return;
    }
}

void ProjectileManager::update(float dt, Unit* player)
{
    for (int i = 0; i < MAX_PROJECTILES; ++i) {
        projectile_data* record = &mpProjectiles[i];
        if (record->active <= 0.0f)
            continue;
        fly(record, dt, player);
    }
}

void ProjectileManager::fly(projectile_data* record, float dt, Unit* player)
{
    const float stride = glm::length(glm::vec2(record->vx, record->vy)) * dt;
    MathUtil::forEachSubStep(stride, MAX_FLIGHT_STEP, dt, [this, record, player](float stepTime, bool) {
        if (resolveHits(record, player))
            return false;
        record->x += record->vx * stepTime;
        record->y += record->vy * stepTime;
        return true;
    });
}

bool ProjectileManager::resolveHits(projectile_data* record, Unit* player)
{
    const glm::vec3 point(record->x, record->y, FLIGHT_HEIGHT);
    // Walls are asked first but count only when no unit was hit.
    const bool wall = levelCollidable->isCollision(point, WALL_RADIUS);
    void* hitPlayer = playerCollidable->isCollisionExt(point, UNIT_HIT_SIZE);
    const bool firedByPlayer = record->owner == player;
    if (hitPlayer != nullptr)
        sendHit(MESSAGE_PLAYER_RECEIVED_DAMAGE, record->damage, hitPlayer);
    if (hitPlayer != nullptr && !firedByPlayer) {
        release(record);
        return true;
    }
    if (firedByPlayer) {
        void* hitEnemy = enemyCollidable->isCollisionExt(point, UNIT_HIT_SIZE);
        const bool enemyHit = hitEnemy != nullptr && hitEnemy != static_cast<void*>(record->owner);
        if (enemyHit)
            sendHit(MESSAGE_ENEMY_RECEIVED_DAMAGE, record->damage, hitEnemy);
        if (enemyHit || hitPlayer != nullptr) {
            release(record);
            return true;
        }
    }
    if (wall) {
        release(record);
        return true;
    }
    return false;
}

void ProjectileManager::render(MatrixOwner* camera)
{
    if (program == nullptr)
        return;
    program->use();
    const GLuint id = program->getId();
    const GLint samplerLocation = glGetUniformLocation(id, "s_texture");
    const GLint worldLocation = glGetUniformLocation(id, "u_world_matrix");
    const GLint viewLocation = glGetUniformLocation(id, "u_view_matrix");
    const GLint projectionLocation = glGetUniformLocation(id, "u_projection_matrix");

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    const glm::mat4 world(1.0f);
    const glm::mat4 view = camera->getViewMatrix();
    glUniformMatrix4fv(worldLocation, 1, GL_FALSE, glm::value_ptr(world));
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(camera->getPerspectiveMatrix()));

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(samplerLocation, 0);

    // Free records are drawn too; the shaders hide them by their 'active'.
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, POOL_BYTES, mpProjectiles, GL_STATIC_DRAW);
    glDrawArrays(GL_POINTS, 0, MAX_PROJECTILES);
    glBindVertexArray(0);

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
