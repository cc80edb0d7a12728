#pragma once

#include <ctime>

namespace quorvane::bench {

// The CPU time this process has used, in seconds.
inline double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace quorvane::bench
