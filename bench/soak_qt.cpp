// Soak on the real Qt platform, offscreen: every attractor through the real window, its two
// raster images, the frame-paced repaints and Qt's event pump at every step, at DelayCount 0.
// It reports resident memory after the first thousand steps and at the end of each run, and
// fails when a run grew by more than kAllowedGrowthKiB.
//
//   quorvane_soak_qt [steps]   (default 10000000; QT_QPA_PLATFORM defaults to offscreen)

#include "app/frm1.h"
#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    return m;
}

// Everything goes to the Qt platform; the pump also counts steps and ends the run with RESET
// after the last one.
class CountingPlatform final : public Platform {
public:
    explicit CountingPlatform(qt::QtPlatform& inner)
        : m_inner(inner)
    {
    }
    Form* form = nullptr;
    long steps = 0, stopAt = 0;
    Memory afterWarmUp;

    void plot(Surface s, float x, float y, Rgb c) override { m_inner.plot(s, x, y, c); }
    void clear(Surface s) override { m_inner.clear(s); }
    void setBackColor(Surface s, Rgb c) override { m_inner.setBackColor(s, c); }
    void refresh(Surface s) override { m_inner.refresh(s); }
    void setPictureHeight(float v) override { m_inner.setPictureHeight(v); }
    void setPictureWidth(float v) override { m_inner.setPictureWidth(v); }
    void setPictureScaleHeight(float v) override { m_inner.setPictureScaleHeight(v); }
    void setPictureScaleWidth(float v) override { m_inner.setPictureScaleWidth(v); }
    void setCaption(std::string_view c) override { m_inner.setCaption(c); }
    std::string inputBox(std::string_view, std::string_view, std::string_view d) override
    {
        return std::string(d);
    }
    std::optional<double> toNumber(std::string_view t) const override
    {
        return m_inner.toNumber(t);
    }
    std::string numberText(double v) const override { return m_inner.numberText(v); }
    void messageBox(const Message&) override { }
    std::optional<std::string> saveFileName(const SaveDialogRequest&) override { return {}; }
    std::optional<std::string> writePicture(std::string_view) override { return {}; }
    void processEvents() override
    {
        m_inner.processEvents();
        setMetrics(m_inner.metrics());
        if (++steps == 1000)
            afterWarmUp = memoryNow();
        if (steps == stopAt)
            form->mnuReset_Click();
    }
    void endProgram() override { m_inner.endProgram(); }
    void syncMetrics() { setMetrics(m_inner.metrics()); }

private:
    qt::QtPlatform& m_inner;
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

} // namespace
} // namespace quorvane

int main(int argc, char* argv[])
{
    using namespace quorvane;
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
    platform.form = &frm1;
    platform.syncMetrics();

    std::printf("Every attractor for %ld steps on the Qt platform (%s) at DelayCount 0. Memory in "
                "KiB: resident and peak after 1000 steps, then at the end.\n\n",
        steps, qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("%-11s %-14s %10s %9s %9s %9s %9s %7s %8s\n", "attractor", "parameters", "steps",
        "rss@1k", "peak@1k", "rss@end", "peak@end", "growth", "seconds");
    bool ok = true;
    for (const SoakedAttractor& a : kAttractors)
        for (const bool huge : {false, true}) {
            for (const Prompt& prompt : a.texts->prompts)
                frm1.vars.parameter(prompt.target)
                    = huge ? (prompt.target < Param::aa ? 1e308 : -1e308) : prompt.defaultValue;
            frm1.vars.DelayCount = 0;
            platform.steps = 0;
            platform.stopAt = steps;
            const auto start = std::chrono::steady_clock::now();
            a.draw(frm1);
            const double seconds
                = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const Memory end = memoryNow();
            const long growth = end.rss - platform.afterWarmUp.rss;
            const bool flat = platform.steps == steps && growth <= kAllowedGrowthKiB;
            ok = ok && flat;
            std::printf("%-11s %-14s %10ld %9ld %9ld %9ld %9ld %+7ld %8.2f  %s\n", a.name,
                huge ? "+1e308/-1e308" : "defaults", platform.steps, platform.afterWarmUp.rss,
                platform.afterWarmUp.hwm, end.rss, end.hwm, growth, seconds,
                flat ? "flat" : "FAILED");
            std::fflush(stdout);
        }
    std::printf("\n%s\n", ok ? "Memory stayed flat in every run." : "SOAK FAILED");
    return ok ? 0 : 1;
}
