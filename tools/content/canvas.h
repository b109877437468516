// A small vector painter for the generated pictures. Shapes are signed
// distance functions in design units (negative inside); a canvas renders them
// at several pixels per unit with the edge coverage taken from the distance,
// and Finish() box-filters the result down to the picture's own size. Colours
// are straight floats 0..1; the canvas keeps them premultiplied.
#pragma once

#include "tools/content/content.h"
#include "tools/distances.h"

#include <math.h>

#include <algorithm>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

inline Rgba Hex(uint32_t rgb, float a = 1.0f)
{
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}
inline Rgba Mix(Rgba x, Rgba y, float t)
{
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
// The colour times k, each component kept within 0..1.
inline Rgba Scale(Rgba c, float k) { return {Clamp01(c.r * k), Clamp01(c.g * k), Clamp01(c.b * k), c.a}; }
inline Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }

// ------------------------------------------------------------------ shapes

inline float SdCircle(float x, float y, float cx, float cy, float r) { return hypotf(x - cx, y - cy) - r; }

// A rectangle centred at (cx, cy) with half sizes hw, hh and corners rounded by r.
inline float SdBox(float x, float y, float cx, float cy, float hw, float hh, float r = 0)
{
    float qx = fabsf(x - cx) - hw + r, qy = fabsf(y - cy) - hh + r;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return hypotf(ox, oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

// Distance to the arc of radius r about (cx, cy) between the angles a0 and a1
// (degrees, a0 < a1, 0 pointing right and 90 pointing down).
float SdArc(float x, float y, float cx, float cy, float r, float a0, float a1);

// An ellipse centred at (cx, cy) with radii rx, ry; the distance is
// approximate away from the edge but exact enough for edge coverage.
inline float SdEllipse(float x, float y, float cx, float cy, float rx, float ry)
{
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float k0 = hypotf(dx, dy);
    float k1 = hypotf(dx / rx, dy / ry);
    return k1 > 0 ? k0 * (k0 - 1.0f) / k1 : -std::min(rx, ry);
}

// ------------------------------------------------------------------ canvas

struct Canvas {
    int width = 0, height = 0;   // in render pixels
    int factor = 1;              // render pixels per picture pixel
    float scale = 1;             // render pixels per design unit
    std::vector<Rgba> px;        // premultiplied
};

// A transparent canvas for a picture of width x height pixels. One design unit
// is one picture pixel, rendered as factor x factor render pixels.
Canvas NewCanvas(int width, int height, int factor);
// The render pixels per picture pixel of an icon of size pixels: 8 up to 64,
// where a pixel's share of a thin stroke shows, 2 for the large sizes, where
// the edges' coverage from the distance is already smooth.
inline int IconFactor(int size) { return size > 64 ? 2 : 8; }

// Paints shape with paint(x, y) (straight colour in design units), times
// opacity. Only the design-unit box (x0, y0)-(x1, y1) is visited.
template <class Shape, class Paint>
void FillShape(Canvas &c, Shape shape, Paint paint, float opacity = 1.0f, float x0 = -1e9f, float y0 = -1e9f,
               float x1 = 1e9f, float y1 = 1e9f)
{
    auto edge = [](float v, int limit) { return (int)std::min((float)limit, std::max(0.0f, v)); };
    int ix0 = edge(floorf(x0 * c.scale) - 1, c.width), iy0 = edge(floorf(y0 * c.scale) - 1, c.height);
    int ix1 = edge(ceilf(x1 * c.scale) + 1, c.width), iy1 = edge(ceilf(y1 * c.scale) + 1, c.height);
    for (int j = iy0; j < iy1; j++)
        for (int i = ix0; i < ix1; i++) {
            float x = (i + 0.5f) / c.scale, y = (j + 0.5f) / c.scale;
            float d = shape(x, y);
            float cover = Clamp01(0.5f - d * c.scale);
            if (cover <= 0)
                continue;
            Rgba s = paint(x, y);
            float a = s.a * cover * opacity;
            Rgba &o = c.px[(size_t)j * c.width + i];
            o.r = s.r * a + o.r * (1 - a);
            o.g = s.g * a + o.g * (1 - a);
            o.b = s.b * a + o.b * (1 - a);
            o.a = a + o.a * (1 - a);
        }
}

template <class Shape> void FillSolid(Canvas &c, Shape shape, Rgba color, float opacity = 1.0f)
{
    FillShape(c, shape, [color](float, float) { return color; }, opacity);
}

// Draws src over dst shifted by (dx, dy) design units (whole render pixels),
// its colours replaced by tint when tint.a > 0, times opacity.
void DrawOver(Canvas &dst, const Canvas &src, float dx, float dy, float opacity, Rgba tint = {0, 0, 0, 0});
// Gaussian-like blur (three box passes) of radius design units.
void Blur(Canvas &c, float radius);
// A soft shadow of everything drawn on c so far, put under it.
void AddShadow(Canvas &c, float dx, float dy, float radius, float opacity);
// The picture at its own size: each factor x factor block averaged, colours
// made straight again and rounded to bytes.
Pixels Finish(const Canvas &c);

// The shading of a lit sphere at (x, y) for a ball of radius r about (cx, cy):
// base colour, a soft light from the upper left, a rim and a highlight.
Rgba SpherePaint(float x, float y, float cx, float cy, float r, Rgba base);
