#pragma once

#include "analysis/divergence.h"
#include "cli/command.h"
#include "cli/text_lines.h"

#include <QStringList>

namespace quorvane::cli {

using analysis::Divergence;

// What quorvane diverge prints about a run it measured, a line an entry: the attractor and its
// steps, both parameter sets, the step where the orbits first differ and where they part (or
// that they stay identical, or within a pixel), an orbit that leaves the numbers or the range
// the window can draw, and the
// growth rate. Every figure carries its unit, and no line is longer than 80 columns.
QStringList divergenceSummary(const RunSetup& setup, const Divergence& divergence);

// Both parameter sets on two lines, for a chart's title: "lorenz, orbit 1: a=10 b=28 c=2.667"
// and "orbit 2: aa=10.001 bb=28 cc=2.667".
QString divergenceTitle(const RunSetup& setup);

// What an orbit leaves when the run ends early, by the kind of its departure: "the numbers" for
// a state that is infinite or not a number, "the range the window can draw" for a point beyond
// single precision.
QString leftFrom(analysis::Departure kind);

} // namespace quorvane::cli
