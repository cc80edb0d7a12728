#include "attractors/lorenz.h"

#include "run/run_loop.h"

#include <array>

namespace quorvane {

namespace {

constexpr double kStart = 3.141593;

constexpr std::array<Prompt, 6> kPrompts = {{
    {"Entre a value for Prandtl number.\r\n{5 - 34}", 10, Param::a},
    {"Entre a value for Rayleigh number.\r\n{19 - 80, }", 28, Param::b},
    {"Entre a value for (3rd parameter).\r\n{0.7 - 5.0}", 2.667, Param::c},
    {"Entre a value for Prandtl number (2).\r\n{5 - 34}", 10, Param::aa},
    {"Entre a value for Rayleigh number (2).\r\n{19 - 80, }", 28, Param::bb},
    {"Entre a value for (3rd parameter) (2).\r\n{0.7 - 5.0}", 2.667, Param::cc},
}};

} // namespace

const CommandTexts Lorenz::texts = {"Lorenz Orbits", kPrompts, "LORENZ  ORBITS (XZ)    "};

void Lorenz::start(WindowVars& vars)
{
    // Slots 2 and 4 are left as they are.
    vars.orbit1.x = kStart;
    vars.orbit1.y = kStart;
    vars.orbit1.z = kStart;
    vars.orbit2.x = kStart;
    vars.orbit2.y = kStart;
    vars.orbit2.z = kStart;
}

void Lorenz::advance(Orbit& o, const ParameterSet& p)
{
    // Every result is stored, an overflow included: a runaway orbit keeps its infinite or
    // not-a-number values and its plots are not made.
    o.x = o.x + (o.y - o.x) * p.a * timeStep;
    o.y = o.y + (p.b * o.x - o.y - o.x * o.z) * timeStep;
    o.z = o.z + (o.x * o.y - p.c * o.z) * timeStep;
}

Point Lorenz::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // x across, z upwards; z = 0 lies at five sixths of the height.
    return {300 * o.x + (scaleWidth / 2 + shift), -200 * o.z + (scaleHeight / 1.2 + shift)};
}

void mnuLOR1_Click(Form& form) { attractorCommand(form, Lorenz::texts, Lorenz2); }

void Lorenz2(Form& form) { runOrbits<Lorenz>(form); }

} // namespace quorvane
