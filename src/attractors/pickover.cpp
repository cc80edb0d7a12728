#include "attractors/pickover.h"

#include "run/run_loop.h"

#include <array>
#include <cmath>

namespace quorvane {

namespace {

constexpr std::array<Prompt, 10> kPrompts = {{
    {"Entre a value for (a)    {Try  2.21 to 4.73}", 2.23, Param::a},
    {"Entre a value for (b)    {Try  0.42 to 10}", 0.5, Param::b},
    {"Entre a value for (c)    {Try  -10 to +10}", -0.67, Param::c},
    {"Entre a value for (d)    {Try  -2.05 to -5.0}", -2.1, Param::d},
    {"Entre a value for (e)    {Try  0.3  to  2.0}", 1, Param::e},
    {"Entre a value for (aa)    {Try  2.21 to 4.73}", 2.23, Param::aa},
    {"Entre a value for (bb)    {Try  0.42 to 10}", 0.5, Param::bb},
    {"Entre a value for (cc)    {Try  -10 to +10}", -0.67, Param::cc},
    {"Entre a value for (dd)    {Try  -2.05 to -5.0}", -2.1, Param::dd},
    {"Entre a value for (ee)    {Try  0.3  to  2.0}", 1, Param::ee},
}};

// Each argument product is checked before its sine or cosine is taken; a fault there
// abandons the formula and leaves its target as it was. sin(x) itself is taken unchecked, and
// the final result is stored whatever it is.

void nextX(Orbit& o, const ParameterSet& p)
{
    const double sinX = std::sin(o.x);
    const double bx = p.b * o.x;
    if (isFault(bx))
        return;
    const double cosBx = std::cos(bx);
    const double ay = p.a * o.y;
    if (isFault(ay))
        return;
    const double sinAy = std::sin(ay);
    o.xNext = sinAy - sinX * p.e * cosBx;
}

void nextY(Orbit& o, const ParameterSet& p)
{
    const double sinX = std::sin(o.x);
    const double cx = p.c * o.x;
    if (isFault(cx))
        return;
    const double sinCx = std::sin(cx);
    const double dy = p.d * o.y;
    if (isFault(dy))
        return;
    const double cosDy = std::cos(dy);
    o.yNext = sinX * p.e * sinCx - cosDy;
}

} // namespace

const CommandTexts Pickover::texts = {"Pickover", kPrompts, "Pickover2   "};

void Pickover::next(Orbit& o, const ParameterSet& p)
{
    nextX(o, p);
    nextY(o, p);
}

Point Pickover::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // The new point is drawn, positive y' below the centre. The shift joins the half width
    // before the scaled x' but the sum of scaled y' and half height after it.
    return {3000 * o.xNext + (scaleWidth / 2 + shift), (3000 * o.yNext + scaleHeight / 2) + shift};
}

void mnuPIK2_Click(Form& form) { attractorCommand(form, Pickover::texts, Pickover2); }

void Pickover2(Form& form) { runOrbits<Pickover>(form); }

} // namespace quorvane
