#include "run/pacing.h"

namespace quorvane {

void nextPace(WindowVars& vars)
{
    vars.DelayCount = vars.DelayCount + 5000.0f;
    if (vars.DelayCount == 80000.0f)
        vars.DelayCount = 5000.0f;
}

} // namespace quorvane
