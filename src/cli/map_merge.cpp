#include "cli/map.h"

#include "cli/command.h"
#include "cli/map_csv.h"
#include "cli/map_report.h"
#include "cli/text_lines.h"

#include <cstdio>
#include <map>
#include <new>

namespace quorvane::cli {

namespace {

const QString kCsv = QStringLiteral("csv");
const QString kPlot = QStringLiteral("plot");
const QString kMerge = QStringLiteral("merge");

// Whether the arguments name --merge at all; whether it is the option rather than, say, the
// name --csv is given, the parser says.
bool mentionsMerge(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--merge"))
        || arguments.contains(QStringLiteral("-merge"));
}

// The settings of a part without its slice, word by word.
QStringList sharedSettings(const MapJob& job)
{
    MapJob whole = job;
    whole.slice = {};
    return QString::fromStdString(settingsText(whole)).split(QLatin1Char(' '));
}

// The usage error for two parts of different maps, naming the first setting they differ in,
// or nothing when they are slices of one map.
std::optional<QString> differentMaps(const MapPart& first, const MapPart& other)
{
    const QString both = QStringLiteral("%1 and %2 are parts of different maps: ")
                             .arg(first.fileName, other.fileName);
    const std::uint64_t slices = std::max(first.job.slice.count, other.job.slice.count);
    if (first.job.slice.count != other.job.slice.count
        && std::min(first.job.slice.count, other.job.slice.count) == 1)
        return both + QStringLiteral("one is a whole map, the other one of %1 slices.").arg(slices);
    if (first.job.slice.count != other.job.slice.count)
        return both
            + QStringLiteral("one is cut into %1 slices, the other into %2.")
                  .arg(first.job.slice.count)
                  .arg(other.job.slice.count);
    const QStringList a = sharedSettings(first.job);
    const QStringList b = sharedSettings(other.job);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i])
            continue;
        // The option and its value, wherever the two part: "--steps 100000".
        const auto setting = [&](const QStringList& words) {
            if (i >= words.size())
                return QStringLiteral("nothing");
            const bool isValue = !words[i].startsWith(QLatin1String("--")) && i > 2;
            return isValue ? words[i - 1] + QLatin1Char(' ') + words[i] : words[i];
        };
        return both + QStringLiteral("%1 against %2.").arg(setting(a), setting(b));
    }
    return std::nullopt;
}

// The parts as slices of one map, in the order of their slices, or the usage error.
std::optional<QString> arrange(std::vector<MapPart>& parts)
{
    const MapPart& first = parts.front();
    std::map<std::uint64_t, const MapPart*> slices;
    for (const MapPart& part : parts) {
        if (auto reason = differentMaps(first, part))
            return reason;
        const auto [at, isNew] = slices.emplace(part.job.slice.index, &part);
        if (!isNew)
            return QStringLiteral("%1 and %2 are both slice %3/%4 (%5); give each slice once.")
                .arg(at->second->fileName, part.fileName)
                .arg(part.job.slice.index)
                .arg(part.job.slice.count)
                .arg(QString::fromStdString(sliceRows(part.job.slice, part.job.plane.y.count)));
    }
    const std::uint64_t count = first.job.slice.count;
    QStringList missing;
    QString rows;
    for (std::uint64_t i = 0; i < count; ++i)
        if (!slices.contains(i)) {
            missing << QStringLiteral("%1/%2").arg(i).arg(count);
            if (rows.isEmpty())
                rows = QString::fromStdString(sliceRows({i, count}, first.job.plane.y.count));
        }
    if (!missing.isEmpty())
        return QStringLiteral("slice%1 %2 of the map %3 missing (%4%5).")
            .arg(missing.size() == 1 ? "" : "s",
                missing.size() > 4 ? missing.mid(0, 4).join(QStringLiteral(", ")) + "..."
                                   : missing.join(QStringLiteral(", ")),
                missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"), rows,
                missing.size() == 1 ? QString() : QStringLiteral(", ..."));
    std::ranges::sort(parts, {}, [](const MapPart& p) { return p.job.slice.index; });
    return std::nullopt;
}

