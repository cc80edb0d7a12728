#include "cli/map_csv.h"

#include "cli/lyapunov_report.h"

#include <QFile>
#include <QFileInfo>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvane::cli {

namespace {

// The longest line a part can hold: a settings line is a few hundred characters.
constexpr qint64 kLongestLine = 4096;

// A number as lyapunov's CSV writes it: printf's %.17g in the C locale.
void appendNumber(std::string& line, double value)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.17g", value);
    line.append(text, static_cast<std::size_t>(std::max(0, length)));
}

// A field that must hold a number: the number, or nothing for anything else.
std::optional<double> numberIn(std::string_view field)
{
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

// Reads a part line by line, numbering the lines as an editor does.
class PartLines {
public:
    explicit PartLines(QFile& file)
        : m_file(file)
    {
    }

    // The next line without its end, or nothing at the end of the file; a line too long for
    // a part ends the reading with a reason. A pipe is at its end only once a read finds
    // nothing: before its first read, atEnd() says it is.
    std::optional<std::string> next(std::optional<QString>& reason)
    {
        QByteArray line = m_file.readLine(kLongestLine + 2);
        if (line.isEmpty())
            return std::nullopt;
        ++m_number;
        if (line.endsWith('\n'))
            line.chop(1);
        else if (!m_file.atEnd()) {
            reason
                = QStringLiteral("line %1 is longer than any line of a map's part.").arg(m_number);
            return std::nullopt;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        return line.toStdString();
    }
    std::uint64_t number() const { return m_number; }

private:
    QFile& m_file;
    std::uint64_t m_number = 0;
};

// Checks one line of values against the job, and reads its value. `settings` is the sixth
// field's text on the first line, and nothing on the others, which have five fields.
std::optional<QString> readValue(const std::vector<std::string_view>& fields, const MapJob& job,
    std::uint64_t column, std::uint64_t row, MapValue& value)
{
    const analysis::ParameterPlane& plane = job.plane;
    for (int axis = 0; axis < 2; ++axis) {
        const double expected = axis == 0 ? plane.x.value(column) : plane.y.value(row);
        const std::optional<double> given = numberIn(fields[static_cast<std::size_t>(axis)]);
        if (!given || !sameBits(*given, expected))
            return QStringLiteral("%1 should be %2 there, not '%3'.")
                .arg(fromView(parameterName(axis == 0 ? plane.x.letter : plane.y.letter)),
                    QString::fromStdString(shortest(expected)),
                    QString::fromLatin1(fields[static_cast<std::size_t>(axis)].data(),
                        static_cast<qsizetype>(fields[static_cast<std::size_t>(axis)].size())));
    }
    value = {};
    if (fields[2].empty()) {
        if (!fields[3].empty() || !fields[4].empty())
            return QStringLiteral("a value without lambda_per_step has no other fields.");
        return std::nullopt;
    }
    const std::optional<double> perStep = numberIn(fields[2]);
    if (!perStep)
        return QStringLiteral("lambda_per_step is not a number.");
    value.hasExponent = true;
    value.perStep = *perStep;
    if (job.attractor->isFlow()) {
        const std::optional<double> perTime = numberIn(fields[3]);
        if (!perTime || !sameBits(*perTime, *perStep / job.attractor->timeStep))
            return QStringLiteral("lambda_per_time is not lambda_per_step / %1.")
                .arg(job.attractor->timeStep);
    } else if (!fields[3].empty()) {
        return QStringLiteral("a map has no lambda_per_time.");
    }
    if (!fields[4].empty()) {
        const std::optional<double> error = numberIn(fields[4]);
        if (!error || !std::isfinite(*error))
            return QStringLiteral("stderr is not a finite number.");
        value.standardError = *error;
    }
    return std::nullopt;
}

} // namespace

std::string mapCsvHeader(const MapJob& job)
{
    return std::string(parameterName(job.plane.x.letter)) + ','
        + std::string(parameterName(job.plane.y.letter))
        + ",lambda_per_step,lambda_per_time,stderr,settings";
}

MapCsvWriter::MapCsvWriter(output::CsvWriter& writer, const MapJob& job)
    : m_writer(writer)
    , m_job(job)
    , m_settings(settingsText(job))
{
    m_writer.line(mapCsvHeader(job));
}

void MapCsvWriter::row(std::uint64_t row, std::span<const MapValue> values)
{
    for (std::uint64_t i = 0; i < values.size(); ++i)
        value(i, row, values[i]);
}

void MapCsvWriter::row(std::uint64_t row, std::span<const analysis::LyapunovEstimate> estimates)
{
    for (std::uint64_t i = 0; i < estimates.size(); ++i)
        value(i, row, MapValue::of(estimates[i]));
}

void MapCsvWriter::value(std::uint64_t column, std::uint64_t row, const MapValue& v)
{
    // The fields as lyapunov's rangeCsv() writes them, after the two letters' values.
    m_line.clear();
    appendNumber(m_line, m_job.plane.x.value(column));
    m_line += ',';
    appendNumber(m_line, m_job.plane.y.value(row));
    m_line += ',';
    if (v.hasExponent) {
        appendNumber(m_line, v.perStep);
        m_line += ',';
        if (m_job.attractor->isFlow())
            appendNumber(m_line, v.perStep / m_job.attractor->timeStep);
        m_line += ',';
        if (std::isfinite(v.standardError))
            appendNumber(m_line, v.standardError);
    } else {
        m_line += ",,";
    }
    if (m_first) {
        m_line += ',';
        m_line += m_settings;
        m_first = false;
    }
    m_writer.line(m_line);
}

std::optional<QString> readMapPart(const QString& fileName, MapPart& part)
{
    part.fileName = fileName;
    QFile file(fileName);
    if (QFileInfo(fileName).isDir())
        return QStringLiteral("it is a folder.");
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString() + QLatin1Char('.');
    PartLines lines(file);
    std::optional<QString> reason;
    const std::optional<std::string> header = lines.next(reason);
    std::optional<std::string> line = header ? lines.next(reason) : std::nullopt;
    if (reason)
        return reason;
    const std::vector<std::string_view> first
        = line ? fieldsOf(*line) : std::vector<std::string_view> {};
    if (!header || first.size() != 6)
        return QStringLiteral("it is no part of a map: the settings are missing from its second "
                              "line.");
    if (const std::optional<QString> bad = readSettings(
            QString::fromUtf8(first[5].data(), static_cast<qsizetype>(first[5].size())), part.job))
        return QStringLiteral("its settings are no map's: %1").arg(*bad);
    if (*header != mapCsvHeader(part.job))
        return QStringLiteral("its first line is not '%1'.")
            .arg(QString::fromStdString(mapCsvHeader(part.job)));

    const MapJob& job = part.job;
    const std::uint64_t rows = job.slice.rowsOf(job.plane.y.count);
    const std::uint64_t count = rows * job.plane.x.count;
    // Grown as the lines come, so that a short file claiming a large map costs no more than
    // its lines.
    part.values.clear();
    for (std::uint64_t k = 0; k < rows; ++k)
        for (std::uint64_t i = 0; i < job.plane.x.count; ++i) {
            const std::uint64_t row = job.slice.row(k);
            if (k > 0 || i > 0)
                line = lines.next(reason);
            if (reason)
                return reason;
            if (!line)
                return QStringLiteral("it ends at row %1 column %2, after %3 of its %4 values.")
                    .arg(row)
                    .arg(i)
                    .arg(k * job.plane.x.count + i)
                    .arg(count);
            const std::vector<std::string_view> fields = fieldsOf(*line);
            if (fields.size() != ((k == 0 && i == 0) ? 6u : 5u))
                return QStringLiteral("line %1 (row %2, column %3) does not have %4 fields.")
                    .arg(lines.number())
                    .arg(row)
                    .arg(i)
                    .arg((k == 0 && i == 0) ? 6 : 5);
            if (auto bad = readValue(fields, job, i, row, part.values.emplace_back()))
                return QStringLiteral("line %1 (row %2, column %3): %4")
                    .arg(lines.number())
                    .arg(row)
                    .arg(i)
                    .arg(*bad);
        }
    if (lines.next(reason) || reason)
        return reason ? reason
                      : QStringLiteral("it goes on after the %1 values of its rows, at line %2.")
                            .arg(count)
                            .arg(lines.number());
    if (file.error() != QFileDevice::NoError)
        return file.errorString() + QLatin1Char('.');
    return std::nullopt;
}

} // namespace quorvane::cli
