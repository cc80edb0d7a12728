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

// Whether writeAtomically() could create the file: tries to, and leaves nothing behind.
// Returns nothing when it could and the system's reason when not. A device or a pipe is taken
// as it is, untried. A command with a long run
// ahead asks this first, so a missing folder is reported before the work rather than after.
std::optional<QString> checkWritable(const QString& fileName);

// Whether writeAtomically() would write the same file for both names: the same name spelled
// two ways ("a.csv", "./a.csv"), or a name that reaches the other through symbolic links, which
// the write follows to their target, also when that target does not exist yet.
bool writesSameFile(const QString& first, const QString& second);

} // namespace quorvane::qt
