#include "headless/commands.h"

#include "headless/lyapunov.h"
#include "headless/render.h"

#include <QGuiApplication>

#include <array>
#include <clocale>
#include <cstdio>

namespace quorvane::headless {

namespace {

const std::array<Command, 2> kCommands = {{
    {"render", "Draws a run into a PNG or BMP file, at any size and resolution.", render},
    {"lyapunov", "Measures the largest Lyapunov exponent, of one parameter set or a range.",
        lyapunov},
}};

// Qt's own warnings (a PNG library's complaint about a failed write, say) would add lines of
// their own to the one a command prints for a problem. Only a fatal message still shows.
void keepFatalMessagesOnly(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "quorvane: %s\n", message.toLocal8Bit().constData());
}

} // namespace

std::span<const Command> commands() { return kCommands; }

const Command* findCommand(std::string_view name)
{
    for (const Command& command : kCommands)
        if (std::string_view(command.name) == name)
            return &command;
    return nullptr;
}

int runCommand(const Command& command, int argc, char* argv[])
{
    qInstallMessageHandler(keepFatalMessagesOnly);
    // Text on a chart needs a GUI application; the offscreen platform gives one without a
    // display. Qt sees only the program's path, so options of its own such as -platform or
    // -reverse stay the command's to refuse.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    const QGuiApplication application(qtArgc, argv);
    // Qt set the user's locale; the commands' own numbers, on the terminal and in files, are
    // written the way command-line tools write them.
    std::setlocale(LC_NUMERIC, "C");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        if (i != 1) // the command's word
            arguments << QString::fromLocal8Bit(argv[i]);
    return command.run(arguments);
}

} // namespace quorvane::headless
