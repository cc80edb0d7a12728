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

void mnuLOR1_Click(Form& form) { attractorCommand(form, Lorenz::texts, Lorenz2); }

void Lorenz2(Form& form) { runOrbits<Lorenz>(form); }

} // namespace quorvane
