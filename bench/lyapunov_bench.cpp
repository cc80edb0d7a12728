// quorvane lyapunov against the floor: one estimate's run of each attractor, two orbits a step
// like the window's run, next to the floor loop of the same steps; and a range of values
// measured on one thread and on two.
//
//   quorvane_lyapunov_bench steps     steps per second against the floor
//   quorvane_lyapunov_bench threads   a range on two threads against one

#include "floor_timing.h"
#include "headless_runs.h"
#include "table_row.h"

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
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
    double one = 1e300, two = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        one = std::min(one, rangeSeconds(sets, 1));
        two = std::min(two, rangeSeconds(sets, 2));
    }
    const double speedup = one / two;
    printRow(format("Lyapunov range, lorenz --vary b=20:55:8 (%ld steps each), --threads 2 "
                    "against 1",
                 kRangeSteps),
        format("%.3f s against %.3f s wall, %.2fx as fast", two, one, speedup), ">= 1.8x",
        verdict(speedup >= 1.8));
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
    std::fprintf(stderr, "usage: %s steps | threads\n", argv[0]);
    return 2;
}
