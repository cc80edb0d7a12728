#pragma once

#include "output/video_settings.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvane::output {

// Writes a film: pictures handed in one at a time, encoded and written as they come, so memory
// stays flat however many frames there are (the picture, the encoder's frames and a fixed
// margin).
//
// The film goes into a file beside the target and is renamed over it only by finish(), so no
// half-written film ever appears under the final name and a file it was to replace stays as it
// was until then. Every failure is a one-line reason, the system's own where it gave one ("No
// space left on device"); after a failure every later call returns that reason and the film is
// abandoned. A writer that is destroyed unfinished abandons its film too.
//
// The program reaches the one implementation, which needs FFmpeg's libraries, through the video
// module (output/video_module.h), so that only a command that writes a film loads them.
class VideoWriter {
public:
    virtual ~VideoWriter() = default;

    // Starts a film under `fileName`, whose extension chooses the container (see
    // videoContainerFor()). Returns the reason it cannot: an unknown extension, a name that
    // videoTargetRefusal() refuses, settings out of range, a folder that is missing or not
    // writable, an encoder that refuses the size.
    virtual std::optional<QString> open(const QString& fileName, const VideoSettings& settings) = 0;

    // Encodes the next frame, shown for 1 / framesPerSecond seconds. The picture must have the
    // settings' size; an RGB32 picture is taken as it is, any other format is converted first.
    // Returns the reason it could not be written.
    virtual std::optional<QString> addFrame(const QImage& picture) = 0;

    // Writes the frames still in the encoder and the container's index, and puts the film in
    // place under its name. A film needs at least one frame. Returns the reason it could not.
    virtual std::optional<QString> finish() = 0;

    // Abandons the film: nothing is left under the final name or beside it, and a file it was
    // to replace stays as it was.
    virtual void cancel() = 0;

    // The frames handed in so far.
    virtual std::int64_t frameCount() const = 0;

protected:
    VideoWriter() = default;
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
};

} // namespace quorvane::output
