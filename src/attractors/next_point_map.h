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

    // One orbit from the state it holds at one event pump, its next point, to the state at
    // the next pump: the commit after the stop test, then the next point the following step
    // computes. What measures the step as a function of that state (its Jacobian, say) runs
    // this, so that it measures the step the run makes. Where a check skips an assignment, its
    // target keeps the value the commit gave it, the pump state's own coordinate.
    template <class T> static void pumpToPump(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p)
    {
        commit(orbit);
        A::next(orbit, p);
    }

private:
    template <class T> static void commit(BasicOrbit<T>& o)
    {
        o.x = o.xNext;
        o.y = o.yNext;
    }
};

} // namespace quorvane
