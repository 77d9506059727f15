#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "AudioTestSupport.h"
#include "audio/SoundSystem.h"
#include "core/AssetList.h"
#include "core/MailBox.h"
#include "support/LogCapture.h"
#include "support/TestPackage.h"

namespace {

// Opens up the pool and the handles so that tests can ask OpenAL about them.
class SoundProbe : public SoundSystem {
public:
    using SoundSystem::SoundSystem;

    ALuint source(int slot) const { return sources[slot]; }
    ALuint buffer(game_sound sound) const { return buffers[sound]; }
    ALuint background() const { return continuousSource; }
    ALuint backgroundBuffer() const { return continuousBuffer; }
    ALuint dedicated() const { return dedicatedSource; }
    ALCdevice* alcDevice() const { return device; }
    static int slot() { return sourceIndex; }
    // The pool counter is process-wide; each test starts as a fresh run.
    static void restartPool() { sourceIndex = 0; }
};

ALuint bufferOf(ALuint source)
{
    ALint buffer = 0;
    alGetSourcei(source, AL_BUFFER, &buffer);
    return static_cast<ALuint>(buffer);
}

ALint bufferBytes(ALuint buffer)
{
    ALint size = -1;
    alGetBufferi(buffer, AL_SIZE, &size);
    return size;
}

bool waitUntilStopped(ALuint source)
{
    return waitUntil([source] { return stateOf(source) == AL_STOPPED; });
}

const std::string BACKGROUND = "sounds/test_background.wav";

class SoundSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        WaveBackend::install();
        SoundProbe::restartPool();
    }

    void TearDown() override
    {
        closeSound();
        WaveBackend::setDeviceAvailable(true);
    }

    // Builds the package and a sound system set up over it.
    void start(const std::map<std::string, std::string>& entries, bool enabled = true)
    {
        package = std::make_unique<TestPackage>(entries);
        ASSERT_TRUE(package->ok());
        sound = std::make_unique<SoundProbe>(enabled);
        ASSERT_TRUE(sound->setup());
    }

    // Closes the device, which finishes the recording, and reads it.
    Recording finishRecording()
    {
        closeSound();
        return WaveBackend::recording();
    }

    void closeSound()
    {
        if (sound == nullptr)
            return;
        // The game's one system lives until exit; tests make many, so each
        // leaves the bus before it goes.
        MailBox::getInstance()->removeReceiver(sound.get());
        sound.reset();
    }

    void expectPoolUntouched() const
    {
        EXPECT_EQ(SoundProbe::slot(), 0);
        for (int slot = 0; slot < SoundSystem::SOURCE_COUNT; ++slot)
            EXPECT_EQ(stateOf(sound->source(slot)), AL_INITIAL) << "slot " << slot;
        EXPECT_EQ(stateOf(sound->dedicated()), AL_INITIAL);
    }

    std::unique_ptr<TestPackage> package;
    std::unique_ptr<SoundProbe> sound;
};

// Counts how often a looping source starts over.
int loopsHeard(ALuint source, int wanted)
{
    int loops = 0;
    ALint last = 0;
    waitUntil([&] {
        ALint offset = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        loops += offset < last ? 1 : 0;
        last = offset;
        return loops >= wanted;
    });
    return loops;
}

} // namespace

TEST(GameSoundTable, EveryEffectIsADistinctPackagedFile)
{
    const std::vector<std::string> assets = getAssetList();
    std::set<std::string> seen;
    for (const char* path : sSounds) {
        EXPECT_NE(std::find(assets.begin(), assets.end(), path), assets.end()) << path;
        EXPECT_TRUE(seen.insert(path).second) << path << " twice";
    }
}

TEST_F(SoundSystemTest, AnEffectIsHeardForAboutItsLengthOnPoolSlotOne)
{
    start(soundPackageEntries(0.3));
    ASSERT_TRUE(sound->play(SOUND_LEVEL_UP, false));
    EXPECT_EQ(SoundProbe::slot(), 1);
    EXPECT_EQ(stateOf(sound->source(1)), AL_PLAYING);
    EXPECT_EQ(bufferOf(sound->source(1)), sound->buffer(SOUND_LEVEL_UP));
    EXPECT_EQ(bufferBytes(sound->buffer(SOUND_LEVEL_UP)), static_cast<ALint>(tone(0.3).size() * 2));
    ASSERT_TRUE(waitUntilStopped(sound->source(1)));

    const Recording recording = finishRecording();
    EXPECT_EQ(recording.channels, 1);
    EXPECT_NEAR(recording.loudSeconds(), 0.3, 0.03);
}

