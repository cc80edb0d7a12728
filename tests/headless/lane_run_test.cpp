#include "headless/lane_run.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "platform/null_platform.h"
#include "run/run_loop.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace quorvane::headless::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// What the caller does at a pump: the same to the program's run and to the lane run.
using PumpAction = std::function<void(std::uint64_t step, WindowVars& vars)>;

// What one run gives through the program's own skeleton, runOrbits: its variables at the
// pumps asked for, and the first pump at which a state slot was not a number.
struct ProgramRun {
    std::uint64_t escape = 0;
    std::map<std::uint64_t, StepVars<double>> at;
};

class RecordingPump final : public NullPlatform {
public:
    Form* form = nullptr;
    StateSlots state;
    std::set<std::uint64_t> pumps;
    std::uint64_t last = 0;
    PumpAction action;
    ProgramRun result;

    void processEvents() override
    {
        WindowVars& vars = form->vars;
        ++m_step;
        if (!isFinite(vars.orbit1) || !isFinite(vars.orbit2)) {
            result.escape = m_step;
            result.at[m_step] = vars;
            vars.StopFlag = 1;
            return;
        }
        if (pumps.contains(m_step)) {
            result.at[m_step] = vars;
            if (action)
                action(m_step, vars);
        }
        if (m_step == last)
            vars.StopFlag = 1;
    }

private:
    bool isFinite(const Orbit& orbit) const
    {
        for (double Orbit::*slot : state.view())
            if (!std::isfinite(orbit.*slot))
                return false;
        return true;
    }

    std::uint64_t m_step = 0;
};

template <Attractor A>
ProgramRun programRun(
    const WindowVars& start, const std::set<std::uint64_t>& pumps, const PumpAction& action)
{
    RecordingPump platform;
    Form form(platform);
    form.vars = start;
    platform.form = &form;
    platform.state = A::pumpState;
    platform.pumps = pumps;
    platform.last = *pumps.rbegin();
    platform.action = action;
    runOrbits<A>(form);
    return platform.result;
}

// The same number, or both not a number: which NaN an invalid operation gives may depend on
// the order of its operands, which the compiler may swap.
bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b)
        || (std::isnan(a) && std::isnan(b));
}

void expectSame(const StepVars<double>& lane, const StepVars<double>& program, const char* where)
{
    const ParameterSet* laneSets[] = {&lane.set1, &lane.set2};
    const ParameterSet* programSets[] = {&program.set1, &program.set2};
    for (int i = 0; i < 2; ++i)
        for (double ParameterSet::*m : {&ParameterSet::a, &ParameterSet::b, &ParameterSet::c,
                 &ParameterSet::d, &ParameterSet::e})
            EXPECT_TRUE(same(laneSets[i]->*m, programSets[i]->*m))
                << where << ": parameter " << laneSets[i]->*m << " vs " << programSets[i]->*m;
    const Orbit* laneOrbits[] = {&lane.orbit1, &lane.orbit2};
    const Orbit* programOrbits[] = {&program.orbit1, &program.orbit2};
    for (int i = 0; i < 2; ++i)
        for (double Orbit::*m : {&Orbit::x, &Orbit::xNext, &Orbit::y, &Orbit::yNext, &Orbit::z})
            EXPECT_TRUE(same(laneOrbits[i]->*m, programOrbits[i]->*m))
                << where << ": orbit " << i + 1 << " slot " << laneOrbits[i]->*m << " vs "
                << programOrbits[i]->*m;
}

// A run with orbit 1's parameters p, orbit 2's p with a scaled by aFactor, and orbit 1's
// slots from `orbit`.
WindowVars run(ParameterSet p, double aFactor = 1, Orbit orbit = {})
{
    WindowVars vars;
    vars.set1 = p;
    vars.set2 = p;
    vars.set2.a = p.a * aFactor;
    vars.orbit1 = orbit;
    vars.orbit2 = orbit;
    return vars;
}

class LaneRunTest : public ::testing::TestWithParam<LaneCode> {
protected:
    void SetUp() override
    {
        if (GetParam() == LaneCode::Avx2 && bestLaneCode() != LaneCode::Avx2)
            GTEST_SKIP() << "this processor has no AVX2";
    }

