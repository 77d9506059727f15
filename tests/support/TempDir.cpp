#include "support/TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    char pattern[] = "/tmp/morvelund-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::file(const std::string& relative) const
{
    return root + "/" + relative;
}

std::string TempDir::write(const std::string& relative, const std::string& contents) const
{
    const std::string path = file(relative);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << contents;
    return path;
}

std::string TempDir::read(const std::string& relative) const
{
    std::ifstream in(file(relative), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

ScopedChdir::ScopedChdir(const std::string& dir) : previous(fs::current_path().string())
{
    fs::current_path(dir);
}

ScopedChdir::~ScopedChdir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
}
