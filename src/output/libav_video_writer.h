#pragma once

#include "output/video_writer.h"

#include <memory>

namespace quorvane::output {

// The video writer on FFmpeg's libraries (libavformat, libavcodec, libswscale). libav's own log
// is silenced: the caller reports what went wrong. Built into the video module, and linked
// directly only by the tests and benchmarks of the writer itself.
class LibavVideoWriter final : public VideoWriter {
public:
    LibavVideoWriter();
    ~LibavVideoWriter() override;

    std::optional<QString> open(const QString& fileName, const VideoSettings& settings) override;
    std::optional<QString> addFrame(const QImage& picture) override;
    std::optional<QString> finish() override;
    void cancel() override;
    std::int64_t frameCount() const override { return m_frameCount; }

private:
    std::optional<QString> fail(QString reason);

    struct Film;
    std::unique_ptr<Film> m_film;
    std::optional<QString> m_failure;
    std::int64_t m_frameCount = 0;
};

} // namespace quorvane::output
