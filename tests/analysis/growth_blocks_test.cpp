// The growth of a distance gathered in blocks: the exponent over all of them, and its standard
// error from the spread of the blocks' own exponents, worked out here by hand.

#include "analysis/growth_blocks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::analysis {
namespace {

// Blocks whose exponents are 1, 2 and 4 per step: their mean is 7/3, the squared deviations
// 16/9, 1/9 and 25/9 add up to 42/9, their variance with n - 1 = 2 is 7/3, and the standard
// error of a mean of n = 3 of them is sqrt(7/3 / 3) = sqrt(7/9). The blocks left empty count
// for nothing.
TEST(GrowthBlocks, StandardErrorIsThatOfTheMeanOfTheBlocksWithNMinusOneInTheVariance)
{
    GrowthBlocks blocks;
    blocks.add(std::exp(2.0), 1, 2); // 1 per step over 2 steps
    ASSERT_TRUE(blocks.next());
    blocks.add(std::exp(2.0), 1, 1); // 2 per step
    ASSERT_TRUE(blocks.next());
    blocks.add(std::exp(4.0), 1, 1); // 4 per step
    EXPECT_EQ(blocks.steps(), 4u);
    EXPECT_NEAR(blocks.perStep(), 8.0 / 4.0, 1e-15);
    EXPECT_NEAR(blocks.standardError(), std::sqrt(7.0 / 9.0), 1e-14);
}

TEST(GrowthBlocks, OneBlockHasNoStandardError)
{
    GrowthBlocks blocks;
    blocks.add(std::exp(1.0), 1, 1);
    EXPECT_TRUE(std::isnan(blocks.standardError()));
}

} // namespace
} // namespace quorvane::analysis
