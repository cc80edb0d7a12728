#include "attractors/hopalong.h"

#include "run/run_loop.h"

#include <array>
#include <cmath>

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

void Hopalong::next(Orbit& o, const ParameterSet& p)
{
    // The root's argument is checked before the root is taken; a fault there leaves x' as it
    // was. Past that point, and for y', an overflowing result is stored and stays.
    const double rootArgument = std::fabs(p.b * o.x - p.c);
    if (!isFault(rootArgument))
        o.xNext = o.y - (sgn(o.x) + std::sqrt(rootArgument));
    o.yNext = p.a - o.x;
}

Point Hopalong::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // The new point is drawn, positive y' below the centre.
    return {500 * o.xNext + (scaleWidth / 2 + shift), 500 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuHop1_Click(Form& form) { attractorCommand(form, Hopalong::texts, Hop1); }

void Hop1(Form& form) { runOrbits<Hopalong>(form); }

} // namespace quorvane
