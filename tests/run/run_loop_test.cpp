#include "run/run_loop.h"

#include "support/form_fixture.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace quorvane::test {
namespace {

// An attractor that only records where the skeleton calls it. Orbit 1 moves one unit right per
// step; its plotted point is (x + shift, y + shift).
struct Probe : AttractorSteps {
    static inline std::vector<std::string> log;

    static void start(WindowVars& v)
    {
        log.push_back("start");
        v.orbit1.y = 5;
    }
    static void beforePlots(WindowVars&) { log.push_back("before"); }
    static void betweenOrbits(WindowVars&) { log.push_back("between"); }
    static void afterStopTest(WindowVars& v)
    {
        log.push_back("after");
        v.orbit1.x += 1;
    }
    static Point map(const Orbit& o, double shift, double, double)
    {
        return {o.x + shift, o.y + shift};
    }
};

class RunLoop : public FormFixture {
protected:
    RunLoop() { Probe::log.clear(); }
    void stopAtPump(long pump)
    {
        atPump(pump, [this] { frm1.vars.StopFlag = 1; });
    }
};

TEST_F(RunLoop, StepOrderPlotsWindowThenPictureOrbitOneThenTwo)
{
    // Each pump notes how far Delay counted since the one before. Tab pressed inside the first
    // pump sets the pace of the second step's Delay, which comes before the second pump.
    frm1.vars.DelayCount = 3;
    platform.onPump = [this](long) {
        Probe::log.push_back(
            "counted " + std::to_string(static_cast<long>(frm1.vars.DelayCounter)));
        frm1.vars.DelayCounter = 0;
        Probe::log.push_back("pump");
    };
    atPump(1, [this] { frm1.Form_KeyDown(KeyCode::Tab, 0); });
    stopAtPump(2);
    frm1.vars.orbit1.x = 2; // a run goes on from the slots as they are
    runOrbits<Probe>(frm1);

    const std::vector<std::string> expected = {"start", "before", "between", "counted 4", "pump",
        "after", "before", "between", "counted 5004", "pump"};
    EXPECT_EQ(Probe::log, expected);

    using P = std::tuple<Surface, float, float, Rgb>;
    const Surface w = Surface::Window, p = Surface::Picture;
    const std::vector<P> want
        = {{w, 2, 5, 0x00FF00}, {p, 2, 5, 0x00FF00}, {w, 10, 10, 0xFF0000}, {p, 10, 10, 0xFF0000},
            {w, 3, 5, 0x00FF00}, {p, 3, 5, 0x00FF00}, {w, 10, 10, 0xFF0000}, {p, 10, 10, 0xFF0000}};
    std::vector<P> got;
    for (const Call& c : platform.callsOf(Call::Kind::Plot))
        got.emplace_back(c.surface, c.x, c.y, c.colour);
    EXPECT_EQ(got, want);
}

TEST_F(RunLoop, EndOfRunClearsBothSurfacesAndZeroesStateButKeepsParameters)
{
    frm1.vars.set1.a = 3;
    frm1.vars.set2.e = 4;
    frm1.vars.orbit2.z = 9;
    stopAtPump(1);
    runOrbits<Probe>(frm1);

    const auto& calls = platform.calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.end()[-2].kind, Call::Kind::Clear);
    EXPECT_EQ(calls.end()[-2].surface, Surface::Window);
    EXPECT_EQ(calls.back().kind, Call::Kind::Clear);
    EXPECT_EQ(calls.back().surface, Surface::Picture);
    EXPECT_EQ(frm1.vars.StopFlag, 0);
    EXPECT_EQ(frm1.vars.orbit1.y, 0.0);
    EXPECT_EQ(frm1.vars.orbit2.z, 0.0);
    EXPECT_EQ(frm1.vars.set1.a, 3.0);
    EXPECT_EQ(frm1.vars.set2.e, 4.0);
}

TEST_F(RunLoop, PlotsThatAreFaultsOrDoNotFitSinglePrecisionAreNotMade)
{
    for (const double value : {HUGE_VAL, -HUGE_VAL, std::nan(""), 1e39, -3.5e38}) {
        platform.calls.clear();
        frm1.vars.orbit1.x = value; // orbit 1 faults; orbit 2 sits at zero
        stopAtPump(platform.pumps() + 1);
        runOrbits<Probe>(frm1);
        const auto plots = platform.callsOf(Call::Kind::Plot);
        ASSERT_EQ(plots.size(), 2u) << value;
        EXPECT_EQ(plots[0].colour, 0xFF0000u);
    }
}

