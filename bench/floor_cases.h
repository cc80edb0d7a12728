#pragma once

// Each attractor's drawing routine with the defaults its command offers, the same for both
// orbits, next to its floor loop: the cases the step and render benchmarks time.

#include "floor_steps.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

namespace quorvane::bench {

// Each attractor with the defaults its command offers, the same for both orbits.
template <class Floor> struct Case {
    const char* name;
    void (*drawingRoutine)(Form&);
    Letters letters;
    Floor floor;
};

// A floor loop as a callable over any plot sink.
#define QUORVANE_FLOOR(fn) [](const FloorInput& in, long steps, auto& plot) { fn(in, steps, plot); }

const auto kLorenz = Case {"Lorenz", Lorenz2, {10, 28, 2.667}, QUORVANE_FLOOR(lorenzFloor)};
const auto kRossler = Case {"Rossler", ROSSLER, {0.2, 0.2, 5.7}, QUORVANE_FLOOR(rosslerFloor)};
const auto kHopalong
    = Case {"Hopalong", Hop1, {0.724, -0.565, -0.117}, QUORVANE_FLOOR(hopalongFloor)};
const auto kPickover
    = Case {"Pickover", Pickover2, {2.23, 0.5, -0.67, -2.1, 1}, QUORVANE_FLOOR(pickoverFloor)};
const auto kEquation1
    = Case {"Equation1", E1, {0.2238, -0.9992, -0.8697, -0.3373}, QUORVANE_FLOOR(equation1Floor)};
const auto kEquation8
    = Case {"Equation8", E8, {2.42, -1.36, -0.2, -0.31}, QUORVANE_FLOOR(equation8Floor)};
const auto kStarburst
    = Case {"Starburst", TP4, {77.85, -61.97, 59.68}, QUORVANE_FLOOR(starburstFloor)};
const auto kThreeply
    = Case {"Threeply", Threeply, {-93.8, 96.1, 31}, QUORVANE_FLOOR(threeplyFloor)};

inline ParameterSet parameters(const Letters& l) { return {l.a, l.b, l.c, l.d, l.e}; }

// Calls f(c) for every case, in the order the tables list them.
template <class F> void forEachCase(F&& f)
{
    f(kLorenz);
    f(kRossler);
    f(kHopalong);
    f(kPickover);
    f(kEquation1);
    f(kEquation8);
    f(kStarburst);
    f(kThreeply);
}

} // namespace quorvane::bench
