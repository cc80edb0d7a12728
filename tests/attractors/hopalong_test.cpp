#include "attractors/hopalong.h"

#include "attractors/attractor_run.h"

#include <cmath>
#include <limits>

namespace quorvane::test {
namespace {

class HopalongRun : public AttractorRun {
protected:
    static float atX(double x, double shift = 0)
    {
        return static_cast<float>(500 * x + (kW / 2 + shift));
    }
    static float atY(double y, double shift = 0)
    {
        return static_cast<float>(500 * y + (kH / 2 + shift));
    }
    static constexpr ParameterSet kDefaults {0.724, -0.565, -0.117, 0, 0};
};

TEST_F(HopalongRun, AsksItsPromptsThenClearsAndSetsItsCaption)
{
    run("mnuHop1", 1);
    std::vector<std::string> texts;
    for (const char* name : {"a", "b", "c", "aa", "bb", "cc"})
        texts.push_back(std::string("Entre a value for (") + name + ")    {Try  -1.0  to  +1.0}");
    const char* const defaults[] = {"0.724", "-0.565", "-0.117"};
    expectCommand(texts, "Hopalong-1", defaults, "Hopalong(1)   ");
}

TEST_F(HopalongRun, DefaultsFromRestGiveTheKnownFirstPoints)
{
    WindowVars vars;
    vars.set1 = kDefaults;
    const double table[][2]
        = {{-0.3420526275, 0.724}, {1.1669903640, 1.0660526275}, {-0.6703912303, -0.4429903640},
            {-0.1471004727, 1.3943912303}, {1.9470526928, 0.8711004727}};
    for (const auto& point : table) {
        Hopalong::beforePlots(vars);
        Hopalong::afterStopTest(vars);
        EXPECT_NEAR(vars.orbit1.x, point[0], 1e-10);
        EXPECT_NEAR(vars.orbit1.y, point[1], 1e-10);
    }
    EXPECT_EQ(vars.orbit1.x, 1.9470526928368164);
    EXPECT_EQ(vars.orbit1.y, 0.8711004726852358);

    // The sign is added to the root before both leave y; y - sgn - root differs in the last bit.
    Orbit o {0.6, 0, -1.3, 0, 0};
    Hopalong::next(o, {0.3, 1.7, -0.4, 0, 0});
    EXPECT_EQ(o.xNext, -3.4916375287812986);
}

TEST_F(HopalongRun, ZeroBAndCReduceTheMapAndDAndEPlayNoPart)
{
    for (const double x : {-2.5, 0.0, 1.75}) {
        const double sign = (x > 0) - (x < 0);
        Orbit o {x, 0, 0.375, 0, 0};
        Hopalong::next(o, {0.5, 0, 0.09, 1e308, -1e308});
        EXPECT_EQ(o.xNext, 0.375 - (sign + 0.3));
        EXPECT_EQ(o.yNext, 0.5 - x);
        Hopalong::next(o, {0.5, 0, 0, 0, 0});
        EXPECT_EQ(o.xNext, 0.375 - sign);
    }
}

TEST_F(HopalongRun, FaultsFollowTheRootArgumentTestAndTheStores)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    // b x - c overflows: x' keeps what it held, y' is still computed.
    Orbit o {1e308, 0.25, 3, 0, 0};
    Hopalong::next(o, {0.5, 10, 0, 0, 0});
    EXPECT_EQ(o.xNext, 0.25);
    EXPECT_EQ(o.yNext, 0.5 - 1e308);
    // An overflowing y' is stored as it is.
    o = {-1e308, 0, 3, 0, 0};
    Hopalong::next(o, {1e308, 0, 0, 0, 0});
    EXPECT_EQ(o.yNext, kInf);
    // Past the root's test an infinite x' is stored too.
    o = {2, 0, kInf, 0, 0};
    Hopalong::next(o, {0, 1, 0, 0, 0});
    EXPECT_EQ(o.xNext, kInf);
}

TEST_F(HopalongRun, PlotsTheNewPointAndCommitsItOnlyAfterTheStopTest)
{
    Orbit atSecondPump;
    atPump(2, [this, &atSecondPump] { atSecondPump = frm1.vars.orbit1; });
    run("mnuHop1", 2);
    const double p1x = -std::sqrt(0.117), p1y = 0.724; // from (0, 0), which is never drawn
    for (const Surface s : {Surface::Window, Surface::Picture}) {
        const auto green = orbitPlots(s, kGreen);
        const auto red = orbitPlots(s, kRed);
        ASSERT_EQ(green.size(), 2u);
        ASSERT_EQ(red.size(), 2u);
        EXPECT_EQ(green[0].x, atX(p1x));
        EXPECT_EQ(green[0].y, atY(p1y));
        EXPECT_EQ(red[0].x, atX(p1x, 10));
        EXPECT_EQ(red[0].y, atY(p1y, 10));
        EXPECT_EQ(green[1].x, atX(atSecondPump.xNext));
        EXPECT_EQ(green[1].y, atY(atSecondPump.yNext));
    }
    // At the second pump the first point is current and the second still pending.
    EXPECT_EQ(atSecondPump.x, p1x);
    EXPECT_EQ(atSecondPump.y, p1y);
    EXPECT_NEAR(atSecondPump.xNext, 1.1669903640, 1e-10);
}

TEST_F(HopalongRun, WithEveryParameterZeroBothOrbitsDrawTheCentre)
{
    run("mnuHop1", 40, std::deque<std::optional<std::string>>(6, std::nullopt));
    expectEveryStepAt(40, atX(0), atY(0), atX(0, 10), atY(0, 10));
}

TEST_F(HopalongRun, ANestedRunStartsFromTheCurrentPointTheOuterRunLeft)
{
    // Chosen during a Pickover run, Hopalong takes over Pickover's current point; the pending
    // next point is overwritten before it is drawn.
    Orbit left;
    atPump(3, [this, &left] {
        left = frm1.vars.orbit1;
        choose("mnuHop1");
    });
    atPump(4, [this] { pressEscape(); });
    run("mnuPIK2", 5);

    const auto green = orbitPlots(Surface::Window, kGreen);
    ASSERT_EQ(green.size(), 5u);
    Orbit expected = left;
    Hopalong::next(expected, kDefaults);
    EXPECT_EQ(green[3].x, atX(expected.xNext));
    EXPECT_EQ(green[3].y, atY(expected.yNext));
}

} // namespace
} // namespace quorvane::test
