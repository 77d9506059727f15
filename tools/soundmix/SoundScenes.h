#pragma once

#include <string>
#include <vector>

#include "audio/GameSound.h"

// Fixed stretches of the game's sound, as a player hears them, for measuring
// how loud the mix is: which background loops and which effects the game
// asks for, at what second. Timings follow the game's own rules (a footstep
// every quarter second of walking, a swing and the hit's cry together).
struct SoundCue {
    float at;
    game_sound sound;
};

struct SoundScene {
    std::string name;
    // Package path of the looping background.
    std::string loop;
    // How long the scene plays, tails included.
    float seconds = 0.0f;
    // In time order.
    std::vector<SoundCue> cues;
};

// "menu": the start menu's music alone. "town": walking the town, with
// pauses. "fight": three pulls of zombies in the crypt with melee, skills,
// kills and a level-up. The pile-up (every source started at one instant)
// is not here: it depends on the package's sounds.
std::vector<SoundScene> soundScenes();
// The scene of that name; false when there is none.
bool findSoundScene(const std::string& name, SoundScene* scene);
