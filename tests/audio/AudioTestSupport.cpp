#include "AudioTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "Loudness.h"
#include "audio/GameSound.h"
#include "support/TempDir.h"

namespace {

constexpr double TONE_RATE = 11025.0;

void put_u16(std::string& out, uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void put_u32(std::string& out, uint32_t value)
{
    put_u16(out, static_cast<uint16_t>(value & 0xFFFF));
    put_u16(out, static_cast<uint16_t>(value >> 16));
}

TempDir* recordingDir()
{
    static TempDir dir;
    return &dir;
}

std::string recordingFolder()
{
    return recordingDir()->file("recordings");
}

} // namespace

std::vector<int16_t> tone(double seconds, double frequency, double amplitude)
{
    const int count = static_cast<int>(seconds * TONE_RATE);
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<size_t>(i)] =
            static_cast<int16_t>(32767.0 * amplitude * std::sin(2.0 * M_PI * frequency * i / TONE_RATE));
    return samples;
}

std::vector<int16_t> silence(double seconds)
{
    return std::vector<int16_t>(static_cast<size_t>(seconds * TONE_RATE), 0);
}

std::vector<int16_t> joined(std::vector<int16_t> head, const std::vector<int16_t>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::string wavBytes(const std::vector<int16_t>& samples, uint32_t rate, uint16_t channels, uint16_t bits)
{
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    put_u32(out, 36 + dataSize);
    out += "WAVEfmt ";
    put_u32(out, 16);
    put_u16(out, 1);
    put_u16(out, channels);
    put_u32(out, rate);
    put_u32(out, rate * channels * bits / 8);
    put_u16(out, static_cast<uint16_t>(channels * bits / 8));
    put_u16(out, bits);
    out += "data";
    put_u32(out, dataSize);
    for (int16_t sample : samples)
        put_u16(out, static_cast<uint16_t>(sample));
    return out;
}

std::map<std::string, std::string> soundPackageEntries(double seconds)
{
    const std::string bytes = wavBytes(tone(seconds));
    std::map<std::string, std::string> entries;
    for (const char* path : sSounds)
        entries[path] = bytes;
    return entries;
}

double Recording::seconds() const
{
    return rate == 0 ? 0.0 : static_cast<double>(samples.size()) / rate;
}

double Recording::loudSeconds(int threshold) const
{
    long first = -1;
    long last = -1;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > threshold) {
            first = first < 0 ? static_cast<long>(i) : first;
            last = static_cast<long>(i);
        }
    }
    return first < 0 ? 0.0 : static_cast<double>(last - first + 1) / rate;
}

int Recording::bursts(double gapSeconds, int threshold) const
{
    const size_t gap = static_cast<size_t>(gapSeconds * rate);
    int count = 0;
    size_t quiet = gap;
    for (int16_t sample : samples) {
        if (std::abs(sample) > threshold) {
            count += quiet >= gap ? 1 : 0;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return count;
}

void WaveBackend::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    const TempDir* dir = recordingDir();
    dir->write("recordings/.keep", "");
    const std::string conf = dir->write("alsoft.conf", "[general]\n"
                                                       "drivers = wave\n"
                                                       "channels = mono\n"
                                                       "sample-type = int16\n"
                                                       // openal-soft dithers 16-bit output unless told not to, and its
                                                       // dither records silence as noise one step high.
                                                       "dither = false\n"
                                                       "[wave]\n"
                                                       "file = " + outputPath() + "\n");
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
}

std::string WaveBackend::outputPath()
{
    return recordingFolder() + "/out.wav";
}

Recording WaveBackend::recording()
{
    const WavSamples wav = WavSamples::read(outputPath());
    Recording out;
    EXPECT_TRUE(wav.ok) << "no recording at " << outputPath() << ": " << wav.error;
    EXPECT_FALSE(wav.floatSamples) << "record with sample-type = int16";
    if (!wav.ok)
        return out;
    out.channels = static_cast<uint16_t>(wav.channels);
    out.rate = wav.rate;
    for (size_t at = 0; at < wav.samples.size(); at += wav.channels)
        out.samples.push_back(static_cast<int16_t>(std::lround(wav.samples[at] * 32768.0f)));
    return out;
}

void WaveBackend::setDeviceAvailable(bool available)
{
    if (available) {
        recordingDir()->write("recordings/.keep", "");
    } else {
        std::remove(outputPath().c_str());
        std::remove((recordingFolder() + "/.keep").c_str());
        ::rmdir(recordingFolder().c_str());
    }
}

ALint stateOf(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}
