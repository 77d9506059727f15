#pragma once

#include <string>

// Captures what the code under test logs to stdout between construction and
// text(). One capture at a time.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Ends the capture (on first call) and returns everything logged.
    const std::string& text();
    // Number of lines containing 'needle'.
    int count(const std::string& needle);
    bool contains(const std::string& needle) { return count(needle) > 0; }

private:
    bool capturing = true;
    std::string captured;
};
