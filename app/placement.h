// The main window at its monitor's dpi: at start-up and at every move to a
// monitor of another scaling, one step measures, makes the fonts and places
// everything at the window's dpi.
#pragma once

#include "app/mainstate.h"

// The window at dpi: the control font and the measures made at it (kept in
// state, the ones before deleted), every control put in its place of the
// layout, the check boxes and push buttons given the font, the colour buttons
// their icon size, the status bar the system's status font at dpi and its new
// width. The window takes suggested, the system's rectangle at a change of
// dpi (screen coordinates), which keeps it where the user put it at the new
// scale; with none, its top-left corner stays and it takes the size of the
// layout's client area in its own frame at dpi. False, the window as it was,
// when the system cannot make the font.
bool MainLayOut(PlatWindow main, MainState *state, int dpi, const PixelRect *suggested);
