#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QSaveFile;

namespace quorvane::qt {

// Writes the file's whole content into the device it is given. Returns nothing on success and
// a reason on failure; when the system refused a write, its reason is reported instead.
using ContentWriter = std::function<std::optional<QString>(QIODevice& device)>;

// Writes a file so that it is either wholly written or not touched at all. Returns nothing on
// success and the system's reason on failure.
//
// The content goes into a file beside the target, which is renamed over it only when complete,
// so a failed or interrupted write never leaves a truncated file and never destroys the file it
// was to replace. A name written in place (isWrittenInPlace()) is written into directly
// instead: renaming over it would replace the device itself.
std::optional<QString> writeAtomically(const QString& fileName, const ContentWriter& write);

// One file written as writeAtomically() writes it, in two steps, so that several files can be
// written first and put in place together after: write(), then commit(). A file that is
// destroyed before its commit is removed again, and its target left as it was.
class AtomicFile {
public:
    explicit AtomicFile(const QString& fileName);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Writes the whole content, beside the target or, for a name written in place, into it.
    // Once this returns nothing the content is on the disk (the system has synced it), so a
    // full disk or a failing device shows here rather than at the commit. Returns the reason
    // the file could not be created or written.
    std::optional<QString> write(const ContentWriter& write);
    // Puts a file written beside its target in place of it. Nothing is left to do for one
    // written in place. Returns the system's reason when the rename fails.
    std::optional<QString> commit();

private:
    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file; // null for a name written in place
};

// Whether a write to the name goes into it in place rather than beside it: a name that exists
// as something other than a file or a folder (a device, a pipe, a socket), or the very file
// that standard output or standard error is open on (`/dev/stdout` with output redirected to a
// file, say). The latter is written through that stream's own descriptor, after what the
// program has printed to it so far, so the content and the program's lines follow each other
// in the order they were written.
bool isWrittenInPlace(const QString& fileName);

// Why standard output (1) or standard error (2) cannot take a write: it is not open for
// writing, as when it was closed before the program started. Nothing when it is open for
// writing; failures such as a full disk show only when it is written.
std::optional<QString> standardStreamFailure(int stream);
// The same for the standard stream whose file the name reaches; nothing for any other name.
std::optional<QString> standardStreamFailure(const QString& fileName);

} // namespace quorvane::qt
