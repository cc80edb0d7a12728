#pragma once

#include "headless/attractor_choice.h"
#include "platform/qt/raster_surface.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace quorvane::headless {

class HeadlessForm;
class HeadlessPlatform;
class Progress;

// What a headless run runs: an attractor, both parameter sets, and the number of steps.
struct RunSetup {
    const AttractorChoice* attractor = nullptr;
    ParameterSet set1; // a, b, c, d, e
    ParameterSet set2; // aa, bb, cc, dd, ee
    std::uint64_t steps = 0;
};

// Called at every event pump of the run, that is after both orbits of step `step` (1 for the
// first) have been plotted and before the stop test, with the window variables as the step
// left them. It may read and change the orbit state, which the step then carries on from.
// Returning false ends the run there, like the last step does.
using StepObserver = std::function<bool(std::uint64_t step, WindowVars& vars)>;

// One run of an attractor's drawing routine without a window, on a platform whose event pump
// does nothing but count the steps. The run is the program's own run skeleton, the one the
// menu command's drawing routine runs after its prompts, instantiated for the headless
// platform (AttractorChoice::headlessRoutine), with DelayCount 0 so Delay makes no pass. After
// the last step the run ends the way it ends when the window is unloaded: the loop returns at
// once and the picture stays, without the clearing RESET would bring.
//
// With a drawing area set, the window's plots go into it, the same RasterSurface the window's
// drawing area holds, sized and scaled as the window's would be; pic1's copy of each point is
// not kept. Without one, plots go nowhere.
class HeadlessRun {
public:
    explicit HeadlessRun(const RunSetup& setup);
    ~HeadlessRun();
    HeadlessRun(const HeadlessRun&) = delete;
    HeadlessRun& operator=(const HeadlessRun&) = delete;

    // A drawing area of `logical` pixels at 15 twips each, held at `devicePixelRatio` image
    // pixels per logical pixel, erased to `background`. Returns false, and leaves the run
    // without one, when the surface refuses the size or its image cannot be allocated, or when
    // the run has already begun.
    bool setDrawingArea(QSize logical, int devicePixelRatio, QRgb background);
    void setObserver(StepObserver observer);
    // Updated as the run goes on; may be left unset.
    void setProgress(Progress* progress);

    // Runs the attractor from its start state for the set number of steps, or until the
    // observer ends it. Returns the steps done. A run can be made once.
    std::uint64_t run();

    // The drawing area. While the run goes on (from the observer) read its image in place: the
    // run writes the pixels directly, so a copy of the image taken then would change with them.
    const qt::RasterSurface& drawingArea() const;

private:
    RunSetup m_setup;
    std::unique_ptr<HeadlessPlatform> m_platform;
    std::unique_ptr<HeadlessForm> m_form;
    bool m_started = false;
};

} // namespace quorvane::headless
