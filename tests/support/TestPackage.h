#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "support/TempDir.h"

// A data.mv2 built from the given entries in a fresh directory, which is the
// working directory while the object lives: code under test that loads from
// "data.mv2" reads exactly these entries.
class TestPackage {
public:
    explicit TestPackage(const std::map<std::string, std::string>& entries);
    ~TestPackage();
    TestPackage(const TestPackage&) = delete;
    TestPackage& operator=(const TestPackage&) = delete;

    bool ok() const { return built; }
    const TempDir& dir() const { return temp; }

private:
    TempDir temp;
    ScopedChdir* chdirGuard = nullptr;
    bool built = false;
};

// The bytes of a file on disk.
std::string readFileBytes(const std::string& path);

// The little-endian 32-bit number at 'offset' of a byte string.
uint32_t u32At(const std::string& bytes, size_t offset);
