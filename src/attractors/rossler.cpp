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

void Rossler::advance(Orbit& o, const ParameterSet& p)
{
    // Every result is stored, an overflow included: a runaway orbit keeps its infinite or
    // not-a-number values and its plots are not made. z reads the new x but its own old value.
    o.x = o.x - (o.y + o.z) * timeStep;
    o.y = o.y + (p.a * o.y + o.x) * timeStep;
    o.z = o.z + (o.x * o.z + p.b - p.c * o.z) * timeStep;
}

Point Rossler::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // Positive y is drawn below the centre; z is never drawn.
    return {500 * o.x + (scaleWidth / 2 + shift), 300 * o.y + (scaleHeight / 2 + shift)};
}

void mnuROS_Click(Form& form) { attractorCommand(form, Rossler::texts, ROSSLER); }

void ROSSLER(Form& form) { runOrbits<Rossler>(form); }

} // namespace quorvane
