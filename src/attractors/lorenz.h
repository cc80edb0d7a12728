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
    static void advance(Orbit& orbit, const ParameterSet& p);
};

void mnuLOR1_Click(Form& form);
void Lorenz2(Form& form);

} // namespace quorvane
