#pragma once

#include "run/attractor.h"
#include "run/faults.h"
#include "run/form.h"
#include "run/pacing.h"
#include "run/palette.h"

namespace quorvane {

namespace detail {

// One orbit's point, plotted on the window and then on pic1. The position is computed from the
// window's current scale, once for the pair: the platform changes the scale only when it raises
// an event, and no event runs between the two plots. A coordinate that is a fault or does not
// fit single precision means neither plot is made.
template <Attractor A>
inline void plotOrbit(Platform& platform, const Orbit& orbit, double shift, Rgb colour)
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
template <Attractor A> void runOrbits(Form& form)
{
    WindowVars& vars = form.vars;
    Platform& platform = form.platform();
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
