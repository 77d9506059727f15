#include "audio/SoundSystem.h"

#include <AL/alext.h>

#include <cstdint>
#include <cstdlib>

#include "audio/WavLoader.h"
#include "core/Log.h"
#include "core/MailBox.h"
#include "core/PackageManager.h"

namespace {

const char* const PACKAGE = "data.mv2";

// Error codes 0xA001 to 0xA005 share their values between AL and ALC.
constexpr int FIRST_ERROR_CODE = 0xA001;
constexpr int ERROR_NAME_COUNT = 5;
const char* const AL_ERROR_NAMES[ERROR_NAME_COUNT] = {
    "AL_INVALID_NAME", "AL_INVALID_ENUM", "AL_INVALID_VALUE", "AL_INVALID_OPERATION", "AL_OUT_OF_MEMORY",
};
const char* const ALC_ERROR_NAMES[ERROR_NAME_COUNT] = {
    "ALC_INVALID_DEVICE", "ALC_INVALID_CONTEXT", "ALC_INVALID_ENUM", "ALC_INVALID_VALUE", "ALC_OUT_OF_MEMORY",
};

const char* error_name(int code, const char* const names[], const char* unknown)
{
    const int index = code - FIRST_ERROR_CODE;
    return index >= 0 && index < ERROR_NAME_COUNT ? names[index] : unknown;
}

// Every sound plays at full gain, so the music and eight effects peaking
// together sum past full scale; openal-soft's output limiter holds such a
// pile-up at full scale instead of letting it clip. openal-soft 1.19 turns
// it on by default; 1.24 leaves it off for float output unless the program
// asks, and then the request outweighs the user's "output-limiter" setting.
const ALCint* contextAttributes(ALCdevice* device)
{
    static const ALCint LIMITER_ON[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
    return alcIsExtensionPresent(device, "ALC_SOFT_output_limiter") == ALC_TRUE ? LIMITER_ON : nullptr;
}

} // namespace

int SoundSystem::sourceIndex = 0;

SoundSystem::SoundSystem(bool enabled) : enabled(enabled)
{
    MailBox::getInstance()->registerReceiver(this, MESSAGE_PLAY_GAME_SOUND);
}

SoundSystem::~SoundSystem()
{
    // Without a context the names went with it; only what exists is released.
    if (context != nullptr)
        deleteSourcesAndBuffers();
    closeDevice();
}

bool SoundSystem::setup()
{
    if (!openDevice())
        return false;
    alGenBuffers(GAME_SOUND_COUNT, buffers);
    checkALError(0);
    if (!loadSounds())
        return false;
    alGenSources(SOURCE_COUNT, sources);
    if (checkALError(0)) {
        log_error("Failed to generate sources");
        closeDevice();
        return false;
    }
    alGenSources(1, &dedicatedSource);
    checkALError(0);
    return true;
}

bool SoundSystem::openDevice()
{
    alGetError();
    device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        log_error("Failed to create ALC device");
        return false;
    }
    context = alcCreateContext(device, contextAttributes(device));
    checkALCError();
    const bool current = context != nullptr && alcMakeContextCurrent(context) == ALC_TRUE;
    checkALCError();
    if (!current) {
        log_error("Failed to create/set ALC context");
        closeDevice();
        return false;
    }
    return true;
}

bool SoundSystem::loadSounds()
{
    for (int id = 0; id < GAME_SOUND_COUNT; ++id) {
        unsigned length = 0;
        void* file = PackageManager::getInstance()->load(PACKAGE, sSounds[id], &length);
        if (file == nullptr) {
            log_error("Failed to load package data for %s", sSounds[id]);
            return false;
        }
        // A broken file costs only its own sound.
        if (!fillBuffer(buffers[id], file, length))
            log_error("adBufferData failed");
        std::free(file);
    }
    return true;
}

bool SoundSystem::fillBuffer(ALuint buffer, const void* file, unsigned length)
{
    uint32_t size = 0;
    void* samples = WavLoader::loadRawDataFromWav(file, length, &size);
    alBufferData(buffer, AL_FORMAT_MONO16, samples, static_cast<ALsizei>(size),
                 static_cast<ALsizei>(WavLoader::SAMPLE_RATE));
    std::free(samples);
    return !checkALError(0);
}