TEST_F(SoundSystemTest, RequestsTakeThePoolInTurnAndTheNinthReturnsToSlotOne)
{
    auto entries = soundPackageEntries(2.0);
    entries[sSounds[SOUND_FOOTSTEP]] = wavBytes(tone(0.05));
    start(entries);

    ASSERT_TRUE(sound->play(SOUND_FOOTSTEP, false));
    ASSERT_TRUE(sound->play(SOUND_ATTACK_1, false));
    EXPECT_EQ(bufferOf(sound->source(1)), sound->buffer(SOUND_FOOTSTEP));
    EXPECT_EQ(bufferOf(sound->source(2)), sound->buffer(SOUND_ATTACK_1));
    EXPECT_EQ(stateOf(sound->source(2)), AL_PLAYING);
    for (int request = 3; request <= 8; ++request)
        ASSERT_TRUE(sound->play(SOUND_ATTACK_2, false));
    EXPECT_EQ(SoundProbe::slot(), 0);
    EXPECT_EQ(stateOf(sound->source(0)), AL_PLAYING);

    ASSERT_TRUE(waitUntilStopped(sound->source(1)));
    ASSERT_TRUE(sound->play(SOUND_REGEN, false));
    EXPECT_EQ(SoundProbe::slot(), 1);
    EXPECT_EQ(bufferOf(sound->source(1)), sound->buffer(SOUND_REGEN));
    EXPECT_EQ(stateOf(sound->source(1)), AL_PLAYING);
}

TEST_F(SoundSystemTest, ARequestOnABusySlotIsDroppedEvenWhenOtherSlotsAreIdle)
{
    start(soundPackageEntries(2.0));
    ASSERT_TRUE(sound->play(SOUND_ATTACK_1, false));
    // Make the next request land on slot 1 again while it still plays.
    SoundProbe::restartPool();
    EXPECT_TRUE(sound->play(SOUND_BOSS_LAUGH, false));
    EXPECT_EQ(bufferOf(sound->source(1)), sound->buffer(SOUND_ATTACK_1));
    EXPECT_EQ(stateOf(sound->source(1)), AL_PLAYING);
    EXPECT_EQ(stateOf(sound->source(2)), AL_INITIAL);

    // The dropped request still used up its turn.
    ASSERT_TRUE(sound->play(SOUND_BOSS_LAUGH, false));
    EXPECT_EQ(SoundProbe::slot(), 2);
    EXPECT_EQ(bufferOf(sound->source(2)), sound->buffer(SOUND_BOSS_LAUGH));
}

TEST_F(SoundSystemTest, NoSoundAndUnknownIdsPlayNothing)
{
    start(soundPackageEntries(0.1));
    EXPECT_TRUE(sound->play(SOUND_NONE, false));
    EXPECT_TRUE(sound->play(SOUND_NONE, true));
    EXPECT_FALSE(sound->play(static_cast<game_sound>(30), false));
    EXPECT_FALSE(sound->play(static_cast<game_sound>(-1), false));
    EXPECT_FALSE(sound->play(static_cast<game_sound>(100000), true));
    MessagePayload* payload = new MessagePayload();
    payload->setInt(SOUND_NONE);
    EXPECT_TRUE(MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload));
    expectPoolUntouched();
    EXPECT_TRUE(finishRecording().silent());
}

TEST_F(SoundSystemTest, ADisabledSystemLoadsEverythingButPlaysNothing)
{
    start(soundPackageEntries(0.1), false);
    EXPECT_NE(sound->buffer(SOUND_ATTACK_1), 0u);
    EXPECT_TRUE(sound->play(SOUND_ATTACK_1, false));
    EXPECT_TRUE(sound->play(SOUND_ATTACK_1, true));
    MessagePayload payload;
    payload.setInt(SOUND_FOOTSTEP);
    sound->handleMessage(MESSAGE_PLAY_GAME_SOUND, &payload);
    EXPECT_TRUE(sound->startContinousSound("sounds/not_even_packaged.wav"));
    EXPECT_EQ(sound->background(), 0u);
    sound->stopContinousSound();
    expectPoolUntouched();
    EXPECT_TRUE(finishRecording().silent());
}

