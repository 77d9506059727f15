#include "audio/WavLoader.h"

#include <cstdlib>
#include <cstring>

#include "core/FileReader.h"
#include "core/Log.h"

namespace {

// Byte offsets of the canonical header.
constexpr unsigned HEADER_SIZE = 44;
constexpr unsigned RIFF_OFFSET = 0;
constexpr unsigned WAVE_OFFSET = 8;
constexpr unsigned FMT_OFFSET = 12;
constexpr unsigned CHANNELS_OFFSET = 22;
constexpr unsigned SAMPLE_RATE_OFFSET = 24;
constexpr unsigned BITS_OFFSET = 34;
constexpr unsigned DATA_OFFSET = 36;
constexpr unsigned DATA_SIZE_OFFSET = 40;

constexpr uint16_t CHANNELS = 1;
constexpr uint16_t BITS_PER_SAMPLE = 16;

uint16_t read_u16(const unsigned char* bytes, unsigned offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t read_u32(const unsigned char* bytes, unsigned offset)
{
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

bool has_tag(const unsigned char* bytes, unsigned offset, const char* tag)
{
    return std::memcmp(bytes + offset, tag, std::strlen(tag)) == 0;
}

// Logs why the header is not the one layout we play; true when it is.
bool check_header(const unsigned char* bytes)
{
    if (!has_tag(bytes, RIFF_OFFSET, "RIFF")) {
        log_error("Not a RIFF file");
        return false;
    }
    if (!has_tag(bytes, WAVE_OFFSET, "WAVE")) {
        log_error("Not a wave file");
        return false;
    }
    // Only three letters: the fourth byte of the chunk id is not looked at.
    if (!has_tag(bytes, FMT_OFFSET, "fmt")) {
        log_error("Did not find fmt header, foudn %c %c %c %c", bytes[FMT_OFFSET], bytes[FMT_OFFSET + 1],
                  bytes[FMT_OFFSET + 2], bytes[FMT_OFFSET + 3]);
        return false;
    }
    if (read_u32(bytes, SAMPLE_RATE_OFFSET) != WavLoader::SAMPLE_RATE || read_u16(bytes, CHANNELS_OFFSET) != CHANNELS ||
        read_u16(bytes, BITS_OFFSET) != BITS_PER_SAMPLE) {
        log_error("Invalid format of wav file (we need sample rate 11025, 1 channel and 16 bps)");
        return false;
    }
    if (!has_tag(bytes, DATA_OFFSET, "data")) {
        log_error("Did not find data tag");
        return false;
    }
    return true;
}

} // namespace

void* WavLoader::loadRawDataFromWav(const void* data, unsigned length, uint32_t* size)
{
    if (data == nullptr || length < HEADER_SIZE) {
        log_error("Buffer length is not long enough to contain a wave header");
        return nullptr;
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (!check_header(bytes))
        return nullptr;

    // A truncated file (or a lying header) must not make us copy whatever
    // lies behind the buffer.
    const uint32_t dataSize = read_u32(bytes, DATA_SIZE_OFFSET);
    if (dataSize > length - HEADER_SIZE) {
        log_error("Wave data size %u exceeds the %u bytes present", dataSize, length - HEADER_SIZE);
        return nullptr;
    }
    // At least one byte, so that an empty sound is still a valid result.
    void* samples = std::malloc(dataSize > 0 ? dataSize : 1);
    if (samples == nullptr) {
        log_error("Out of memory for %u bytes of wave data", dataSize);
        return nullptr;
    }
    std::memcpy(samples, bytes + HEADER_SIZE, dataSize);
    *size = dataSize;
    return samples;
}

void* WavLoader::loadRawDataFromWavFile(const std::string& path, uint32_t* size)
{
    unsigned length = 0;
    void* file = FileReader::fileToBuffer(path, &length);
    if (file == nullptr || length == 0) {
        log_error("Failed to read %s", path.c_str());
        std::free(file);
        return nullptr;
    }
    // A file shorter than the header is refused by the reader itself, with
    // the same message.
    void* samples = loadRawDataFromWav(file, length, size);
    std::free(file);
    return samples;
}
