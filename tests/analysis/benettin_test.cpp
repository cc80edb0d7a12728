// The largest Lyapunov exponent as quorvane lyapunov measures it on the program's own runs,
// against values from outside the program: the published Lorenz exponent, the eigenvalues of
// Lorenz's stable fixed points, and exponents of a Pickover map that this file works out from
// the map's own formulas.

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "refused_threads.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace quorvane::analysis {
namespace {

constexpr double kLorenzTimeStep = 0.0004; // the Lorenz step's model time

const AttractorChoice& attractor(const char* name) { return *headless::findAttractor(name); }

// The real parts of the roots of x^3 + p x^2 + q x + r, the largest first: one real root by
// Newton's method, the other two from the quadratic left over.
double largestRealPart(double p, double q, double r)
{
    double x = -p;
    for (int i = 0; i < 100; ++i)
        x -= (((x + p) * x + q) * x + r) / ((3 * x + 2 * p) * x + q);
    const double b = p + x; // x^2 + b x + c is what is left
    const double c = q + x * b;
    const std::complex<double> root = (-b + std::sqrt(std::complex<double>(b * b - 4 * c))) / 2.0;
    return std::max(x, root.real());
}

class LorenzExponent : public ::testing::Test {
protected:
    static LyapunovEstimate estimate(double rho)
    {
        return estimateLyapunov(attractor("lorenz"), {10, rho, 2.6666666666666665}, {});
    }
};

TEST_F(LorenzExponent, MatchesThePublishedValueWithinOnePercent)
{
    const LyapunovEstimate e = estimate(28);
    ASSERT_EQ(e.outcome, LyapunovEstimate::Outcome::Measured);
    EXPECT_NEAR(e.perStep / kLorenzTimeStep, 0.9056, 0.009056);
    // The blocks agree to about 1 %; a standard error far from that means they do not measure
    // the same thing.
    EXPECT_GT(e.standardError / kLorenzTimeStep, 0.002);
    EXPECT_LT(e.standardError / kLorenzTimeStep, 0.02);
    EXPECT_TRUE(e.isChaotic());
    EXPECT_EQ(e.measuredSteps, 1'000'000u);
}

// At rho = 10 both of Lorenz's fixed points off the origin attract: the orbit settles on one,
// and the exponent is the largest real part of the eigenvalues of the flow's Jacobian there,
// the roots of x^3 + (sigma + beta + 1) x^2 + beta (sigma + rho) x + 2 sigma beta (rho - 1).
TEST_F(LorenzExponent, IsTheFixedPointsSlowestDecayWhenTheOrbitSettles)
{
    const double sigma = 10, rho = 10, beta = 2.6666666666666665;
    const double expected = largestRealPart(
        sigma + beta + 1, beta * (sigma + rho), 2 * sigma * beta * (rho - 1)); // about -0.5951
    const LyapunovEstimate e = estimate(rho);
    ASSERT_EQ(e.outcome, LyapunovEstimate::Outcome::Measured);
    EXPECT_NEAR(e.perStep / kLorenzTimeStep, expected, 0.01);
    EXPECT_LT(e.perStep + 3 * e.standardError, 0) << "clearly negative";
    EXPECT_FALSE(e.isChaotic());
}

// Pickover with e = 0 is x' = sin(a y), y' = -cos(d y): y follows a map of its own, and x only
// copies a function of y. So a companion moved along x' lands on orbit 1 in the next step, and
// the exponent is that of the map of y, the mean of ln|d sin(d y)| along its orbit.
class PickoverExponent : public ::testing::Test {
protected:
    static LyapunovEstimate estimate(double d, const BenettinSettings& settings = {})
    {
        return estimateLyapunov(attractor("pickover"), {2.23, 0.5, -0.67, d, 0}, settings);
    }
};

TEST_F(PickoverExponent, AtAnAttractingFixedPointIsTheLogOfItsSlope)
{
    // y = -cos(y) has one fixed point, y* = -0.739085..., with slope sin(y*), |slope| < 1.
    double y = 0;
    for (int i = 0; i < 200; ++i)
        y = -std::cos(y);
    const double expected = std::log(std::fabs(std::sin(y))); // about -0.3951

    const LyapunovEstimate e = estimate(1);
    ASSERT_EQ(e.outcome, LyapunovEstimate::Outcome::Measured);
    EXPECT_NEAR(e.perStep, expected, 1e-6);
    // The companion first moved along x' fell onto orbit 1; that period is left out and the
    // companion moved along y' instead.
    EXPECT_EQ(e.periodsLeftOut, 1u);
    EXPECT_EQ(e.firstLeftOut, 100'001u + 10);
    EXPECT_EQ(e.measuredSteps, 1'000'000u - 10);
    EXPECT_FALSE(e.isChaotic());
}

TEST_F(PickoverExponent, OnAChaoticOrbitIsTheMeanLogSlopeAlongIt)
{
    const double d = -2.1;
    double y = 0, sum = 0;
    constexpr int kSteps = 2'000'000;
    for (int i = 0; i < 1000; ++i)
        y = -std::cos(d * y);
    for (int i = 0; i < kSteps; ++i) {
        sum += std::log(std::fabs(d * std::sin(d * y)));
        y = -std::cos(d * y);
    }
    const double expected = sum / kSteps; // about 0.347

    const LyapunovEstimate e = estimate(d);
    ASSERT_EQ(e.outcome, LyapunovEstimate::Outcome::Measured);
    EXPECT_NEAR(e.perStep, expected, 0.002);
    EXPECT_LT(e.standardError, 0.001);
    EXPECT_TRUE(e.isChaotic());
}

// With d = 0 as well, the map sends every point to (sin(0), -cos(0)) = (0, -1): the companion
// falls onto orbit 1 whichever way it is moved, at the first measurement along x', then at
// the next along y'. The exponent is minus infinity, and the run ends there.
TEST_F(PickoverExponent, OfAMapThatSendsEveryPointToOneIsMinusInfinity)
{
    const LyapunovEstimate e = estimate(0, {1000, 1000, 10});
    EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::Collapsed);
    EXPECT_EQ(e.perStep, -INFINITY);
    EXPECT_EQ(e.step, 1001u + 20);
    EXPECT_FALSE(e.isChaotic());
}

// Lorenz with sigma = 10^6 swings x by 400 times its distance from y at every Euler step of
// 0.0004 and overflows within a few steps. The step at which it first does, worked out here:
// x, y, z are the state a flow holds at the pump of step n + 1 after n advances.
TEST(EscapingOrbit, IsReportedAtTheStepItLeavesTheNumbers)
{
    const double a = 1e6, b = 28, c = 2.667, h = 0.0004;
    double x = 3.141593, y = 3.141593, z = 3.141593;
    std::uint64_t step = 1;
    while (std::isfinite(x) && std::isfinite(y) && std::isfinite(z)) {
        x = x + (y - x) * a * h;
        y = y + (b * x - y - x * z) * h;
        z = z + (x * y - c * z) * h;
        ++step;
    }
    ASSERT_LT(step, 100u);

    const LyapunovEstimate e = estimateLyapunov(attractor("lorenz"), {a, b, c}, {});
    EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::Escaped);
    EXPECT_EQ(e.step, step);
    EXPECT_FALSE(e.companionEscaped);
    EXPECT_FALSE(e.hasExponent());
    EXPECT_TRUE(std::isnan(e.perStep));
}

