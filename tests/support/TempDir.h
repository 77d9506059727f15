#pragma once

#include <string>

// A fresh directory under /tmp, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    // Absolute path of a file inside.
    std::string file(const std::string& relative) const;
    // Writes a file (creating its folders) and returns its absolute path.
    std::string write(const std::string& relative, const std::string& contents) const;
    std::string read(const std::string& relative) const;

private:
    std::string root;
};

// Makes 'dir' the working directory until the guard ends.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();
    ScopedChdir(const ScopedChdir&) = delete;
    ScopedChdir& operator=(const ScopedChdir&) = delete;

private:
    std::string previous;
};
