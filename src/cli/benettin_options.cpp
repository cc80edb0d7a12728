#include "cli/benettin_options.h"

namespace quorvane::cli {

std::optional<QString> readBenettinSettings(
    const HeadlessCommand& command, analysis::BenettinSettings& settings)
{
    // --steps is at least kBlocks, one for each block: addRunOptions() was told so.
    settings.steps = command.setup().steps;
    const QCommandLineParser& parser = command.parser();
    if (auto reason
        = readWholeOption(parser, QStringLiteral("transient"), 0, kMostSteps, settings.transient))
        return reason;
    return readWholeOption(parser, QStringLiteral("renorm"), 1, kMostSteps, settings.renorm);
}

std::optional<QString> readRange(const HeadlessCommand& command, const QString& option,
    const QString& form, const QString& example, qsizetype more, analysis::Sweep& sweep,
    QStringList& rest)
{
    const QCommandLineParser& parser = command.parser();
    const QString given = parser.value(option);
    const AttractorChoice& attractor = *command.setup().attractor;
    const qsizetype equals = given.indexOf(QLatin1Char('='));
    const QStringList range = given.mid(equals + 1).split(QLatin1Char(':'));
    if (equals < 0 || range.size() != 2 + more)
        return QStringLiteral("--%1 %2: write %3, for example --%1 %4.")
            .arg(option, given, form, example);
    const QString letter = given.left(equals).trimmed().toLower();
    const std::optional<Param> target = findParameter(attractor, isOrbit1, letter);
    if (!target)
        return QStringLiteral("--%1 %2: %3 takes no parameter '%4' here; it takes %5.")
            .arg(option, given, fromView(attractor.name), given.left(equals),
                parameterNames(attractor, isOrbit1));
    for (const QString& assignment : parser.values(QStringLiteral("set")))
        if (assignment.section(QLatin1Char('='), 0, 0).trimmed().toLower() == letter)
            return QStringLiteral("--%1 %2 and --set %3 both give %4; give one of them.")
                .arg(option, given, assignment, letter);
    sweep.letter = *target;
    for (int i = 0; i < 2; ++i) {
        const std::optional<double> end = parseNumber(range[i].trimmed());
        if (!end)
            return QStringLiteral("--%1 %2: '%3' is not a number, or not one a double holds.")
                .arg(option, given, range[i]);
        (i == 0 ? sweep.from : sweep.to) = *end;
    }
    rest = range.mid(2);
    return std::nullopt;
}

} // namespace quorvane::cli
