// Soak: every attractor for ten million steps at DelayCount 0, with its default parameters,
// with parameters at +-1e308 and with the smallest denormal, through the real run loop on a
// platform that draws nowhere. It reports the resident memory after the first thousand steps
// and at the end of each run, and fails when a run grew by more than kAllowedGrowthKiB, or
// when any point handed to a plot was not a finite single.
//
//   quorvane_soak [steps]      (default 10000000)

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "run/run_loop.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace quorvane {
namespace {

constexpr long kAllowedGrowthKiB = 1024;

// Resident and peak resident memory of this process, in KiB.
struct Memory {
    long rss = 0, hwm = 0;
};

Memory memoryNow()
{
    Memory m;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            m.rss = std::strtol(line.c_str() + 6, nullptr, 10);
        else if (line.rfind("VmHWM:", 0) == 0)
            m.hwm = std::strtol(line.c_str() + 6, nullptr, 10);
    }
    if (m.hwm == 0) { // no /proc: the peak from getrusage, also in KiB on Linux
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        m.hwm = m.rss = usage.ru_maxrss;
    }
    return m;
}

class NullPlatform final : public Platform {
public:
    NullPlatform() { setMetrics({9795, 9225, 9915, 9990}); }

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
    void clear(Surface) override { }
    void setBackColor(Surface, Rgb) override { }
    void refresh(Surface) override { }
    void setPictureHeight(float) override { }
    void setPictureWidth(float) override { }
    void setPictureScaleHeight(float) override { }
    void setPictureScaleWidth(float) override { }
    void setCaption(std::string_view) override { }
    std::string inputBox(std::string_view, std::string_view, std::string_view d) override
    {
        return std::string(d);
    }
    std::optional<double> toNumber(std::string_view) const override { return std::nullopt; }
    std::string numberText(double) const override { return {}; }
    void messageBox(const Message&) override { }
    std::optional<std::string> saveFileName(const SaveDialogRequest&) override { return {}; }
    std::optional<std::string> writePicture(std::string_view) override { return {}; }
    void processEvents() override
    {
        ++steps;
        if (steps == 1000)
            afterWarmUp = memoryNow();
        if (steps == stopAt)
            form->mnuReset_Click();
    }
    void endProgram() override { }
};

struct SoakedAttractor {
    const char* name;
    const CommandTexts* texts;
    void (*draw)(Form&);
};

const SoakedAttractor kAttractors[] = {
    {"Lorenz", &Lorenz::texts, Lorenz2},
    {"Rossler", &Rossler::texts, ROSSLER},
    {"Hopalong", &Hopalong::texts, Hop1},
    {"Pickover", &Pickover::texts, Pickover2},
    {"Equation 1", &Equation1::texts, E1},
    {"Equation 8", &Equation8::texts, E8},
    {"Starburst", &Starburst::texts, TP4},
    {"Threeply", &ThreeplyMap::texts, Threeply},
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
bool soak(const SoakedAttractor& a, Parameters which, long steps)
{
    NullPlatform platform;
    Form form(platform);
    platform.form = &form;
    platform.stopAt = steps;
    form.vars.DelayCount = 0;
    for (const Prompt& prompt : a.texts->prompts) {
        const bool orbit1 = prompt.target < Param::aa;
        double value = prompt.defaultValue;
        if (which == Parameters::Huge)
            value = orbit1 ? 1e308 : -1e308;
        else if (which == Parameters::Denormal)
            value = 5e-324;
        form.vars.parameter(prompt.target) = value;
    }

    const auto start = std::chrono::steady_clock::now();
    a.draw(form);
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Memory end = memoryNow();
    const long growth = end.rss - platform.afterWarmUp.rss;
    const bool ok
        = platform.steps == steps && platform.badPlots == 0 && growth <= kAllowedGrowthKiB;
    std::printf("%-11s %-14s %10ld %11ld %9ld %9ld %9ld %9ld %+7ld %7.2f  %s\n", a.name,
        nameOf(which), platform.steps, platform.plots, platform.afterWarmUp.rss,
        platform.afterWarmUp.hwm, end.rss, end.hwm, growth, seconds, ok ? "flat" : "FAILED");
    return ok;
}

} // namespace
} // namespace quorvane

int main(int argc, char* argv[])
{
    using namespace quorvane;
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
    for (const SoakedAttractor& a : kAttractors)
        for (const Parameters p : {Parameters::Defaults, Parameters::Huge, Parameters::Denormal})
            ok = soak(a, p, steps) && ok;
    std::printf("\n%s\n", ok ? "Memory stayed flat in every run." : "SOAK FAILED");
    return ok ? 0 : 1;
}
