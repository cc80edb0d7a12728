#include "attractors/hopalong.h"

#include "run/run_loop.h"

#include <array>

namespace quorvane {

namespace {

constexpr std::array<Prompt, 6> kPrompts = {{
    {"Entre a value for (a)    {Try  -1.0  to  +1.0}", 0.724, Param::a},
    {"Entre a value for (b)    {Try  -1.0  to  +1.0}", -0.565, Param::b},
    {"Entre a value for (c)    {Try  -1.0  to  +1.0}", -0.117, Param::c},
    {"Entre a value for (aa)    {Try  -1.0  to  +1.0}", 0.724, Param::aa},
    {"Entre a value for (bb)    {Try  -1.0  to  +1.0}", -0.565, Param::bb},
    {"Entre a value for (cc)    {Try  -1.0  to  +1.0}", -0.117, Param::cc},
}};

} // namespace

const CommandTexts Hopalong::texts = {"Hopalong-1", kPrompts, "Hopalong(1)   "};

void mnuHop1_Click(Form& form) { attractorCommand(form, Hopalong::texts, Hop1); }

void Hop1(Form& form) { runOrbits<Hopalong>(form); }

} // namespace quorvane
