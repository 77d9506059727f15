#include "Loudness.h"

#include <ebur128.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

constexpr uint16_t FORMAT_PCM = 1;
constexpr uint16_t FORMAT_FLOAT = 3;
constexpr uint16_t FORMAT_EXTENSIBLE = 0xFFFE;

uint16_t u16(const std::string& bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

uint32_t u32(const std::string& bytes, size_t at)
{
    return u16(bytes, at) | static_cast<uint32_t>(u16(bytes, at + 2)) << 16;
}

struct Format {
    uint16_t tag = 0;
    unsigned channels = 0;
    unsigned rate = 0;
    unsigned bits = 0;
};

// The fmt chunk at 'at' of 'size' bytes; an extensible one names its real
// format in the first two bytes of its sub-format.
bool readFormat(const std::string& bytes, size_t at, uint32_t size, Format& out)
{
    if (size < 16)
        return false;
    out.tag = u16(bytes, at);
    out.channels = u16(bytes, at + 2);
    out.rate = u32(bytes, at + 4);
    out.bits = u16(bytes, at + 14);
    if (out.tag == FORMAT_EXTENSIBLE) {
        if (size < 40)
            return false;
        out.tag = u16(bytes, at + 24);
    }
    return true;
}

// The samples of the data chunk as floats of full scale, interleaved. The
// backend finishes the chunk's size only when the device closes, so an
// unfinished file is read to its end.
std::vector<float> readSamples(const std::string& bytes, size_t at, uint32_t size, const Format& format)
{
    const size_t end = size == 0 ? bytes.size() : std::min(bytes.size(), at + size);
    std::vector<float> samples;
    const size_t width = format.bits / 8;
    for (size_t i = at; i + width <= end; i += width) {
        if (format.tag == FORMAT_FLOAT) {
            const uint32_t raw = u32(bytes, i);
            float value;
            std::memcpy(&value, &raw, sizeof value);
            samples.push_back(value);
        } else {
            samples.push_back(static_cast<int16_t>(u16(bytes, i)) / 32768.0f);
        }
    }
    return samples;
}

WavSamples unreadable(const std::string& why)
{
    WavSamples out;
    out.error = why;
    return out;
}

// Integrated loudness and true peak by EBU R128.
bool measureR128(const std::vector<float>& samples, Loudness& out)
{
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(out.channels, out.rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state)
        return false;
    if (ebur128_add_frames_float(state.get(), samples.data(), samples.size() / out.channels) != EBUR128_SUCCESS)
        return false;
    if (ebur128_loudness_global(state.get(), &out.integratedLufs) != EBUR128_SUCCESS)
        return false;
    for (unsigned channel = 0; channel < out.channels; ++channel) {
        double peak = 0.0;
        if (ebur128_true_peak(state.get(), channel, &peak) != EBUR128_SUCCESS)
            return false;
        out.truePeak = std::max(out.truePeak, peak);
    }
    return true;
}

} // namespace

WavSamples WavSamples::read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return unreadable("not a WAV file: " + path);

    // The format is checked before a sample is read: the samples' width
    // comes from it.
    Format format;
    size_t dataAt = 0;
    uint32_t dataSize = 0;
    for (size_t at = 12; at + 8 <= bytes.size() && dataAt == 0;) {
        const uint32_t size = u32(bytes, at + 4);
        if (bytes.compare(at, 4, "fmt ") == 0 && !readFormat(bytes, at + 8, std::min<size_t>(size, bytes.size() - at - 8), format))
            return unreadable("a short format chunk");
        if (bytes.compare(at, 4, "data") == 0) {
            dataAt = at + 8;
            dataSize = size;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    WavSamples out;
    const bool int16 = format.tag == FORMAT_PCM && format.bits == 16;
    out.floatSamples = format.tag == FORMAT_FLOAT && format.bits == 32;
    if (!int16 && !out.floatSamples)
        return unreadable("no format chunk before the samples, or neither 16-bit integer nor 32-bit float samples");
    if (format.channels == 0 || format.rate == 0)
        return unreadable("no channels or no rate");
    if (dataAt == 0)
        return unreadable("no data chunk");
    out.samples = readSamples(bytes, dataAt, dataSize, format);
    out.channels = format.channels;
    out.rate = format.rate;
    out.ok = true;
    return out;
}

Loudness Loudness::ofWavFile(const std::string& path)
{
    const WavSamples wav = WavSamples::read(path);
    Loudness out;
    if (!wav.ok || wav.samples.empty()) {
        out.error = wav.ok ? "no samples" : wav.error;
        return out;
    }
    static_cast<WavFormat&>(out) = wav;
    out.seconds = static_cast<double>(wav.samples.size() / out.channels) / out.rate;
    const float fullScale = wav.floatSamples ? 1.0f : 32767.0f / 32768.0f;
    std::vector<size_t> runs(out.channels, 0);
    for (size_t i = 0; i < wav.samples.size(); ++i) {
        const float size = std::fabs(wav.samples[i]);
        const bool atFullScale = size >= fullScale;
        size_t& run = runs[i % out.channels];
        run = atFullScale ? run + 1 : 0;
        out.longestFullScaleRun = std::max(out.longestFullScaleRun, run);
        out.samplePeak = std::max(out.samplePeak, static_cast<double>(size));
        out.fullScaleSamples += atFullScale ? 1 : 0;
        out.pastFullScaleSamples += size > 1.0f ? 1 : 0;
    }
    if (!measureR128(wav.samples, out)) {
        out.error = "libebur128 could not measure it";
        return out;
    }
    out.ok = true;
    return out;
}

double decibels(double fraction)
{
    return 20.0 * std::log10(fraction);
}
