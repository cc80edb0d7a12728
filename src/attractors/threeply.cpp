#include "attractors/threeply.h"

#include "run/run_loop.h"

namespace quorvane {

namespace {

constexpr auto kPrompts = signMapPrompts(-93.8, 96.1, 31);

} // namespace

const CommandTexts ThreeplyMap::texts = {"3Ply", kPrompts, "Threeply   "};

void mnuThreeply_Click(Form& form) { attractorCommand(form, ThreeplyMap::texts, Threeply); }

void Threeply(Form& form) { runOrbits<ThreeplyMap>(form); }

} // namespace quorvane
