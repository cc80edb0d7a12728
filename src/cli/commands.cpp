#include "cli/commands.h"

#include "cli/diverge.h"
#include "cli/film.h"
#include "cli/lyapunov.h"
#include "cli/map.h"
#include "cli/render.h"

#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

namespace quorvane::cli {

namespace {

const std::array<Command, 5> kCommands = {{
    {"render", "Draws a run into a PNG or BMP file, at any size and resolution.", render},
    {"diverge", "When and how fast the two orbits part: figures, CSV and a chart.", diverge,
        Command::Application::Gui},
    {"lyapunov", "Measures the largest Lyapunov exponent, of one parameter set or a range.",
        lyapunov, Command::Application::Gui},
    {"map", "Maps the largest Lyapunov exponent over a plane of two parameters.", map,
        Command::Application::Gui},
    {"film", "Writes a run as a film, H.264 in MP4, MOV or Matroska, with a caption.", film,
        Command::Application::Gui},
}};

// Qt's own warnings (a PNG library's complaint about a failed write, say) would add lines of
// their own to the one a command prints for a problem. Only a fatal message still shows.
void keepFatalMessagesOnly(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "quorvane: %s\n", message.toLocal8Bit().constData());
}

// A standard descriptor that is closed when the program starts would be handed to the next file
// it opens, and lines meant for the terminal would land in that file. Each closed one gets the
// read end of an empty pipe instead: it holds the number, a write to it fails as it would on
// the closed descriptor, and no name but /dev/stdout and its kind reaches it.
void holdClosedStandardDescriptors()
{
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        int ends[2];
        if (::pipe(ends) != 0)
            return;
        // The lowest free numbers: the closed descriptor is one of the two ends.
        const int reader = ends[0] == descriptor ? ends[0] : ::dup2(ends[0], descriptor);
        if (ends[0] != descriptor)
            ::close(ends[0]);
        if (ends[1] != descriptor)
            ::close(ends[1]);
        if (reader != descriptor)
            return;
    }
}

// An argument as the user typed it, bytes that are not printable ASCII written as \xHH.
std::string shownBytes(const QByteArray& bytes)
{
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

// The command's arguments as text. Bytes that are not UTF-8 would become U+FFFD, so that a
// file name would write another file than the one named, and two names the same file: such an
// argument is refused rather than changed. Returns nothing when one is, once it is reported.
std::optional<QStringList> argumentsOf(const Command& command, int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        if (i == 1) // the command's word
            continue;
        const QByteArray bytes(argv[i]);
        const QString text = QString::fromLocal8Bit(bytes);
        if (i > 0 && text.toLocal8Bit() != bytes) {
            std::fprintf(stderr,
                "quorvane %s: argument '%s' is not UTF-8 text, so a name made of it could not be "
                "kept as given. Try 'quorvane %s --help'.\n",
                command.name, shownBytes(bytes).c_str(), command.name);
            return std::nullopt;
        }
        arguments << text;
    }
    return arguments;
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
    holdClosedStandardDescriptors();
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
    const std::optional<QStringList> arguments = argumentsOf(command, argc, argv);
    if (!arguments)
        return 2;
    int status = 0;
    try {
        status = command.run(*arguments);
    } catch (const std::bad_alloc&) {
        // Whatever the command had written is unwound: files not yet in place are removed,
        // and the ones they were to replace keep what they held.
        std::fprintf(stderr, "quorvane %s: not enough memory\n", command.name);
        return 1;
    }
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
