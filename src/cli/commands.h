#pragma once

#include <QStringList>

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvane::cli {

// A headless command: `quorvane NAME ...`, run without a window or a display.
struct Command {
    const char* name;
    const char* summary; // one line for `quorvane --help`
    // Runs it; the arguments start with the program's path, without the command's word.
    // Returns the exit status.
    int (*run)(const QStringList& arguments);
    // What it starts Qt with. Drawing text (a chart's) needs a GUI application, on the offscreen
    // platform here; a core application is about 4 MB and a few milliseconds lighter.
    enum class Application : std::uint8_t { Core, Gui } application = Application::Core;
};

// Every command, in the order `quorvane --help` lists them.
std::span<const Command> commands();

// The command of that name, exactly as written; nothing for any other word.
const Command* findCommand(std::string_view name);

// Runs the command named by argv[1] with the arguments after it, as main() gets them. Starts
// the application the command asks for, without a display either way, and takes numbers in
// the C locale.
int runCommand(const Command& command, int argc, char* argv[]);

} // namespace quorvane::cli
