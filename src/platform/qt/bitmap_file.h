#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

#include <optional>

namespace quorvane::qt {

// Writes the image to the file as a 24-bit Windows bitmap. Returns nothing on success and the
// system's reason on failure.
//
// A file is written beside its target and renamed over it only when complete, so a failed or
// interrupted write never leaves a truncated file and never destroys the file it was to
// replace. A device or a pipe is written into directly instead: renaming over it would replace
// the device itself.
std::optional<QString> writeBitmap(const QImage& image, const QString& fileName);

// Writes the image into the device in the image format named ("bmp", "png"). Returns nothing on
// success and the writer's reason on failure.
std::optional<QString> writeImageInto(QIODevice& device, const QImage& image, const char* format);

} // namespace quorvane::qt
