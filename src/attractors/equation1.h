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

inline void Equation1::next(Orbit& o, const ParameterSet& p)
{
    // No call takes part, so every result is stored, an overflow included.
    if (o.x > 0)
        o.xNext = o.y + (p.b * o.x) * (p.d - 0.5);
    else
        o.xNext = (o.y - p.d) - (1 + p.d - o.x * p.d) * p.b;
    o.yNext = p.a - o.x;
}

inline Point Equation1::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    return {800 * o.xNext + (scaleWidth / 2 + shift), 800 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuE1_Click(Form& form);
void E1(Form& form);

} // namespace quorvane
