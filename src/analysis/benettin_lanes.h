#pragma once

#include "analysis/benettin.h"
#include "headless/lane_run.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvane::analysis {

// Benettin's estimate of many parameter sets of one attractor, four at a time in a lane run
// (headless/lane_run.h): each set's run and its companion advance in one lane, and a
// BenettinTracker of its own places, measures and pulls back the companion at the same pumps
// as the set's own run would.
//
// Returns one estimate for each of `sets`, in their order, each the very estimate that
// estimateLyapunov(attractor, sets[i], settings) returns: every field, bit for bit, whatever
// its outcome, and whatever the sets beside it in the lanes do. A run that ends early leaves
// its lane idle while the others go on. Adds to *stepsDone as estimateLyapunov does, if given:
// runSteps(settings) for every set in all, also for runs that ended early, each as soon as its
// run has ended. Safe to call from several threads at once: each call has its own lane runs.
//
// `code` chooses the lane run's code (see LaneRun); both give the same numbers. An attractor
// without lane steps is measured one set at a time by estimateLyapunov. No sets, no estimates.
std::vector<LyapunovEstimate> estimateLyapunovInLanes(const AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings,
    std::atomic<std::uint64_t>* stepsDone = nullptr,
    headless::LaneCode code = headless::bestLaneCode());

// Whether many sets of the attractor are measured faster by estimateLyapunovInLanes than one at
// a time by estimateLyapunov with lane code `code`: where the attractor's step gains from lanes
// (AttractorChoice::lanesPay) and the code is AVX2. The numbers are the same either way.
bool lanesPay(const AttractorChoice& attractor, headless::LaneCode code = headless::bestLaneCode());

} // namespace quorvane::analysis
