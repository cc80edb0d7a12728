#pragma once

#include "analysis/divergence.h"
#include "cli/command.h"
#include "cli/text_lines.h"

#include <QStringList>

namespace quorvane::cli {

using analysis::Divergence;

// What quorvane diverge prints about a run it measured, a line an entry: the attractor and its
// steps, both parameter sets, the step where the orbits first differ and where they part (or
// that they stay identical, or within a pixel), an orbit that leaves the numbers, and the
// growth rate. Every figure carries its unit, and no line is longer than 80 columns.
QStringList divergenceSummary(const RunSetup& setup, const Divergence& divergence);

// Both parameter sets on two lines, for a chart's title: "lorenz, orbit 1: a=10 b=28 c=2.667"
// and "orbit 2: aa=10.001 bb=28 cc=2.667".
QString divergenceTitle(const RunSetup& setup);

} // namespace quorvane::cli
