#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Helpers shared by the fuzz targets.

// Stops the run with 'what' on stderr when an expectation about a reader's
// result fails, so the fuzzer keeps the input like any crash.
void fuzz_require(bool condition, const char* what);

// The little-endian 32-bit number at 'bytes'.
uint32_t read_fuzz_u32(const uint8_t* bytes);

// Writes bytes to a file in the working directory, creating its folders.
void write_fuzz_file(const std::string& path, const uint8_t* data, size_t size);

// Packs the entries, in order, into data.mv2 in the working directory with
// the game's own package writer (each also lands there as a loose file).
void write_fuzz_package(const std::vector<std::pair<std::string, std::string>>& entries);
