#pragma once

#include "output/video_format.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
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

// Writes a film: pictures handed in one at a time, encoded and written as they come, so memory
// stays flat however many frames there are (the picture, the encoder's frames and a fixed
// margin).
//
// The film goes into a file beside the target and is renamed over it only by finish(), so no
// half-written film ever appears under the final name and a file it was to replace stays as it
// was until then. Every failure is a one-line reason, the system's own where it gave one ("No
// space left on device"); after a failure every later call returns that reason and the film is
// abandoned. A writer that is destroyed unfinished abandons its film too. libav's own log is
// silenced: the caller reports what went wrong.
class VideoWriter {
public:
    VideoWriter();
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Starts a film under `fileName`, whose extension chooses the container (see
    // videoContainerFor()). Returns the reason it cannot: an unknown extension, a name that
    // videoTargetRefusal() refuses, settings out of range, a folder that is missing or not
    // writable, an encoder that refuses the size.
    std::optional<QString> open(const QString& fileName, const VideoSettings& settings);

    // Encodes the next frame, shown for 1 / framesPerSecond seconds. The picture must have the
    // settings' size; an RGB32 picture is taken as it is, any other format is converted first.
    // Returns the reason it could not be written.
    std::optional<QString> addFrame(const QImage& picture);

    // Writes the frames still in the encoder and the container's index, and puts the film in
    // place under its name. A film needs at least one frame. Returns the reason it could not.
    std::optional<QString> finish();

    // Abandons the film: nothing is left under the final name or beside it, and a file it was
    // to replace stays as it was.
    void cancel();

    // The frames handed in so far.
    std::int64_t frameCount() const { return m_frameCount; }

private:
    std::optional<QString> fail(QString reason);

    struct Film;
    std::unique_ptr<Film> m_film;
    std::optional<QString> m_failure;
    std::int64_t m_frameCount = 0;
};

} // namespace quorvane::output
