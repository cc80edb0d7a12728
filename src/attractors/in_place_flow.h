#pragma once

#include "run/attractor.h"
#include "run/number.h"

namespace quorvane {

// The step shape of the flows. Each step plots the current point, and only after the stop test
// advances orbit 1, then orbit 2, in place: each assignment overwrites its variable before the
// next one is computed. A stop therefore never leaves a half-advanced step.
//
// A derives from InPlaceFlow<A> and supplies
//   advance(orbit, parameters)   one step of the flow, in place, over any number type;
//   map(orbit, shift, W, H)      the screen position of the current point;
//   timeStep                     the model time one step advances.
template <class A> struct InPlaceFlow : AttractorSteps {
    static constexpr StateSlots pumpState = {{&Orbit::x, &Orbit::y, &Orbit::z}, 3};

    template <class T> static void afterStopTest(StepVars<T>& vars)
    {
        A::advance(vars.orbit1, vars.set1);
        A::advance(vars.orbit2, vars.set2);
    }

    // One orbit from the state it holds at one event pump to the state at the next: the
    // advance after the stop test. What measures the step as a function of that state (its
    // Jacobian, say) runs this, so that it measures the step the run makes.
    template <class T> static void pumpToPump(BasicOrbit<T>& orbit, const BasicParameterSet<T>& p)
    {
        A::advance(orbit, p);
    }
};

} // namespace quorvane
