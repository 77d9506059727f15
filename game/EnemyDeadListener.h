#pragma once

class Enemy;

// The notice a dying enemy gives the boss that owns it.
class EnemyDeadListener {
public:
    virtual void enemyDead(Enemy* enemy) = 0;

protected:
    ~EnemyDeadListener() = default;
};
