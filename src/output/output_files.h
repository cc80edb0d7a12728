#pragma once

#include "platform/qt/atomic_file.h"

#include <QString>

#include <optional>
#include <span>

namespace quorvane::output {

using qt::ContentWriter;

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

// Writes every file as qt::writeAtomically() does, but puts them in place only once all of them are
// complete, so a failure leaves every file as it was. The contents are written in the order
// given, so a later writer may use what an earlier one computed. Only a failure of the final
// renames themselves could leave some files new and others old. Returns nothing on success.
std::optional<FileFailure> writeAllAtomically(std::span<const PendingFile> files);

// Whether qt::writeAtomically() could create the file: tries to, and leaves nothing behind.
// Returns nothing when it could and the system's reason when not. A device or a pipe is taken
// as it is, untried. A command with a long run
// ahead asks this first, so a missing folder is reported before the work rather than after.
std::optional<QString> checkWritable(const QString& fileName);

// Whether qt::writeAtomically() would write the same file for both names: the same name spelled
// two ways ("a.csv", "./a.csv"), or a name that reaches the other through symbolic links, which
// the write follows to their target, also when that target does not exist yet.
bool writesSameFile(const QString& first, const QString& second);

} // namespace quorvane::output
