#include "platform/qt/bitmap_file.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace quorvane::qt {

namespace {

// The file's own error says more than the writer's ("No space left on device" rather than
// "Device error"), so it is preferred when there is one.
QString reasonFor(const QFileDevice& file, const QImageWriter& writer)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
}

std::optional<QString> writeReplacing(const QImage& image, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image)) {
        const QString reason = reasonFor(file, writer);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> writeInto(const QImage& image, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    // The last part of the image may still be buffered; only the flush shows whether it fitted.
    if (!writer.write(image) || !file.flush())
        return reasonFor(file, writer);
    return std::nullopt;
}

} // namespace

std::optional<QString> writeBitmap(const QImage& image, const QString& fileName)
{
    // Three bytes a pixel hold every palette colour exactly, in the most widely read layout.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInto(rgb, fileName);
    return writeReplacing(rgb, fileName);
}

} // namespace quorvane::qt
