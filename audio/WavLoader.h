#pragma once

#include <cstdint>
#include <string>

// Turns the bytes of a WAV file into the raw samples of an OpenAL buffer.
//
// Only one layout is accepted, the one every sound of the game is stored in:
// the canonical 44-byte header of a PCM file with one channel, 16 bits per
// sample and 11025 samples per second, "fmt" first and "data" right behind
// it. Anything else is refused with one error line; the sound system then
// leaves that sound silent. Stateless.
class WavLoader {
public:
    // The one rate every game sound is recorded at.
    static constexpr uint32_t SAMPLE_RATE = 11025;

    // A new malloc'd copy of the samples (free it), or null. On success
    // *size is the number of sample bytes; on failure it is left alone. Never
    // reads past 'length' bytes of 'data'.
    static void* loadRawDataFromWav(const void* data, unsigned length, uint32_t* size);
    // The same for a WAV file on disk.
    static void* loadRawDataFromWavFile(const std::string& path, uint32_t* size);

private:
    WavLoader() = delete;
};
