#include "platform/qt/atomic_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvane::qt {

namespace {

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

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
                m_failure = systemReason(written == 0 ? EIO : errno);
        }
        return length;
    }

private:
    int m_descriptor;
    std::optional<QString> m_failure;
};

// Writes the content through a sink on the open descriptor; returns the reason it failed, if
// it did.
std::optional<QString> writeContent(int descriptor, const ContentWriter& write)
{
    FileSink sink(descriptor);
    const std::optional<QString> reason = write(sink);
    if (sink.failure())
        return sink.failure();
    return reason;
}

// Whether the name exists as something other than a file or a folder: a device, a pipe, a
// socket.
bool isDevice(const QString& fileName)
{
    const QFileInfo target(fileName);
    return target.exists() && !target.isFile() && !target.isDir();
}

// The standard stream (1 or 2) whose descriptor is open on the file the name reaches, or -1.
int standardStreamOf(const QString& fileName)
{
    struct stat target { };
    if (::stat(QFile::encodeName(fileName).constData(), &target) != 0)
        return -1;
    for (const int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat open { };
        if (::fstat(stream, &open) == 0 && open.st_dev == target.st_dev
            && open.st_ino == target.st_ino)
            return stream;
    }
    return -1;
}

// Writes into a standard stream's file through a copy of its descriptor, which shares the
// stream's position: after what the program has printed, and before what it prints next.
std::optional<QString> writeIntoStream(int stream, const ContentWriter& write)
{
    std::fflush(stream == STDOUT_FILENO ? stdout : stderr);
    const int descriptor = ::fcntl(stream, F_DUPFD_CLOEXEC, 3);
    if (descriptor < 0)
        return systemReason(errno);
    const std::optional<QString> reason = writeContent(descriptor, write);
    ::close(descriptor);
    return reason;
}

std::optional<QString> writeInto(const QString& fileName, const ContentWriter& write)
{
    if (const int stream = standardStreamOf(fileName); stream >= 0)
        return writeIntoStream(stream, write);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    return writeContent(file.handle(), write);
}

} // namespace

AtomicFile::AtomicFile(const QString& fileName)
    : m_fileName(fileName)
{
}

AtomicFile::~AtomicFile()
{
    if (m_file != nullptr)
        m_file->cancelWriting();
}

std::optional<QString> AtomicFile::write(const ContentWriter& write)
{
    if (isWrittenInPlace(m_fileName))
        return writeInto(m_fileName, write);
    m_file = std::make_unique<QSaveFile>(m_fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        const QString reason = m_file->errorString();
        m_file.reset();
        return reason;
    }
    if (const std::optional<QString> reason = writeContent(m_file->handle(), write)) {
        m_file->cancelWriting();
        m_file.reset();
        return reason;
    }
    // On the disk before any file is put in place: a disk that fills up only as the system
    // writes its buffers out fails here, not after other files have been committed. A file
    // system that cannot sync (EINVAL) has nothing more to write out.
    if (::fsync(m_file->handle()) != 0 && errno != EINVAL) {
        const QString reason = systemReason(errno);
        m_file->cancelWriting();
        m_file.reset();
        return reason;
    }
    return std::nullopt;
}

std::optional<QString> AtomicFile::commit()
{
    if (m_file == nullptr)
        return std::nullopt;
    const bool committed = m_file->commit();
    const QString reason = m_file->errorString();
    m_file.reset();
    if (!committed)
        return reason;
    return std::nullopt;
}

bool isWrittenInPlace(const QString& fileName)
{
    return isDevice(fileName) || standardStreamOf(fileName) >= 0;
}

std::optional<QString> standardStreamFailure(int stream)
{
    const int flags = ::fcntl(stream, F_GETFL);
    if (flags < 0)
        return systemReason(errno);
    if ((flags & O_ACCMODE) == O_RDONLY)
        return systemReason(EBADF); // what a write would report
    return std::nullopt;
}

std::optional<QString> standardStreamFailure(const QString& fileName)
{
    const int stream = standardStreamOf(fileName);
    return stream < 0 ? std::nullopt : standardStreamFailure(stream);
}

std::optional<QString> writeAtomically(const QString& fileName, const ContentWriter& write)
{
    AtomicFile file(fileName);
    if (std::optional<QString> reason = file.write(write))
        return reason;
    return file.commit();
}

} // namespace quorvane::qt
