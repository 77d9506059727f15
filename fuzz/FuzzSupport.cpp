#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/PackageManager.h"

void fuzz_require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz expectation failed: %s\n", what);
    std::abort();
}

uint32_t read_fuzz_u32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void write_fuzz_file(const std::string& path, const uint8_t* data, size_t size)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder);
    FILE* file = std::fopen(path.c_str(), "wb");
    fuzz_require(file != nullptr, "the scratch file can be written");
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    fuzz_require(written, "the scratch file is written whole");
}

void write_fuzz_package(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::vector<std::string> names;
    for (const auto& [name, contents] : entries) {
        write_fuzz_file(name, reinterpret_cast<const uint8_t*>(contents.data()), contents.size());
        names.push_back(name);
    }
    fuzz_require(PackageManager::getInstance()->createPackage(names, "data.mv2", true),
                 "the scratch package can be built");
}
