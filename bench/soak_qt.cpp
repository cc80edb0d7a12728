// Soak on the real Qt platform, offscreen: every attractor through the real window, its two
// raster images, the frame-paced repaints and Qt's event pump at every step, at DelayCount 0.
// It reports resident memory after the first thousand steps and at the end of each run, and
// fails when a run grew by more than kAllowedGrowthKiB.
//
//   quorvane_soak_qt [steps]   (default 10000000; QT_QPA_PLATFORM defaults to offscreen)

#include "counting_platform.h"
#include "headless/attractor_choice.h"
#include "memory.h"

#include "app/frm1.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quorvane::bench {
namespace {

constexpr long kAllowedGrowthKiB = 1024;

} // namespace
} // namespace quorvane::bench

int main(int argc, char* argv[])
{
    using namespace quorvane;
    using namespace quorvane::bench;
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const long steps = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10'000'000;
    if (steps < 1000) {
        std::fprintf(stderr, "quorvane_soak_qt: at least 1000 steps\n");
        return 2;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    qt::QtPlatform qtPlatform;
    CountingPlatform platform(qtPlatform);
    Frm1 frm1(platform);
    qtPlatform.open(frm1);
    platform.syncMetrics();

    std::printf("Every attractor for %ld steps on the Qt platform (%s) at DelayCount 0. Memory in "
                "KiB: resident and peak after 1000 steps, then at the end.\n\n",
        steps, qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("%-11s %-14s %10s %9s %9s %9s %9s %7s %8s\n", "attractor", "parameters", "steps",
        "rss@1k", "peak@1k", "rss@end", "peak@end", "growth", "seconds");
    bool ok = true;
    for (const headless::AttractorChoice& a : headless::attractorChoices())
        for (const bool huge : {false, true}) {
            for (const Prompt& prompt : a.texts.prompts)
                frm1.vars.parameter(prompt.target)
                    = huge ? (prompt.target < Param::aa ? 1e308 : -1e308) : prompt.defaultValue;
            frm1.vars.DelayCount = 0;
            // The memory after the first thousand pumps; RESET after the last.
            Memory afterWarmUp;
            platform.restart(1000, [&](long pump) {
                if (pump == 1000)
                    afterWarmUp = memoryNow();
                if (pump == steps)
                    frm1.mnuReset_Click();
                else
                    platform.setNextMark(steps);
            });
            const auto start = std::chrono::steady_clock::now();
            a.drawingRoutine(frm1);
            const double seconds
                = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const Memory end = memoryNow();
            const long growth = end.rss - afterWarmUp.rss;
            const bool flat = platform.pumps() == steps && growth <= kAllowedGrowthKiB;
            ok = ok && flat;
            std::printf("%-11s %-14s %10ld %9ld %9ld %9ld %9ld %+7ld %8.2f  %s\n",
                std::string(a.name).c_str(), huge ? "+1e308/-1e308" : "defaults", platform.pumps(),
                afterWarmUp.rss, afterWarmUp.hwm, end.rss, end.hwm, growth, seconds,
                flat ? "flat" : "FAILED");
            std::fflush(stdout);
        }
    std::printf("\n%s\n", ok ? "Memory stayed flat in every run." : "SOAK FAILED");
    return ok ? 0 : 1;
}
