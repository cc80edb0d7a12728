#include "analysis/benettin_lanes.h"

#include "analysis/benettin_tracker.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quorvane::analysis {

namespace {

using headless::kLaneCount;
using headless::LaneCode;
using headless::LaneRun;

// Up to four sets in one lane run, their estimates into `estimates`.
//
// A headless run calls its tracker's observe() at every pump: the check that both orbits are
// numbers, then event() at the pumps nextEvent() names. The lane run makes the same check at
// every pump itself (on the same slots, the attractor's pumpState) and stops a run that fails
// it there; so the runs go on, all at once, from one tracker's event to the next one's, and at
// each stop every tracker whose event it is gets its run's variables, or its escape.
template <std::size_t Dim>
void estimateBatch(const AttractorChoice& attractor, std::span<const ParameterSet> sets,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone, LaneCode code,
    std::span<LyapunovEstimate> estimates)
{
    const std::uint64_t total = runSteps(settings);
    const std::size_t count = sets.size();
    std::array<WindowVars, kLaneCount> runs {};
    std::array<std::optional<BenettinTracker<Dim>>, kLaneCount> trackers;
    for (std::size_t i = 0; i < count; ++i) {
        // Both orbits with the set's parameters and no Delay, as estimateLyapunov's run has them.
        runs[i].set1 = runs[i].set2 = sets[i];
        runs[i].DelayCount = 0;
        trackers[i].emplace(attractor.state.view(), settings, stepsDone);
    }
    LaneRun lanes(attractor.laneSteps(), std::span(runs.data(), count), code);

    unsigned open = (1u << count) - 1; // bit i: set i's estimate is still being made
    const auto close = [&](std::size_t i) {
        open &= ~(1u << i);
        if (stepsDone != nullptr)
            stepsDone->fetch_add(trackers[i]->unreported(total), std::memory_order_relaxed);
        estimates[i] = trackers[i]->result();
    };
    const auto isOpen = [&open](std::size_t i) { return (open >> i & 1u) != 0; };

    // A headless run of `total` steps ends after the pump of its last step, whatever its
    // observer asks for later. An event at or before the step a run stands at never comes.
    while (open != 0 && lanes.step() < total) {
        std::uint64_t next = total;
        for (std::size_t i = 0; i < count; ++i)
            if (isOpen(i) && trackers[i]->nextEvent() > lanes.step())
                next = std::min(next, trackers[i]->nextEvent());
        lanes.advanceTo(next);
        for (std::size_t i = 0; i < count; ++i) {
            if (!isOpen(i))
                continue;
            BenettinTracker<Dim>& tracker = *trackers[i];
            if (!lanes.isGoing(i)) {
                tracker.escape(lanes.escapeStep(i), lanes.vars(i));
                close(i);
            } else if (tracker.nextEvent() == next && !tracker.event(next, lanes.vars(i))) {
                lanes.end(i);
                close(i);
            }
        }
    }
    for (std::size_t i = 0; i < count; ++i)
        if (isOpen(i))
            close(i);
}

} // namespace

std::vector<LyapunovEstimate> estimateLyapunovInLanes(const AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings,
    std::atomic<std::uint64_t>* stepsDone, LaneCode code)
{
    std::vector<LyapunovEstimate> estimates(sets.size());
    for (std::size_t first = 0; first < sets.size(); first += kLaneCount) {
        const std::size_t count = std::min(kLaneCount, sets.size() - first);
        const auto batch = sets.subspan(first, count);
        const auto into = std::span(estimates).subspan(first, count);
        if (attractor.laneSteps == nullptr) {
            for (std::size_t i = 0; i < count; ++i)
                into[i] = estimateLyapunov(attractor, batch[i], settings, stepsDone);
        } else if (attractor.state.count == 3) {
            estimateBatch<3>(attractor, batch, settings, stepsDone, code, into);
        } else {
            estimateBatch<2>(attractor, batch, settings, stepsDone, code, into);
        }
    }
    return estimates;
}

bool lanesPay(const AttractorChoice& attractor, LaneCode code)
{
    return attractor.lanesPay && attractor.laneSteps != nullptr && code == LaneCode::Avx2
        && headless::bestLaneCode() == LaneCode::Avx2;
}

} // namespace quorvane::analysis
