#pragma once

// Two threads against one, as the benchmarks of the commands that make many runs (a range, a
// plane) measure it.

#include "table_row.h"

#include <algorithm>
#include <string>

namespace quorvane::bench {

// Prints the row of `figure`: the fastest of `rounds` calls of seconds(1) and of seconds(2),
// the wall seconds of the same work on one thread and on two, taken in turn so that the other
// work of a shared machine reaches both alike; the target is 1.8 times as fast.
template <class Seconds>
void printTwoThreadsAgainstOne(const std::string& figure, int rounds, Seconds seconds)
{
    double one = 1e300, two = 1e300;
    for (int round = 0; round < rounds; ++round) {
        one = std::min(one, seconds(1u));
        two = std::min(two, seconds(2u));
    }
    const double speedup = one / two;
    printRow(figure, format("%.3f s against %.3f s wall, %.2fx as fast", two, one, speedup),
        ">= 1.8x", verdict(speedup >= 1.8));
}

} // namespace quorvane::bench
