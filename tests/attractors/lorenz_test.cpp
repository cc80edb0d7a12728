#include "attractors/lorenz.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(LorenzStep, EachEquationUsesTheValuesJustStored)
{
    // Bit for bit against the stated order: x first, y with the new x, z with the new x and y.
    Orbit o {1.25, 0, -0.5, 0, 7.0};
    const ParameterSet p {13.5, 41.0, 0.9, 0, 0};
    const double x = 1.25 + (-0.5 - 1.25) * 13.5 * 0.0004;
    const double y = -0.5 + (41.0 * x - -0.5 - x * 7.0) * 0.0004;
    const double z = 7.0 + (x * y - 0.9 * 7.0) * 0.0004;
    Lorenz::advance(o, p);
    EXPECT_EQ(o.x, x);
    EXPECT_EQ(o.y, y);
    EXPECT_EQ(o.z, z);
}

TEST(LorenzStep, AnOverflowIsStoredAndCarriedOn)
{
    // A huge Prandtl number overflows x; y and z then read the infinity.
    Orbit o {1, 0, 1e10, 0, 3};
    Lorenz::advance(o, {1e308, 28, 2.667, 0, 0});
    EXPECT_EQ(o.x, INFINITY);
    EXPECT_TRUE(std::isnan(o.y));
    EXPECT_TRUE(std::isnan(o.z));
}

} // namespace
} // namespace quorvane::test