    // Runs `runs` in one lane run up to the last of `pumps`, stopping at each, and expects
    // every lane, at every stop, to hold what the program's run of it holds there, or to have
    // escaped where that run did, with what it held then. Returns the escape steps.
    template <Attractor A>
    std::vector<std::uint64_t> expectAsProgram(const std::vector<WindowVars>& runs,
        const std::set<std::uint64_t>& pumps, const PumpAction& action = {})
    {
        std::vector<ProgramRun> program;
        for (const WindowVars& start : runs)
            program.push_back(programRun<A>(start, pumps, action));

        LaneRun lanes(laneSteps<A>(), runs, GetParam());
        EXPECT_EQ(lanes.code(), GetParam());
        for (std::uint64_t pump : pumps) {
            lanes.advanceTo(pump);
            EXPECT_EQ(lanes.step(), pump);
            for (std::size_t i = 0; i < runs.size(); ++i) {
                const std::string where
                    = "lane " + std::to_string(i) + ", pump " + std::to_string(pump);
                const std::uint64_t escape = program[i].escape;
                if (escape != 0 && escape <= pump) {
                    EXPECT_FALSE(lanes.isGoing(i)) << where;
                    EXPECT_EQ(lanes.escapeStep(i), escape) << where;
                    expectSame(lanes.vars(i), program[i].at[escape], where.c_str());
                    continue;
                }
                EXPECT_TRUE(lanes.isGoing(i)) << where;
                EXPECT_EQ(lanes.escapeStep(i), 0u) << where;
                expectSame(lanes.vars(i), program[i].at[pump], where.c_str());
                if (action)
                    action(pump, lanes.vars(i));
            }
        }
        std::vector<std::uint64_t> escapes;
        for (const ProgramRun& r : program)
            escapes.push_back(r.escape);
        return escapes;
    }
};

const std::set<std::uint64_t> kPumps = {1, 2, 3, 40, 777, 2500, 4000};

// Counts the runs that escaped, so that each case can show it holds runs that escape at
// different steps beside runs that go on.
std::size_t escapedAt(const std::vector<std::uint64_t>& escapes, std::set<std::uint64_t>* steps)
{
    std::size_t count = 0;
    for (std::uint64_t e : escapes)
        if (e != 0) {
            ++count;
            steps->insert(e);
        }
    return count;
}

TEST_P(LaneRunTest, LorenzLanesAreTheProgramsRunsBitForBit)
{
    // Prandtl numbers past about 5200 make the Euler step unstable: those runs overflow, each
    // at its own step, while the others go on.
    const std::vector<WindowVars> runs = {run({10, 28, 2.667}, 1.001), run({5300, 28, 2.667}),
        run({16, 45.92, 4}, 0.999), run({6000, 28, 2.667})};
    std::set<std::uint64_t> steps;
    EXPECT_EQ(escapedAt(expectAsProgram<Lorenz>(runs, kPumps), &steps), 2u);
    EXPECT_EQ(steps.size(), 2u);
    expectAsProgram<Lorenz>({run({10.5, 24.7, 2.5}), run({12, 99, 8.0 / 3}, 1.01), run({30, 30, 1}),
                                run({7, 28, 2.667}, 0.9)},
        kPumps);
}

TEST_P(LaneRunTest, RosslerLanesAreTheProgramsRunsBitForBit)
{
    const std::vector<WindowVars> runs = {run({0.2, 0.2, 5.7}, 1.001), run({0.5, 0.2, 5.7}),
        run({0.1, 0.1, 14}), run({0.2, 0.2, -10})};
    std::set<std::uint64_t> steps;
    EXPECT_EQ(escapedAt(expectAsProgram<Rossler>(runs, kPumps), &steps), 2u);
    EXPECT_EQ(steps.size(), 2u);
}

