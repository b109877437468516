// The wallpaper job: on its own thread, the colour's art becomes a bitmap file
// at the screen's depth, made for each monitor at that monitor's own size
// (the plan: wallpaperplan.h).
#pragma once

#include "platform/system.h"
#include "wallpaper/wallpaperplan.h"

#include <stddef.h>

// The job's report of a full disk, shown by the main window under the caption
// "Wallpaper Creation Failed". Written by the job's thread just before it posts
// WM_WALLPAPERFAILED and never again; read and emptied by the window's thread
// once the message arrives, or once it has seen the thread end. Empty when the
// job has nothing to report.
extern char WallpaperReport[256];

// What the job tells the main window, which sets these before it starts an
// install. A call left null tells nothing (a job without a window).
struct WallpaperWindowCalls {
    // On the job's thread, once WallpaperReport holds a report: posts it to
    // the window's thread (WM_WALLPAPERFAILED); false when there is no window
    // to tell.
    bool (*failed)();
    // A message box owned by the window, on the window's thread.
    void (*box)(const char *text, const char *caption, unsigned style);
};
extern WallpaperWindowCalls WallpaperWindow;

// Starts the job for an art name ("BLACK" ... "GREEN") and the bitmap's path;
// returns the thread, or none after telling the user it could not start.
// *spreadMade, the caller's, becomes kSpreadOne now; the job's thread sets it
// before it ends to how its bitmap is to be shown (kSpreadOne for one monitor,
// the theme's style, else span or tile), so the caller reads it only once it
// has seen the thread end, and keeps it until then.
PlatThread StartWallpaperJob(const char *artName, const char *outputPath, WallpaperSpread *spreadMade);

// The job's fatal checks, run before anything changes when no one is there to
// see a failure half-way: the palette loads, the art decodes and the bitmap can
// be written. Each failure is the job's own error report.
void CheckWallpaperJob(const char *artName, const char *outputPath);

// The job's work, on any thread: art and palette to a bitmap file of the given
// size and screen depth (one monitor). The bitmap is first written beside the output under a
// temporary name and put in its place only when complete, so a full disk
// never costs the bitmap that was there. Returns false when the disk was full.
bool MakeWallpaperFile(const char *artPath, const char *palettePath, const char *outputPath, int width, int height,
                       int screenDepth, int pelsPerMeterX, int pelsPerMeterY);
// The same for a plan of monitors: each monitor's picture rendered at its
// size, scaled and reduced on its own, in its place; with several monitors
// the rest of the bitmap in the background colour (a COLORREF: red in the low
// byte). One monitor gives MakeWallpaperFile's bitmap of its size.
bool MakeWallpaperBitmap(const char *artPath, const char *palettePath, const char *outputPath,
                         const WallpaperPlan &plan, int screenDepth, uint32_t background, int pelsPerMeterX,
                         int pelsPerMeterY);
