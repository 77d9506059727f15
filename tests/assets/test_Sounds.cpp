#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// Effects are levelled by their peak, a dense one (a buzz, a blow) stopping
// at a loudness under it. The world around the hero (creatures' voices and
// blows, the hits they take) sits 5 dB under the hero's own sounds and the
// interface. How loud all this plays together is measured through the sound
// system (tests/audio).
constexpr float HERO_PEAK_DB = -7.5f;
constexpr float HERO_LOUDNESS_CAP_DB = -16.5f;
constexpr float WORLD_PEAK_DB = -12.5f;
constexpr float WORLD_LOUDNESS_CAP_DB = -21.5f;
// All loops share one loudness, so no level's music is louder than another's.
constexpr float LOOP_LOUDNESS_DB = -26.8f;
constexpr float LOOP_PEAK_CAP_DB = -9.8f;
// The balance: a swing's loudest tenth of a second stands 9.2 dB over every
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

// The sounds of the world around the hero, levelled under the hero's own.
bool isWorldSound(const std::string& path)
{
    static const std::set<std::string> world = {
        "sounds/dmg_taken_1.wav",    "sounds/dmg_taken_2.wav",    "sounds/monk_attack.wav",
        "sounds/zombie_detect.wav",  "sounds/zombie_attack.wav",  "sounds/zombie_death.wav",
        "sounds/ghost_detect.wav",   "sounds/ghost_death.wav",    "sounds/monk_death.wav",
        "sounds/lunatic_detect.wav", "sounds/lunatic_attack.wav", "sounds/boss_scream1.wav",
        "sounds/boss_scream2.wav",   "sounds/boss_scream3.wav",   "sounds/boss_laugh.wav",
    };
    return world.count(path) > 0;
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

// The loudness of a short sound as the ear takes it: its loudest 100 ms.
float loudestTenthOfASecond(const std::vector<int16_t>& samples)
{
    const size_t window = std::min<size_t>(SAMPLE_RATE / 10, samples.size());
    float loudest = 0.0f;
    for (size_t from = 0; from + window <= samples.size(); from += window / 20)
        loudest = std::max(loudest, rmsOf(samples, from, window));
    return loudest;
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
        float peakTarget = HERO_PEAK_DB;
        float loudnessTarget = HERO_LOUDNESS_CAP_DB;
        if (isBackground(path)) {
            peakTarget = LOOP_PEAK_CAP_DB;
            loudnessTarget = LOOP_LOUDNESS_DB;
        } else if (isWorldSound(path)) {
            peakTarget = WORLD_PEAK_DB;
            loudnessTarget = WORLD_LOUDNESS_CAP_DB;
        }
        EXPECT_LE(peakDb, peakTarget + LEVEL_TOLERANCE_DB) << "no room left for the rest of the mix";
        EXPECT_LE(loudnessDb, loudnessTarget + LEVEL_TOLERANCE_DB);
        EXPECT_TRUE(peakDb > peakTarget - LEVEL_TOLERANCE_DB || loudnessDb > loudnessTarget - LEVEL_TOLERANCE_DB)
            << "not levelled: peak " << peakDb << " dBFS, loudness " << loudnessDb << " dBFS";
        EXPECT_GT(loudnessDb, loudnessTarget - 20.0f) << "nearly silent";
        // An offset would click whenever OpenAL starts or stops the sound.
        EXPECT_LT(std::fabs(static_cast<float>(sum / samples.size())) / FULL_SCALE, 0.001f);
    }
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
