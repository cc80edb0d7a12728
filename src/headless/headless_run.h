#pragma once

#include "headless/attractor_choice.h"
#include "headless/attractor_types.h"
#include "headless/headless_platform.h"
#include "run/run_loop.h"

#include <cstdint>
#include <memory>

namespace quorvane::headless {

// What a headless run runs: an attractor, both parameter sets, and the number of steps.
struct RunSetup {
    const AttractorChoice* attractor = nullptr;
    ParameterSet set1; // a, b, c, d, e
    ParameterSet set2; // aa, bb, cc, dd, ee
    std::uint64_t steps = 0;
};

// The size of a pixel of the window's drawing area, in the twips its points are given in.
inline constexpr float kTwipsPerPixel = 15;

// Gets the processor's vector unit ready for a run's scalar arithmetic (see headless_run.cpp).
void prepareVectorUnit();

// One run of an attractor's drawing routine without a window, on a platform whose event pump
// does nothing but count the steps. The run is the program's own run skeleton, the one the
// menu command's drawing routine runs after its prompts, instantiated for the headless
// platform, with DelayCount 0 so Delay makes no pass. After the last step the run ends the way
// it ends when the window is unloaded: the loop returns at once and the picture stays, without
// the clearing RESET would bring.
//
// With a canvas set, the window's plots go to it, on a drawing area of the size given; without
// one, plots go nowhere. The canvas is the caller's: a picture that stands in for the window's
// drawing area (output/ has the one render draws into), whose plot() the run calls directly.
template <class Canvas = NoCanvas> class HeadlessRun {
public:
    explicit HeadlessRun(const RunSetup& setup)
        : m_setup(setup)
        , m_platform(std::make_unique<HeadlessPlatform<Canvas>>())
        , m_form(std::make_unique<HeadlessForm>(*m_platform))
    {
        m_platform->m_form = m_form.get();
        m_platform->m_steps = setup.steps;
    }
    HeadlessRun(const HeadlessRun&) = delete;
    HeadlessRun& operator=(const HeadlessRun&) = delete;

    // Plots go to `canvas`, the window's drawing area of `logicalWidth` x `logicalHeight`
    // pixels of 15 twips each. The canvas must outlive the run. Returns false, and leaves the run
    // as it was, for an empty size or once the run has begun.
    bool setCanvas(Canvas& canvas, int logicalWidth, int logicalHeight)
    {
        if (m_started || logicalWidth <= 0 || logicalHeight <= 0)
            return false;
        const float scaleWidth = static_cast<float>(logicalWidth) * kTwipsPerPixel;
        const float scaleHeight = static_cast<float>(logicalHeight) * kTwipsPerPixel;
        m_platform->setWindow(scaleWidth, scaleHeight, scaleWidth, scaleHeight);
        m_platform->m_canvas = &canvas;
        return true;
    }
    void setObserver(StepObserver observer) { m_platform->m_observer = std::move(observer); }
    // Told of the steps done as the run goes on; may be left unset.
    void setProgress(ProgressListener* progress) { m_platform->m_progress = progress; }

    // Runs the attractor from its start state for the set number of steps, or until the
    // observer ends it. Returns the steps done. A run can be made once.
    std::uint64_t run()
    {
        if (m_started || m_setup.steps == 0)
            return 0;
        m_started = true;
        WindowVars& vars = m_form->vars;
        vars.set1 = m_setup.set1;
        vars.set2 = m_setup.set2;
        vars.DelayCount = 0;
        m_platform->planLooks();
        prepareVectorUnit();
        visitAttractor(m_setup.attractor->id,
            [this]<Attractor A>() { runOrbits<A, HeadlessPlatform<Canvas>>(*m_form); });
        return m_platform->m_step;
    }

private:
    RunSetup m_setup;
    std::unique_ptr<HeadlessPlatform<Canvas>> m_platform;
    std::unique_ptr<HeadlessForm> m_form;
    bool m_started = false;
};

// The run without a picture is made here once, not in every file that runs one.
extern template class HeadlessRun<NoCanvas>;

} // namespace quorvane::headless
