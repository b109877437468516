// The wallpaper's plan over the monitors (wallpaperplan.h).
#include "wallpaper/wallpaperplan.h"

#include "wallpaper/bitmapfile.h"

void SingleWallpaper(int width, int height, WallpaperPlan *plan)
{
    *plan = {};
    plan->width = width;
    plan->height = height;
    plan->spread = kSpreadOne;
    plan->count = 1;
    plan->places[0] = WallpaperPlace{0, 0, width, height};
}

// a modulo m, 0 <= result < m, for a of either sign.
static int Wrap(long long a, int m)
{
    long long r = a % m;
    return (int)(r < 0 ? r + m : r);
}

bool PlanWallpaper(const PixelRect *monitors, int count, int primary, WallpaperSpread spread,
                   WallpaperPlan *plan)
{
    if (count < 1 || count > kMaxWallpaperMonitors || primary < 0 || primary >= count)
        return false;
    // In long long: the system's coordinates are any ints.
    long long left = monitors[0].left, top = monitors[0].top, right = monitors[0].right, bottom = monitors[0].bottom;
    for (int i = 0; i < count; i++) {
        const PixelRect &m = monitors[i];
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
        SingleWallpaper((int)width, (int)height, plan);
        return true;
    }
    *plan = {};
    plan->width = (int)width;
    plan->height = (int)height;
    plan->spread = spread == kSpreadTile ? kSpreadTile : kSpreadSpan;
    plan->count = count;
    // Span: the bitmap's corner is the virtual screen's. Tile: the tiles
    // start at the primary's corner, and a point of the desktop shows the
    // bitmap's pixel at its distance from there, modulo the bitmap's size.
    long long originX = plan->spread == kSpreadSpan ? left : monitors[primary].left;
    long long originY = plan->spread == kSpreadSpan ? top : monitors[primary].top;
    for (int i = 0; i < count; i++) {
        const PixelRect &m = monitors[i];
        plan->places[i] = WallpaperPlace{Wrap(m.left - originX, plan->width), Wrap(m.top - originY, plan->height),
                                           m.right - m.left, m.bottom - m.top};
    }
    return true;
}
