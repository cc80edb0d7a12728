#include "attractors/equation8.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(Equation8Step, TheRootTakesTheSignOfY)
{
    const ParameterSet p {1.5, 0.7, 9.0, -2.25, 0};
    Orbit o {0.375, 0, -1.125, 0, 0};
    Equation8::next(o, p);
    EXPECT_EQ(o.xNext, 1.5 - -1.125);
    EXPECT_EQ(o.yNext, 0.375 + std::sqrt(std::fabs(-2.25 * -1.125 - 0.7)) * -1);

    o = {0.375, 0, 0.5, 0, 0};
    Equation8::next(o, p);
    EXPECT_EQ(o.yNext, 0.375 + std::sqrt(std::fabs(-2.25 * 0.5 - 0.7)));
}

TEST(Equation8Step, AFaultInTheRootsArgumentKeepsYNextWhileOtherOverflowsAreStored)
{
    // d y is finite, but d y - b overflows: the root's whole argument is a fault, so y' is not
    // assigned, while x' is.
    Orbit o {1, 7, 1.5, 5, 0};
    Equation8::next(o, {3, -1e308, 0, 1e308, 0});
    EXPECT_EQ(o.xNext, 1.5);
    EXPECT_EQ(o.yNext, 5.0);

    // a - y overflows: the infinity is stored, and y' is computed as usual.
    o = {1, 7, -1e308, 5, 0};
    Equation8::next(o, {1e308, 0, 0, 0, 0});
    EXPECT_EQ(o.xNext, INFINITY);
    EXPECT_EQ(o.yNext, 1.0);
}

} // namespace
} // namespace quorvane::test
