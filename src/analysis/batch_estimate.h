#pragma once

#include "analysis/benettin.h"

#include <atomic>
#include <cstdint>
#include <span>

namespace quorvane::analysis {

// Estimates the exponent of each parameter set in `sets` into the estimate of the same index,
// on the calling thread. This is where a plane of values (quorvane map) makes its runs: a
// batch of neighbouring values, up to 16 of one row in column order, any number of them.
//
// The contract, which any faster form of this function keeps: estimates[k] is, field for field
// and bit for bit, what estimateLyapunov(attractor, sets[k], settings) returns, whatever the
// other sets of the batch are, also where their orbits leave the numbers, end early or run
// on. *stepsDone, if given, gains runSteps(settings) for each set in all by the time the
// function returns, added as the runs go. `sets` and `estimates` are the same size.
//
// Where the attractor's runs gain from vector lanes on this processor (lanesPay()), the sets
// run four at a time by estimateLyapunovInLanes(), which keeps the contract; otherwise one
// estimateLyapunov() after the other.
void estimateBatch(const AttractorChoice& attractor, std::span<const ParameterSet> sets,
    const BenettinSettings& settings, std::span<LyapunovEstimate> estimates,
    std::atomic<std::uint64_t>* stepsDone = nullptr);

} // namespace quorvane::analysis
