#include "cli/map_report.h"

#include "cli/lyapunov_report.h"
#include "cli/text_lines.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace quorvane::cli {

namespace {

std::string count(std::uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// Orbit 1's parameters other than the plane's two, "a=10 c=2.667".
std::string fixedParameters(const MapJob& job)
{
    WindowVars vars;
    vars.set1 = job.parameters;
    std::string text;
    for (const Prompt& prompt : job.attractor->texts.prompts) {
        if (!isOrbit1(prompt.target) || prompt.target == job.plane.x.letter
            || prompt.target == job.plane.y.letter)
            continue;
        text += (text.empty() ? "" : " ") + std::string(parameterName(prompt.target)) + '='
            + shortest(vars.parameter(prompt.target));
    }
    return text;
}

// "b from 0 to 200 across (320 values)"; a single value is FROM alone, as in a COUNT of 1.
std::string axisText(const Sweep& sweep, const char* direction, const char* side)
{
    if (sweep.count == 1)
        return std::string(parameterName(sweep.letter)) + " = " + shortest(sweep.from) + ' '
            + direction + " (a " + side + " of 1 takes FROM alone)";
    return std::string(parameterName(sweep.letter)) + " from " + shortest(sweep.from) + " to "
        + shortest(sweep.to) + ' ' + direction + " (" + count(sweep.count, "value", "values") + ')';
}

} // namespace

std::string sliceRows(const analysis::PlaneSlice& slice, std::uint64_t planeRows)
{
    const std::uint64_t rows = slice.rowsOf(planeRows);
    std::string text = (rows == 1 ? "row " : "rows ") + std::to_string(slice.row(0));
    if (rows > 1)
        text += ", " + std::to_string(slice.row(1));
    if (rows > 3)
        text += ", ...";
    if (rows > 2)
        text += ", " + std::to_string(slice.row(rows - 1));
    return text;
}

MapValues::MapValues(const MapJob& job, bool keep)
    : m_job(job)
    , m_unit(job.attractor->isFlow() ? job.attractor->timeStep : 1.0)
    , m_keep(keep)
{
    if (keep)
        m_values.assign(
            job.plane.x.count * job.plane.y.count, std::numeric_limits<float>::quiet_NaN());
}

void MapValues::add(std::uint64_t row, std::uint64_t column, const MapValue& value)
{
    m_tally.add(value);
    if (m_keep && value.hasExponent)
        m_values[row * m_job.plane.x.count + column] = static_cast<float>(value.perStep / m_unit);
}

std::string mapSummary(const MapJob& job, const MapTally& tally)
{
    const std::string fixed = fixedParameters(job);
    std::string text = std::string(job.attractor->name) + (fixed.empty() ? "" : " " + fixed) + ": "
        + axisText(job.plane.x, "across", "width") + ", " + axisText(job.plane.y, "up", "height")
        + ";\n" + stepsText(job.settings) + '\n';
    if (job.isSliced()) {
        const analysis::PlaneSlice& s = job.slice;
        text += "slice " + std::to_string(s.index) + '/' + std::to_string(s.count) + ": "
            + sliceRows(s, job.plane.y.count) + " (" + std::to_string(s.rowsOf(job.plane.y.count))
            + " of " + std::to_string(job.plane.y.count) + ")\n";
    }
    text += count(job.values(), "value", "values") + ": " + std::to_string(tally.chaotic)
        + " chaotic, " + std::to_string(tally.notChaotic) + " not chaotic, "
        + std::to_string(tally.withoutExponent) + " without an exponent\n";
    return text;
}

output::MapPicture mapPicture(const MapJob& job, std::vector<float> values, const MapTally& tally)
{
    output::MapPicture map;
    map.columns = job.plane.x.count;
    map.rows = job.plane.y.count;
    map.values = std::move(values);
    map.xFirst = job.plane.x.value(0);
    map.xLast = job.plane.x.value(map.columns - 1);
    map.yFirst = job.plane.y.value(0);
    map.yLast = job.plane.y.value(map.rows - 1);
    // With one value across or up, the axis still spans the range given.
    if (map.columns == 1)
        map.xLast = job.plane.x.to;
    if (map.rows == 1)
        map.yLast = job.plane.y.to;
    const QString x = fromView(parameterName(job.plane.x.letter));
    const QString y = fromView(parameterName(job.plane.y.letter));
    const std::string fixed = fixedParameters(job);
    std::string second = std::to_string(map.columns) + " x " + std::to_string(map.rows)
        + " values, each " + stepsText(job.settings, "steps");
    if (tally.withoutExponent > 0)
        second += "; " + count(tally.withoutExponent, "value", "values") + " without an exponent";
    map.title
        = QStringLiteral("Largest Lyapunov exponent \u03bb\u2081 of %1 over %2 and %3%4\n%5")
              .arg(QString::fromStdString(std::string(job.attractor->name)), x, y,
                  fixed.empty() ? QString()
                                : QStringLiteral(", with %1").arg(QString::fromStdString(fixed)),
                  QString::fromStdString(second));
    map.xLabel = x;
    map.yLabel = y;
    map.scaleLabel = job.attractor->isFlow() ? QStringLiteral("\u03bb\u2081 per unit time")
                                             : QStringLiteral("\u03bb\u2081 per step");
    map.noValueLabel = QStringLiteral("no exponent");
    map.zeroLabel = QStringLiteral("\u03bb\u2081 = 0");
    return map;
}

int writeMapFiles(const HeadlessCommand& command, const MapJob& job,
    std::vector<output::PendingFile> files, MapValues& shown, const QString& csvFile,
    const QString& plotFile)
{
    if (!plotFile.isEmpty())
        files.push_back({plotFile, [&](QIODevice& file) {
                             return output::writeMapInto(
                                 mapPicture(job, shown.take(), shown.tally()), file);
                         }});
    if (const std::optional<int> status = command.writeOutputs(files))
        return *status;
    std::fputs(wrappedText(mapSummary(job, shown.tally())).c_str(), stdout);
    if (!command.isQuiet())
        std::fputs(writtenLines({csvFile, plotFile}).c_str(), stdout);
    return kSuccess;
}

} // namespace quorvane::cli
