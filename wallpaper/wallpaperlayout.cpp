// The wallpaper's layout over the monitors (wallpaperlayout.h).
#include "wallpaper/wallpaperlayout.h"

#include "wallpaper/bitmapfile.h"

void SingleWallpaper(int width, int height, WallpaperLayout *layout)
{
    *layout = {};
    layout->width = width;
    layout->height = height;
    layout->spread = kSpreadOne;
    layout->count = 1;
    layout->places[0] = WallpaperPlace{0, 0, width, height};
}

// a modulo m, 0 <= result < m, for a of either sign.
static int Wrap(long long a, int m)
{
    long long r = a % m;
    return (int)(r < 0 ? r + m : r);
}

bool PlanWallpaper(const ScreenRect *monitors, int count, int primary, WallpaperSpread spread,
                   WallpaperLayout *layout)
{
    if (count < 1 || count > kMaxWallpaperMonitors || primary < 0 || primary >= count)
        return false;
    // In long long: the system's coordinates are any ints.
    long long left = monitors[0].left, top = monitors[0].top, right = monitors[0].right, bottom = monitors[0].bottom;
    for (int i = 0; i < count; i++) {
        const ScreenRect &m = monitors[i];
        if (m.right <= m.left || m.bottom <= m.top)
            return false;
        left = m.left < left ? m.left : left;
        top = m.top < top ? m.top : top;
        right = m.right > right ? m.right : right;
        bottom = m.bottom > bottom ? m.bottom : bottom;
    }
    long long width = right - left, height = bottom - top;
    if (width > 65535 || height > 65535 || (unsigned long long)BitmapRowBytes((int)width, 24) * height > kMaxWallpaperBytes)
        return false;
    if (count == 1) {
        SingleWallpaper((int)width, (int)height, layout);
        return true;
    }
    *layout = {};
    layout->width = (int)width;
    layout->height = (int)height;
    layout->spread = spread == kSpreadTile ? kSpreadTile : kSpreadSpan;
    layout->count = count;
    // Span: the bitmap's corner is the virtual screen's. Tile: the tiles
    // start at the primary's corner, and a point of the desktop shows the
    // bitmap's pixel at its distance from there, modulo the bitmap's size.
    long long originX = layout->spread == kSpreadSpan ? left : monitors[primary].left;
    long long originY = layout->spread == kSpreadSpan ? top : monitors[primary].top;
    for (int i = 0; i < count; i++) {
        const ScreenRect &m = monitors[i];
        layout->places[i] = WallpaperPlace{Wrap(m.left - originX, layout->width), Wrap(m.top - originY, layout->height),
                                           m.right - m.left, m.bottom - m.top};
    }
    return true;
}
