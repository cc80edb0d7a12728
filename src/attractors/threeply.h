#pragma once

#include "attractors/sign_map.h"

namespace quorvane {

class Form;

// Threeply: the sign map of sign_map.h with the sine of a + b + c, drawn at 20 units per unit
// about the middle of the window. The struct is ThreeplyMap so that the drawing routine can
// keep its name, Threeply.
struct ThreeplyMap : NextPointMap<ThreeplyMap> {
    static const CommandTexts texts;

    template <class T> static void next(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p)
    {
        signMapNext<SumFunction::Sin>(orbit, p);
    }
    static Point map(const Orbit& orbit, double shift, double scaleWidth, double scaleHeight)
    {
        return signMapPoint(orbit, 20, shift, scaleWidth, scaleHeight);
    }
};

void mnuThreeply_Click(Form& form);
void Threeply(Form& form);

} // namespace quorvane
