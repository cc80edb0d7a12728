#pragma once

#include "analysis/benettin.h"
#include "cli/command.h"

#include <optional>

namespace quorvane::cli {

// What lyapunov and map read alike of Benettin's method: the steps measured, from --steps (at
// least one for each block of the standard error), --transient M (0 to 10^12) and --renorm K
// (1 to 10^12), into `settings`, whose transient and renormalisation stay as they are where
// the option is not given. Call it once the command has parsed its arguments. Returns the
// usage error, or nothing.
std::optional<QString> readBenettinSettings(
    const HeadlessCommand& command, analysis::BenettinSettings& settings);

} // namespace quorvane::cli
