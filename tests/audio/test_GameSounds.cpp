#include <gtest/gtest.h>

#include <map>
#include <string>

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

} // namespace

TEST(GameSounds, EveryGeneratedSoundLoadsAndIsHeard)
{
    const std::map<std::string, std::string> entries = generatedSounds();
    if (entries.empty())
        GTEST_SKIP() << "the game's sound files are not generated yet under " << MORVELUND_DATA_DIR << "/sounds";
    WaveBackend::install();
    TestPackage package(entries);
    ASSERT_TRUE(package.ok());

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
