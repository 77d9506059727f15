#include "hud/CombatText.h"

#include <cstdio>

#include <glm/glm.hpp>

#include "core/MathUtil.h"
#include "core/Util.h"
#include "game/Followable.h"
#include "render/MatrixOwner.h"
#include "render/Text.h"

namespace {

// Ages of free entries: never used yet, and cleared by removeAll.
const float AGE_UNUSED = 4.0f;
const float AGE_CLEARED = 3.0f;

const float RISE_SPEED = 25.0f; // pixels per second
const float FADE_RATE = 0.5f;   // alpha lost per second

const float NORMAL_SCALE = 0.3f;
const float CRITICAL_SCALE = 1.0f;
// A critical number is larger, so it starts further left to stay centred.
const float CRITICAL_SHIFT_X = 20.0f;

// Damage numbers scatter over y 25 to 75 and x -25 to 75 from the unit.
const float OFFSET_Y_BASE = 25.0f;
const float OFFSET_Y_RANGE = 50.0f;
const float OFFSET_X_BASE = -25.0f;
const float OFFSET_X_RANGE = 100.0f;

} // namespace

CombatText::CombatText()
    : entries(new Entry[POOL_SIZE])
{
    for (int i = 0; i < POOL_SIZE; ++i) {
        Text* text = new Text(0.0f, 0.0f, "100", NORMAL_SCALE, glm::vec3(1.0f, 1.0f, 0.0f), "textures/font.png");
        entries[i] = Entry{nullptr, false, AGE_UNUSED, 0.0f, 0.0f, text};
    }
}

CombatText::~CombatText()
{
    for (int i = 0; i < POOL_SIZE; ++i)
        delete entries[i].text;
    delete[] entries;
}

bool CombatText::setup()
{
    for (int i = 0; i < POOL_SIZE; ++i) {
        if (!entries[i].text->setup())
            return false;
    }
    return true;
}

CombatText::Entry* CombatText::freeEntry()
{
    for (int i = 0; i < POOL_SIZE; ++i) {
        if (entries[i].age > LIFETIME)
            return &entries[i];
    }
    return nullptr;
}

void CombatText::addText(const char* text, Followable* target)
{
    Entry* entry = freeEntry();
    if (entry == nullptr)
        return;
    entry->target = target;
    entry->text->setText(text);
    // The last use faded this text out; a new one starts opaque.
    entry->text->alpha = 1.0f;
    entry->age = 0.0f;
    entry->critical = false;
    entry->offsetX = 0.0f;
    entry->offsetY = 0.0f;
}

void CombatText::addDamageText(int damage, Followable* target, bool critical)
{
    Entry* entry = freeEntry();
    if (entry == nullptr)
        return;
    char number[16];
    std::snprintf(number, sizeof(number), "%d", damage);
    entry->target = target;
    entry->text->setText(number);
    entry->text->alpha = 1.0f;
    entry->critical = damage != 0 && critical;
    entry->age = 0.0f;
    entry->offsetY = MathUtil::grf(OFFSET_Y_BASE, OFFSET_Y_RANGE);
    entry->offsetX = MathUtil::grf(OFFSET_X_BASE, OFFSET_X_RANGE);
}

void CombatText::update(float dt)
{
    for (int i = 0; i < POOL_SIZE; ++i) {
        Entry& entry = entries[i];
        if (entry.age >= LIFETIME)
            continue;
        entry.age += dt;
        if (entry.age >= LIFETIME)
            entry.age = AGE_UNUSED;
        else
            entry.text->alpha = 1.0f - FADE_RATE * entry.age;
    }
}

void CombatText::render(MatrixOwner* camera)
{
    for (int i = 0; i < POOL_SIZE; ++i) {
        Entry& entry = entries[i];
        if (entry.age >= LIFETIME)
            continue;
        const glm::vec2 screen =
            world_to_screen(entry.target->getPosition(), camera->getPerspectiveMatrix(), camera->getViewMatrix());
        const float scale = entry.critical ? CRITICAL_SCALE : NORMAL_SCALE;
        float x = screen.x + entry.offsetX;
        if (entry.critical)
            x -= CRITICAL_SHIFT_X;
        const float y = static_cast<float>(SCREEN_HEIGHT) - screen.y + RISE_SPEED * entry.age + entry.offsetY;
        entry.text->setScale(scale, false);
        entry.text->setPos(x, y);
        entry.text->render(camera);
    }
}

void CombatText::removeAll()
{
    for (int i = 0; i < POOL_SIZE; ++i)
        entries[i].age = AGE_CLEARED;
}
