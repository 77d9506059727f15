#include "AudioTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "audio/GameSound.h"
#include "support/TempDir.h"
#include "support/TestPackage.h"

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

uint32_t get_u32(const std::string& bytes, size_t offset)
{
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])); };
    return byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
}

uint16_t get_u16(const std::string& bytes, size_t offset)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                 (static_cast<unsigned char>(bytes[offset + 1]) << 8));
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

// Reads the samples of a 16-bit data chunk, cut to the bytes present: the
// size field is only finished when the device closes.
void read_samples(const std::string& bytes, size_t offset, uint32_t chunkSize, Recording& out)
{
    const size_t end = std::min(bytes.size(), offset + chunkSize);
    const size_t frameBytes = 2u * out.channels;
    for (size_t at = offset; at + frameBytes <= end; at += frameBytes)
        out.samples.push_back(static_cast<int16_t>(get_u16(bytes, at)));
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
    const std::string bytes = readFileBytes(outputPath());
    Recording out;
    EXPECT_GE(bytes.size(), 12u) << "no recording at " << outputPath();
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        ADD_FAILURE() << "the recording is not a WAV file";
        return out;
    }
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = get_u32(bytes, at + 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            out.channels = get_u16(bytes, at + 10);
            out.rate = get_u32(bytes, at + 12);
            EXPECT_EQ(get_u16(bytes, at + 22), 16) << "record with sample-type = int16";
        } else if (id == "data") {
            read_samples(bytes, at + 8, size, out);
            break;
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_GT(out.rate, 0u) << "the recording has no format chunk";
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
