#pragma once

#include "analysis/benettin.h"
#include "headless/progress_listener.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace quorvane::analysis {

// COUNT evenly spaced values of one of orbit 1's parameters, FROM first and TO last: the
// values of `--vary LETTER=FROM:TO:COUNT`. One value, FROM itself, when COUNT is 1.
struct Sweep {
    Param letter = Param::a;
    double from = 0;
    double to = 0;
    std::uint64_t count = 0;

    // Value `index`, 0 to count - 1. Computed so that it never overflows between two finite
    // ends, and the last is TO exactly.
    double value(std::uint64_t index) const;
    // `base` with the letter set to value `index`.
    ParameterSet parameters(const ParameterSet& base, std::uint64_t index) const;
};

// Calls measure(i, stepsDone) once for each i from 0 to count - 1, on up to `threads` threads
// (never more than count), each call on whichever thread takes it; measure adds the steps it
// runs to stepsDone. The calling thread meanwhile keeps `progress` (if any) up to date with
// stepsDone, and returns once every call has returned. A measurement whose result depends only
// on i is the same on any number of threads.
void measureEach(std::size_t count, unsigned threads, headless::ProgressListener* progress,
    const std::function<void(std::size_t index, std::atomic<std::uint64_t>& stepsDone)>& measure);

// Estimates the exponent for each parameter set, on up to `threads` threads (never more than
// there are sets), each set in its own run. The results come in the order of the sets and do
// not depend on the number of threads: each is the same computation on whichever thread makes
// it. The calling thread meanwhile keeps `progress` (if any) up to date with the steps of all
// runs together.
std::vector<LyapunovEstimate> estimateAll(const AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings, unsigned threads,
    headless::ProgressListener* progress);

} // namespace quorvane::analysis
