#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace quorvane::analysis {

// Runs `work` in a child process whose address space is held to what it has mapped and 24 MiB
// more: room for two threads' stacks at most, not for 64, so a system that refuses threads is
// what the work meets. `work` returns whether its results were right; the test fails when not.
template <class Work> void expectRightWhenThreadsAreRefused(Work work)
{
    const auto refused = [&] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit {};
        if (pages == 0 || getrlimit(RLIMIT_AS, &limit) != 0)
            std::_Exit(3);
        const rlim_t mapped
            = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, mapped + (24u << 20));
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            std::_Exit(3);
        std::_Exit(work() ? 0 : 1);
    };
    EXPECT_EXIT(refused(), ::testing::ExitedWithCode(0), "");
}

} // namespace quorvane::analysis
