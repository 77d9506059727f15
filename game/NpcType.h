#pragma once

// Kinds of townsfolk, as the level bitmap places them. The underlying type is
// fixed so that a kind read from a level file that names none of these stays
// a defined value the NPC can refuse.
enum npc_type : int {
    NPC_TYPE_COMMONER = 0,
    NPC_TYPE_MERCHANT = 1,
};
