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

    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p);
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight);
};

template <class T> inline void Equation8::next(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    o.xNext = p.a - o.y;
    // A fault in the root's argument is caught before the root is taken: y' is then not
    // assigned in this step and keeps its value, which after a commit is the current y.
    const T radicand = p.d * o.y - p.b;
    storeUnless(isFault(radicand), o.yNext, [&] { return o.x + sqrt(fabs(radicand)) * sgn(o.y); });
}

inline Point Equation8::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    return {500 * o.xNext + (scaleWidth / 2.1 + shift), 500 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuE8_Click(Form& form);
void E8(Form& form);

} // namespace quorvane