// Equation 8 with a = 10^9 and b = d = 0 is x' = 10^9 - y, y' = x: it goes round (0, 0),
// (10^9, 0), (10^9, 10^9), (0, 10^9), where 10^9 + 10^-8 is 10^9 in double precision. A
// companion 10^-8 away along a coordinate that orbit 1 holds at 0 is carried within a step or
// two into one where it holds 10^9, and lost there.
TEST(FarOutOrbit, HasNoExponentOnceTheNumbersCannotHoldTheDistance)
{
    const LyapunovEstimate e
        = estimateLyapunov(attractor("eqn8"), {1e9, 0, 0, 0}, {1000, 1000, 10});
    EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::OutOfReach);
    EXPECT_GT(e.step, 1000u);
    EXPECT_LE(e.step, 1001u + 10);
    EXPECT_EQ(e.largestCoordinate, 1e9);
    EXPECT_FALSE(e.hasExponent());
}

// Hopalong with a = b = c = 0 sits at (0, 0), on the jump of sgn(x) in x' = y - sgn(x) -
// sqrt|b x - c|: a companion 1e-8 to the right is sent to x' = -1 by the next step, and stays a
// unit or so away. ln(1 / 1e-8) per period is the jump, not an exponent, whatever the period.
TEST(JumpingCompanion, HasNoExponentWhateverThePeriod)
{
    for (const std::uint64_t renorm : {1u, 10u, 100u}) {
        SCOPED_TRACE(::testing::Message() << "renorm " << renorm);
        const LyapunovEstimate e
            = estimateLyapunov(attractor("hopalong"), {0, 0, 0}, {1000, 10000, renorm});
        EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::LeftNeighbourhood);
        EXPECT_FALSE(e.hasExponent());
        EXPECT_FALSE(e.isChaotic());
        EXPECT_EQ(e.step, 1001 + renorm); // the first measurement
        EXPECT_EQ(e.period, renorm);
        if (renorm == 1) {
            EXPECT_EQ(e.jump, 1.0); // (-1, -1e-8) against (0, 0)
        } else {
            EXPECT_GT(e.jump, 0.5);
            EXPECT_LT(e.jump, 3.0);
        }
    }
}

