#pragma once

#include "run/attractor.h"
#include "run/faults.h"
#include "run/form.h"
#include "run/pacing.h"
#include "run/palette.h"

#include <cassert>
#include <type_traits>

namespace quorvane {

namespace detail {

// One orbit's point, plotted on the window and then on pic1. The position is computed from the
// window's current scale, once for the pair: the platform changes the scale only when it raises
// an event, and no event runs between the two plots. A coordinate that is a fault or does not
// fit single precision means neither plot is made.
template <Attractor A, class P>
inline void plotOrbit(P& platform, const Orbit& orbit, double shift, Rgb colour)
{
    const WindowMetrics& m = platform.metrics();
    const Point p = A::map(orbit, shift, m.scaleWidth, m.scaleHeight);
    if (!fitsSingle(p.x) || !fitsSingle(p.y))
        return;
    const float x = static_cast<float>(p.x);
    const float y = static_cast<float>(p.y);
    platform.plot(Surface::Window, x, y, colour);
    platform.plot(Surface::Picture, x, y, colour);
}

} // namespace detail

// The drawing routine every attractor shares. It returns when RESET has stopped the run and the
// end-of-run actions are done, or at once when the window has been unloaded.
//
// A command started from inside processEvents() runs its own loop nested in this one. When
// RESET ends that inner run, its end-of-run actions set StopFlag back to 0, so this loop's
// stop test lets it go on, from the zeroed state.
//
// P is the class of the form's platform. The window's drawing routines take the default, and
// reach the platform through its virtual calls. A platform class that is final may be named
// instead, for a form built on a platform of exactly that class: its plot() and
// processEvents() are then called directly and can be inlined into the loop, in place of five
// indirect calls a step around which the orbit state is stored and reloaded. The headless runs
// use this; the loop itself is the same source for both.
template <Attractor A, class P = Platform> void runOrbits(Form& form)
{
    static_assert(std::is_base_of_v<Platform, P>);
    static_assert(std::is_same_v<P, Platform> || std::is_final_v<P>,
        "only a final platform class makes the platform's calls direct");
    assert(dynamic_cast<P*>(&form.platform()) != nullptr);
    WindowVars& vars = form.vars;
    P& platform = static_cast<P&>(form.platform());
    constexpr Rgb colour1 = kPalette[kOrbit1Colour];
    constexpr Rgb colour2 = kPalette[kOrbit2Colour];

    vars.StopFlag = 0;
    A::start(vars);
    for (;;) {
        A::beforePlots(vars);
        detail::plotOrbit<A>(platform, vars.orbit1, 0.0, colour1);
        A::betweenOrbits(vars);
        detail::plotOrbit<A>(platform, vars.orbit2, kOrbit2Shift, colour2);
        Delay(vars);
        platform.processEvents();
        if (form.isUnloaded())
            return;
        if (vars.StopFlag == 1) {
            form.endRun();
            return;
        }
        A::afterStopTest(vars);
    }
}

// An attractor's menu command: its prompts, then both surfaces cleared, its caption, and its
// drawing routine, which returns when the run ends.
void attractorCommand(Form& form, const CommandTexts& texts, void (*drawingRoutine)(Form&));

} // namespace quorvane
