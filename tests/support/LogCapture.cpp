#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <sstream>

LogCapture::LogCapture()
{
    testing::internal::CaptureStdout();
}

LogCapture::~LogCapture()
{
    text();
}

const std::string& LogCapture::text()
{
    if (capturing) {
        captured = testing::internal::GetCapturedStdout();
        capturing = false;
    }
    return captured;
}

int LogCapture::count(const std::string& needle)
{
    std::istringstream lines(text());
    int matches = 0;
    for (std::string line; std::getline(lines, line);)
        matches += line.find(needle) != std::string::npos ? 1 : 0;
    return matches;
}
