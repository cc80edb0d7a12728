#include "app/frm1.h"
#include "cli/commands.h"
#include "platform/qt/command_line.h"
#include "platform/qt/display.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

#include <cstdio>
#include <optional>

namespace {

// Answers --help, --version and usage errors before anything needs a display, so they work on
// a terminal without one. Returns the exit status when the program is to end here.
std::optional<int> answerCommandLine(int argc, char* argv[])
{
    const QCoreApplication parsing(argc, argv);
    QList<quorvane::qt::CommandSummary> commands;
    for (const quorvane::cli::Command& command : quorvane::cli::commands())
        commands.append({QString::fromLatin1(command.name), QString::fromLatin1(command.summary)});
    const quorvane::qt::CommandLineAnswer answer
        = quorvane::qt::readCommandLine(QCoreApplication::arguments(), commands);
    if (answer.next == quorvane::qt::CommandLineAnswer::Next::RunProgram)
        return std::nullopt;
    std::fputs(answer.output.toLocal8Bit().constData(), stdout);
    std::fputs(answer.error.toLocal8Bit().constData(), stderr);
    return answer.exitStatus;
}

} // namespace

int main(int argc, char* argv[])
{
    // A command's word first runs that command, without a window.
    if (argc > 1)
        if (const quorvane::cli::Command* command = quorvane::cli::findCommand(argv[1]))
            return quorvane::cli::runCommand(*command, argc, argv);

    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;

    std::optional<quorvane::qt::DisplayCheck> display(std::in_place);
    if (const std::string& reason = display->missingReason(); !reason.empty()) {
        std::fprintf(stderr, "quorvane: %s\n", reason.c_str());
        return 1;
    }

    QApplication app(argc, argv);
    display.reset(); // Qt has its own connection now
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    QApplication::setApplicationVersion(QLatin1String(quorvane::qt::kVersion));
    // The launcher's name, so a desktop shows the window under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvane.Quorvane"));

    quorvane::qt::QtPlatform platform;
    quorvane::Frm1 frm1(platform);
    platform.open(frm1);
    return QApplication::exec();
}
