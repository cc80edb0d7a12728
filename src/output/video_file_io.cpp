#include "output/video_file_io.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace quorvane::output {

// One place in the file: the writer's, or that of a reader the muxer opened.
struct VideoFileIo::Cursor {
    VideoFileIo* file;
    std::int64_t position = 0;
};

namespace {

// Large enough that a frame of a sparse picture goes out in one or two system calls.
constexpr int kBufferSize = 256 * 1024;

} // namespace

VideoFileIo::VideoFileIo(int descriptor)
    : m_descriptor(descriptor)
{
}

VideoFileIo::~VideoFileIo()
{
    freeContext(m_context);
    delete m_writer;
}

int VideoFileIo::attach(AVFormatContext* format)
{
    if (!m_writer)
        m_writer = new (std::nothrow) Cursor {this};
    if (m_writer && !m_context)
        m_context = newContext(m_writer, true);
    if (!m_context)
        return AVERROR(ENOMEM);
    format->pb = m_context;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->opaque = this;
    format->io_open = openForReading;
    format->io_close2 = close;
    return 0;
}

int VideoFileIo::fail(int error)
{
    if (!m_failure)
        m_failure = QString::fromLocal8Bit(std::strerror(error));
    return AVERROR(error);
}

int VideoFileIo::writePacket(void* opaque, std::uint8_t* data, int size)
{
    Cursor& cursor = *static_cast<Cursor*>(opaque);
    VideoFileIo& file = *cursor.file;
    int done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(file.m_descriptor, data + done,
            static_cast<std::size_t>(size - done), cursor.position + done);
        if (written > 0)
            done += static_cast<int>(written);
        else if (written == 0)
            return file.fail(EIO);
        else if (errno != EINTR)
            return file.fail(errno);
    }
    cursor.position += size;
    return size;
}

int VideoFileIo::readPacket(void* opaque, std::uint8_t* data, int size)
{
    Cursor& cursor = *static_cast<Cursor*>(opaque);
    for (;;) {
        const ssize_t got = ::pread(
            cursor.file->m_descriptor, data, static_cast<std::size_t>(size), cursor.position);
        if (got > 0) {
            cursor.position += got;
            return static_cast<int>(got);
        }
        if (got == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return cursor.file->fail(errno);
    }
}

std::int64_t VideoFileIo::seek(void* opaque, std::int64_t offset, int whence)
{
    Cursor& cursor = *static_cast<Cursor*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE || whence == SEEK_END) {
        struct stat status { };
        if (::fstat(cursor.file->m_descriptor, &status) != 0)
            return cursor.file->fail(errno);
        if (whence == AVSEEK_SIZE)
            return status.st_size;
        offset += status.st_size;
    } else if (whence == SEEK_CUR) {
        offset += cursor.position;
    } else if (whence != SEEK_SET) {
        return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    cursor.position = offset;
    return offset;
}

// The muxer reopens its output by name to read back what it wrote (MP4's index moved to the
// front). It is given a reader of the same open file instead; any other file is refused.
int VideoFileIo::openForReading(
    AVFormatContext* format, AVIOContext** context, const char*, int flags, AVDictionary**)
{
    if ((flags & AVIO_FLAG_WRITE) != 0)
        return AVERROR(EPERM);
    auto* cursor = new (std::nothrow) Cursor {static_cast<VideoFileIo*>(format->opaque)};
    if (!cursor)
        return AVERROR(ENOMEM);
    *context = newContext(cursor, false);
    if (!*context) {
        delete cursor;
        return AVERROR(ENOMEM);
    }
    return 0;
}

int VideoFileIo::close(AVFormatContext*, AVIOContext* context)
{
    auto* cursor = static_cast<Cursor*>(context->opaque);
    freeContext(context);
    delete cursor;
    return 0;
}

AVIOContext* VideoFileIo::newContext(Cursor* cursor, bool writing)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        return nullptr;
    AVIOContext* context = avio_alloc_context(buffer, kBufferSize, writing ? 1 : 0, cursor,
        writing ? nullptr : readPacket, writing ? writePacket : nullptr, seek);
    if (!context)
        av_free(buffer);
    return context;
}

void VideoFileIo::freeContext(AVIOContext* context)
{
    if (!context)
        return;
    av_freep(&context->buffer);
    avio_context_free(&context);
}

} // namespace quorvane::output
