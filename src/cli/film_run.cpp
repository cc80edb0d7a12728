#include "cli/film_run.h"

#include "analysis/divergence.h"

#include <algorithm>
#include <limits>

namespace quorvane::cli {

namespace {

using analysis::Divergence;
using analysis::Separation;
using output::FilmCaption;

// k * steps does not fit 64 bits for long runs of many frames.
__extension__ using Wide = unsigned __int128;

// The separation at the frames' steps, as the measurement hands it on.
class FrameSeparations final : public analysis::SeparationSink {
public:
    explicit FrameSeparations(const FrameSteps& frames)
        : m_frames(frames)
    {
    }

    std::uint64_t nextWanted(std::uint64_t step) const override
    {
        while (m_next <= m_frames.count() && m_frames.step(m_next) <= step)
            ++m_next;
        return m_next <= m_frames.count() ? m_frames.step(m_next) : m_frames.steps();
    }
    void take(const Separation& separation, bool) override { m_last = separation; }

    // The state separation at `step`, if it was measured there.
    double at(std::uint64_t step) const
    {
        return m_last.step == step ? m_last.state : std::numeric_limits<double>::quiet_NaN();
    }

private:
    const FrameSteps& m_frames;
    mutable std::uint64_t m_next = 1; // the next frame whose step is still to come
    Separation m_last;
};

std::optional<double> timeAt(const headless::RunSetup& setup, std::uint64_t step)
{
    // Step 1 shows the start, at time 0, as diverge counts it.
    if (!setup.attractor->isFlow())
        return std::nullopt;
    return static_cast<double>(step - 1) * setup.attractor->timeStep;
}

} // namespace

FrameSteps FrameSteps::spread(std::uint64_t steps, std::uint64_t frames)
{
    FrameSteps spread;
    spread.m_steps = steps;
    spread.m_frames = frames;
    return spread;
}

FrameSteps FrameSteps::every(std::uint64_t steps, std::uint64_t stepsPerFrame)
{
    FrameSteps every;
    every.m_steps = steps;
    every.m_stepsPerFrame = stepsPerFrame;
    every.m_frames = steps / stepsPerFrame + (steps % stepsPerFrame != 0 ? 1 : 0);
    return every;
}

std::uint64_t FrameSteps::step(std::uint64_t frame) const
{
    if (m_stepsPerFrame != 0)
        return static_cast<std::uint64_t>(std::min(Wide {frame} * m_stepsPerFrame, Wide {m_steps}));
    return static_cast<std::uint64_t>((Wide {frame} * m_steps + m_frames - 1) / m_frames);
}

FilmCaption lastCaption(const headless::RunSetup& setup)
{
    FilmCaption last;
    last.step = setup.steps;
    last.steps = setup.steps;
    last.time = timeAt(setup, setup.steps);
    return last;
}

std::optional<QString> runFilm(const headless::RunSetup& setup, output::Picture& picture,
    QSize logicalSize, const FrameSteps& frames, Measure measure, FrameSink& sink,
    headless::ProgressListener* progress)
{
    output::PictureRun run(setup);
    run.setCanvas(picture, logicalSize.width(), logicalSize.height());
    constexpr double kTwips = headless::kTwipsPerPixel;
    Divergence divergence(
        *setup.attractor, logicalSize.width() * kTwips, logicalSize.height() * kTwips, setup.steps);
    FrameSeparations separations(frames);
    divergence.addSink(separations);
    // Until an orbit leaves the numbers: the measurement has nothing more to show from there,
    // but the picture goes on as render draws it.
    bool measuring = measure == Measure::Separation;

    std::uint64_t frame = 1;
    std::uint64_t frameStep = frames.step(1);
    std::optional<QString> failure;
    run.setObserver([&](std::uint64_t step, WindowVars& vars) {
        if (measuring && !divergence.observe(step, vars))
            measuring = false;
        if (step != frameStep) [[likely]]
            return true;
        FilmCaption caption;
        caption.step = step;
        caption.steps = setup.steps;
        caption.time = timeAt(setup, step);
        caption.separation = separations.at(step);
        caption.partingStep = divergence.partingStep();
        caption.departureStep = divergence.departureStep();
        caption.departed = (divergence.departure(1) != analysis::Departure::None ? 1 : 0)
            + (divergence.departure(2) != analysis::Departure::None ? 2 : 0);
        // Frames that show the same step, where there are more frames than steps, each get it.
        for (; frameStep == step; frameStep = ++frame <= frames.count() ? frames.step(frame) : 0) {
            failure = sink.take(frame, picture.image(), caption);
            if (failure)
                return false;
        }
        if (progress != nullptr && progress->isShown())
            progress->update(step);
        return true;
    });
    run.setProgress(progress);
    run.run();
    return failure;
}

} // namespace quorvane::cli
