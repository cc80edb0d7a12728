#include "attractors/equation1.h"

#include "attractors/first_points.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

constexpr ParameterSet kDefaults {0.2238, -0.9992, -0.8697, -0.3373, 0};

TEST(Equation1Step, DefaultsFromTheOriginGiveTheListedPoints)
{
    const auto points = firstPoints<Equation1>(kDefaults, 3);
    EXPECT_NEAR(points[0].x, 0.99946984, 1e-10);
    EXPECT_EQ(points[0].y, 0.2238);
    EXPECT_NEAR(points[1].x, 1.0599866122, 1e-10);
    EXPECT_NEAR(points[1].y, -0.77566984, 1e-10);
    EXPECT_NEAR(points[2].x, 0.1111469289, 1e-10);
    EXPECT_NEAR(points[2].y, -0.8361866122, 1e-10);
}

TEST(Equation1Step, OnlyAStrictlyPositiveXTakesTheFirstBranch)
{
    // Values whose products round differently in any other order. c is set apart from the
    // others so that reading it in place of d would show.
    const ParameterSet p {1.75, 0.3, 9.0, 0.1, 0};
    Orbit o {0.7, 0, 0.1, 0, 0};
    Equation1::next(o, p);
    EXPECT_EQ(o.xNext, 0.1 + (0.3 * 0.7) * (0.1 - 0.5));
    EXPECT_EQ(o.yNext, 1.75 - 0.7);

    o = {-0.7, 0, 0.1, 0, 0};
    Equation1::next(o, p);
    EXPECT_EQ(o.xNext, (0.1 - 0.1) - (1 + 0.1 - -0.7 * 0.1) * 0.3);

    // x = 0 is not positive: from the origin the first point is (-d - b (1 + d), a).
    o = {};
    Equation1::next(o, p);
    EXPECT_EQ(o.xNext, -0.1 - 0.3 * (1 + 0.1));
    EXPECT_EQ(o.yNext, 1.75);
}

TEST(Equation1Step, AnOverflowIsStoredAndTheOrbitStaysOffTheMap)
{
    // From the origin with b near the top of the double range the second x' overflows.
    const auto points = firstPoints<Equation1>({0.2238, 1e308, 0, -0.3373, 0}, 4);
    EXPECT_TRUE(std::isfinite(points[0].x));
    EXPECT_EQ(points[1].x, INFINITY);
    EXPECT_FALSE(std::isfinite(points[2].x));
    EXPECT_FALSE(std::isfinite(points[3].x));
}

} // namespace
} // namespace quorvane::test
