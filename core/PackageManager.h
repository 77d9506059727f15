#pragma once

#include <cstdint>
#include <string>
#include <vector>

// CRC-32 (the zlib one) of a block of bytes; 0 for an empty block. The lookup
// table is built on first use and shared by the writer and the checksum pass.
uint32_t get_data_hash(const void* data, unsigned size);

// The data package "data.mv2": every asset of the game in one file.
//
// Layout, all integers 32-bit little-endian:
//   header   magic 0x89ABCDEF, entry count N, checksum (sum of entry CRCs)
//   table    N records of 72 bytes: name (64 bytes, NUL-padded), offset, size
//   contents the entries' bytes back to back, in table order
//
// A stateless singleton: each call opens, reads or writes and closes the file
// itself. Readers check every record against the bytes actually present and
// fail with an error line rather than use anything they did not read.
class PackageManager {
public:
    static PackageManager* getInstance();

    // Writes a new package at 'path' from the listed files, used unchanged as
    // entry names. Leaves whatever it wrote on disk when it fails.
    bool createPackage(std::vector<std::string> files, std::string path, bool overwrite);
    // A new malloc'd buffer with exactly the first entry named 'name' (no
    // terminating NUL), or null; its length goes to *size when size is set.
    void* load(std::string package, std::string name, unsigned* size);
    // The checksum stored in the header.
    bool getChecksum(std::string package, unsigned* out);
    // The checksum computed from the entries' contents.
    bool calculateChecksum(std::string package, unsigned* out);

private:
    PackageManager() = default;
    PackageManager(const PackageManager&) = delete;
    PackageManager& operator=(const PackageManager&) = delete;
};
