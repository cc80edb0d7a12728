#pragma once

#include "attractors/in_place_flow.h"

namespace quorvane {

class Form;

// Two Lorenz orbits, integrated by forward Euler steps of 0.0004 and drawn in their x-z plane.
// Slots: x in 1, y in 3, z in 5. Each step plots the current point; the whole advance comes
// after the stop test, so a stop never leaves a half-advanced step.
struct Lorenz : InPlaceFlow<Lorenz> {
    static const CommandTexts texts;
    static constexpr double timeStep = 0.0004;

    static void start(WindowVars& vars);
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);

    // One Euler step; each equation uses the values just stored by the one before.
    template <class T> static void advance(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
};

template <class T> inline void Lorenz::advance(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    // Every result is stored, an overflow included: a runaway orbit keeps its infinite or
    // not-a-number values and its plots are not made.
    o.x = o.x + (o.y - o.x) * p.a * timeStep;
    o.y = o.y + (p.b * o.x - o.y - o.x * o.z) * timeStep;
    o.z = o.z + (o.x * o.y - p.c * o.z) * timeStep;
}

inline Point Lorenz::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    // x across, z upwards; z = 0 lies at five sixths of the height.
    return {300 * o.x + (scaleWidth / 2 + shift), -200 * o.z + (scaleHeight / 1.2 + shift)};
}

void mnuLOR1_Click(Form& form);
void Lorenz2(Form& form);

} // namespace quorvane
