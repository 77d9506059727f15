#pragma once

class Followable;
class MatrixOwner;
class Text;

// Floating texts over units in the world: damage numbers and the names of
// skills as they are used. A text starts at its unit's place on the screen,
// rises 25 pixels a second and fades out over two seconds. Five texts at
// most are in flight; a request while all five are busy is dropped. The game
// owns the one instance and clears it (removeAll) whenever the units the
// texts float above are deleted, since entries do not own their targets.
class CombatText {
public:
    static constexpr int POOL_SIZE = 5;
    // An entry is live below this age and free above it.
    static constexpr float LIFETIME = 2.0f;

    CombatText();
    ~CombatText();
    CombatText(const CombatText&) = delete;
    CombatText& operator=(const CombatText&) = delete;

    // Sets up the five texts; false at the first that fails.
    bool setup();
    // Shows a text over the target, in the first free entry.
    void addText(const char* text, Followable* target);
    // Shows a damage number with a random offset; a zero is never critical.
    void addDamageText(int damage, Followable* target, bool critical);
    // Ages, fades and frees the live entries.
    void update(float dt);
    void render(MatrixOwner* camera);
    void removeAll();

protected:
    struct Entry {
        Followable* target;
        bool critical;
        float age;
        float offsetX;
        float offsetY;
        Text* text;
    };

    // The lowest free entry, or null when all are live.
    Entry* freeEntry();

    Entry* entries;
};
