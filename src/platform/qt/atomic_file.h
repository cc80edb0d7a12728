#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

namespace quorvane::qt {

// Writes the file's whole content into the device it is given. Returns nothing on success and
// a reason on failure; when the system refused a write, its reason is reported instead.
using ContentWriter = std::function<std::optional<QString>(QIODevice& device)>;

// Writes a file so that it is either wholly written or not touched at all. Returns nothing on
// success and the system's reason on failure.
//
// The content goes into a file beside the target, which is renamed over it only when complete,
// so a failed or interrupted write never leaves a truncated file and never destroys the file it
// was to replace. A device or a pipe is written into directly instead: renaming over it would
// replace the device itself.
std::optional<QString> writeAtomically(const QString& fileName, const ContentWriter& write);

// Whether the name exists as something other than a file or a folder: a device, a pipe, a
// socket. Such a name is written into in place.
bool isDevice(const QString& fileName);

} // namespace quorvane::qt
