#pragma once

#include "attractors/next_point_map.h"

namespace quorvane {

class Form;

// Equation 1, a piecewise-linear map of the plane:
//   x' = y + b * x * (d - 0.5)          when x > 0,
//   x' = y - d - b * (1 + d - d * x)    otherwise, a not-a-number x included;
//   y' = a - x.
// c is asked for but not used. Drawn at 800 units per unit about the middle of the window.
struct Equation1 : NextPointMap<Equation1> {
    static const CommandTexts texts;

    static void next(Orbit& orbit, const ParameterSet& p);
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);
};

void mnuE1_Click(Form& form);
void E1(Form& form);

} // namespace quorvane
