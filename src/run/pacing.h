#pragma once

#include "run/window_vars.h"

namespace quorvane {

// The busy count that paces a run: DelayCount passes of single-precision counting. The limit
// is read once, so a Tab pressed meanwhile applies from the next call; a limit below 1 makes no
// pass. DelayCounter ends at the first whole value above the limit.
void Delay(WindowVars& vars);

// What Tab does to the pace: DelayCount + 5000 in single precision, wrapping to 5000 when the
// sum is 80000 exactly.
void nextPace(WindowVars& vars);

} // namespace quorvane
