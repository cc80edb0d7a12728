#include "output/video_settings.h"

#include <QFileInfo>

namespace quorvane::output {

QString videoSizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QSize videoFrameSize(QSize pictureSize, VideoQuality quality)
{
    if (quality == VideoQuality::Lossless)
        return pictureSize;
    return QSize(pictureSize.width() + pictureSize.width() % 2,
        pictureSize.height() + pictureSize.height() % 2);
}

std::optional<QString> videoSizeRefusal(QSize pictureSize, VideoQuality quality)
{
    // A side over the limit is refused before its frame's side is worked out, which could
    // overflow.
    const QSize frame = pictureSize.width() > kMaxVideoSide || pictureSize.height() > kMaxVideoSide
        ? pictureSize
        : videoFrameSize(pictureSize, quality);
    if (frame.width() > kMaxVideoSide || frame.height() > kMaxVideoSide
        || std::int64_t {frame.width()} * frame.height() > kMaxVideoPixels)
        return QStringLiteral("its frames would be %1 pixels; a film's frames have at most %2 "
                              "pixels a side and 8192x8192 in all")
            .arg(videoSizeText(frame))
            .arg(kMaxVideoSide);
    return std::nullopt;
}

std::optional<QString> videoTargetRefusal(const QString& fileName)
{
    const QFileInfo target(fileName);
    if (target.isDir())
        return QStringLiteral("is a folder");
    if (target.exists() && !target.isFile())
        return QStringLiteral("is not a regular file: a film needs a file it can seek in");
    return std::nullopt;
}

} // namespace quorvane::output
