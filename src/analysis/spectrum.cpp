#include "analysis/spectrum.h"

#include "analysis/parameter_sweep.h"
#include "analysis/spectrum_tracker.h"
#include "headless/headless_run.h"

#include <cmath>

namespace quorvane::analysis {

double kaplanYorke(std::span<const double> descending)
{
    double sum = 0;
    for (std::size_t j = 0; j < descending.size(); ++j) {
        const double next = descending[j];
        if (std::isnan(next))
            return next;
        if (sum + next < 0)
            return static_cast<double>(j) + sum / std::fabs(next);
        sum += next;
    }
    return static_cast<double>(descending.size());
}

SpectrumEstimate estimateSpectrum(const headless::AttractorChoice& attractor,
    const ParameterSet& parameters, const BenettinSettings& settings,
    std::atomic<std::uint64_t>* stepsDone)
{
    const std::uint64_t total = runSteps(settings);
    // Orbit 2 runs with orbit 1's parameters from the same start, as in the window; it takes no
    // part in the measurement.
    headless::HeadlessRun run({&attractor, parameters, parameters, total});
    return headless::visitAttractor(attractor.id, [&]<Attractor A>() {
        SpectrumTracker<A> tracker(settings, stepsDone);
        run.setObserver([&tracker](std::uint64_t step, WindowVars& vars) {
            return tracker.observe(step, vars);
        });
        run.run();
        if (stepsDone != nullptr)
            stepsDone->fetch_add(tracker.unreported(total), std::memory_order_relaxed);
        return tracker.result();
    });
}

std::vector<SpectrumEstimate> estimateSpectra(const headless::AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings, unsigned threads,
    headless::ProgressListener* progress)
{
    // Each measurement writes only its own result.
    std::vector<SpectrumEstimate> results(sets.size());
    measureEach(
        sets.size(), threads, progress, [&](std::size_t i, std::atomic<std::uint64_t>& stepsDone) {
            results[i] = estimateSpectrum(attractor, sets[i], settings, &stepsDone);
        });
    return results;
}

} // namespace quorvane::analysis
