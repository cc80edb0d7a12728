// The Jacobian of each attractor's step as the dual numbers give it, against central finite
// differences of the program's own run: the run is started, orbit 1's state set at its first
// event pump, and read at the second. Nothing of the dual code takes part in the differences.

#include "analysis/tangent_step.h"
#include "headless/attractor_types.h"
#include "headless/headless_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace quorvane::analysis {
namespace {

using headless::AttractorChoice;

const AttractorChoice& attractor(const char* name) { return *headless::findAttractor(name); }

// The parameters the attractor's prompts offer.
ParameterSet defaults(const AttractorChoice& choice)
{
    WindowVars vars;
    for (const Prompt& prompt : choice.texts.prompts)
        vars.parameter(prompt.target) = prompt.defaultValue;
    return vars.set1;
}

using State = std::array<double, 3>;

// The state at the pump of step `step` of a run with parameters p.
State stateAt(const AttractorChoice& choice, const ParameterSet& p, std::uint64_t step)
{
    State state {};
    headless::HeadlessRun run({&choice, p, p, step});
    run.setObserver([&](std::uint64_t at, WindowVars& vars) {
        if (at == step)
            for (std::size_t i = 0; i < choice.state.count; ++i)
                state[i] = vars.orbit1.*choice.state.members[i];
        return true;
    });
    run.run();
    return state;
}

// The run's own step from `state` at a pump to the state at the next one.
State runStep(const AttractorChoice& choice, const ParameterSet& p, const State& state)
{
    State next {};
    headless::HeadlessRun run({&choice, p, p, 2});
    run.setObserver([&](std::uint64_t step, WindowVars& vars) {
        for (std::size_t i = 0; i < choice.state.count; ++i) {
            double& slot = vars.orbit1.*choice.state.members[i];
            if (step == 1)
                slot = state[i];
            else
                next[i] = slot;
        }
        return true;
    });
    run.run();
    return next;
}

// Column k of the Jacobian by central differences of the run's step.
State difference(
    const AttractorChoice& choice, const ParameterSet& p, const State& at, std::size_t k)
{
    const double h = 1e-6 * std::max(1.0, std::fabs(at[k]));
    State up = at, down = at;
    up[k] += h;
    down[k] -= h;
    const State u = runStep(choice, p, up), d = runStep(choice, p, down);
    State column {};
    for (std::size_t i = 0; i < choice.state.count; ++i)
        column[i] = (u[i] - d[i]) / (up[k] - down[k]);
    return column;
}

// The dual step's next state and Jacobian at `at`, as plain numbers.
struct Dual {
    State next {};
    std::array<State, 3> jacobian {};
};
Dual dualStep(const AttractorChoice& choice, const ParameterSet& p, const State& at)
{
    return headless::visitAttractor(choice.id, [&]<class A>() {
        using Step = TangentStep<A>;
        Orbit orbit;
        for (std::size_t i = 0; i < Step::kDim; ++i)
            orbit.*A::pumpState.members[i] = at[i];
        const Step s = Step::from(orbit, p);
        Dual d;
        for (std::size_t i = 0; i < Step::kDim; ++i) {
            d.next[i] = s.next[i];
            for (std::size_t k = 0; k < Step::kDim; ++k)
                d.jacobian[i][k] = s.jacobian[i][static_cast<int>(k)];
        }
        return d;
    });
}

// Checks the dual step at `at` against the run: the next state to the bit, and every entry of
// the Jacobian against the differences, to a millionth of the larger of 1 and the entry.
void expectJacobian(const AttractorChoice& choice, const ParameterSet& p, const State& at)
{
    SCOPED_TRACE(std::string(choice.name) + " at (" + std::to_string(at[0]) + ", "
        + std::to_string(at[1]) + ", " + std::to_string(at[2]) + ")");
    const Dual d = dualStep(choice, p, at);
    const State next = runStep(choice, p, at);
    const std::size_t n = choice.state.count;
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_EQ(d.next[i], next[i]) << "coordinate " << i;
    for (std::size_t k = 0; k < n; ++k) {
        const State column = difference(choice, p, at, k);
        for (std::size_t i = 0; i < n; ++i)
            EXPECT_NEAR(d.jacobian[i][k], column[i], 1e-6 * std::max(1.0, std::fabs(column[i])))
                << "entry " << i << ", " << k;
    }
}

// Three points of each attractor's own orbit with its defaults, a few thousand steps in.
TEST(TangentStep, IsTheJacobianOfTheRunsStepForEveryAttractor)
{
    for (const AttractorChoice& choice : headless::attractorChoices()) {
        const ParameterSet p = defaults(choice);
        for (const std::uint64_t step : {2000u, 2500u, 3001u})
            expectJacobian(choice, p, stateAt(choice, p, step));
    }
}

// Equation 1 on both sides of its branch at x = 0, away from it by more than the differences
// reach.
TEST(TangentStep, TakesEquation1sBranchOnEitherSide)
{
    const ParameterSet p = defaults(attractor("eqn1"));
    expectJacobian(attractor("eqn1"), p, {0.25, -0.5, 0});
    expectJacobian(attractor("eqn1"), p, {-0.25, -0.5, 0});
}

// Where a fault rule skips an assignment, the coordinate keeps the value the commit gave it:
// the step there is the identity in it, and the differences, taken within the region where
// the rule holds, see the same.
TEST(TangentStep, KeepsACoordinateWhereAFaultRuleSkipsItsAssignment)
{
    // |b x - c| overflows: Hopalong's x' stays.
    expectJacobian(attractor("hopalong"), {0.7, 2, 0.1, 0, 0}, {1e308, 0.5, 0});
    // d y - b overflows: Equation 8's y' stays.
    expectJacobian(attractor("eqn8"), {2.4, -1.3, 0, 2, 0}, {0.5, 1e308, 0});
    // b x overflows: Pickover's x' stays while y' is computed.
    expectJacobian(attractor("pickover"), {2.23, 1e308, -0.67, -2.1, 1}, {10, 0.5, 0});
    // a + b + c overflows: Starburst's and Threeply's x' stay.
    for (const char* name : {"starburst", "threeply"})
        expectJacobian(attractor(name), {1, 1e308, 1e308, 0, 0}, {3.5, -2, 0});

    // Worked by hand: Hopalong's row of x' is that of the identity, y' = a - x.
    const Dual d = dualStep(attractor("hopalong"), {0.7, 2, 0.1, 0, 0}, {1e308, 0.5, 0});
    EXPECT_EQ(d.jacobian[0][0], 1);
    EXPECT_EQ(d.jacobian[0][1], 0);
    EXPECT_EQ(d.jacobian[1][0], -1);
    EXPECT_EQ(d.jacobian[1][1], 0);
}

// Lorenz's Euler step updates x, then y with the new x, then z with the new x and y, so its
// Jacobian is the product of three one-coordinate updates, and its determinant the product of
// their diagonal entries: (1 - a dt)(1 - dt)(1 - c dt) wherever the orbit is.
TEST(TangentStep, GivesLorenzTheProductOfItsThreeUpdates)
{
    const double a = 10, b = 28, c = 2.6666666666666665, dt = 0.0004;
    const State at {1.5, -2, 20};
    const Dual d = dualStep(attractor("lorenz"), {a, b, c, 0, 0}, at);
    const double x = at[0] + (at[1] - at[0]) * a * dt;
    // dx'/d(x, y, z), dy'/d(x, y, z) through x', dz'/d(x, y, z) through x' and y'.
    const State rx {1 - a * dt, a * dt, 0};
    const State ry {(b - at[2]) * dt * rx[0], 1 - dt + (b - at[2]) * dt * rx[1], -x * dt};
    const double y = at[1] + (b * x - at[1] - x * at[2]) * dt;
    State rz {};
    for (std::size_t k = 0; k < 3; ++k)
        rz[k] = (y * rx[k] + x * ry[k]) * dt + (k == 2 ? 1 - c * dt : 0);
    const std::array<State, 3> expected {rx, ry, rz};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(d.jacobian[i][k], expected[i][k], 1e-15) << i << ", " << k;
}

// The square root of 0 and the sign function at 0 have no derivative along a direction that
// moves their argument: Hopalong at (0, 0) with b = 1, c = 0 meets both.
TEST(TangentStep, HasNoFiniteDerivativeWhereTheStepIsNotSmooth)
{
    const Dual d = dualStep(attractor("hopalong"), {0, 1, 0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(d.next[0], 0);
    EXPECT_FALSE(std::isfinite(d.jacobian[0][0]));
    // y' = a - x is smooth everywhere.
    EXPECT_EQ(d.jacobian[1][0], -1);
    EXPECT_EQ(d.jacobian[1][1], 0);
    // Away from x = 0 and from the root's 0 the same step is smooth.
    const Dual away = dualStep(attractor("hopalong"), {0, 1, 0, 0, 0}, {0.25, 0, 0});
    EXPECT_DOUBLE_EQ(away.jacobian[0][0], -0.5 / std::sqrt(0.25));
}

} // namespace
} // namespace quorvane::analysis
