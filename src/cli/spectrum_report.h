#pragma once

#include "analysis/spectrum.h"
#include "cli/lyapunov_report.h"
#include "output/chart.h"
#include "output/csv_writer.h"

#include <cstdio>
#include <span>
#include <string>

namespace quorvane::cli {

using analysis::SpectrumEstimate;

// The lines that report one spectrum, after the two lines that say what was measured and how
// (as for lambda_1): each exponent, largest first, in the form of lambda_1's lines (per unit
// time for a flow, then per step, each with its standard error); then their sum beside the
// mean of ln|det J|; then the Kaplan-Yorke dimension. For an estimate without exponents, the
// reason and the step instead.
std::string spectrumReport(const LyapunovSubject& subject, const SpectrumEstimate& estimate);

// A range as a table, a heading and one line a value, written to `stream` a line at a time.
void writeSpectrumTable(
    const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates, std::FILE* stream);

// A range as CSV: the header `value`, then for each exponent k `lambda_k_per_step,
// lambda_k_per_time,stderr_k`, then `kaplan_yorke`; one row a value, every number in %.17g.
// lambda_k_per_time is empty for a map; stderr_k is that of lambda_k_per_step, empty where it
// is not known. A value without exponents has empty fields after its value.
void writeSpectrumCsv(const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates,
    output::CsvWriter& csv);

// A range as a chart: every exponent against the varied parameter, each in its own colour and
// named in the legend (per unit time for a flow, per step for a map), the zero line marked. A
// value without a finite exponent is a gap in that exponent's line.
Chart spectrumChart(const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates);

} // namespace quorvane::cli
