#pragma once

#include "headless/progress_listener.h"
#include "platform/null_platform.h"
#include "run/form.h"
#include "run/window_vars.h"

#include <cstdint>
#include <functional>
#include <type_traits>

namespace quorvane::headless {

// Called at every event pump of a run, that is after both orbits of step `step` (1 for the
// first) have been plotted and before the stop test, with the window variables as the step
// left them. It may read and change the orbit state, which the step then carries on from.
// Returning false ends the run there, like the last step does.
using StepObserver = std::function<bool(std::uint64_t step, WindowVars& vars)>;

// What a run draws nowhere into: a run without a picture.
struct NoCanvas {
    void plot(float, float, Rgb) { }
    void clear() { }
};

// frm1 as a headless run needs it: no window events, and a way to end the run where it stands.
class HeadlessForm final : public Form {
public:
    using Form::Form;

    // Ends the run at its next check, without the end-of-run clearing: the loop takes this for
    // an unloaded window and returns at once.
    void stopHere() { unload(); }
};

// The window as a headless run has it: a canvas for the window's drawing area, or none, and an
// event pump that counts the steps, calls the observer and ends the run after the last one.
// pic1's copy of each point is not kept: the picture is the window's drawing area.
//
// Canvas takes plot(x, y, colour) in the drawing area's twips and clear(). The class is final
// and its per-step calls, plot() and processEvents(), are defined here, so that the run skeleton
// instantiated for it (runOrbits<A, HeadlessPlatform<Canvas>>) calls them directly and inlines
// them, the canvas's plot() with them; only the rare work is out of line. HeadlessRun builds
// and steers it; nothing else does.
template <class Canvas> class HeadlessPlatform final : public NullPlatform {
public:
    void plot(Surface surface, float x, float y, Rgb colour) override
    {
        if constexpr (!std::is_same_v<Canvas, NoCanvas>)
            if (surface == Surface::Window && m_canvas != nullptr)
                m_canvas->plot(x, y, colour);
    }
    void clear(Surface surface) override
    {
        if (surface == Surface::Window && m_canvas != nullptr)
            m_canvas->clear();
    }

    // Counts the step and calls the observer, if any. The progress report and the end of the
    // run wait behind one compare and are out of line.
    void processEvents() override
    {
        ++m_step;
        if (m_observer && !m_observer(m_step, m_form->vars)) [[unlikely]]
            return m_form->stopHere();
        if (m_step == m_nextLook) [[unlikely]]
            look();
    }

private:
    template <class> friend class HeadlessRun;

    // Steps between two progress reports.
    static constexpr std::uint64_t kProgressSteps = 1u << 16;

    // Sets the step at which the pump next has something to do besides counting.
    void planLooks()
    {
        m_nextLook = m_progress != nullptr && m_progress->isShown()
            ? std::min(m_steps, m_step + kProgressSteps)
            : m_steps;
    }
    // The progress report, or the end of the run after its last step.
    [[gnu::noinline]] void look()
    {
        if (m_step >= m_steps)
            return m_form->stopHere();
        m_progress->update(m_step);
        planLooks();
    }

    Canvas* m_canvas = nullptr;
    HeadlessForm* m_form = nullptr;
    StepObserver m_observer;
    ProgressListener* m_progress = nullptr;
    std::uint64_t m_steps = 0; // the run's length
    std::uint64_t m_step = 0; // steps done
    std::uint64_t m_nextLook = 0; // the next progress report, or the end of the run
};

} // namespace quorvane::headless
