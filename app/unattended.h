// The runs that no one watches, "/apply" and "/r": the main window made but
// hidden, every report in the log, and the exit code that tells the end.
#pragma once

#include "app/mainstate.h"

// "/apply", once the hidden window is made: the colour and the parts chosen,
// and the install that Apply and OK make. The wallpaper's palette, art and
// bitmap are checked first, before anything changes: their failures end the
// run with the theme not applied.
void MainApplyUnattended(PlatWindow main, MainState *state, int themeId, const ThemeParts &parts);
// "/r", once the hidden window is made: the Revert command, with no box.
void MainRevertUnattended(PlatWindow main, MainState *state);
// The code the run ends with, once the window is gone (commandline.h).
int MainExitCode(const MainState &state);
