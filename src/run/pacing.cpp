#include "run/pacing.h"

namespace quorvane {

void Delay(WindowVars& vars)
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

void nextPace(WindowVars& vars)
{
    vars.DelayCount = vars.DelayCount + 5000.0f;
    if (vars.DelayCount == 80000.0f)
        vars.DelayCount = 5000.0f;
}

} // namespace quorvane
