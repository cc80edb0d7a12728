#pragma once

#include "run/attractor.h"
#include "run/faults.h"
#include "run/form.h"
#include "run/pacing.h"
#include "run/palette.h"

namespace quorvane {

namespace detail {

// One plot: the position is computed from the window's current scale, and a coordinate that is
// a fault or does not fit single precision means the plot is not made.
template <Attractor A>
inline void plotOrbit(
    Platform& platform, Surface surface, const Orbit& orbit, double shift, Rgb colour)
{
    const WindowMetrics& m = platform.metrics();
    const Point p = A::map(orbit, shift, m.scaleWidth, m.scaleHeight);
    const std::optional<float> x = toSingle(p.x);
    const std::optional<float> y = toSingle(p.y);
    if (x && y)
        platform.plot(surface, *x, *y, colour);
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
        detail::plotOrbit<A>(platform, Surface::Window, vars.orbit1, 0.0, colour1);
        detail::plotOrbit<A>(platform, Surface::Picture, vars.orbit1, 0.0, colour1);
        A::betweenOrbits(vars);
        detail::plotOrbit<A>(platform, Surface::Window, vars.orbit2, kOrbit2Shift, colour2);
        detail::plotOrbit<A>(platform, Surface::Picture, vars.orbit2, kOrbit2Shift, colour2);
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
