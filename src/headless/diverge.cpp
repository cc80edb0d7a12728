#include "headless/diverge.h"

#include "headless/chart.h"
#include "headless/command.h"
#include "headless/csv_writer.h"
#include "headless/divergence.h"
#include "platform/qt/atomic_file.h"

#include <QFileInfo>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvane::headless {

namespace {

constexpr std::uint64_t kDefaultSteps = 1'000'000;
constexpr std::uint64_t kDefaultEvery = 100;
constexpr std::uint64_t kMostEvery = 1'000'000'000'000;
// About half a gigabyte of CSV: more rows than a spreadsheet or a chart can use.
constexpr std::uint64_t kMostRows = 10'000'000;
// The drawing area the screen separation is taken on: render's default, 1600x1200 pixels.
constexpr double kScaleWidth = 1600 * 15.0;
constexpr double kScaleHeight = 1200 * 15.0;
// The chart keeps at most this many points, evenly spread over the run.
constexpr std::size_t kChartPoints = 4096;
constexpr int kColumns = 80;

const QString kCsv = QStringLiteral("csv");
const QString kEvery = QStringLiteral("every");
const QString kPlot = QStringLiteral("plot");

struct Outputs {
    QString csv; // empty for none
    std::uint64_t every = kDefaultEvery;
    QString plot; // empty for none
};

// A name that ends in a slash, or names a folder that exists.
bool isFolder(const QString& name)
{
    return QFileInfo(name).fileName().isEmpty() || QFileInfo(name).isDir();
}

std::optional<QString> readOutputs(
    const QCommandLineParser& parser, std::uint64_t steps, Outputs& outputs)
{
    outputs.csv = parser.value(kCsv);
    if (parser.isSet(kCsv) && isFolder(outputs.csv))
        return QStringLiteral("--csv '%1': give a file name, not a folder.").arg(outputs.csv);
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

    outputs.plot = parser.value(kPlot);
    if (parser.isSet(kPlot)) {
        const QFileInfo plot(outputs.plot);
        if (isFolder(outputs.plot))
            return QStringLiteral("--plot '%1': give a file name, not a folder.").arg(outputs.plot);
        if (plot.suffix().isEmpty())
            outputs.plot += QStringLiteral(".png");
        else if (plot.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0)
            return QStringLiteral("--plot %1: the chart is a PNG file; end its name in .png.")
                .arg(outputs.plot);
        if (parser.isSet(kCsv)
            && QFileInfo(outputs.plot).absoluteFilePath()
                == QFileInfo(outputs.csv).absoluteFilePath())
            return QStringLiteral("--csv and --plot both name %1; give two files.")
                .arg(outputs.csv);
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

// The chart's points: log10 of the state separation at every stride-th step, the stride
// doubling whenever the points fill up, so they stay evenly spread however long the run.
class ChartPoints final : public SeparationSink {
public:
    std::uint64_t nextWanted(std::uint64_t step) const override
    {
        return (step / m_stride + 1) * m_stride;
    }
    void take(const Separation& s, bool marked) override
    {
        if (!marked && s.step % m_stride != 0)
            return;
        m_points.push_back({static_cast<double>(s.step), std::log10(s.state)});
        m_marked.push_back(marked);
        if (m_points.size() >= kChartPoints)
            thin();
    }

    const std::vector<QPointF>& points() const { return m_points; }

private:
    void thin()
    {
        m_stride *= 2;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            if (!m_marked[i] && static_cast<std::uint64_t>(m_points[i].x()) % m_stride != 0)
                continue;
            m_points[kept] = m_points[i];
            m_marked[kept++] = m_marked[i];
        }
        m_points.resize(kept);
        m_marked.resize(kept);
    }

    std::uint64_t m_stride = 1;
    std::vector<QPointF> m_points;
    std::vector<bool> m_marked;
};

// The shortest text that reads back as the same number: 10, 2.667, 0.0004, 1e+300.
QString number(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general).ptr;
    return QString::fromLatin1(text, end - text);
}

// A figure with four significant digits, written out in full between 10^4 and 10^15.
QString figure(double value)
{
    char text[48];
    const double size = std::fabs(value);
    std::snprintf(text, sizeof text, size >= 1e4 && size < 1e15 ? "%.0f" : "%.4g", value);
    return QString::fromLatin1(text);
}

// "a=10 b=28 c=2.667": the parameters of one orbit that the attractor's command asks for.
QStringList parameterList(const RunSetup& setup, int orbit)
{
    WindowVars vars;
    vars.set1 = setup.set1;
    vars.set2 = setup.set2;
    QStringList list;
    for (const Prompt& prompt : setup.attractor->texts.prompts) {
        if ((static_cast<int>(prompt.target) < 5) != (orbit == 1))
            continue;
        const std::string_view name = parameterName(prompt.target);
        list << QStringLiteral("%1=%2").arg(
            QLatin1String(name.data(), static_cast<qsizetype>(name.size())),
            number(vars.parameter(prompt.target)));
    }
    return list;
}

// "1 step", "20 steps".
QString steps(std::uint64_t count)
{
    return count == 1 ? QStringLiteral("1 step") : QStringLiteral("%1 steps").arg(count);
}

// Words joined by blanks into lines of at most 80 columns, the later ones indented.
QStringList wrapped(const QString& first, const QStringList& words)
{
    QStringList lines {first};
    for (const QString& word : words) {
        if (lines.last().size() + 1 + word.size() > kColumns)
            lines << QStringLiteral("   ");
        lines.last() += QLatin1Char(' ') + word;
    }
    return lines;
}

class Summary {
public:
    Summary(const RunSetup& setup, const Divergence& divergence)
        : m_setup(setup)
        , m_d(divergence)
        , m_steps(setup.steps)
        , m_timeStep(setup.attractor->timeStep)
    {
    }

