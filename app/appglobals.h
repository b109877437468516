// The main window's own process-wide values and messages.
#pragma once

#include "app/controlids.h"
#include "base/processvalues.h"
#include "platform/window.h"

// Posted to the main window when the wallpaper job found the disk full; the
// window shows the job's report (WallpaperReport) and cancels the run.
constexpr unsigned WM_WALLPAPERFAILED = kWmUser + 12;

extern PlatWindow MainWindow;       // start-up, after the window is made
