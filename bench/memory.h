#pragma once

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace quorvane::bench {

// Resident and peak resident memory of this process, in KiB.
struct Memory {
    long rss = 0, hwm = 0;
};

inline Memory memoryNow()
{
    Memory m;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            m.rss = std::strtol(line.c_str() + 6, nullptr, 10);
        else if (line.rfind("VmHWM:", 0) == 0)
            m.hwm = std::strtol(line.c_str() + 6, nullptr, 10);
    }
    if (m.hwm == 0) { // no /proc: the peak from getrusage, also in KiB on Linux
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        m.hwm = m.rss = usage.ru_maxrss;
    }
    return m;
}

} // namespace quorvane::bench