TEST_P(LaneRunTest, HopalongLanesKeepXNextWhereTheRootsArgumentFaults)
{
    // Lane 1: b x overflows once x passes 1.8, so x' is left as it was in some steps and not
    // in others. Lane 2: b is not a number, so x' is never assigned. Lane 3 starts where
    // a - x overflows at once.
    const std::vector<WindowVars> runs
        = {run({0.724, -0.565, -0.117}, 1.001), run({0.4, 1e308, -3}), run({0.724, kNaN, -0.117}),
            run({-1e308, 0.5, -0.1}, 1, {0, 0, 1e308, 0, 0})};
    std::set<std::uint64_t> steps;
    EXPECT_EQ(escapedAt(expectAsProgram<Hopalong>(runs, kPumps), &steps), 1u);
    expectAsProgram<Hopalong>({run({-0.9, 0.7, 0.3}), run({0.1, -0.2, 0.95}, 0.5), run({1, 1, 1}),
                                  run({-0.5, 0.5, -0.5})},
        kPumps);
}

TEST_P(LaneRunTest, Equation1LanesTakeEachLanesOwnBranch)
{
    // Lanes 1 and 2 grow without bound, each at its own rate; lane 3 starts from a
    // not-a-number x, which takes the second branch and escapes at the first pump.
    const std::vector<WindowVars> runs = {run({0.2238, -0.9992, -0.8697, -0.3373}, 1.001),
        run({0.2, -5, 0, -0.4}), run({0.2, -4.5, 0, -0.45}),
        run({0.2238, -0.9992, -0.8697, -0.3373}, 1, {kNaN, 0, 0, 0, 0})};
    std::set<std::uint64_t> steps;
    EXPECT_EQ(escapedAt(expectAsProgram<Equation1>(runs, kPumps), &steps), 3u);
    EXPECT_EQ(steps.size(), 3u);
}

TEST_P(LaneRunTest, Equation8LanesKeepYNextWhereTheRadicandFaults)
{
    // Lane 1: d y overflows once |y| passes 1.8; lane 2 overflows in a - y at its second
    // step; lane 3's a is not a number.
    const std::vector<WindowVars> runs
        = {run({2.42, -1.36, -0.2, -0.31}, 1.001), run({2.42, -1.36, 0, 1e308}),
            run({1e308, 0, 0, 0.5}, 1, {-1e308, 0, 0, 0, 0}), run({kNaN, -1.36, -0.2, -0.31})};
    std::set<std::uint64_t> steps;
    EXPECT_EQ(escapedAt(expectAsProgram<Equation8>(runs, kPumps), &steps), 2u);
    EXPECT_EQ(steps.size(), 2u);
}

TEST_P(LaneRunTest, TheLibraryFunctionsAttractorsRunInLanesToo)
{
    const std::set<std::uint64_t> pumps = {1, 2, 300, 1000};
    expectAsProgram<Pickover>({run({2.23, 0.5, -0.67, -2.1, 1}, 1.001),
                                  run({1e308, 0.5, 1e308, -2.1, 1}), run({-2.7, 1.1, 3, -4, 0.5})},
        pumps);
    // The parameter sum overflows in lane 1: x' is never assigned there.
    expectAsProgram<Starburst>(
        {run({77.85, -61.97, 59.68}, 1.001), run({1e308, 1e308, -1e308}), run({-40, 11, 93})},
        pumps);
    expectAsProgram<ThreeplyMap>(
        {run({-93.8, 96.1, 31}, 1.001), run({1e308, 1e308, -1e308}), run({50, -20, 7})}, pumps);
}

TEST_P(LaneRunTest, WhatTheCallerChangesAtAPumpIsWhereEachRunGoesOn)
{
    // As a Lyapunov estimate does: at its pumps, the companion is moved back close to orbit 1,
    // and a parameter is changed too.
    const PumpAction moveCompanion = [](std::uint64_t step, WindowVars& vars) {
        vars.orbit2 = vars.orbit1;
        vars.orbit2.x += 1e-8;
        vars.orbit2.xNext -= 1e-8;
        vars.set2.b += static_cast<double>(step) * 1e-6;
    };
    const std::set<std::uint64_t> pumps = {5, 6, 16, 26, 36, 1000, 1010, 3000};
    expectAsProgram<Lorenz>(
        {run({10, 28, 2.667}), run({11, 29, 3}), run({5600, 28, 2.667}), run({12, 40, 2})}, pumps,
        moveCompanion);
    expectAsProgram<Equation8>(
        {run({2.42, -1.36, -0.2, -0.31}), run({2, -1, 0, -0.2})}, pumps, moveCompanion);
}

