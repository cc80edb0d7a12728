#include "output/video_format.h"

#include <QStringList>

#include <array>

namespace quorvane::output {

namespace {

constexpr VideoCodec kH264 {"libx264", "H.264 (yuv420p)"};

// Lossless H.264 rather than FFV1: FFV1 codes every frame on its own, so a film of a run, whose
// frames differ by a few thousand points, came out forty times larger and took six times the
// processor time (the film benchmark's 20-second film: 1007 MB in 42 s against 25 MB in 7 s).
constexpr VideoCodec kLosslessH264 {"libx264rgb", "H.264 lossless (RGB)"};

constexpr std::array kContainers {
    VideoContainer {".mp4", "mp4", true, kH264, kLosslessH264},
    VideoContainer {".mov", "mov", true, kH264, kLosslessH264},
    VideoContainer {".mkv", "matroska", false, kH264, kLosslessH264},
};

} // namespace

std::span<const VideoContainer> videoContainers() { return kContainers; }

const VideoContainer* videoContainerFor(const QString& fileName)
{
    for (const VideoContainer& container : kContainers) {
        if (fileName.endsWith(QLatin1String(container.extension), Qt::CaseInsensitive))
            return &container;
    }
    return nullptr;
}

QString videoExtensionList()
{
    QStringList extensions;
    for (const VideoContainer& container : kContainers)
        extensions << QLatin1String(container.extension);
    return extensions.join(QLatin1String(", "));
}

} // namespace quorvane::output
