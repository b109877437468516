// The screen saver's command line, as the system starts screen savers:
//   /s          run full screen
//   /p <hwnd>   draw a preview into the given window (also /p:<hwnd>)
//   /c[:<hwnd>] set up (owned by the given window); also no argument at all
//   /a          change the password: this screen saver has none, so nothing
// The letter may follow "/" or "-" in either case; anything unknown is the
// set-up request, as with no argument.
#pragma once

#include <stdint.h>

enum SaverMode { kSaverConfigure, kSaverFullScreen, kSaverPreview, kSaverIgnore };

struct SaverArgs {
    SaverMode mode;
    uintptr_t window;  // the preview's parent or the set-up box's owner; 0 when none was given
};

SaverArgs ParseSaverArgs(const char *commandLine);
