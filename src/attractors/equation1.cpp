#include "attractors/equation1.h"

#include "attractors/equation_prompts.h"
#include "run/run_loop.h"

namespace quorvane {

namespace {

constexpr auto kPrompts = equationPrompts(0.2238, -0.9992, -0.8697, -0.3373);

} // namespace

const CommandTexts Equation1::texts = {"Equation 1", kPrompts, "Eqn(1)  "};

void Equation1::next(Orbit& o, const ParameterSet& p)
{
    // No call takes part, so every result is stored, an overflow included.
    if (o.x > 0)
        o.xNext = o.y + (p.b * o.x) * (p.d - 0.5);
    else
        o.xNext = (o.y - p.d) - (1 + p.d - o.x * p.d) * p.b;
    o.yNext = p.a - o.x;
}

Point Equation1::map(const Orbit& o, double shift, double scaleWidth, double scaleHeight)
{
    return {800 * o.xNext + (scaleWidth / 2 + shift), 800 * o.yNext + (scaleHeight / 2 + shift)};
}

void mnuE1_Click(Form& form) { attractorCommand(form, Equation1::texts, E1); }

void E1(Form& form) { runOrbits<Equation1>(form); }

} // namespace quorvane
