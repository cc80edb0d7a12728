#include "attractors/pickover.h"

#include "attractors/attractor_run.h"

#include <cmath>

namespace quorvane::test {
namespace {

class PickoverRun : public AttractorRun { };

TEST_F(PickoverRun, AsksAllTenPromptsThenClearsAndSetsItsCaption)
{
    run("mnuPIK2", 1);
    const char* const hints[] = {"{Try  2.21 to 4.73}", "{Try  0.42 to 10}", "{Try  -10 to +10}",
        "{Try  -2.05 to -5.0}", "{Try  0.3  to  2.0}"};
    const char* const names[] = {"a", "b", "c", "d", "e", "aa", "bb", "cc", "dd", "ee"};
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < 10; ++i)
        texts.push_back(std::string("Entre a value for (") + names[i] + ")    " + hints[i % 5]);
    const char* const defaults[] = {"2.23", "0.5", "-0.67", "-2.1", "1"};
    expectCommand(texts, "Pickover", defaults, "Pickover2   ");
}

TEST_F(PickoverRun, DefaultsFromRestGiveTheKnownFirstPoints)
{
    WindowVars vars;
    vars.set1 = {2.23, 0.5, -0.67, -2.1, 1};
    const double table[][2]
        = {{0, -1}, {-0.7904802223, 0.5048461046}, {1.5585150241, -0.8477639526},
            {-1.6607061781, -0.6564814306}, {-0.3224074643, -1.0842658984}};
    for (const auto& point : table) {
        Pickover::beforePlots(vars);
        Pickover::afterStopTest(vars);
        EXPECT_NEAR(vars.orbit1.x, point[0], 1e-10);
        EXPECT_NEAR(vars.orbit1.y, point[1], 1e-10);
    }
}

TEST_F(PickoverRun, EachFormulaMultipliesInItsStatedOrder)
{
    // sin(x) times e first, then times cos(b x) or sin(c x); here regrouping changes the last
    // bits.
    const double x = 2.86, y = -0.28;
    const ParameterSet p {-0.2, 4.6, -0.4, -4.2, -1.9};
    Orbit o {x, 0, y, 0, 0};
    Pickover::next(o, p);
    EXPECT_EQ(o.xNext, std::sin(p.a * y) - std::sin(x) * p.e * std::cos(p.b * x));
    EXPECT_EQ(o.yNext, std::sin(x) * p.e * std::sin(p.c * x) - std::cos(p.d * y));
    EXPECT_EQ(o.x, x); // nothing is committed by the computation itself

    // With e = 0 only the a and d terms are left.
    Pickover::next(o, {-0.2, 4.6, -0.4, -4.2, 0});
    EXPECT_EQ(o.xNext, std::sin(-0.2 * y));
    EXPECT_EQ(o.yNext, -std::cos(-4.2 * y));
}

TEST_F(PickoverRun, AFaultingArgumentLeavesThatCoordinateAsItWas)
{
    // Each of the four argument products in turn is driven past the double range.
    struct Case {
        ParameterSet p;
        bool xKept;
        bool yKept;
    };
    const Case cases[] = {
        {{0.5, 1e308, 0.5, 0.5, 1}, true, false},
        {{1e308, 0.5, 0.5, 0.5, 1}, true, false},
        {{0.5, 0.5, 1e308, 0.5, 1}, false, true},
        {{0.5, 0.5, 0.5, 1e308, 1}, false, true},
    };
    for (const Case& c : cases) {
        Orbit o {2, 0.25, -3, -0.125, 0};
        Pickover::next(o, c.p);
        EXPECT_EQ(o.xNext == 0.25, c.xKept);
        EXPECT_EQ(o.yNext == -0.125, c.yKept);
        EXPECT_TRUE(std::isfinite(o.xNext) && std::isfinite(o.yNext));
    }

    // From (0, 0) no product can fault, whatever the parameters: the first point is (0, -1).
    Orbit rest;
    Pickover::next(rest, {1e308, -1e308, 1e308, -1e308, 1e308});
    EXPECT_EQ(rest.xNext, 0.0);
    EXPECT_EQ(rest.yNext, -1.0);
}

TEST_F(PickoverRun, OrbitTwoShiftJoinsXBeforeTheScaledTermAndYAfterTheSum)
{
    // Values where the two groupings round differently.
    const Orbit o {0, -0.2696630150795558, 0, -0.17268604952832156, 0};
    const Point p = Pickover::map(o, 10, kW, kH);
    EXPECT_EQ(p.x, 3000 * o.xNext + (kW / 2 + 10));
    EXPECT_EQ(p.y, (3000 * o.yNext + kH / 2) + 10);
    EXPECT_NE(p.x, (3000 * o.xNext + kW / 2) + 10);
    EXPECT_NE(p.y, 3000 * o.yNext + (kH / 2 + 10));
}

TEST_F(PickoverRun, DefaultsDrawOrbitTwoOverOrbitOneWithinTheBounds)
{
    run("mnuPIK2", 200);
    const auto green = orbitPlots(Surface::Window, kGreen);
    const auto red = orbitPlots(Surface::Picture, kRed);
    ASSERT_EQ(green.size(), 200u);
    ASSERT_EQ(red.size(), 200u);
    for (std::size_t i = 0; i < green.size(); ++i) {
        EXPECT_NEAR(red[i].x - green[i].x, 10.0f, 1e-3f) << i;
        EXPECT_NEAR(red[i].y - green[i].y, 10.0f, 1e-3f) << i;
        EXPECT_LE(std::fabs(green[i].x - kW / 2), 6000.0);
        EXPECT_LE(std::fabs(green[i].y - kH / 2), 6000.0);
    }
}

TEST_F(PickoverRun, WithEveryParameterZeroBothOrbitsStayAtZeroMinusOne)
{
    // The start point (0, 0) is never drawn.
    run("mnuPIK2", 30, std::deque<std::optional<std::string>>(10, std::nullopt));
    const float y = static_cast<float>(-3000 + kH / 2);
    expectEveryStepAt(30, static_cast<float>(kW / 2), y, static_cast<float>(kW / 2 + 10),
        static_cast<float>((-3000 + kH / 2) + 10));
}

} // namespace
} // namespace quorvane::test
