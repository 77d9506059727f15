// Voices: what the dungeon's creatures, the bosses and the hero cry out. Each
// is a throat model (a glottal buzz through vowel formants) given its own
// pitch contour, vowel, size of tract, breath and growl.
#include "Generator.h"
#include "Synth.h"

#include <cmath>

using namespace synth;

namespace {

// How a cry is sung: its pitch contour, vowels, body and loudness.
struct Cry {
    float seconds;
    Curve pitch;
    Vowel from;
    Vowel to;
    float tract;
    float breath;
    float growl;
    float wobble;  // irregularity of pitch, 0 steady, 0.1 unhinged
    Curve loudness;
};

// 'transpose' multiplies the pitch: a second throat in harmony.
Buffer cry(const Cry& c, Random& random, float transpose = 1.0f)
{
    const size_t count = samplesFor(c.seconds);
    VoiceSpec spec;
    spec.pitch = c.pitch.render(count);
    multiply(spec.pitch, transpose);
    multiply(spec.pitch, vibrato(count, 5.5f, c.wobble * 0.3f, c.wobble, random));
    spec.morph = Curve({{0.0f, 0.0f}, {c.seconds, 1.0f}}).render(count);
    spec.from = c.from;
    spec.to = c.to;
    spec.tract = c.tract;
    spec.breath = c.breath;
    spec.growl = c.growl;
    Buffer out = voice(spec, random);
    applyEnvelope(out, c.loudness);
    return out;
}

// Room for a reverb tail after the voice.
Buffer withTail(Buffer sound, float seconds)
{
    sound.resize(sound.size() + samplesFor(seconds), 0.0f);
    return sound;
}

Buffer swipe(float seconds, Random& random)
{
    return whoosh(seconds, Curve({{0.0f, 400.0f}, {seconds * 0.5f, 2000.0f}, {seconds, 600.0f}}, true), 1.4f,
                  Curve({{0.0f, 0.0f}, {seconds * 0.5f, 1.0f}, {seconds, 0.0f}}), random);
}

Buffer zombieDetect()
{
    Random random(201);
    Buffer groan = cry({1.2f, Curve({{0.0f, 80.0f}, {0.45f, 112.0f}, {1.2f, 68.0f}}, true), VOWEL_U, VOWEL_O, 0.85f,
                        0.25f, 0.6f, 0.06f, Curve({{0.0f, 0.0f}, {0.25f, 1.0f}, {0.8f, 0.8f}, {1.2f, 0.0f}})},
                       random);
    distort(groan, 2.0f);
    return groan;
}

Buffer zombieAttack()
{
    Random random(202);
    Buffer grunt = cry({0.5f, Curve({{0.0f, 125.0f}, {0.4f, 88.0f}}, true), VOWEL_A, VOWEL_O, 0.85f, 0.35f, 0.5f, 0.05f,
                        Curve({{0.0f, 0.0f}, {0.04f, 1.0f}, {0.2f, 0.7f}, {0.5f, 0.0f}})},
                       random);
    distort(grunt, 2.5f);
    add(grunt, swipe(0.4f, random), 0.5f, samplesFor(0.1f));
    return grunt;
}

Buffer zombieDeath()
{
    Random random(203);
    const float seconds = 1.6f;
    Buffer groan = cry({seconds, Curve({{0.0f, 105.0f}, {0.3f, 96.0f}, {seconds, 42.0f}}, true), VOWEL_O, VOWEL_U, 0.8f,
                        0.3f, 0.8f, 0.08f, Curve({{0.0f, 0.0f}, {0.1f, 1.0f}, {0.9f, 0.6f}, {seconds, 0.0f}})},
                       random);
    // A wet gurgle breaking the last breath.
    const size_t count = groan.size();
    Buffer gurgle = oscillator(count, 23.0f, Wave::Sine);
    for (size_t i = 0; i < count; ++i)
        groan[i] *= 1.0f - 0.4f * (static_cast<float>(i) / count) * (0.5f + 0.5f * gurgle[i]);
    distort(groan, 2.0f);
    return groan;
}

// A wail more than a voice: a sine that floats, breathed through "oo".
Buffer ghostWail(float seconds, const Curve& pitch, const Curve& loudness, uint64_t seed)
{
    Random random(seed);
    const size_t count = samplesFor(seconds);
    Buffer frequency = pitch.render(count);
    multiply(frequency, vibrato(count, 5.5f, 0.03f, 0.01f, random));
    Buffer wail = oscillator(frequency, Wave::Sine);
    add(wail, oscillator(frequency, Wave::Triangle, 0.25f), 0.2f);
    add(wail, cry({seconds, pitch, VOWEL_U, VOWEL_O, 1.25f, 0.8f, 0.0f, 0.02f, Curve(1.0f)}, random), 0.5f);
    add(wail, whoosh(seconds, Curve(1800.0f), 0.7f, Curve(0.3f), random), 0.6f);
    applyEnvelope(wail, loudness);
    wail = withTail(wail, 0.6f);
    reverb(wail, 0.85f, 0.3f, 0.45f);
    return wail;
}

Buffer ghostDetect()
{
    return ghostWail(1.3f, Curve({{0.0f, 480.0f}, {0.5f, 900.0f}, {1.3f, 680.0f}}, true),
                     Curve({{0.0f, 0.0f}, {0.4f, 1.0f}, {0.9f, 0.8f}, {1.3f, 0.0f}}), 204);
}

Buffer ghostDeath()
{
    return ghostWail(1.5f, Curve({{0.0f, 950.0f}, {0.2f, 1000.0f}, {1.5f, 170.0f}}, true),
                     Curve({{0.0f, 0.0f}, {0.1f, 1.0f}, {0.8f, 0.6f}, {1.5f, 0.0f}}), 205);
}

Buffer monkDeath()
{
    Random random(206);
    Buffer chant = cry({1.5f, Curve({{0.0f, 145.0f}, {0.3f, 150.0f}, {1.5f, 78.0f}}, true), VOWEL_O, VOWEL_U, 1.0f,
                        0.2f, 0.1f, 0.03f, Curve({{0.0f, 0.0f}, {0.08f, 1.0f}, {0.9f, 0.7f}, {1.5f, 0.0f}})},
                       random);
    chant = withTail(chant, 0.4f);
    reverb(chant, 0.7f, 0.5f, 0.3f);
    return chant;
}

// The hero falls: a cry breaking off, and the body hitting the ground.
Buffer playerDeath()
{
    Random random(207);
    Buffer scream = cry({1.3f, Curve({{0.0f, 210.0f}, {0.25f, 245.0f}, {1.3f, 105.0f}}, true), VOWEL_A, VOWEL_O, 1.0f,
                         0.15f, 0.15f, 0.04f, Curve({{0.0f, 0.0f}, {0.05f, 1.0f}, {0.8f, 0.7f}, {1.3f, 0.0f}})},
                        random);
    add(scream, thump(0.5f, 140.0f, 50.0f, 0.12f), 0.3f, samplesFor(1.15f));
    add(scream, whoosh(0.25f, Curve(500.0f), 0.8f, Curve({{0.0f, 1.0f}, {0.2f, 0.0f}}), random), 0.15f,
        samplesFor(1.15f));
    return scream;
}

// "Hee-hee-hee": a high, jittering cackle in fast syllables.
Buffer lunaticDetect()
{
    Random random(208);
    const float seconds = 1.0f;
    std::vector<std::pair<float, float>> syllables{{0.0f, 0.0f}};
    for (int i = 0; i < 7; ++i) {
        const float start = 0.04f + i * 0.125f;
        syllables.push_back({start + 0.015f, 1.0f - 0.08f * i});
        syllables.push_back({start + 0.08f, 0.3f});
        syllables.push_back({start + 0.11f, 0.0f});
    }
    Buffer cackle = cry({seconds, Curve({{0.0f, 420.0f}, {0.3f, 520.0f}, {seconds, 360.0f}}, true), VOWEL_I, VOWEL_E,
                         1.1f, 0.35f, 0.1f, 0.12f, Curve(std::move(syllables))},
                        random);
    distort(cackle, 1.5f);
    return cackle;
}

Buffer lunaticAttack()
{
    Random random(209);
    Buffer shriek = cry({0.5f, Curve({{0.0f, 430.0f}, {0.12f, 680.0f}, {0.5f, 400.0f}}, true), VOWEL_E, VOWEL_A, 1.1f,
                         0.3f, 0.2f, 0.08f, Curve({{0.0f, 0.0f}, {0.03f, 1.0f}, {0.25f, 0.6f}, {0.5f, 0.0f}})},
                        random);
    distort(shriek, 2.0f);
    add(shriek, swipe(0.35f, random), 0.5f, samplesFor(0.08f));
    return shriek;
}

// The hero's war cry when the berserker rage takes him.
Buffer berserkerRoar()
{
    Random random(210);
    Buffer roar = cry({1.3f, Curve({{0.0f, 95.0f}, {0.35f, 135.0f}, {1.3f, 82.0f}}, true), VOWEL_A, VOWEL_O, 0.78f,
                       0.3f, 0.8f, 0.05f, Curve({{0.0f, 0.0f}, {0.08f, 1.0f}, {0.9f, 0.8f}, {1.3f, 0.0f}})},
                      random);
    distort(roar, 4.0f);
    add(roar, thump(0.6f, 90.0f, 40.0f, 0.25f), 0.5f);
    return roar;
}

// A boss's scream: several throats at once, a fifth apart, through a big hall.
Buffer bossScream(const Cry& c, float drive, uint64_t seed)
{
    Random random(seed);
    Buffer scream = cry(c, random);
    add(scream, cry(c, random, 1.5f), 0.4f);
    distort(scream, drive);
    scream = withTail(scream, 0.5f);
    reverb(scream, 0.75f, 0.4f, 0.3f);
    return scream;
}

Buffer bossScream1()
{
    return bossScream({1.4f, Curve({{0.0f, 170.0f}, {0.3f, 260.0f}, {1.4f, 150.0f}}, true), VOWEL_A, VOWEL_A, 0.8f,
                       0.3f, 0.4f, 0.05f, Curve({{0.0f, 0.0f}, {0.1f, 1.0f}, {1.0f, 0.8f}, {1.4f, 0.0f}})},
                      5.0f, 211);
}

// The charge: a roar rising as the boss lands and rushes.
Buffer bossScream2()
{
    return bossScream({1.0f, Curve({{0.0f, 110.0f}, {0.7f, 300.0f}, {1.0f, 260.0f}}, true), VOWEL_O, VOWEL_A, 0.75f,
                       0.35f, 0.6f, 0.04f, Curve({{0.0f, 0.0f}, {0.15f, 0.8f}, {0.75f, 1.0f}, {1.0f, 0.0f}})},
                      6.0f, 212);
}

// The summoning: an eerie, wavering call.
Buffer bossScream3()
{
    return bossScream({1.6f, Curve({{0.0f, 300.0f}, {0.6f, 330.0f}, {1.6f, 210.0f}}, true), VOWEL_E, VOWEL_I, 0.9f,
                       0.4f, 0.2f, 0.12f, Curve({{0.0f, 0.0f}, {0.3f, 1.0f}, {1.2f, 0.8f}, {1.6f, 0.0f}})},
                      2.5f, 213);
}

// "Ha, ha, ha, ha, haa": each syllable a breath of "h" and then the vowel,
// lower and slower towards the end.
Buffer bossLaugh()
{
    Random random(214);
    const float seconds = 1.8f;
    std::vector<std::pair<float, float>> syllables{{0.0f, 0.0f}};
    std::vector<std::pair<float, float>> breath{{0.0f, 0.0f}};
    for (int i = 0; i < 5; ++i) {
        const float start = 0.05f + i * 0.27f;
        const float length = i == 4 ? 0.4f : 0.17f;
        syllables.push_back({start + 0.03f, 0.0f});
        syllables.push_back({start + 0.06f, 1.0f});
        syllables.push_back({start + length, 0.4f});
        syllables.push_back({start + length + 0.05f, 0.0f});
        breath.push_back({start, 0.0f});
        breath.push_back({start + 0.02f, 1.0f});
        breath.push_back({start + 0.06f, 0.0f});
    }
    Buffer laugh = cry({seconds, Curve({{0.0f, 150.0f}, {1.1f, 125.0f}, {seconds, 95.0f}}, true), VOWEL_A, VOWEL_O, 0.8f,
                        0.2f, 0.35f, 0.03f, Curve(std::move(syllables))},
                       random);
    Buffer h = whoosh(seconds, Curve(1200.0f), 0.6f, Curve(std::move(breath)), random);
    add(laugh, h, 0.3f);
    distort(laugh, 2.0f);
    laugh = withTail(laugh, 0.4f);
    reverb(laugh, 0.7f, 0.4f, 0.3f);
    return laugh;
}

bool generateCreatureSounds(const AssetWriter& out)
{
    // The hero's own voice, then the creatures'.
    const bool hero = writeRecipes(out,
                                   {
                                       {"sounds/player_death.wav", playerDeath},
                                       {"sounds/berserker.wav", berserkerRoar},
                                   },
                                   EFFECT_MASTERING);
    const bool world = writeRecipes(out,
                                    {
                                        {"sounds/zombie_detect.wav", zombieDetect},
                                        {"sounds/zombie_attack.wav", zombieAttack},
                                        {"sounds/zombie_death.wav", zombieDeath},
                                        {"sounds/ghost_detect.wav", ghostDetect},
                                        {"sounds/ghost_death.wav", ghostDeath},
                                        {"sounds/monk_death.wav", monkDeath},
                                        {"sounds/lunatic_detect.wav", lunaticDetect},
                                        {"sounds/lunatic_attack.wav", lunaticAttack},
                                        {"sounds/boss_scream1.wav", bossScream1},
                                        {"sounds/boss_scream2.wav", bossScream2},
                                        {"sounds/boss_scream3.wav", bossScream3},
                                        {"sounds/boss_laugh.wav", bossLaugh},
                                    },
                                    WORLD_MASTERING);
    return hero && world;
}

} // namespace

REGISTER_GENERATOR("sounds_creatures", generateCreatureSounds);