bool SoundSystem::play(game_sound sound, bool dedicated)
{
    // Ids come off the bus as plain ints; never index past the table.
    if (sound < 0 || sound > SOUND_NONE)
        return false;
    if (sound == SOUND_NONE || !enabled)
        return true;
    if (buffers[sound] == 0)
        return false;

    ALuint source = dedicatedSource;
    if (!dedicated) {
        sourceIndex = (sourceIndex + 1) % SOURCE_COUNT;
        source = sources[sourceIndex];
    }
    if (alIsSource(source) != AL_TRUE)
        return true;

    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (checkALError(0))
        return false;
    // A busy source keeps its sound; the new one is dropped, not queued.
    if (state == AL_PLAYING)
        return true;
    return startSource(source, buffers[sound], false);
}

bool SoundSystem::startSource(ALuint source, ALuint buffer, bool looping)
{
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    if (checkALError(0))
        return false;
    alSourcef(source, AL_PITCH, 1.0f);
    if (checkALError(0))
        return false;
    alSourcef(source, AL_GAIN, 1.0f);
    if (checkALError(0))
        return false;
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    if (checkALError(0))
        return false;
    alSourcePlay(source);
    return !checkALError(0);
}

void SoundSystem::handleMessage(Message message, MessagePayload* payload)
{
    if (message != MESSAGE_PLAY_GAME_SOUND || payload == nullptr)
        return;
    const game_sound sound = static_cast<game_sound>(payload->getInt());
    if (sound != SOUND_NONE && enabled)
        play(sound, false);
}

const char* SoundSystem::whoIsThere()
{
    return "SoundSystem";
}

bool SoundSystem::startContinousSound(std::string path)
{
    if (!enabled)
        return true;
    alGenSources(1, &continuousSource);
    if (checkALError(0)) {
        log_error("Failed to generate repeat source");
        closeDevice();
        return false;
    }
    alGenBuffers(1, &continuousBuffer);
    checkALError(0);

    unsigned length = 0;
    void* file = PackageManager::getInstance()->load(PACKAGE, path, &length);
    if (file == nullptr) {
        log_error("Failed to load file from package %s", path.c_str());
        return false;
    }
    const bool filled = fillBuffer(continuousBuffer, file, length);
    std::free(file);
    if (!filled)
        return false;
    if (continuousBuffer == 0) {
        log_error("No buffer");
        return false;
    }
    if (alIsSource(continuousSource) != AL_TRUE)
        return true;
    return startSource(continuousSource, continuousBuffer, true);
}

void SoundSystem::stopContinousSound()
{
    if (!enabled || continuousSource == 0)
        return;
    alSourceStop(continuousSource);
    alDeleteSources(1, &continuousSource);
    alDeleteBuffers(1, &continuousBuffer);
    checkALError(0);
    continuousSource = 0;
    continuousBuffer = 0;
}

void SoundSystem::deleteSourcesAndBuffers()
{
    checkALError(1);
    for (ALuint& source : sources) {
        if (source == 0)
            continue;
        alDeleteSources(1, &source);
        checkALError(2);
    }
    if (continuousSource != 0) {
        alDeleteSources(1, &continuousSource);
        checkALError(3);
    }
    if (dedicatedSource != 0) {
        alDeleteSources(1, &dedicatedSource);
        checkALError(4);
    }
    checkALError(5);
    for (ALuint& buffer : buffers) {
        if (buffer == 0)
            continue;
        alDeleteBuffers(1, &buffer);
        checkALError(6);
    }
    if (continuousBuffer != 0) {
        alDeleteBuffers(1, &continuousBuffer);
        checkALError(7);
    }
}

void SoundSystem::closeDevice()
{
    if (context != nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device != nullptr) {
        alcCloseDevice(device);
        device = nullptr;
    }
}

bool SoundSystem::checkALError(int where)
{
    const ALenum error = alGetError();
    if (error == AL_NO_ERROR)
        return false;
    const char* name = error_name(error, AL_ERROR_NAMES, "Unknown AL error");
    if (where < 1)
        log_error("OpenAL error (%d): %s", error, name);
    else
        log_error("OpenAL error %d (%d): %s", where, error, name);
    return true;
}

bool SoundSystem::checkALCError()
{
    const ALCenum error = alcGetError(device);
    if (error == ALC_NO_ERROR)
        return false;
    log_error("ALC error (%d): %s", error, error_name(error, ALC_ERROR_NAMES, "Unknown ALC error"));
    return true;
}
