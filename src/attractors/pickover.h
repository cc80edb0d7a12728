#pragma once

#include "attractors/next_point_map.h"

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
    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
};

namespace pickover_detail {

// Each argument product is checked before its sine or cosine is taken; a fault in either
// abandons the formula and leaves its target as it was. sin(x) itself is taken unchecked, and
// the final result is stored whatever it is. Both products are formed first and checked
// together: that abandons exactly the formulas that checking each just before its own call
// would, since a call made before the second check has no effect but its discarded result.

template <class T> inline void nextX(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    const T sinX = sin(o.x);
    const T bx = p.b * o.x;
    const T ay = p.a * o.y;
    storeUnless(isFault(bx) || isFault(ay), o.xNext, [&] {
        const T cosBx = cos(bx);
        const T sinAy = sin(ay);
        return sinAy - sinX * p.e * cosBx;
    });
}

template <class T> inline void nextY(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    const T sinX = sin(o.x);
    const T cx = p.c * o.x;
    const T dy = p.d * o.y;
    storeUnless(isFault(cx) || isFault(dy), o.yNext, [&] {
        const T sinCx = sin(cx);
        const T cosDy = cos(dy);
        return sinX * p.e * sinCx - cosDy;
    });
}

} // namespace pickover_detail

template <class T> inline void Pickover::next(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
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
