#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct AVFormatContext;
struct AVIOContext;
struct AVDictionary;

namespace quorvane::output {

// A film's bytes on their way into an open file, through libavformat's own I/O: written at
// whatever place the muxer seeks to, and read back when the muxer moves its index to the front
// of the file. The muxer never opens a file of its own by name, so the film goes only into the
// file the caller opened. The system's reason for the first failure is kept, since libavformat
// passes on only a number.
class VideoFileIo {
public:
    // `descriptor` stays the caller's and must be open for reading and writing while this
    // lives.
    explicit VideoFileIo(int descriptor);
    ~VideoFileIo();
    VideoFileIo(const VideoFileIo&) = delete;
    VideoFileIo& operator=(const VideoFileIo&) = delete;

    // Hands the file to `format` as its output. Returns a libav error code, or 0. The format
    // context must not outlive this object, and its own I/O is left to this object.
    int attach(AVFormatContext* format);

    // The system's reason for the first write, seek or read that failed, if one did.
    const std::optional<QString>& failure() const { return m_failure; }

private:
    struct Cursor;
    static int writePacket(void* opaque, std::uint8_t* data, int size);
    static int readPacket(void* opaque, std::uint8_t* data, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);
    static int openForReading(AVFormatContext* format, AVIOContext** context, const char* url,
        int flags, AVDictionary** options);
    static int close(AVFormatContext* format, AVIOContext* context);

    static AVIOContext* newContext(Cursor* cursor, bool writing);
    static void freeContext(AVIOContext* context);
    int fail(int error);

    int m_descriptor;
    Cursor* m_writer = nullptr;
    AVIOContext* m_context = nullptr;
    std::optional<QString> m_failure;
};

} // namespace quorvane::output
