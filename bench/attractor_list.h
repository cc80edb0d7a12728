#pragma once

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

namespace quorvane::bench {

// An attractor as its menu command runs it: its name, its prompts and its drawing routine.
struct NamedAttractor {
    const char* name;
    const CommandTexts* texts;
    void (*draw)(Form&);
};

// All eight, in the order the soak runs report them.
inline const NamedAttractor kAttractors[] = {
    {"Lorenz", &Lorenz::texts, Lorenz2},
    {"Rossler", &Rossler::texts, ROSSLER},
    {"Hopalong", &Hopalong::texts, Hop1},
    {"Pickover", &Pickover::texts, Pickover2},
    {"Equation 1", &Equation1::texts, E1},
    {"Equation 8", &Equation8::texts, E8},
    {"Starburst", &Starburst::texts, TP4},
    {"Threeply", &ThreeplyMap::texts, Threeply},
};

} // namespace quorvane::bench
