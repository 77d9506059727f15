// The looping backgrounds: the town's tune, the dungeon's and the ice cave's
// air, and the two boss fights' drums. Each plays for minutes on end, so they
// are soft, slow and free of sharp edges, and they must loop without a click.
//
// A loop is built two periods long: every continuous source is periodic in
// one period (whole cycles per loop, noise tiled), every note is placed once
// in each period, then filters and reverb run over both, and the second
// period is kept. Its end flows into its start exactly as its middle flows,
// with the tails of the last notes already ringing at the start.
#include "Generator.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>

using namespace synth;

namespace {

float noteHz(int semitonesFromA4)
{
    return 440.0f * std::pow(2.0f, static_cast<float>(semitonesFromA4) / 12.0f);
}

class Loop {
public:
    explicit Loop(float seconds) : period(samplesFor(seconds)), mix(2 * period, 0.0f) {}

    size_t length() const { return mix.size(); }
    // The nearest frequency that fits a whole number of cycles into a period.
    float fit(float hz) const
    {
        const float cycles = std::max(1.0f, std::round(hz * period / SAMPLE_RATE));
        return cycles * SAMPLE_RATE / period;
    }
    // 'cycles' whole cycles per period, between low and high.
    Buffer lfo(float cycles, float low, float high, float phase = 0.0f) const
    {
        Buffer out(length());
        for (size_t i = 0; i < out.size(); ++i) {
            const float s = std::sin(2.0f * PI * (cycles * i / period + phase));
            out[i] = low + (high - low) * 0.5f * (1.0f + s);
        }
        return out;
    }
    Buffer tone(float hz, Wave wave) const { return oscillator(length(), fit(hz), wave); }
    Buffer noise(Random& random) const
    {
        Buffer once = synth::noise(period, random);
        Buffer out = once;
        out.insert(out.end(), once.begin(), once.end());
        return out;
    }
    // Adds a note at 'seconds' into the loop, once in each period; times
    // before 0 or past the end wrap round.
    void place(const Buffer& sound, float seconds, float gain)
    {
        const long span = static_cast<long>(period);
        const size_t start = static_cast<size_t>((std::lround(seconds * SAMPLE_RATE) % span + span) % span);
        for (size_t copy : {start, start + period}) {
            const size_t count = std::min(sound.size(), mix.size() - copy);
            for (size_t i = 0; i < count; ++i)
                mix[copy + i] += sound[i] * gain;
        }
    }
    void layer(const Buffer& continuous, float gain) { add(mix, continuous, gain); }
    Buffer& signal() { return mix; }
    // The second period, with any offset of the mix taken out.
    Buffer finish() const
    {
        const Buffer centred = onePoleHigh(mix, 20.0f);
        return Buffer(centred.begin() + static_cast<long>(period), centred.end());
    }

private:
    size_t period;
    Buffer mix;
};

// Slowly swelling and fading held chord: detuned saws under a soft lowpass.
Buffer pad(const std::vector<int>& notes, float seconds, float cutoff, Random& random)
{
    const size_t count = samplesFor(seconds);
    Buffer out(count, 0.0f);
    for (int n : notes) {
        for (float detune : {0.997f, 1.003f}) {
            Buffer pitch = vibrato(count, 0.3f + random.uniform() * 0.2f, 0.002f, 0.0f, random);
            multiply(pitch, noteHz(n) * detune);
            add(out, oscillator(pitch, Wave::Saw, random.uniform()), 0.5f);
        }
    }
    out = filter(out, FilterMode::Low, cutoff, 0.7f);
    const float fade = std::min(1.5f, seconds * 0.3f);
    applyEnvelope(out, Curve({{0.0f, 0.0f}, {fade, 1.0f}, {seconds - fade, 1.0f}, {seconds, 0.0f}}));
    return out;
}

// A plucked note, damped after 'seconds' so the lines stay clear.
Buffer lute(int semitones, float seconds, float brightness, Random& random)
{
    const float ring = seconds + 0.4f;
    Buffer note = pluck(noteHz(semitones), ring, brightness, 0.996f, random);
    applyEnvelope(note, Curve({{0.0f, 0.0f}, {0.004f, 1.0f}, {seconds, 0.8f}, {ring, 0.0f}}));
    return note;
}

// A low drum: the war drum of the boss halls.
Buffer drum(float pitch, float seconds, Random& random)
{
    Buffer hit = thump(seconds, pitch * 2.0f, pitch, seconds * 0.3f);
    add(hit, whoosh(0.08f, Curve(pitch * 6.0f), 0.8f, Curve({{0.0f, 0.0f}, {0.004f, 1.0f}, {0.06f, 0.0f}}), random),
        0.15f);
    return hit;
}

// ---- The town: a lute tune in D dorian over soft chords, wind and birds.

struct Note {
    float beat;
    int pitch;  // semitones from D4
    float beats;
};

constexpr float TOWN_BEAT = 60.0f / 90.0f;
constexpr int D4 = -7;  // from A4

// Twelve bars over Dm, C, F, G, Am, C, two bars each.
const std::vector<Note>& townMelody()
{
    static const std::vector<Note> melody = [] {
        const std::vector<std::pair<int, float>> line = {
            {7, 1}, {3, 0.5f}, {5, 0.5f}, {7, 1}, {12, 1},      {10, 1.5f}, {7, 0.5f}, {5, 1}, {3, 1},
            {2, 1}, {5, 1}, {10, 1.5f}, {9, 0.5f},              {7, 1}, {5, 1}, {2, 2},
            {3, 1}, {7, 1}, {10, 1}, {12, 0.5f}, {10, 0.5f},    {7, 2}, {5, 1}, {7, 1},
            {9, 1}, {12, 1}, {9, 0.5f}, {7, 0.5f}, {5, 1},      {9, 1.5f}, {7, 0.5f}, {5, 2},
            {14, 1}, {12, 0.5f}, {10, 0.5f}, {7, 1}, {10, 1},   {12, 1.5f}, {10, 0.5f}, {7, 2},
            {5, 1}, {2, 1}, {5, 1}, {7, 1},                     {5, 1.5f}, {3, 0.5f}, {2, 2},
        };
        std::vector<Note> notes;
        float beat = 0.0f;
        for (const auto& [pitch, beats] : line) {
            notes.push_back({beat, pitch, beats});
            beat += beats;
        }
        return notes;
    }();
    return melody;
}

// Chord tones (from D4) of the six two-bar chords.
const std::vector<std::vector<int>> TOWN_CHORDS = {
    {0, 3, 7}, {-2, 2, 5}, {-9, -5, -2}, {-7, -3, 2}, {-5, -2, 2}, {-2, 2, 5},
};

Buffer townBackground()
{
    Random random(401);
    Loop loop(48 * TOWN_BEAT);
    for (const Note& n : townMelody())
        loop.place(lute(D4 + n.pitch, n.beats * TOWN_BEAT, 0.55f, random), n.beat * TOWN_BEAT, 0.5f);
    for (size_t c = 0; c < TOWN_CHORDS.size(); ++c) {
        const std::vector<int>& chord = TOWN_CHORDS[c];
        std::vector<int> voiced;
        for (int tone : chord)
            voiced.push_back(D4 - 12 + tone);
        loop.place(pad(voiced, 9.0f * TOWN_BEAT, 700.0f, random), (c * 8.0f - 0.5f) * TOWN_BEAT, 0.12f);
        // A soft harp walking the chord in eighths, root low on each beat.
        for (int beat = 0; beat < 8; ++beat) {
            const float at = (c * 8.0f + beat) * TOWN_BEAT;
            loop.place(lute(D4 - 24 + chord[0] + 12, TOWN_BEAT, 0.25f, random), at, 0.22f);
            loop.place(lute(D4 - 12 + chord[1 + beat % 2], TOWN_BEAT * 0.5f, 0.3f, random), at + TOWN_BEAT * 0.5f,
                       0.15f);
        }
    }
    // Birds: a few quick chirps high above the square.
    for (int bird = 0; bird < 7; ++bird) {
        const float at = random.range(0.0f, 48.0f * TOWN_BEAT);
        const float base = random.range(2400.0f, 3400.0f);
        for (int chirp = 0; chirp < 3; ++chirp) {
            Buffer call = oscillator(Curve({{0.0f, base}, {0.05f, base * 1.35f}}, true).render(samplesFor(0.07f)),
                                     Wave::Sine);
            applyEnvelope(call, Curve({{0.0f, 0.0f}, {0.01f, 1.0f}, {0.07f, 0.0f}}));
            loop.place(call, at + chirp * 0.11f, 0.05f);
        }
    }
    Buffer wind = filter(loop.noise(random), FilterMode::Low, loop.lfo(3.0f, 250.0f, 600.0f), 0.7f);
    multiply(wind, loop.lfo(2.0f, 0.3f, 1.0f, 0.25f));
    loop.layer(wind, 0.08f);
    reverb(loop.signal(), 0.6f, 0.5f, 0.2f);
    return loop.finish();
}

// ---- The dungeon: a low drone, stirring air, dripping water.

Buffer dungeonBackground()
{
    Random random(402);
    Loop loop(30.0f);
    loop.layer(loop.tone(73.42f, Wave::Sine), 0.35f);
    loop.layer(loop.tone(73.52f, Wave::Triangle), 0.15f);
    loop.layer(loop.tone(110.0f, Wave::Sine), 0.12f);
    Buffer murk = loop.tone(146.83f, Wave::Saw);
    add(murk, loop.tone(174.61f, Wave::Saw), 0.8f);
    murk = filter(murk, FilterMode::Low, loop.lfo(2.0f, 180.0f, 480.0f), 1.2f);
    multiply(murk, loop.lfo(3.0f, 0.2f, 1.0f));
    loop.layer(murk, 0.12f);
    Buffer air = filter(loop.noise(random), FilterMode::Band, loop.lfo(3.0f, 250.0f, 700.0f, 0.3f), 2.0f);
    multiply(air, loop.lfo(2.0f, 0.2f, 1.0f, 0.6f));
    loop.layer(air, 0.35f);
    Buffer rumble = onePoleLow(loop.noise(random), 70.0f);
    multiply(rumble, loop.lfo(1.0f, 0.0f, 1.0f));
    loop.layer(rumble, 1.5f);
    for (int drop = 0; drop < 11; ++drop) {
        const float pitch = random.range(900.0f, 1500.0f);
        Buffer drip = oscillator(Curve({{0.0f, pitch}, {0.04f, pitch * 1.8f}}, true).render(samplesFor(0.12f)),
                                 Wave::Sine);
        applyEnvelope(drip, Curve({{0.0f, 0.0f}, {0.002f, 1.0f}, {0.12f, 0.0f}}));
        loop.place(drip, random.range(0.0f, 30.0f), random.range(0.08f, 0.18f));
    }
    reverb(loop.signal(), 0.92f, 0.5f, 0.35f);
    return loop.finish();
}

// ---- The ice cave: glassy shimmering partials, whistling wind, ice chimes.

Buffer icecaveBackground()
{
    Random random(403);
    Loop loop(28.0f);
    loop.layer(loop.tone(82.41f, Wave::Sine), 0.25f);
    // E, B, F#, G#, D#: an open, cold chord whose notes breathe in turn.
    const int shimmer[] = {-5, 2, 9, 11, 18};
    for (int i = 0; i < 5; ++i) {
        Buffer partial = loop.tone(noteHz(shimmer[i]), Wave::Sine);
        multiply(partial, loop.lfo(static_cast<float>(2 + i % 3), 0.0f, 1.0f, 0.2f * i));
        loop.layer(partial, 0.07f);
    }
    Buffer whistle = filter(loop.noise(random), FilterMode::Band, loop.lfo(2.0f, 900.0f, 1700.0f), 9.0f);
    multiply(whistle, loop.lfo(3.0f, 0.0f, 1.0f, 0.1f));
    loop.layer(whistle, 0.6f);
    Buffer gust = filter(loop.noise(random), FilterMode::Low, loop.lfo(1.0f, 300.0f, 900.0f), 0.7f);
    multiply(gust, loop.lfo(2.0f, 0.15f, 0.6f, 0.5f));
    loop.layer(gust, 0.2f);
    const int chimes[] = {19, 26, 30, 33, 38};
    for (int chime = 0; chime < 12; ++chime) {
        const float hz = noteHz(chimes[random.next() % 5]);
        loop.place(bell(hz, 1.5f, {1.0f, 2.76f, 5.4f}, 3.0f), random.range(0.0f, 28.0f), random.range(0.03f, 0.07f));
    }
    reverb(loop.signal(), 0.95f, 0.2f, 0.45f);
    return loop.finish();
}

// ---- The boss fights: drums and a brooding ostinato in D phrygian.

constexpr float BOSS1_BEAT = 60.0f / 120.0f;

Buffer boss1Background()
{
    Random random(404);
    Loop loop(48 * BOSS1_BEAT);
    loop.layer(loop.tone(73.42f, Wave::Sine), 0.25f);
    const int ostinato[] = {0, 0, 1, 0, 0, 0, -2, 0};  // D D Eb D D D C D
    for (int bar = 0; bar < 12; ++bar) {
        const float start = bar * 4.0f * BOSS1_BEAT;
        for (float hit : {0.0f, 0.5f, 2.0f, 2.5f})
            loop.place(drum(55.0f, 0.5f, random), start + hit * BOSS1_BEAT, hit == 0.0f ? 0.9f : 0.6f);
        for (int eighth = 0; eighth < 8; ++eighth) {
            const int semis = -31 + ostinato[eighth] + (bar % 4 == 3 ? 3 : 0);
            Buffer bass = oscillator(samplesFor(BOSS1_BEAT * 0.45f), noteHz(semis), Wave::Saw);
            bass = filter(bass, FilterMode::Low, Curve({{0.0f, 900.0f}, {0.2f, 250.0f}}, true).render(bass.size()),
                          1.5f);
            applyEnvelope(bass, Curve({{0.0f, 0.0f}, {0.01f, 1.0f}, {BOSS1_BEAT * 0.45f, 0.0f}}));
            loop.place(bass, start + eighth * 0.5f * BOSS1_BEAT, 0.25f);
        }
        if (bar % 2 == 0) {
            const std::vector<int> stab = bar % 4 == 0 ? std::vector<int>{-7, -4, 0} : std::vector<int>{-6, -2, 1};
            for (int n : stab)
                loop.place(brass(noteHz(n - 12), 1.6f, random), start, 0.12f);
        }
    }
    for (float beat : {44.0f, 45.0f, 46.0f, 46.5f, 47.0f, 47.5f})
        loop.place(drum(90.0f, 0.35f, random), beat * BOSS1_BEAT, 0.5f);
    reverb(loop.signal(), 0.75f, 0.5f, 0.2f);
    return loop.finish();
}

// The second hall: a slow, doom-laden choir over great drums.
constexpr float BOSS2_BEAT = 60.0f / 80.0f;

Buffer choir(const std::vector<int>& notes, float seconds, Random& random)
{
    const size_t count = samplesFor(seconds);
    Buffer out(count, 0.0f);
    for (int n : notes) {
        VoiceSpec spec;
        spec.pitch = vibrato(count, 4.5f + random.uniform(), 0.006f, 0.003f, random);
        multiply(spec.pitch, noteHz(n));
        spec.morph = Curve({{0.0f, 0.0f}, {seconds, 1.0f}}).render(count);
        spec.from = VOWEL_O;
        spec.to = VOWEL_A;
        spec.breath = 0.3f;
        add(out, voice(spec, random), 1.0f);
    }
    const float fade = seconds * 0.3f;
    applyEnvelope(out, Curve({{0.0f, 0.0f}, {fade, 1.0f}, {seconds - fade, 1.0f}, {seconds, 0.0f}}));
    return out;
}

Buffer boss2Background()
{
    Random random(405);
    Loop loop(32 * BOSS2_BEAT);
    loop.layer(loop.tone(55.0f, Wave::Sine), 0.3f);
    Buffer low = loop.tone(73.42f, Wave::Saw);
    add(low, loop.tone(77.78f, Wave::Saw), 0.5f);  // a grinding minor second
    low = filter(low, FilterMode::Low, loop.lfo(2.0f, 150.0f, 400.0f), 1.0f);
    loop.layer(low, 0.12f);
    // Dm, Bb, Gm, A: four chords of eight beats each.
    const std::vector<std::vector<int>> chords = {{-7, -4, 0}, {-11, -7, -4}, {-14, -11, -7}, {-12, -8, -5}};
    for (size_t c = 0; c < chords.size(); ++c)
        loop.place(choir(chords[c], 9.0f * BOSS2_BEAT, random), (c * 8.0f - 0.5f) * BOSS2_BEAT, 0.25f);
    for (int beat = 0; beat < 32; beat += 2) {
        loop.place(drum(45.0f, 0.9f, random), beat * BOSS2_BEAT, beat % 8 == 0 ? 1.0f : 0.6f);
        if (beat % 8 == 6)
            loop.place(drum(70.0f, 0.5f, random), (beat + 1.5f) * BOSS2_BEAT, 0.5f);
    }
    Buffer hiss = filter(loop.noise(random), FilterMode::Band, loop.lfo(1.0f, 1200.0f, 2500.0f), 3.0f);
    multiply(hiss, loop.lfo(4.0f, 0.0f, 1.0f));
    loop.layer(hiss, 0.12f);
    reverb(loop.signal(), 0.85f, 0.5f, 0.3f);
    return loop.finish();
}

bool generateBackgrounds(const AssetWriter& out)
{
    return writeRecipes(out,
                        {
                            {"sounds/town_background.wav", townBackground},
                            {"sounds/dungeon_background.wav", dungeonBackground},
                            {"sounds/icecave_background.wav", icecaveBackground},
                            {"sounds/boss1_background.wav", boss1Background},
                            {"sounds/boss2_background.wav", boss2Background},
                        },
                        LOOP_MASTERING);
}

} // namespace

REGISTER_GENERATOR("sounds_backgrounds", generateBackgrounds);
