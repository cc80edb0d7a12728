#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace quorvane::output {

// How a film's pictures are encoded.
enum class VideoQuality : std::uint8_t {
    // H.264 in 4:2:0 (yuv420p), which browsers, presentation software and phones play, at a
    // quality that keeps single-pixel points sharp. Brightness keeps every pixel; colour is kept
    // at half the resolution, as 4:2:0 does.
    Crisp,
    // A codec whose decoded frames are the pictures bit for bit.
    Lossless,
};

// An encoder as libavcodec names it, and as a user would.
struct VideoCodec {
    const char* encoder; // "libx264"
    const char* description; // "H.264 (yuv420p)"
};

// A container a film can be written in, chosen by the file name's extension.
struct VideoContainer {
    const char* extension; // ".mp4", in lower case
    const char* muxer; // libavformat's name for the container
    // Whether the index is moved to the front once the film is complete, so that a browser
    // can start playing it while it is still downloading.
    bool indexAtFront;
    VideoCodec crisp;
    VideoCodec lossless;

    const VideoCodec& codec(VideoQuality quality) const
    {
        return quality == VideoQuality::Lossless ? lossless : crisp;
    }
};

// Every container a film can be written in, the usual one first.
std::span<const VideoContainer> videoContainers();

// The container that the file name's extension chooses, in any case ("Film.MP4"); null for a
// name with another extension or none.
const VideoContainer* videoContainerFor(const QString& fileName);

// The known extensions, for a usage error: ".mp4, .mov, .mkv".
QString videoExtensionList();

} // namespace quorvane::output
