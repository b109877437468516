// The main window at its monitor's dpi: the control font and the layout's
// measures made at a dpi, the controls put in the layout's places, and the
// move to a monitor of another scaling (WM_DPICHANGED). Plain logic over the
// platform layer, like the window's commands.
#pragma once

#include "app/layout.h"
#include "platform/window.h"

// The control font and the measures of the layout, both at the same dpi; the
// window's thread only. Made at start-up (MeasureUi), made again at every
// change of dpi; the font the controls show is always UiFont.
extern PlatFont UiFont;
extern UiMeasures Measures;
// The status bar's font, the system's status font at the same dpi; none
// until the controls are first placed.
extern PlatFont StatusFont;

// The measures of the layout at dpi, and *font, a new control font at that
// dpi for the caller to keep or delete (null, the measures all 0 but the
// dpi, when the system cannot make it).
void MeasureUi(int dpi, UiMeasures *m, PlatFont *font);
// Puts every control of the main window in its place of the layout of m,
// gives the check boxes and push buttons the font, the colour buttons their
// icon size, and the status bar the system's status font at m's dpi
// (StatusFont, the one before deleted) and its new width.
void MainPlaceControls(PlatWindow main, const UiMeasures &m, PlatFont font);
// WM_DPICHANGED: the window now on a monitor of dpi dots an inch. The font
// and measures are made again at that dpi, the controls placed, the old font
// deleted, and the window takes the rectangle the system suggests (screen
// coordinates), which keeps it where the user put it at the new scale.
void MainDpiChanged(PlatWindow main, int dpi, const PixelRect &suggested);
