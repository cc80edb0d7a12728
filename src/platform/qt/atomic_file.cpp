#include "platform/qt/atomic_file.h"

#include <QFileInfo>
#include <QSaveFile>

namespace quorvane::qt {

namespace {

// The file's own error says more than a writer's ("No space left on device" rather than
// "Device error"), so it is preferred when there is one.
QString reasonFor(const QFileDevice& file, const QString& writerReason)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : writerReason;
}

bool isDevice(const QString& fileName)
{
    const QFileInfo target(fileName);
    return target.exists() && !target.isFile() && !target.isDir();
}

std::optional<QString> writeReplacing(const QString& fileName, const ContentWriter& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const std::optional<QString> reason = write(file)) {
        const QString why = reasonFor(file, *reason);
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> writeInto(const QString& fileName, const ContentWriter& write)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const std::optional<QString> reason = write(file))
        return reasonFor(file, *reason);
    // The last part may still be buffered; only the flush shows whether it fitted.
    if (!file.flush())
        return file.errorString();
    return std::nullopt;
}

} // namespace

std::optional<QString> writeAtomically(const QString& fileName, const ContentWriter& write)
{
    if (isDevice(fileName))
        return writeInto(fileName, write);
    return writeReplacing(fileName, write);
}

std::optional<QString> checkWritable(const QString& fileName)
{
    if (isDevice(fileName)) {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            return file.errorString();
        return std::nullopt;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.cancelWriting();
    return std::nullopt;
}

} // namespace quorvane::qt
