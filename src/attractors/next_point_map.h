#pragma once

#include "run/attractor.h"
#include "run/number.h"

namespace quorvane {

// The step shape of the maps of the plane. Orbit 1's next point is computed before its plots
// and orbit 2's between the orbits, each into slots 2 and 4 from the current point in slots 1
// and 3; only after the stop test does each orbit, orbit 1 first, take its next point as its
// current one. So a step plots the new point, never the current one, and both formulas of a
// step read the current x and y.
//
// A derives from NextPointMap<A> and supplies
//   next(orbit, parameters)   the next point, stored in orbit.xNext and orbit.yNext, over any
//                             number type;
//   map(orbit, shift, W, H)   the screen position of the next point.
template <class A> struct NextPointMap : AttractorSteps {
    static constexpr StateSlots pumpState = {{&Orbit::xNext, &Orbit::yNext, nullptr}, 2};
    // A map has no model time: a step is its only unit.
    static constexpr double timeStep = 0;

    template <class T> static void beforePlots(StepVars<T>& vars)
    {
        A::next(vars.orbit1, vars.set1);
    }
    template <class T> static void betweenOrbits(StepVars<T>& vars)
    {
        A::next(vars.orbit2, vars.set2);
    }
    template <class T> static void afterStopTest(StepVars<T>& vars)
    {
        commit(vars.orbit1);
        commit(vars.orbit2);
    }

private:
    template <class T> static void commit(BasicOrbit<T>& o)
    {
        o.x = o.xNext;
        o.y = o.yNext;
    }
};

} // namespace quorvane
