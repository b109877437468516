// The main window on the simulated Windows, for the tests and the fuzz
// targets that drive the window logic (no GoogleTest).
#pragma once

#include "app/mainstate.h"

// A window with every control the window code makes, its messages handed to
// the window logic with *state as the window procedure hands them; stored in
// MainWindow.
PlatWindow MakeHostMainWindow(MainState *state);
