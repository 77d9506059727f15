#include "core/Log.h"

#include <cstdarg>
#include <cstdio>

#include "core/Util.h"

namespace {

void log_line(const char* tag, const char* format, va_list args)
{
    std::printf("%9s [%s] ", tag, get_timestamp_string());
    std::vprintf(format, args);
    std::printf("\n");
}

} // namespace

void log_info(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    log_line("[INFO]", format, args);
    va_end(args);
}

void log_error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    log_line("[ERROR]", format, args);
    va_end(args);
}

void log_warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    log_line("[WARNING]", format, args);
    va_end(args);
}
