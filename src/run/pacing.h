#pragma once

#include "run/window_vars.h"

namespace quorvane {

// The busy count that paces a run: DelayCount passes of single-precision counting. The limit
// is read once, so a Tab pressed meanwhile applies from the next call; a limit below 1 makes no
// pass. DelayCounter ends at the first whole value above the limit.
inline void Delay(WindowVars& vars)
{
    // The count itself is the point: keep it in a register the optimiser must treat as
    // observed at every pass, so the loop is neither removed nor folded into one addition.
    float counter = 1.0f;
    const float limit = vars.DelayCount;
    while (counter <= limit) {
        counter += 1.0f;
#if defined(__x86_64__) || defined(__i386__)
        asm volatile("" : "+x"(counter));
#elif defined(__GNUC__)
        asm volatile("" : "+m"(counter));
#else
        counter = *static_cast<volatile float*>(&counter);
#endif
    }
    vars.DelayCounter = counter;
}

// What Tab does to the pace: DelayCount + 5000 in single precision, wrapping to 5000 when the
// sum is 80000 exactly.
void nextPace(WindowVars& vars);

} // namespace quorvane
