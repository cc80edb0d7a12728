#include "attractors/equation8.h"

#include "attractors/equation_prompts.h"
#include "run/faults.h"
#include "run/run_loop.h"

#include <cmath>

namespace quorvane {

namespace {

constexpr auto kPrompts = equationPrompts(2.42, -1.36, -0.2, -0.31);

} // namespace

const CommandTexts Equation8::texts = {"Equation 8", kPrompts, "Eqn(8)  "};

void Equation8::next(Orbit& o, const ParameterSet& p)
{
    o.xNext = p.a - o.y;
    // A fault in the root's argument is caught before the root is taken: y' is then not
    // assigned in this step and keeps its value, which after a commit is the current y.
    const double radicand = p.d * o.y - p.b;
    if (!isFault(radicand))
        o.yNext = o.x + std::sqrt(std::fabs(radicand)) * sgn(o.y);
}

Point Equation8::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    return {500 * o.xNext + (scaleWidth / 2.1 + shift), 500 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuE8_Click(Form& form) { attractorCommand(form, Equation8::texts, E8); }

void E8(Form& form) { runOrbits<Equation8>(form); }

} // namespace quorvane
