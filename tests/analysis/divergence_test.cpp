// How quorvane diverge measures two orbits parting, against orbits this test computes itself
// from the equations, each in its stated evaluation order: the step the orbits first differ,
// the separations of the first steps, the parting step and the growth rate up to it; an orbit
// that leaves the numbers.

#include "analysis/divergence.h"
#include "headless/headless_run.h"
#include "support/reference_orbits.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <map>

namespace quorvane::analysis {
namespace {

using headless::findAttractor;
using headless::HeadlessRun;
using namespace reference;

// Every step's separations, as a sink that wants them all.
class EveryStep final : public SeparationSink {
public:
    std::map<std::uint64_t, Separation> seen;
    std::uint64_t nextWanted(std::uint64_t step) const override { return step + 1; }
    void take(const Separation& s, bool) override { seen[s.step] = s; }
};

struct Case {
    const char* name;
    ParameterSet set1, set2;
    std::function<Orbits()> orbits;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PartingOrbits : public ::testing::TestWithParam<Case> { };

TEST_P(PartingOrbits, PartWhereTheEquationsSayAtTheRateTheyGive)
{
    const Case& c = GetParam();
    // The test's own orbits, until they part.
    Orbits orbits = c.orbits();
    std::vector<Plotted> plotted {{}}; // plotted[k] for step k
    std::uint64_t first = 0;
    while (screenPixels(plotted.emplace_back(orbits())) < 1) {
        if (first == 0 && stateDistance(plotted.back()) > 0)
            first = plotted.size() - 1;
        ASSERT_LT(plotted.size(), 1'000'000u) << "the orbits never part";
    }
    const std::uint64_t parting = plotted.size() - 1;
    // The least-squares slope of ln(separation) over [first, parting], in two passes.
    long double n = 0, meanX = 0, meanY = 0, sxx = 0, sxy = 0;
    for (std::uint64_t k = first; k <= parting; ++k, ++n) {
        meanX += k;
        meanY += std::log(static_cast<long double>(stateDistance(plotted[k])));
    }
    meanX /= n;
    meanY /= n;
    for (std::uint64_t k = first; k <= parting; ++k) {
        const long double dx = k - meanX;
        sxx += dx * dx;
        sxy += dx * (std::log(static_cast<long double>(stateDistance(plotted[k]))) - meanY);
    }

    const AttractorChoice& attractor = *findAttractor(c.name);
    HeadlessRun<> run({&attractor, c.set1, c.set2, parting + 50});
    Divergence divergence(attractor, W, H, parting + 50);
    EveryStep sink;
    divergence.addSink(sink);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), parting + 50);

    EXPECT_EQ(divergence.firstDifference(), first);
    EXPECT_EQ(divergence.partingStep(), parting);
    for (std::uint64_t k = 1; k <= std::min<std::uint64_t>(parting, first + 10); ++k) {
        EXPECT_DOUBLE_EQ(sink.seen[k].state, stateDistance(plotted[k])) << "step " << k;
        EXPECT_DOUBLE_EQ(sink.seen[k].screenPixels, screenPixels(plotted[k])) << "step " << k;
    }
    EXPECT_DOUBLE_EQ(divergence.atParting().state, stateDistance(plotted[parting]));
    EXPECT_DOUBLE_EQ(divergence.atParting().screenPixels, screenPixels(plotted[parting]));
    EXPECT_GE(divergence.atParting().screenPixels, 1.0);
    EXPECT_NEAR(divergence.growth().slope(), static_cast<double>(sxy / sxx),
        1e-9 * std::fabs(static_cast<double>(sxy / sxx)));
    EXPECT_EQ(divergence.departureStep(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Attractors, PartingOrbits,
    ::testing::Values(Case {"lorenz", {10, 28, 2.667}, {10.001, 28, 2.667},
                          [] { return lorenz(10, 28, 2.667, 10.001, 28, 2.667); }},
        Case {"hopalong", {0.724, -0.565, -0.117}, {0.72400001, -0.565, -0.117},
            [] { return hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117); }},
        Case {"eqn8", {2.42, -1.36, -0.2, -0.31}, {2.4200001, -1.36, -0.2, -0.31},
            [] { return equation8(2.42, -1.36, -0.31, 2.4200001, -1.36, -0.31); }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Divergence, EqualParametersAreIdenticalForEveryStep)
{
    const ParameterSet hopalong {0.724, -0.565, -0.117};
    HeadlessRun<> run({findAttractor("hopalong"), hopalong, hopalong, 20000});
    Divergence divergence(*findAttractor("hopalong"), W, H, 20000);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), 20000u);
    EXPECT_EQ(divergence.firstDifference(), 0u);
    EXPECT_EQ(divergence.partingStep(), 0u);
    EXPECT_EQ(divergence.growth().count(), 0u);
}

// The orbits part at the first step whose points are a pixel or more apart: points exactly one
// pixel (15 twips) apart once rounded to single precision part; a little less does not.
TEST(Divergence, PointsExactlyOnePixelApartPart)
{
    // Lorenz plots x at 300 x + W / 2 twips; orbit 1 stays at the origin.
    const auto twipsApart = [](double x2) {
        return static_cast<double>(static_cast<float>(300 * x2 + W / 2))
            - static_cast<double>(static_cast<float>(W / 2));
    };
    ASSERT_LT(twipsApart(0.0499), 15.0);
    ASSERT_EQ(twipsApart(0.05), 15.0);

    Divergence divergence(*findAttractor("lorenz"), W, H, 10);
    WindowVars vars;
    vars.orbit2.x = 0.0499;
    EXPECT_TRUE(divergence.observe(1, vars));
    EXPECT_EQ(divergence.partingStep(), 0u) << "less than a pixel apart";
    vars.orbit2.x = 0.05;
    EXPECT_TRUE(divergence.observe(2, vars));
    EXPECT_EQ(divergence.partingStep(), 2u) << "exactly a pixel apart";
    EXPECT_EQ(divergence.atParting().screenPixels, 1.0);
}

TEST(Divergence, AnOrbitThatOverflowsLeavesTheNumbersAtItsStepAndEndsTheRun)
{
    // Prandtl number 10^6 makes the Euler step unstable: orbit 2 runs away within a few steps.
    Orbits orbits = lorenz(10, 28, 2.667, 1e6, 28, 2.667);
    std::uint64_t leaves = 0;
    bool stateFault = false;
    for (std::uint64_t k = 1; leaves == 0; ++k) {
        const Plotted p = orbits();
        ASSERT_LT(k, 10'000u);
        for (const double v : p.state2)
            stateFault = stateFault || !std::isfinite(v);
        if (stateFault || !(std::fabs(p.x2) <= FLT_MAX && std::fabs(p.y2) <= FLT_MAX))
            leaves = k;
    }

    const AttractorChoice& attractor = *findAttractor("lorenz");
    HeadlessRun<> run({&attractor, {10, 28, 2.667}, {1e6, 28, 2.667}, 10'000});
    Divergence divergence(attractor, W, H, 10'000);
    EveryStep sink;
    divergence.addSink(sink);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), leaves);
    EXPECT_EQ(divergence.departureStep(), leaves);
    EXPECT_EQ(divergence.departure(1), Departure::None);
    EXPECT_EQ(divergence.departure(2), stateFault ? Departure::State : Departure::Point);
    EXPECT_TRUE(std::isnan(sink.seen[leaves].screenPixels)); // no point was plotted
}

} // namespace
} // namespace quorvane::analysis
