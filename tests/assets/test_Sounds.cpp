#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/AssetList.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"
#include "support/TestSounds.h"

namespace {

constexpr int SAMPLE_RATE = 11025;
constexpr float FULL_SCALE = 32768.0f;

// Every sound plays at full gain, so the files alone must leave room for the
// looping background and the eight effects the source pool plays at once.
// Worst case their peaks coincide: 8 x 0.100 (-20 dBFS) + 0.071 (-23 dBFS)
// = 0.871, -1.2 dBFS. The mix is kept under -1 dBFS, a decibel short of full
// scale for a resampler that overshoots between samples.
constexpr int EFFECTS_AT_ONCE = 8;
constexpr float MIX_CEILING_DB = -1.0f;
constexpr float EFFECT_PEAK_DB = -20.0f;
// A dense effect (a buzz, a blow) stops at this loudness, under its peak.
constexpr float EFFECT_LOUDNESS_CAP_DB = -29.0f;
// All loops share one loudness, so no level's music is louder than another's.
constexpr float LOOP_LOUDNESS_DB = -40.0f;
constexpr float LOOP_PEAK_CAP_DB = -23.0f;
// The balance: a swing's loudest tenth of a second stands 9.9 dB over every
// loop's average loudness. Under 9 dB it would sink into the music; over
// 12 dB the music would be lost under the fight.
constexpr float SWING_OVER_MUSIC_MIN_DB = 9.0f;
constexpr float SWING_OVER_MUSIC_MAX_DB = 12.0f;
// Measured levels sit this close to their targets (16-bit rounding).
constexpr float LEVEL_TOLERANCE_DB = 0.05f;

// The generators that write the game's sounds, by their registered names.
const char* const SOUND_GENERATORS = "sounds_combat sounds_creatures sounds_interface sounds_backgrounds";

uint16_t u16At(const std::string& bytes, size_t offset)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8);
}

std::vector<int16_t> samplesOf(const std::string& bytes)
{
    std::vector<int16_t> samples;
    for (size_t offset = 44; offset + 1 < bytes.size(); offset += 2)
        samples.push_back(static_cast<int16_t>(u16At(bytes, offset)));
    return samples;
}

std::vector<std::string> soundPaths()
{
    std::vector<std::string> sounds;
    for (const std::string& path : getAssetList()) {
        if (path.rfind("sounds/", 0) == 0)
            sounds.push_back(path);
    }
    return sounds;
}

