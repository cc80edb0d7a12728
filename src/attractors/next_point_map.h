#pragma once

#include "run/attractor.h"

namespace quorvane {

// The step shape of the maps of the plane. Orbit 1's next point is computed before its plots
// and orbit 2's between the orbits, each into slots 2 and 4 from the current point in slots 1
// and 3; only after the stop test does each orbit, orbit 1 first, take its next point as its
// current one. So a step plots the new point, never the current one, and both formulas of a
// step read the current x and y.
//
// A derives from NextPointMap<A> and supplies
//   next(orbit, parameters)   the next point, stored in orbit.xNext and orbit.yNext;
//   map(orbit, shift, W, H)   the screen position of the next point.
template <class A> struct NextPointMap : AttractorSteps {
    static constexpr StateSlots pumpState = {{&Orbit::xNext, &Orbit::yNext, nullptr}, 2};
    // A map has no model time: a step is its only unit.
    static constexpr double timeStep = 0;

    static void beforePlots(WindowVars& vars) { A::next(vars.orbit1, vars.set1); }
    static void betweenOrbits(WindowVars& vars) { A::next(vars.orbit2, vars.set2); }
    static void afterStopTest(WindowVars& vars)
    {
        commit(vars.orbit1);
        commit(vars.orbit2);
    }

private:
    static void commit(Orbit& o)
    {
        o.x = o.xNext;
        o.y = o.yNext;
    }
};

// sgn as a whole number: -1, 0 or +1, and 0 for a value that is not a number.
inline double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

} // namespace quorvane
