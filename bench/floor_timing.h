#pragma once

// The floor loop of an attractor, timed in CPU seconds: what the render and lyapunov benchmarks
// hold the program's own runs against.

#include "cpu_time.h"
#include "floor_cases.h"

#include <benchmark/benchmark.h>

namespace quorvane::bench {

// The floor loop of case `c` for `steps` steps, both orbits with the case's parameters, on a
// drawing area of those sizes in twips; each plotted pair is sunk as a plot would take it.
template <class C> double floorSeconds(const C& c, long steps, float scaleWidth, float scaleHeight)
{
    FloorInput in {c.letters, c.letters, scaleWidth, scaleHeight};
    auto sink = [](float x, float y) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    };
    benchmark::DoNotOptimize(in); // the loop may not fold the parameters in as constants
    const double start = cpuSeconds();
    c.floor(in, steps, sink);
    return cpuSeconds() - start;
}

} // namespace quorvane::bench
