#include "output/libav_video_writer.h"

#include "output/video_encoder.h"
#include "output/video_file_io.h"

#include <QSaveFile>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>

namespace quorvane::output {

namespace {

QString libavText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

QString outOfMemory() { return QString::fromLocal8Bit(std::strerror(ENOMEM)); }

// libav's log would print the encoders' notes and complaints on standard error; a command
// prints only its own one-line errors.
void silenceLibav()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace

// One film on its way: the file beside the target, the muxer, the encoder and the one frame
// they are handed.
struct LibavVideoWriter::Film {
    explicit Film(const QString& fileName)
        : file(fileName)
    {
    }

    ~Film()
    {
        sws_freeContext(converter);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&encoder);
        avformat_free_context(format); // its I/O belongs to io
    }

    // The system's reason for a failed write, or libav's.
    QString writeFailure(int error) const
    {
        return io && io->failure() ? *io->failure() : libavText(error);
    }

    // Encodes `picture` (RGB32) into `frame`.
    void convert(const QImage& picture);
    // Writes the packets the encoder has ready. Returns the reason it could not.
    std::optional<QString> writePackets();

    QSaveFile file; // unless committed, removes the film when destroyed
    std::optional<VideoFileIo> io;
    AVFormatContext* format = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    SwsContext* converter = nullptr; // none where the frame has the picture's layout
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    QSize pictureSize;
    QSize frameSize;
};

LibavVideoWriter::LibavVideoWriter() = default;
LibavVideoWriter::~LibavVideoWriter() = default;

std::optional<QString> LibavVideoWriter::fail(QString reason)
{
    m_failure = std::move(reason);
    m_film.reset();
    return m_failure;
}

void LibavVideoWriter::cancel() { m_film.reset(); }

std::optional<QString> LibavVideoWriter::open(
    const QString& fileName, const VideoSettings& settings)
{
    cancel();
    m_failure.reset();
    m_frameCount = 0;
    silenceLibav();

    const VideoContainer* container = videoContainerFor(fileName);
    if (!container)
        return fail(QStringLiteral("the extension is not one of ") + videoExtensionList());
    if (std::optional<QString> refusal = videoTargetRefusal(fileName))
        return fail(*refusal);
    if (settings.pictureSize.width() < 1 || settings.pictureSize.height() < 1)
        return fail(QStringLiteral("a film's pictures must be at least 1x1 pixels"));
    if (std::optional<QString> refusal = videoSizeRefusal(settings.pictureSize, settings.quality))
        return fail(*refusal);
    if (settings.framesPerSecond < 1 || settings.framesPerSecond > kMaxFramesPerSecond)
        return fail(QStringLiteral("a film has 1 to %1 frames a second").arg(kMaxFramesPerSecond));

    std::unique_ptr<Film> film(new (std::nothrow) Film(fileName));
    if (!film)
        return fail(outOfMemory());
    film->pictureSize = settings.pictureSize;
    film->frameSize = videoFrameSize(settings.pictureSize, settings.quality);
    if (!film->file.open(QIODevice::WriteOnly))
        return fail(film->file.errorString());
    film->io.emplace(film->file.handle());

    int error = avformat_alloc_output_context2(&film->format, nullptr, container->muxer, nullptr);
    if (error >= 0)
        error = film->io->attach(film->format);
    if (error < 0)
        return fail(libavText(error));

    const VideoCodec& codec = container->codec(settings.quality);
    error = openVideoEncoder(codec, film->frameSize, settings.framesPerSecond,
        (film->format->oformat->flags & AVFMT_GLOBALHEADER) != 0, film->encoder);
    if (error < 0) {
        return fail(QStringLiteral("the %1 encoder cannot encode %2 pictures at %3 frames a "
                                   "second: %4")
                        .arg(QLatin1String(codec.description), videoSizeText(film->frameSize))
                        .arg(settings.framesPerSecond)
                        .arg(libavText(error)));
    }

    film->stream = avformat_new_stream(film->format, nullptr);
    if (!film->stream)
        return fail(outOfMemory());
    error = avcodec_parameters_from_context(film->stream->codecpar, film->encoder);
    if (error < 0)
        return fail(libavText(error));
    film->stream->time_base = film->encoder->time_base;
    film->stream->avg_frame_rate = film->encoder->framerate;

    AVDictionary* muxerOptions = nullptr;
    if (container->indexAtFront)
        av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    error = avformat_write_header(film->format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (error < 0)
        return fail(film->writeFailure(error));

    film->frame = av_frame_alloc();
    film->packet = av_packet_alloc();
    if (!film->frame || !film->packet)
        return fail(outOfMemory());
    film->frame->format = film->encoder->pix_fmt;
    film->frame->width = film->frameSize.width();
    film->frame->height = film->frameSize.height();
    error = av_frame_get_buffer(film->frame, 0);
    if (error < 0)
        return fail(libavText(error));

    if (film->encoder->pix_fmt != AV_PIX_FMT_0RGB32) {
        const int width = film->pictureSize.width();
        const int height = film->pictureSize.height();
        film->converter = sws_getContext(width, height, AV_PIX_FMT_RGB32, width, height,
            film->encoder->pix_fmt, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (!film->converter)
            return fail(outOfMemory());
        // 4:2:0 gives each 2x2 block the mean of its four colours, so a point keeps its share
        // of its block's colour; brightness keeps every pixel.
        if (film->encoder->pix_fmt == AV_PIX_FMT_YUV420P) {
            sws_setColorspaceDetails(film->converter, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
        }
    }
    m_film = std::move(film);
    return std::nullopt;
}

void LibavVideoWriter::Film::convert(const QImage& picture)
{
    const int width = pictureSize.width();
    const int height = pictureSize.height();
    const int pictureStride = static_cast<int>(picture.bytesPerLine());
    if (!converter) {
        av_image_copy_plane(frame->data[0], frame->linesize[0], picture.constBits(), pictureStride,
            width * 4, height);
        return;
    }
    const std::uint8_t* const source[] = {picture.constBits()};
    sws_scale(converter, source, &pictureStride, 0, height, frame->data, frame->linesize);
    // The conversion fills the colour planes of an odd side to the end already; the
    // brightness gets a copy of its last column and row.
    std::uint8_t* luma = frame->data[0];
    const std::ptrdiff_t stride = frame->linesize[0];
    if (frameSize.width() > width) {
        for (int y = 0; y < height; ++y)
            luma[y * stride + width] = luma[y * stride + width - 1];
    }
    if (frameSize.height() > height)
        std::memcpy(luma + height * stride, luma + (height - 1) * stride,
            static_cast<std::size_t>(frameSize.width()));
}

std::optional<QString> LibavVideoWriter::Film::writePackets()
{
    for (;;) {
        int error = avcodec_receive_packet(encoder, packet);
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF)
            return std::nullopt;
        if (error < 0)
            return QStringLiteral("the encoder failed: ") + libavText(error);
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        error = av_interleaved_write_frame(format, packet);
        if (error < 0)
            return writeFailure(error);
    }
}

std::optional<QString> LibavVideoWriter::addFrame(const QImage& picture)
{
    if (m_failure)
        return m_failure;
    if (!m_film)
        return fail(QStringLiteral("no film is open"));
    if (picture.size() != m_film->pictureSize) {
        return fail(QStringLiteral("a picture of %1 in a film of %2")
                        .arg(videoSizeText(picture.size()), videoSizeText(m_film->pictureSize)));
    }
    const QImage rgb = picture.format() == QImage::Format_RGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return fail(outOfMemory());

    // The encoder may still hold the last frame; then the frame gets a buffer of its own.
    int error = av_frame_make_writable(m_film->frame);
    if (error < 0)
        return fail(libavText(error));
    m_film->convert(rgb);
    m_film->frame->pts = m_frameCount;
    error = avcodec_send_frame(m_film->encoder, m_film->frame);
    if (error < 0)
        return fail(QStringLiteral("the encoder failed: ") + libavText(error));
    ++m_frameCount;
    if (std::optional<QString> failure = m_film->writePackets())
        return fail(*failure);
    return std::nullopt;
}

std::optional<QString> LibavVideoWriter::finish()
{
    if (m_failure)
        return m_failure;
    if (!m_film)
        return fail(QStringLiteral("no film is open"));
    if (m_frameCount == 0)
        return fail(QStringLiteral("a film needs at least one frame"));
    const int error = avcodec_send_frame(m_film->encoder, nullptr);
    if (error < 0)
        return fail(QStringLiteral("the encoder failed: ") + libavText(error));
    if (std::optional<QString> failure = m_film->writePackets())
        return fail(*failure);
    // The trailer writes the index (for MP4, moving it in front of the frames) and flushes.
    if (const int written = av_write_trailer(m_film->format); written < 0)
        return fail(m_film->writeFailure(written));
    // Reading back what was written, to move the index, fails only in the file's own I/O.
    if (m_film->io->failure())
        return fail(*m_film->io->failure());
    if (!m_film->file.commit())
        return fail(m_film->file.errorString());
    m_film.reset();
    return std::nullopt;
}

} // namespace quorvane::output
