#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include "support/form_fixture.h"

#include <array>
#include <cmath>
#include <ostream>
#include <vector>

// What every attractor shares: its documented first points, and a run through its menu entry
// that draws each step's point at the attractor's own mapping, with its orbits advanced at the
// places its step shape gives. The units' own formulas and fault rules are in their own files.
namespace quorvane::test {
namespace {

constexpr double kW = 9795, kH = 9225; // the fake window's drawing area

std::array<double, 5> slots(const Orbit& o) { return {o.x, o.xNext, o.y, o.yNext, o.z}; }

// Orbit 1 after each of n whole steps from its start state.
template <class A> std::vector<Orbit> stepsFromStart(const ParameterSet& p, std::size_t n)
{
    WindowVars vars;
    vars.set1 = p;
    A::start(vars);
    std::vector<Orbit> out;
    for (std::size_t i = 0; i < n; ++i) {
        A::beforePlots(vars);
        A::betweenOrbits(vars);
        A::afterStopTest(vars);
        out.push_back(vars.orbit1);
    }
    return out;
}

struct ListedPoints {
    const char* name;
    std::vector<Orbit> (*steps)(const ParameterSet&, std::size_t);
    ParameterSet defaults;
    double tolerance; // half a unit in the last listed decimal
    std::vector<std::array<double, 3>> xyz; // orbit 1's x, y and z after each step
};

TEST(Attractors, DefaultsGiveTheListedPoints)
{
    const ListedPoints cases[] = {
        {"Equation 1", &stepsFromStart<Equation1>, {0.2238, -0.9992, -0.8697, -0.3373, 0}, 1e-10,
            {{0.99946984, 0.2238, 0}, {1.0599866122, -0.77566984, 0},
                {0.1111469289, -0.8361866122, 0}}},
        // sgn(0) is 0, so while y is 0 the root takes no part: (a, 0), then (a, a).
        {"Equation 8", &stepsFromStart<Equation8>, {2.42, -1.36, -0.2, -0.31, 0}, 1e-10,
            {{2.42, 0, 0}, {2.42, 2.42, 0}, {0, 3.2008969202, 0}, {-0.7808969202, 0.6064008202, 0},
                {1.8135991798, 0.3016998402, 0}}},
        {"Hopalong", &stepsFromStart<Hopalong>, {0.724, -0.565, -0.117, 0, 0}, 1e-10,
            {{-0.3420526275, 0.724, 0}, {1.1669903640, 1.0660526275, 0},
                {-0.6703912303, -0.4429903640, 0}, {-0.1471004727, 1.3943912303, 0},
                {1.9470526928, 0.8711004727, 0}}},
        // y = x at the start, so the first step leaves x where it was.
        {"Lorenz", &stepsFromStart<Lorenz>, {10, 28, 2.667, 0, 0}, 1e-10,
            {{3.141593, 3.17157436177, 3.14222706691},
                {3.14171292545, 3.20154412663, 3.1428982721}}},
        {"Pickover", &stepsFromStart<Pickover>, {2.23, 0.5, -0.67, -2.1, 1}, 1e-10,
            {{0, -1, 0}, {-0.7904802223, 0.5048461046, 0}, {1.5585150241, -0.8477639526, 0},
                {-1.6607061781, -0.6564814306, 0}, {-0.3224074643, -1.0842658984, 0}}},
        // The first advance moves only z.
        {"Rossler", &stepsFromStart<Rossler>, {0.2, 0.2, 5.7, 0, 0}, 1e-10,
            {{0, 0, 0.008}, {-0.00032, -0.0000128, 0.0141758976},
                {-0.0008865239, -0.0000483634, 0.0189432903},
                {-0.0016423210, -0.0001144431, 0.0226229756}}},
        // While x is 0 its sign removes the absolute-value term: x' = y exactly.
        {"Starburst", &stepsFromStart<Starburst>, {77.85, -61.97, 59.68, 0, 0}, 1e-7,
            {{0, 77.85, 0}, {77.85, 77.85, 0}, {30.4610055, 0, 0}}},
        {"Threeply", &stepsFromStart<ThreeplyMap>, {-93.8, 96.1, 31, 0, 0}, 1e-7,
            {{0, -93.8, 0}, {-93.8, -93.8, 0}, {26.3143909, 0, 0}}},
    };
    for (const ListedPoints& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Orbit> got = c.steps(c.defaults, c.xyz.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, c.xyz[i][0], c.tolerance) << "step " << i + 1;
            EXPECT_NEAR(got[i].y, c.xyz[i][1], c.tolerance) << "step " << i + 1;
            EXPECT_NEAR(got[i].z, c.xyz[i][2], c.tolerance) << "step " << i + 1;
        }
    }
}

// A map plots the next point it computed and takes it as current after the stop test; a flow
// plots the current point and advances it after the stop test.
enum class Shape { Map, Flow };

// Each step written out again from its equations, in their stated order of evaluation, so the
// table holds the program's steps to something other than themselves. No fault arises in these
// runs; the fault rules are in the attractors' own files.
double sign(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

void equation1(Orbit& o, const ParameterSet& p)
{
    o.xNext = o.x > 0 ? o.y + (p.b * o.x) * (p.d - 0.5) : (o.y - p.d) - (1 + p.d - o.x * p.d) * p.b;
    o.yNext = p.a - o.x;
}

void equation8(Orbit& o, const ParameterSet& p)
{
    o.xNext = p.a - o.y;
    o.yNext = o.x + std::sqrt(std::fabs(p.d * o.y - p.b)) * sign(o.y);
}

void hopalong(Orbit& o, const ParameterSet& p)
{
    o.xNext = o.y - (sign(o.x) + std::sqrt(std::fabs(p.b * o.x - p.c)));
    o.yNext = p.a - o.x;
}

void lorenz(Orbit& o, const ParameterSet& p)
{
    o.x = o.x + (o.y - o.x) * p.a * 0.0004;
    o.y = o.y + (p.b * o.x - o.y - o.x * o.z) * 0.0004;
    o.z = o.z + (o.x * o.y - p.c * o.z) * 0.0004;
}

void pickover(Orbit& o, const ParameterSet& p)
{
    o.xNext = std::sin(p.a * o.y) - std::sin(o.x) * p.e * std::cos(p.b * o.x);
    o.yNext = std::sin(o.x) * p.e * std::sin(p.c * o.x) - std::cos(p.d * o.y);
}

void rossler(Orbit& o, const ParameterSet& p)
{
    o.x = o.x - (o.y + o.z) * 0.04;
    o.y = o.y + (p.a * o.y + o.x) * 0.04;
    o.z = o.z + (o.x * o.z + p.b - p.c * o.z) * 0.04;
}

// Starburst and Threeply: f is the tangent or the sine of a + b + c.
void signMap(Orbit& o, const ParameterSet& p, double f)
{
    o.xNext = o.y - std::fabs(std::sin(o.x) * std::cos(p.b) + p.c - f * o.x) * sign(o.x);
    o.yNext = p.a - o.x;
}

void starburst(Orbit& o, const ParameterSet& p) { signMap(o, p, std::tan(p.a + p.b + p.c)); }

void threeply(Orbit& o, const ParameterSet& p) { signMap(o, p, std::sin(p.a + p.b + p.c)); }

struct RunCase {
    const char* menu;
    std::deque<std::optional<std::string>> orbit1; // orbit 1's answers; orbit 2 takes the defaults
    Shape shape;
    void (*step)(Orbit&, const ParameterSet&); // the next point, or the advance
    Point (*at)(const Orbit&, double shift); // the mapping, in its stated order
    Orbit start;
    Point firstOfOrbit2; // with the defaults, to three decimals
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.menu; }

class AttractorRun : public FormFixture, public ::testing::WithParamInterface<RunCase> { };

TEST_P(AttractorRun, EachStepPlotsItsPointsAtTheMappingAndStepsInItsPlace)
{
    const RunCase& r = GetParam();
    constexpr std::size_t kSteps = 40;
    std::vector<std::array<Orbit, 2>> atPump;
    ParameterSet set1, set2;
    platform.answers = r.orbit1;
    platform.onPump = [&](long) {
        atPump.push_back({frm1.vars.orbit1, frm1.vars.orbit2});
        set1 = frm1.vars.set1;
        set2 = frm1.vars.set2;
        if (atPump.size() == kSteps)
            pressEscape();
    };
    choose(r.menu);

    const auto plots = platform.callsOf(Call::Kind::Plot);
    ASSERT_EQ(plots.size(), 4 * kSteps);
    EXPECT_NEAR(plots[2].x, r.firstOfOrbit2.x, 1e-3);
    EXPECT_NEAR(plots[2].y, r.firstOfOrbit2.y, 1e-3);

    // Orbit 1 green, then orbit 2 red, each on the window and then on pic1.
    const auto expectPlots = [&](std::size_t i, const Orbit& o, double shift, Rgb colour) {
        const Point want = r.at(o, shift);
        for (const Call& c : {plots[i], plots[i + 1]}) {
            EXPECT_EQ(c.x, static_cast<float>(want.x)) << "plot " << i;
            EXPECT_EQ(c.y, static_cast<float>(want.y)) << "plot " << i;
            EXPECT_EQ(c.colour, colour) << "plot " << i;
        }
        EXPECT_EQ(plots[i].surface, Surface::Window);
        EXPECT_EQ(plots[i + 1].surface, Surface::Picture);
    };
    Orbit o1 = r.start, o2 = r.start;
    for (std::size_t step = 0; step < kSteps; ++step) {
        if (r.shape == Shape::Map)
            r.step(o1, set1);
        expectPlots(4 * step, o1, 0, 0x00FF00);
        if (r.shape == Shape::Map)
            r.step(o2, set2);
        expectPlots(4 * step + 2, o2, 10, 0xFF0000);
        EXPECT_EQ(slots(atPump[step][0]), slots(o1)) << "step " << step;
        EXPECT_EQ(slots(atPump[step][1]), slots(o2)) << "step " << step;
        for (const auto& [o, p] : {std::pair {&o1, set1}, std::pair {&o2, set2}}) {
            if (r.shape == Shape::Flow) {
                r.step(*o, p);
            } else {
                o->x = o->xNext;
                o->y = o->yNext;
            }
        }
    }
}

constexpr double kPi = 3.141593; // Lorenz's start value

INSTANTIATE_TEST_SUITE_P(Menu, AttractorRun,
    ::testing::Values(
        RunCase {"mnuE1", {"0.3", "-1.1", "0.5", "-0.2"}, Shape::Map, &equation1,
            [](const Orbit& o, double s) {
                return Point {800 * o.xNext + (kW / 2 + s), 800 * o.yNext + (kH / 2 + s)};
            },
            {}, {kW / 2 + 10 + 799.575872, kH / 2 + 10 + 179.04}},
        RunCase {"mnuE8", {"2.1", "-1.5", "0", "-0.25"}, Shape::Map, &equation8,
            [](const Orbit& o, double s) {
                return Point {500 * o.xNext + (kW / 2.1 + s), 500 * o.yNext + (kH / 2 + s)};
            },
            {}, {kW / 2.1 + 10 + 1210, kH / 2 + 10}},
        RunCase {"mnuHop1", {"0.6", "-0.5", "-0.2"}, Shape::Map, &hopalong,
            [](const Orbit& o, double s) {
                return Point {500 * o.xNext + (kW / 2 + s), 500 * o.yNext + (kH / 2 + s)};
            },
            {}, {kW / 2 + 10 - 171.026314, kH / 2 + 10 + 362}},
        RunCase {"mnuLOR1", {"12", "30", "2"}, Shape::Flow, &lorenz,
            [](const Orbit& o, double s) {
                return Point {300 * o.x + (kW / 2 + s), -200 * o.z + (kH / 1.2 + s)};
            },
            {kPi, 0, kPi, 0, kPi}, {kW / 2 + 10 + 942.4779, kH / 1.2 + 10 - 628.3186}},
        // The shift joins the half width before the scaled x', but the sum of scaled y' and
        // half height after it.
        RunCase {"mnuPIK2", {"2.5", "0.6", "-0.5", "-2.3", "0.8"}, Shape::Map, &pickover,
            [](const Orbit& o, double s) {
                return Point {3000 * o.xNext + (kW / 2 + s), (3000 * o.yNext + kH / 2) + s};
            },
            {}, {kW / 2 + 10, kH / 2 + 10 - 3000}},
        RunCase {"mnuROS", {"0.3", "0.4", "6"}, Shape::Flow, &rossler,
            [](const Orbit& o, double s) {
                return Point {500 * o.x + (kW / 2 + s), 300 * o.y + (kH / 2 + s)};
            },
            {}, {kW / 2 + 10, kH / 2 + 10}},
        RunCase {"mnu3P4", {"70", "-60", "50"}, Shape::Map, &starburst,
            [](const Orbit& o, double s) {
                return Point {15 * o.xNext + (kW / 2 + s), 15 * o.yNext + (kH / 2 + s)};
            },
            {}, {kW / 2 + 10, kH / 2 + 10 + 1167.75}},
        RunCase {"mnuThreeply", {"-90", "95", "30"}, Shape::Map, &threeply,
            [](const Orbit& o, double s) {
                return Point {20 * o.xNext + (kW / 2 + s), 20 * o.yNext + (kH / 2 + s)};
            },
            {}, {kW / 2 + 10, kH / 2 + 10 - 1876}}),
    [](const auto& p) { return std::string(p.param.menu); });

} // namespace
} // namespace quorvane::test
