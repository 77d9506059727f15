#include "core/FileReader.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/Log.h"

namespace {

// Length of an open file, or -1 when it cannot be told or exceeds an int.
long measure(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    if (length < 0 || length > INT_MAX || std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return length;
}

} // namespace

void* FileReader::fileToBuffer(const std::string& path, unsigned* size)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        log_error("Failed to open %s", path.c_str());
        return nullptr;
    }
    const long length = measure(file);
    // One spare byte keeps malloc from returning null for an empty file.
    void* buffer = length < 0 ? nullptr : std::malloc(static_cast<size_t>(length) + 1);
    const bool complete =
        buffer != nullptr && std::fread(buffer, 1, static_cast<size_t>(length), file) == static_cast<size_t>(length);
    std::fclose(file);
    if (!complete) {
        log_error("Failed to read %s", path.c_str());
        std::free(buffer);
        return nullptr;
    }
    *size = static_cast<unsigned>(length);
    return buffer;
}

bool FileReader::file_exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

int FileReader::file_size(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return -1;
    const long length = measure(file);
    std::fclose(file);
    return static_cast<int>(length);
}

std::string FileReader::fileToString(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return "";
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}
