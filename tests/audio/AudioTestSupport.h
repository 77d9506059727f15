#pragma once

#include <AL/al.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Helpers for the sound tests: synthesized WAV files, a recording of what
// OpenAL played, and a way to wait for the mixer without sleeping.

// A sine burst at 11025 Hz, 'amplitude' a fraction of full scale.
std::vector<int16_t> tone(double seconds, double frequency = 440.0, double amplitude = 0.5);
std::vector<int16_t> silence(double seconds);
// 'head' followed by 'tail'.
std::vector<int16_t> joined(std::vector<int16_t> head, const std::vector<int16_t>& tail);
// The bytes of a canonical 44-byte-header WAV file with these fields.
std::string wavBytes(const std::vector<int16_t>& samples, uint32_t rate = 11025, uint16_t channels = 1,
                     uint16_t bits = 16);
// Every path of the game sound table mapped to a tone of 'seconds'.
std::map<std::string, std::string> soundPackageEntries(double seconds);

// What openal-soft's wave backend wrote, first channel only.
struct Recording {
    uint32_t rate = 0;
    uint16_t channels = 0;
    std::vector<int16_t> samples;

    double seconds() const;
    // From the first to the last sample louder than 'threshold', in seconds.
    double loudSeconds(int threshold = 500) const;
    // Stretches of loud samples separated by at least 'gapSeconds' of quiet.
    int bursts(double gapSeconds, int threshold = 500) const;
    bool silent() const { return loudSeconds(0) == 0.0; }
};

// Makes every OpenAL device this process opens record to a WAV file through
// openal-soft's wave backend. openal-soft reads its configuration once per
// process, so this must run before the first device opens; later calls do
// nothing. Each device open starts the file anew, and its header is finished
// when the device closes: read the recording only after that.
class WaveBackend {
public:
    static void install();
    static std::string outputPath();
    // Parses the file the last device wrote; fails the test when unreadable.
    static Recording recording();
    // Without its folder the backend cannot open the file, so opening a
    // device fails as it would on a machine without sound.
    static void setDeviceAvailable(bool available);
};

// AL_INITIAL, AL_PLAYING, AL_STOPPED... of a source of the current context.
ALint stateOf(ALuint source);

// Polls 'condition' until it holds or 'timeoutSeconds' pass; the timeout only
// guards against a hang. True when the condition held.
bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds = 10.0);
