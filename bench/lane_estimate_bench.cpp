// Benettin's estimate in lanes against the same estimates one at a time: steps per second on one
// thread, for the five attractors whose step is plain arithmetic, with the settings a map of the
// parameter plane uses (transient 10,000, 100,000 steps measured, renormalised every 10).
//
// 64 sets of each attractor, its command's defaults with a 1, 1.0001, ... 1.0063 times the
// default, as neighbouring values of a map would be: sixteen lane runs of four. Seven rounds, each
// variant once a round in turn; the fastest CPU time of each is kept, the least disturbed by
// the other work on a shared machine, and the range of the rounds' own ratios is shown. Before
// timing, every lane estimate is checked against its estimate alone, bit for bit. The variants:
//
//   alone       estimateLyapunov of each set, one after the other
//   lanes       estimateLyapunovInLanes in AVX2 lanes
//   scalar      the same in the lane run's scalar code
//   straight    the lane runs alone, advanced to their last step at once: the step itself
//   handbacks   the lane runs handed back every 10 steps, with nothing done there
//
// so that the lane estimate's time splits into the step, the hand-backs and the trackers' work
// at them. A step is one step of one run (both its orbits).

#include "cpu_time.h"
#include "floor_cases.h"
#include "headless_runs.h"
#include "table_row.h"

#include "analysis/benettin_lanes.h"
#include "headless/lane_run.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace quorvane::bench {
namespace {

using headless::LaneCode;

constexpr std::size_t kSets = 64;
constexpr int kRounds = 7;
constexpr double kTarget = 2.5;
const analysis::BenettinSettings kSettings {10'000, 100'000, 10};

std::vector<ParameterSet> neighbours(const Letters& l)
{
    std::vector<ParameterSet> sets;
    for (std::size_t i = 0; i < kSets; ++i) {
        ParameterSet p = parameters(l);
        p.a *= 1 + 1e-4 * static_cast<double>(i);
        sets.push_back(p);
    }
    return sets;
}

struct Seconds {
    double cpu = 0;
    double wall = 0;
};

template <class F> Seconds timed(F&& f)
{
    const auto wall = std::chrono::steady_clock::now();
    const double cpu = cpuSeconds();
    f();
    return {cpuSeconds() - cpu,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count()};
}

double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b)
        || (std::isnan(a) && std::isnan(b));
}

bool same(const analysis::LyapunovEstimate& a, const analysis::LyapunovEstimate& b)
{
    return a.outcome == b.outcome && sameBits(a.perStep, b.perStep)
        && sameBits(a.standardError, b.standardError) && a.step == b.step
        && sameBits(a.jump, b.jump) && a.period == b.period
        && a.companionEscaped == b.companionEscaped
        && sameBits(a.largestCoordinate, b.largestCoordinate) && a.measuredSteps == b.measuredSteps
        && a.periodsLeftOut == b.periodsLeftOut && a.firstLeftOut == b.firstLeftOut;
}

// The sets' lane runs without trackers, advanced `every` steps at a time to the last step.
void laneRunsOnly(const headless::AttractorChoice& attractor, const std::vector<ParameterSet>& sets,
    std::uint64_t every)
{
    const std::uint64_t total = analysis::runSteps(kSettings);
    for (std::size_t first = 0; first < sets.size(); first += headless::kLaneCount) {
        std::array<WindowVars, headless::kLaneCount> runs {};
        for (std::size_t i = 0; i < headless::kLaneCount; ++i)
            runs[i].set1 = runs[i].set2 = sets[first + i];
        headless::LaneRun lanes(attractor.laneSteps(), runs, LaneCode::Avx2);
        for (std::uint64_t step = std::min(every, total); lanes.step() < total;
             step = std::min(step + every, total)) {
            lanes.advanceTo(step);
            for (std::size_t i = 0; i < headless::kLaneCount; ++i)
                benchmark::DoNotOptimize(std::as_const(lanes.vars(i)).orbit2.x);
        }
    }
}

