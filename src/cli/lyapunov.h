#pragma once

#include <QStringList>

namespace quorvane::cli {

// `quorvane lyapunov NAME [options]`: the largest Lyapunov exponent of one of orbit 1's
// parameter sets, by Benettin's two-orbit method on the program's own step, or of a range of
// values of one parameter, as a table, a CSV file and a chart. `arguments` starts with the
// program's path; the command's word is not among them. Returns the exit status.
int lyapunov(const QStringList& arguments);

} // namespace quorvane::cli
