#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "core/PackageManager.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzTargets.h"

namespace {

const char* const PACKAGE = "data.mv2";
constexpr size_t HEADER_SIZE = 12;
constexpr size_t RECORD_SIZE = 72;
constexpr size_t NAME_SIZE = 64;
// Enough to reach every table shape; more records only repeat the work.
constexpr uint32_t MAX_NAMES = 64;

struct Record {
    uint32_t offset;
    uint32_t size;
};

// The first record of each name among the records the input holds whole, as
// an independent reading of the format to check the reader against.
std::map<std::string, Record> firstRecords(const uint8_t* data, size_t size)
{
    std::map<std::string, Record> records;
    if (size < HEADER_SIZE)
        return records;
    const uint32_t count = read_fuzz_u32(data + 4);
    for (uint32_t i = 0; i < count && i < MAX_NAMES; ++i) {
        const size_t at = HEADER_SIZE + RECORD_SIZE * i;
        if (at + RECORD_SIZE > size)
            break;
        const char* name = reinterpret_cast<const char*>(data + at);
        records.emplace(std::string(name, strnlen(name, NAME_SIZE)),
                        Record{read_fuzz_u32(data + at + NAME_SIZE), read_fuzz_u32(data + at + NAME_SIZE + 4)});
    }
    return records;
}

} // namespace

int fuzz_package_readers(const uint8_t* data, size_t size)
{
    write_fuzz_file(PACKAGE, data, size);
    PackageManager* packages = PackageManager::getInstance();

    unsigned stored = 0;
    const bool hasHeader = packages->getChecksum(PACKAGE, &stored);
    fuzz_require(hasHeader == (size >= HEADER_SIZE), "the stored checksum is read exactly when a header is there");
    if (hasHeader)
        fuzz_require(stored == read_fuzz_u32(data + 8), "the stored checksum is the header's");
    unsigned computed = 0;
    packages->calculateChecksum(PACKAGE, &computed);

    for (const auto& [name, record] : firstRecords(data, size)) {
        unsigned length = 0;
        void* bytes = packages->load(PACKAGE, name, &length);
        const bool inside = static_cast<uint64_t>(record.offset) + record.size <= size;
        fuzz_require((bytes != nullptr) == inside, "an entry loads exactly when its bytes are in the file");
        if (bytes != nullptr) {
            fuzz_require(length == record.size, "a loaded entry has its record's size");
            fuzz_require(std::memcmp(bytes, data + record.offset, length) == 0,
                         "a loaded entry holds the bytes at its record's offset");
        }
        std::free(bytes);
        std::free(packages->load(PACKAGE, name, nullptr));
    }
    std::free(packages->load(PACKAGE, "no such entry", nullptr));
    return 0;
}
