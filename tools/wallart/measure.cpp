// The blurred difference of two pictures: how far error diffusion strays from
// the picture it reduces, with its dots averaged away the way the eye averages
// them.
#include "tools/wallart/wallart.h"

#include <math.h>
#include <stdlib.h>

#include <algorithm>

// Box sums of one channel over (2 radius + 1) pixels a side, cut at the
// picture's edges (the mean over the part of the box inside).
static std::vector<float> BoxMean(const uint8_t *p, int width, int height, int stride, int channel, int radius)
{
    std::vector<float> rows((size_t)width * height), out((size_t)width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int x0 = std::max(0, x - radius), x1 = std::min(width - 1, x + radius);
            float sum = 0;
            for (int i = x0; i <= x1; i++)
                sum += p[(size_t)y * stride + 3 * i + channel];
            rows[(size_t)y * width + x] = sum / (x1 - x0 + 1);
        }
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int y0 = std::max(0, y - radius), y1 = std::min(height - 1, y + radius);
            float sum = 0;
            for (int j = y0; j <= y1; j++)
                sum += rows[(size_t)j * width + x];
            out[(size_t)y * width + x] = sum / (y1 - y0 + 1);
        }
    return out;
}

double BlurredMeanError(const uint8_t *a, const uint8_t *b, int width, int height, int stride, int radius)
{
    if (width <= 0 || height <= 0)
        return 0;
    double total = 0;
    for (int channel = 0; channel < 3; channel++) {
        std::vector<float> ma = BoxMean(a, width, height, stride, channel, radius);
        std::vector<float> mb = BoxMean(b, width, height, stride, channel, radius);
        for (size_t i = 0; i < ma.size(); i++)
            total += fabs(ma[i] - mb[i]);
    }
    return total / (3.0 * width * height);
}
