#pragma once

#include "attractors/in_place_flow.h"

namespace quorvane {

class Form;

// Two Rossler orbits, advanced by forward steps of 0.04 and drawn in their x-y plane, 500 units
// per unit across and 300 down. Slots: x in 1, y in 3, z in 5. There is no start state: a run
// goes on from whatever the slots hold. Each step plots the current point and advances it in
// place after the stop test.
struct Rossler : InPlaceFlow<Rossler> {
    static const CommandTexts texts;
    static constexpr double timeStep = 0.04;

    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);

    // One step; each assignment reads the values the ones before it just stored.
    template <class T> static void advance(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
};

template <class T> inline void Rossler::advance(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    // Every result is stored, an overflow included: a runaway orbit keeps its infinite or
    // not-a-number values and its plots are not made. z reads the new x but its own old value.
    o.x = o.x - (o.y + o.z) * timeStep;
    o.y = o.y + (p.a * o.y + o.x) * timeStep;
    o.z = o.z + (o.x * o.z + p.b - p.c * o.z) * timeStep;
}

inline Point Rossler::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // Positive y is drawn below the centre; z is never drawn.
    return {500 * o.x + (scaleWidth / 2 + shift), 300 * o.y + (scaleHeight / 2 + shift)};
}

void mnuROS_Click(Form& form);
void ROSSLER(Form& form);

} // namespace quorvane
