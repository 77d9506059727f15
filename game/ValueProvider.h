#pragma once

// The ids of every value a provider can be asked for; distinct across all
// providers. A provider answers 1.0 from getValue (and 0 from the other two)
// for an id it does not serve; skills ignore the id and answer their cooldown.
enum value_id {
    VALUE_PLAYER_HEALTH = 0,
    VALUE_PLAYER_POWER = 1,
    VALUE_PLAYER_EXPERIENCE = 2,
    VALUE_ENEMY_HEALTH = 3,
    VALUE_BOSS_HEALTH = 4,
};

// A source of numbers for bars and buttons: a fraction, its maximum and its
// absolute value. Never deleted through this face.
class ValueProvider {
public:
    virtual float getValue(int id) = 0;
    virtual float getMaxValue(int id) = 0;
    virtual float getAbsoluteValue(int id) = 0;

protected:
    ~ValueProvider() = default;
};
