#include "cli/spectrum_report.h"

#include "cli/text_lines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace quorvane::cli {

namespace {

using Outcome = SpectrumEstimate::Outcome;

bool isFlow(const LyapunovSubject& subject) { return subject.attractor->isFlow(); }

// The point where a run ended: "(x, y, z) = (1, 2, 3)" or "(x', y') = (0, 0)".
std::string pointText(const LyapunovSubject& subject, const SpectrumEstimate& e)
{
    if (isFlow(subject))
        return format("(x, y, z) = (%.6g, %.6g, %.6g)", e.point[0], e.point[1], e.point[2]);
    return format("(x', y') = (%.6g, %.6g)", e.point[0], e.point[1]);
}

// Why an estimate has no exponents, in a few words with its step.
std::string reason(const LyapunovSubject& subject, const SpectrumEstimate& e)
{
    const auto step = static_cast<unsigned long long>(e.step);
    switch (e.outcome) {
    case Outcome::Escaped:
        return format("orbit 1 leaves the numbers (infinite or not a number) at step %llu", step);
    case Outcome::NotSmooth:
        return format("at step %llu the Jacobian at orbit 1's point %s is infinite or not a "
                      "number: the step has no derivative there (a square root of 0, the sign "
                      "function at 0), or one beyond double precision",
            step, pointText(subject, e).c_str());
    case Outcome::PeriodTooLong:
        return format("at step %llu the tangent vectors had grown too far apart in the %llu %s "
                      "between two orthonormalisations for double precision to keep them apart; "
                      "a smaller --renorm measures them",
            step, static_cast<unsigned long long>(e.period), e.period == 1 ? "step" : "steps");
    case Outcome::Measured:
        break;
    }
    return {};
}

// A number with `decimals` decimals; one that rounds to zero without its sign.
std::string fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    std::string text = format("%.*f", decimals, value);
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-')
        text.erase(0, 1);
    return text;
}

std::string dimensionText(double d) { return std::isnan(d) ? "nan" : format("%.4g", d); }

// The line of exponent k per `unit`: its value with its standard error, or why it is -inf.
std::string exponentLine(std::size_t k, double value, double error, const char* unit)
{
    std::string text = format("lambda_%zu = ", k + 1);
    if (value == -std::numeric_limits<double>::infinity())
        return text + "-inf " + unit + " (the step's Jacobian is singular)\n";
    return text + withError(value, error) + ' ' + unit + " (standard error " + errorText(error)
        + ")\n";
}

// The exponents' sum and the mean of ln|det J|, each with six significant digits of the
// largest exponent: they are one number computed twice.
std::string sumLine(const LyapunovSubject& subject, const SpectrumEstimate& e)
{
    const double unit = shownUnit(subject);
    double largest = 0;
    for (const double v : e.exponents())
        if (std::isfinite(v))
            largest = std::max(largest, std::fabs(v / unit));
    const int decimals = largest > 0
        ? std::clamp(5 - static_cast<int>(std::floor(std::log10(largest))), 0, 15)
        : 6;
    const char* per = isFlow(subject) ? " per unit time" : " per step";
    return "sum = " + fixed(e.sum / unit, decimals) + per
        + ", mean ln|det J| = " + fixed(e.meanLogDet / unit, decimals) + per + '\n';
}

} // namespace

std::string spectrumReport(const LyapunovSubject& subject, const SpectrumEstimate& e)
{
    std::string text = estimateHeading(subject);
    if (!e.hasExponents())
        return text + reason(subject, e) + ": no exponents\n";
    const double unit = shownUnit(subject);
    for (std::size_t k = 0; k < e.count; ++k) {
        if (isFlow(subject))
            text
                += exponentLine(k, e.perStep[k] / unit, e.standardError[k] / unit, "per unit time");
        text += exponentLine(k, e.perStep[k], e.standardError[k], "per step");
    }
    return text + sumLine(subject, e) + "Kaplan-Yorke dimension = " + dimensionText(e.kaplanYorke)
        + '\n';
}

