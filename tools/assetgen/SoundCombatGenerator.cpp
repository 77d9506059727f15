// Sounds of fighting: the hero's swings and steps, blows landing on enemies,
// and the bolts that fly. All short and dry, so they stay crisp when several
// play over each other in a crowded fight.
#include "Generator.h"
#include "Synth.h"

#include <cmath>

using namespace synth;

namespace {

// A blade's faint ring under the rush of air.
Buffer bladeRing(float seconds, float frequency)
{
    Buffer ring = bell(frequency, seconds, {1.0f, 2.76f, 5.4f}, 9.0f);
    applyEnvelope(ring, Curve({{0.0f, 0.0f}, {0.08f, 1.0f}, {seconds, 0.3f}}));
    return ring;
}

Buffer swordSwing()
{
    Random random(101);
    Buffer swing = whoosh(0.34f, Curve({{0.0f, 500.0f}, {0.12f, 2600.0f}, {0.32f, 800.0f}}, true), 1.6f,
                          Curve({{0.0f, 0.0f}, {0.11f, 1.0f}, {0.34f, 0.0f}}), random);
    add(swing, bladeRing(0.34f, 2300.0f), 0.05f);
    return swing;
}

Buffer heavySwing()
{
    Random random(102);
    Buffer swing = whoosh(0.45f, Curve({{0.0f, 280.0f}, {0.2f, 1400.0f}, {0.42f, 400.0f}}, true), 1.2f,
                          Curve({{0.0f, 0.0f}, {0.18f, 1.0f}, {0.45f, 0.0f}}), random);
    add(swing, whoosh(0.45f, Curve({{0.0f, 900.0f}, {0.2f, 3200.0f}, {0.42f, 1200.0f}}, true), 3.0f,
                      Curve({{0.0f, 0.0f}, {0.2f, 0.5f}, {0.4f, 0.0f}}), random),
        0.6f);
    add(swing, bladeRing(0.45f, 1500.0f), 0.06f);
    return swing;
}

// The bladestorm: a second of blades whirling six times around the hero.
Buffer bladestorm()
{
    Random random(103);
    const float seconds = 1.1f;
    const size_t count = samplesFor(seconds);
    constexpr float TURNS_PER_SECOND = 6.0f;
    Buffer centre(count);
    Buffer pulse(count);
    for (size_t i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        const float turn = std::sin(PI * TURNS_PER_SECOND * t);
        centre[i] = 1300.0f + 900.0f * turn;
        pulse[i] = 0.25f + 0.75f * turn * turn;
    }
    Buffer storm = filter(noise(count, random), FilterMode::Band, centre, 1.8f);
    multiply(storm, pulse);
    Buffer ring = bell(1900.0f, seconds, {1.0f, 2.76f, 5.4f}, 3.0f);
    multiply(ring, pulse);
    add(storm, ring, 0.06f);
    applyEnvelope(storm, Curve({{0.0f, 0.0f}, {0.1f, 1.0f}, {0.85f, 0.9f}, {seconds, 0.0f}}));
    return storm;
}

// A blow into flesh: a dull body thump under a short wet slap.
Buffer fleshHit()
{
    Random random(104);
    Buffer hit = thump(0.3f, 170.0f, 55.0f, 0.12f);
    add(hit, whoosh(0.3f, Curve(700.0f), 0.9f, Curve({{0.0f, 1.0f}, {0.05f, 0.2f}, {0.12f, 0.0f}}, false), random),
        0.7f);
    add(hit, onePoleLow(noise(samplesFor(0.02f), random), 2500.0f), 0.5f);
    distort(hit, 1.5f);
    return hit;
}

// A blow on bone and armour: a crack, a clank and the thump behind them.
Buffer armouredHit()
{
    Random random(105);
    Buffer hit = thump(0.4f, 230.0f, 70.0f, 0.1f);
    Buffer clank = bell(520.0f, 0.4f, {1.0f, 1.47f, 2.09f, 2.56f, 3.9f}, 14.0f);
    add(hit, clank, 0.45f);
    add(hit, onePoleHigh(noise(samplesFor(0.015f), random), 1800.0f), 0.8f);
    add(hit, whoosh(0.4f, Curve(450.0f), 1.0f, Curve({{0.0f, 0.8f}, {0.08f, 0.0f}}), random), 0.5f);
    distort(hit, 1.3f);
    return hit;
}

// One step on stone and grit; short enough to finish before the next one.
Buffer footstep()
{
    Random random(106);
    const float seconds = 0.16f;
    Buffer step = thump(seconds, 120.0f, 60.0f, 0.035f);
    multiply(step, 0.6f);
    const size_t count = samplesFor(seconds);
    // Heard every quarter second for hours: kept low and soft, no hiss.
    Buffer grit = filter(noise(count, random), FilterMode::Band, 700.0f, 0.8f);
    grit = filter(grit, FilterMode::Low, 2200.0f, 0.7f);
    multiply(grit, crackle(count, 400.0f, 0.004f, random));
    applyEnvelope(grit, Curve({{0.0f, 0.0f}, {0.006f, 1.0f}, {0.09f, 0.15f}, {seconds, 0.0f}}));
    add(step, grit, 0.9f);
    return step;
}

// The fireball: a roaring rush with crackling sparks.
Buffer fireball()
{
    Random random(107);
    const float seconds = 0.85f;
    const size_t count = samplesFor(seconds);
    Buffer roar = filter(noise(count, random), FilterMode::Low,
                         Curve({{0.0f, 300.0f}, {0.15f, 1800.0f}, {0.8f, 500.0f}}, true).render(count), 1.2f);
    Buffer sparks = onePoleHigh(noise(count, random), 2000.0f);
    multiply(sparks, crackle(count, 60.0f, 0.006f, random));
    add(roar, sparks, 0.6f);
    add(roar, thump(0.3f, 140.0f, 60.0f, 0.1f), 0.6f);
    applyEnvelope(roar, Curve({{0.0f, 0.0f}, {0.04f, 1.0f}, {0.3f, 0.8f}, {seconds, 0.0f}}));
    return roar;
}

// The Crazy Monk's bolt: a falling electric zap.
Buffer monkBolt()
{
    Random random(108);
    const float seconds = 0.6f;
    const size_t count = samplesFor(seconds);
    Buffer zap = fm(Curve({{0.0f, 900.0f}, {0.35f, 220.0f}}, true).render(count), 1.0f,
                    Curve({{0.0f, 2.5f}, {0.4f, 0.4f}}).render(count));
    applyEnvelope(zap, Curve({{0.0f, 0.0f}, {0.01f, 1.0f}, {0.35f, 0.3f}, {0.5f, 0.0f}}));
    add(zap, whoosh(0.5f, Curve({{0.0f, 3000.0f}, {0.4f, 700.0f}}, true), 1.5f,
                    Curve({{0.0f, 0.6f}, {0.4f, 0.0f}}), random),
        0.5f);
    zap.resize(count, 0.0f);
    reverb(zap, 0.5f, 0.4f, 0.25f);
    return zap;
}

bool generateCombatSounds(const AssetWriter& out)
{
    const bool hero = writeRecipes(out,
                                   {
                                       {"sounds/attack_1.wav", swordSwing},
                                       {"sounds/attack_2.wav", heavySwing},
                                       {"sounds/attack_3.wav", bladestorm},
                                       {"sounds/footstep.wav", footstep},
                                       {"sounds/projectile.wav", fireball},
                                   },
                                   EFFECT_MASTERING);
    const bool world = writeRecipes(out,
                                    {
                                        {"sounds/dmg_taken_1.wav", fleshHit},
                                        {"sounds/dmg_taken_2.wav", armouredHit},
                                        {"sounds/monk_attack.wav", monkBolt},
                                    },
                                    WORLD_MASTERING);
    return hero && world;
}

} // namespace

REGISTER_GENERATOR("sounds_combat", generateCombatSounds);
