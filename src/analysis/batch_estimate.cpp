#include "analysis/batch_estimate.h"

#include "analysis/benettin_lanes.h"

#include <algorithm>
#include <cassert>

namespace quorvane::analysis {

void estimateBatch(const AttractorChoice& attractor, std::span<const ParameterSet> sets,
    const BenettinSettings& settings, std::span<LyapunovEstimate> estimates,
    std::atomic<std::uint64_t>* stepsDone)
{
    assert(sets.size() == estimates.size());
    if (lanesPay(attractor)) {
        const std::vector<LyapunovEstimate> inLanes
            = estimateLyapunovInLanes(attractor, sets, settings, stepsDone);
        std::copy_n(inLanes.begin(), std::min(inLanes.size(), estimates.size()), estimates.begin());
        return;
    }
    for (std::size_t k = 0; k < sets.size() && k < estimates.size(); ++k)
        estimates[k] = estimateLyapunov(attractor, sets[k], settings, stepsDone);
}

} // namespace quorvane::analysis
