#pragma once

#include "output/video_format.h"

#include <QSize>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace quorvane::output {

// Opens the encoder that `codec` names for frames of `frameSize` at `framesPerSecond`, with the
// settings this program's films use. `globalHeader`: the container keeps the codec's headers
// in its own header (MP4, Matroska). Returns a libav error code, or 0 with `context` open.
int openVideoEncoder(const VideoCodec& codec, QSize frameSize, int framesPerSecond,
    bool globalHeader, AVCodecContext*& context);

} // namespace quorvane::output
