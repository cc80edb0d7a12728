#include "cli/picture_options.h"

#include "cli/command.h"
#include "platform/qt/raster_surface.h"
#include "run/palette.h"

namespace quorvane::cli {

namespace {

const QString kSize = QStringLiteral("size");
const QString kScale = QStringLiteral("scale");
const QString kBackground = QStringLiteral("background");

// Within the sides the options allow, the drawing area's surface takes every image size.
static_assert(kMostLogicalSide * kMostScale <= qt::RasterSurface::kMaxImageSide);

std::optional<QString> readSize(const QString& text, PictureOptions& picture)
{
    const QStringList sides = text.split(QLatin1Char('x'));
    const auto width = sides.size() == 2 ? parseWhole(sides[0], 1, kMostLogicalSide) : std::nullopt;
    const auto height
        = sides.size() == 2 ? parseWhole(sides[1], 1, kMostLogicalSide) : std::nullopt;
    if (!width || !height)
        return QStringLiteral("--size %1: write WxH, two whole numbers of pixels from 1 to %2, "
                              "for example 1600x1200.")
            .arg(text)
            .arg(kMostLogicalSide);
    picture.logical = QSize(static_cast<int>(*width), static_cast<int>(*height));
    return std::nullopt;
}

} // namespace

void addPictureOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {kSize,
            QStringLiteral("The drawing area in logical pixels of 15 twips (default 1600x1200). "
                           "A larger area only adds border."),
            QStringLiteral("WxH")},
        {kScale,
            QStringLiteral("Image pixels per logical pixel, 1 to 8, as on a high-density screen "
                           "(default 1): a point is one image pixel."),
            QStringLiteral("K")},
        {kBackground,
            QStringLiteral("The background, a palette index from 0 to 15 (default 0, black)."),
            QStringLiteral("INDEX")},
    });
}

std::optional<QString> readPictureOptions(const QCommandLineParser& parser, PictureOptions& picture)
{
    if (parser.isSet(kSize))
        if (std::optional<QString> reason = readSize(parser.value(kSize), picture))
            return reason;
    if (parser.isSet(kScale)) {
        const auto scale = parseWhole(parser.value(kScale), 1, kMostScale);
        if (!scale)
            return QStringLiteral("--scale %1: the scale must be a whole number from 1 to %2.")
                .arg(parser.value(kScale))
                .arg(kMostScale);
        picture.scale = static_cast<int>(*scale);
    }
    if (parser.isSet(kBackground)) {
        const auto index = parseWhole(parser.value(kBackground), 0, kPalette.size() - 1);
        if (!index)
            return QStringLiteral("--background %1: the background must be a palette index from "
                                  "0 to 15.")
                .arg(parser.value(kBackground));
        picture.background = static_cast<int>(*index);
    }
    return std::nullopt;
}

} // namespace quorvane::cli
