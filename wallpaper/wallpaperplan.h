// Where each monitor's picture lies in a wallpaper bitmap made for the whole
// desktop, and how the system is to show that bitmap.
//
// With one monitor the bitmap is that monitor's picture, shown in the theme's
// own style. With several it covers the virtual screen (the rectangle around
// all monitors) and each monitor's rectangle holds the picture made at that
// monitor's size. Windows 8 and later show such a bitmap across the monitors
// as it is (the span style): the virtual screen's top-left corner is the
// bitmap's. Windows 7 has no span style; it tiles the bitmap from the
// primary's top-left corner, so a monitor left of or above the primary shows
// the bitmap's right or bottom part: the pictures are placed where the tiling
// brings them.
#pragma once

#include "platform/system.h"

#include <stddef.h>
#include <stdint.h>

constexpr int kMaxWallpaperMonitors = 16;
// The largest bitmap the job makes: its pixels in one block of memory, in a
// 32-bit process beside everything else.
constexpr size_t kMaxWallpaperBytes = (size_t)512 << 20;

// A monitor's picture: its size, and where its top-left corner lies in the
// bitmap, counted from the bitmap's top-left corner, 0 <= left < the bitmap's
// width and 0 <= top < its height. A picture that passes the bitmap's right
// or bottom edge goes on at its left or top edge (Windows 7's tiling).
struct WallpaperPlace {
    int left, top, width, height;
};

enum WallpaperSpread {
    kSpreadOne,   // one monitor: the bitmap is its picture, in the theme's style
    kSpreadSpan,  // across the monitors: WallpaperStyle "22", TileWallpaper "0"
    kSpreadTile,  // tiled from the primary's top-left corner: WallpaperStyle "0", TileWallpaper "1"
};

struct WallpaperPlan {
    int width, height;  // the bitmap's
    WallpaperSpread spread;
    int count;          // 1 to kMaxWallpaperMonitors
    WallpaperPlace places[kMaxWallpaperMonitors];
};

// One monitor of width x height (each 1 or more).
void SingleWallpaper(int width, int height, WallpaperPlan *plan);

// The plan for count monitors' rectangles in real pixels, primary being
// the index of the primary; spread, span or tile, is how this system shows a
// bitmap across several monitors (one monitor is always kSpreadOne). False,
// the plan untouched, when there is no monitor or more than
// kMaxWallpaperMonitors, a rectangle is empty, primary is no index of them,
// or the bitmap would be larger than kMaxWallpaperBytes at 24 bits.
bool PlanWallpaper(const PixelRect *monitors, int count, int primary, WallpaperSpread spread,
                   WallpaperPlan *plan);
