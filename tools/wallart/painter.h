// The wallpaper painter: a picture of float colours and the few operations the
// wallpapers are made of. Shapes are signed distance functions in pixels
// (negative inside); their edges are anti-aliased from the distance, and glows
// and shadows fall off with it, so no pass ever blurs the picture. Colours are
// 0..1 per channel; everything is computed from the pixel's position alone,
// so the same build paints the same bytes on every run.
#pragma once

#include "tools/distances.h"

#include <math.h>
#include <stdint.h>

#include <algorithm>
#include <vector>

struct Color {
    float r, g, b;
};

inline Color Rgb(uint32_t hex)
{
    return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f};
}
inline Color Lerp(Color a, Color b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Color Times(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }

struct Picture {
    int width = 0, height = 0;
    std::vector<Color> px;  // rows top-down
    Color &At(int x, int y) { return px[(size_t)y * width + x]; }
};

Picture NewPicture(int width, int height, Color fill);

// Blue, green, red bytes, rows width * 3 bytes apart, each channel rounded.
std::vector<uint8_t> PictureBytes(const Picture &picture);

// Paint src over dst with coverage alpha (0..1).
inline void Over(Color &dst, Color src, float alpha)
{
    dst.r += (src.r - dst.r) * alpha;
    dst.g += (src.g - dst.g) * alpha;
    dst.b += (src.b - dst.b) * alpha;
}
// Light added the way light adds on a screen: it brightens towards white and
// never clips.
inline void Screen(Color &dst, Color light, float amount)
{
    dst.r = 1 - (1 - dst.r) * (1 - Clamp01(light.r * amount));
    dst.g = 1 - (1 - dst.g) * (1 - Clamp01(light.g * amount));
    dst.b = 1 - (1 - dst.b) * (1 - Clamp01(light.b * amount));
}

// A pixel box, x0 and y0 included, x1 and y1 not; cut to the picture by Clip.
struct Box {
    int x0, y0, x1, y1;
};
Box Clip(const Picture &picture, float cx, float cy, float reach);
inline Box Whole(const Picture &picture) { return {0, 0, picture.width, picture.height}; }

// Visits every pixel centre of the box: visit(x, y, color&), x and y in pixels.
template <class Visit> void ForEachPixel(Picture &picture, Box box, Visit visit)
{
    for (int j = std::max(box.y0, 0); j < std::min(box.y1, picture.height); j++)
        for (int i = std::max(box.x0, 0); i < std::min(box.x1, picture.width); i++)
            visit(i + 0.5f, j + 0.5f, picture.At(i, j));
}

// A shape: shape(x, y) is the distance in pixels, paint(x, y, d) its colour
// there, times opacity. The edge covers what the distance says: half a pixel
// either side.
template <class Shape, class Paint>
void FillShape(Picture &picture, Box box, Shape shape, Paint paint, float opacity = 1)
{
    ForEachPixel(picture, box, [&](float x, float y, Color &c) {
        float d = shape(x, y);
        float cover = Clamp01(0.5f - d);
        if (cover > 0)
            Over(c, paint(x, y, d), cover * opacity);
    });
}

// blend(c, k) for each pixel of box near a shape: k is strength inside,
// falling off as exp(-d / radius) outside; pixels where it is below 1/1024
// are left alone.
template <class Shape, class Blend>
void AddFalloff(Picture &picture, Box box, Shape shape, float strength, float radius, Blend blend)
{
    ForEachPixel(picture, box, [&](float x, float y, Color &c) {
        float k = strength * expf(-std::max(shape(x, y), 0.0f) / radius);
        if (k > 1.0f / 1024)
            blend(c, k);
    });
}

// Light around (and inside) a shape.
template <class Shape>
void AddGlow(Picture &picture, Box box, Shape shape, Color light, float strength, float radius)
{
    AddFalloff(picture, box, shape, strength, radius, [&](Color &c, float k) { Screen(c, light, k); });
}

// A soft shade of a shape, darkening towards shade by up to strength.
template <class Shape>
void AddShade(Picture &picture, Box box, Shape shape, Color shade, float strength, float radius)
{
    AddFalloff(picture, box, shape, strength, radius, [&](Color &c, float k) { Over(c, shade, k); });
}

// ----------------------------------------------------------- distances

inline float SdCircle(float x, float y, float cx, float cy, float r) { return hypotf(x - cx, y - cy) - r; }

// A tapered stroke: the hull of the circle of radius ra about a and the
// circle of radius rb about b.
float SdTaper(float x, float y, float ax, float ay, float ra, float bx, float by, float rb);

// The union of two distances with the seam rounded over about k.
inline float SmoothUnion(float a, float b, float k)
{
    float h = Clamp01(0.5f + 0.5f * (b - a) / k);
    return b + (a - b) * h - k * h * (1 - h);
}

// A four-pointed star about (cx, cy): arms of length reach, waist half width waist.
float SdSparkle(float x, float y, float cx, float cy, float reach, float waist);

// ------------------------------------------------------------ randomness

// A well-mixed 32-bit hash; Random01 is a number in [0, 1) from it.
uint32_t Hash32(uint32_t v);
inline float Random01(uint32_t seed, uint32_t n) { return (Hash32(seed * 0x9E3779B9u + n) >> 8) * (1.0f / 16777216); }

// Smooth value noise: about -1..1, one feature a unit.
float ValueNoise(float x, float y, uint32_t seed);
// Octaves of value noise, each half the size and half the weight of the one before.
float Fractal(float x, float y, int octaves, uint32_t seed);