int writeMerged(const HeadlessCommand& command, const std::vector<MapPart>& parts,
    const QString& csvFile, const QString& plotFile)
{
    MapJob job = parts.front().job;
    job.slice = {};
    const std::uint64_t count = parts.front().job.slice.count;
    const std::uint64_t width = job.plane.x.count;
    // Row r is the (r / count)-th row of slice r mod count.
    const auto rowValues = [&](std::uint64_t row) {
        const MapPart& part = parts[row % count];
        return std::span(part.values).subspan(row / count * width, width);
    };
    MapValues shown(job, !plotFile.isEmpty());
    for (std::uint64_t row = 0; row < job.plane.y.count; ++row) {
        const std::span<const MapValue> values = rowValues(row);
        for (std::uint64_t i = 0; i < width; ++i)
            shown.add(row, i, values[i]);
    }
    std::vector<output::PendingFile> files;
    if (!csvFile.isEmpty())
        files.push_back({csvFile, [&](QIODevice& file) -> std::optional<QString> {
                             output::CsvWriter writer(file);
                             MapCsvWriter csv(writer, job);
                             for (std::uint64_t row = 0; row < job.plane.y.count; ++row)
                                 csv.row(row, rowValues(row));
                             writer.flush();
                             return std::nullopt;
                         }});
    return writeMapFiles(command, job, std::move(files), shown, csvFile, plotFile);
}

} // namespace

std::optional<int> mergeMap(const QStringList& arguments)
{
    if (!mentionsMerge(arguments))
        return std::nullopt;
    HeadlessCommand command(QStringLiteral("map"),
        QStringLiteral("--merge PART.csv... [--csv FILE] [--plot FILE.png]"),
        QStringLiteral(
            "Joins the CSV files that `quorvane map --slice I/N` wrote for the N slices of one\n"
            "map, given in any order, into the CSV file of one whole run, byte for byte, and\n"
            "its picture. The settings come from the files, each of which records those that\n"
            "computed it. Parts of different maps, a slice missing or given twice, and a file\n"
            "that is not a part as --slice wrote it are refused with exit status 2. A whole\n"
            "map's CSV file, given alone, is a part too: its picture is drawn anew."));
    command.parser().addPositionalArgument(QStringLiteral("PART"),
        QStringLiteral("The CSV file of a slice."), QStringLiteral("PART.csv..."));
    command.parser().addOptions({
        {kMerge, QStringLiteral("Joins the parts.")},
        {kCsv, QStringLiteral("Writes the whole map's CSV file."), QStringLiteral("FILE")},
        {kPlot, QStringLiteral("Draws the whole map into a PNG picture, as map --plot does."),
            QStringLiteral("FILE.png")},
        {{QStringLiteral("q"), QStringLiteral("quiet")},
            QStringLiteral("No line naming the files written.")},
    });
    // The options of a run have no place here; they are known, so that the refusal can say so.
    const QStringList runOptions {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("size"),
        QStringLiteral("set"), QStringLiteral("steps"), QStringLiteral("transient"),
        QStringLiteral("renorm"), QStringLiteral("slice"), QStringLiteral("threads")};
    for (const QString& name : runOptions) {
        QCommandLineOption option(name, QString(), QStringLiteral("VALUE"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        command.parser().addOption(option);
    }
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    const QCommandLineParser& parser = command.parser();
    if (!parser.isSet(kMerge))
        return std::nullopt; // "--merge" was the value of another option
    for (const QString& name : runOptions)
        if (parser.isSet(name))
            return command.usageError(
                QStringLiteral("--%1: --merge takes the settings from the parts.").arg(name));
    const QStringList names = parser.positionalArguments();
    if (names.isEmpty())
        return command.usageError(QStringLiteral("--merge needs the parts' CSV files."));
    if (!parser.isSet(kCsv) && !parser.isSet(kPlot))
        return command.usageError(
            QStringLiteral("give --csv FILE, --plot FILE.png or both: they are where the whole "
                           "map goes."));
    QString csvFile;
    QString plotFile;
    if (auto reason = readCsvAndPlot(parser, csvFile, plotFile))
        return command.usageError(*reason);
    for (const QString& name : names)
        for (const QString& written : {csvFile, plotFile})
            if (!written.isEmpty() && output::writesSameFile(name, written))
                return command.usageError(
                    QStringLiteral("%1 is one of the parts; write the whole map to another "
                                   "file.")
                        .arg(written));
    if (const std::optional<int> status = command.checkOutputs({csvFile, plotFile}))
        return *status;

    try {
        std::vector<MapPart> parts(static_cast<std::size_t>(names.size()));
        for (qsizetype i = 0; i < names.size(); ++i)
            if (auto reason = readMapPart(names[i], parts[static_cast<std::size_t>(i)]))
                return command.usageError(QStringLiteral("%1: %2").arg(names[i], *reason));
        if (auto reason = arrange(parts))
            return command.usageError(*reason);
        return writeMerged(command, parts, csvFile, plotFile);
    } catch (const std::bad_alloc&) {
        return command.failure(
            QStringLiteral("out of memory for the parts' values; nothing was written."));
    }
}

} // namespace quorvane::cli
