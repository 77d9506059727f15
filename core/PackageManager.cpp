#include "core/PackageManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FileReader.h"
#include "core/Log.h"

namespace {

constexpr uint32_t PACKAGE_MAGIC = 0x89ABCDEFu;
constexpr size_t HEADER_SIZE = 12;
constexpr size_t RECORD_SIZE = 72;
constexpr size_t NAME_SIZE = 64;
constexpr size_t CHECKSUM_OFFSET = 8;

struct PackageHeader {
    uint32_t magic = 0;
    uint32_t count = 0;
    uint32_t checksum = 0;
};

struct FileInfo {
    std::string name;
    uint32_t offset = 0;
    uint32_t size = 0;
};

uint32_t readU32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void writeU32(unsigned char* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool writeU32(FILE* file, uint32_t value)
{
    unsigned char bytes[4];
    writeU32(bytes, value);
    return std::fwrite(bytes, 1, sizeof(bytes), file) == sizeof(bytes);
}

// Reads the header; logs and fails when the file is shorter than one.
bool readHeader(FILE* file, const std::string& package, PackageHeader* header)
{
    unsigned char bytes[HEADER_SIZE];
    if (std::fread(bytes, 1, HEADER_SIZE, file) != HEADER_SIZE) {
        log_error("Failed to read the header of %s", package.c_str());
        return false;
    }
    header->magic = readU32(bytes);
    header->count = readU32(bytes + 4);
    header->checksum = readU32(bytes + 8);
    return true;
}

// Reads the next table record; logs and fails when the table is cut short.
bool readRecord(FILE* file, const std::string& package, FileInfo* info)
{
    unsigned char bytes[RECORD_SIZE];
    if (std::fread(bytes, 1, RECORD_SIZE, file) != RECORD_SIZE) {
        log_error("Failed to read the file table of %s", package.c_str());
        return false;
    }
    const char* name = reinterpret_cast<const char*>(bytes);
    info->name.assign(name, strnlen(name, NAME_SIZE));
    info->offset = readU32(bytes + NAME_SIZE);
    info->size = readU32(bytes + NAME_SIZE + 4);
    return true;
}

bool writeRecord(FILE* file, const std::string& name, uint32_t offset, uint32_t size)
{
    unsigned char bytes[RECORD_SIZE] = {};
    std::memcpy(bytes, name.data(), name.size());
    writeU32(bytes + NAME_SIZE, offset);
    writeU32(bytes + NAME_SIZE + 4, size);
    return std::fwrite(bytes, 1, RECORD_SIZE, file) == RECORD_SIZE;
}

// Length of an open file, leaving the position where it was.
long fileLength(FILE* file)
{
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return length;
}

const uint32_t* crcTable()
{
    static uint32_t table[256];
    static bool built = false;
    if (!built) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        built = true;
    }
    return table;
}

// Closes the file and passes the result on, so failure paths stay one line.
bool closeWith(FILE* file, bool result)
{
    std::fclose(file);
    return result;
}

// Opens the package and reads its header; null, after the error line, when
// either fails.
FILE* openWithHeader(const std::string& package, PackageHeader* header)
{
    FILE* file = std::fopen(package.c_str(), "rb");
    if (file == nullptr) {
        log_error("Failed to open data file %s", package.c_str());
        return nullptr;
    }
    if (!readHeader(file, package, header)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// Scans the table from the start for the first record named 'name'.
bool findEntry(FILE* file, const std::string& package, const std::string& name, FileInfo* info)
{
    PackageHeader header;
    if (!readHeader(file, package, &header))
        return false;
    for (uint32_t i = 0; i < header.count; ++i) {
        if (!readRecord(file, package, info))
            return false;
        if (info->name == name)
            return true;
    }
    log_error("Could not find %s in %s", name.c_str(), package.c_str());
    return false;
}

// Reads an entry's bytes into a new buffer, or logs and returns null.
void* readEntry(FILE* file, const std::string& package, const FileInfo& info)
{
    // Check the record against the file before trusting its size: a damaged
    // table must not make us allocate or read past the end.
    const long length = fileLength(file);
    if (length < 0 || static_cast<uint64_t>(info.offset) + info.size > static_cast<uint64_t>(length)) {
        log_error("Entry %s runs past the end of %s", info.name.c_str(), package.c_str());
        return nullptr;
    }
    // One spare byte keeps an empty entry from looking like a failure.
    void* buffer = std::malloc(static_cast<size_t>(info.size) + 1);
    if (buffer == nullptr || std::fseek(file, static_cast<long>(info.offset), SEEK_SET) != 0 ||
        std::fread(buffer, 1, info.size, file) != info.size) {
        log_error("Read incorrect number of bytes");
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}

} // namespace

uint32_t get_data_hash(const void* data, unsigned size)
{
    if (size == 0)
        return 0;
    const uint32_t* table = crcTable();
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned i = 0; i < size; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

PackageManager* PackageManager::getInstance()
{
    static PackageManager instance;
    return &instance;
}

bool PackageManager::createPackage(std::vector<std::string> files, std::string path, bool overwrite)
{
    if (FileReader::file_exists(path) && !overwrite) {
        log_error("The package file %s already exists, won't recreate", path.c_str());
        return false;
    }
    FILE* package = std::fopen(path.c_str(), "wb");
    if (package == nullptr) {
        log_error("Failed to open %s for writing", path.c_str());
        return false;
    }
    if (files.empty()) {
        log_error("No input files");
        return closeWith(package, false);
    }
    for (const std::string& file : files) {
        if (!FileReader::file_exists(file)) {
            log_error("Input file %s does not exist", file.c_str());
            return closeWith(package, false);
        }
    }

    const uint32_t count = static_cast<uint32_t>(files.size());
    if (!writeU32(package, PACKAGE_MAGIC) || !writeU32(package, count) || !writeU32(package, 0)) {
        log_error("Failed to write file header");
        return closeWith(package, false);
    }

    uint64_t offset = HEADER_SIZE + RECORD_SIZE * static_cast<uint64_t>(count);
    for (const std::string& file : files) {
        if (file.size() >= NAME_SIZE) {
            log_error("Length of filename %s is too large", file.c_str());
            return closeWith(package, false);
        }
        const int size = FileReader::file_size(file);
        if (size < 0) {
            log_error("Failed to read %s", file.c_str());
            return closeWith(package, false);
        }
        if (offset + static_cast<uint64_t>(size) > UINT32_MAX) {
            log_error("Package %s would exceed 4 GiB at %s", path.c_str(), file.c_str());
            return closeWith(package, false);
        }
        if (!writeRecord(package, file, static_cast<uint32_t>(offset), static_cast<uint32_t>(size))) {
            log_error("Failed to write file_info for %s", file.c_str());
            return closeWith(package, false);
        }
        offset += static_cast<uint64_t>(size);
    }

    uint32_t checksum = 0;
    for (const std::string& file : files) {
        const int size = FileReader::file_size(file);
        unsigned length = 0;
        void* buffer = FileReader::fileToBuffer(file, &length);
        if (buffer == nullptr)
            length = 0;
        if (static_cast<int>(length) != size) {
            log_error("Sizes differ! buffer=%d vs file=%d", static_cast<int>(length), size);
            std::free(buffer);
            return closeWith(package, false);
        }
        checksum += get_data_hash(buffer, length);
        const bool written = std::fwrite(buffer, 1, length, package) == length;
        std::free(buffer);
        if (!written) {
            log_error("Failed to write data for %s", file.c_str());
            return closeWith(package, false);
        }
    }

    if (std::fseek(package, CHECKSUM_OFFSET, SEEK_SET) != 0 || !writeU32(package, checksum)) {
        log_error("Failed to write checksum");
        return closeWith(package, false);
    }
    // Buffered bytes reach the disk only here; a full disk shows up now.
    if (std::fclose(package) != 0) {
        log_error("Failed to write %s", path.c_str());
        return false;
    }
    return true;
}

void* PackageManager::load(std::string package, std::string name, unsigned* size)
{
    FILE* file = std::fopen(package.c_str(), "rb");
    if (file == nullptr) {
        log_error("Failed to open data file %s", package.c_str());
        return nullptr;
    }
    FileInfo info;
    void* buffer = findEntry(file, package, name, &info) ? readEntry(file, package, info) : nullptr;
    std::fclose(file);
    if (buffer != nullptr && size != nullptr)
        *size = info.size;
    return buffer;
}

bool PackageManager::getChecksum(std::string package, unsigned* out)
{
    if (out == nullptr)
        return false;
    PackageHeader header;
    FILE* file = openWithHeader(package, &header);
    if (file == nullptr)
        return false;
    *out = header.checksum;
    return closeWith(file, true);
}

bool PackageManager::calculateChecksum(std::string package, unsigned* out)
{
    if (out == nullptr)
        return false;
    *out = 0;
    PackageHeader header;
    FILE* file = openWithHeader(package, &header);
    if (file == nullptr)
        return false;

    for (uint32_t i = 0; i < header.count; ++i) {
        FileInfo info;
        if (!readRecord(file, package, &info))
            return closeWith(file, false);
        unsigned size = 0;
        void* buffer = load(package, info.name, &size);
        if (buffer == nullptr)
            return closeWith(file, false);
        *out += get_data_hash(buffer, size);
        std::free(buffer);
    }
    return closeWith(file, true);
}
