#include <cstdlib>
#include <cstring>

#include "audio/WavLoader.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"

namespace {

constexpr size_t HEADER_SIZE = 44;
// An entry's size is an unsigned 32-bit number; the game never sees more.
constexpr size_t MAX_ENTRY = 0xFFFFFFFFu;

} // namespace

int fuzz_wav_reader(const uint8_t* data, size_t size)
{
    if (size > MAX_ENTRY)
        return 0;
    const uint32_t untouched = 0xDEADBEEFu;
    uint32_t length = untouched;
    void* samples = WavLoader::loadRawDataFromWav(data, static_cast<unsigned>(size), &length);
    if (samples == nullptr) {
        fuzz_require(length == untouched, "a refused file leaves the size alone");
        return 0;
    }
    fuzz_require(size >= HEADER_SIZE && length <= size - HEADER_SIZE, "the samples lie inside the file");
    fuzz_require(std::memcmp(samples, data + HEADER_SIZE, length) == 0, "the samples are the file's");
    std::free(samples);
    return 0;
}
