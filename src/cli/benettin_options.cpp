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

} // namespace quorvane::cli
