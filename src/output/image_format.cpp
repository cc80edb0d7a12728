#include "output/image_format.h"

namespace quorvane::output {

std::optional<QString> sizeRefusal(const ImageFormat& format, QSize pixels)
{
    if (pixels.width() <= format.mostSide && pixels.height() <= format.mostSide)
        return std::nullopt;
    return QStringLiteral("wider or taller than the %1 pixels a side a %2 file takes")
        .arg(format.mostSide)
        .arg(QLatin1String(format.title));
}

} // namespace quorvane::output
