#pragma once

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "cli/command.h"
#include "output/chart.h"
#include "output/csv_writer.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvane::cli {

using analysis::BenettinSettings;
using analysis::LyapunovEstimate;
using analysis::Sweep;
using output::Chart;
using output::ChartLine;

// What an estimate, or a range of them, measured: the attractor, orbit 1's parameters (for a
// range, all but the varied one), the method's settings and the range, if any.
struct LyapunovSubject {
    const AttractorChoice* attractor = nullptr;
    ParameterSet parameters;
    BenettinSettings settings;
    std::optional<Sweep> sweep;
};

// The parameter sets a subject measures: orbit 1's with each value of the range in turn, or
// orbit 1's alone without a range.
std::vector<ParameterSet> parameterSets(const LyapunovSubject& subject);

// A number in the fewest digits that read back as the same double: "10", "2.6666666666666665".
std::string shortest(double value);

// printf into a string of up to 511 bytes. Numbers come with a point: the commands run with
// the C locale's numbers.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// An exponent to the decimal place of its standard error's second significant digit: 0.9066
// for an error of 0.0076, 134 for one of 26. Six significant digits when the error is not
// known or 0; "-inf" or "nan" for a value that is not finite.
std::string withError(double value, double error);
// A standard error in two significant digits, or "unknown" when it is not finite.
std::string errorText(double error);
// "1000000 steps measured after a transient of 100000, renormalised every 10", with `steps`
// for the words after the number.
std::string stepsText(const BenettinSettings& settings, const char* steps = "steps measured");

// Orbit 1's parameters that the attractor's command asks for, "a=10 b=28 c=2.667", the
// varied one left out.
std::string parameterText(const LyapunovSubject& subject);

// The two lines that head the report of one estimate: what was measured, "lorenz a=10 b=28
// c=2.667:", then how, as stepsText() says it.
std::string estimateHeading(const LyapunovSubject& subject);

// The few lines that report one estimate: its heading; the exponent per step, and per unit of
// model time for a flow, with its standard error; the Lyapunov time where the exponent is above
// zero; the verdict. For an estimate without an exponent, the reason and the step instead.
std::string estimateReport(const LyapunovSubject& subject, const LyapunovEstimate& estimate);

// The time step a table's or chart's exponent is divided by: the flows' exponents are given per
// unit time, the maps' per step.
double shownUnit(const LyapunovSubject& subject);

// The first line of a range's table, wrapped to fit kColumns, without its end: what was
// measured, over which values, "lorenz a=10 c=2.667: b from 0 to 200, 10 values;".
std::string rangeTitle(const LyapunovSubject& subject);

// Hands a range's table to `print` a line at a time, each ending in '\n' and wrapped to fit
// kColumns: what was measured, how, the column heads, then one line a value. No more than a
// line of it is held at once, so the table of a million values takes no more memory than that
// of ten.
void printRangeTable(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates,
    const std::function<void(const std::string&)>& print);

// Writes a range as CSV, a row at a time: the header `value,lambda_per_step,lambda_per_time,
// stderr`, then one row a value, every number in %.17g, which reads back as the same double.
// lambda_per_time is empty for a map, which has no model time; stderr is that of
// lambda_per_step. A value without an exponent has empty fields; one whose companion
// collapsed onto orbit 1 has -inf exponents and an empty stderr.
void writeRangeCsv(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates,
    output::CsvWriter& csv);

// A range as a chart: lambda_1 against the varied parameter (per unit time for a flow, per
// step for a map), the zero line marked, the fixed parameters and the method's settings in
// the title. A value without a finite exponent is a gap in the line.
Chart rangeChart(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates);

} // namespace quorvane::cli
