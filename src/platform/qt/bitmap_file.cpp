#include "platform/qt/bitmap_file.h"

#include "platform/qt/atomic_file.h"

#include <QImageWriter>

namespace quorvane::qt {

std::optional<QString> writeBitmap(const QImage& image, const QString& fileName)
{
    // Three bytes a pixel hold every palette colour exactly, in the most widely read layout.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return writeAtomically(
        fileName, [&rgb](QIODevice& file) { return writeImageInto(file, rgb, "bmp"); });
}

std::optional<QString> writeImageInto(QIODevice& device, const QImage& image, const char* format)
{
    QImageWriter writer(&device, format);
    if (!writer.write(image))
        return writer.errorString();
    return std::nullopt;
}

} // namespace quorvane::qt
