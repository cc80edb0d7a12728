#include "output/video_reading.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace quorvane::output::tests {

namespace {

struct Decoding {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* converter = nullptr;

    ~Decoding()
    {
        sws_freeContext(converter);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }
};

// The frame as RGB32, by hand for the RGB layouts (so nothing but the bytes decides a bit for
// bit comparison) and through libswscale for 4:2:0.
QImage toPicture(const AVFrame& frame, SwsContext*& converter)
{
    QImage picture(frame.width, frame.height, QImage::Format_RGB32);
    const auto format = static_cast<AVPixelFormat>(frame.format);
    for (int y = 0; y < frame.height && format != AV_PIX_FMT_YUV420P; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < frame.width; ++x) {
            if (format == AV_PIX_FMT_GBRP) {
                const auto at
                    = [&](int plane) { return frame.data[plane][y * frame.linesize[plane] + x]; };
                line[x] = qRgb(at(2), at(0), at(1));
            } else { // bgr0 or bgra: blue, green, red in memory
                const std::uint8_t* p = frame.data[0] + y * frame.linesize[0] + 4 * x;
                line[x] = qRgb(p[2], p[1], p[0]);
            }
        }
    }
    if (format == AV_PIX_FMT_YUV420P) {
        converter = sws_getCachedContext(converter, frame.width, frame.height, format, frame.width,
            frame.height, AV_PIX_FMT_RGB32, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr,
            nullptr);
        const int space = frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
        sws_setColorspaceDetails(converter, sws_getCoefficients(space),
            frame.color_range == AVCOL_RANGE_JPEG ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1,
            0, 1 << 16, 1 << 16);
        std::uint8_t* target[] = {picture.bits()};
        const int stride = static_cast<int>(picture.bytesPerLine());
        sws_scale(converter, frame.data, frame.linesize, 0, frame.height, target, &stride);
    }
    return picture;
}

std::string text(int error)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, buffer, sizeof buffer);
    return buffer;
}

} // namespace

ReadVideo readVideo(const QString& fileName, const std::set<int>& keep)
{
    ReadVideo video;
    Decoding d;
    int error
        = avformat_open_input(&d.format, fileName.toLocal8Bit().constData(), nullptr, nullptr);
    if (error >= 0)
        error = avformat_find_stream_info(d.format, nullptr);
    if (error < 0 || d.format->nb_streams != 1) {
        video.error = error < 0 ? text(error) : "not one stream";
        return video;
    }
    const AVStream& stream = *d.format->streams[0];
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    d.decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!d.decoder || avcodec_parameters_to_context(d.decoder, stream.codecpar) < 0
        || avcodec_open2(d.decoder, codec, nullptr) < 0) {
        video.error = "no decoder";
        return video;
    }
    video.codec = codec->name;
    const char* pixelFormat
        = av_get_pix_fmt_name(static_cast<AVPixelFormat>(stream.codecpar->format));
    video.pixelFormat = pixelFormat ? pixelFormat : "none";
    video.colourSpace = av_color_space_name(stream.codecpar->color_space);
    video.width = stream.codecpar->width;
    video.height = stream.codecpar->height;
    video.framesPerSecond = av_q2d(stream.avg_frame_rate);
    video.seconds = static_cast<double>(d.format->duration) / AV_TIME_BASE;

    d.frame = av_frame_alloc();
    d.packet = av_packet_alloc();
    const auto receive = [&] {
        while (avcodec_receive_frame(d.decoder, d.frame) >= 0) {
            if (keep.count(video.frameCount) != 0)
                video.frames[video.frameCount] = toPicture(*d.frame, d.converter);
            ++video.frameCount;
        }
    };
    while ((error = av_read_frame(d.format, d.packet)) >= 0) {
        error = avcodec_send_packet(d.decoder, d.packet);
        av_packet_unref(d.packet);
        if (error < 0) {
            video.error = text(error);
            return video;
        }
        receive();
    }
    if (error != AVERROR_EOF) {
        video.error = text(error);
        return video;
    }
    avcodec_send_packet(d.decoder, nullptr);
    receive();
    return video;
}

} // namespace quorvane::output::tests
