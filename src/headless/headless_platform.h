#pragma once

#include "headless/headless_run.h"
#include "platform/null_platform.h"
#include "platform/qt/raster_surface.h"
#include "run/form.h"

#include <cstdint>
#include <optional>

namespace quorvane::headless {

class HeadlessPlatform;

// frm1 as a headless run needs it: no window events, and a way to end the run where it stands.
// Only a HeadlessPlatform carries one, so the headless routines may call it directly.
class HeadlessForm final : public Form {
public:
    explicit HeadlessForm(HeadlessPlatform& platform);

    // Ends the run at its next check, without the end-of-run clearing: the loop takes this for
    // an unloaded window and returns at once.
    void stopHere() { unload(); }
};

// The window as a headless run has it: a drawing area, or none, and an event pump that counts
// the steps, calls the observer and ends the run after the last one.
//
// The class is final and its per-step calls, plot() and processEvents(), are defined here, so
// that the run skeleton instantiated for it (runOrbits<A, HeadlessPlatform>, taken by the
// attractor table) calls them directly and inlines them; only the rare work is out of line.
// HeadlessRun builds and steers it; nothing else does.
class HeadlessPlatform final : public NullPlatform {
public:
    void plot(Surface surface, float x, float y, Rgb colour) override
    {
        // pic1's copy of each point is not kept: the picture is the window's drawing area.
        if (surface == Surface::Window && m_writer)
            m_writer->plot(x, y, 0xFF000000u | colour);
    }
    void clear(Surface surface) override
    {
        if (surface != Surface::Window)
            return;
        m_area.clear();
        if (m_writer)
            m_writer.emplace(m_area);
    }

    // Counts the step and calls the observer, if any. The progress line and the end of the run
    // wait behind one compare and are out of line.
    void processEvents() override
    {
        ++m_step;
        if (m_observer && !m_observer(m_step, m_form->vars)) [[unlikely]]
            return m_form->stopHere();
        if (m_step == m_nextLook) [[unlikely]]
            look();
    }

private:
    friend class HeadlessRun;

    // Sets the step at which the pump next has something to do besides counting.
    void planLooks();
    // The progress line, or the end of the run after its last step.
    void look();

    // One picture, not a window: as large as the caller asks and QImage holds.
    qt::RasterSurface m_area {qt::RasterSurface::kMaxImageSide};
    bool m_drawsArea = false;
    // Plots into m_area while a run with a drawing area goes on. The run has the surface to
    // itself: nothing resizes it meanwhile, and the image is read only in place.
    std::optional<qt::RasterSurface::Writer> m_writer;
    HeadlessForm* m_form = nullptr;
    StepObserver m_observer;
    Progress* m_progress = nullptr;
    std::uint64_t m_steps = 0; // the run's length
    std::uint64_t m_step = 0; // steps done
    std::uint64_t m_nextLook = 0; // the next progress line, or the end of the run
};

inline HeadlessForm::HeadlessForm(HeadlessPlatform& platform)
    : Form(platform)
{
}

} // namespace quorvane::headless
