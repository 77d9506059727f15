#pragma once

// The kinds of message the bus carries, with what each payload holds.
enum Message {
    MESSAGE_PLAY_GAME_SOUND = 0,        // int: a game_sound id; 29 is no sound
    MESSAGE_LOAD_LEVEL = 1,             // string: path of a level XML file
    MESSAGE_PLAYER_RECEIVED_DAMAGE = 2, // int: damage; custom: the object hit
    MESSAGE_PLAYER_DEAD = 3,            // no payload
    MESSAGE_ENEMY_RECEIVED_DAMAGE = 4,  // int: damage; custom: the Enemy hit
};
