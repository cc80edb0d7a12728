#include "attractors/equation1.h"

#include "attractors/equation_prompts.h"
#include "run/run_loop.h"

namespace quorvane {

namespace {

constexpr auto kPrompts = equationPrompts(0.2238, -0.9992, -0.8697, -0.3373);

} // namespace

const CommandTexts Equation1::texts = {"Equation 1", kPrompts, "Eqn(1)  "};

void mnuE1_Click(Form& form) { attractorCommand(form, Equation1::texts, E1); }

void E1(Form& form) { runOrbits<Equation1>(form); }

} // namespace quorvane
