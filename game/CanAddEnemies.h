#pragma once

class Enemy;

// The game's face towards a boss that summons a minion: the minion joins the
// game's enemy list as a reference only; the boss keeps owning it.
class CanAddEnemies {
public:
    virtual void addEnemy(Enemy* enemy) = 0;
    // Erases the first entry equal to 'enemy' without destroying it.
    virtual void removeEnemy(Enemy* enemy) = 0;

protected:
    ~CanAddEnemies() = default;
};
