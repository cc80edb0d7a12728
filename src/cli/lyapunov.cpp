#include "cli/lyapunov.h"

#include "analysis/parameter_sweep.h"
#include "cli/benettin_options.h"
#include "cli/command.h"
#include "cli/lyapunov_report.h"
#include "cli/spectrum.h"
#include "cli/text_lines.h"

#include <cmath>
#include <cstdio>

namespace quorvane::cli {

namespace {

using analysis::kBlocks;

constexpr std::uint64_t kDefaultSteps = 1'000'000;
constexpr std::uint64_t kMostValues = 1'000'000;
constexpr std::uint64_t kMostThreads = 1024;

const QString kTransient = QStringLiteral("transient");
const QString kRenorm = QStringLiteral("renorm");
const QString kVary = QStringLiteral("vary");
const QString kThreads = QStringLiteral("threads");
const QString kPlot = QStringLiteral("plot");
const QString kCsv = QStringLiteral("csv");
const QString kSpectrum = QStringLiteral("spectrum");

// What the command line asks for, beyond the run's own options.
struct Job {
    LyapunovSubject subject;
    unsigned threads = cores();
    QString plotFile;
    QString csvFile;
};

// --vary LETTER=FROM:TO:COUNT, or the usage error it makes.
std::optional<QString> readVary(const HeadlessCommand& command, Job& job)
{
    const QString given = command.parser().value(kVary);
    Sweep sweep;
    QStringList range;
    if (auto reason = readRange(command, kVary, QStringLiteral("LETTER=FROM:TO:COUNT"),
            QStringLiteral("b=0:200:400"), 1, sweep, range))
        return reason;
    const std::optional<std::uint64_t> count = parseWhole(range[0].trimmed(), 1, kMostValues);
    if (!count)
        return QStringLiteral("--vary %1: COUNT must be a whole number from 1 to %2.")
            .arg(given)
            .arg(kMostValues);
    sweep.count = *count;
    if (sweep.from == sweep.to)
        return QStringLiteral("--vary %1: FROM and TO are the same number; give a range.")
            .arg(given);
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        if (!std::isfinite(sweep.value(i)))
            return QStringLiteral("--vary %1: the values between FROM and TO must stay within "
                                  "the double range.")
                .arg(given);
    job.subject.sweep = sweep;
    return std::nullopt;
}

std::optional<QString> readJob(HeadlessCommand& command, Job& job)
{
    const QCommandLineParser& parser = command.parser();
    LyapunovSubject& subject = job.subject;
    subject.attractor = command.setup().attractor;
    subject.parameters = command.setup().set1;
    if (auto reason = readBenettinSettings(command, subject.settings))
        return reason;
    std::uint64_t threads = job.threads;
    if (auto reason = readWholeOption(parser, kThreads, 1, kMostThreads, threads))
        return reason;
    job.threads = static_cast<unsigned>(threads);
    if (parser.isSet(kVary))
        if (auto reason = readVary(command, job))
            return reason;

    for (const QString& option : {kCsv, kPlot})
        if (parser.isSet(option) && !subject.sweep)
            return QStringLiteral("--%1 needs a range of values: give --vary as well.").arg(option);
    return readCsvAndPlot(parser, job.csvFile, job.plotFile);
}

} // namespace

int lyapunov(const QStringList& arguments)
{
    HeadlessCommand command(QStringLiteral("lyapunov"), QStringLiteral("NAME [options]"),
        QStringLiteral(
            "Measures the largest Lyapunov exponent lambda_1 of an attractor by Benettin's\n"
            "two-orbit method, on the program's own step. Orbit 1 runs from the attractor's\n"
            "start state with the parameters its prompts offer, changed by --set (orbit 1's\n"
            "letters only); orbit 2, its companion, runs with the same parameters. After a\n"
            "transient of M steps (--transient) the companion is moved 1e-8 along the first\n"
            "state coordinate: x for lorenz and rossler, the new point's x' for the maps.\n"
            "Over the next N steps (--steps), every K steps (--renorm), the distance d\n"
            "between the orbits is measured, ln(d / 1e-8) added up, and the companion\n"
            "pulled back towards orbit 1 to 1e-8. lambda_1 is the sum over N: per step,\n"
            "and for lorenz and rossler also per unit of model time (steps of 0.0004 and\n"
            "0.04). Its standard error comes from 10 equal blocks of the N steps, each\n"
            "ending with a measurement of its own; the verdict is 'chaotic' when lambda_1\n"
            "is above zero by more than twice that error, 'not chaotic' otherwise.\n"
            "\n"
            "An orbit that leaves the numbers (infinite or not a number) is reported with\n"
            "its step and no exponent; so is one grown too large for double precision to\n"
            "follow a distance of 1e-8. A companion that falls onto orbit 1 (distance 0)\n"
            "is placed anew along the next coordinate, and that period left out; one that\n"
            "falls back whichever way it is moved gives lambda_1 = -inf. A companion more\n"
            "than a hundredth of orbit 1's size away at a measurement (its largest\n"
            "coordinate, or 1 where that is smaller) has jumped out of the neighbourhood\n"
            "the method measures in, where the step is not smooth or the period too long\n"
            "for the growth: no exponent. These are results, with exit status 0.")
            + spectrumDescription());
    command.addRunOptions(kDefaultSteps, isOrbit1,
        {QStringLiteral("Steps measured after the transient, %1 to 10^12 (default %2).")
                .arg(kBlocks)
                .arg(kDefaultSteps),
            QStringLiteral("No progress bar, and no line naming the files written; the results "
                           "are printed all the same.")},
        kBlocks);
    command.parser().addOptions({
        {kSpectrum, spectrumOptionHelp()},
        {kTransient,
            QStringLiteral("Steps run before the companion is placed, 0 to 10^12 (default "
                           "100000). It starts from the point of the step after them, so a "
                           "run makes M + 1 + N steps."),
            QStringLiteral("M")},
        {kRenorm, QStringLiteral("Steps between two measurements, 1 to 10^12 (default 10)."),
            QStringLiteral("K")},
        {kVary,
            QStringLiteral("Measures COUNT evenly spaced values of one of orbit 1's "
                           "parameters, FROM first and TO last (FROM alone for a COUNT of 1; "
                           "COUNT up to 1000000), and prints a table, one value a line."),
            QStringLiteral("LETTER=FROM:TO:COUNT")},
        {kThreads,
            QStringLiteral("Values measured at once, 1 to 1024 (default: one for each core, "
                           "here %1). The numbers are the same whatever N is.")
                .arg(cores()),
            QStringLiteral("N")},
        {kPlot,
            QStringLiteral("With --vary: draws lambda_1 against the parameter into a 1200x800 "
                           "PNG chart (per unit time for lorenz and rossler, per step for the "
                           "maps)."),
            QStringLiteral("FILE")},
        {kCsv,
            QStringLiteral("With --vary: writes value,lambda_per_step,lambda_per_time,stderr "
                           "in %.17g. stderr is lambda_per_step's; lambda_per_time is empty for "
                           "the maps; a value without an exponent has empty fields."),
            QStringLiteral("FILE")},
    });
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    Job job;
    if (const std::optional<QString> reason = readJob(command, job))
        return command.usageError(*reason);
    if (const std::optional<int> status = command.checkOutputs({job.csvFile, job.plotFile}))
        return *status;
    if (!job.plotFile.isEmpty())
        output::loadChartFonts();

    const LyapunovSubject& subject = job.subject;
    if (command.parser().isSet(kSpectrum))
        return spectrum(command, subject, job.threads, job.csvFile, job.plotFile);
    const std::vector<ParameterSet> sets = parameterSets(subject);
    std::vector<LyapunovEstimate> estimates;
    {
        Progress progress(
            sets.size() * analysis::runSteps(subject.settings), command.progressDisplay());
        estimates = analysis::estimateAll(
            *subject.attractor, sets, subject.settings, job.threads, &progress);
    }

    if (!subject.sweep) {
        std::fputs(wrappedText(estimateReport(subject, estimates.front())).c_str(), stdout);
        return kSuccess;
    }
    // Neither file is put in place unless both are complete.
    std::vector<output::PendingFile> files;
    if (!job.csvFile.isEmpty())
        files.push_back({job.csvFile, [&](QIODevice& file) -> std::optional<QString> {
                             // A refused write is reported by the file itself.
                             output::CsvWriter csv(file);
                             writeRangeCsv(subject, estimates, csv);
                             csv.flush();
                             return std::nullopt;
                         }});
    if (!job.plotFile.isEmpty())
        files.push_back({job.plotFile, [&](QIODevice& file) {
                             return output::writeChartInto(rangeChart(subject, estimates), file);
                         }});
    if (const std::optional<int> status = command.writeOutputs(files))
        return *status;
    printRangeTable(
        subject, estimates, [](const std::string& line) { std::fputs(line.c_str(), stdout); });
    if (!command.isQuiet())
        std::fputs(writtenLines({job.csvFile, job.plotFile}).c_str(), stdout);
    return kSuccess;
}

} // namespace quorvane::cli
