#pragma once

#include <string>

// Whole-file access to the loose asset files on disk. Only the package
// writer uses it; the running game reads everything through the package.
class FileReader {
public:
    // The whole file in a new malloc'd buffer (no terminating NUL) that the
    // caller frees; its length goes to *size. Null, with an error line, when
    // the file cannot be opened or read whole; *size is then untouched.
    static void* fileToBuffer(const std::string& path, unsigned* size);
    static bool file_exists(const std::string& path);
    // The file's length in bytes, or -1 when it cannot be opened or measured.
    static int file_size(const std::string& path);
    // The whole file as a string; "" when it cannot be opened.
    static std::string fileToString(const std::string& path);
};