template <class C> void measure(const C& c)
{
    const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
    const std::vector<ParameterSet> sets = neighbours(c.letters);

    std::vector<analysis::LyapunovEstimate> alone;
    for (const ParameterSet& p : sets)
        alone.push_back(analysis::estimateLyapunov(attractor, p, kSettings));
    for (const LaneCode code : {LaneCode::Avx2, LaneCode::Scalar}) {
        const auto lanes
            = analysis::estimateLyapunovInLanes(attractor, sets, kSettings, nullptr, code);
        for (std::size_t i = 0; i < sets.size(); ++i)
            if (!same(lanes[i], alone[i])) {
                std::fprintf(
                    stderr, "%s: set %zu differs in lanes from its estimate alone\n", c.name, i);
                std::exit(1);
            }
    }

    std::vector<double> aloneCpu, lanesCpu, lanesWall, scalarCpu, straightCpu, handbackCpu;
    for (int round = 0; round < kRounds; ++round) {
        aloneCpu.push_back(timed([&] {
            for (const ParameterSet& p : sets)
                benchmark::DoNotOptimize(analysis::estimateLyapunov(attractor, p, kSettings));
        }).cpu);
        const Seconds lanes = timed([&] {
            benchmark::DoNotOptimize(
                analysis::estimateLyapunovInLanes(attractor, sets, kSettings).data());
        });
        lanesCpu.push_back(lanes.cpu);
        lanesWall.push_back(lanes.wall);
        scalarCpu.push_back(timed([&] {
            benchmark::DoNotOptimize(analysis::estimateLyapunovInLanes(
                attractor, sets, kSettings, nullptr, LaneCode::Scalar)
                                         .data());
        }).cpu);
        straightCpu.push_back(
            timed([&] { laneRunsOnly(attractor, sets, analysis::runSteps(kSettings)); }).cpu);
        handbackCpu.push_back(timed([&] { laneRunsOnly(attractor, sets, kSettings.renorm); }).cpu);
    }

    const double steps = static_cast<double>(kSets * analysis::runSteps(kSettings));
    const auto rate
        = [steps](const std::vector<double>& seconds) { return steps / fastest(seconds) / 1e6; };
    const double ratio = fastest(aloneCpu) / fastest(lanesCpu);
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round)
        ratios.push_back(
            aloneCpu[static_cast<std::size_t>(round)] / lanesCpu[static_cast<std::size_t>(round)]);
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    const double lane = fastest(lanesCpu), straight = fastest(straightCpu),
                 handback = fastest(handbackCpu);
    printRow(format("Lyapunov in lanes, %s", c.name),
        format("%.0f M steps/s (one at a time %.0f, lane run's scalar code %.0f), ratio %.2f "
               "(%.2f to %.2f); %.3f s CPU, %.3f s wall",
            rate(lanesCpu), rate(aloneCpu), rate(scalarCpu), ratio, *low, *high, lane,
            fastest(lanesWall)),
        format("ratio >= %.1f", kTarget), verdict(ratio >= kTarget));
    std::printf("%s: of the lane estimate's %.3f s, the step %.0f %%, hand-backs every %llu "
                "steps %.0f %%, the trackers %.0f %% (lane runs alone %.0f, handed back %.0f M "
                "steps/s)\n",
        c.name, lane, 100 * straight / lane, static_cast<unsigned long long>(kSettings.renorm),
        100 * (handback - straight) / lane, 100 * (lane - handback) / lane, rate(straightCpu),
        rate(handbackCpu));
}

int run()
{
    if (headless::bestLaneCode() != LaneCode::Avx2) {
        std::fprintf(stderr, "this processor has no AVX2: nothing to measure\n");
        return 0;
    }
    measure(kLorenz);
    measure(kRossler);
    measure(kHopalong);
    measure(kEquation1);
    measure(kEquation8);
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main() { return quorvane::bench::run(); }
