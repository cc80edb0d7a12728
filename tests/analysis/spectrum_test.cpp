// Every Lyapunov exponent as quorvane lyapunov --spectrum measures it, against values from
// outside the program: the published Lorenz exponents, the volume Lorenz's Euler step keeps,
// worked out here from its formula, the area Hopalong's step keeps, the two-orbit method's
// largest exponent, and Kaplan-Yorke dimensions worked by hand.

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "analysis/spectrum.h"
#include "analysis/spectrum_tracker.h"
#include "headless/headless_run.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace quorvane::analysis {
namespace {

using Outcome = SpectrumEstimate::Outcome;

const headless::AttractorChoice& attractor(const char* name)
{
    return *headless::findAttractor(name);
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The run quorvane lyapunov makes by default: a transient of 100000, a million steps measured,
// renormalised every 10.
class LorenzSpectrum : public ::testing::Test {
protected:
    static constexpr double a = 10, b = 28, c = 2.6666666666666665, dt = 0.0004;

    static const SpectrumEstimate& estimate()
    {
        static const SpectrumEstimate e = estimateSpectrum(attractor("lorenz"), {a, b, c}, {});
        return e;
    }
};

// Sprott's table gives (0.906, 0, -14.572) per unit time for the flow.
TEST_F(LorenzSpectrum, MatchesThePublishedExponents)
{
    const SpectrumEstimate& e = estimate();
    ASSERT_EQ(e.outcome, Outcome::Measured);
    ASSERT_EQ(e.count, 3u);
    EXPECT_NEAR(e.perStep[0] / dt, 0.906, 0.00906);
    EXPECT_NEAR(e.perStep[1] / dt, 0, 0.02);
    EXPECT_NEAR(e.perStep[2] / dt, -14.572, 0.1);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_GT(e.standardError[k], 0) << k;
    // D = 2 + (lambda_1 + lambda_2) / |lambda_3|, about 2.062.
    EXPECT_NEAR(e.kaplanYorke, 2.062, 0.005);
}

// The Euler step's Jacobian has the determinant (1 - a dt)(1 - dt)(1 - c dt) at every point, so
// the exponents add up to its logarithm per step: -13.688 per unit time, where the flow's
// exponents add up to -(a + 1 + c) = -13.667.
TEST_F(LorenzSpectrum, AddsUpToTheVolumeTheEulerStepKeeps)
{
    const SpectrumEstimate& e = estimate();
    const double expected = std::log((1 - a * dt) * (1 - dt) * (1 - c * dt)) / dt;
    EXPECT_NEAR(e.sum / dt, expected, 1e-9 * std::fabs(expected));
    EXPECT_NEAR(e.meanLogDet / dt, expected, 1e-9 * std::fabs(expected));
}

// The two methods measure the same orbit's largest exponent: they agree within their errors.
TEST(SpectrumAgainstTwoOrbits, AgreeOnTheLargestExponent)
{
    struct Case {
        const char* name;
        ParameterSet p;
        BenettinSettings settings;
    };
    const Case cases[] = {
        {"lorenz", {10, 28, 2.6666666666666665}, {20'000, 500'000, 10}},
        {"pickover", {2.23, 0.5, -0.67, -2.1, 1}, {1'000, 200'000, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SpectrumEstimate s = estimateSpectrum(attractor(c.name), c.p, c.settings);
        const LyapunovEstimate l = estimateLyapunov(attractor(c.name), c.p, c.settings);
        ASSERT_EQ(s.outcome, Outcome::Measured);
        ASSERT_EQ(l.outcome, LyapunovEstimate::Outcome::Measured);
        EXPECT_GT(s.perStep[0], 0);
        EXPECT_NEAR(s.perStep[0], l.perStep, 2 * std::hypot(s.standardError[0], l.standardError));
    }
}

// Hopalong's Jacobian has determinant 1 wherever it is smooth: its exponents add up to 0.
TEST(HopalongSpectrum, KeepsArea)
{
    const SpectrumEstimate e
        = estimateSpectrum(attractor("hopalong"), {0.724, -0.565, -0.117}, {1'000, 200'000, 10});
    ASSERT_EQ(e.outcome, Outcome::Measured);
    EXPECT_GT(e.perStep[0], 0);
    EXPECT_NEAR(e.perStep[0] + e.perStep[1], 0, 1e-9);
    EXPECT_NEAR(e.meanLogDet, 0, 1e-9);
    EXPECT_NEAR(e.kaplanYorke, 2, 1e-6);
}

// Pickover with e = 0 is x' = sin(a y), y' = -cos(d y): its Jacobian is singular everywhere,
// so the second exponent is -inf, and the first that of the map of y alone, the mean of
// ln|d sin(d y)| along its orbit, which converges to a fixed point for d = 1.
TEST(SingularStep, GivesTheLastExponentMinusInfinity)
{
    const SpectrumEstimate e
        = estimateSpectrum(attractor("pickover"), {2.23, 0.5, -0.67, 1, 0}, {1'000, 10'000, 10});
    ASSERT_EQ(e.outcome, Outcome::Measured);
    double y = -1; // the fixed point of y' = -cos(y), by iteration
    for (int i = 0; i < 1000; ++i)
        y = -std::cos(y);
    // The first period turns the start vectors onto the one direction the step keeps; that
    // costs about 1 / 10000 here.
    EXPECT_NEAR(e.perStep[0], std::log(std::fabs(std::sin(y))), 1e-3);
    EXPECT_EQ(e.perStep[1], -kInfinity);
    EXPECT_EQ(e.meanLogDet, -kInfinity);
    EXPECT_EQ(e.kaplanYorke, 0);
}

// Hopalong with a = b = c = 0 stays at (0, 0), where x' = y - (sgn(x) + sqrt|b x - c|) meets
// the sign function's jump: no smooth step explains what a neighbouring point does there.
TEST(NotSmooth, EndsTheEstimateWithTheStepAndThePoint)
{
    const SpectrumEstimate e = estimateSpectrum(attractor("hopalong"), {}, {10, 100, 10});
    EXPECT_EQ(e.outcome, Outcome::NotSmooth);
    EXPECT_FALSE(e.hasExponents());
    EXPECT_EQ(e.step, 11u); // the first step the tangent vectors are carried over
    EXPECT_EQ(e.point[0], 0);
    EXPECT_EQ(e.point[1], 0);
    EXPECT_TRUE(std::isnan(e.perStep[0]));
}

// Between two orthonormalisations 20000 Lorenz steps part the tangent vectors by about
// e^(15.5 * 8) = 1e54: far beyond the sixteen digits that keep them apart. The first such
// period might be a near-singular step; the second in a row ends the estimate.
TEST(PeriodTooLong, EndsTheEstimateRatherThanMeasuringRounding)
{
    const SpectrumEstimate e = estimateSpectrum(
        attractor("lorenz"), {10, 28, 2.6666666666666665}, {1'000, 400'000, 20'000});
    EXPECT_EQ(e.outcome, Outcome::PeriodTooLong);
    EXPECT_EQ(e.step, 41'001u);
    EXPECT_EQ(e.period, 20'000u);
    EXPECT_FALSE(e.hasExponents());
}

// Modified Gram-Schmidt on columns worked by hand: (3, 4) and (1, 2) give R = (5, 0.4); a
// second column along the first to within rounding is Close, kept where no step was singular
// and 0 where one was; one whose length leaves [1e-150, 1e150] is out of range.
TEST(Orthonormalise, FollowsGramSchmidtAndTellsRoundingFromADirection)
{
    using Tracker = SpectrumTracker<Hopalong>;
    using Fit = Tracker::Fit;
    const auto matrix = [](double a, double b, double c, double d) {
        Tracker::Matrix m {};
        m[0][0] = a; // columns (a, c) and (b, d)
        m[0][1] = b;
        m[1][0] = c;
        m[1][1] = d;
        return m;
    };
    std::array<double, 2> r {};
    Tracker::Matrix m = matrix(3, 1, 4, 2);
    EXPECT_EQ(Tracker::orthonormalise(m, false, r), Fit::Apart);
    EXPECT_NEAR(r[0], 5, 1e-14);
    EXPECT_NEAR(r[1], 0.4, 1e-14); // (1, 2) less its part 11/5 along (0.6, 0.8)
    EXPECT_NEAR(m[0][0], 0.6, 1e-14);
    EXPECT_NEAR(m[1][0], 0.8, 1e-14);
    EXPECT_NEAR(m[0][1], -0.8, 1e-14);
    EXPECT_NEAR(m[1][1], 0.6, 1e-14);

    m = matrix(1, 1, 0, 1e-15);
    EXPECT_EQ(Tracker::orthonormalise(m, false, r), Fit::Close);
    EXPECT_DOUBLE_EQ(r[1], 1e-15);
    m = matrix(1, 1, 0, 1e-15);
    EXPECT_EQ(Tracker::orthonormalise(m, true, r), Fit::Close);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(m[0][1] * m[0][1] + m[1][1] * m[1][1], 1); // a direction all the same
    EXPECT_EQ(m[0][0] * m[0][1] + m[1][0] * m[1][1], 0);
    m = matrix(1, 2, 0, 0);
    EXPECT_EQ(Tracker::orthonormalise(m, false, r), Fit::Close);
    EXPECT_DOUBLE_EQ(r[1], 2 * DBL_EPSILON); // the size of rounding, not 0

    m = matrix(1e151, 0, 0, 1);
    EXPECT_EQ(Tracker::orthonormalise(m, false, r), Fit::OutOfRange);
    m = matrix(1e-151, 0, 0, 1);
    EXPECT_EQ(Tracker::orthonormalise(m, false, r), Fit::OutOfRange);
    m = matrix(1e-151, 0, 0, 1);
    EXPECT_EQ(Tracker::orthonormalise(m, true, r), Fit::Apart); // a singular step's image
}

// An orbit that overflows ends the estimate at the pump where it first is no number.
TEST(Escaped, EndsTheEstimateWhereTheOrbitLeavesTheNumbers)
{
    const SpectrumEstimate e = estimateSpectrum(attractor("lorenz"), {1e6, 28, 2.667}, {});
    EXPECT_EQ(e.outcome, Outcome::Escaped);
    EXPECT_EQ(e.step, 10u);
    EXPECT_FALSE(e.hasExponents());
}

// Whether two estimates hold the same numbers, bit for bit, not-a-number included.
bool sameBits(const SpectrumEstimate& x, const SpectrumEstimate& y)
{
    const auto same = [](double u, double v) {
        return std::bit_cast<std::uint64_t>(u) == std::bit_cast<std::uint64_t>(v);
    };
    bool equal = x.outcome == y.outcome && x.count == y.count && x.step == y.step
        && same(x.sum, y.sum) && same(x.meanLogDet, y.meanLogDet)
        && same(x.kaplanYorke, y.kaplanYorke);
    for (std::size_t k = 0; k < SpectrumEstimate::kMost; ++k)
        equal = equal && same(x.perStep[k], y.perStep[k])
            && same(x.standardError[k], y.standardError[k]);
    return equal;
}

// A range gives the same numbers on any number of threads.
TEST(Spectra, AreTheSameOnAnyNumberOfThreads)
{
    std::vector<ParameterSet> sets;
    for (int i = 0; i < 5; ++i)
        sets.push_back({10, 20.0 + 5 * i, 2.6666666666666665});
    const BenettinSettings settings {1'000, 20'000, 10};
    const auto one = estimateSpectra(attractor("lorenz"), sets, settings, 1, nullptr);
    const auto three = estimateSpectra(attractor("lorenz"), sets, settings, 3, nullptr);
    ASSERT_EQ(one.size(), 5u);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_TRUE(sameBits(one[i], estimateSpectrum(attractor("lorenz"), sets[i], settings)));
        EXPECT_TRUE(sameBits(three[i], one[i]));
    }
}

// An estimate whose tangent vectors are carried by the code `code`.
SpectrumEstimate estimateWith(TangentCode code, const headless::AttractorChoice& choice,
    const ParameterSet& p, const BenettinSettings& settings)
{
    headless::HeadlessRun run({&choice, p, p, runSteps(settings)});
    return headless::visitAttractor(choice.id, [&]<Attractor A>() {
        SpectrumTracker<A> tracker(settings, nullptr, code);
        run.setObserver(
            [&](std::uint64_t step, WindowVars& vars) { return tracker.observe(step, vars); });
        run.run();
        return tracker.result();
    });
}

// The code built for AVX2 gives the numbers of the baseline code, bit for bit, for every
// attractor.
TEST(Spectra, AreTheSameInTheBaselineAndTheAvx2Code)
{
    if (bestTangentCode() != TangentCode::Avx2)
        GTEST_SKIP() << "the processor has no AVX2";
    for (const headless::AttractorChoice& choice : headless::attractorChoices()) {
        SCOPED_TRACE(choice.name);
        WindowVars vars;
        for (const Prompt& prompt : choice.texts.prompts)
            vars.parameter(prompt.target) = prompt.defaultValue;
        const BenettinSettings settings {1'000, 20'000, 10};
        const SpectrumEstimate baseline
            = estimateWith(TangentCode::Baseline, choice, vars.set1, settings);
        EXPECT_EQ(baseline.outcome, Outcome::Measured);
        EXPECT_TRUE(
            sameBits(baseline, estimateWith(TangentCode::Avx2, choice, vars.set1, settings)));
    }
}

// Memory refused to one measurement reaches the caller, which can report it, rather than
// ending the program in the worker's thread.
TEST(Spectra, HandAMeasurementsFailureToTheCaller)
{
    for (const unsigned threads : {1u, 4u})
        EXPECT_THROW(measureEach(100, threads, nullptr,
                         [](std::size_t i, std::atomic<std::uint64_t>&) {
                             if (i == 37)
                                 throw std::bad_alloc();
                         }),
            std::bad_alloc);
}

// D = j + (lambda_1 + ... + lambda_j) / |lambda_(j+1)|, worked by hand.
TEST(KaplanYorke, FollowsItsFormulaAndItsEdges)
{
    const auto d = [](std::vector<double> exponents) { return kaplanYorke(exponents); };
    EXPECT_EQ(d({-0.1, -0.5}), 0); // a point attracts
    EXPECT_EQ(d({-0.1, -0.5, -2}), 0);
    EXPECT_EQ(d({0.3, 0.2}), 2); // all positive: the full dimension
    EXPECT_EQ(d({0.5, -0.5}), 2); // a zero sum
    EXPECT_EQ(d({0.5, 0, -0.5}), 3);
    EXPECT_EQ(d({0, -1}), 1); // a closed orbit of a flow
    EXPECT_DOUBLE_EQ(d({0.906, 0, -14.572}), 2 + 0.906 / 14.572);
    EXPECT_DOUBLE_EQ(d({1, -0.5, -2}), 2.25);
    EXPECT_DOUBLE_EQ(d({0.4, -0.8}), 1.5);
    EXPECT_EQ(d({0.3, -kInfinity}), 1);
    EXPECT_TRUE(std::isnan(d({0.3, std::nan("")})));
}

} // namespace
} // namespace quorvane::analysis
