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

// Writes every file as qt::writeAtomically() does, and puts them in place together: each file's
// content is written in the order given (so a later writer may use what an earlier one
// computed) and on the disk before any file is put in place. A file that cannot be created or
// written ends the write there: no file is put in place, every one keeps what it held, and the
// failure names that file. Only a failure of the final renames themselves could leave some
// files new and others old. A name written in place (a device, a pipe, standard output; see
// qt::isWrittenInPlace()) takes its content when its turn comes, so what it was given stays
// given even when a later file fails. Returns nothing on success.
std::optional<FileFailure> writeAllAtomically(std::span<const PendingFile> files);

// Whether qt::writeAtomically() could create the file: tries to, and leaves nothing behind.
// Returns nothing when it could and the system's reason when not. A name written in place is
// not opened to try it, as opening a pipe would wait for its reader; only a standard stream
// that is not open for writing (closed when the program started) is refused. A command with a
// long run ahead asks this first, so a missing folder is reported before the work rather than
// after.
std::optional<QString> checkWritable(const QString& fileName);

// Whether qt::writeAtomically() would write the same file for both names: the same name spelled
// two ways ("a.csv", "./a.csv"), or a name that reaches the other through symbolic links, which
// the write follows to their target, also when that target does not exist yet.
bool writesSameFile(const QString& first, const QString& second);

} // namespace quorvane::output
