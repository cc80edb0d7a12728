// quorvane map against lyapunov: a plane's runs on one thread against the same values'
// estimates made one by one, as `lyapunov` makes them; and a plane on two threads against one.
// Where an attractor's runs gain from vector lanes the map makes them four at a time, and its
// target is 2.5 times lyapunov's steps per second; elsewhere the map may add no cost of its own.
// Each figure is the fastest of many short rounds of both, taken in turn, so that the other
// work of a shared machine reaches both alike.
//
//   quorvane_map_bench steps     steps per second per thread, map against lyapunov
//   quorvane_map_bench threads   a plane on two threads against one

#include "floor_cases.h"
#include "headless_runs.h"
#include "table_row.h"
#include "two_threads.h"

#include "analysis/benettin_lanes.h"
#include "analysis/parameter_plane.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace quorvane::bench {
namespace {

constexpr int kRounds = 15; // map and one by one alternated, the fastest of each kept
const analysis::BenettinSettings kMapSettings {10'000, 100'000, 10}; // the map's defaults

// The range of a parameter around its default, 2 % to either side (0.02 about a default of 0).
analysis::Sweep around(Param letter, double value, std::uint64_t count)
{
    const double half = value == 0 ? 0.02 : std::fabs(value) * 0.02;
    return {letter, value - half, value + half, count};
}

// CPU seconds of estimatePlane over the whole plane on `threads` threads.
double planeSeconds(const headless::AttractorChoice& attractor, const ParameterSet& base,
    const analysis::ParameterPlane& plane, unsigned threads)
{
    double sum = 0;
    const double start = cpuSeconds();
    analysis::estimatePlane(attractor, base, plane, {}, kMapSettings, threads, nullptr,
        [&](std::uint64_t, std::span<const analysis::LyapunovEstimate> row) {
            for (const analysis::LyapunovEstimate& e : row)
                sum += e.perStep;
        });
    benchmark::DoNotOptimize(sum);
    return cpuSeconds() - start;
}

// CPU seconds of the same values' estimates, one estimateLyapunov() after the other.
double oneByOneSeconds(const headless::AttractorChoice& attractor, const ParameterSet& base,
    const analysis::ParameterPlane& plane)
{
    double sum = 0;
    const double start = cpuSeconds();
    for (std::uint64_t j = 0; j < plane.y.count; ++j)
        for (std::uint64_t i = 0; i < plane.x.count; ++i)
            sum += analysis::estimateLyapunov(attractor, plane.parameters(base, i, j), kMapSettings)
                       .perStep;
    benchmark::DoNotOptimize(sum);
    return cpuSeconds() - start;
}

int steps()
{
    forEachCase([&](const auto& c) {
        const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
        const ParameterSet base = parameters(c.letters);
        const analysis::ParameterPlane plane {
            around(Param::a, base.a, 16), around(Param::b, base.b, 2)};
        double map = 1e300, oneByOne = 1e300;
        for (int round = 0; round < kRounds; ++round) {
            map = std::min(map, planeSeconds(attractor, base, plane, 1));
            oneByOne = std::min(oneByOne, oneByOneSeconds(attractor, base, plane));
        }
        const double steps = 32.0 * static_cast<double>(analysis::runSteps(kMapSettings));
        const double ratio = oneByOne / map; // the map's steps per second over lyapunov's
        const bool lanes = analysis::lanesPay(attractor);
        const double target = lanes ? 2.5 : 0.95;
        printRow(
            format("Map step per thread, %s, 16x2 values%s", c.name, lanes ? ", in lanes" : ""),
            format("%.1f ns/step (lyapunov's estimates one by one %.1f ns), %.3fx lyapunov's "
                   "steps/s",
                map / steps * 1e9, oneByOne / steps * 1e9, ratio),
            format(">= %.2fx", target), verdict(ratio >= target));
    });
    return 0;
}

// Wall seconds of a plane of Lorenz on `threads` threads.
double wallSeconds(const analysis::ParameterPlane& plane, unsigned threads)
{
    const auto start = std::chrono::steady_clock::now();
    double sum = 0;
    analysis::estimatePlane(choiceOf(Lorenz2), parameters(kLorenz.letters), plane, {}, kMapSettings,
        threads, nullptr, [&](std::uint64_t, std::span<const analysis::LyapunovEstimate> row) {
            sum += row.front().perStep;
        });
    benchmark::DoNotOptimize(sum);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int threads()
{
    // Rayleigh numbers from 20 to 55 and Prandtl numbers from 8 to 12: order and chaos, as a
    // map has them. 128 batches of 16 values, about 2 s on one thread: with only a few
    // batches, as in a plane of 16x8, one batch more on one thread than on the other, or a
    // moment of the shared machine's other work, is a large part of the whole.
    const analysis::ParameterPlane plane {{Param::b, 20, 55, 64}, {Param::a, 8, 12, 32}};
    constexpr int kThreadRounds = 5;
    printTwoThreadsAgainstOne(
        "Map, lorenz --x b=20:55 --y a=8:12 --size 64x32, --threads 2 against 1", kThreadRounds,
        [&](unsigned threads) { return wallSeconds(plane, threads); });
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
