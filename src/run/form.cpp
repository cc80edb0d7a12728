#include "run/form.h"

namespace quorvane {

void Form::mnuReset_Click()
{
    vars.StopFlag = 1;
    vars.clearParameters();
    vars.clearOrbits();
    clearSurfaces();
    m_platform.setCaption("");
}

void Form::endRun()
{
    clearSurfaces();
    vars.StopFlag = 0;
    vars.clearOrbits();
}

void Form::clearSurfaces()
{
    m_platform.clear(Surface::Window);
    m_platform.clear(Surface::Picture);
}

void Form::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_platform.endProgram();
}

} // namespace quorvane
