#pragma once

#include "run/attractor.h"

#include <vector>

namespace quorvane::test {

// The points orbit 1 of a map draws from the origin with the given parameters, taken through
// the attractor's own step hooks: the next point after each step's computation, then the
// commit.
template <class A> std::vector<Point> firstPoints(const ParameterSet& p, int count)
{
    WindowVars vars;
    vars.set1 = p;
    std::vector<Point> out;
    for (int i = 0; i < count; ++i) {
        A::beforePlots(vars);
        out.push_back({vars.orbit1.xNext, vars.orbit1.yNext});
        A::afterStopTest(vars);
    }
    return out;
}

} // namespace quorvane::test
