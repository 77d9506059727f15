#pragma once

#include <string>

#include <glm/glm.hpp>

#include "game/NpcType.h"
#include "game/Unit.h"

class Collidable;
class MatrixOwner;
class Text;

// What a townsperson is doing.
enum npc_state : int {
    NPC_STATE_IDLE = 0,
    NPC_STATE_WANDER = 1,
    NPC_STATE_WANDER_PAUSE = 2,
};

// A peaceful townsperson: strolls to a random visible point near where it
// stands, pauses, walks back and waits again, with its kind's name over its
// head. Nothing hurts it and it pays the player no attention. The game object
// creates the NPCs of a level, updates them in the start menu and in play,
// and draws their labels when the player can see them.
//
// Its timers are absolute tick counts of get_ticks(); a timer has passed
// when the current tick is greater.
class Npc : public Unit {
public:
    // Builds the label too, but does no GL work.
    Npc(float x, float y, npc_type type);
    ~Npc() override;

    // The label first, then the body.
    bool setup();
    // "Commoner", "Merchant", or "Unknown" for any other kind.
    std::string getName() const;
    void render(MatrixOwner* camera, Followable* light);
    // Draws the name centred 80 pixels above the NPC's place on screen.
    void renderHealthBar(MatrixOwner* camera);
    // The wander cycle, then the unit's own update.
    void update(float dt, Collidable* level);

    int state;
    npc_type type;
    unsigned int nextWanderTime;
    unsigned int pauseUntil;
    glm::vec3 wanderTarget;
    glm::vec3 home;
    // Moving and facing direction.
    glm::vec3 direction;
    Text* nameText;
    // Drawn width of the label, for centring.
    float labelWidth;

private:
    void startWalk(Collidable* level);
    void walk(float dt);
};
