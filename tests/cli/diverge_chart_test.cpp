// quorvane diverge's chart shows the parting: its step axis, read from the chart's axis data,
// ends at a round number a few times the parting step, at the step the user chose, or at the
// run's end when the orbits never part; the label says which steps are shown.

#include "cli/diverge_chart.h"
#include "headless/headless_run.h"
#include "support/reference_orbits.h"

#include <gtest/gtest.h>

namespace quorvane::cli {
namespace {

using namespace reference;

const ParameterSet kHopalong {0.724, -0.565, -0.117};
const ParameterSet kHopalongNudged {0.72400001, -0.565, -0.117};

// The chart of a Hopalong run of `steps` steps, as the command gathers it.
output::Chart hopalongChart(const ParameterSet& set2, std::uint64_t steps, std::uint64_t plotSteps)
{
    const AttractorChoice& attractor = *headless::findAttractor("hopalong");
    const RunSetup setup {&attractor, kHopalong, set2, steps};
    headless::HeadlessRun<> run(setup);
    Divergence divergence(attractor, W, H, steps);
    DivergenceChart chart(divergence, steps, plotSteps);
    divergence.addSink(chart);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    run.run();
    return chart.chart(setup);
}

// The step at which the test's own orbits are first a pixel apart.
std::uint64_t hopalongParting()
{
    Orbits orbits = hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117);
    std::uint64_t step = 1;
    while (screenPixels(orbits()) < 1)
        ++step;
    return step;
}

TEST(DivergenceChart, EndsItsStepAxisAFewTimesPastTheParting)
{
    // 3.5 times step 1831 is 6408.5; eight ticks of 1000 reach past it at 7000, 3.8 times the
    // parting step.
    ASSERT_EQ(hopalongParting(), 1831u);
    const output::Chart chart = hopalongChart(kHopalongNudged, 1'000'000, 0);
    const output::ChartAxes axes = output::chartAxes(chart);
    EXPECT_EQ(axes.x.lo, 0);
    EXPECT_EQ(axes.x.hi, 7000);
    EXPECT_EQ(axes.x.step, 1000);
    ASSERT_TRUE(chart.marker.has_value());
    EXPECT_EQ(chart.marker->at, 1831);
    EXPECT_EQ(chart.xLabel, QStringLiteral("step (the first 7000 of the run's 1000000 shown)"));
    // The points fill the steps shown, no further.
    ASSERT_FALSE(chart.points.empty());
    EXPECT_LE(chart.points.back().x(), 7000);
    EXPECT_GE(chart.points.back().x(), 6990);
    EXPECT_GT(chart.points.size(), 1000u);
}

TEST(DivergenceChart, ShowsTheStepsTheUserChose)
{
    const output::Chart chart = hopalongChart(kHopalongNudged, 20'000, 2345);
    const output::ChartAxes axes = output::chartAxes(chart);
    EXPECT_EQ(axes.x.lo, 0);
    EXPECT_EQ(axes.x.hi, 2345); // exactly, though its ticks are 500 apart
    EXPECT_EQ(axes.x.ticks().back(), 2000);
    EXPECT_EQ(chart.xLabel, QStringLiteral("step (the first 2345 of the run's 20000 shown)"));
    EXPECT_EQ(chart.points.back().x(), 2345);
}

TEST(DivergenceChart, ShowsTheWholeRunWhenTheOrbitsNeverPartOrPartTooLate)
{
    // Within 1600 steps the orbits do not part: steps 1 to 1600 on ticks of 200.
    const output::Chart apart = hopalongChart(kHopalongNudged, 1600, 0);
    EXPECT_EQ(output::chartAxes(apart).x.lo, 0);
    EXPECT_EQ(output::chartAxes(apart).x.hi, 1600);
    EXPECT_EQ(apart.xLabel, QStringLiteral("step"));
    EXPECT_EQ(apart.points.back().x(), 1600);
    // A parting at 1831 would take the axis to 7000, past a run of 5000 steps.
    const output::Chart late = hopalongChart(kHopalongNudged, 5000, 0);
    EXPECT_EQ(output::chartAxes(late).x.hi, 5000);
    EXPECT_EQ(late.xLabel, QStringLiteral("step"));
    // --plot-steps as long as the run is the whole run.
    EXPECT_EQ(hopalongChart(kHopalongNudged, 5000, 5000).xLabel, QStringLiteral("step"));
}

} // namespace
} // namespace quorvane::cli
