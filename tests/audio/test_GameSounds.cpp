#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "Loudness.h"
#include "audio/SoundSystem.h"
#include "core/AssetList.h"
#include "core/FileReader.h"
#include "core/MailBox.h"
#include "support/GameProcess.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

namespace {

// Hands the test the pool, to wait for a free slot before each request.
class PoolProbe : public SoundSystem {
public:
    using SoundSystem::SoundSystem;

    ALuint nextSource() const { return sources[(sourceIndex + 1) % SOURCE_COUNT]; }
    ALuint background() const { return continuousSource; }
};

// Every sounds/ entry of the asset list as generated into the build's data
// folder; empty when any of them is not there yet.
std::map<std::string, std::string> generatedSounds()
{
    std::map<std::string, std::string> entries;
    for (const std::string& path : getAssetList()) {
        if (path.rfind("sounds/", 0) != 0)
            continue;
        const std::string file = std::string(MORVELUND_DATA_DIR) + "/" + path;
        if (!FileReader::file_exists(file))
            return {};
        entries[path] = readFileBytes(file);
    }
    return entries;
}

// Every generated sound in a package that is the working directory's, with
// what OpenAL plays recorded.
class GameSounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        entries = generatedSounds();
        if (entries.empty())
            GTEST_SKIP() << "the game's sound files are not generated yet under " << MORVELUND_DATA_DIR << "/sounds";
        WaveBackend::install();
        package = std::make_unique<TestPackage>(entries);
        ASSERT_TRUE(package->ok());
    }

    std::map<std::string, std::string> entries;
    std::unique_ptr<TestPackage> package;
};

} // namespace

TEST_F(GameSounds, EveryGeneratedSoundLoadsAndIsHeard)
{
    LogCapture log;
    PoolProbe* sound = new PoolProbe(true);
    ASSERT_TRUE(sound->setup());
    for (int id = 0; id < GAME_SOUND_COUNT; ++id) {
        // Wait for the slot, so that no effect is dropped for a busy one.
        ASSERT_TRUE(waitUntil([sound] { return stateOf(sound->nextSource()) != AL_PLAYING; }));
        const ALuint source = sound->nextSource();
        EXPECT_TRUE(sound->play(static_cast<game_sound>(id), false));
        EXPECT_EQ(stateOf(source), AL_PLAYING) << sSounds[id];
    }
    for (const auto& entry : entries) {
        if (entry.first.find("_background.wav") == std::string::npos)
            continue;
        EXPECT_TRUE(sound->startContinousSound(entry.first)) << entry.first;
        EXPECT_EQ(stateOf(sound->background()), AL_PLAYING) << entry.first;
        sound->stopContinousSound();
    }
    MailBox::getInstance()->removeReceiver(sound);
    delete sound;

    EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
    EXPECT_GT(WaveBackend::recording().loudSeconds(), 0.5);
}

// How loud the game plays, as a player's stereo output records it: the fixed
// stretches of tools/soundmix (the start menu, walking the town, a fight, the
// worst-case pile-ups) played through the real sound system, each in a
// process of its own because openal-soft reads its settings once a process.
class MixLoudness : public ::testing::TestWithParam<const char*> {};

TEST_P(MixLoudness, MusicAndFightsPlayAtTheirLoudnessAndOnlyAPileUpReachesFullScale)
{
    const std::string sampleType = GetParam();
    TempDir out;
    int status = 0;
    const std::string log = runCommand(std::string("'") + MORVELUND_SOURCE_DIR + "/scripts/loudness' '" +
                                           MORVELUND_DATA_DIR + "/..' " + sampleType + " '" + out.path() + "' 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << log;
    const auto measure = [&](const std::string& scene) {
        const Loudness loudness = Loudness::ofWavFile(out.file(scene + "-" + sampleType + ".wav"));
        EXPECT_TRUE(loudness.ok) << scene << ": " << loudness.error;
        EXPECT_EQ(loudness.floatSamples, sampleType == "float32") << scene;
        return loudness;
    };

    // The music clearly heard; a fight full, yet no louder than a desktop's
    // other programs; and nothing in play comes near distorting.
    for (const char* scene : {"menu", "town"}) {
        const Loudness music = measure(scene);
        EXPECT_NEAR(music.integratedLufs, -27.0, 3.0) << scene << "\n" << log;
        EXPECT_EQ(music.fullScaleSamples, 0u) << scene;
    }
    const Loudness fight = measure("fight");
    EXPECT_NEAR(fight.integratedLufs, -23.0, 2.0) << log;
    EXPECT_GE(fight.seconds, 40.0);
    EXPECT_EQ(fight.fullScaleSamples, 0u) << log;

    // Eight peaks on one instant sum far past full scale; the output limiter
    // the sound system asks for holds them at it. Clipped, a pile-up's tops
    // lie at full scale (16-bit) or beyond it (float) for eight samples in a
    // row, and float output reaches twice full scale; held, they touch full
    // scale for a sample or two, perhaps a float step over.
    const Loudness pileUp = measure("pileup");
    EXPECT_GT(pileUp.samplePeak, 0.9) << "no pile-up to hold: " << log;
    EXPECT_LE(pileUp.longestFullScaleRun, 4u) << "clipped: " << log;
    EXPECT_LT(pileUp.samplePeak, 1.001) << "past full scale: " << log;
}

// A damaged recording is refused, where reading samples before knowing their
// width once looped for ever.
TEST(LoudnessMeter, RefusesARecordingWhoseSamplesComeBeforeTheirFormat)
{
    TempDir dir;
    const std::string canonical = wavBytes(tone(0.1));
    const std::string fmt = canonical.substr(12, 24);
    const std::string data = canonical.substr(36);
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"data before fmt", canonical.substr(0, 12) + data + fmt},
        {"4 bits a sample", wavBytes(tone(0.1), 11025, 1, 4)},
        {"no fmt at all", canonical.substr(0, 12) + data},
    };
    for (const auto& file : damaged) {
        dir.write("damaged.wav", file.second);
        const Loudness loudness = Loudness::ofWavFile(dir.file("damaged.wav"));
        EXPECT_FALSE(loudness.ok) << file.first;
        EXPECT_FALSE(loudness.error.empty()) << file.first;
    }
}

INSTANTIATE_TEST_SUITE_P(OutputFormats, MixLoudness, ::testing::Values("float32", "int16"));
