// Benettin's estimate four sets at a time in lanes, against the same sets measured one at a
// time by estimateLyapunov: every field bit for bit, every outcome, runs that end early beside
// runs that go on, in the lane run's AVX2 code and in its scalar code. Where an outcome's step
// can be worked out by hand, it is, so that a case shows it hits the outcome it is there for.

#include "analysis/benettin_lanes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace quorvane::analysis {
namespace {

using headless::LaneCode;
using Outcome = LyapunovEstimate::Outcome;

const AttractorChoice& attractor(const char* name) { return *headless::findAttractor(name); }

// The same double to the bit. Not a number is compared as such: which NaN an invalid
// operation gives is not fixed.
void expectSameNumber(double lanes, double alone, const char* field)
{
    if (std::isnan(lanes) && std::isnan(alone))
        return;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(lanes), std::bit_cast<std::uint64_t>(alone))
        << field << ": " << lanes << " in lanes, " << alone << " alone";
}

void expectSameEstimate(const LyapunovEstimate& lanes, const LyapunovEstimate& alone)
{
    EXPECT_EQ(lanes.outcome, alone.outcome);
    expectSameNumber(lanes.perStep, alone.perStep, "perStep");
    expectSameNumber(lanes.standardError, alone.standardError, "standardError");
    EXPECT_EQ(lanes.step, alone.step);
    expectSameNumber(lanes.jump, alone.jump, "jump");
    EXPECT_EQ(lanes.period, alone.period);
    EXPECT_EQ(lanes.companionEscaped, alone.companionEscaped);
    expectSameNumber(lanes.largestCoordinate, alone.largestCoordinate, "largestCoordinate");
    EXPECT_EQ(lanes.measuredSteps, alone.measuredSteps);
    EXPECT_EQ(lanes.periodsLeftOut, alone.periodsLeftOut);
    EXPECT_EQ(lanes.firstLeftOut, alone.firstLeftOut);
}

std::vector<Outcome> outcomes(const std::vector<LyapunovEstimate>& estimates)
{
    std::vector<Outcome> all;
    for (const LyapunovEstimate& e : estimates)
        all.push_back(e.outcome);
    return all;
}

class LaneEstimates : public ::testing::TestWithParam<LaneCode> {
protected:
    void SetUp() override
    {
        if (GetParam() == LaneCode::Avx2 && headless::bestLaneCode() != LaneCode::Avx2)
            GTEST_SKIP() << "this processor has no AVX2";
    }

    // The sets' estimates in lanes, each expected to be the set's estimate alone, and every
    // set's steps added to the count of progress, as alone.
    std::vector<LyapunovEstimate> expectAsAlone(const AttractorChoice& a,
        const std::vector<ParameterSet>& sets, const BenettinSettings& settings)
    {
        std::atomic<std::uint64_t> aloneSteps = 0;
        std::vector<LyapunovEstimate> alone;
        for (const ParameterSet& p : sets)
            alone.push_back(estimateLyapunov(a, p, settings, &aloneSteps));
        std::atomic<std::uint64_t> laneSteps = 0;
        const auto lanes = estimateLyapunovInLanes(a, sets, settings, &laneSteps, GetParam());
        EXPECT_EQ(laneSteps, aloneSteps);
        EXPECT_EQ(laneSteps, sets.size() * runSteps(settings));
        EXPECT_EQ(lanes.size(), sets.size());
        for (std::size_t i = 0; i < std::min(lanes.size(), sets.size()); ++i) {
            SCOPED_TRACE(std::string(a.name) + ", set " + std::to_string(i));
            expectSameEstimate(lanes[i], alone[i]);
        }
        return lanes;
    }
};

