#include "attractors/pickover.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(PickoverStep, EachFormulaMultipliesInItsStatedOrder)
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
}

TEST(PickoverStep, AFaultingArgumentLeavesThatCoordinateAsItWas)
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

TEST(PickoverMap, OrbitTwoShiftJoinsXBeforeTheScaledTermAndYAfterTheSum)
{
    // Values where the two groupings round differently: the sums cross a power of two.
    const double w = 9795, h = 9225;
    const Orbit o {0, -0.2696630150795558, 0, -0.17268604952832156, 0};
    const Point p = Pickover::map(o, 10, w, h);
    EXPECT_EQ(p.x, 3000 * o.xNext + (w / 2 + 10));
    EXPECT_EQ(p.y, (3000 * o.yNext + h / 2) + 10);
    EXPECT_NE(p.x, (3000 * o.xNext + w / 2) + 10);
    EXPECT_NE(p.y, 3000 * o.yNext + (h / 2 + 10));
}

} // namespace
} // namespace quorvane::test
