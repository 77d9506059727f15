#include "SoundScenes.h"

#include <algorithm>

namespace {

const char* const TOWN_LOOP = "sounds/town_background.wav";
const char* const CRYPT_LOOP = "sounds/dungeon_background.wav";

// The game's footstep interval while the hero walks.
constexpr float FOOTSTEP_INTERVAL = 0.25f;

void addEvery(SoundScene& scene, game_sound sound, float from, float to, float interval)
{
    for (float t = from; t < to; t += interval)
        scene.cues.push_back({t, sound});
}

void add(SoundScene& scene, game_sound sound, float at)
{
    scene.cues.push_back({at, sound});
}

void sortCues(SoundScene& scene)
{
    std::stable_sort(scene.cues.begin(), scene.cues.end(),
                     [](const SoundCue& a, const SoundCue& b) { return a.at < b.at; });
}

SoundScene menu()
{
    return {"menu", TOWN_LOOP, 15.0f, {}};
}

// Four seconds of walking, then a second standing, three times over.
SoundScene town()
{
    SoundScene scene{"town", TOWN_LOOP, 15.0f, {}};
    for (float walk = 0.0f; walk < 15.0f; walk += 5.0f)
        addEvery(scene, SOUND_FOOTSTEP, walk + FOOTSTEP_INTERVAL, walk + 4.0f, FOOTSTEP_INTERVAL);
    return scene;
}

// One pull from 'start': four seconds of walking up to three zombies that
// notice the hero, then ten seconds of trading blows, a swing a second, in
// which the three die one after another. 'skill' is cast a second into the
// brawl. Returns when the next pull can start, after a short look round.
float addPull(SoundScene& scene, float start, game_sound skill)
{
    const float walk = 4.0f;
    addEvery(scene, SOUND_FOOTSTEP, start + FOOTSTEP_INTERVAL, start + walk, FOOTSTEP_INTERVAL);
    add(scene, SOUND_ZOMBIE_DETECT, start + walk - 1.0f);
    add(scene, SOUND_ZOMBIE_DETECT, start + walk - 0.6f);
    const float brawl = start + walk;
    const float end = brawl + 10.0f;
    // The hero's swing and, as it lands, the zombie's cry.
    addEvery(scene, SOUND_ATTACK_1, brawl, end, 1.0f);
    addEvery(scene, SOUND_DMG_TAKEN_1, brawl, end, 1.0f);
    // Each zombie swings in its own rhythm until it dies.
    const float deaths[] = {brawl + 3.5f, brawl + 6.8f, brawl + 9.6f};
    for (int zombie = 0; zombie < 3; ++zombie)
        addEvery(scene, SOUND_ZOMBIE_ATTACK, brawl + 0.3f + 0.5f * zombie, deaths[zombie], 1.6f);
    for (float death : deaths)
        add(scene, SOUND_ZOMBIE_DEATH, death);
    add(scene, skill, brawl + 1.0f);
    add(scene, SOUND_PROJECTILE, brawl + 5.0f);
    return end + 2.5f;
}

// About as busy as a player's fighting through a crypt floor: three pulls
// with a skill each, and a level-up after the second.
SoundScene fight()
{
    SoundScene scene{"fight", CRYPT_LOOP, 0.0f, {}};
    float next = addPull(scene, 0.5f, SOUND_BERSERKER);
    next = addPull(scene, next, SOUND_ATTACK_3);
    add(scene, SOUND_LEVEL_UP, next - 2.0f);
    scene.seconds = addPull(scene, next, SOUND_REGEN);
    sortCues(scene);
    return scene;
}

} // namespace

std::vector<SoundScene> soundScenes()
{
    return {menu(), town(), fight()};
}

bool findSoundScene(const std::string& name, SoundScene* scene)
{
    for (const SoundScene& candidate : soundScenes()) {
        if (candidate.name == name) {
            *scene = candidate;
            return true;
        }
    }
    return false;
}
