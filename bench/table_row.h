#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace quorvane::bench {

// printf into a std::string.
inline std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
inline std::string format(const char* fmt, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

// One line of the table that `make bench` prints, tab-separated after a ROW marker:
// the figure, what was measured, the target, and whether the target was met.
inline void printRow(const std::string& figure, const std::string& measured,
    const std::string& target, const std::string& result)
{
    std::printf(
        "ROW\t%s\t%s\t%s\t%s\n", figure.c_str(), measured.c_str(), target.c_str(), result.c_str());
    std::fflush(stdout);
}

inline std::string verdict(bool met) { return met ? "met" : "MISSED"; }

} // namespace quorvane::bench
