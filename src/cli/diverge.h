#pragma once

#include <QStringList>

namespace quorvane::cli {

// `quorvane diverge NAME [options]`: when and how fast a run's two orbits part, as a summary
// on standard output, and on request a CSV file of the separations and a chart of them.
// `arguments` starts with the program's path; the command's word is not among them. Returns
// the exit status.
int diverge(const QStringList& arguments);

} // namespace quorvane::cli
