#pragma once

// Every sound effect the game can ask for. The id is the index into sSounds
// and travels as the int of a MESSAGE_PLAY_GAME_SOUND payload. SOUND_NONE
// stands for "this kind of enemy has no sound for that event" and is never
// played. The underlying type is fixed so that any int read off the bus can
// be held (and refused) without undefined behaviour.
enum game_sound : int {
    SOUND_ATTACK_1 = 0,
    SOUND_ATTACK_2 = 1,
    SOUND_ATTACK_3 = 2,
    SOUND_DMG_TAKEN_1 = 3,
    SOUND_DMG_TAKEN_2 = 4,
    SOUND_ZOMBIE_DETECT = 5,
    SOUND_ZOMBIE_ATTACK = 6,
    SOUND_ZOMBIE_DEATH = 7,
    SOUND_GHOST_DETECT = 8,
    SOUND_GHOST_DEATH = 9,
    SOUND_MONK_ATTACK = 10,
    SOUND_FOOTSTEP = 11,
    SOUND_PLAYER_DEATH = 12,
    SOUND_INVENTORY_OPEN_CLOSE = 13,
    SOUND_INVENTORY_ITEM_PICKUP = 14,
    SOUND_INVENTORY_ITEM_DROP = 15,
    SOUND_NO_POWER = 16,
    SOUND_TELEPORT = 17,
    SOUND_REGEN = 18,
    SOUND_BERSERKER = 19,
    SOUND_BOSS_SCREAM1 = 20,
    SOUND_BOSS_SCREAM2 = 21,
    SOUND_BOSS_SCREAM3 = 22,
    SOUND_BOSS_LAUGH = 23,
    SOUND_PROJECTILE = 24,
    SOUND_MAP_OPEN_CLOSE = 25,
    SOUND_LUNATIC_DETECT = 26,
    SOUND_LUNATIC_ATTACK = 27,
    SOUND_LEVEL_UP = 28,
    SOUND_NONE = 29,
};

// Number of sounds with a file; SOUND_NONE has none.
constexpr int GAME_SOUND_COUNT = SOUND_NONE;

// Package path of each sound, indexed by game_sound. Every file is a mono
// 16-bit 11025 Hz WAV.
inline constexpr const char* sSounds[GAME_SOUND_COUNT] = {
    "sounds/attack_1.wav",
    "sounds/attack_2.wav",
    "sounds/attack_3.wav",
    "sounds/dmg_taken_1.wav",
    "sounds/dmg_taken_2.wav",
    "sounds/zombie_detect.wav",
    "sounds/zombie_attack.wav",
    "sounds/zombie_death.wav",
    "sounds/ghost_detect.wav",
    "sounds/ghost_death.wav",
    "sounds/monk_attack.wav",
    "sounds/footstep.wav",
    "sounds/player_death.wav",
    "sounds/inventory_open_close.wav",
    "sounds/inventory_item_pickup.wav",
    "sounds/inventory_item_drop.wav",
    "sounds/no_power.wav",
    "sounds/teleport.wav",
    "sounds/regen.wav",
    "sounds/berserker.wav",
    "sounds/boss_scream1.wav",
    "sounds/boss_scream2.wav",
    "sounds/boss_scream3.wav",
    "sounds/boss_laugh.wav",
    "sounds/projectile.wav",
    "sounds/map_open_close.wav",
    "sounds/lunatic_detect.wav",
    "sounds/lunatic_attack.wav",
    "sounds/level_up.wav",
};
