#include "platform/qt/command_line.h"

#include <QCommandLineParser>

namespace quorvane::qt {

QString shownInLine(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x")
                + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

CommandLineAnswer readCommandLine(
    const QStringList& arguments, const QList<CommandSummary>& commands)
{
    QCommandLineParser parser;
    QString description
        = QStringLiteral("Draws two orbits of a chaotic system side by side, to show how a small\n"
                         "difference in the parameters grows. Choose a system from the Equations\n"
                         "menu; Escape stops a run and clears the picture.");
    if (!commands.isEmpty()) {
        description += QStringLiteral("\n\nCommands, run without a window or a display as "
                                      "'quorvane COMMAND [options]'\n(each answers --help):\n");
        for (const CommandSummary& command : commands)
            description += QStringLiteral("  %1  %2\n").arg(command.name, -8).arg(command.summary);
        description.chop(1);
    }
    parser.setApplicationDescription(description);
    // Own help option rather than addHelpOption(), which also offers --help-all for Qt's
    // options, and those are not taken.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
        QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Displays the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    // "-help" reads as "--help", and "-platform" is reported as one unknown option rather
    // than eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    const auto exitWith = [](int status, const QString& output, const QString& error) {
        return CommandLineAnswer {CommandLineAnswer::Next::Exit, status, output, error};
    };
    const auto usageError = [&](const QString& reason) {
        return exitWith(2, {},
            QStringLiteral("quorvane: %1 Try 'quorvane --help'.\n").arg(shownInLine(reason)));
    };
    // A word where a command stands is a command misspelt, whatever options follow it for
    // that command.
    if (arguments.size() > 1 && !arguments.at(1).startsWith(QLatin1Char('-'))) {
        const QString word = arguments.at(1);
        QStringList names;
        for (const CommandSummary& command : commands) {
            if (command.name.compare(word, Qt::CaseInsensitive) == 0)
                return usageError(QStringLiteral("Unknown command '%1'; did you mean '%2'?")
                                      .arg(word, command.name));
            names << command.name;
        }
        if (!names.isEmpty())
            return usageError(QStringLiteral("Unknown command '%1'; the commands are %2.")
                                  .arg(word, names.join(QStringLiteral(", "))));
    }
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        const QString word = parser.positionalArguments().constFirst();
        for (const CommandSummary& command : commands)
            if (command.name == word)
                return usageError(
                    QStringLiteral("A command comes first: 'quorvane %1 [options]'.").arg(word));
        return usageError(QStringLiteral("Unexpected argument '%1'.").arg(word));
    }
    if (parser.isSet(help))
        return exitWith(0, parser.helpText(), {});
    if (parser.isSet(version))
        return exitWith(0, QStringLiteral("quorvane %1\n").arg(QLatin1String(kVersion)), {});
    return {};
}

} // namespace quorvane::qt
