#pragma once

// Kinds of monsters, as the level bitmap places them: four ordinary kinds
// built as Enemy and three bosses built as Boss. The underlying type is fixed
// so that a kind read from a level file that names none of these stays a
// defined value (such an enemy is "Unknown").
enum enemy_type : int {
    ENEMY_TYPE_ZOMBIE = 0,
    ENEMY_TYPE_GHOST = 1,
    ENEMY_TYPE_CRAZY_MONK = 2,
    ENEMY_TYPE_LUNATIC = 3,
    ENEMY_TYPE_RABAKULUS = 4,
    ENEMY_TYPE_HARIONA = 5,
    ENEMY_TYPE_FIHUGIA = 6,
};
