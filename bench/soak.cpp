// Soak: every attractor for ten million steps at DelayCount 0, with its default parameters,
// with parameters at +-1e308 and with the smallest denormal, through the real run loop on a
// platform that draws nowhere. It reports the resident memory after the first thousand steps
// and at the end of each run, and fails when a run grew by more than kAllowedGrowthKiB, or
// when any point handed to a plot was not a finite single.
//
//   quorvane_soak [steps]      (default 10000000)

#include "headless/attractor_choice.h"
#include "memory.h"

#include "platform/null_platform.h"
#include "run/run_loop.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvane::bench {
namespace {

constexpr long kAllowedGrowthKiB = 1024;

// Draws nowhere: counts the plots and the points that are not finite singles, and stops the
// run with RESET after the last step.
class SoakPlatform final : public NullPlatform {
public:
    SoakPlatform() { setWindow(9795, 9225, 9915, 9990); }

    Form* form = nullptr;
    long steps = 0, stopAt = 0;
    long plots = 0, badPlots = 0;
    Memory afterWarmUp;

    void plot(Surface, float x, float y, Rgb) override
    {
        ++plots;
        if (!(std::fabs(x) <= 3.4028235e38f && std::fabs(y) <= 3.4028235e38f))
            ++badPlots;
    }
    void processEvents() override
    {
        ++steps;
        if (steps == 1000)
            afterWarmUp = memoryNow();
        if (steps == stopAt)
            form->mnuReset_Click();
    }
};

enum class Parameters { Defaults, Huge, Denormal };

const char* nameOf(Parameters p)
{
    switch (p) {
    case Parameters::Defaults:
        return "defaults";
    case Parameters::Huge:
        return "+1e308/-1e308";
    default:
        return "5e-324";
    }
}

// One run of the attractor for the given number of steps; false when it failed a check.
bool soak(const headless::AttractorChoice& a, Parameters which, long steps)
{
    SoakPlatform platform;
    Form form(platform);
    platform.form = &form;
    platform.stopAt = steps;
    form.vars.DelayCount = 0;
    for (const Prompt& prompt : a.texts.prompts) {
        const bool orbit1 = prompt.target < Param::aa;
        double value = prompt.defaultValue;
        if (which == Parameters::Huge)
            value = orbit1 ? 1e308 : -1e308;
        else if (which == Parameters::Denormal)
            value = 5e-324;
        form.vars.parameter(prompt.target) = value;
    }

    const auto start = std::chrono::steady_clock::now();
    a.drawingRoutine(form);
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Memory end = memoryNow();
    const long growth = end.rss - platform.afterWarmUp.rss;
    const bool ok
        = platform.steps == steps && platform.badPlots == 0 && growth <= kAllowedGrowthKiB;
    std::printf("%-11s %-14s %10ld %11ld %9ld %9ld %9ld %9ld %+7ld %7.2f  %s\n",
        std::string(a.name).c_str(), nameOf(which), platform.steps, platform.plots,
        platform.afterWarmUp.rss, platform.afterWarmUp.hwm, end.rss, end.hwm, growth, seconds,
        ok ? "flat" : "FAILED");
    return ok;
}

} // namespace
} // namespace quorvane::bench

int main(int argc, char* argv[])
{
    using namespace quorvane::bench;
    const long steps = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10'000'000;
    if (steps < 1000) {
        std::fprintf(stderr, "quorvane_soak: at least 1000 steps\n");
        return 2;
    }
    std::printf("Every attractor for %ld steps at DelayCount 0. Memory in KiB: resident and peak "
                "after 1000 steps, then at the end.\n\n",
        steps);
    std::printf("%-11s %-14s %10s %11s %9s %9s %9s %9s %7s %7s\n", "attractor", "parameters",
        "steps", "plots made", "rss@1k", "peak@1k", "rss@end", "peak@end", "growth", "seconds");
    bool ok = true;
    for (const quorvane::headless::AttractorChoice& a : quorvane::headless::attractorChoices())
        for (const Parameters p : {Parameters::Defaults, Parameters::Huge, Parameters::Denormal})
            ok = soak(a, p, steps) && ok;
    std::printf("\n%s\n", ok ? "Memory stayed flat in every run." : "SOAK FAILED");
    return ok ? 0 : 1;
}
