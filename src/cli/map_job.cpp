#include "cli/map_job.h"

#include "cli/benettin_options.h"
#include "cli/lyapunov_report.h"

#include <cmath>

namespace quorvane::cli {

namespace {

using analysis::kBlocks;

const QString kX = QStringLiteral("x");
const QString kY = QStringLiteral("y");
const QString kSize = QStringLiteral("size");
const QString kTransient = QStringLiteral("transient");
const QString kRenorm = QStringLiteral("renorm");
const QString kSlice = QStringLiteral("slice");

// --x or --y: LETTER=FROM:TO, the letter one of orbit 1's that --set does not give.
std::optional<QString> readAxis(const HeadlessCommand& command, const QString& option, Sweep& sweep)
{
    const QCommandLineParser& parser = command.parser();
    if (!parser.isSet(option))
        return QStringLiteral("give the plane's two parameters, for example --x b=0:200 --y "
                              "a=0:40; --%1 is missing.")
            .arg(option);
    QStringList rest;
    if (auto reason = readRange(command, option, QStringLiteral("LETTER=FROM:TO"),
            option == kX ? QStringLiteral("b=0:200") : QStringLiteral("a=0:40"), 0, sweep, rest))
        return reason;
    if (sweep.from == sweep.to)
        return QStringLiteral("--%1 %2: FROM and TO are the same number; give a range.")
            .arg(option, parser.value(option));
    return std::nullopt;
}

// --size WxH, each side from 1 to kMostMapSide.
std::optional<QString> readSize(const QCommandLineParser& parser, MapJob& job)
{
    std::uint64_t& width = job.plane.x.count;
    std::uint64_t& height = job.plane.y.count;
    width = 320;
    height = 240;
    if (!parser.isSet(kSize))
        return std::nullopt;
    const QString given = parser.value(kSize);
    const QStringList sides = given.toLower().split(QLatin1Char('x'));
    const auto side = [&](qsizetype i) {
        return sides.size() == 2 ? parseWhole(sides[i].trimmed(), 1, kMostMapSide) : std::nullopt;
    };
    if (!side(0) || !side(1))
        return QStringLiteral("--size %1: write WxH, values across and up, each a whole number "
                              "from 1 to %2; for example --size 320x240.")
            .arg(given)
            .arg(kMostMapSide);
    width = *side(0);
    height = *side(1);
    return std::nullopt;
}

// --slice I/N: N from 1 to the plane's rows, I from 0 to N - 1.
std::optional<QString> readSlice(const QCommandLineParser& parser, MapJob& job)
{
    if (!parser.isSet(kSlice))
        return std::nullopt;
    const QString given = parser.value(kSlice);
    const QStringList parts = given.split(QLatin1Char('/'));
    const std::uint64_t rows = job.plane.y.count;
    const std::optional<std::uint64_t> index
        = parts.size() == 2 ? parseWhole(parts[0].trimmed(), 0, UINT64_MAX) : std::nullopt;
    const std::optional<std::uint64_t> count
        = parts.size() == 2 ? parseWhole(parts[1].trimmed(), 1, UINT64_MAX) : std::nullopt;
    if (!index || !count)
        return QStringLiteral("--slice %1: write I/N, slice I of N counted from 0, for example "
                              "--slice 0/4.")
            .arg(given);
    if (*index >= *count)
        return QStringLiteral("--slice %1: I must be below N; the slices of %2 are 0/%2 to "
                              "%3/%2.")
            .arg(given)
            .arg(*count)
            .arg(*count - 1);
    if (*count > rows)
        return QStringLiteral("--slice %1: a map %2 rows high has at most %2 slices.")
            .arg(given)
            .arg(rows);
    job.slice = {*index, *count};
    return std::nullopt;
}

// Every value of an axis within the double range: ends near the largest double can give a
// value between them that is not.
std::optional<QString> checkValues(const QString& option, const Sweep& sweep)
{
    for (std::uint64_t i = 0; i < sweep.count; ++i)
        if (!std::isfinite(sweep.value(i)))
            return QStringLiteral("--%1: the values between FROM and TO must stay within the "
                                  "double range.")
                .arg(option);
    return std::nullopt;
}

} // namespace

void addMapOptions(HeadlessCommand& command)
{
    command.addRunOptions(100'000, isOrbit1,
        {QStringLiteral("Steps measured at each value after the transient, %1 to 10^12 "
                        "(default 100000). Each value is a run of M + 1 + N steps of two "
                        "orbits: at the defaults 1 to 2 ms of one core for lorenz, rossler, "
                        "hopalong and the equations, 7 to 10 ms for pickover, starburst and "
                        "threeply, so the default 320x240 map takes 1 to 3 min, or 9 to 13 min, "
                        "of one core.")
                .arg(kBlocks),
            QStringLiteral("No progress bar, and no line naming the files written; the summary "
                           "is printed all the same.")},
        kBlocks);
    command.parser().addOptions({
        {kX,
            QStringLiteral("--x: the parameter across, one of orbit 1's, and its first and "
                           "last values: the W values of `lyapunov --vary LETTER=FROM:TO:W`."),
            QStringLiteral("LETTER=FROM:TO")},
        {kY,
            QStringLiteral("--y: the parameter up, another of orbit 1's, and its first and last "
                           "values, spaced the same way over H rows."),
            QStringLiteral("LETTER=FROM:TO")},
        {kSize,
            QStringLiteral("Values across and up, each 1 to %1 (default 320x240).")
                .arg(kMostMapSide),
            QStringLiteral("WxH")},
        {kTransient,
            QStringLiteral("Steps run at each value before the companion is placed, 0 to 10^12 "
                           "(default 10000)."),
            QStringLiteral("M")},
        {kRenorm, QStringLiteral("Steps between two measurements, 1 to 10^12 (default 10)."),
            QStringLiteral("K")},
        {kSlice,
            QStringLiteral("Computes only the rows r with r mod N = I (I from 0 to N - 1, N at "
                           "most H) and writes them with --csv, to be joined by --merge."),
            QStringLiteral("I/N")},
    });
}

std::optional<QString> readMapJob(const HeadlessCommand& command, MapJob& job)
{
    const QCommandLineParser& parser = command.parser();
    job.attractor = command.setup().attractor;
    job.parameters = command.setup().set1;
    if (auto reason = readBenettinSettings(command, job.settings))
        return reason;
    if (auto reason = readAxis(command, kX, job.plane.x))
        return reason;
    if (auto reason = readAxis(command, kY, job.plane.y))
        return reason;
    if (job.plane.x.letter == job.plane.y.letter)
        return QStringLiteral("--x %1 and --y %2 vary the same parameter; give two different "
                              "ones.")
            .arg(parser.value(kX), parser.value(kY));
    if (auto reason = readSize(parser, job))
        return reason;
    if (auto reason = checkValues(kX, job.plane.x))
        return reason;
    if (auto reason = checkValues(kY, job.plane.y))
        return reason;
    return readSlice(parser, job);
}

std::string settingsText(const MapJob& job)
{
    const auto axis = [](const Sweep& sweep) {
        return std::string(parameterName(sweep.letter)) + '=' + shortest(sweep.from) + ':'
            + shortest(sweep.to);
    };
    std::string text = "quorvane map " + std::string(job.attractor->name) + " --x "
        + axis(job.plane.x) + " --y " + axis(job.plane.y) + " --size "
        + std::to_string(job.plane.x.count) + 'x' + std::to_string(job.plane.y.count);
    WindowVars vars;
    vars.set1 = job.parameters;
    for (const Prompt& prompt : job.attractor->texts.prompts)
        if (isOrbit1(prompt.target) && prompt.target != job.plane.x.letter
            && prompt.target != job.plane.y.letter)
            text += " --set " + std::string(parameterName(prompt.target)) + '='
                + shortest(vars.parameter(prompt.target));
    text += " --steps " + std::to_string(job.settings.steps) + " --transient "
        + std::to_string(job.settings.transient) + " --renorm "
        + std::to_string(job.settings.renorm);
    if (job.isSliced())
        text += " --slice " + std::to_string(job.slice.index) + '/'
            + std::to_string(job.slice.count);
    return text;
}

std::optional<QString> readSettings(const QString& text, MapJob& job)
{
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2 || words[0] != QLatin1String("quorvane")
        || words[1] != QLatin1String("map"))
        return QStringLiteral("they do not start with 'quorvane map'.");
    words.removeAt(1); // what is left reads as the command's arguments, the program first
    HeadlessCommand command(QStringLiteral("map"), {}, {});
    addMapOptions(command);
    if (auto reason = command.read(words))
        return reason;
    if (command.parser().isSet(QStringLiteral("quiet")))
        return QStringLiteral("--quiet is not a setting.");
    return readMapJob(command, job);
}

} // namespace quorvane::cli
