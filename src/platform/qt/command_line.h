#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quorvane::qt {

// The program's version, as the About box shows it: "(Ver 1.0)".
inline constexpr char kVersion[] = "1.0";

// What the command line asks for when it names no command. The window takes no arguments of
// its own beyond --help and --version; anything else, Qt's own options included, is a usage
// error.
struct CommandLineAnswer {
    enum class Next : std::uint8_t { RunProgram, Exit };
    Next next = Next::RunProgram;
    int exitStatus = 0; // 0 for --help and --version, 2 for a usage error
    QString output; // for standard output: the help or version text
    QString error; // for standard error: one line, ending in a newline
};

// A command the program runs when its word comes first (`quorvane render ...`), as the help
// lists it.
struct CommandSummary {
    QString name;
    QString summary; // one line
};

// The text with each control character (a line break, an escape, a NUL) written as \xNN, so
// that an error quoting a word of the command line or of a file stays one line and does nothing
// to the terminal it is shown on.
QString shownInLine(const QString& text);

// Reads the command line, whose first entry is the program's path; `commands` are listed in
// the help. Needs a QCoreApplication, from which the help text takes the program's path, but
// no display.
CommandLineAnswer readCommandLine(
    const QStringList& arguments, const QList<CommandSummary>& commands = {});

} // namespace quorvane::qt
