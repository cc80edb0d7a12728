#include "cli/render.h"

#include "cli/command.h"
#include "cli/picture_options.h"
#include "output/picture.h"
#include "platform/qt/bitmap_file.h"
#include "run/palette.h"

#include <chrono>
#include <cstdio>

namespace quorvane::cli {

namespace {

constexpr std::uint64_t kDefaultSteps = 1'000'000;
// The largest image written, in bytes of its 32-bit pixels.
constexpr std::uint64_t kMostImageBytes = std::uint64_t {1} << 30;

const QString kOutput = QStringLiteral("output");

struct Picture : PictureOptions {
    QString fileName; // with its extension
    const output::ImageFormat* format = &output::kPng;
};

// The options beyond the run's own, or the usage error they make.
std::optional<QString> readPicture(const QCommandLineParser& parser, Picture& picture)
{
    if (!parser.isSet(kOutput))
        return QStringLiteral("No output file; give -o FILE.");
    picture.fileName = parser.value(kOutput);
    if (std::optional<QString> reason
        = readOutputName(QStringLiteral("o"), picture.fileName, OutputKind::Image))
        return reason;
    picture.format = &imageFormatOf(picture.fileName);
    if (std::optional<QString> reason = readPictureOptions(parser, picture))
        return reason;

    const std::uint64_t width = static_cast<std::uint64_t>(picture.logical.width()) * picture.scale;
    const std::uint64_t height
        = static_cast<std::uint64_t>(picture.logical.height()) * picture.scale;
    const QString image = QStringLiteral("the image would be %1x%2 pixels").arg(width).arg(height);
    const QString options = QStringLiteral("--size %1x%2 --scale %3")
                                .arg(picture.logical.width())
                                .arg(picture.logical.height())
                                .arg(picture.scale);
    if (width * height * 4 > kMostImageBytes)
        return QStringLiteral("%1: %2, over 1 GiB.").arg(options, image);
    // Within 1 GiB each side fits an int.
    if (const std::optional<QString> reason = output::sizeRefusal(
            *picture.format, QSize(static_cast<int>(width), static_cast<int>(height))))
        return QStringLiteral("%1: %2, %3.").arg(options, image, *reason);
    return std::nullopt;
}

} // namespace

int render(const QStringList& arguments)
{
    const auto started = std::chrono::steady_clock::now();
    HeadlessCommand command(QStringLiteral("render"), QStringLiteral("NAME [options] -o FILE"),
        QStringLiteral(
            "Draws a run of an attractor without a window: the picture its drawing area would\n"
            "hold after N steps of the run the menu command starts, with every prompt\n"
            "accepted as offered unless --set says otherwise. Orbit 1 is light green, orbit 2\n"
            "light red. The picture is written to FILE as PNG, or as BMP for a name ending in\n"
            ".bmp; a name without an extension gets .png."));
    command.addRunOptions(kDefaultSteps);
    command.parser().addOptions({
        {{QStringLiteral("o"), kOutput},
            QStringLiteral("The image file to write, .png or .bmp. An existing file is replaced "
                           "only once the new one is complete."),
            QStringLiteral("FILE")},
    });
    addPictureOptions(command.parser());
    if (const std::optional<int> status = command.parse(arguments))
        return *status;
    Picture picture;
    if (const std::optional<QString> reason = readPicture(command.parser(), picture))
        return command.usageError(*reason);

    if (const std::optional<int> status = command.checkOutputs({picture.fileName},
            command.isQuiet() ? HeadlessCommand::StandardOutput::Unused
                              : HeadlessCommand::StandardOutput::Printed))
        return *status;

    output::Picture area;
    const QRgb background = 0xFF000000u | kPalette[static_cast<std::size_t>(picture.background)];
    if (!area.allocate(picture.logical, picture.scale, background))
        return command.failure(QStringLiteral("not enough memory for a %1x%2 image")
                                   .arg(picture.logical.width() * picture.scale)
                                   .arg(picture.logical.height() * picture.scale));
    output::PictureRun run(command.setup());
    run.setCanvas(area, picture.logical.width(), picture.logical.height());
    std::uint64_t steps = 0;
    {
        Progress progress(command.setup().steps, command.progressDisplay());
        run.setProgress(&progress);
        steps = run.run();
    }
    const QImage& image = area.image();
    const output::PendingFile file {picture.fileName,
        [&](QIODevice& device) { return qt::writeImageInto(device, image, picture.format->name); }};
    if (const std::optional<int> status = command.writeOutputs({file}))
        return *status;

    if (!command.isQuiet()) {
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("wrote %s: %dx%d, %llu step%s, %.2f s\n",
            picture.fileName.toLocal8Bit().constData(), image.width(), image.height(),
            static_cast<unsigned long long>(steps), steps == 1 ? "" : "s", seconds);
    }
    return kSuccess;
}

} // namespace quorvane::cli
