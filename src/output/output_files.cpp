#include "output/output_files.h"

#include <QFileInfo>
#include <QSaveFile>

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
    if (files.empty())
        return std::nullopt;
    // Each file's writer writes the files after it before it returns, so every file is put in
    // place only after those behind it are, and a failure anywhere cancels the files before it.
    const PendingFile& first = files.front();
    std::optional<FileFailure> later;
    const std::optional<QString> reason
        = qt::writeAtomically(first.fileName, [&](QIODevice& device) -> std::optional<QString> {
              if (std::optional<QString> own = first.write(device))
                  return own;
              later = writeAllAtomically(files.subspan(1));
              return later ? std::optional<QString>(later->reason) : std::nullopt;
          });
    if (later)
        return later;
    if (reason)
        return FileFailure {first.fileName, *reason};
    return std::nullopt;
}

std::optional<QString> checkWritable(const QString& fileName)
{
    // A device or a pipe is not opened to try it: opening a pipe would wait for its reader and,
    // once closed again, hand that reader an end of file before the content. Its failures are
    // reported when it is written.
    if (qt::isDevice(fileName))
        return std::nullopt;
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
