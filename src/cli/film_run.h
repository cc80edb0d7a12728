#pragma once

#include "headless/headless_run.h"
#include "headless/progress_listener.h"
#include "output/film_frame.h"
#include "output/picture.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvane::cli {

// Which step of a run each frame of its film shows: frame k, counted from 1, shows the picture
// after the run's first step(k) steps, and the last frame the whole run.
class FrameSteps {
public:
    // `frames` frames spread evenly over `steps` steps: frame k shows ceil(k * steps / frames).
    // Needs 1 <= frames; with more frames than steps, some frames show the same step.
    static FrameSteps spread(std::uint64_t steps, std::uint64_t frames);
    // A frame every `stepsPerFrame` steps, and the last after the last step, however few steps
    // it adds: frame k shows min(k * stepsPerFrame, steps). Needs 1 <= stepsPerFrame.
    static FrameSteps every(std::uint64_t steps, std::uint64_t stepsPerFrame);

    std::uint64_t count() const { return m_frames; }
    std::uint64_t steps() const { return m_steps; }
    // The step that frame `frame` (1 to count()) shows.
    std::uint64_t step(std::uint64_t frame) const;

private:
    std::uint64_t m_steps = 0;
    std::uint64_t m_frames = 0;
    std::uint64_t m_stepsPerFrame = 0; // 0 for frames spread evenly
};

// Takes a film's frames as the run reaches their steps.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Frame `frame` (from 1): the run's picture, to be read in place and not kept, since the
    // run goes on drawing into it, and what its caption says. Returns the reason the frame
    // could not be taken, which ends the run.
    virtual std::optional<QString> take(
        std::uint64_t frame, const QImage& picture, const output::FilmCaption& caption)
        = 0;
};

// Whether the captions carry what the two orbits do, measured at every step.
enum class Measure : std::uint8_t { Separation, Nothing };

// The caption of the run's last step as far as it is known before the run: its step and time.
output::FilmCaption lastCaption(const headless::RunSetup& setup);

// Runs `setup` into `picture`, a drawing area of `logicalSize`, and hands the sink each frame
// as `frames` places them. With Measure::Separation the captions carry the state separation at
// the frame's step, and from the step where the orbits part on, that step, as quorvane diverge
// measures it on a drawing area of the same size; without it, only the step and the time.
// Returns the sink's reason for a frame it could not take, or nothing once every frame is
// taken.
std::optional<QString> runFilm(const headless::RunSetup& setup, output::Picture& picture,
    QSize logicalSize, const FrameSteps& frames, Measure measure, FrameSink& sink,
    headless::ProgressListener* progress = nullptr);

} // namespace quorvane::cli
