// The float helpers and signed distances (negative inside) that both picture
// painters share: the content generator's canvas (tools/content/canvas.h) and
// the wallpaper painter (tools/wallart/painter.h). Units are the painter's own.
#pragma once

#include <math.h>

#include <algorithm>

inline float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
inline float SmoothStep(float e0, float e1, float v)
{
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Distance to the segment from a to b (subtract a half width for a stroke).
inline float SdSegment(float x, float y, float ax, float ay, float bx, float by)
{
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0;
    return hypotf(px - dx * t, py - dy * t);
}

// A closed polygon of n points (x0, y0, x1, y1, ...).
inline float SdPolygon(float x, float y, const float *p, int n)
{
    float d = 1e30f, sign = 1;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        float ax = p[2 * j], ay = p[2 * j + 1], bx = p[2 * i], by = p[2 * i + 1];
        d = std::min(d, SdSegment(x, y, ax, ay, bx, by));
        // Crossing count of a ray to the right decides inside.
        if ((by > y) != (ay > y) && x < (ax - bx) * (y - by) / (ay - by) + bx)
            sign = -sign;
    }
    return sign * d;
}