TEST_F(SoundSystemTest, PlaySoundMessagesFromTheBusPlayOnThePoolAndOtherKindsAreIgnored)
{
    start(soundPackageEntries(0.5));
    EXPECT_STREQ(sound->whoIsThere(), "SoundSystem");
    MessagePayload* payload = new MessagePayload();
    payload->setInt(SOUND_ZOMBIE_DETECT);
    EXPECT_TRUE(MailBox::getInstance()->sendMessage(MESSAGE_PLAY_GAME_SOUND, payload));
    EXPECT_EQ(SoundProbe::slot(), 1);
    EXPECT_EQ(bufferOf(sound->source(1)), sound->buffer(SOUND_ZOMBIE_DETECT));
    EXPECT_EQ(stateOf(sound->source(1)), AL_PLAYING);

    MessagePayload other;
    other.setInt(SOUND_ZOMBIE_DEATH);
    sound->handleMessage(MESSAGE_PLAYER_RECEIVED_DAMAGE, &other);
    sound->handleMessage(MESSAGE_PLAY_GAME_SOUND, nullptr);
    EXPECT_EQ(SoundProbe::slot(), 1);
}

TEST_F(SoundSystemTest, TheDedicatedSourcePlaysOutsideThePool)
{
    start(soundPackageEntries(0.2));
    ASSERT_TRUE(sound->play(SOUND_TELEPORT, true));
    EXPECT_EQ(SoundProbe::slot(), 0);
    EXPECT_EQ(stateOf(sound->dedicated()), AL_PLAYING);
    EXPECT_EQ(bufferOf(sound->dedicated()), sound->buffer(SOUND_TELEPORT));
    // Busy, so a second request is dropped there too.
    EXPECT_TRUE(sound->play(SOUND_REGEN, true));
    EXPECT_EQ(bufferOf(sound->dedicated()), sound->buffer(SOUND_TELEPORT));
    ASSERT_TRUE(waitUntilStopped(sound->dedicated()));
    EXPECT_NEAR(finishRecording().loudSeconds(), 0.2, 0.03);
}

