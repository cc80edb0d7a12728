#pragma once

#include "output/video_format.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvane::output {

// The most frames a second a film may have.
inline constexpr int kMaxFramesPerSecond = 1000;

// What every frame of a film shares.
struct VideoSettings {
    QSize pictureSize; // the size of every picture handed in, at least 1x1
    int framesPerSecond = 30; // 1 to kMaxFramesPerSecond
    VideoQuality quality = VideoQuality::Crisp;
};

// The size of a film's frames for pictures of `pictureSize`. A crisp film's sides are even,
// as 4:2:0 video requires: a picture with an odd side gains one more column or row, a copy of
// its last one, on the right or at the bottom. A lossless film keeps the picture's size.
QSize videoFrameSize(QSize pictureSize, VideoQuality quality);

// The largest frames a film may have: libx264 encodes at most 16384 pixels a side, and a frame
// of more than 8192x8192 pixels would take the encoder gigabytes of memory.
inline constexpr int kMaxVideoSide = 16384;
inline constexpr std::int64_t kMaxVideoPixels = std::int64_t {8192} * 8192;

// Why pictures of `pictureSize` cannot make a film of `quality`: their frames (see
// videoFrameSize()) would have a side longer than kMaxVideoSide or more than kMaxVideoPixels
// pixels. Nothing for a size a film can have.
std::optional<QString> videoSizeRefusal(QSize pictureSize, VideoQuality quality);

// Why a film cannot be written under `fileName` whatever its content: a name that exists as
// something other than a regular file (a folder, a device, a pipe). A film is written into a
// file beside it and renamed over it, and its index is read back, so it needs a file of its
// own. Nothing for a name a film may be written under.
std::optional<QString> videoTargetRefusal(const QString& fileName);

// "1600x1200".
QString videoSizeText(QSize size);

} // namespace quorvane::output