bool isBackground(const std::string& path)
{
    const std::string suffix = "_background.wav";
    return path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string builtFile(const std::string& path)
{
    return readFileBytes(std::string(MORVELUND_DATA_DIR) + "/" + path);
}

float rmsOf(const std::vector<int16_t>& samples, size_t from, size_t count)
{
    double sum = 0.0;
    for (size_t i = from; i < from + count; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return static_cast<float>(std::sqrt(sum / count)) / FULL_SCALE;
}

// Energy of one frequency in a block of samples (Goertzel).
double powerAt(const std::vector<int16_t>& samples, size_t from, size_t count, double hz)
{
    const double k = 2.0 * std::cos(2.0 * M_PI * hz / SAMPLE_RATE);
    double s1 = 0.0;
    double s2 = 0.0;
    for (size_t i = from; i < from + count; ++i) {
        const double s0 = samples[i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

float dbfs(float level)
{
    return 20.0f * std::log10(std::max(level, 1e-9f));
}

// The largest excursion to one side: 'sign' +1 above zero, -1 below.
size_t peakIndex(const std::vector<int16_t>& samples, int sign)
{
    size_t best = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (sign * samples[i] > sign * samples[best])
            best = i;
    }
    return best;
}

// The loudness of a short sound as the ear takes it: its loudest 100 ms.
float loudestTenthOfASecond(const std::vector<int16_t>& samples)
{
    const size_t window = std::min<size_t>(SAMPLE_RATE / 10, samples.size());
    float loudest = 0.0f;
    for (size_t from = 0; from + window <= samples.size(); from += window / 20)
        loudest = std::max(loudest, rmsOf(samples, from, window));
    return loudest;
}

// The looping background with 'effects' laid over it so that each one's
// peak to the side 'sign' lands on the loop's own peak to that side: the
// loudest moment these sounds can make together. The loop wraps, as it
// does when it plays. Returns the mix's peak.
int worstCaseMixPeak(const std::vector<int16_t>& loop, const std::vector<std::vector<int16_t>>& effects, int sign)
{
    std::vector<int32_t> mix(loop.begin(), loop.end());
    const size_t at = peakIndex(loop, sign);
    for (const std::vector<int16_t>& effect : effects) {
        const size_t start = at + mix.size() * 2 - peakIndex(effect, sign);
        for (size_t i = 0; i < effect.size(); ++i)
            mix[(start + i) % mix.size()] += effect[i];
    }
    int32_t peak = 0;
    for (int32_t s : mix)
        peak = std::max(peak, std::abs(s));
    return peak;
}

} // namespace

TEST(GeneratedSounds, EverySoundOfTheAssetListIsBuiltWithTheCanonicalHeader)
{
    const std::vector<std::string> sounds = soundPaths();
    ASSERT_EQ(sounds.size(), 35u);
    std::set<std::string> distinct;
    for (const std::string& path : sounds) {
        SCOPED_TRACE(path);
        const std::string bytes = builtFile(path);
        ASSERT_GT(bytes.size(), 44u) << "missing or empty";
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(u32At(bytes, 4), bytes.size() - 8);
        EXPECT_EQ(bytes.substr(8, 4), "WAVE");
        EXPECT_EQ(bytes.substr(12, 4), "fmt ");
        EXPECT_EQ(u32At(bytes, 16), 16u);
        EXPECT_EQ(u16At(bytes, 20), 1u);  // PCM
        EXPECT_EQ(u16At(bytes, 22), 1u);  // mono
        EXPECT_EQ(u32At(bytes, 24), 11025u);
        EXPECT_EQ(u32At(bytes, 28), 22050u);
        EXPECT_EQ(u16At(bytes, 32), 2u);
        EXPECT_EQ(u16At(bytes, 34), 16u);
        EXPECT_EQ(bytes.substr(36, 4), "data");
        EXPECT_EQ(u32At(bytes, 40), bytes.size() - 44);
        EXPECT_EQ(bytes.size() % 2, 0u);
        distinct.insert(bytes);
    }
    // A recipe pasted twice would give two sounds the same voice.
    EXPECT_EQ(distinct.size(), sounds.size());
}

TEST(GeneratedSounds, EffectsAreShortAndBackgroundsLastTwentyToFortySeconds)
{
    for (const std::string& path : soundPaths()) {
        SCOPED_TRACE(path);
        const float seconds = static_cast<float>(samplesOf(builtFile(path)).size()) / SAMPLE_RATE;
        if (isBackground(path)) {
            EXPECT_GE(seconds, 20.0f);
            EXPECT_LE(seconds, 40.0f);
        } else {
            EXPECT_GE(seconds, 0.1f);
            EXPECT_LE(seconds, 2.5f);
        }
    }
    // Steps come every quarter second; a longer step would be cut by the next.
    EXPECT_LT(samplesOf(builtFile("sounds/footstep.wav")).size(), SAMPLE_RATE / 4u);
}

TEST(GeneratedSounds, EffectsAndLoopsMeetTheirPeakAndLoudnessTargetsAndAreNeverOffCentre)
{
    for (const std::string& path : soundPaths()) {
        SCOPED_TRACE(path);
        const std::vector<int16_t> samples = samplesOf(builtFile(path));
        ASSERT_FALSE(samples.empty());
        double sum = 0.0;
        for (int16_t s : samples)
            sum += s;
        const float peakDb = dbfs(peakAmplitude(samples) / FULL_SCALE);
        const float loudnessDb = dbfs(rmsOf(samples, 0, samples.size()));
        // Each is levelled to one target and kept under the other.
        const float peakTarget = isBackground(path) ? LOOP_PEAK_CAP_DB : EFFECT_PEAK_DB;
        const float loudnessTarget = isBackground(path) ? LOOP_LOUDNESS_DB : EFFECT_LOUDNESS_CAP_DB;
        EXPECT_LE(peakDb, peakTarget + LEVEL_TOLERANCE_DB) << "no room left for the rest of the mix";
        EXPECT_LE(loudnessDb, loudnessTarget + LEVEL_TOLERANCE_DB);
        EXPECT_TRUE(peakDb > peakTarget - LEVEL_TOLERANCE_DB || loudnessDb > loudnessTarget - LEVEL_TOLERANCE_DB)
            << "not levelled: peak " << peakDb << " dBFS, loudness " << loudnessDb << " dBFS";
        EXPECT_GT(loudnessDb, loudnessTarget - 20.0f) << "nearly silent";
        // An offset would click whenever OpenAL starts or stops the sound.
        EXPECT_LT(std::fabs(static_cast<float>(sum / samples.size())) / FULL_SCALE, 0.001f);
    }
}

TEST(GeneratedSounds, TheBackgroundAndTheEightLoudestEffectsAtOnceStayUnderFullScale)
{
    std::map<std::string, std::vector<int16_t>> loops;
    std::vector<std::vector<int16_t>> effects;
    for (const std::string& path : soundPaths()) {
        if (isBackground(path))
            loops[path] = samplesOf(builtFile(path));
        else
            effects.push_back(samplesOf(builtFile(path)));
    }
    ASSERT_EQ(loops.size(), 5u);
    ASSERT_GE(effects.size(), static_cast<size_t>(EFFECTS_AT_ONCE));
    const float ceiling = std::pow(10.0f, MIX_CEILING_DB / 20.0f) * FULL_SCALE;

    // Eight different effects, each at its loudest moment on the loop's.
    for (int sign : {1, -1}) {
        std::sort(effects.begin(), effects.end(), [sign](const auto& a, const auto& b) {
            return sign * a[peakIndex(a, sign)] > sign * b[peakIndex(b, sign)];
        });
        const std::vector<std::vector<int16_t>> loudest(effects.begin(), effects.begin() + EFFECTS_AT_ONCE);
        for (const auto& [path, loop] : loops) {
            SCOPED_TRACE(path + (sign > 0 ? ", upwards" : ", downwards"));
            const int peak = worstCaseMixPeak(loop, loudest, sign);
            EXPECT_LT(peak, 32767) << "clips";
            EXPECT_LE(peak, ceiling) << dbfs(peak / FULL_SCALE) << " dBFS";
        }
    }
    // Or one effect on all eight sources: eight zombies striking at once.
    int loudestEffect = 0;
    for (const std::vector<int16_t>& effect : effects)
        loudestEffect = std::max(loudestEffect, peakAmplitude(effect));
    int loudestLoop = 0;
    for (const auto& entry : loops)
        loudestLoop = std::max(loudestLoop, peakAmplitude(entry.second));
    EXPECT_LE(EFFECTS_AT_ONCE * loudestEffect + loudestLoop, ceiling);
}

TEST(GeneratedSounds, ASwingStandsClearlyOverEveryBackgroundWithoutDrowningIt)
{
    const float swingDb = dbfs(loudestTenthOfASecond(samplesOf(builtFile("sounds/attack_1.wav"))));
    for (const std::string& path : soundPaths()) {
        if (!isBackground(path))
            continue;
        SCOPED_TRACE(path);
        const std::vector<int16_t> music = samplesOf(builtFile(path));
        const float marginDb = swingDb - dbfs(rmsOf(music, 0, music.size()));
        EXPECT_GE(marginDb, SWING_OVER_MUSIC_MIN_DB);
        EXPECT_LE(marginDb, SWING_OVER_MUSIC_MAX_DB);
    }
}

TEST(GeneratedSounds, EffectsStartAndEndAtRest)
{
    for (const std::string& path : soundPaths()) {
        if (isBackground(path))
            continue;
        SCOPED_TRACE(path);
        const std::vector<int16_t> samples = samplesOf(builtFile(path));
        ASSERT_FALSE(samples.empty());
        EXPECT_LT(std::abs(samples.front()), 33) << "clicks on start";
        EXPECT_LT(std::abs(samples.back()), 33) << "clicks when it ends";
    }
}

TEST(GeneratedSounds, BackgroundsJoinTheirEndToTheirStartWithoutAJump)
{
    for (const std::string& path : soundPaths()) {
        if (!isBackground(path))
            continue;
        SCOPED_TRACE(path);
        const std::vector<int16_t> s = samplesOf(builtFile(path));
        ASSERT_GT(s.size(), static_cast<size_t>(SAMPLE_RATE));
        // The step over the seam must be an ordinary step of this sound.
        std::vector<int> steps;
        for (size_t i = 1; i < s.size(); ++i)
            steps.push_back(std::abs(s[i] - s[i - 1]));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        const int ordinaryStep = std::max(steps[steps.size() * 99 / 100], 22);
        EXPECT_LE(std::abs(s.front() - s.back()), ordinaryStep);
        // And the loudness must carry on over it.
        const size_t window = SAMPLE_RATE / 2;
        const float before = rmsOf(s, s.size() - window, window);
        const float after = rmsOf(s, 0, window);
        EXPECT_LT(std::fabs(dbfs(after) - dbfs(before)), 6.0f) << "before " << before << ", after " << after;
    }
}

TEST(GeneratedSounds, TwoGeneratorRunsWriteEverySoundWithIdenticalBytes)
{
    TempDir first;
    TempDir second;
    for (const TempDir* dir : {&first, &second}) {
        const std::string command =
            std::string("\"") + MORVELUND_ASSETGEN + "\" \"" + dir->path() + "\" " + SOUND_GENERATORS;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    for (const std::string& path : soundPaths()) {
        SCOPED_TRACE(path);
        const std::string bytes = readFileBytes(first.file(path));
        ASSERT_FALSE(bytes.empty()) << "not written by the sound generators";
        EXPECT_TRUE(bytes == readFileBytes(second.file(path)));
        EXPECT_TRUE(bytes == builtFile(path)) << "the build holds another version";
    }
}

TEST(GeneratedSounds, BackgroundsNeverFallSilentAnywhereInTheLoop)
{
    for (const std::string& path : soundPaths()) {
        if (!isBackground(path))
            continue;
        SCOPED_TRACE(path);
        const std::vector<int16_t> samples = samplesOf(builtFile(path));
        for (size_t from = 0; from + SAMPLE_RATE <= samples.size(); from += SAMPLE_RATE)
            EXPECT_GT(dbfs(rmsOf(samples, from, SAMPLE_RATE)), LOOP_LOUDNESS_DB - 14.0f) << "second " << from / SAMPLE_RATE;
    }
}

TEST(GeneratedSounds, TheTownTuneKeepsToItsMode)
{
    // D dorian: D E F G A B C. A wrong note or chord, or a whole layer off
    // pitch, spills its energy into the five notes outside it.
    const bool inMode[12] = {true, false, true, false, true, true, false, true, false, true, false, true};
    const std::vector<int16_t> samples = samplesOf(builtFile("sounds/town_background.wav"));
    const size_t block = 4096;
    double inside = 0.0;
    double total = 0.0;
    for (size_t from = 0; from + block <= samples.size(); from += block) {
        for (int midi = 48; midi <= 84; ++midi) {
            const double power = powerAt(samples, from, block, 440.0 * std::pow(2.0, (midi - 69) / 12.0));
            total += power;
            inside += inMode[midi % 12] ? power : 0.0;
        }
    }
    ASSERT_GT(total, 0.0);
    EXPECT_GT(inside / total, 0.9);
}
