#include "attractors/rossler.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(RosslerStep, EachAssignmentReadsTheValuesJustStoredAndIgnoresDAndE)
{
    // Values where distributing the step or regrouping z's sum would change the last bits.
    for (const ParameterSet& p :
        {ParameterSet {0.46, 0.26, 14.9, 0, 0}, ParameterSet {0.46, 0.26, 14.9, 1e308, -7}}) {
        Orbit o {-1.58, 0, 2.75, 0, -2.13};
        Rossler::advance(o, p);
        EXPECT_EQ(o.x, -1.6048);
        EXPECT_EQ(o.y, 2.736408);
        EXPECT_EQ(o.z, -0.7133910400000001);
    }
}

TEST(RosslerStep, AnOverflowIsStored)
{
    Orbit o {1, 0, 10, 0, 0};
    Rossler::advance(o, {1e308, 0, 0, 0, 0});
    EXPECT_EQ(o.y, INFINITY);
    EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.z));
}

} // namespace
} // namespace quorvane::test
