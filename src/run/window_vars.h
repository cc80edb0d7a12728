#pragma once

#include <cstdint>

namespace quorvane {

// The window's variables are doubles. A step is written once over a number type T (see
// run/number.h), so the same step can also advance several runs at once, one in each lane of a
// vector, or carry derivatives along; the Basic types below hold the step's variables in such a
// type, and the window's own are their double forms.

// One orbit's parameters. Orbit 1 holds a, b, c, d, e; orbit 2 holds aa, bb, cc, dd, ee in
// the same roles, so one step function serves both orbits.
template <class T> struct BasicParameterSet {
    T a = 0;
    T b = 0;
    T c = 0;
    T d = 0;
    T e = 0;
};
using ParameterSet = BasicParameterSet<double>;

// One orbit's five state slots. Each attractor gives them its own roles, the same for both
// orbits: the flows keep x, y and z in slots 1, 3 and 5; the maps keep the current point in
// slots 1 and 3 and the next point in slots 2 and 4.
template <class T> struct BasicOrbit {
    T x = 0; // slot 1
    T xNext = 0; // slot 2
    T y = 0; // slot 3
    T yNext = 0; // slot 4
    T z = 0; // slot 5
};
using Orbit = BasicOrbit<double>;

// What a step reads and writes: both parameter sets and both orbits' slots.
template <class T> struct StepVars {
    BasicParameterSet<T> set1; // a, b, c, d, e
    BasicParameterSet<T> set2; // aa, bb, cc, dd, ee
    BasicOrbit<T> orbit1;
    BasicOrbit<T> orbit2;
};

// Names of the ten parameters, as the prompts store into them.
enum class Param : std::uint8_t { a, b, c, d, e, aa, bb, cc, dd, ee };

// The window-level variables every attractor shares. They live as long as the window.
struct WindowVars : StepVars<double> {
    std::int16_t ColorIndex = 0; // palette index the next 'c' gives both backgrounds
    float DelayCount = 0; // counts per step of Delay; Form_Load sets 50000
    float DelayCounter = 0; // Delay's loop counter
    std::int16_t StopFlag = 0; // 1 asks the running loop to stop

    double& parameter(Param p);
    // Zeroes all ten parameters.
    void clearParameters() { set1 = set2 = ParameterSet {}; }
    // Zeroes all ten orbit-state slots.
    void clearOrbits() { orbit1 = orbit2 = Orbit {}; }
};

inline double& WindowVars::parameter(Param p)
{
    ParameterSet& set = static_cast<int>(p) < 5 ? set1 : set2;
    switch (static_cast<int>(p) % 5) {
    case 0:
        return set.a;
    case 1:
        return set.b;
    case 2:
        return set.c;
    case 3:
        return set.d;
    default:
        return set.e;
    }
}

} // namespace quorvane
