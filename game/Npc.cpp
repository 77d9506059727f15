#include "game/Npc.h"

#include <cstdio>

#include "core/Log.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/Collidable.h"
#include "render/MatrixOwner.h"
#include "render/Text.h"

namespace {

struct npc_kind {
    const char* name;
    const char* bodyTexture;
    const char* armTexture;
};

const npc_kind NPC_KINDS[] = {
    {"Commoner", "textures/units/commoner.png", "textures/units/commoner_arm.png"},
    {"Merchant", "textures/units/merchant.png", "textures/units/merchant_arm.png"},
};
constexpr int NPC_KIND_COUNT = sizeof(NPC_KINDS) / sizeof(NPC_KINDS[0]);

const char* const FONT_TEXTURE = "textures/font.png";
constexpr int LABEL_CAPACITY = 50;
constexpr float LABEL_SCALE = 0.3f;
// The label floats this many pixels above the NPC's screen position.
constexpr float LABEL_LIFT = 80.0f;

constexpr float WALK_SPEED = 4.0f;
// Closer than this to its goal a walk has arrived.
constexpr float ARRIVAL_DISTANCE = 0.1f;
constexpr float WANDER_RADIUS = 10.0f;
// Waits in milliseconds: a fixed part plus a random part below the spread.
constexpr unsigned FIRST_WAIT = 2000;
constexpr unsigned FIRST_WAIT_SPREAD = 5000;
constexpr unsigned IDLE_WAIT = 2000;
constexpr unsigned IDLE_WAIT_SPREAD = 10000;
constexpr unsigned PAUSE_WAIT = 1000;
constexpr unsigned PAUSE_WAIT_SPREAD = 5000;

const npc_kind* kindOf(npc_type type)
{
    if (type < 0 || type >= NPC_KIND_COUNT)
        return nullptr;
    return &NPC_KINDS[type];
}

unsigned waitFromNow(unsigned fixed, unsigned spread)
{
    return get_ticks() + fixed + MathUtil::random() % spread;
}

} // namespace

Npc::Npc(float x, float y, npc_type type)
    : Unit(x, y, 1, 2, 2, 3, 10, 1, 1, 1, 1), state(NPC_STATE_IDLE), type(type), nextWanderTime(0), pauseUntil(0),
      wanderTarget(0.0f), home(0.0f), direction(0.0f), nameText(nullptr), labelWidth(0.0f)
{
    const npc_kind* kind = kindOf(type);
    if (kind != nullptr)
        setTexturePaths(kind->bodyTexture, kind->armTexture);
    else
        log_warning("Invalid NPC type");

    char label[LABEL_CAPACITY];
    std::snprintf(label, sizeof(label), "%s", getName().c_str());
    nameText = new Text(0, 0, label, LABEL_SCALE, glm::vec3(1.0f, 1.0f, 1.0f), FONT_TEXTURE);
    labelWidth = Text::dimensions(label).x * LABEL_SCALE;

    nextWanderTime = waitFromNow(FIRST_WAIT, FIRST_WAIT_SPREAD);
    direction = get_random_normalized_vector();
}

Npc::~Npc()
{
    delete nameText;
}

bool Npc::setup()
{
    if (!nameText->setup()) {
        log_error("Npc level and name text setup error");
        return false;
    }
    return Unit::setup();
}

std::string Npc::getName() const
{
    const npc_kind* kind = kindOf(type);
    return kind != nullptr ? kind->name : "Unknown";
}

void Npc::render(MatrixOwner* camera, Followable* light)
{
    Unit::render(camera, light);
}

void Npc::renderHealthBar(MatrixOwner* camera)
{
    const glm::vec2 screen = world_to_screen(position, camera->getPerspectiveMatrix(), camera->getViewMatrix());
    nameText->setPos(screen.x - 0.5f * labelWidth, static_cast<float>(SCREEN_HEIGHT) - screen.y + LABEL_LIFT);
    nameText->render(camera);
}

void Npc::update(float dt, Collidable* level)
{
    switch (state) {
    case NPC_STATE_IDLE:
        if (get_ticks() > nextWanderTime)
            startWalk(level);
        break;
    case NPC_STATE_WANDER:
        walk(dt);
        break;
    case NPC_STATE_WANDER_PAUSE:
        if (get_ticks() > pauseUntil)
            state = NPC_STATE_WANDER;
        break;
    default:
        break;
    }
    rotation.z = headingOf(direction, rotation.z);
    Unit::update(dt);
}

void Npc::startWalk(Collidable* level)
{
    home = position;
    wanderTarget = getRandomPosWithLOS(level, WANDER_RADIUS);
    state = NPC_STATE_WANDER;
}

void Npc::walk(float dt)
{
    direction = wanderTarget - position;
    const float distance = glm::length(direction);
    // Standing exactly on the goal gives no direction to step along.
    if (distance > 0.0f)
        position += direction / distance * WALK_SPEED * dt;
    if (distance >= ARRIVAL_DISTANCE)
        return;

    if (glm::distance(wanderTarget, home) < ARRIVAL_DISTANCE) {
        state = NPC_STATE_IDLE;
        nextWanderTime = waitFromNow(IDLE_WAIT, IDLE_WAIT_SPREAD);
    } else {
        wanderTarget = home;
        state = NPC_STATE_WANDER_PAUSE;
        pauseUntil = waitFromNow(PAUSE_WAIT, PAUSE_WAIT_SPREAD);
    }
}
