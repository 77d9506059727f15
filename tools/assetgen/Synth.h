#pragma once

// The small synthesiser every generated sound is made with. A signal is a
// vector of float samples at the game's one rate; control signals (pitch,
// cutoff, loudness) are signals too, so anything can modulate anything.
// Everything is deterministic: randomness comes only from a seeded Random.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "AssetWriter.h"

namespace synth {

constexpr int SAMPLE_RATE = 11025;
constexpr float PI = 3.14159265358979f;

using Buffer = std::vector<float>;

size_t samplesFor(float seconds);

// xorshift64* seeded through splitmix64: the same seed gives the same sound
// on every build, whatever the C library's rand() does.
class Random {
public:
    explicit Random(uint64_t seed);
    uint32_t next();
    // [0, 1)
    float uniform();
    float range(float low, float high);
    // [-1, 1)
    float bipolar() { return range(-1.0f, 1.0f); }

private:
    uint64_t state;
};

// Breakpoints (time in seconds, value), held flat outside them. Exponential
// curves interpolate in the log domain, which is how pitch and loudness
// glide to the ear; their values must stay above zero.
class Curve {
public:
    Curve(float constant);
    Curve(std::vector<std::pair<float, float>> points, bool exponential = false);

    float at(float t) const;
    Buffer render(size_t count) const;

private:
    std::vector<std::pair<float, float>> points;
    bool exponential;
};

enum class Wave { Sine, Triangle, Saw, Square };

// One sample per entry of 'frequency' (Hz); saw and square are band-limited
// (PolyBLEP) so high notes do not fold back at this low rate.
Buffer oscillator(const Buffer& frequency, Wave wave, float phase = 0.0f);
Buffer oscillator(size_t count, float frequency, Wave wave, float phase = 0.0f);
// Phase modulation: sin(carrier + index * sin(carrier * ratio)).
Buffer fm(const Buffer& frequency, float ratio, const Buffer& index);
Buffer noise(size_t count, Random& random);
// 1 + depth * sin, plus a slow random wander of 'drift': the life of a voice.
Buffer vibrato(size_t count, float rate, float depth, float drift, Random& random);

enum class FilterMode { Low, Band, High };

// Zero-delay state-variable filter; cutoff may change every sample.
Buffer filter(const Buffer& in, FilterMode mode, const Buffer& cutoff, float q);
Buffer filter(const Buffer& in, FilterMode mode, float cutoff, float q);
Buffer onePoleLow(const Buffer& in, float cutoff);
Buffer onePoleHigh(const Buffer& in, float cutoff);

// Vocal tract resonances in Hz.
struct Vowel {
    float f1, f2, f3;
};
constexpr Vowel VOWEL_A{730, 1090, 2440};
constexpr Vowel VOWEL_E{530, 1840, 2480};
constexpr Vowel VOWEL_I{270, 2290, 3010};
constexpr Vowel VOWEL_O{570, 840, 2410};
constexpr Vowel VOWEL_U{300, 870, 2240};

// A throat: a pitched glottal buzz with breath noise and an optional growl
// (subharmonic roughness), shaped by formants that morph from 'from' (morph
// 0) to 'to' (morph 1). 'tract' scales the formants: below 1 a bigger beast.
struct VoiceSpec {
    Buffer pitch;
    Buffer morph;
    Vowel from = VOWEL_A;
    Vowel to = VOWEL_A;
    float tract = 1.0f;
    float breath = 0.1f;
    float growl = 0.0f;
};
Buffer voice(const VoiceSpec& spec, Random& random);

// A plucked string (Karplus-Strong, tuned with a fractional all-pass delay).
Buffer pluck(float frequency, float seconds, float brightness, float sustain, Random& random);
// A struck bar or bell: partials at the given ratios, higher ones dying faster.
Buffer bell(float frequency, float seconds, const std::vector<float>& ratios, float decay);

// Noise through a band-pass sweeping along 'centre': swings, wind, fire.
Buffer whoosh(float seconds, const Curve& centre, float q, const Curve& envelope, Random& random);
// A body hit: a sine dropping from 'from' to 'to' Hz and dying over 'decay' s.
Buffer thump(float seconds, float from, float to, float decay);
// Sparse random grains, 0 between them: times noise it makes gravel, paper,
// fire. 'density' is grains per second.
Buffer crackle(size_t count, float density, float grainSeconds, Random& random);
// A horn-like note: a saw whose brightness follows its loudness.
Buffer brass(float frequency, float seconds, Random& random);

// Stereo-less Freeverb-style room: parallel damped combs into all-passes.
// 'size' 0..1 sets the tail length, 'wet' the mix.
void reverb(Buffer& signal, float size, float damping, float wet);
// Soft saturation; drive 1 is gentle, 10 is a snarl.
void distort(Buffer& signal, float drive);

void multiply(Buffer& signal, const Buffer& by);
void multiply(Buffer& signal, float by);
void add(Buffer& into, const Buffer& signal, float gain = 1.0f, size_t offset = 0);
void applyEnvelope(Buffer& signal, const Curve& envelope);
// Short linear ramps so a sound never starts or stops on a step.
void fadeEdges(Buffer& signal, float inSeconds, float outSeconds);
std::vector<int16_t> toPcm(const Buffer& signal);

// How a finished sound is levelled: a high-pass taking out any offset (0 =
// none), the fade at its ends, its peak in dB below full scale, and an
// optional loudness (RMS) target that may only lower it further (0 = none).
struct Mastering {
    float highPassHz;
    float fadeSeconds;
    float peakDb;
    float rmsDb;
};
// Levels for play, measured by EBU R128 through the game's own sound system
// (scripts/loudness): the start menu's music near -29 LUFS, walking the town
// near -26 and a fight near -22. A swing's loudest tenth of a second stands
// 9.2 dB over every loop's average, so the blade is never lost in the music.
// Every source plays at full gain; the rare pile-up of the loop and eight
// effects peaking together goes over full scale in the sum, and
// openal-soft's output limiter (on by default) holds it there.
//
// The hero's own sounds and the interface peak at -7.5 dBFS (a dense buzz a
// little lower, so it does not shout over the rest) and fade over a few
// milliseconds.
constexpr Mastering EFFECT_MASTERING{20.0f, 0.03f, -7.5f, -16.5f};
// The world around the hero (creatures' voices and blows, the hits they
// take, the bosses) sits 5 dB under it: they come many at once, and a fight
// at the hero's level would bury both the blade and the music.
constexpr Mastering WORLD_MASTERING{20.0f, 0.03f, -12.5f, -21.5f};
// Loops keep their ends untouched so they join (they take out their offset
// themselves, over the whole loop), and all sit at one loudness, whichever
// level plays them.
constexpr Mastering LOOP_MASTERING{0.0f, 0.0f, -9.8f, -26.8f};

float peakOf(const Buffer& signal);
float rmsOf(const Buffer& signal);

// A sound of the package and how to make it.
struct Recipe {
    const char* path;
    Buffer (*make)();
};
// Makes, masters and writes every recipe.
bool writeRecipes(const AssetWriter& out, const std::vector<Recipe>& recipes, const Mastering& mastering);

} // namespace synth
