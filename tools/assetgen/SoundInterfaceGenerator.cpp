// Sounds of the hero's gear and windows, and of the magic he works: bag and
// map handling, the no-power buzz, the level-up fanfare and the skill spells.
// Clicks are kept tiny and tonal cues bright, so they read over any fight.
#include "Generator.h"
#include "Synth.h"

#include <cmath>

using namespace synth;

namespace {

// Equal-tempered pitch, counted in semitones from A4.
float note(int semitonesFromA4)
{
    return 440.0f * std::pow(2.0f, static_cast<float>(semitonesFromA4) / 12.0f);
}

// Crumpling cloth, leather or paper: noise that only speaks in grains.
Buffer rustle(float seconds, float centre, float density, const Curve& loudness, Random& random)
{
    const size_t count = samplesFor(seconds);
    Buffer out = filter(noise(count, random), FilterMode::Band, centre, 0.7f);
    multiply(out, crackle(count, density, 0.004f, random));
    applyEnvelope(out, loudness);
    return out;
}

// The bag's flap: a leather rustle, a soft thud and the buckle's click.
Buffer bagFlap()
{
    Random random(301);
    Buffer flap = rustle(0.3f, 1500.0f, 120.0f, Curve({{0.0f, 0.0f}, {0.02f, 1.0f}, {0.15f, 0.3f}, {0.3f, 0.0f}}),
                         random);
    add(flap, thump(0.2f, 190.0f, 120.0f, 0.03f), 0.5f);
    add(flap, bell(1900.0f, 0.12f, {1.0f, 2.3f}, 45.0f), 0.25f, samplesFor(0.1f));
    return flap;
}

// Picking an item up: two bright clinks, the second higher.
Buffer itemPickup()
{
    Buffer clink = bell(note(15), 0.3f, {1.0f, 2.4f, 5.1f}, 14.0f);
    add(clink, bell(note(22), 0.24f, {1.0f, 2.4f, 5.1f}, 14.0f), 0.8f, samplesFor(0.06f));
    return clink;
}

// Putting an item down: a dull knock with a short ring of metal.
Buffer itemDrop()
{
    Buffer knock = thump(0.3f, 240.0f, 140.0f, 0.05f);
    add(knock, bell(620.0f, 0.3f, {1.0f, 1.58f, 2.3f}, 25.0f), 0.4f);
    return knock;
}

// The map: parchment unfolding in two crackling movements.
Buffer mapUnfold()
{
    Random random(302);
    return rustle(0.45f, 2600.0f, 160.0f,
                  Curve({{0.0f, 0.0f}, {0.03f, 1.0f}, {0.16f, 0.2f}, {0.22f, 0.8f}, {0.45f, 0.0f}}), random);
}

// Not enough power: two flat, dissonant buzzes.
Buffer noPowerBuzz()
{
    const size_t count = samplesFor(0.34f);
    Buffer buzz = oscillator(count, 110.0f, Wave::Square);
    add(buzz, oscillator(count, 116.5f, Wave::Saw), 0.7f);
    buzz = filter(buzz, FilterMode::Low, 1800.0f, 0.7f);
    applyEnvelope(buzz, Curve({{0.0f, 0.0f}, {0.005f, 1.0f}, {0.12f, 1.0f}, {0.13f, 0.0f}, {0.18f, 0.0f},
                               {0.185f, 1.0f}, {0.3f, 1.0f}, {0.34f, 0.0f}}));
    return buzz;
}

// Level up: horns climbing a major arpeggio to a held chord, bells above.
Buffer levelUpFanfare()
{
    Random random(303);
    Buffer fanfare;
    const int arpeggio[] = {-2, 3, 7};  // G4, C5, E5
    for (int i = 0; i < 3; ++i)
        add(fanfare, brass(note(arpeggio[i]), 0.16f, random), 0.8f, samplesFor(0.13f * i));
    const size_t chordStart = samplesFor(0.39f);
    for (int semitones : {3, 7, 10, 15})  // C5 E5 G5 C6
        add(fanfare, brass(note(semitones), 1.0f, random), 0.45f, chordStart);
    const int sparkle[] = {15, 19, 22, 27};  // C6 E6 G6 C7
    for (int i = 0; i < 4; ++i)
        add(fanfare, bell(note(sparkle[i]), 0.6f, {1.0f, 2.0f, 3.0f}, 5.0f), 0.2f, chordStart + samplesFor(0.08f * i));
    fanfare.resize(fanfare.size() + samplesFor(0.4f), 0.0f);
    reverb(fanfare, 0.7f, 0.3f, 0.25f);
    return fanfare;
}

// Teleport: a shimmering rise that snaps shut.
Buffer teleport()
{
    Random random(304);
    const float seconds = 0.9f;
    const size_t count = samplesFor(seconds);
    Buffer rise;
    for (float ratio : {1.0f, 1.5f, 2.02f}) {
        Buffer pitch = Curve({{0.0f, 180.0f * ratio}, {0.7f, 900.0f * ratio}}, true).render(count);
        add(rise, fm(pitch, 1.0f, Curve({{0.0f, 1.5f}, {0.7f, 0.2f}}).render(count)), 0.3f);
    }
    const Buffer tremolo = oscillator(count, 18.0f, Wave::Sine);
    for (size_t i = 0; i < count; ++i)
        rise[i] *= 0.7f + 0.3f * tremolo[i];
    add(rise, whoosh(seconds, Curve({{0.0f, 400.0f}, {0.7f, 4200.0f}}, true), 1.5f, Curve(0.6f), random), 0.5f);
    applyEnvelope(rise, Curve({{0.0f, 0.0f}, {0.3f, 0.7f}, {0.68f, 1.0f}, {0.74f, 0.0f}}));
    add(rise, bell(note(27), 0.3f, {1.0f, 2.76f}, 12.0f), 0.35f, samplesFor(0.68f));
    rise.resize(count + samplesFor(0.3f), 0.0f);
    reverb(rise, 0.6f, 0.3f, 0.3f);
    return rise;
}

// Regeneration: soft chimes rising through a pentatonic run over a breath.
Buffer regeneration()
{
    Random random(305);
    const float seconds = 1.3f;
    Buffer glow = whoosh(seconds, Curve({{0.0f, 1500.0f}, {1.0f, 4000.0f}}, true), 0.8f,
                         Curve({{0.0f, 0.0f}, {0.4f, 0.25f}, {seconds, 0.0f}}), random);
    const int run[] = {3, 5, 7, 10, 12, 15, 17};  // C D E G A C D
    for (int i = 0; i < 7; ++i)
        add(glow, bell(note(run[i]), 0.6f, {1.0f, 2.0f, 4.0f}, 6.0f), 0.35f, samplesFor(0.1f * i));
    glow.resize(samplesFor(seconds + 0.3f), 0.0f);
    reverb(glow, 0.8f, 0.3f, 0.35f);
    return glow;
}

bool generateInterfaceSounds(const AssetWriter& out)
{
    return writeRecipes(out,
                        {
                            {"sounds/inventory_open_close.wav", bagFlap},
                            {"sounds/inventory_item_pickup.wav", itemPickup},
                            {"sounds/inventory_item_drop.wav", itemDrop},
                            {"sounds/map_open_close.wav", mapUnfold},
                            {"sounds/no_power.wav", noPowerBuzz},
                            {"sounds/level_up.wav", levelUpFanfare},
                            {"sounds/teleport.wav", teleport},
                            {"sounds/regen.wav", regeneration},
                        },
                        EFFECT_MASTERING);
}

} // namespace

REGISTER_GENERATOR("sounds_interface", generateInterfaceSounds);
