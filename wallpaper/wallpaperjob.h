// The wallpaper job: on its own thread, the colour's art becomes a bitmap file
// of the screen's size and depth.
#pragma once

#include "platform/platform.h"

#include <stddef.h>

// Starts the job for an art name ("BLACK" ... "GREEN") and the bitmap's path;
// returns the thread, or none after telling the user it could not start.
PlatThread StartWallpaperJob(const char *artName, const char *outputPath);

// The job's work, on any thread: art and palette to a bitmap file of the given
// size and screen depth. The bitmap is first written beside the output under a
// temporary name and put in its place only when complete, so a full disk
// never costs the bitmap that was there. Returns false when the disk was full.
bool MakeWallpaperFile(const char *artPath, const char *palettePath, const char *outputPath, int width, int height,
                       int screenDepth, int pelsPerMeterX, int pelsPerMeterY);
