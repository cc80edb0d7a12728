// The growth rate's least-squares fit far out along a run, where plain sums lose the slope.

#include "analysis/line_fit.h"

#include <gtest/gtest.h>

namespace quorvane::analysis {
namespace {

TEST(LineFit, KeepsTheSlopeOfAMillionPointsNearStepTenToTheTwelve)
{
    // y = 3 + 1e-9 x, steps 10^12 to 10^12 + 10^6, with a wobble of +-0.5 that cancels out.
    constexpr double kStart = 1e12;
    LineFit fit;
    for (int i = 0; i <= 1'000'000; ++i) {
        const double x = kStart + i;
        fit.add(x, 3 + 1e-9 * i + (i % 2 == 0 ? 0.5 : -0.5));
    }
    // The wobble's own slope over an even number of alternations is 0, so the slope is 1e-9
    // but for the rounding of the y given; sums about zero here would be 1e-4 off.
    EXPECT_NEAR(fit.slope(), 1e-9, 1e-17);
    EXPECT_EQ(fit.count(), 1'000'001u);
}

TEST(LineFit, HasNoSlopeWithoutTwoDistinctSteps)
{
    LineFit fit;
    EXPECT_FALSE(fit.hasSlope());
    fit.add(5, 1);
    EXPECT_FALSE(fit.hasSlope());
    fit.add(5, 2);
    EXPECT_FALSE(fit.hasSlope());
    fit.add(6, 4);
    EXPECT_TRUE(fit.hasSlope());
    EXPECT_DOUBLE_EQ(fit.slope(), 2.5); // through (5, 1.5) and (6, 4)
}

} // namespace
} // namespace quorvane::analysis
