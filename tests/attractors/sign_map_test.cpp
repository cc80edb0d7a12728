#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::test {
namespace {

TEST(SignMapStep, TheParameterSumGoesThroughTanForStarburstAndSinForThreeply)
{
    // Values whose sums and products round differently in any other order.
    const ParameterSet p {0.1, -0.5, 0.45, 0, 0};
    const double x = -2.5, y = 0.625;
    const double sum = (0.1 + -0.5) + 0.45;
    Orbit o {x, 0, y, 0, 0};
    Starburst::next(o, p);
    EXPECT_EQ(
        o.xNext, y - std::fabs((std::sin(x) * std::cos(-0.5) + 0.45) - std::tan(sum) * x) * -1);
    EXPECT_EQ(o.yNext, 0.1 - x);

    o = {x, 0, y, 0, 0};
    ThreeplyMap::next(o, p);
    EXPECT_EQ(
        o.xNext, y - std::fabs((std::sin(x) * std::cos(-0.5) + 0.45) - std::sin(sum) * x) * -1);
}

TEST(SignMapStep, AnOverflowingParameterSumKeepsXNextWhileYNextIsComputed)
{
    // (a + b) + c overflows, though a + (b + c) would not.
    const ParameterSet p {1e308, 1e308, -1e308, 0, 0};
    for (void (*next)(Orbit&, const ParameterSet&) :
        {&Starburst::next<double>, &ThreeplyMap::next<double>}) {
        Orbit o {2, 7, 3, 5, 0};
        next(o, p);
        EXPECT_EQ(o.xNext, 7.0);
        EXPECT_EQ(o.yNext, 1e308 - 2);

        // An overflow anywhere else is stored: here y' = a - x.
        o = {-1e308, 7, 3, 5, 0};
        next(o, {1e308, 0, 0, 0, 0});
        EXPECT_EQ(o.yNext, INFINITY);
    }
}

} // namespace
} // namespace quorvane::test
