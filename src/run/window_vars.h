#pragma once

#include <cstdint>

namespace quorvane {

// One orbit's parameters. Orbit 1 holds a, b, c, d, e; orbit 2 holds aa, bb, cc, dd, ee in
// the same roles, so one step function serves both orbits.
struct ParameterSet {
    double a = 0;
    double b = 0;
    double c = 0;
    double d = 0;
    double e = 0;
};

// One orbit's five state slots. Each attractor gives them its own roles, the same for both
// orbits: the flows keep x, y and z in slots 1, 3 and 5; the maps keep the current point in
// slots 1 and 3 and the next point in slots 2 and 4.
struct Orbit {
    double x = 0; // slot 1
    double xNext = 0; // slot 2
    double y = 0; // slot 3
    double yNext = 0; // slot 4
    double z = 0; // slot 5
};

// Names of the ten parameters, as the prompts store into them.
enum class Param : std::uint8_t { a, b, c, d, e, aa, bb, cc, dd, ee };

// The window-level variables every attractor shares. They live as long as the window.
struct WindowVars {
    ParameterSet set1; // a, b, c, d, e
    ParameterSet set2; // aa, bb, cc, dd, ee
    Orbit orbit1;
    Orbit orbit2;
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