TEST_P(LaneEstimates, LorenzRunsThatEndEarlyBesideRunsThatGoOn)
{
    // Sigma = 10^6 overflows within a few Euler steps; the step it first does, worked out here
    // (x, y, z are the state at the pump of step n + 1 after n advances).
    const double a = 1e6, b = 28, c = 2.667, h = 0.0004;
    double x = 3.141593, y = 3.141593, z = 3.141593;
    std::uint64_t escape = 1;
    while (std::isfinite(x) && std::isfinite(y) && std::isfinite(z)) {
        x = x + (y - x) * a * h;
        y = y + (b * x - y - x * z) * h;
        z = z + (x * y - c * z) * h;
        ++escape;
    }
    // Sigma = 2500 makes sigma times the step 1: x' is y, whatever x was, so the companion
    // first placed along x falls onto orbit 1 at the first measurement. Sigma = 5150 grows
    // past where a distance of 1e-8 can be held, after the transient. Five sets: the fifth
    // runs in a second lane run of its own. 70101 steps, so that progress is reported in the
    // middle of the runs too.
    const BenettinSettings settings {100, 70'000, 10};
    const auto e = expectAsAlone(attractor("lorenz"),
        {{10, 28, 8.0 / 3}, {a, b, c}, {5150, 28, 2.667}, {2500, 28, 2.667}, {10, 10, 8.0 / 3}},
        settings);
    EXPECT_EQ(outcomes(e),
        (std::vector {Outcome::Measured, Outcome::Escaped, Outcome::OutOfReach, Outcome::Measured,
            Outcome::Measured}));
    EXPECT_GT(e[0].perStep, 0);
    EXPECT_EQ(e[1].step, escape);
    EXPECT_FALSE(e[1].companionEscaped);
    EXPECT_EQ(e[3].periodsLeftOut, 1u);
    EXPECT_EQ(e[3].firstLeftOut, 101u + 10);
    EXPECT_LT(e[4].perStep, 0);
}

TEST_P(LaneEstimates, RosslerCompanionLeavesTheNumbersWhileOrbit1StaysPut)
{
    // With b = c = 0 Rossler's run stays at its start, (0, 0, 0). The companion, placed 1e-8
    // along x at the pump of step 101, has y = 4e-10 after one step and 1.6e189 after two
    // (y grows by a h = 4e198 a step); the third step overflows: step 104.
    const auto e = expectAsAlone(attractor("rossler"),
        {{0.2, 0.2, 5.7}, {1e200, 0, 0}, {0.2, 0.2, -10}, {0.1, 0.1, 14}}, {100, 5000, 10});
    EXPECT_EQ(outcomes(e),
        (std::vector {Outcome::Measured, Outcome::Escaped, Outcome::Escaped, Outcome::Measured}));
    EXPECT_EQ(e[1].step, 104u);
    EXPECT_TRUE(e[1].companionEscaped);
    EXPECT_EQ(e[1].largestCoordinate, 0);
    EXPECT_FALSE(e[2].companionEscaped);
    EXPECT_GT(e[2].step, 104u);
}

TEST_P(LaneEstimates, HopalongJumpBesideMeasuredRunsInBatchesOfTwoAndThree)
{
    // At a = b = c = 0 the companion sits across the jump of sgn(x) from orbit 1 at (0, 0):
    // the first measurement finds it a unit or so away.
    for (const auto& sets : {std::vector<ParameterSet> {{0, 0, 0}, {0.724, -0.565, -0.117}},
             std::vector<ParameterSet> {{-0.9, 0.7, 0.3}, {0.724, -0.565, -0.117}, {0, 0, 0}}}) {
        const auto e = expectAsAlone(attractor("hopalong"), sets, {100, 5000, 10});
        const LyapunovEstimate& jump = sets.size() == 2 ? e[0] : e[2];
        EXPECT_EQ(jump.outcome, Outcome::LeftNeighbourhood);
        EXPECT_EQ(jump.step, 101u + 10);
        EXPECT_EQ(jump.period, 10u);
        EXPECT_EQ(e[1].outcome, Outcome::Measured);
    }
}

TEST_P(LaneEstimates, EquationsOrbitsOutOfReachBesideMeasuredOnes)
{
    const auto e1 = expectAsAlone(attractor("eqn1"),
        {{0.2238, -0.9992, -0.8697, -0.3373}, {0.2, -5, 0, -0.4}, {0.2, -1.5, 0, -0.45}},
        {100, 5000, 10});
    EXPECT_EQ(
        outcomes(e1), (std::vector {Outcome::Measured, Outcome::OutOfReach, Outcome::Measured}));

    // Equation 8 with a = 10^9 goes round points where 10^9 + 1e-8 is 10^9: the companion is
    // lost at the first measurement, or at the placement. d = 10^308 overflows y' from the
    // first step: y' keeps its value, and a companion moved along y' falls onto orbit 1.
    const auto e8 = expectAsAlone(attractor("eqn8"),
        {{2.42, -1.36, -0.2, -0.31}, {1e9, 0, 0, 0}, {2.42, -1.36, 0, 1e308}, {2, -1, 0, -0.2}},
        {100, 5000, 10});
    EXPECT_EQ(outcomes(e8),
        (std::vector {
            Outcome::Measured, Outcome::OutOfReach, Outcome::Measured, Outcome::Measured}));
    EXPECT_LE(e8[1].step, 101u + 10);
    EXPECT_EQ(e8[1].largestCoordinate, 1e9);
    EXPECT_EQ(e8[2].periodsLeftOut, 1u);
}

TEST_P(LaneEstimates, PickoverCollapsesInLanesToo)
{
    // Pickover's step calls sin and cos, one lane at a time: no faster in lanes, but the same.
    // With d = e = 0 it sends every point to (0, -1): the companion falls onto orbit 1 along
    // x' at the first measurement, along y' at the second. With d = 1 only the first falls.
    const auto e = expectAsAlone(attractor("pickover"),
        {{2.23, 0.5, -0.67, 0, 0}, {2.23, 0.5, -0.67, 1, 0}}, {1000, 1000, 10});
    EXPECT_EQ(e[0].outcome, Outcome::Collapsed);
    EXPECT_EQ(e[0].step, 1001u + 20);
    EXPECT_EQ(e[1].outcome, Outcome::Measured);
    EXPECT_EQ(e[1].firstLeftOut, 1001u + 10);
}

TEST_P(LaneEstimates, AnyNumberOfSetsInOrder)
{
    std::vector<ParameterSet> sets;
    for (int i = 0; i < 9; ++i)
        sets.push_back({-1 + 0.3 * i, -0.565, -0.117});
    const BenettinSettings settings {200, 2000, 10};
    const auto e = expectAsAlone(attractor("hopalong"), sets, settings);
    EXPECT_NE(
        std::bit_cast<std::uint64_t>(e[0].perStep), std::bit_cast<std::uint64_t>(e[8].perStep));
    EXPECT_TRUE(estimateLyapunovInLanes(attractor("hopalong"), {}, settings).empty());

    // An attractor without lane steps is measured one set at a time, to the same numbers.
    AttractorChoice noLanes = attractor("hopalong");
    noLanes.laneSteps = nullptr;
    const auto alone = estimateLyapunovInLanes(noLanes, sets, settings, nullptr, GetParam());
    for (std::size_t i = 0; i < sets.size(); ++i)
        expectSameEstimate(alone[i], e[i]);
}

TEST_P(LaneEstimates, SettingsOutsideTheirRangeGiveWhatTheyGiveAlone)
{
    // No transient; fewer steps than blocks; measurements never due (renorm 0): the lane run
    // follows the trackers wherever they lead, and ends with the run's last step.
    for (const BenettinSettings settings :
        {BenettinSettings {0, 15, 4}, BenettinSettings {10, 3, 1}, BenettinSettings {5, 20, 0},
            BenettinSettings {10, 10, 1000}}) {
        SCOPED_TRACE(::testing::Message()
            << settings.transient << " " << settings.steps << " " << settings.renorm);
        expectAsAlone(attractor("lorenz"), {{10, 28, 8.0 / 3}, {1e6, 28, 2.667}}, settings);
        expectAsAlone(attractor("eqn8"), {{2.42, -1.36, -0.2, -0.31}}, settings);
    }
}

INSTANTIATE_TEST_SUITE_P(Code, LaneEstimates, ::testing::Values(LaneCode::Scalar, LaneCode::Avx2),
    [](const auto& p) { return p.param == LaneCode::Avx2 ? "Avx2" : "Scalar"; });

TEST(LanesPay, ForTheFiveWhoseStepIsPlainArithmeticInAvx2Only)
{
    for (const AttractorChoice& a : headless::attractorChoices()) {
        const bool arithmetic
            = a.name != "pickover" && a.name != "starburst" && a.name != "threeply";
        EXPECT_EQ(a.lanesPay, arithmetic) << a.name;
        EXPECT_EQ(
            lanesPay(a, LaneCode::Avx2), arithmetic && headless::bestLaneCode() == LaneCode::Avx2)
            << a.name;
        EXPECT_FALSE(lanesPay(a, LaneCode::Scalar)) << a.name;
    }
}

} // namespace
} // namespace quorvane::analysis
