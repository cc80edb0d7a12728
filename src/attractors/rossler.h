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
    static void advance(Orbit& orbit, const ParameterSet& p);
};

void mnuROS_Click(Form& form);
void ROSSLER(Form& form);

} // namespace quorvane