// Pickover's orbit grows a distance by about e^0.41 a step on average, faster in places. Twenty
// steps keep a companion 1e-8 away within a hundredth of the attractor's size; two hundred
// would take it e^82 times as far, so it is as far from orbit 1 as the attractor is wide long
// before the period ends.
TEST(JumpingCompanion, IsAPeriodTooLongForTheGrowth)
{
    const ParameterSet pickover {2.23, 0.5, -0.67, -2.1, 1};
    EXPECT_EQ(estimateLyapunov(attractor("pickover"), pickover, {1000, 20000, 20}).outcome,
        LyapunovEstimate::Outcome::Measured);
    const LyapunovEstimate e
        = estimateLyapunov(attractor("pickover"), pickover, {1000, 20000, 200});
    EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::LeftNeighbourhood);
    EXPECT_GT(e.jump, 1e-3);
}

// Every step after the transient is measured, also when the blocks or the periods do not
// divide the steps evenly: the last period of each block is shorter.
TEST(MeasuredSteps, AreAllTheStepsAskedForWhateverTheyDivideInto)
{
    for (const BenettinSettings settings : {BenettinSettings {1000, 1005, 10},
             BenettinSettings {0, 15, 4}, BenettinSettings {10, 10, 1000}}) {
        const LyapunovEstimate e
            = estimateLyapunov(attractor("hopalong"), {0.724, -0.565, -0.117}, settings);
        EXPECT_EQ(e.outcome, LyapunovEstimate::Outcome::Measured);
        EXPECT_EQ(e.measuredSteps, settings.steps);
        EXPECT_TRUE(std::isfinite(e.standardError)) << settings.steps;
    }
}

