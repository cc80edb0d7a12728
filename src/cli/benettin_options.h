#pragma once

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "cli/command.h"

#include <QStringList>

#include <optional>

namespace quorvane::cli {

// What lyapunov and map read alike of Benettin's method: the steps measured, from --steps (at
// least one for each block of the standard error), --transient M (0 to 10^12) and --renorm K
// (1 to 10^12), into `settings`, whose transient and renormalisation stay as they are where
// the option is not given. Call it once the command has parsed its arguments. Returns the
// usage error, or nothing.
std::optional<QString> readBenettinSettings(
    const HeadlessCommand& command, analysis::BenettinSettings& settings);

// Reads option --`option`, a range of one of orbit 1's parameters: LETTER=FROM:TO and then
// `more` fields, which `form` and `example` spell out in a refusal ("LETTER=FROM:TO:COUNT",
// "b=0:200:400"). The letter is one the attractor's command asks for and no --set gives; FROM
// and TO are numbers a double holds. Call it once the command has parsed its arguments and
// the option is known to be given. Returns the usage error, or nothing with the sweep's
// letter and ends set and the fields after TO in `rest`.
std::optional<QString> readRange(const HeadlessCommand& command, const QString& option,
    const QString& form, const QString& example, qsizetype more, analysis::Sweep& sweep,
    QStringList& rest);

} // namespace quorvane::cli
