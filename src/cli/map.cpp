#include "cli/map.h"

#include "cli/command.h"
#include "cli/map_csv.h"
#include "cli/map_job.h"
#include "cli/map_report.h"
#include "cli/text_lines.h"

#include <cstdio>
#include <new>

namespace quorvane::cli {

namespace {

constexpr std::uint64_t kMostThreads = 1024;

const QString kThreads = QStringLiteral("threads");
const QString kCsv = QStringLiteral("csv");
const QString kPlot = QStringLiteral("plot");
const QString kMerge = QStringLiteral("merge");
const QString kSlice = QStringLiteral("slice");

const QString kSynopsis
    = QStringLiteral("NAME --x LETTER=FROM:TO --y LETTER=FROM:TO [options]\n"
                     "       quorvane map --merge PART.csv... [--csv FILE] [--plot FILE.png]");

// What the command line asks for beyond the job.
struct Outputs {
    unsigned threads = cores();
    QString csv;
    QString plot;
};

std::optional<QString> readOutputs(const HeadlessCommand& command, const MapJob& job, Outputs& out)
{
    const QCommandLineParser& parser = command.parser();
    std::uint64_t threads = out.threads;
    if (auto reason = readWholeOption(parser, kThreads, 1, kMostThreads, threads))
        return reason;
    out.threads = static_cast<unsigned>(threads);
    if (parser.isSet(kMerge))
        return QStringLiteral("--merge joins parts; give it the parts' files instead of an "
                              "attractor.");
    if (!parser.isSet(kCsv) && !parser.isSet(kPlot))
        return QStringLiteral("give --csv FILE, --plot FILE.png or both: they are where a "
                              "map's values go.");
    if (job.isSliced() && !parser.isSet(kCsv))
        return QStringLiteral("--slice %1 needs --csv: a slice's values go into a CSV file, to "
                              "be joined by --merge.")
            .arg(parser.value(kSlice));
    if (job.isSliced() && parser.isSet(kPlot))
        return QStringLiteral("--slice %1 draws no picture; --merge draws the whole map from the "
                              "parts.")
            .arg(parser.value(kSlice));
    return readCsvAndPlot(parser, out.csv, out.plot);
}

// The steps of all the job's runs together, or the most a count holds.
std::uint64_t totalSteps(const MapJob& job)
{
    std::uint64_t total = 0;
    if (__builtin_mul_overflow(job.values(), analysis::runSteps(job.settings), &total))
        return UINT64_MAX;
    return total;
}

int computeMap(const HeadlessCommand& command, const MapJob& job, const Outputs& out)
{
    MapValues shown(job, !out.plot.isEmpty());
    const auto compute = [&](MapCsvWriter* csv) {
        Progress progress(totalSteps(job), command.progressDisplay());
        analysis::estimatePlane(*job.attractor, job.parameters, job.plane, job.slice, job.settings,
            out.threads, &progress,
            [&](std::uint64_t row, std::span<const analysis::LyapunovEstimate> estimates) {
                if (csv != nullptr)
                    csv->row(row, estimates);
                for (std::uint64_t i = 0; i < estimates.size(); ++i)
                    shown.add(row, i, MapValue::of(estimates[i]));
            });
    };
    // The CSV file's lines are written as the rows come, the picture once all are done;
    // neither file is put in place unless both are complete.
    std::vector<output::PendingFile> files;
    if (out.csv.isEmpty())
        compute(nullptr);
    else
        files.push_back({out.csv, [&](QIODevice& file) -> std::optional<QString> {
                             output::CsvWriter writer(file);
                             MapCsvWriter csv(writer, job);
                             compute(&csv);
                             writer.flush();
                             return std::nullopt;
                         }});
    return writeMapFiles(command, job, std::move(files), shown, out.csv, out.plot);
}

} // namespace

int map(const QStringList& arguments)
{
    if (const std::optional<int> status = mergeMap(arguments))
        return *status;
    HeadlessCommand command(QStringLiteral("map"), kSynopsis,
        QStringLiteral(
            "Measures the largest Lyapunov exponent lambda_1 over a plane of two of orbit 1's\n"
            "parameters: W values of one across (--x), H values of another up (--y), the\n"
            "others from the prompts' defaults and --set. Each value is measured exactly as\n"
            "`quorvane lyapunov` measures it, so row j of the map is, bit for bit, `quorvane\n"
            "lyapunov --set Y=y_j --vary X=FROM:TO:W`, with a transient and a number of steps\n"
            "fit for a map. The values are the same on any number of threads. They go into\n"
            "a CSV file (--csv) and a picture (--plot); a summary is printed.\n"
            "\n"
            "Past one machine: --slice I/N computes every N-th row from row I, for separate\n"
            "processes or machines (GNU parallel, a Slurm job array), and `quorvane map\n"
            "--merge PART.csv...` joins the slices' CSV files into the CSV file of one whole\n"
            "run, byte for byte, and its picture. Each file records the settings that\n"
            "computed it in its first line of values; --merge refuses parts of different\n"
            "maps, a missing slice and a doubled one, with exit status 2."));
    addMapOptions(command);
    command.parser().addOptions({
        {kThreads,
            QStringLiteral("Values measured at once, 1 to 1024 (default: one for each core, "
                           "here %1). The numbers are the same whatever N is.")
                .arg(cores()),
            QStringLiteral("N")},
        {kCsv,
            QStringLiteral("Writes one line a value, row after row: the two letters' values, "
                           "then lambda_per_step,lambda_per_time,stderr as lyapunov's CSV has "
                           "them, in %.17g; the first line of values also holds the settings, "
                           "in a last column named settings."),
            QStringLiteral("FILE")},
        {kPlot,
            QStringLiteral("Draws the map into a PNG picture: a square block of pixels a value "
                           "(the map about 960x720 pixels, at least a pixel a value), blue for "
                           "lambda_1 below zero, orange to yellow above it, lighter as lambda_1 "
                           "grows, the zero contour in black, values without an exponent "
                           "hatched grey."),
            QStringLiteral("FILE.png")},
        {
            kMerge,
            QStringLiteral("Joins the CSV files of the slices of one map, given in any order "
                           "in place of NAME, into --csv and --plot. The settings come from "
                           "the files."),
        },
    });
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    MapJob job;
    Outputs out;
    if (auto reason = readMapJob(command, job))
        return command.usageError(*reason);
    if (auto reason = readOutputs(command, job, out))
        return command.usageError(*reason);
    if (const std::optional<int> status = command.checkOutputs({out.csv, out.plot}))
        return *status;
    try {
        return computeMap(command, job, out);
    } catch (const std::bad_alloc&) {
        return command.failure(
            QStringLiteral("out of memory for a map of %1x%2 values; nothing was written.")
                .arg(job.plane.x.count)
                .arg(job.plane.y.count));
    }
}

} // namespace quorvane::cli