    QStringList lines() const
    {
        QStringList out;
        const QString name = QLatin1String(
            m_setup.attractor->name.data(), static_cast<qsizetype>(m_setup.attractor->name.size()));
        out << (m_setup.attractor->isFlow() ? QStringLiteral("%1, %2 of %3 time units")
                                                  .arg(name, steps(m_steps), number(m_timeStep))
                                            : QStringLiteral("%1, %2").arg(name, steps(m_steps)));
        out << wrapped(QStringLiteral("orbit 1:"), parameterList(m_setup, 1));
        out << wrapped(QStringLiteral("orbit 2:"), parameterList(m_setup, 2));
        if (m_d.firstDifference() != 0)
            out << QStringLiteral("orbits first differ at step %1").arg(m_d.firstDifference());
        out << outcome();
        out << rate();
        return out;
    }

private:
    // "(t = 8.18 time units)" after a step of a flow, at the time its state has.
    QString atTime(std::uint64_t step) const
    {
        if (!m_setup.attractor->isFlow())
            return {};
        return QStringLiteral(" (t = %1 time units)")
            .arg(figure(static_cast<double>(step - 1) * m_timeStep));
    }

    QStringList outcome() const
    {
        QStringList out;
        if (const Separation& s = m_d.atParting(); s.step != 0)
            out << QStringLiteral("orbits part at step %1%2").arg(s.step).arg(atTime(s.step))
                << QStringLiteral("  %1 px apart on screen, %2 state units apart")
                       .arg(figure(s.screenPixels), figure(s.state));
        if (m_d.departureStep() != 0) {
            const bool left1 = m_d.departure(1) != Departure::None;
            const bool left2 = m_d.departure(2) != Departure::None;
            const QString who = left1 && left2
                ? QStringLiteral("both orbits leave")
                : QStringLiteral("orbit %1 leaves").arg(left1 ? 1 : 2);
            out << QStringLiteral("%1 the numbers at step %2%3")
                       .arg(who)
                       .arg(m_d.departureStep())
                       .arg(atTime(m_d.departureStep()))
                << (m_d.departure(left1 ? 1 : 2) == Departure::State
                           ? QStringLiteral("  (a state value is infinite or not a number; the run "
                                            "ends there)")
                           : QStringLiteral("  (%1 beyond single precision; the run ends there)")
                                 .arg(left1 && left2 ? QStringLiteral("their points lie")
                                                     : QStringLiteral("its point lies")));
        } else if (m_d.firstDifference() == 0) {
            out << QStringLiteral("orbits identical for all %1").arg(steps(m_steps));
        } else if (m_d.partingStep() == 0) {
            out << QStringLiteral("still within one pixel after %1").arg(steps(m_steps));
        }
        return out;
    }

    QStringList rate() const
    {
        if (m_d.departureStep() != 0)
            return {QStringLiteral("no growth rate: an orbit left the numbers")};
        if (m_d.firstDifference() == 0)
            return {};
        const LineFit& fit = m_d.growth();
        const std::uint64_t to = m_d.partingStep() != 0 ? m_d.partingStep() : m_steps;
        if (!fit.hasSlope())
            return {QStringLiteral("no growth rate: one step from the first difference to "
                                   "step %1")
                        .arg(to)};
        const double slope = fit.slope();
        QString line = QStringLiteral("growth rate %1 per step").arg(figure(slope));
        if (m_setup.attractor->isFlow())
            line += QStringLiteral(" (%1 per time unit)").arg(figure(slope / m_timeStep));
        QStringList out {line,
            QStringLiteral("  ln of the state separation fitted from step %1 to %2")
                .arg(m_d.firstDifference())
                .arg(to)};
        if (slope == 0)
            return out << QStringLiteral("  the separation neither grows nor shrinks");
        const double tenfold = std::log(10.0) / std::fabs(slope);
        QString grows = QStringLiteral("  it %1 tenfold every %2 steps")
                            .arg(slope > 0 ? QStringLiteral("grows") : QStringLiteral("shrinks"),
                                figure(tenfold));
        if (m_setup.attractor->isFlow())
            grows += QStringLiteral(" (%1 time units)").arg(figure(tenfold * m_timeStep));
        return out << grows;
    }

