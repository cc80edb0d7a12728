#include "cli/diverge.h"

#include "analysis/divergence.h"
#include "cli/command.h"
#include "cli/diverge_chart.h"
#include "cli/diverge_summary.h"
#include "output/chart.h"
#include "output/csv_writer.h"

#include <cmath>
#include <cstdio>

namespace quorvane::cli {

namespace {

using analysis::SeparationSink;
using output::CsvWriter;

constexpr std::uint64_t kDefaultSteps = 1'000'000;
constexpr std::uint64_t kDefaultEvery = 100;
constexpr std::uint64_t kMostEvery = 1'000'000'000'000;
// About half a gigabyte of CSV: more rows than a spreadsheet or a chart can use.
constexpr std::uint64_t kMostRows = 10'000'000;
// The drawing area the screen separation is taken on: render's default, 1600x1200 pixels.
constexpr double kScaleWidth = 1600 * 15.0;
constexpr double kScaleHeight = 1200 * 15.0;

const QString kCsv = QStringLiteral("csv");
const QString kEvery = QStringLiteral("every");
const QString kPlot = QStringLiteral("plot");
const QString kPlotSteps = QStringLiteral("plot-steps");

struct Outputs {
    QString csv; // empty for none
    std::uint64_t every = kDefaultEvery;
    QString plot; // empty for none
    std::uint64_t plotSteps = 0; // the chart's step axis's end; 0 for the one the parting gives
};

std::optional<QString> readOutputs(
    const QCommandLineParser& parser, std::uint64_t steps, Outputs& outputs)
{
    if (parser.isSet(kCsv)) {
        outputs.csv = parser.value(kCsv);
        if (auto reason = readOutputName(kCsv, outputs.csv, OutputKind::Data))
            return reason;
    }
    if (parser.isSet(kEvery)) {
        if (!parser.isSet(kCsv))
            return QStringLiteral("--every sets the CSV file's rows; give --csv FILE as well.");
        const auto every = parseWhole(parser.value(kEvery), 1, kMostEvery);
        if (!every)
            return QStringLiteral("--every %1: write a whole number of steps from 1 to %2.")
                .arg(parser.value(kEvery))
                .arg(kMostEvery);
        outputs.every = *every;
    }
    if (parser.isSet(kCsv) && steps / outputs.every > kMostRows)
        return QStringLiteral("--steps %1 --every %2 would write %3 rows, more than %4; "
                              "give --every %5 or more.")
            .arg(steps)
            .arg(outputs.every)
            .arg(steps / outputs.every)
            .arg(kMostRows)
            .arg((steps + kMostRows - 1) / kMostRows);

    if (parser.isSet(kPlot)) {
        outputs.plot = parser.value(kPlot);
        if (auto reason = readOutputName(kPlot, outputs.plot, OutputKind::Chart))
            return reason;
        if (parser.isSet(kCsv))
            if (auto reason = sameFileError(outputs.csv, outputs.plot))
                return reason;
    }
    if (parser.isSet(kPlotSteps)) {
        if (!parser.isSet(kPlot))
            return QStringLiteral("--plot-steps sets the chart's step axis; give --plot FILE as "
                                  "well.");
        const auto end = parseWhole(parser.value(kPlotSteps), 1, steps);
        if (!end)
            return QStringLiteral("--plot-steps %1: write a whole number of steps from 1 to the "
                                  "run's %2.")
                .arg(parser.value(kPlotSteps))
                .arg(steps);
        outputs.plotSteps = *end;
    }
    return std::nullopt;
}

// The CSV file's rows: every K-th step, and the marked ones.
class CsvRows final : public SeparationSink {
public:
    CsvRows(CsvWriter& writer, std::uint64_t every)
        : m_writer(writer)
        , m_every(every)
    {
        m_writer.line("step,state_separation,screen_separation_px");
    }

