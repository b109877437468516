#include "saver/motion.h"

#include <math.h>

void SaverPictureSize(int viewWidth, int viewHeight, int *width, int *height)
{
    *width = viewWidth + viewWidth / (kSaverOverscan - 1);
    *height = viewHeight + viewHeight / (kSaverOverscan - 1);
}

// spare / 2 x (1 + sin(2 pi t / period)), rounded: 0 ... spare, half way at t = 0.
static int Swing(unsigned long ms, unsigned period, int spare)
{
    if (spare <= 0)
        return 0;
    const double kTwoPi = 6.283185307179586;
    double phase = (double)(ms % period) / period;
    int at = (int)lround(spare * 0.5 * (1.0 + sin(kTwoPi * phase)));
    return at < 0 ? 0 : at > spare ? spare : at;
}

void SaverViewOrigin(unsigned long ms, int spareX, int spareY, int *x, int *y)
{
    *x = Swing(ms, kDriftPeriodX, spareX);
    *y = Swing(ms, kDriftPeriodY, spareY);
}
