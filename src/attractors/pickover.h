#pragma once

#include "attractors/next_point_map.h"
#include "run/faults.h"

#include <cmath>

namespace quorvane {

class Form;

// Two orbits of the Pickover sine-cosine map, drawn 3000 units per unit on both axes. Slots:
// the current point in 1 and 3, the next point in 2 and 4. There is no start state: a run goes
// on from whatever the slots hold. Each step computes the next point, plots it, and commits it
// only after the stop test, so the start point itself is never drawn.
struct Pickover : NextPointMap<Pickover> {
    static const CommandTexts texts;

    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);

    // The next point from the current one:
    //   x' = sin(a y) - e sin(x) cos(b x)
    //   y' = e sin(x) sin(c x) - cos(d y)
    static void next(Orbit& orbit, const ParameterSet& p);
};

namespace pickover_detail {

// Each argument product is checked before its sine or cosine is taken; a fault there
// abandons the formula and leaves its target as it was. sin(x) itself is taken unchecked, and
// the final result is stored whatever it is.

inline void nextX(Orbit& o, const ParameterSet& p)
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

inline void nextY(Orbit& o, const ParameterSet& p)
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

} // namespace pickover_detail

inline void Pickover::next(Orbit& o, const ParameterSet& p)
{
    pickover_detail::nextX(o, p);
    pickover_detail::nextY(o, p);
}

inline Point Pickover::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // The new point is drawn, positive y' below the centre. The shift joins the half width
    // before the scaled x' but the sum of scaled y' and half height after it.
    return {3000 * o.xNext + (scaleWidth / 2 + shift), (3000 * o.yNext + scaleHeight / 2) + shift};
}

void mnuPIK2_Click(Form& form);
void Pickover2(Form& form);

} // namespace quorvane