void writeSpectrumTable(
    const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates, std::FILE* stream)
{
    const Sweep& sweep = *subject.sweep;
    const std::size_t count = subject.attractor->state.count;
    const std::string letter(parameterName(sweep.letter));
    const double unit = shownUnit(subject);
    // The heading of lyapunov's table; every line fits kColumns.
    std::fputs(
        (rangeTitle(subject) + '\n' + wrappedText(stepsText(subject.settings)) + '\n').c_str(),
        stream);

    // The cells of a row: the value, each exponent, the dimension; or the value and a reason.
    const auto cells = [&](std::size_t row) {
        std::vector<std::string> r;
        if (row == 0) {
            r.push_back(letter);
            for (std::size_t k = 0; k < count; ++k)
                r.push_back(format("lambda_%zu/%s", k + 1, isFlow(subject) ? "time" : "step"));
            r.push_back("dimension");
            return r;
        }
        const SpectrumEstimate& e = estimates[row - 1];
        r.push_back(shortest(sweep.value(row - 1)));
        if (!e.hasExponents()) {
            r.push_back(reason(subject, e));
            return r;
        }
        for (std::size_t k = 0; k < count; ++k)
            r.push_back(withError(e.perStep[k] / unit, e.standardError[k] / unit));
        r.push_back(dimensionText(e.kaplanYorke));
        return r;
    };
    // Columns as wide as their widest cell, found in a first pass so that the rows need not
    // all be kept; a reason takes the place of the exponents and the dimension.
    std::vector<std::size_t> widths(count + 2, 0);
    for (std::size_t row = 0; row <= estimates.size(); ++row) {
        const std::vector<std::string> r = cells(row);
        for (std::size_t c = 0; c < r.size() && (c == 0 || r.size() == widths.size()); ++c)
            widths[c] = std::max(widths[c], r[c].size());
    }
    for (std::size_t row = 0; row <= estimates.size(); ++row) {
        const std::vector<std::string> r = cells(row);
        std::string line;
        for (std::size_t c = 0; c < r.size(); ++c) {
            line += r[c];
            if (c + 1 < r.size())
                line += std::string(widths[c] - r[c].size() + 2, ' ');
        }
        std::fputs((wrappedText(line) + '\n').c_str(), stream);
    }
}

void writeSpectrumCsv(const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates,
    output::CsvWriter& csv)
{
    const std::size_t count = subject.attractor->state.count;
    std::string header = "value";
    for (std::size_t k = 1; k <= count; ++k)
        header += format(",lambda_%zu_per_step,lambda_%zu_per_time,stderr_%zu", k, k, k);
    csv.line(header + ",kaplan_yorke");
    for (std::size_t i = 0; i < estimates.size(); ++i) {
        const SpectrumEstimate& e = estimates[i];
        csv.number(subject.sweep->value(i));
        for (std::size_t k = 0; k < count; ++k) {
            if (!e.hasExponents()) {
                csv.empty();
                csv.empty();
                csv.empty();
                continue;
            }
            csv.number(e.perStep[k]);
            if (isFlow(subject))
                csv.number(e.perStep[k] / subject.attractor->timeStep);
            else
                csv.empty();
            if (std::isfinite(e.standardError[k]))
                csv.number(e.standardError[k]);
            else
                csv.empty();
        }
        if (e.hasExponents())
            csv.number(e.kaplanYorke);
        else
            csv.empty();
        csv.endRow();
    }
}

Chart spectrumChart(const LyapunovSubject& subject, std::span<const SpectrumEstimate> estimates)
{
    const std::size_t count = subject.attractor->state.count;
    const double unit = shownUnit(subject);
    const QString letter = fromView(parameterName(subject.sweep->letter));
    Chart chart;
    std::size_t gaps = 0;
    for (std::size_t k = 0; k < count; ++k)
        chart.series.push_back(
            {QStringLiteral("\u03bb%1").arg(QChar(0x2081 + static_cast<int>(k))), {}});
    for (std::size_t i = 0; i < estimates.size(); ++i) {
        const SpectrumEstimate& e = estimates[i];
        gaps += e.hasExponents() ? 0 : 1;
        for (std::size_t k = 0; k < count; ++k)
            chart.series[k].points.emplace_back(subject.sweep->value(i),
                e.hasExponents() ? e.perStep[k] / unit : std::numeric_limits<double>::quiet_NaN());
    }
    std::string settings = stepsText(subject.settings, "steps");
    if (gaps > 0)
        settings += format("; %zu %s without exponents", gaps, gaps == 1 ? "value" : "values");
    chart.title
        = QStringLiteral("Lyapunov spectrum of %1 against %2, with %3\n%4")
              .arg(QString::fromStdString(std::string(subject.attractor->name)), letter,
                  QString::fromStdString(parameterText(subject)), QString::fromStdString(settings));
    chart.xLabel = letter;
    chart.yLabel = isFlow(subject) ? QStringLiteral("\u03bb per unit time")
                                   : QStringLiteral("\u03bb per step");
    chart.reference = ChartLine {0, QStringLiteral("\u03bb = 0")};
    return chart;
}

} // namespace quorvane::cli
