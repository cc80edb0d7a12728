#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>
#include <span>

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

// One of several files a command writes together.
struct PendingFile {
    QString fileName;
    ContentWriter write;
};

// Which file could not be written, and the system's reason.
struct FileFailure {
    QString fileName;
    QString reason;
};

// Writes every file as writeAtomically() does, but puts them in place only once all of them are
// complete, so a failure leaves every file as it was. The contents are written in the order
// given, so a later writer may use what an earlier one computed. Only a failure of the final
// renames themselves could leave some files new and others old. Returns nothing on success.
std::optional<FileFailure> writeAllAtomically(std::span<const PendingFile> files);

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
