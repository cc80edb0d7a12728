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
    static void next(Orbit& orbit, const ParameterSet& p);
};

void mnuPIK2_Click(Form& form);
void Pickover2(Form& form);

} // namespace quorvane
