#pragma once

#include "attractors/sign_map.h"

namespace quorvane {

class Form;

// Starburst: the sign map of sign_map.h with the tangent of a + b + c, drawn at 15 units per
// unit about the middle of the window.
struct Starburst : NextPointMap<Starburst> {
    static const CommandTexts texts;

    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p)
    {
        signMapNext<SumFunction::Tan>(orbit, p);
    }
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight)
    {
        return signMapPoint(orbit, 15, shift, scaleWidth, scaleHeight);
    }
};

void mnu3P4_Click(Form& form);
void TP4(Form& form);

} // namespace quorvane