TEST_F(RunLoop, TheLargestSingleIsPlottedOnBothSurfacesAndTheNextDoubleAboveIsNot)
{
    // Any double above FLT_MAX is out of float's range, even one that would round down to it.
    const double largest = FLT_MAX;
    frm1.vars.orbit1.x = largest;
    atPump(1, [this] { frm1.vars.StopFlag = 1; });
    runOrbits<Probe>(frm1);
    auto plots = platform.callsOf(Call::Kind::Plot);
    ASSERT_EQ(plots.size(), 4u);
    EXPECT_EQ(plots[0].x, FLT_MAX);
    EXPECT_EQ(plots[1].surface, Surface::Picture);
    EXPECT_EQ(plots[1].x, FLT_MAX);

    platform.calls.clear();
    frm1.vars.orbit1.x = std::nextafter(largest, HUGE_VAL);
    atPump(2, [this] { frm1.vars.StopFlag = 1; });
    runOrbits<Probe>(frm1);
    plots = platform.callsOf(Call::Kind::Plot);
    ASSERT_EQ(plots.size(), 2u);
    EXPECT_EQ(plots[0].colour, 0xFF0000u);
}

TEST_F(RunLoop, ResetWhileIdleLeavesStopFlagSetUntilTheNextRunClearsIt)
{
    frm1.vars.set1.c = 2;
    frm1.vars.set2.a = 5;
    frm1.vars.orbit1.yNext = 1;
    choose("mnuReset");
    EXPECT_EQ(frm1.vars.StopFlag, 1);
    EXPECT_EQ(frm1.vars.set1.c, 0.0);
    EXPECT_EQ(frm1.vars.set2.a, 0.0);
    EXPECT_EQ(frm1.vars.orbit1.yNext, 0.0);
    ASSERT_EQ(platform.calls.size(), 3u);
    EXPECT_EQ(platform.calls[0].kind, Call::Kind::Clear);
    EXPECT_EQ(platform.calls[0].surface, Surface::Window);
    EXPECT_EQ(platform.calls[1].surface, Surface::Picture);
    EXPECT_EQ(platform.calls[2].kind, Call::Kind::Caption);
    EXPECT_EQ(platform.calls[2].text, "");

    // The next run still draws: it sets StopFlag to 0 first.
    atPump(platform.pumps() + 2, [this] { pressEscape(); });
    runOrbits<Probe>(frm1);
    EXPECT_EQ(platform.callsOf(Call::Kind::Plot).size(), 8u);
}

TEST_F(RunLoop, ResetDuringARunDrawsTheStepsPointsThenClearsEverything)
{
    frm1.vars.set1.a = 1;
    atPump(1, [this] { pressEscape(); });
    runOrbits<Probe>(frm1);
    ASSERT_EQ(platform.calls.size(), 4u + 3u + 2u); // plots, RESET, end of run
    EXPECT_EQ(platform.calls[3].kind, Call::Kind::Plot);
    EXPECT_EQ(platform.calls[6].text, "");
    EXPECT_EQ(frm1.vars.set1.a, 0.0);
    EXPECT_EQ(frm1.vars.StopFlag, 0);
    EXPECT_EQ(Probe::log.back(), "between");
}

TEST_F(RunLoop, NestedRunsEachEndWithTheirOwnResetInnermostFirst)
{
    // Every level starts another run from inside its pump; each RESET ends only the innermost
    // one, and the run around it goes on from zero state.
    constexpr int kDepth = 20;
    int depth = 0;
    int started = 0;
    platform.onPump = [&](long) {
        if (started < kDepth) {
            ++started;
            ++depth;
            runOrbits<Probe>(frm1);
            --depth;
        } else {
            pressEscape();
        }
    };
    runOrbits<Probe>(frm1);
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(started, kDepth);
    EXPECT_EQ(frm1.vars.StopFlag, 0);
    // Every run ended through its own end-of-run actions: two clears each, two per RESET.
    const auto clears = platform.callsOf(Call::Kind::Clear);
    const auto resets = platform.callsOf(Call::Kind::Caption);
    EXPECT_EQ(clears.size(), 2u * (kDepth + 1) + 2u * resets.size());
    EXPECT_EQ(resets.size(), static_cast<std::size_t>(kDepth + 1));
}

} // namespace
} // namespace quorvane::test