    std::uint64_t nextWanted(std::uint64_t step) const override
    {
        return (step / m_every + 1) * m_every;
    }
    void take(const Separation& s, bool marked) override
    {
        if (!marked && s.step % m_every != 0)
            return;
        m_writer.whole(s.step);
        m_writer.number(s.state);
        m_writer.number(s.screenPixels);
        m_writer.endRow();
    }

private:
    CsvWriter& m_writer;
    std::uint64_t m_every;
};

void print(const QStringList& lines)
{
    for (const QString& line : lines)
        std::printf("%s\n", line.toLocal8Bit().constData());
}

} // namespace

int diverge(const QStringList& arguments)
{
    HeadlessCommand command(QStringLiteral("diverge"), QStringLiteral("NAME [options]"),
        QStringLiteral(
            "Runs both orbits of an attractor as the menu command does, with every prompt\n"
            "accepted as offered unless --set says otherwise, and measures at each step how\n"
            "far apart they are. The state separation is the distance between the orbits'\n"
            "states (x, y, z for lorenz and rossler, the plotted point x', y' for the maps)\n"
            "in the attractor's own units. The screen separation is the distance in pixels\n"
            "between the two points the step plots on render's default 1600x1200 drawing\n"
            "area, orbit 2's shift of 10 twips left out. Step 1 is the first step a run\n"
            "plots; for the flows it shows the start, at time 0.\n"
            "\n"
            "It prints the step where the orbits part, the first whose points are a pixel or\n"
            "more apart, and the growth rate: the least-squares slope of ln(state\n"
            "separation) against the step, from the first step where they differ up to the\n"
            "parting step (or the last step), with the steps it takes to grow tenfold. An\n"
            "orbit whose state becomes infinite or not a number leaves the numbers; one\n"
            "whose point no longer fits single precision leaves the range the window can\n"
            "draw. Either way the run ends there, with no rate."));
    command.addRunOptions(kDefaultSteps, anyParameter,
        {{},
            QStringLiteral("No progress bar, and no line naming the files written; the summary "
                           "is printed all the same.")});
    command.parser().addOptions({
        {kCsv,
            QStringLiteral("Writes step,state_separation,screen_separation_px rows to FILE: "
                           "every K-th step, the parting step and the last step, numbers "
                           "with 17 digits; \"nan\" for a point not plotted."),
            QStringLiteral("FILE")},
        {kEvery,
            QStringLiteral("The CSV file's rows come every K steps (default 100), at most "
                           "10000000 rows."),
            QStringLiteral("K")},
        {kPlot,
            QStringLiteral("Draws log10 of the state separation against the step, the "
                           "parting step marked, as a 1200x800 PNG chart. Where the orbits part, "
                           "its step axis ends at a round number 3.5 to 5 times the parting "
                           "step; otherwise it shows the whole run."),
            QStringLiteral("FILE.png")},
        {kPlotSteps,
            QStringLiteral("With --plot: the chart's step axis ends at step N, from 1 to "
                           "--steps."),
            QStringLiteral("N")},
    });
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    const RunSetup& setup = command.setup();
    Outputs outputs;
    if (const std::optional<QString> reason = readOutputs(command.parser(), setup.steps, outputs))
        return command.usageError(*reason);
    if (const std::optional<int> status = command.checkOutputs({outputs.csv, outputs.plot}))
        return *status;
    if (!outputs.plot.isEmpty())
        output::loadChartFonts();

    Divergence divergence(*setup.attractor, kScaleWidth, kScaleHeight, setup.steps);
    DivergenceChart chart(divergence, setup.steps, outputs.plotSteps);
    if (!outputs.plot.isEmpty())
        divergence.addSink(chart);
    std::uint64_t rows = 0;
    const auto run = [&] {
        headless::HeadlessRun<> measured(setup);
        measured.setObserver(
            [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
        Progress progress(setup.steps, command.progressDisplay());
        measured.setProgress(&progress);
        measured.run();
    };
    // The CSV rows are written while the run goes on, the chart once it is over; neither file
    // is put in place unless both are complete.
    std::vector<output::PendingFile> files;
    if (outputs.csv.isEmpty())
        run();
    else
        files.push_back({outputs.csv, [&](QIODevice& file) -> std::optional<QString> {
                             CsvWriter writer(file);
                             CsvRows csvRows(writer, outputs.every);
                             divergence.addSink(csvRows);
                             run();
                             writer.flush();
                             rows = writer.rows();
                             return std::nullopt;
                         }});
    if (!outputs.plot.isEmpty())
        files.push_back({outputs.plot,
            [&](QIODevice& file) { return output::writeChartInto(chart.chart(setup), file); }});
    if (const std::optional<int> status = command.writeOutputs(files))
        return *status;

    print(divergenceSummary(setup, divergence));
    if (command.isQuiet())
        return kSuccess;
    QStringList written;
    if (!outputs.csv.isEmpty())
        written
            << QStringLiteral("%1 (%2 row%3)").arg(outputs.csv).arg(rows).arg(rows == 1 ? "" : "s");
    if (!outputs.plot.isEmpty())
        written << QStringLiteral("%1 (1200x800 pixels)").arg(outputs.plot);
    if (!written.isEmpty())
        print(wrapped(
            QStringLiteral("wrote"), written.join(QStringLiteral(", ")).split(QLatin1Char(' '))));
    return kSuccess;
}

} // namespace quorvane::cli