TEST_F(SoundSystemTest, TheBackgroundLoopsAndStartsAgainAfterAStop)
{
    auto entries = soundPackageEntries(0.1);
    entries[BACKGROUND] = wavBytes(joined(tone(0.06), silence(0.06)));
    start(entries);

    LogCapture log;
    ASSERT_TRUE(sound->startContinousSound(BACKGROUND));
    const ALuint first = sound->background();
    ALint looping = AL_FALSE;
    alGetSourcei(first, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    EXPECT_EQ(loopsHeard(first, 3), 3);

    sound->stopContinousSound();
    EXPECT_EQ(sound->background(), 0u);
    EXPECT_EQ(sound->backgroundBuffer(), 0u);
    EXPECT_EQ(alIsSource(first), AL_FALSE);
    sound->stopContinousSound();

    ASSERT_TRUE(sound->startContinousSound(BACKGROUND));
    EXPECT_EQ(stateOf(sound->background()), AL_PLAYING);
    EXPECT_EQ(loopsHeard(sound->background(), 1), 1);
    const Recording recording = finishRecording();
    EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
    // Three whole loops of the first start, then at least the restart's own
    // burst (which may run on from the one the stop cut short).
    EXPECT_GE(recording.bursts(0.03), 4);
}

TEST_F(SoundSystemTest, StoppingWithoutABackgroundDoesNothing)
{
    start(soundPackageEntries(0.1));
    LogCapture log;
    sound->stopContinousSound();
    sound->stopContinousSound();
    EXPECT_EQ(sound->background(), 0u);
    closeSound();
    EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
}

TEST_F(SoundSystemTest, ABackgroundMissingFromThePackageFailsWithItsPath)
{
    start(soundPackageEntries(0.1));
    LogCapture log;
    EXPECT_FALSE(sound->startContinousSound("sounds/missing_background.wav"));
    EXPECT_TRUE(log.contains("[ERROR]"));
    EXPECT_TRUE(log.contains("Failed to load file from package sounds/missing_background.wav"));
    // The half-made background is still released by a stop.
    sound->stopContinousSound();
    EXPECT_EQ(sound->background(), 0u);
    EXPECT_TRUE(sound->play(SOUND_FOOTSTEP, false));
}

TEST_F(SoundSystemTest, TearingDownWhileSoundsPlayReportsNoErrors)
{
    auto entries = soundPackageEntries(1.0);
    entries[BACKGROUND] = wavBytes(tone(1.0));
    start(entries);
    LogCapture log;
    for (int request = 0; request < SoundSystem::SOURCE_COUNT; ++request)
        ASSERT_TRUE(sound->play(SOUND_ATTACK_3, false));
    ASSERT_TRUE(sound->play(SOUND_ATTACK_3, true));
    ASSERT_TRUE(sound->startContinousSound(BACKGROUND));
    // Let the mixer get going, so that everything is really in use.
    ASSERT_TRUE(waitUntil([this] {
        ALint offset = 0;
        alGetSourcei(sound->background(), AL_SAMPLE_OFFSET, &offset);
        return offset > 0;
    }));
    closeSound();
    EXPECT_EQ(log.count("[ERROR]"), 0) << log.text();
    EXPECT_FALSE(WaveBackend::recording().silent());
}

TEST_F(SoundSystemTest, AMalformedSoundIsOnlySilencedWhileTheOthersPlay)
{
    auto entries = soundPackageEntries(0.2);
    entries[sSounds[SOUND_GHOST_DEATH]] = wavBytes(tone(0.2), 44100);
    entries[sSounds[SOUND_MONK_ATTACK]] = "RIFF";
    LogCapture log;
    start(entries);
    EXPECT_TRUE(log.contains("Invalid format of wav file"));
    EXPECT_TRUE(log.contains("Buffer length is not long enough to contain a wave header"));
    EXPECT_EQ(bufferBytes(sound->buffer(SOUND_GHOST_DEATH)), 0);
    EXPECT_EQ(bufferBytes(sound->buffer(SOUND_MONK_ATTACK)), 0);
    EXPECT_GT(bufferBytes(sound->buffer(SOUND_GHOST_DETECT)), 0);

    ASSERT_TRUE(sound->play(SOUND_GHOST_DEATH, false));
    ASSERT_TRUE(waitUntilStopped(sound->source(1)));
    ASSERT_TRUE(sound->play(SOUND_GHOST_DETECT, false));
    ASSERT_TRUE(waitUntilStopped(sound->source(2)));
    EXPECT_NEAR(finishRecording().loudSeconds(), 0.2, 0.03);
}

TEST_F(SoundSystemTest, SetupFailsWithoutADeviceOrWithAMissingSoundAndTearsDownQuietly)
{
    // Sets up and destroys a system, returning everything either logged.
    const auto failedSetupLog = [this](const std::map<std::string, std::string>& entries) {
        package = std::make_unique<TestPackage>(entries);
        LogCapture log;
        sound = std::make_unique<SoundProbe>(true);
        EXPECT_FALSE(sound->setup());
        closeSound();
        return log.text();
    };
    auto entries = soundPackageEntries(0.1);
    entries.erase(sSounds[SOUND_LEVEL_UP]);
    const std::string missing = failedSetupLog(entries);
    EXPECT_NE(missing.find("[ERROR]"), std::string::npos);
    EXPECT_NE(missing.find("Failed to load package data for sounds/level_up.wav"), std::string::npos);
    // The destructor releases only what setup made, without OpenAL objecting.
    EXPECT_EQ(missing.find("OpenAL error"), std::string::npos) << missing;

    WaveBackend::setDeviceAvailable(false);
    const std::string noDevice = failedSetupLog(soundPackageEntries(0.1));
    EXPECT_NE(noDevice.find("Failed to create ALC device"), std::string::npos);
    EXPECT_EQ(noDevice.find("[ERROR]"), noDevice.rfind("[ERROR]")) << "one error line only: " << noDevice;
}

TEST_F(SoundSystemTest, ErrorReportsNameTheCodeAndTheCallSite)
{
    start(soundPackageEntries(0.1));
    LogCapture log;
    EXPECT_FALSE(sound->checkALError(3));
    alSourcePlay(0x7FFFFFFF);
    EXPECT_TRUE(sound->checkALError(3));
    alGetSourcei(sound->source(0), 0x7FFF, nullptr);
    EXPECT_TRUE(sound->checkALError(0));
    EXPECT_FALSE(sound->checkALCError());
    ALCint value = 0;
    alcGetIntegerv(sound->alcDevice(), 0x7FFF, 1, &value);
    EXPECT_TRUE(sound->checkALCError());
    EXPECT_TRUE(log.contains("OpenAL error 3 (40961): AL_INVALID_NAME"));
    EXPECT_TRUE(log.contains("OpenAL error (40962): AL_INVALID_ENUM") ||
                log.contains("OpenAL error (40963): AL_INVALID_VALUE"))
        << log.text();
    EXPECT_TRUE(log.contains("ALC error (40963): ALC_INVALID_ENUM"));
}