    const RunSetup& m_setup;
    const Divergence& m_d;
    std::uint64_t m_steps;
    double m_timeStep;
};

Chart chartOf(const RunSetup& setup, const Divergence& divergence, const ChartPoints& points)
{
    Chart chart;
    const QString name = QLatin1String(
        setup.attractor->name.data(), static_cast<qsizetype>(setup.attractor->name.size()));
    chart.title = QStringLiteral("%1, orbit 1: %2\norbit 2: %3")
                      .arg(name, parameterList(setup, 1).join(QLatin1Char(' ')),
                          parameterList(setup, 2).join(QLatin1Char(' ')));
    chart.xLabel = QStringLiteral("step");
    chart.yLabel = QStringLiteral("log10 of the state separation (state units)");
    chart.points = points.points();
    if (divergence.partingStep() != 0)
        chart.marker = ChartLine {static_cast<double>(divergence.partingStep()),
            QStringLiteral("orbits part at step %1").arg(divergence.partingStep())};
    else if (divergence.departureStep() != 0)
        chart.marker = ChartLine {static_cast<double>(divergence.departureStep()),
            QStringLiteral("an orbit leaves the numbers at step %1")
                .arg(divergence.departureStep())};
    return chart;
}

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
            "orbit whose state becomes infinite or not a number, or whose point no longer\n"
            "fits single precision, leaves the numbers: the run ends there, with no rate.\n"
            "--quiet prints nothing at all."));
    command.addRunOptions(kDefaultSteps);
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
                           "parting step marked, as a 1200x800 PNG chart."),
            QStringLiteral("FILE.png")},
    });
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    const RunSetup& setup = command.setup();
    Outputs outputs;
    if (const std::optional<QString> reason = readOutputs(command.parser(), setup.steps, outputs))
        return command.usageError(*reason);
    for (const QString& file : {outputs.csv, outputs.plot})
        if (!file.isEmpty())
            if (const std::optional<QString> reason = qt::checkWritable(file))
                return command.failure(QStringLiteral("cannot write %1: %2").arg(file, *reason));

    Divergence divergence(*setup.attractor, kScaleWidth, kScaleHeight, setup.steps);
    ChartPoints chartPoints;
    if (!outputs.plot.isEmpty())
        divergence.addSink(chartPoints);
    std::uint64_t rows = 0;
    const auto run = [&] {
        HeadlessRun headless(setup);
        headless.setObserver(
            [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
        Progress progress(setup.steps, command.progressDisplay());
        headless.setProgress(&progress);
        headless.run();
    };
    if (outputs.csv.isEmpty()) {
        run();
    } else if (const std::optional<QString> reason
        = qt::writeAtomically(outputs.csv, [&](QIODevice& file) -> std::optional<QString> {
              CsvWriter writer(file);
              CsvRows csvRows(writer, outputs.every);
              divergence.addSink(csvRows);
              run();
              writer.flush();
              rows = writer.rows();
              return std::nullopt;
          })) {
        return command.failure(QStringLiteral("cannot write %1: %2").arg(outputs.csv, *reason));
    }
    if (!outputs.plot.isEmpty())
        if (const std::optional<QString> reason
            = writeChart(chartOf(setup, divergence, chartPoints), outputs.plot))
            return command.failure(
                QStringLiteral("cannot write %1: %2").arg(outputs.plot, *reason));

    if (command.isQuiet())
        return kSuccess;
    print(Summary(setup, divergence).lines());
    QStringList written;
    if (!outputs.csv.isEmpty())
        written << QStringLiteral("%1 (%2 rows)").arg(outputs.csv).arg(rows);
    if (!outputs.plot.isEmpty())
        written << QStringLiteral("%1 (1200x800 pixels)").arg(outputs.plot);
    if (!written.isEmpty())
        print(wrapped(
            QStringLiteral("wrote"), written.join(QStringLiteral(", ")).split(QLatin1Char(' '))));
    return kSuccess;
}

} // namespace quorvane::headless
