// Four runs of an attractor advanced at once in a lane run, against the same four runs one
// after the other as the headless commands run them today: steps per second on one thread, for
// the attractors whose step is plain arithmetic.
//
//   HeadlessRuns/NAME   four HeadlessRuns, each with an observer that checks at every pump
//                       that the state is still numbers, as a Lyapunov estimate's does
//   LaneScalar/NAME     a lane run, one run after the other with the double step
//   LaneAvx2/NAME       a lane run in AVX2 lanes
//   LaneAvx2Pumps/NAME  the same, handed back to its caller every 10 steps, as an estimate
//                       that renormalises every 10 steps would have it
//
// A step is one step of one run (both its orbits); each figure is steps per second.

#include "floor_cases.h"
#include "headless_runs.h"
#include "table_row.h"

#include "headless/lane_run.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::bench {
namespace {

using headless::kLaneCount;

constexpr std::uint64_t kSteps = 250'000; // steps of each run per timed round
constexpr std::uint64_t kPumpEvery = 10;
constexpr double kTarget = 2.5;

// Four runs from the command's defaults, each with its own a, all near the same attractor.
std::array<WindowVars, kLaneCount> fourRuns(const Letters& l)
{
    std::array<WindowVars, kLaneCount> runs {};
    for (std::size_t i = 0; i < kLaneCount; ++i) {
        ParameterSet p = parameters(l);
        p.a *= 1 + 1e-4 * static_cast<double>(i);
        runs[i].set1 = runs[i].set2 = p;
    }
    return runs;
}

template <class C> void headlessRuns(benchmark::State& state, const C& c)
{
    const headless::AttractorChoice& attractor = choiceOf(c.drawingRoutine);
    const auto runs = fourRuns(c.letters);
    const auto pumpState = attractor.state.view();
    for (auto _ : state)
        for (const WindowVars& vars : runs) {
            headless::HeadlessRun run({&attractor, vars.set1, vars.set2, kSteps});
            run.setObserver([pumpState](std::uint64_t, WindowVars& v) {
                double zero = 0;
                for (double Orbit::*slot : pumpState)
                    zero += (v.orbit1.*slot - v.orbit1.*slot) + (v.orbit2.*slot - v.orbit2.*slot);
                return zero == 0;
            });
            benchmark::DoNotOptimize(run.run());
        }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kLaneCount * kSteps));
}

// The four runs' orbits after kSteps steps, one run after the other with the double step: what
// every timed lane run must end with, bit for bit.
template <Attractor A> std::array<StepVars<double>, kLaneCount> reference(const Letters& letters)
{
    const auto runs = fourRuns(letters);
    headless::LaneRun lanes(headless::laneSteps<A>(), runs, headless::LaneCode::Scalar);
    lanes.advanceTo(kSteps);
    std::array<StepVars<double>, kLaneCount> end {};
    for (std::size_t i = 0; i < kLaneCount; ++i)
        end[i] = lanes.vars(i);
    return end;
}

bool sameOrbits(const StepVars<double>& a, const StepVars<double>& b)
{
    return std::memcmp(&a.orbit1, &b.orbit1, sizeof a.orbit1) == 0
        && std::memcmp(&a.orbit2, &b.orbit2, sizeof a.orbit2) == 0;
}

template <Attractor A>
void laneRun(
    benchmark::State& state, const Letters& letters, headless::LaneCode code, std::uint64_t every)
{
    if (code == headless::LaneCode::Avx2 && headless::bestLaneCode() != code) {
        state.SkipWithError("this processor has no AVX2");
        return;
    }
    const auto runs = fourRuns(letters);
    const auto expected = reference<A>(letters);
    for (auto _ : state) {
        headless::LaneRun lanes(headless::laneSteps<A>(), runs, code);
        for (std::uint64_t step = every; step <= kSteps; step += every) {
            lanes.advanceTo(step);
            // What a caller does at its pump, at the least: it reads each run's state. Only
            // through a const reference: GCC 12 compiles Google Benchmark's DoNotOptimize of a
            // double that may be written ("+m,r") into a store of a stale stack slot into it,
            // which overwrote orbit 1's x in every lane here and sent the flows out of the
            // numbers.
            for (std::size_t i = 0; i < kLaneCount; ++i)
                benchmark::DoNotOptimize(std::as_const(lanes.vars(i)).orbit1.x);
        }
        for (std::size_t i = 0; i < kLaneCount; ++i)
            if (lanes.escapeStep(i) != 0 || !sameOrbits(lanes.vars(i), expected[i])) {
                state.SkipWithError("a lane's numbers differ from its run's one at a time");
                break;
            }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kLaneCount * kSteps));
}

// Remembers the median steps per second of every benchmark, by name.
class RateReporter final : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rate;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            const auto r = run.counters.find("items_per_second");
            if (r != run.counters.end())
                rate[run.run_name.str()] = r->second.value;
        }
    }
};

template <Attractor A, class C> void registerCase(const C& c, std::vector<std::string>& names)
{
    using headless::LaneCode;
    const std::string n = c.name;
    benchmark::RegisterBenchmark(
        ("HeadlessRuns/" + n).c_str(), [&c](benchmark::State& s) { headlessRuns(s, c); });
    benchmark::RegisterBenchmark(("LaneScalar/" + n).c_str(),
        [&c](benchmark::State& s) { laneRun<A>(s, c.letters, LaneCode::Scalar, kSteps); });
    benchmark::RegisterBenchmark(("LaneAvx2/" + n).c_str(),
        [&c](benchmark::State& s) { laneRun<A>(s, c.letters, LaneCode::Avx2, kSteps); });
    benchmark::RegisterBenchmark(("LaneAvx2Pumps/" + n).c_str(),
        [&c](benchmark::State& s) { laneRun<A>(s, c.letters, LaneCode::Avx2, kPumpEvery); });
    names.push_back(n);
}

int run(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> names;
    registerCase<Lorenz>(kLorenz, names);
    registerCase<Rossler>(kRossler, names);
    registerCase<Hopalong>(kHopalong, names);
    registerCase<Equation1>(kEquation1, names);
    registerCase<Equation8>(kEquation8, names);

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const std::string& name : names) {
        const double headless = reporter.rate["HeadlessRuns/" + name];
        const double scalar = reporter.rate["LaneScalar/" + name];
        const double lanes = reporter.rate["LaneAvx2/" + name];
        const double pumps = reporter.rate["LaneAvx2Pumps/" + name];
        if (headless <= 0 || lanes <= 0)
            continue;
        const double ratio = lanes / headless;
        printRow("Lane run, " + name,
            format("%.0f M steps/s (4 headless runs %.0f, lane run's scalar code %.0f, "
                   "back to the caller every %d steps %.0f), ratio %.2f",
                lanes / 1e6, headless / 1e6, scalar / 1e6, static_cast<int>(kPumpEvery),
                pumps / 1e6, ratio),
            format("ratio >= %.1f", kTarget), verdict(ratio >= kTarget));
    }
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv) { return quorvane::bench::run(argc, argv); }
