#include "analysis/benettin.h"

#include "analysis/benettin_tracker.h"
#include "headless/headless_run.h"

namespace quorvane::analysis {

namespace {

template <std::size_t Dim>
LyapunovEstimate estimate(const AttractorChoice& attractor, const ParameterSet& parameters,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
{
    const std::uint64_t total = runSteps(settings);
    BenettinTracker<Dim> tracker(attractor.state.view(), settings, stepsDone);
    headless::HeadlessRun run({&attractor, parameters, parameters, total});
    run.setObserver(
        [&tracker](std::uint64_t step, WindowVars& vars) { return tracker.observe(step, vars); });
    run.run();
    if (stepsDone != nullptr)
        stepsDone->fetch_add(tracker.unreported(total), std::memory_order_relaxed);
    return tracker.result();
}

} // namespace

std::uint64_t runSteps(const BenettinSettings& settings)
{
    return settings.transient + 1 + settings.steps;
}

LyapunovEstimate estimateLyapunov(const AttractorChoice& attractor, const ParameterSet& parameters,
    const BenettinSettings& settings, std::atomic<std::uint64_t>* stepsDone)
{
    if (attractor.state.count == 3)
        return estimate<3>(attractor, parameters, settings, stepsDone);
    return estimate<2>(attractor, parameters, settings, stepsDone);
}

} // namespace quorvane::analysis
