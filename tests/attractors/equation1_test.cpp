#include "attractors/equation1.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

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

TEST(Equation1Step, AnOverflowIsStored)
{
    // No call takes part, so nothing is checked before the store: b x overflows.
    Orbit o {2, 7, 0, 5, 0};
    Equation1::next(o, {0, 1e308, 0, 0, 0});
    EXPECT_EQ(o.xNext, -INFINITY);
    EXPECT_EQ(o.yNext, -2.0);
}

} // namespace
} // namespace quorvane::test
