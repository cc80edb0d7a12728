#include "cli/benettin_options.h"

namespace quorvane::cli {

std::optional<QString> readBenettinSettings(
    const HeadlessCommand& command, analysis::BenettinSettings& settings)
{
    constexpr std::uint64_t kMostSteps = 1'000'000'000'000;
    settings.steps = command.setup().steps;
    if (settings.steps < analysis::kBlocks)
        return QStringLiteral("--steps %1: measure at least %2 steps, one for each of the %2 "
                              "blocks of the standard error.")
            .arg(settings.steps)
            .arg(analysis::kBlocks);
    const QCommandLineParser& parser = command.parser();
    if (auto reason
        = readWholeOption(parser, QStringLiteral("transient"), 0, kMostSteps, settings.transient))
        return reason;
    return readWholeOption(parser, QStringLiteral("renorm"), 1, kMostSteps, settings.renorm);
}

} // namespace quorvane::cli
