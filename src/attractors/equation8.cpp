#include "attractors/equation8.h"

#include "attractors/equation_prompts.h"
#include "run/run_loop.h"

namespace quorvane {

namespace {

constexpr auto kPrompts = equationPrompts(2.42, -1.36, -0.2, -0.31);

} // namespace

const CommandTexts Equation8::texts = {"Equation 8", kPrompts, "Eqn(8)  "};

void mnuE8_Click(Form& form) { attractorCommand(form, Equation8::texts, E8); }

void E8(Form& form) { runOrbits<Equation8>(form); }

} // namespace quorvane
