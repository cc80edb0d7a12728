#include "output/output_files.h"

#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <vector>

namespace quorvane::output {

namespace {

// The file a write to `fileName` lands in, the way QSaveFile finds it: symbolic links followed
// to their target, existing or not, the folder in its canonical form.
QString writtenFile(const QString& fileName)
{
    QFileInfo file(fileName);
    // QSaveFile's own limit on a chain of links; a loop ends there too.
    for (int links = 0; links < 128 && file.isSymLink(); ++links)
        file.setFile(file.symLinkTarget());
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? file.absolutePath() : folder) + QLatin1Char('/') + file.fileName();
}

} // namespace

std::optional<FileFailure> writeAllAtomically(std::span<const PendingFile> files)
{
    // Every content first, each checked as soon as it is written, so that a failure stops the
    // write before any file is put in place; the files written so far are removed again when
    // `written` goes.
    std::vector<std::unique_ptr<qt::AtomicFile>> written;
    for (const PendingFile& file : files) {
        written.push_back(std::make_unique<qt::AtomicFile>(file.fileName));
        if (const std::optional<QString> reason = written.back()->write(file.write))
            return FileFailure {file.fileName, *reason};
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (const std::optional<QString> reason = written[i]->commit())
            return FileFailure {files[i].fileName, *reason};
    return std::nullopt;
}

std::optional<QString> checkWritable(const QString& fileName)
{
    // A name written in place is not opened to try it: opening a pipe would wait for its
    // reader and, once closed again, hand that reader an end of file before the content. Its
    // failures are reported when it is written, but for a standard stream that is closed.
    if (qt::isWrittenInPlace(fileName))
        return qt::standardStreamFailure(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.cancelWriting();
    return std::nullopt;
}

bool writesSameFile(const QString& first, const QString& second)
{
    return writtenFile(first) == writtenFile(second);
}

} // namespace quorvane::output
