#include "attractors/hopalong.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(HopalongStep, TheSignJoinsTheRootBeforeBothLeaveY)
{
    // Here y - sgn(x) - root would differ in the last bit. d and e take no part.
    Orbit o {0.6, 0, -1.3, 0, 0};
    Hopalong::next(o, {0.3, 1.7, -0.4, 1e308, -1e308});
    EXPECT_EQ(o.xNext, -1.3 - (1.0 + std::sqrt(std::fabs(1.7 * 0.6 - -0.4))));
    EXPECT_EQ(o.xNext, -3.4916375287812986);
    EXPECT_EQ(o.yNext, 0.3 - 0.6);
}

TEST(HopalongStep, FaultsFollowTheRootArgumentTestAndTheStores)
{
    // b x is finite, but b x - c overflows: x' keeps what it held, y' is still computed.
    Orbit o {1.5, 0.25, 3, 0, 0};
    Hopalong::next(o, {0.5, 1e308, -1e308, 0, 0});
    EXPECT_EQ(o.xNext, 0.25);
    EXPECT_EQ(o.yNext, 0.5 - 1.5);
    // An overflowing y' is stored as it is.
    o = {-1e308, 0, 3, 0, 0};
    Hopalong::next(o, {1e308, 0, 0, 0, 0});
    EXPECT_EQ(o.yNext, INFINITY);
    // Past the root's test an infinite x' is stored too.
    o = {2, 0, INFINITY, 0, 0};
    Hopalong::next(o, {0, 1, 0, 0, 0});
    EXPECT_EQ(o.xNext, INFINITY);
}

} // namespace
} // namespace quorvane::test