// Chaotic only when lambda_1 is above zero by more than twice its standard error.
TEST(Verdict, IsChaoticOnlyAboveTwiceTheStandardError)
{
    using Outcome = LyapunovEstimate::Outcome;
    struct Case {
        Outcome outcome;
        double perStep;
        double standardError;
        bool chaotic;
    };
    const Case cases[] = {
        {Outcome::Measured, 0.1, 0.04, true},
        {Outcome::Measured, 0.1, 0.05, false}, // exactly twice: not above it
        {Outcome::Measured, 0.1, 0.07, false},
        {Outcome::Measured, 0.1, 0, true},
        {Outcome::Measured, -0.1, 0.001, false},
        {Outcome::Measured, 0, 0, false},
        {Outcome::Measured, 0.1, NAN, false}, // an unknown error shows nothing
        {Outcome::Collapsed, -INFINITY, NAN, false},
        {Outcome::Escaped, NAN, NAN, false},
    };
    for (const Case& c : cases) {
        LyapunovEstimate e;
        e.outcome = c.outcome;
        e.perStep = c.perStep;
        e.standardError = c.standardError;
        EXPECT_EQ(e.isChaotic(), c.chaotic) << c.perStep << " +- " << c.standardError;
    }
}

// A range's numbers do not depend on how many threads measure it, nor on which thread
// measures which value.
TEST(ParameterSweep, GivesTheSameNumbersBitForBitOnOneThreadAndOnThree)
{
    const Sweep sweep {Param::a, -1, 1.5, 7};
    std::vector<ParameterSet> sets;
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        sets.push_back(sweep.parameters({0.724, -0.565, -0.117}, i));
    EXPECT_EQ(sets[0].a, -1);
    EXPECT_EQ(sets[6].a, 1.5);
    EXPECT_EQ(sets[3].b, -0.565);
    EXPECT_EQ((Sweep {Param::c, 2, 3, 1}.value(0)), 2) << "one value is FROM";

    const BenettinSettings settings {1000, 20'000, 10};
    const auto one = estimateAll(attractor("hopalong"), sets, settings, 1, nullptr);
    const auto three = estimateAll(attractor("hopalong"), sets, settings, 3, nullptr);
    ASSERT_EQ(one.size(), sets.size());
    ASSERT_EQ(three.size(), sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(std::memcmp(&one[i].perStep, &three[i].perStep, sizeof(double)), 0) << i;
        EXPECT_EQ(std::memcmp(&one[i].standardError, &three[i].standardError, sizeof(double)), 0);
        EXPECT_EQ(one[i].outcome, three[i].outcome);
        // Each value is its own run: measured alone, it gives the same number.
        const LyapunovEstimate alone = estimateLyapunov(attractor("hopalong"), sets[i], settings);
        EXPECT_EQ(std::memcmp(&one[i].perStep, &alone.perStep, sizeof(double)), 0) << i;
    }
}

// COUNT values spaced evenly, every one of them, not only the ends: -4 to 4 in 9 values is each
// whole number between.
TEST(ParameterSweep, SpacesEveryValueEvenly)
{
    const Sweep sweep {Param::b, -4, 4, 9};
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        EXPECT_EQ(sweep.value(i), -4.0 + static_cast<double>(i)) << "value " << i;
    const Sweep down {Param::b, 1, 0, 5}; // TO may lie below FROM
    for (std::uint64_t i = 0; i < down.count; ++i)
        EXPECT_EQ(down.value(i), 1 - 0.25 * static_cast<double>(i)) << "value " << i;
}

// A system that refuses threads gives the same numbers: the threads it does allow, or the
// calling thread alone, measure every value.
TEST(ParameterSweep, MeasuresEveryValueWhenTheSystemRefusesThreads)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs an address space without a limit";
#endif
    const Sweep sweep {Param::a, 0.5, 1, 8};
    std::vector<ParameterSet> sets;
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        sets.push_back(sweep.parameters({0.724, -0.565, -0.117}, i));
    const BenettinSettings settings {100, 1000, 10};
    const auto one = estimateAll(attractor("hopalong"), sets, settings, 1, nullptr);

    expectRightWhenThreadsAreRefused([&] {
        const auto many = estimateAll(attractor("hopalong"), sets, settings, 64, nullptr);
        for (std::size_t i = 0; i < sets.size(); ++i)
            if (std::memcmp(&one[i].perStep, &many[i].perStep, sizeof(double)) != 0)
                return false;
        return true;
    });
}

} // namespace
} // namespace quorvane::analysis
