#pragma once

#include <QImage>
#include <QString>

#include <map>
#include <set>
#include <string>

namespace quorvane::output::tests {

// What a film holds, as libavformat and libavcodec read it back.
struct ReadVideo {
    std::string codec; // libavcodec's name: "h264", "ffv1"
    std::string pixelFormat; // "yuv420p", "gbrp", "bgr0"
    std::string colourSpace; // "bt709", or "unknown" when the stream does not say
    int width = 0;
    int height = 0;
    double framesPerSecond = 0; // the stream's average frame rate
    double seconds = 0; // the container's duration
    int frameCount = 0; // frames decoded
    std::map<int, QImage> frames; // the frames asked for, RGB32
    std::string error; // why the film could not be read; empty when it could
};

// Decodes the whole film in `fileName`, keeping the frames whose numbers (from 0) are in `keep`
// as RGB32 pictures. RGB frames are copied as they are; 4:2:0 frames are turned back with the
// matrix and range their stream is tagged with.
ReadVideo readVideo(const QString& fileName, const std::set<int>& keep = {});

} // namespace quorvane::output::tests
