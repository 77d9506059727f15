#pragma once

#include <cstdlib>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "core/MailBox.h"
#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/CanAddEnemies.h"
#include "game/Collidable.h"
#include "game/Unit.h"

// Stand-ins for what enemies, bosses and projectiles meet: the bus, the
// player, the game's enemy list and the game's summoning face.

// One message as the bus delivered it.
struct BusMessage {
    Message kind;
    int value;
    void* custom;
    bool hadPayload;
};

// The first receiver of every kind enemies, bosses and projectiles send,
// for its own lifetime; it leaves the bus empty behind it.
class BusRecorder : public MessageReceiver {
public:
    BusRecorder()
    {
        MailBox::getInstance()->clear();
        for (Message kind : {MESSAGE_PLAY_GAME_SOUND, MESSAGE_PLAYER_RECEIVED_DAMAGE, MESSAGE_PLAYER_DEAD,
                             MESSAGE_ENEMY_RECEIVED_DAMAGE})
            MailBox::getInstance()->registerReceiver(this, kind);
    }
    ~BusRecorder() override
    {
        MailBox::getInstance()->removeReceiver(this);
        MailBox::getInstance()->clear();
    }

    void handleMessage(Message message, MessagePayload* payload) override
    {
        messages.push_back({message, payload != nullptr ? payload->getInt() : 0,
                            payload != nullptr ? payload->getCustom() : nullptr, payload != nullptr});
        if (onMessage)
            onMessage(messages.back());
    }
    const char* whoIsThere() override { return "BusRecorder"; }

    // The ints of every message of one kind, in order.
    std::vector<int> values(Message kind) const
    {
        std::vector<int> found;
        for (const BusMessage& m : messages)
            if (m.kind == kind)
                found.push_back(m.value);
        return found;
    }
    std::vector<int> sounds() const { return values(MESSAGE_PLAY_GAME_SOUND); }
    std::vector<BusMessage> of(Message kind) const
    {
        std::vector<BusMessage> found;
        for (const BusMessage& m : messages)
            if (m.kind == kind)
                found.push_back(m);
        return found;
    }

    std::vector<BusMessage> messages;
    // Runs inside the delivery, as the game's handler would.
    std::function<void(const BusMessage&)> onMessage;
};

// The hero as far as monsters care: a player-sized unit whose footprint is
// its Collidable face, answering with itself like the real player.
class Target : public Unit, public Collidable {
public:
    Target(float x, float y, int level = 1, int armor = 10, int health = 100)
        : Unit(x, y, 1.0f, 2.0f, 2.0f, 4.0f, level, armor, 100, health, 3)
    {
    }

    bool isCollision(const glm::vec3&, float) override { return false; }
    void* isCollisionExt(const glm::vec3& p, float) override
    {
        const bool inside = MathUtil::insideRect(glm::vec2(p.x, p.y), position.x - 0.5f * width,
                                                 position.y - 0.5f * depth, width, depth);
        return inside ? static_cast<Unit*>(this) : nullptr;
    }
    bool lineOfSight(const glm::vec3&, const glm::vec3&, float) override { return false; }
    void* lineOfSightExt(const glm::vec3&, const glm::vec3&, bool* clear, float) override
    {
        *clear = false;
        return nullptr;
    }
};

// The game's enemy list as projectiles see it: the first listed unit whose
// footprint holds the point.
class UnitField : public Collidable {
public:
    std::vector<Unit*> units;

    bool isCollision(const glm::vec3&, float) override { return false; }
    void* isCollisionExt(const glm::vec3& p, float) override
    {
        for (Unit* unit : units)
            if (MathUtil::insideRect(glm::vec2(p.x, p.y), unit->position.x - 0.5f * unit->width,
                                     unit->position.y - 0.5f * unit->depth, unit->width, unit->depth))
                return unit;
        return nullptr;
    }
    bool lineOfSight(const glm::vec3&, const glm::vec3&, float) override { return false; }
    void* lineOfSightExt(const glm::vec3&, const glm::vec3&, bool* clear, float) override
    {
        *clear = false;
        return nullptr;
    }
};

// The game's summoning face: keeps the list a boss adds its minion to.
class EnemyList : public CanAddEnemies {
public:
    std::vector<Enemy*> enemies;
    int removals = 0;

    void addEnemy(Enemy* enemy) override { enemies.push_back(enemy); }
    void removeEnemy(Enemy* enemy) override
    {
        ++removals;
        for (auto it = enemies.begin(); it != enemies.end(); ++it)
            if (*it == enemy) {
                enemies.erase(it);
                return;
            }
    }
};

// Sets the game clock for one test and hands it back to SDL afterwards.
class TestClock {
public:
    explicit TestClock(unsigned start) : now(start) { set_test_ticks(now); }
    ~TestClock() { clear_test_ticks(); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    void set(unsigned ticks)
    {
        now = ticks;
        set_test_ticks(now);
    }
    void advance(unsigned ms) { set(now + ms); }

    unsigned now;
};

// Seeds the process generator so that the next MathUtil::get_random() lies
// just below 'threshold' (or at or just above it), within 0.02: a chance
// moved by more than that changes the outcome.
inline void seedNextRandom(bool below, float threshold)
{
    for (unsigned seed = 1;; ++seed) {
        srand(seed);
        const float r = MathUtil::get_random();
        const bool near = below ? r < threshold && r >= threshold - 0.02f : r >= threshold && r < threshold + 0.02f;
        if (near) {
            srand(seed);
            return;
        }
    }
}
