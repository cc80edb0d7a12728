#pragma once

#include "platform/platform.h"
#include "run/window_vars.h"

namespace quorvane {

// The program's side of the window frm1: the window-level variables, the platform it draws
// through, and the actions a run shares with RESET. The handlers of the window itself are in
// the Frm1 class that derives from this.
class Form {
public:
    explicit Form(Platform& platform)
        : m_platform(platform)
    {
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    WindowVars vars;

    Platform& platform() { return m_platform; }

    // True once the window has been unloaded and the program asked to end. From then on every
    // routine returns at its next chance without doing anything more, so an ending in the
    // middle of a run abandons it at once.
    bool isUnloaded() const { return m_unloaded; }

    // RESET: asks the running loop to stop, zeroes all parameters and orbit state, clears both
    // surfaces and empties the caption. Outside a run StopFlag stays 1 until the next run sets
    // it to 0.
    void mnuReset_Click();

    // The end of every run: both surfaces cleared, StopFlag 0, all orbit state zero.
    void endRun();

    // Clears the window's drawing area, then pic1.
    void clearSurfaces();

protected:
    // Unloads the window and ends the program, at once and unconditionally.
    void unload();

private:
    Platform& m_platform;
    bool m_unloaded = false;
};

} // namespace quorvane
