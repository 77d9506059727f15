#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <string>

#include "audio/GameSound.h"
#include "core/MessageReceiver.h"

// Plays the game's sound effects and one looping background sound through
// OpenAL.
//
// Setup opens the default output device, decodes every game sound from the
// package into its own buffer and makes a pool of sources. Effects are fire
// and forget: each request takes the next pool source in turn and is dropped
// when that source is still busy, so at most SOURCE_COUNT effects sound at
// once. There is no 3-D placement. The game object plays its own sounds
// directly and switches the background per level; enemies, bosses and the
// HUD send MESSAGE_PLAY_GAME_SOUND, for which this is the receiver.
class SoundSystem : public MessageReceiver {
public:
    static constexpr int SOURCE_COUNT = 8;

    // Registers for MESSAGE_PLAY_GAME_SOUND; opens nothing yet. A disabled
    // system still sets up but plays nothing.
    explicit SoundSystem(bool enabled);
    ~SoundSystem() override;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Opens the device and context and loads every game sound. False (with
    // an error line) when there is no device or a sound is missing from the
    // package; a malformed sound only stays silent.
    bool setup();
    // Plays one effect once, on the pool or on the dedicated source. True
    // also when nothing was played because the sound is SOUND_NONE, the
    // system is disabled or the chosen source is busy; false for an unknown
    // id, an unloaded sound or an OpenAL failure.
    bool play(game_sound sound, bool dedicated);
    // Plays the payload's sound on the pool; other kinds are ignored.
    void handleMessage(Message message, MessagePayload* payload) override;
    const char* whoIsThere() override;
    // Loops the package WAV at 'path' as the background. Does not stop a
    // background already running: stop it first.
    bool startContinousSound(std::string path);
    // Stops and releases the background; harmless when there is none.
    void stopContinousSound();
    // Logs the pending OpenAL error with 'where' (when positive) to tell the
    // call sites apart; true when there was one.
    bool checkALError(int where);
    // Logs the pending error of the device; true when there was one.
    bool checkALCError();

protected:
    bool enabled;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint buffers[GAME_SOUND_COUNT] = {};
    ALuint sources[SOURCE_COUNT] = {};
    ALuint continuousBuffer = 0;
    // 0 while no background plays.
    ALuint continuousSource = 0;
    // One source outside the pool.
    ALuint dedicatedSource = 0;

    // The pool slot used last, shared by every instance.
    static int sourceIndex;

private:
    bool openDevice();
    bool loadSounds();
    // Decodes a package WAV into 'buffer'; false when OpenAL refused the
    // samples. A file the reader refuses gives an empty buffer.
    bool fillBuffer(ALuint buffer, const void* file, unsigned length);
    // Binds 'buffer' to 'source' at pitch and gain 1 and starts it.
    bool startSource(ALuint source, ALuint buffer, bool looping);
    void deleteSourcesAndBuffers();
    // Releases the context and the device, whichever exist.
    void closeDevice();
};
