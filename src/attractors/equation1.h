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

    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);
};

template <class T> inline void Equation1::next(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    // No call takes part, so every result is stored, an overflow included. The first branch
    // holds only where x > 0 strictly: x = 0 and a not-a-number x take the second.
    const auto positiveX = [&] { return o.y + (p.b * o.x) * (p.d - 0.5); };
    const auto otherwise = [&] { return (o.y - p.d) - (1 + p.d - o.x * p.d) * p.b; };
    o.xNext = ifElse(o.x > 0, positiveX, otherwise);
    o.yNext = p.a - o.x;
}

inline Point Equation1::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    return {800 * o.xNext + (scaleWidth / 2 + shift), 800 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuE1_Click(Form& form);
void E1(Form& form);

} // namespace quorvane
