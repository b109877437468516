// The wallpapers of the five colour themes, painted by code: one picture per
// colour word, each around its colour's symbol (moon, flame, sun, drop, tree)
// and all five in one composition: a sky that deepens upwards, a halo and a
// glass disc behind the symbol on the right third, open arcs around it,
// light scattered through the air, and three bands of land or sea in front.
#pragma once

#include <stdint.h>

#include <vector>

// The colour words in the order of the theme identifiers 100-104.
enum WallColor { kWallBlack, kWallRed, kWallWhite, kWallBlue, kWallGreen, kWallColors };
extern const char *const kWallColorWords[kWallColors];

// The size the art files are made at: 16 : 10, between the 4 : 3 and 16 : 9
// screens it is stretched to; four pieces of 1024 x 1024, the bottom two cut
// to 256 rows.
constexpr int kWallpaperWidth = 2048;
constexpr int kWallpaperHeight = 1280;

// The wallpaper of a colour at width x height (any size; everything is drawn
// in proportion to it) as blue, green, red bytes, rows width * 3 bytes apart.
// The same bytes on every run of the same build.
std::vector<uint8_t> PaintWallpaper(int color, int width, int height);

// How far a picture reduced for the screen (b) is from the picture it was
// reduced from (a), as the eye sees it from a little way off: both blurred
// with a box of (2 radius + 1) pixels a side, then the mean absolute
// difference per channel in levels 0..255. Pictures of width x height blue,
// green, red pixels, rows stride bytes apart.
double BlurredMeanError(const uint8_t *a, const uint8_t *b, int width, int height, int stride, int radius);
