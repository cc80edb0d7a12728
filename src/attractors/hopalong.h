#pragma once

#include "attractors/next_point_map.h"

namespace quorvane {

class Form;

// Two orbits of the Hopalong map, drawn 500 units per unit on both axes. Slots: the current
// point in 1 and 3, the next point in 2 and 4. There is no start state: a run goes on from
// whatever the slots hold. Each step computes the next point, plots it, and commits it only
// after the stop test, so the start point itself is never drawn.
struct Hopalong : NextPointMap<Hopalong> {
    static const CommandTexts texts;

    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);

    // The next point from the current one: x' = y - (sgn(x) + sqrt|b x - c|), y' = a - x.
    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
};

template <class T> inline void Hopalong::next(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    // The root's argument is checked before the root is taken; a fault there leaves x' as it
    // was. Past that point, and for y', an overflowing result is stored and stays.
    const T rootArgument = fabs(p.b * o.x - p.c);
    storeUnless(
        isFault(rootArgument), o.xNext, [&] { return o.y - (sgn(o.x) + sqrt(rootArgument)); });
    o.yNext = p.a - o.x;
}

inline Point Hopalong::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // The new point is drawn, positive y' below the centre.
    return {500 * o.xNext + (scaleWidth / 2 + shift), 500 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuHop1_Click(Form& form);
void Hop1(Form& form);

} // namespace quorvane
