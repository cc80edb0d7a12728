// The program's own cost per step for each attractor, next to the floor: the bare arithmetic of
// the same step as a plain loop. Also the cost of one count of Delay.

#include "floor_cases.h"
#include "step_platforms.h"
#include "table_row.h"

#include "run/pacing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace quorvane::bench {
namespace {

constexpr long kSteps = 100'000; // steps per timed run
constexpr long kCheckSteps = 20'000; // steps compared plot by plot with the floor

FloorInput floorInput(const Letters& l, const Platform& platform)
{
    return {l, l, platform.metrics().scaleWidth, platform.metrics().scaleHeight};
}

// A run of the program's drawing routine, as its command starts it after the prompts, stopped
// after `steps` steps.
template <class P>
void runProgram(P& platform, void (*routine)(Form&), const Letters& l, long steps)
{
    Form form(platform);
    platform.form = &form;
    form.vars.set1 = form.vars.set2 = parameters(l);
    form.vars.DelayCount = 0;
    platform.stepsLeft = steps;
    routine(form);
}

// Every plot of the floor must be the program's plot, in the same order, to the bit.
template <class C> bool floorMatchesProgram(const C& c)
{
    RecordingPlatform program;
    runProgram(program, c.drawingRoutine, c.letters, kCheckSteps);

    std::vector<RecordingPlatform::Pair> floor;
    auto record = [&floor](float x, float y) { floor.push_back({x, y}); };
    c.floor(floorInput(c.letters, program), kCheckSteps, record);

    if (floor == program.plots)
        return true;
    std::size_t i = 0;
    while (i < floor.size() && i < program.plots.size() && floor[i] == program.plots[i])
        ++i;
    std::fprintf(stderr, "%s: the floor's plot %zu differs from the program's (%zu vs %zu plots)\n",
        c.name, i, floor.size(), program.plots.size());
    return false;
}

template <class C> void coreStep(benchmark::State& state, const C& c)
{
    SinkPlatform platform;
    for (auto _ : state)
        runProgram(platform, c.drawingRoutine, c.letters, kSteps);
    state.SetItemsProcessed(state.iterations() * kSteps);
}

template <class C> void floorStep(benchmark::State& state, const C& c)
{
    const SinkPlatform window; // only for its sizes
    FloorInput in = floorInput(c.letters, window);
    auto sink = [](float x, float y) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(in); // the loop may not fold the parameters in as constants
        c.floor(in, kSteps, sink);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

void delayCounts(benchmark::State& state)
{
    WindowVars vars;
    vars.DelayCount = static_cast<float>(state.range(0));
    for (auto _ : state)
        Delay(vars);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Remembers the median nanoseconds per item of every benchmark, by name.
class MedianReporter final : public benchmark::ConsoleReporter {
public:
    // Colour only on a terminal: the table's rows are read back from this output.
    MedianReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular)
    {
    }

    std::map<std::string, double> nsPerItem;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            const auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end() && rate->second.value > 0)
                nsPerItem[run.run_name.str()] = 1e9 / rate->second.value;
        }
    }
};

template <class C> void registerCase(const C& c, std::vector<std::string>& names)
{
    const std::string core = std::string("Core/") + c.name;
    const std::string floor = std::string("Floor/") + c.name;
    benchmark::RegisterBenchmark(core.c_str(), [&c](benchmark::State& s) { coreStep(s, c); });
    benchmark::RegisterBenchmark(floor.c_str(), [&c](benchmark::State& s) { floorStep(s, c); });
    names.push_back(c.name);
}

int run(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);

    bool floorsHold = true;
    std::vector<std::string> names;
    const auto each = [&](const auto& c) {
        floorsHold = floorMatchesProgram(c) && floorsHold;
        registerCase(c, names);
    };
    forEachCase(each);
    if (!floorsHold)
        return 1;
    benchmark::RegisterBenchmark("Delay", delayCounts)->Arg(50000);

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const std::string& name : names) {
        const auto core = reporter.nsPerItem.find("Core/" + name);
        const auto floor = reporter.nsPerItem.find("Floor/" + name);
        if (core == reporter.nsPerItem.end() || floor == reporter.nsPerItem.end())
            continue;
        const double ratio = core->second / floor->second;
        printRow("Core step, " + name,
            format("%.1f ns/step (floor %.1f), ratio %.2f", core->second, floor->second, ratio),
            "ratio <= 1.5", verdict(ratio <= 1.5));
    }
    if (const auto delay = reporter.nsPerItem.find("Delay/50000");
        delay != reporter.nsPerItem.end())
        printRow("Delay, one count", format("%.3f ns", delay->second), "-", "-");
    return 0;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char** argv) { return quorvane::bench::run(argc, argv); }
