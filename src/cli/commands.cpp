#include "cli/commands.h"

#include "cli/diverge.h"
#include "cli/lyapunov.h"
#include "cli/map.h"
#include "cli/render.h"

#include <QGuiApplication>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quorvane::cli {

namespace {

const std::array<Command, 4> kCommands = {{
    {"render", "Draws a run into a PNG or BMP file, at any size and resolution.", render},
    {"diverge", "When and how fast the two orbits part: figures, CSV and a chart.", diverge,
        Command::Application::Gui},
    {"lyapunov", "Measures the largest Lyapunov exponent, of one parameter set or a range.",
        lyapunov, Command::Application::Gui},
    {"map", "Maps the largest Lyapunov exponent over a plane of two parameters.", map,
        Command::Application::Gui},
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
    // Qt sees only the program's path, so options of its own such as -platform or -reverse
    // stay the command's to refuse. A GUI application gets the offscreen platform, which needs
    // no display.
    int qtArgc = 1;
    std::unique_ptr<QCoreApplication> application;
    if (command.application == Command::Application::Gui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(qtArgc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(qtArgc, argv);
    }
    // Qt set the user's locale; the commands' own numbers, on the terminal and in files, are
    // written the way command-line tools write them.
    std::setlocale(LC_NUMERIC, "C");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        if (i != 1) // the command's word
            arguments << QString::fromLocal8Bit(argv[i]);
    const int status = command.run(arguments);
    // What a command printed is part of its work: a report lost on a full disk or a closed
    // pipe is a failure, not a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quorvane %s: cannot write to standard output: %s\n", command.name,
            std::strerror(errno));
        return status == 0 ? 1 : status;
    }
    return status;
}

} // namespace quorvane::cli
