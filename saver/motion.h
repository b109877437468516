// The screen saver's gentle motion: the view, the size of the screen, drifts
// over a picture a little larger than the screen along a slow Lissajous path.
#pragma once

constexpr int kSaverOverscan = 5;           // the picture is 5/4 of the view's width and height
constexpr unsigned kDriftPeriodX = 53000;   // ms for one sweep to the right and back
constexpr unsigned kDriftPeriodY = 37000;   // ms for one sweep down and back

// The picture's size for a view of viewWidth x viewHeight: 5/4 of each side.
void SaverPictureSize(int viewWidth, int viewHeight, int *width, int *height);

// The top left corner of the view in the picture after ms milliseconds, where
// spareX and spareY (0 or more) are how much wider and taller the picture is
// than the view. The path starts in the middle, stays in 0 ... spare and moves
// at most pi x spare / period pixels a second.
void SaverViewOrigin(unsigned long ms, int spareX, int spareY, int *x, int *y);
