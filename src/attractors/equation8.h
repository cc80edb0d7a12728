#pragma once

#include "attractors/next_point_map.h"

namespace quorvane {

class Form;

// Equation 8, a map of the plane built on a signed square root:
//   x' = a - y,   y' = x + sgn(y) * sqrt(|d * y - b|).
// c is asked for but not used. Drawn at 500 units per unit about a point a little left of the
// middle of the window: ScaleWidth / 2.1 across, ScaleHeight / 2 down.
struct Equation8 : NextPointMap<Equation8> {
    static const CommandTexts texts;

    static void next(Orbit& orbit, const ParameterSet& p);
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);
};

void mnuE8_Click(Form& form);
void E8(Form& form);

} // namespace quorvane
