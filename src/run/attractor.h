#pragma once

#include "run/prompt.h"
#include "run/window_vars.h"

#include <array>
#include <concepts>
#include <cstddef>
#include <span>
#include <string_view>

namespace quorvane {

// A point in the window's coordinates, computed in double precision.
struct Point {
    double x = 0;
    double y = 0;
};

// What an attractor's menu command shows: the input-box title, the prompts in order, and the
// caption it gives the window before drawing.
struct CommandTexts {
    std::string_view title;
    std::span<const Prompt> prompts;
    std::string_view caption;
};

// The hooks of one step of a run, each empty unless the attractor does something there. An
// attractor derives from this and hides the ones it needs with its own static functions:
//   start(vars)          its start state, set once when the run begins;
//   beforePlots(vars)    computation before orbit 1 is plotted;
//   betweenOrbits(vars)  computation between orbit 1's plots and orbit 2's;
//   afterStopTest(vars)  the rest of the step, once the run has not been stopped.
// The three hooks of every step are templates over the number type of StepVars<T> (see
// run/number.h): the window's WindowVars is the double form, and other forms advance several
// runs at once in vector lanes.
// It also supplies
//   map(orbit, shift, scaleWidth, scaleHeight) -> Point
// the screen position of the orbit's plotted point; shift is 0 for orbit 1 and 10 for orbit 2,
// added where the attractor's mapping adds it.
//
// The hooks that run at every step and the mapping are defined in the attractor's header,
// inline: the run skeleton is instantiated for more than one platform class (see runOrbits),
// and each instantiation must be able to inline them, or every step would store the orbit
// state before a call and reload it after.
struct AttractorSteps {
    static void start(WindowVars&) { }
    template <class T> static void beforePlots(StepVars<T>&) { }
    template <class T> static void betweenOrbits(StepVars<T>&) { }
    template <class T> static void afterStopTest(StepVars<T>&) { }
};

template <class A>
concept Attractor = requires(WindowVars& vars, const Orbit& orbit)
{
    A::start(vars);
    A::beforePlots(vars);
    A::betweenOrbits(vars);
    A::afterStopTest(vars);
    {
        A::map(orbit, 0.0, 0.0, 0.0)
        } -> std::same_as<Point>;
};

inline constexpr double kOrbit2Shift = 10.0;

// The slots that hold an orbit's state while the event pump runs: the point the step has just
// plotted, which is also what the next step carries on from. The flows keep x, y and z there;
// the maps keep their next point, x' and y', which the step takes over after the stop test.
struct StateSlots {
    std::array<double Orbit::*, 3> members {};
    std::size_t count = 0;

    std::span<double Orbit::*const> view() const { return {members.data(), count}; }
};

// The five slots of an orbit, in order, for any number type.
template <class T>
inline constexpr std::array<T BasicOrbit<T>::*, 5> kOrbitSlots = {&BasicOrbit<T>::x,
    &BasicOrbit<T>::xNext, &BasicOrbit<T>::y, &BasicOrbit<T>::yNext, &BasicOrbit<T>::z};

// The slots that hold A's state at the pump (A::pumpState) as members of an orbit of number
// type T: where a step written over T (see run/number.h) keeps that state.
template <class A, class T> constexpr auto pumpStateSlots()
{
    constexpr StateSlots state = A::pumpState;
    std::array<T BasicOrbit<T>::*, state.count> members {};
    for (std::size_t i = 0; i < state.count; ++i) {
        std::size_t slot = 0;
        while (kOrbitSlots<double>[slot] != state.members[i])
            ++slot;
        members[i] = kOrbitSlots<T>[slot];
    }
    return members;
}

} // namespace quorvane
