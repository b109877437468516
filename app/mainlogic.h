// The main window's messages: the commands of its buttons, the closing
// question and the shutdown, and the dispatch of the messages that the window
// logic handles. Plain logic over the platform layer; the window procedure
// only decodes messages for it.
#pragma once

#include "app/mainstate.h"

// WM_COMMAND. lParam is the control that sent it, or 0 from a program (the
// wallpaper job's Cancel, the "/r" Revert).
void MainCommand(PlatWindow main, MainState *state, int id, intptr_t lParam);
// WM_CLOSE: true when the window is to be destroyed by default processing.
bool MainClose(PlatWindow main, MainState *state);
// WM_DESTROY. A wallpaper job still running is waited for; a report it made
// meanwhile is still shown.
void MainDestroy(PlatWindow main, MainState *state);

// The messages above and the install's (installrun.h), for the window
// procedure: sets *handled when the message is one of them.
intptr_t MainWindowMessage(PlatWindow main, MainState *state, unsigned message, uintptr_t wParam, intptr_t lParam,
                           bool *handled);
