// quorvane lyapunov against the floor: one estimate's run of each attractor, two orbits a step
// like the window's run, next to the floor loop of the same steps; and a range of values
// measured on one thread and on two.
//
//   quorvane_lyapunov_bench steps     steps per second against the floor
//   quorvane_lyapunov_bench threads   a range on two threads against one
//   quorvane_lyapunov_bench spectrum  every exponent: steps per second against the floor

#include "floor_timing.h"
#include "headless_runs.h"
#include "table_row.h"
#include "two_threads.h"

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "analysis/spectrum.h"
#include "analysis/spectrum_tracker.h"
#include "headless/headless_run.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace quorvane::bench {
namespace {

constexpr long kSteps = 10'000'000; // steps per timed run, transient and companion's included
constexpr int kRounds = 3; // floor and estimate alternated, the fastest of each kept
constexpr double kMostRatio = 2.5;
constexpr long kRangeSteps = 4'100'001; // each value's run in the range: 4000000 measured
constexpr double kMostSpectrumRatio = 4; // for a flow: one step, one Jacobian product, QR

// The run's default transient and renormalisation, measuring the rest of kSteps.
analysis::BenettinSettings settings(long steps)
{
    analysis::BenettinSettings s;
    s.steps = static_cast<std::uint64_t>(steps) - s.transient - 1;
    return s;
}

// The same run without the observer that places, measures and pulls back the companion:
// what the estimate costs beyond the run itself.
double bareRunSeconds(const headless::AttractorChoice& attractor, const ParameterSet& p, long steps)
{
    headless::HeadlessRun<> run({&attractor, p, p, static_cast<std::uint64_t>(steps)});
    const double start = cpuSeconds();
    run.run();
    return cpuSeconds() - start;
}

int steps()
{
    forEachCase([&](const auto& c) {
        const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
        double floor = 1e300, estimate = 1e300, bare = 1e300;
        long ran = kSteps;
        analysis::LyapunovEstimate e;
        for (int round = 0; round < kRounds; ++round) {
            const double start = cpuSeconds();
            e = analysis::estimateLyapunov(attractor, parameters(c.letters), settings(kSteps));
            estimate = std::min(estimate, cpuSeconds() - start);
            // A run that ends early is held against as many steps of the floor.
            if (e.outcome != analysis::LyapunovEstimate::Outcome::Measured)
                ran = static_cast<long>(e.step);
            floor = std::min(floor, floorSeconds(c, ran, 0, 0));
            bare = std::min(bare, bareRunSeconds(attractor, parameters(c.letters), ran));
        }
        const double ns = estimate / static_cast<double>(ran) * 1e9;
        const double floorNs = floor / static_cast<double>(ran) * 1e9;
        const double bareNs = bare / static_cast<double>(ran) * 1e9;
        const double ratio = estimate / floor;
        printRow(format("Lyapunov step, %s", c.name),
            format("%.1f ns/step (floor %.1f ns, run alone %.1f ns), ratio %.2f%s", ns, floorNs,
                bareNs, ratio,
                ran < kSteps ? format(", %ld steps: no exponent past them", ran).c_str() : ""),
            format("ratio <= %.1f", kMostRatio), verdict(ratio <= kMostRatio));
    });
    return 0;
}

// estimateSpectrum() with the tangent vectors carried by the baseline code, whatever the
// processor has.
analysis::SpectrumEstimate baselineSpectrum(const headless::AttractorChoice& attractor,
    const ParameterSet& p, const analysis::BenettinSettings& s)
{
    headless::HeadlessRun<> run({&attractor, p, p, analysis::runSteps(s)});
    return headless::visitAttractor(attractor.id, [&]<Attractor A>() {
        analysis::SpectrumTracker<A> tracker(s, nullptr, analysis::TangentCode::Baseline);
        run.setObserver(
            [&](std::uint64_t step, WindowVars& vars) { return tracker.observe(step, vars); });
        run.run();
        return tracker.result();
    });
}

// Every exponent, the whole of `quorvane lyapunov NAME --spectrum` with its defaults, against
// the floor of as many steps, as steps() times the largest exponent alone.
int spectrum()
{
    forEachCase([&](const auto& c) {
        const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
        double floor = 1e300, estimate = 1e300;
        long ran = kSteps;
        for (int round = 0; round < kRounds; ++round) {
            const double start = cpuSeconds();
            const analysis::SpectrumEstimate e
                = analysis::estimateSpectrum(attractor, parameters(c.letters), settings(kSteps));
            estimate = std::min(estimate, cpuSeconds() - start);
            if (!e.hasExponents())
                ran = static_cast<long>(e.step);
            floor = std::min(floor, floorSeconds(c, ran, 0, 0));
        }
        const double ns = estimate / static_cast<double>(ran) * 1e9;
        const double floorNs = floor / static_cast<double>(ran) * 1e9;
        const double ratio = estimate / floor;
        const bool flow = attractor.isFlow();
        printRow(format("Spectrum step, %s", c.name),
            format("%.1f ns/step (floor %.1f ns), ratio %.2f%s", ns, floorNs, ratio,
                ran < kSteps ? format(", %ld steps: no exponents past them", ran).c_str() : ""),
            flow ? format("ratio <= %.0f", kMostSpectrumRatio) : std::string("-"),
            flow ? verdict(ratio <= kMostSpectrumRatio) : std::string("-"));
    });
    // The flows once more in the baseline x86-64 code, as a processor without AVX2 runs them.
    const auto baseline = [&](const auto& c) {
        const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
        double floor = 1e300, estimate = 1e300;
        for (int round = 0; round < kRounds; ++round) {
            const double start = cpuSeconds();
            baselineSpectrum(attractor, parameters(c.letters), settings(kSteps));
            estimate = std::min(estimate, cpuSeconds() - start);
            floor = std::min(floor, floorSeconds(c, kSteps, 0, 0));
        }
        const double ratio = estimate / floor;
        printRow(format("Spectrum step, %s, baseline x86-64 code", c.name),
            format("%.1f ns/step (floor %.1f ns), ratio %.2f",
                estimate / static_cast<double>(kSteps) * 1e9,
                floor / static_cast<double>(kSteps) * 1e9, ratio),
            "-", "-");
    };
    baseline(kLorenz);
    baseline(kRossler);
    return 0;
}

// Wall time of estimateAll over `sets` on `threads` threads.
double rangeSeconds(const std::vector<ParameterSet>& sets, unsigned threads)
{
    const auto start = std::chrono::steady_clock::now();
    const auto estimates
        = analysis::estimateAll(choiceOf(Lorenz2), sets, settings(kRangeSteps), threads, nullptr);
    benchmark::DoNotOptimize(estimates.data());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int threads()
{
    // Lorenz's Rayleigh number from 20 to 55: ordered and chaotic values, as a range has them.
    const analysis::Sweep sweep {Param::b, 20, 55, 8};
    std::vector<ParameterSet> sets;
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        sets.push_back(sweep.parameters(parameters(kLorenz.letters), i));
    printTwoThreadsAgainstOne(
        format("Lyapunov range, lorenz --vary b=20:55:8 (%ld steps each), --threads 2 against 1",
            kRangeSteps),
        kRounds, [&](unsigned threads) { return rangeSeconds(sets, threads); });
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "steps") == 0)
        return quorvane::bench::steps();
    if (argc == 2 && std::strcmp(argv[1], "threads") == 0)
        return quorvane::bench::threads();
    if (argc == 2 && std::strcmp(argv[1], "spectrum") == 0)
        return quorvane::bench::spectrum();
    std::fprintf(stderr, "usage: %s steps | threads | spectrum\n", argv[0]);
    return 2;
}