TEST_P(LaneRunTest, AnEndedRunStaysWhereItEndedWhileTheOthersGoOn)
{
    const std::vector<WindowVars> runs
        = {run({0.2238, -0.9992, 0, -0.3373}), run({0.2, -0.9, 0, -0.3})};
    const ProgramRun program = programRun<Equation1>(runs[1], {100, 5000}, {});
    LaneRun lanes(laneSteps<Equation1>(), runs, GetParam());
    lanes.advanceTo(100);
    const WindowVars ended = lanes.vars(0);
    lanes.end(0);
    lanes.advanceTo(5000);
    lanes.advanceTo(4000); // behind the run: nothing happens
    EXPECT_FALSE(lanes.isGoing(0));
    EXPECT_EQ(lanes.escapeStep(0), 0u);
    expectSame(lanes.vars(0), ended, "the ended run");
    EXPECT_TRUE(lanes.isGoing(1));
    EXPECT_EQ(lanes.step(), 5000u);
    expectSame(lanes.vars(1), program.at.at(5000), "the run going on");

    lanes.end(1);
    EXPECT_FALSE(lanes.anyGoing());
    lanes.advanceTo(6000);
    EXPECT_EQ(lanes.step(), 6000u);
    expectSame(lanes.vars(1), program.at.at(5000), "the run ended last");
}

TEST_P(LaneRunTest, LorenzStartsEveryLaneFromItsStartState)
{
    // Orbit slots given to a Lorenz run are overwritten by its start state, as the window's
    // run does; slots 2 and 4 keep what they held.
    LaneRun lanes(
        laneSteps<Lorenz>(), std::vector {run({10, 28, 2.667}, 1, {9, 7, 9, 5, 9})}, GetParam());
    EXPECT_EQ(lanes.vars(0).orbit1.x, 3.141593);
    EXPECT_EQ(lanes.vars(0).orbit2.z, 3.141593);
    EXPECT_EQ(lanes.vars(0).orbit1.xNext, 7.0);
    lanes.advanceTo(1); // the first pump holds the start state itself
    EXPECT_EQ(lanes.vars(0).orbit1.y, 3.141593);
    lanes.advanceTo(2);
    EXPECT_EQ(lanes.vars(0).orbit1.x, 3.141593); // y = x in the first step
    EXPECT_NE(lanes.vars(0).orbit1.y, 3.141593);
}

INSTANTIATE_TEST_SUITE_P(Code, LaneRunTest, ::testing::Values(LaneCode::Scalar, LaneCode::Avx2),
    [](const auto& p) { return p.param == LaneCode::Avx2 ? "Avx2" : "Scalar"; });

TEST(LaneCodeChoice, Avx2IsUsedOnlyWhereTheProcessorHasIt)
{
    const LaneRun lanes(laneSteps<Hopalong>(), std::vector {run({1, 1, 1})}, LaneCode::Avx2);
    EXPECT_EQ(lanes.code(), __builtin_cpu_supports("avx2") ? LaneCode::Avx2 : LaneCode::Scalar);
}

// The lane run's AVX2 code itself, called past the choice of code. Run only by
// lane_baseline_cpu_test.sh, on an emulated processor without AVX2, where it must stop with an
// illegal instruction: that shows the emulator refuses AVX2, and so that the rest of the suite
// ran there without it.
TEST(LaneCodeChoice, TheAvx2CodeCalledPastTheChoice)
{
    if (std::getenv("QUORVANE_CALL_AVX2_CODE") == nullptr)
        GTEST_SKIP() << "for lane_baseline_cpu_test.sh only";
    LaneRun lanes(laneSteps<Lorenz>(), std::vector {run({10, 28, 2.667})}, LaneCode::Scalar);
    laneSteps<Lorenz>().advanceAvx2(lanes, 10);
}

} // namespace
} // namespace quorvane::headless::test
