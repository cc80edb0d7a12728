#include "run/pacing.h"

#include <gtest/gtest.h>

#include <utility>

namespace quorvane {
namespace {

TEST(Delay, CountsToTheFirstWholeValueAboveTheLimit)
{
    WindowVars vars;
    // 2.5 makes passes at 1 and 2; a limit below 1 makes none.
    const std::pair<float, float> cases[]
        = {{50000, 50001}, {2.5f, 3}, {0, 1}, {0.5f, 1}, {-75000, 1}};
    for (const auto& [limit, end] : cases) {
        vars.DelayCount = limit;
        vars.DelayCounter = 123;
        Delay(vars);
        EXPECT_EQ(vars.DelayCounter, end) << limit;
    }
}

TEST(Pace, TabSequenceFromStartUpWrapsAt80000)
{
    WindowVars vars;
    vars.DelayCount = 50000;
    const float expected[] = {55000, 60000, 65000, 70000, 75000, 5000, 10000, 15000};
    for (const float value : expected) {
        nextPace(vars);
        EXPECT_EQ(vars.DelayCount, value);
    }
    // After the wrap it cycles through the fifteen values 5000 .. 75000; 80000 is never kept.
    for (int press = 0; press < 45; ++press) {
        nextPace(vars);
        EXPECT_TRUE(vars.DelayCount >= 5000 && vars.DelayCount <= 75000) << vars.DelayCount;
    }
    EXPECT_EQ(vars.DelayCount, 15000.0f);
}

} // namespace
} // namespace quorvane
