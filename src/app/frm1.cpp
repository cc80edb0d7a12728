#include "app/frm1.h"

#include "run/pacing.h"
#include "run/palette.h"

namespace quorvane {

void Frm1::Form_Load()
{
    // Every other window-level variable starts at zero; both backgrounds start black.
    vars.DelayCount = 50000;
    platform().setCaption(kStartCaption);
}

void Frm1::Form_Resize()
{
    // pic1 takes the window's outer size and the window's scale, so a point plotted at (X, Y)
    // lands at the same relative place on both surfaces. While the window is minimized its
    // scale is zero; pic1 refuses that and keeps its previous scale until the next resize.
    if (isUnloaded())
        return;
    Platform& p = platform();
    p.refresh(Surface::Window);
    p.refresh(Surface::Picture);
    const WindowMetrics& m = p.metrics();
    p.setPictureHeight(m.height);
    p.setPictureWidth(m.width);
    p.setPictureScaleHeight(m.scaleHeight);
    p.setPictureScaleWidth(m.scaleWidth);
}

void Frm1::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/)
{
    // The shift state is ignored: Shift+Tab acts as Tab, and so on.
    if (isUnloaded())
        return;
    switch (keyCode) {
    case KeyCode::Tab:
        nextPace(vars);
        break;
    case KeyCode::Escape:
        mnuReset_Click();
        break;
    case KeyCode::Space:
        mnuSave_Click();
        break;
    default:
        break;
    }
}

void Frm1::Form_KeyPress(std::int16_t charCode)
{
    // Only the lower-case character counts: Shift+c and Caps Lock give 'C', Ctrl+c gives a
    // control character.
    if (charCode == 'c' && !isUnloaded())
        cycleBackground();
}

void Frm1::cycleBackground()
{
    const Rgb colour = kPalette[static_cast<std::size_t>(vars.ColorIndex)];
    platform().setBackColor(Surface::Window, colour);
    platform().setBackColor(Surface::Picture, colour);
    vars.ColorIndex = static_cast<std::int16_t>(vars.ColorIndex + 1);
    if (vars.ColorIndex > 15)
        vars.ColorIndex = 0;
}

void Frm1::Form_Unload() { unload(); }

void Frm1::Form_Deactivate() { unload(); }

void Frm1::Form_Terminate() { unload(); }

void Frm1::mnuExit_Click()
{
    // Closing the window unloads it, which ends the program before this handler goes on.
    Form_Unload();
}

} // namespace quorvane
