#include "run/pacing.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(Delay, CountsToTheFirstWholeValueAboveTheLimit)
{
    WindowVars vars;
    vars.DelayCount = 50000;
    Delay(vars);
    EXPECT_EQ(vars.DelayCounter, 50001.0f);

    vars.DelayCount = 2.5f; // passes at 1 and 2
    Delay(vars);
    EXPECT_EQ(vars.DelayCounter, 3.0f);
}

TEST(Delay, LimitBelowOneMakesNoPass)
{
    WindowVars vars;
    for (const float limit : {0.0f, 0.5f, -75000.0f}) {
        vars.DelayCount = limit;
        vars.DelayCounter = 123;
        Delay(vars);
        EXPECT_EQ(vars.DelayCounter, 1.0f) << limit;
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
        EXPECT_NE(vars.DelayCount, 80000.0f);
        EXPECT_GE(vars.DelayCount, 5000.0f);
        EXPECT_LE(vars.DelayCount, 75000.0f);
    }
    EXPECT_EQ(vars.DelayCount, 15000.0f);
}

} // namespace
} // namespace quorvane
