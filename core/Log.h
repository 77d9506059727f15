#pragma once

// The game's one log line format: a tag right-aligned in nine columns, the
// time since start in brackets, then the message. Everything goes to stdout;
// there is no log file and no level filter.
//
//    [INFO] [000:01:234] Starting application
//   [ERROR] [000:01:240] Failed to create package
// [WARNING] [000:01:250] Warning: Unable to set VSync! SDL Error: ...

#define MV_PRINTF_FORMAT(fmtIndex, argIndex) __attribute__((format(printf, fmtIndex, argIndex)))

void log_info(const char* format, ...) MV_PRINTF_FORMAT(1, 2);
void log_error(const char* format, ...) MV_PRINTF_FORMAT(1, 2);
void log_warning(const char* format, ...) MV_PRINTF_FORMAT(1, 2);
