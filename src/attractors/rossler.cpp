#include "attractors/rossler.h"

#include "run/run_loop.h"

#include <array>

namespace quorvane {

namespace {

// Question and range hint share one line, two blanks apart.
constexpr std::array<Prompt, 6> kPrompts = {{
    {"Entre a number for a.  {Try   .2  -  .41}", 0.2, Param::a},
    {"Entre a number for b.  {Try   .1  -  1 }", 0.2, Param::b},
    {"Entre a number for c.  {Try   3  -  30}", 5.7, Param::c},
    {"Entre a number for aa.  {Try   .2  -  .41}", 0.2, Param::aa},
    {"Entre a number for bb.  {Try   .1  -  1 }", 0.2, Param::bb},
    {"Entre a number for cc.  {Try   3  -  30}", 5.7, Param::cc},
}};

} // namespace

const CommandTexts Rossler::texts = {"Rossler", kPrompts, "Rossler Attractor    "};

void mnuROS_Click(Form& form) { attractorCommand(form, Rossler::texts, ROSSLER); }

void ROSSLER(Form& form) { runOrbits<Rossler>(form); }

} // namespace quorvane
