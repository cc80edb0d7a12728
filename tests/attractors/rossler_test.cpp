#include "attractors/rossler.h"

#include "attractors/attractor_run.h"

#include <cmath>
#include <limits>

namespace quorvane::test {
namespace {

class RosslerRun : public AttractorRun {
protected:
    static float atX(double x, double shift = 0)
    {
        return static_cast<float>(500 * x + (kW / 2 + shift));
    }
    static float atY(double y, double shift = 0)
    {
        return static_cast<float>(300 * y + (kH / 2 + shift));
    }
};

TEST_F(RosslerRun, AsksOneLinePromptsThenClearsAndSetsItsCaption)
{
    run("mnuROS", 1);
    const std::string texts[] = {
        "Entre a number for a.  {Try   .2  -  .41}",
        "Entre a number for b.  {Try   .1  -  1 }",
        "Entre a number for c.  {Try   3  -  30}",
        "Entre a number for aa.  {Try   .2  -  .41}",
        "Entre a number for bb.  {Try   .1  -  1 }",
        "Entre a number for cc.  {Try   3  -  30}",
    };
    const char* const defaults[] = {"0.2", "0.2", "5.7"};
    expectCommand(texts, "Rossler", defaults, "Rossler Attractor    ");
}

TEST_F(RosslerRun, DefaultsFromRestGiveTheKnownFirstStates)
{
    WindowVars vars;
    vars.set1 = {0.2, 0.2, 5.7, 0, 0};
    const double table[][3] = {{0, 0, 0.008}, {-0.00032, -0.0000128, 0.0141758976},
        {-0.0008865239, -0.0000483634, 0.0189432903}, {-0.0016423210, -0.0001144431, 0.0226229756}};
    for (const auto& state : table) {
        Rossler::afterStopTest(vars);
        EXPECT_NEAR(vars.orbit1.x, state[0], 1e-10);
        EXPECT_NEAR(vars.orbit1.y, state[1], 1e-10);
        EXPECT_NEAR(vars.orbit1.z, state[2], 1e-10);
    }
    EXPECT_EQ(vars.orbit1.z, 0.022622975639355745);
}

TEST_F(RosslerRun, EachAssignmentReadsTheValuesJustStoredAndIgnoresDAndE)
{
    // Values where distributing the step or regrouping z's sum would change the last bits.
    for (const ParameterSet& p :
        {ParameterSet {0.46, 0.26, 14.9, 0, 0}, ParameterSet {0.46, 0.26, 14.9, 1e308, -7}}) {
        Orbit o {-1.58, 0, 2.75, 0, -2.13};
        Rossler::advance(o, p);
        EXPECT_EQ(o.x, -1.6048);
        EXPECT_EQ(o.y, 2.736408);
        EXPECT_EQ(o.z, -0.7133910400000001);
    }
}

TEST_F(RosslerRun, PlotsTheCurrentPointAndAdvancesAfterTheStopTest)
{
    // The first advance moves only z, so the first two steps both draw the centre.
    Orbit atThirdPump;
    atPump(3, [this, &atThirdPump] { atThirdPump = frm1.vars.orbit1; });
    run("mnuROS", 3);
    const auto green = orbitPlots(Surface::Window, kGreen);
    const auto red = orbitPlots(Surface::Picture, kRed);
    ASSERT_EQ(green.size(), 3u);
    ASSERT_EQ(red.size(), 3u);
    const double xs[] = {0, 0, -0.00032}, ys[] = {0, 0, -0.0000128};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(green[i].x, atX(xs[i]));
        EXPECT_EQ(green[i].y, atY(ys[i]));
        EXPECT_EQ(red[i].x, atX(xs[i], 10));
        EXPECT_EQ(red[i].y, atY(ys[i], 10));
    }
    EXPECT_EQ(atThirdPump.x, -0.00032);
}

TEST_F(RosslerRun, WithEveryParameterZeroBothOrbitsStayAtTheCentre)
{
    run("mnuROS", 50, std::deque<std::optional<std::string>>(6, std::nullopt));
    expectEveryStepAt(50, atX(0), atY(0), atX(0, 10), atY(0, 10));
}

TEST_F(RosslerRun, AnOverflowIsStoredAndThatOrbitAloneStopsDrawing)
{
    Orbit o {1, 0, 10, 0, 0};
    Rossler::advance(o, {1e308, 0, 0, 0, 0});
    EXPECT_EQ(o.y, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.z));

    // From rest, aa = 1e308 blows orbit 2 up within a few steps.
    Orbit atLastPump;
    atPump(60, [this, &atLastPump] { atLastPump = frm1.vars.orbit2; });
    run("mnuROS", 60, {"0.2", "0.2", "5.7", "1e308", "0.2", "5.7"});
    EXPECT_EQ(orbitPlots(Surface::Window, kGreen).size(), 60u);
    EXPECT_EQ(orbitPlots(Surface::Picture, kGreen).size(), 60u);
    EXPECT_LT(orbitPlots(Surface::Window, kRed).size(), 10u);
    EXPECT_TRUE(std::isnan(atLastPump.y));
}

} // namespace
} // namespace quorvane::test
