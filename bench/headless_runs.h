#pragma once

// What the headless commands' benchmarks share: an attractor's entry found by its drawing
// routine, and render's run timed.

#include "cpu_time.h"

#include "headless/attractor_choice.h"
#include "output/picture.h"

#include <cstdlib>

namespace quorvane::bench {

// The headless commands' entry for the attractor whose menu command runs `drawingRoutine`.
inline const headless::AttractorChoice& choiceOf(void (*drawingRoutine)(Form&))
{
    for (const headless::AttractorChoice& choice : headless::attractorChoices())
        if (choice.drawingRoutine == drawingRoutine)
            return choice;
    std::abort();
}

// CPU seconds of a render run of all the set steps on render's default drawing area,
// 1600x1200, or -1 when it did not make them all.
inline double renderSeconds(const headless::RunSetup& setup)
{
    output::Picture picture;
    if (!picture.allocate(QSize(1600, 1200), 1, 0xFF000000))
        return -1;
    output::PictureRun run(setup);
    run.setCanvas(picture, 1600, 1200);
    const double start = cpuSeconds();
    const std::uint64_t steps = run.run();
    const double seconds = cpuSeconds() - start;
    return steps == setup.steps ? seconds : -1;
}

} // namespace quorvane::bench
