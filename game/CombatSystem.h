#pragma once

class Unit;

// The one rule by which every melee hit is measured: the player's swing and
// spin, an enemy's swing and a boss's swing. Projectiles carry their own
// fixed damage and do not come here.
//
// The rule reads four numbers of the two units (attacker level and strength,
// defender level and armor) and draws from the process-wide generator: one
// random factor, then the critical roll only when the caller asks for it.
class CombatSystem {
public:
    CombatSystem();
    virtual ~CombatSystem();

    // Damage of one hit, never negative. levelBonus is added to the attacker's
    // level. 'crit' may be null; when given it receives whether the hit shows
    // as critical (which does not change the damage).
    static int getDamage(int attackerLevel, int attackerStrength, int defenderLevel, int defenderArmor,
                         bool* crit, int levelBonus);
    // The same for two units: the attacker's level and strength through the
    // virtual getters (the player's strength includes its temporary bonus),
    // the defender's level through getLevel and its armor field.
    static int getDamage(Unit* attacker, Unit* defender, bool* crit, int levelBonus);
};
