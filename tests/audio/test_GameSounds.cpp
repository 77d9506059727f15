#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/SoundSystem.h"
#include "core/AssetList.h"
#include "core/FileReader.h"
#include "core/MailBox.h"
#include "support/LogCapture.h"
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

// The game sounds, loudest peak first.
std::vector<game_sound> byPeak(const std::map<std::string, std::string>& entries)
{
    std::vector<int> peaks(GAME_SOUND_COUNT, 0);
    std::vector<game_sound> ids;
    for (int id = 0; id < GAME_SOUND_COUNT; ++id) {
        const std::string& bytes = entries.at(sSounds[id]);
        for (size_t at = 44; at + 1 < bytes.size(); at += 2) {
            const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                                                        static_cast<uint8_t>(bytes[at + 1]) << 8);
            peaks[id] = std::max(peaks[id], std::abs(static_cast<int>(sample)));
        }
        ids.push_back(static_cast<game_sound>(id));
    }
    std::stable_sort(ids.begin(), ids.end(), [&peaks](game_sound a, game_sound b) { return peaks[a] > peaks[b]; });
    return ids;
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

TEST_F(GameSounds, AFightOfEightEffectsOverTheMusicStaysUnderFullScaleAtTheOutput)
{
    // The town's tune has the highest peak of the loops; the eight loudest
    // effects start on every source of the pool at once, as in a brawl.
    PoolProbe* sound = new PoolProbe(true);
    ASSERT_TRUE(sound->setup());
    ASSERT_TRUE(sound->startContinousSound("sounds/town_background.wav"));
    const std::vector<game_sound> loudest = byPeak(entries);
    std::vector<ALuint> playing;
    for (int i = 0; i < PoolProbe::SOURCE_COUNT; ++i) {
        playing.push_back(sound->nextSource());
        EXPECT_TRUE(sound->play(loudest[i], false));
        EXPECT_EQ(stateOf(playing.back()), AL_PLAYING) << sSounds[loudest[i]];
    }
    for (ALuint source : playing)
        EXPECT_TRUE(waitUntil([source] { return stateOf(source) != AL_PLAYING; }));
    sound->stopContinousSound();
    MailBox::getInstance()->removeReceiver(sound);
    delete sound;

    int peak = 0;
    for (int16_t sample : WaveBackend::recording().samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    const double peakDb = 20.0 * std::log10(peak / 32768.0);
    EXPECT_LT(peakDb, -1.0) << "the output comes within a decibel of full scale";
    EXPECT_GT(peakDb, -30.0) << "the fight was hardly heard";
}

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
