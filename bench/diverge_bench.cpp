// quorvane diverge against quorvane render: the same run of each attractor, timed as render
// makes it (drawing into a 1600x1200 area) and as diverge makes it without --csv and --plot (no
// drawing area, the two orbits measured at every pump). Orbit 2's first parameter differs from
// orbit 1's by one part in 10^9, so the orbits part as a user would have them; both commands
// run the same parameters. Besides, the costliest case: two orbits that never part, so the
// growth fit takes a logarithm at every step.
//
//   quorvane_diverge_bench      steps per second of diverge against render

#include "floor_cases.h"
#include "headless_runs.h"
#include "table_row.h"

#include "analysis/divergence.h"
#include "headless/attractor_choice.h"
#include "headless/headless_run.h"

#include <algorithm>
#include <string>

namespace quorvane::bench {
namespace {

constexpr std::uint64_t kSteps = 10'000'000;
constexpr int kRounds = 3; // render and diverge alternated, the fastest of each kept

struct Diverged {
    double seconds = 0;
    std::uint64_t steps = 0; // fewer than set when an orbit left the numbers
    std::uint64_t parting = 0;
};

Diverged divergeRun(const headless::RunSetup& setup)
{
    headless::HeadlessRun<> run(setup);
    analysis::Divergence divergence(*setup.attractor, 24000, 18000, setup.steps);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    const double start = cpuSeconds();
    const std::uint64_t steps = run.run();
    return {cpuSeconds() - start, steps, divergence.partingStep()};
}

// Render times the steps diverge made, so that a run diverge ends early compares like for like.
bool compare(const char* name, headless::RunSetup setup)
{
    double render = 1e300, diverge = 1e300;
    Diverged d;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        d = divergeRun(setup);
        diverge = std::min(diverge, d.seconds);
        setup.steps = d.steps;
        const double r = renderSeconds(setup);
        ok = ok && r > 0;
        render = std::min(render, r);
    }
    const double steps = static_cast<double>(d.steps);
    const double ratio = render / diverge; // diverge's steps per second over render's
    std::string what = d.parting != 0
        ? format("parting at step %llu", static_cast<unsigned long long>(d.parting))
        : std::string("never parting");
    if (d.steps < kSteps)
        what += format(", an orbit leaving the numbers at step %llu",
            static_cast<unsigned long long>(d.steps));
    printRow(format("Diverge step, %s, %s", name, what.c_str()),
        format("%.1f ns/step, %.1f M steps/s (render %.1f ns, %.1f M steps/s), ratio %.2f",
            diverge / steps * 1e9, steps / diverge / 1e6, render / steps * 1e9,
            steps / render / 1e6, ratio),
        ">= 0.8 x render's steps/s", verdict(ratio >= 0.8));
    return ok;
}

int run()
{
    bool ok = true;
    forEachCase([&](const auto& c) {
        const ParameterSet set1 = parameters(c.letters);
        ParameterSet set2 = set1;
        set2.a *= 1 + 1e-9;
        ok = compare(c.name, {&choiceOf(c.drawingRoutine), set1, set2, kSteps}) && ok;
    });
    // A periodic Rossler orbit against one whose c is one unit in the last place larger: within
    // a pixel for all 10^7 steps, so every step adds a logarithm to the growth fit.
    ok = compare("Rossler c=2 against 2+ulp",
             {&choiceOf(ROSSLER), {0.2, 0.2, 2}, {0.2, 0.2, 2.0000000000000004}, kSteps})
        && ok;
    return ok ? 0 : 1;
}

} // namespace
} // namespace quorvane::bench

int main() { return quorvane::bench::run(); }
