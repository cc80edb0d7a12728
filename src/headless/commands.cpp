#include "headless/commands.h"

#include "headless/render.h"

#include <QCoreApplication>

#include <array>
#include <clocale>

namespace quorvane::headless {

namespace {

const std::array<Command, 1> kCommands = {{
    {"render", "Draws a run into a PNG or BMP file, at any size and resolution.", render},
}};

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
    const QCoreApplication application(argc, argv);
    // Qt set the user's locale; the commands' own numbers, on the terminal and in files, are
    // written the way command-line tools write them.
    std::setlocale(LC_NUMERIC, "C");
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeAt(1); // the command's word
    return command.run(arguments);
}

} // namespace quorvane::headless
