#include "cli/lyapunov_report.h"

#include "cli/text_lines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace quorvane::cli {

namespace {

using Outcome = LyapunovEstimate::Outcome;

} // namespace

std::vector<ParameterSet> parameterSets(const LyapunovSubject& subject)
{
    std::vector<ParameterSet> sets;
    const std::uint64_t count = subject.sweep ? subject.sweep->count : 1;
    sets.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        sets.push_back(
            subject.sweep ? subject.sweep->parameters(subject.parameters, i) : subject.parameters);
    return sets;
}

std::string format(const char* fmt, ...)
{
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

namespace {

// %#g keeps the trailing zeros that show a number's precision, and a point that shows none.
std::string withPrecision(const char* fmt, int digits, double value)
{
    std::string text = format(fmt, digits, value);
    if (const std::size_t point = text.find('.');
        point != std::string::npos && (point + 1 == text.size() || text[point + 1] == 'e'))
        text.erase(point, 1);
    return text;
}

} // namespace

std::string withError(double value, double error)
{
    if (!std::isfinite(value))
        return value < 0 ? "-inf" : "nan";
    if (!(std::isfinite(error) && error > 0))
        return withPrecision("%#.*g", 6, value);
    const int decimals = 1 - static_cast<int>(std::floor(std::log10(error)));
    if (decimals >= 0 && decimals <= 12)
        return format("%.*f", decimals, value);
    const double span = std::floor(std::log10(std::fabs(value))) + decimals;
    return withPrecision("%#.*g", static_cast<int>(std::clamp(span + 1, 1.0, 17.0)), value);
}

std::string errorText(double error)
{
    return std::isfinite(error) ? withPrecision("%#.*g", 2, error) : std::string("unknown");
}

namespace {

double perTime(const LyapunovSubject& subject, double perStep)
{
    return perStep / subject.attractor->timeStep;
}

} // namespace

double shownUnit(const LyapunovSubject& subject)
{
    return subject.attractor->isFlow() ? subject.attractor->timeStep : 1.0;
}

std::string stepsText(const BenettinSettings& s, const char* steps)
{
    return format("%llu %s after a transient of %llu, renormalised every %llu",
        static_cast<unsigned long long>(s.steps), steps,
        static_cast<unsigned long long>(s.transient), static_cast<unsigned long long>(s.renorm));
}

namespace {

std::string name(const LyapunovSubject& subject) { return std::string(subject.attractor->name); }

// Why an estimate has no finite exponent, in a few words with its step.
std::string reason(const LyapunovEstimate& e)
{
    const auto step = static_cast<unsigned long long>(e.step);
    switch (e.outcome) {
    case Outcome::Escaped:
        return e.companionEscaped
            ? format("the companion leaves the numbers at step %llu, orbit 1 does not", step)
            : format("orbit 1 leaves the numbers (infinite or not a number) at step %llu", step);
    case Outcome::OutOfReach:
        return format("at step %llu orbit 1 has grown too large (%.2g) for double precision to "
                      "follow a distance of %g",
            step, e.largestCoordinate, analysis::kSeparation);
    case Outcome::Collapsed:
        return format("at step %llu the companion had fallen onto orbit 1 whichever way it was "
                      "moved: the orbits close in faster than double precision can show",
            step);
    case Outcome::LeftNeighbourhood:
        return format("at step %llu the companion was %.2g from orbit 1 after %llu %s: it jumped "
                      "out of the small neighbourhood the method measures in, where the step is "
                      "not smooth or the period too long for the growth",
            step, e.jump, static_cast<unsigned long long>(e.period),
            e.period == 1 ? "step" : "steps");
    case Outcome::Measured:
        break;
    }
    return {};
}

std::string verdict(const LyapunovEstimate& e) { return e.isChaotic() ? "chaotic" : "not chaotic"; }

} // namespace

std::string shortest(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string parameterText(const LyapunovSubject& subject)
{
    WindowVars vars;
    vars.set1 = subject.parameters;
    std::string text;
    for (const Prompt& prompt : subject.attractor->texts.prompts) {
        if (!isOrbit1(prompt.target) || (subject.sweep && prompt.target == subject.sweep->letter))
            continue;
        if (!text.empty())
            text += ' ';
        text += std::string(parameterName(prompt.target)) + '='
            + shortest(vars.parameter(prompt.target));
    }
    return text;
}

std::string estimateHeading(const LyapunovSubject& subject)
{
    // What was measured, then how: two lines, so each fits a terminal.
    return name(subject) + ' ' + parameterText(subject) + ":\n" + stepsText(subject.settings)
        + '\n';
}

std::string estimateReport(const LyapunovSubject& subject, const LyapunovEstimate& e)
{
    std::string text = estimateHeading(subject);
    if (!e.hasExponent())
        return text + reason(e) + ": no exponent\n";

    const bool flow = subject.attractor->isFlow();
    if (e.outcome == Outcome::Collapsed) {
        text += "lambda_1 = -inf: " + reason(e) + '\n';
    } else {
        if (flow)
            text += "lambda_1 = "
                + withError(perTime(subject, e.perStep), perTime(subject, e.standardError))
                + " per unit time (standard error " + errorText(perTime(subject, e.standardError))
                + ")\n";
        text += "lambda_1 = " + withError(e.perStep, e.standardError) + " per step (standard error "
            + errorText(e.standardError) + ")\n";
    }
    if (e.periodsLeftOut > 0 && e.outcome == Outcome::Measured)
        text += format("note: the companion fell onto orbit 1 in %llu %s (first at step "
                       "%llu), left out of the %llu steps measured\n",
            static_cast<unsigned long long>(e.periodsLeftOut),
            e.periodsLeftOut == 1 ? "period" : "periods",
            static_cast<unsigned long long>(e.firstLeftOut),
            static_cast<unsigned long long>(e.measuredSteps));
    if (e.perStep > 0) {
        const double steps = 1 / e.perStep;
        text += flow ? format("Lyapunov time = %.4g time units (%.4g steps)\n",
                    steps * subject.attractor->timeStep, steps)
                     : format("Lyapunov time = %.4g steps\n", steps);
    } else {
        text += "Lyapunov time: none, as lambda_1 is not above zero\n";
    }
    return text + "verdict: " + verdict(e) + '\n';
}

std::string rangeTitle(const LyapunovSubject& subject)
{
    const Sweep& sweep = *subject.sweep;
    const std::string letter(parameterName(sweep.letter));
    const std::string range = sweep.count == 1
        ? letter + " = " + shortest(sweep.from) + " (a COUNT of 1 takes FROM alone);"
        : letter + " from " + shortest(sweep.from) + " to " + shortest(sweep.to) + ", "
            + std::to_string(sweep.count) + " values;";
    return wrappedText(name(subject) + ' ' + parameterText(subject) + ": " + range);
}

void printRangeTable(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates,
    const std::function<void(const std::string&)>& print)
{
    const Sweep& sweep = *subject.sweep;
    const bool flow = subject.attractor->isFlow();
    const std::string letter(parameterName(sweep.letter));
    print(rangeTitle(subject) + '\n');
    print(wrappedText(stepsText(subject.settings)) + '\n');

    using Row = std::array<std::string, 4>;
    const Row heading {letter, flow ? "lambda_1/time" : "lambda_1/step", "stderr", "verdict"};
    const double scale = shownUnit(subject);
    const auto row = [&](std::size_t i) {
        const LyapunovEstimate& e = estimates[i];
        Row cells {shortest(sweep.value(i))};
        if (!e.hasExponent()) {
            cells[1] = reason(e);
        } else {
            cells[1] = withError(e.perStep / scale, e.standardError / scale);
            cells[2] = e.outcome == Outcome::Collapsed ? "-" : errorText(e.standardError / scale);
            cells[3] = verdict(e);
        }
        return cells;
    };
    // Columns as wide as their widest cell; a reason takes the place of the other three. The
    // rows are made twice, for the widths and for the lines, rather than all held at once.
    std::array<std::size_t, 3> widths {};
    const auto measure = [&](const Row& cells) {
        for (std::size_t c = 0; c < widths.size(); ++c)
            if (c == 0 || !cells[2].empty())
                widths[c] = std::max(widths[c], cells[c].size());
    };
    measure(heading);
    for (std::size_t i = 0; i < estimates.size(); ++i)
        measure(row(i));
    const auto padded = [&](const std::string& cell, std::size_t c) {
        return cell + std::string(widths[c] - cell.size() + 2, ' ');
    };
    const auto line = [&](const Row& cells) {
        print(wrappedText(padded(cells[0], 0)
                  + (cells[2].empty() ? cells[1]
                                      : padded(cells[1], 1) + padded(cells[2], 2) + cells[3]))
            + '\n');
    };
    line(heading);
    for (std::size_t i = 0; i < estimates.size(); ++i)
        line(row(i));
}

void writeRangeCsv(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates,
    output::CsvWriter& csv)
{
    const bool flow = subject.attractor->isFlow();
    csv.line("value,lambda_per_step,lambda_per_time,stderr");
    for (std::size_t i = 0; i < estimates.size(); ++i) {
        const LyapunovEstimate& e = estimates[i];
        csv.number(subject.sweep->value(i));
        if (e.hasExponent()) {
            csv.number(e.perStep);
            if (flow)
                csv.number(perTime(subject, e.perStep));
            else
                csv.empty();
            if (std::isfinite(e.standardError))
                csv.number(e.standardError);
            else
                csv.empty();
        } else {
            csv.empty();
            csv.empty();
            csv.empty();
        }
        csv.endRow();
    }
}

Chart rangeChart(const LyapunovSubject& subject, std::span<const LyapunovEstimate> estimates)
{
    const bool flow = subject.attractor->isFlow();
    const double scale = shownUnit(subject);
    const QString letter = fromView(parameterName(subject.sweep->letter));
    Chart chart;
    std::size_t without = 0; // values without an exponent
    std::size_t collapsed = 0; // values whose exponent is -inf, which no chart can draw
    for (std::size_t i = 0; i < estimates.size(); ++i) {
        const LyapunovEstimate& e = estimates[i];
        const bool finite = e.outcome == Outcome::Measured;
        without += e.hasExponent() ? 0 : 1;
        collapsed += e.outcome == Outcome::Collapsed ? 1 : 0;
        chart.points.emplace_back(subject.sweep->value(i),
            finite ? e.perStep / scale : std::numeric_limits<double>::quiet_NaN());
    }
    // Two lines of about 90 characters at most, so the title fits the chart's width: what
    // was varied and what was fixed, then how it was measured.
    std::string settings = stepsText(subject.settings, "steps");
    if (without > 0)
        settings
            += format("; %zu %s without an exponent", without, without == 1 ? "value" : "values");
    if (collapsed > 0)
        settings += format(
            "; %zu %s at -inf, not drawn", collapsed, collapsed == 1 ? "value" : "values");
    chart.title
        = QStringLiteral("Largest Lyapunov exponent \u03bb\u2081 of %1 against %2, with %3\n%4")
              .arg(QString::fromStdString(name(subject)), letter,
                  QString::fromStdString(parameterText(subject)), QString::fromStdString(settings));
    chart.xLabel = letter;
    chart.yLabel = flow ? QStringLiteral("\u03bb\u2081 per unit time")
                        : QStringLiteral("\u03bb\u2081 per step");
    chart.reference = ChartLine {0, QStringLiteral("\u03bb\u2081 = 0")};
    return chart;
}

} // namespace quorvane::cli
