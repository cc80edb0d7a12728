#pragma once

#include "cli/command.h"
#include "cli/lyapunov_report.h"

#include <QString>

namespace quorvane::cli {

// `quorvane lyapunov NAME --spectrum`: every Lyapunov exponent of the subject, by the tangent
// vectors that the Jacobian of the program's own step carries, or of a range of values of one
// parameter on `threads` threads, as a table, a CSV file and a chart (empty names: none). The
// command line has been read and the files checked; returns the exit status.
int spectrum(const HeadlessCommand& command, const LyapunovSubject& subject, unsigned threads,
    const QString& csvFile, const QString& plotFile);

// The help of --spectrum, and the paragraphs it adds to lyapunov's description.
QString spectrumOptionHelp();
QString spectrumDescription();

} // namespace quorvane::cli
