#include "platform/qt/atomic_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvane::qt {

namespace {

// The content's way into the file: straight to its descriptor, keeping the system's reason for
// the first failure. Qt's own file device loses that reason when a write is cut short (a full
// disk, a file size limit). After a failure the rest of the content is taken and dropped, so
// an image writer finishes normally instead of printing a complaint of its own.
class FileSink final : public QIODevice {
public:
    explicit FileSink(int descriptor)
        : m_descriptor(descriptor)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    const std::optional<QString>& failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 length) override
    {
        qint64 done = 0;
        while (done < length && !m_failure) {
            const ssize_t written
                = ::write(m_descriptor, data + done, static_cast<std::size_t>(length - done));
            if (written > 0)
                done += written;
            else if (written == 0 || errno != EINTR)
                m_failure = QString::fromLocal8Bit(std::strerror(written == 0 ? EIO : errno));
        }
        return length;
    }

private:
    int m_descriptor;
    std::optional<QString> m_failure;
};

// Writes the content through a sink on the open file; returns the reason it failed, if it did.
std::optional<QString> writeContent(QFileDevice& file, const ContentWriter& write)
{
    FileSink sink(file.handle());
    const std::optional<QString> reason = write(sink);
    if (sink.failure())
        return sink.failure();
    return reason;
}

std::optional<QString> writeReplacing(const QString& fileName, const ContentWriter& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const std::optional<QString> reason = writeContent(file, write)) {
        file.cancelWriting();
        return reason;
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
    return writeContent(file, write);
}

} // namespace

bool isDevice(const QString& fileName)
{
    const QFileInfo target(fileName);
    return target.exists() && !target.isFile() && !target.isDir();
}

std::optional<QString> writeAtomically(const QString& fileName, const ContentWriter& write)
{
    if (isDevice(fileName))
        return writeInto(fileName, write);
    return writeReplacing(fileName, write);
}

} // namespace quorvane::qt
