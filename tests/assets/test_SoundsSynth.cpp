#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/TestPackage.h"
#include "tools/assetgen/Synth.h"

using namespace synth;

namespace {

double powerAt(const Buffer& signal, size_t from, size_t count, double hz)
{
    const double k = 2.0 * std::cos(2.0 * M_PI * hz / SAMPLE_RATE);
    double s1 = 0.0;
    double s2 = 0.0;
    for (size_t i = from; i < from + count && i < signal.size(); ++i) {
        const double s0 = signal[i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

// The strongest frequency within a semitone of 'near', to a tenth of a cent.
double measuredPitch(const Buffer& signal, double near)
{
    const size_t from = samplesFor(0.05f);
    const size_t count = samplesFor(1.0f);
    double best = near;
    double bestPower = -1.0;
    for (double cents = -100.0; cents <= 100.0; cents += 0.1) {
        const double hz = near * std::pow(2.0, cents / 1200.0);
        const double power = powerAt(signal, from, count, hz);
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

double centsBetween(double a, double b)
{
    return 1200.0 * std::log2(a / b);
}

double db(double powerRatio)
{
    return 10.0 * std::log10(powerRatio);
}

// A ping, too loud and off centre.
Buffer loudOffsetPing()
{
    Buffer ping = oscillator(samplesFor(0.5f), 220.0f, Wave::Sine);
    for (size_t i = 0; i < ping.size(); ++i)
        ping[i] = 3.0f * ping[i] * std::exp(-8.0f * i / SAMPLE_RATE) + 0.5f;
    return ping;
}

Buffer denseTone()
{
    Buffer tone = oscillator(samplesFor(0.5f), 220.0f, Wave::Sine, 0.25f);
    multiply(tone, 3.0f);
    return tone;
}

std::vector<int16_t> wavSamples(const std::string& bytes)
{
    std::vector<int16_t> samples;
    for (size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
    return samples;
}

} // namespace

TEST(Synth, PluckedStringsAndTonesSoundAtTheirNote)
{
    // The string's loop is a whole number of samples plus a fraction; without
    // the fraction a high note at this rate is nearly a quarter tone out.
    Random random(7);
    for (float hz : {146.83f, 220.0f, 293.66f, 440.0f, 587.33f, 783.99f}) {
        SCOPED_TRACE(hz);
        EXPECT_NEAR(centsBetween(measuredPitch(pluck(hz, 1.2f, 0.5f, 0.996f, random), hz), hz), 0.0, 5.0);
    }
    EXPECT_NEAR(centsBetween(measuredPitch(oscillator(samplesFor(1.2f), 440.0f, Wave::Saw), 440.0), 440.0), 0.0, 1.0);
    EXPECT_NEAR(centsBetween(measuredPitch(bell(1046.5f, 1.2f, {1.0f, 2.76f}, 1.0f), 1046.5), 1046.5), 0.0, 1.0);
}

TEST(Synth, SawAndSquareKeepTheirHarmonicsFromFoldingBack)
{
    // 1500 Hz: the harmonics at 7500 and 9000 Hz would fold back to 3525
    // and 2025 Hz, between the true ones and right where the ear is keenest
    // (a plain saw puts them only 14 and 16 dB under its fundamental).
    for (Wave wave : {Wave::Saw, Wave::Square}) {
        const Buffer tone = oscillator(samplesFor(1.0f), 1500.0f, wave);
        const double fundamental = powerAt(tone, 0, tone.size(), 1500.0);
        for (double folded : {2025.0, 3525.0})
            EXPECT_LT(db(powerAt(tone, 0, tone.size(), folded) / fundamental), -24.0) << folded;
    }
}

TEST(Synth, FiltersPassTheirBandAndCutTheRest)
{
    const size_t count = samplesFor(1.0f);
    const auto gainDb = [&](const Buffer& out, const Buffer& in, double hz) {
        return db(powerAt(out, count / 2, count / 2, hz) / powerAt(in, count / 2, count / 2, hz));
    };
    const Buffer low = oscillator(count, 100.0f, Wave::Sine);
    const Buffer high = oscillator(count, 3000.0f, Wave::Sine);
    EXPECT_NEAR(gainDb(filter(low, FilterMode::Low, 500.0f, 0.7f), low, 100.0), 0.0, 1.0);
    EXPECT_LT(gainDb(filter(high, FilterMode::Low, 500.0f, 0.7f), high, 3000.0), -24.0);
    EXPECT_LT(gainDb(filter(low, FilterMode::High, 1000.0f, 0.7f), low, 100.0), -24.0);
    EXPECT_LT(gainDb(onePoleLow(high, 300.0f), high, 3000.0), -18.0);
    // Vowels are balanced on this: a band-pass gives unity at its centre
    // however narrow it is.
    const Buffer centre = oscillator(count, 1000.0f, Wave::Sine);
    for (float q : {0.7f, 5.0f, 20.0f})
        EXPECT_NEAR(gainDb(filter(centre, FilterMode::Band, 1000.0f, q), centre, 1000.0), 0.0, 0.5) << q;
}

TEST(Synth, ReverbTailsDieLongBeforeALoopComesRound)
{
    // Backgrounds rely on this: a loop's end must not still carry the echo
    // of the first pass it was built from, 20 seconds and more before.
    Buffer impulse(samplesFor(20.0f), 0.0f);
    impulse[0] = 1.0f;
    reverb(impulse, 0.95f, 0.2f, 1.0f);
    const auto energy = [&](float from, float to) {
        double sum = 0.0;
        for (size_t i = samplesFor(from); i < samplesFor(to); ++i)
            sum += static_cast<double>(impulse[i]) * impulse[i];
        return sum;
    };
    EXPECT_GT(energy(0.5f, 1.0f), 0.0) << "no tail at all";
    EXPECT_LT(db(energy(19.0f, 20.0f) / energy(0.0f, 1.0f)), -90.0);
}

TEST(Synth, RandomAndCurvesAreReproducibleAndShapedAsAsked)
{
    Random a(42);
    Random b(42);
    Random c(43);
    double sum = 0.0;
    int differences = 0;
    for (int i = 0; i < 10000; ++i) {
        const float value = a.uniform();
        EXPECT_EQ(value, b.uniform());
        differences += value != c.uniform() ? 1 : 0;
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        sum += value;
    }
    EXPECT_NEAR(sum / 10000.0, 0.5, 0.02);
    EXPECT_GT(differences, 9900);

    const Curve glide({{1.0f, 100.0f}, {2.0f, 400.0f}}, true);
    EXPECT_FLOAT_EQ(glide.at(0.0f), 100.0f);
    EXPECT_NEAR(glide.at(1.5f), 200.0f, 0.01f);  // an octave is halfway in the ear
    EXPECT_FLOAT_EQ(glide.at(5.0f), 400.0f);
    EXPECT_NEAR(Curve({{0.0f, 0.0f}, {2.0f, 1.0f}}).at(0.5f), 0.25f, 1e-6f);
}

TEST(Synth, MasteringLevelsEffectsAndLoopsAsPromised)
{
    TempDir dir;
    const AssetWriter out(dir.path());
    ASSERT_TRUE(writeRecipes(out, {{"effect.wav", loudOffsetPing}}, EFFECT_MASTERING));
    ASSERT_TRUE(writeRecipes(out, {{"loop.wav", denseTone}}, LOOP_MASTERING));

    const std::vector<int16_t> effect = wavSamples(readFileBytes(dir.file("effect.wav")));
    ASSERT_EQ(effect.size(), samplesFor(0.5f));
    int peak = 0;
    double sum = 0.0;
    for (int16_t s : effect) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        sum += s;
    }
    EXPECT_NEAR(20.0 * std::log10(peak / 32767.0), EFFECT_MASTERING.peakDb, 0.2);
    EXPECT_EQ(effect.front(), 0);
    EXPECT_EQ(effect.back(), 0);
    EXPECT_LT(std::fabs(sum / effect.size()), 100.0) << "offset left in";

    // A sine's RMS is 3 dB under its peak, so the loudness target wins.
    const std::vector<int16_t> loop = wavSamples(readFileBytes(dir.file("loop.wav")));
    double power = 0.0;
    int loopPeak = 0;
    for (int16_t s : loop) {
        power += static_cast<double>(s) * s;
        loopPeak = std::max(loopPeak, std::abs(static_cast<int>(s)));
    }
    EXPECT_NEAR(10.0 * std::log10(power / loop.size() / (32767.0 * 32767.0)), LOOP_MASTERING.rmsDb, 0.2);
    // The tone starts at its crest.
    EXPECT_GT(std::abs(loop.front()), loopPeak * 0.99) << "a loop's ends must not be faded";
}
