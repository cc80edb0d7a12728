#include "attractors/starburst.h"

#include "run/run_loop.h"

namespace quorvane {

namespace {

constexpr auto kPrompts = signMapPrompts(77.85, -61.97, 59.68);

} // namespace

const CommandTexts Starburst::texts = {"Starburst", kPrompts, "Starburst   "};

void mnu3P4_Click(Form& form) { attractorCommand(form, Starburst::texts, TP4); }

void TP4(Form& form) { runOrbits<Starburst>(form); }

} // namespace quorvane
