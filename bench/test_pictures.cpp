// The pictures that bench/compare-codecs stores as art, JPEG and JPEG 2000
// and the encoder's benchmark encodes. Each is made from its seed alone, the
// same bytes every run:
//   smooth     2048 x 1536  soft colour fields and out-of-focus blobs
//   busy       2048 x 1536  hatching, thin lines, small print and fine noise
//   landscape  2048 x 1536  sky, clouds, ridges of rock, a lake, film grain
//   bokeh      1920 x 1080  a sharp woven subject before blurred lights, grain
//   foliage    1920 x 1080  thousands of small lit leaves, the most detail
//   street     1920 x 1080  facades, windows and hard edges at dusk, grain
#include "bench/test_pictures.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Rgb {
    float r, g, b;  // 0..1
};

struct Canvas {
    int width, height;
    std::vector<Rgb> px;
    Rgb &At(int x, int y) { return px[(size_t)y * width + x]; }
};

// A small fixed generator (xorshift), so that pictures never depend on the
// standard library's.
struct Random {
    uint64_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (uint32_t)(state >> 16);
    }
    float Unit() { return (Next() & 0xFFFFFF) / 16777216.0f; }  // 0..1
    float Gauss()
    {
        float s = 0;
        for (int i = 0; i < 4; i++)
            s += Unit();
        return (s - 2) * 1.732f;  // mean 0, deviation 1
    }
};

float Hash(int x, int y, int seed)
{
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + (uint32_t)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Value noise, smoothly interpolated, 0..1.
float Noise(float x, float y, int seed)
{
    int x0 = (int)floorf(x), y0 = (int)floorf(y);
    float fx = x - x0, fy = y - y0;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = Hash(x0, y0, seed), b = Hash(x0 + 1, y0, seed), c = Hash(x0, y0 + 1, seed), d = Hash(x0 + 1, y0 + 1, seed);
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

// Fractal noise of octaves from the scale given (pixels) down, about 0..1.
float Fbm(float x, float y, float scale, int octaves, float gain, int seed)
{
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amp * Noise(x / scale, y / scale, seed + o);
        norm += amp;
        amp *= gain;
        scale /= 2;
    }
    return sum / norm;
}

Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
float Clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }

Canvas NewCanvas(int width, int height) { return {width, height, std::vector<Rgb>((size_t)width * height)}; }

// A separable box blur of the given radius, three times (close to a Gaussian).
void Blur(Canvas *c, int radius)
{
    std::vector<Rgb> line;
    for (int pass = 0; pass < 3; pass++)
        for (int dir = 0; dir < 2; dir++) {
            int n = dir ? c->height : c->width, lines = dir ? c->width : c->height;
            line.resize(n);
            for (int l = 0; l < lines; l++) {
                auto at = [&](int i) -> Rgb & { return dir ? c->At(l, i) : c->At(i, l); };
                for (int i = 0; i < n; i++)
                    line[i] = at(i);
                Rgb sum = {0, 0, 0};
                for (int i = -radius; i <= radius; i++) {
                    Rgb v = line[Clamp(i, 0, n - 1)];
                    sum = {sum.r + v.r, sum.g + v.g, sum.b + v.b};
                }
                float k = 1.0f / (2 * radius + 1);
                for (int i = 0; i < n; i++) {
                    at(i) = Scale(sum, k);
                    Rgb out = line[std::max(i - radius, 0)], in = line[std::min(i + radius + 1, n - 1)];
                    sum = {sum.r + in.r - out.r, sum.g + in.g - out.g, sum.b + in.b - out.b};
                }
            }
        }
}

// The softness of a lens ([1 2 1] / 4 both ways), then film grain of the given
// deviation in levels, stronger in the shadows, as blue, green, red bytes.
std::vector<uint8_t> Develop(Canvas *c, float grain, uint64_t seed)
{
    Canvas soft = *c;
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++) {
            Rgb s = {0, 0, 0};
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    float w = (dx ? 1 : 2) * (dy ? 1 : 2) / 16.0f;
                    Rgb v = c->At(Clamp(x + dx, 0, c->width - 1), Clamp(y + dy, 0, c->height - 1));
                    s = {s.r + w * v.r, s.g + w * v.g, s.b + w * v.b};
                }
            soft.At(x, y) = s;
        }
    Random random{seed};
    std::vector<uint8_t> bgr((size_t)c->width * c->height * 3);
    for (size_t i = 0; i < soft.px.size(); i++) {
        Rgb p = soft.px[i];
        float luma = 0.3f * p.r + 0.6f * p.g + 0.1f * p.b;
        float common = random.Gauss() * grain * (1.4f - luma);
        float v[3] = {p.b, p.g, p.r};
        for (int k = 0; k < 3; k++) {
            float level = v[k] * 255 + common + random.Gauss() * grain * 0.4f;
            bgr[i * 3 + k] = (uint8_t)Clamp(level + 0.5f, 0, 255);
        }
    }
    return bgr;
}

std::vector<uint8_t> Smooth(int w, int h)
{
    Canvas c = NewCanvas(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float u = (float)x / w, v = (float)y / h;
            Rgb top = {0.95f, 0.62f, 0.35f}, bottom = {0.18f, 0.22f, 0.48f};
            Rgb p = Mix(top, bottom, v);
            float field = Fbm(x, y, 700, 3, 0.5f, 3);
            p = Mix(p, {0.3f, 0.65f, 0.55f}, Clamp((field - 0.45f) * 2.5f, 0, 1) * (1 - u) * 0.8f);
            float blob = expf(-((u - 0.7f) * (u - 0.7f) + (v - 0.35f) * (v - 0.35f)) * 18);
            p = Mix(p, {1.0f, 0.93f, 0.75f}, blob * 0.7f);
            c.At(x, y) = p;
        }
    Random random{17};
    for (int i = 0; i < 40; i++) {  // soft discs of light, out of focus
        float cx = random.Unit() * w, cy = random.Unit() * h, r = 30 + random.Unit() * 120;
        Rgb light = {0.9f + 0.1f * random.Unit(), 0.7f + 0.3f * random.Unit(), 0.5f + 0.5f * random.Unit()};
        for (int y = std::max(0, (int)(cy - 2 * r)); y < std::min(h, (int)(cy + 2 * r)); y++)
            for (int x = std::max(0, (int)(cx - 2 * r)); x < std::min(w, (int)(cx + 2 * r)); x++) {
                float d = hypotf(x - cx, y - cy) / r;
                c.At(x, y) = Mix(c.At(x, y), light, 0.25f * Clamp(1.5f - d, 0, 1));
            }
    }
    Blur(&c, 12);
    return Develop(&c, 0, 1);
}

std::vector<uint8_t> Busy(int w, int h)
{
    Canvas c = NewCanvas(w, h);
    Random random{5};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float n = Fbm(x, y, 64, 6, 0.7f, 11);
            float hatch = 0.5f + 0.5f * sinf((x * 0.9f + y * 0.4f) * (0.6f + 0.3f * Noise(x / 300.0f, y / 300.0f, 2)));
            float cell = ((x / 96) + (y / 96)) % 2 ? 0.15f : 0;
            Rgb p = {Clamp(n * 0.9f + cell, 0, 1), Clamp(0.3f + 0.5f * hatch * n, 0, 1),
                     Clamp(0.9f - n * 0.7f + 0.2f * hatch, 0, 1)};
            c.At(x, y) = p;
        }
    // Small print: rows of random glyph-like marks, two pixels thick.
    for (int row = 40; row + 14 < h; row += 22)
        for (int col = 16; col + 9 < w; col += 11) {
            if (random.Unit() < 0.12f)
                continue;
            uint32_t bits = random.Next();
            Rgb ink = ((row / 22) % 3) ? Rgb{0.05f, 0.05f, 0.08f} : Rgb{0.95f, 0.95f, 0.9f};
            for (int k = 0; k < 12; k++) {
                if (!(bits >> k & 1))
                    continue;
                int gx = col + (k % 3) * 3, gy = row + (k / 3) * 3;
                for (int y = gy; y < gy + 3; y++)
                    for (int x = gx; x < gx + 3; x++)
                        c.At(x, y) = Mix(c.At(x, y), ink, 0.85f);
            }
        }
    for (int i = 0; i < 300; i++) {  // thin straight lines
        float x0 = random.Unit() * w, y0 = random.Unit() * h, a = random.Unit() * 6.283f, len = 50 + random.Unit() * 400;
        Rgb ink = {random.Unit(), random.Unit(), random.Unit()};
        for (float t = 0; t < len; t += 0.5f) {
            int x = (int)(x0 + cosf(a) * t), y = (int)(y0 + sinf(a) * t);
            if (x >= 0 && x < w && y >= 0 && y < h)
                c.At(x, y) = Mix(c.At(x, y), ink, 0.8f);
        }
    }
    return Develop(&c, 2.0f, 2);
}

std::vector<uint8_t> Landscape(int w, int h)
{
    Canvas c = NewCanvas(w, h);
    float horizon = h * 0.62f;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            Rgb p;
            // The ridge line of the mountains at this column.
            float ridge = h * (0.30f + 0.22f * Fbm(x, 0, 900, 7, 0.55f, 21));
            if (y < ridge) {  // sky and clouds
                float v = y / ridge;
                p = Mix({0.28f, 0.45f, 0.78f}, {0.78f, 0.84f, 0.92f}, v);
                float cloud = Fbm(x, y * 2.2f, 500, 7, 0.55f, 31);
                float k = Clamp((cloud - 0.52f) * 4, 0, 1);
                float shade = 0.75f + 0.35f * Fbm(x + 40, y * 2.2f + 25, 200, 5, 0.5f, 31);
                p = Mix(p, Scale({0.98f, 0.97f, 0.95f}, shade), k);
            } else if (y < horizon) {  // rock with snow on the heights, lit from the left
                float rock = Fbm(x, y, 300, 8, 0.6f, 41);
                float light = Fbm(x - 3, y - 3, 300, 8, 0.6f, 41) - rock;
                float snow = Clamp((0.55f - (y - ridge) / (horizon - ridge) + rock * 0.4f) * 3, 0, 1);
                Rgb stone = Mix({0.32f, 0.29f, 0.26f}, {0.55f, 0.5f, 0.45f}, rock);
                p = Mix(stone, {0.92f, 0.94f, 0.97f}, snow);
                p = Scale(p, Clamp(0.85f + light * 25, 0.4f, 1.3f));
                float haze = Clamp(1 - (y - ridge) / (horizon - ridge), 0, 1) * 0.35f;
                p = Mix(p, {0.7f, 0.78f, 0.88f}, haze);
            } else {  // the lake: the mountains mirrored, darker, broken by ripples
                float ripple = Fbm(x * 0.3f, y * 3.0f, 60, 5, 0.6f, 51) - 0.5f;
                int my = (int)Clamp(2 * horizon - y + ripple * 40, 0, horizon - 1);
                int mx = (int)Clamp(x + ripple * 10, 0, w - 1);
                p = Scale(c.At(mx, my), 0.7f);
                p = Mix(p, {0.1f, 0.2f, 0.25f}, 0.25f + 0.3f * (y - horizon) / (h - horizon));
            }
            c.At(x, y) = {Clamp(p.r, 0, 1), Clamp(p.g, 0, 1), Clamp(p.b, 0, 1)};
        }
    return Develop(&c, 1.5f, 3);
}

std::vector<uint8_t> Bokeh(int w, int h)
{
    Canvas back = NewCanvas(w, h);
    Random random{7};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            back.At(x, y) = Mix({0.08f, 0.1f, 0.16f}, {0.3f, 0.22f, 0.18f}, Fbm(x, y, 400, 3, 0.5f, 61));
    for (int i = 0; i < 160; i++) {
        float cx = random.Unit() * w, cy = random.Unit() * h * 0.8f, r = 6 + random.Unit() * 30;
        Rgb light = {1.0f, 0.55f + 0.4f * random.Unit(), 0.2f + 0.5f * random.Unit()};
        for (int y = std::max(0, (int)(cy - r - 2)); y < std::min(h, (int)(cy + r + 2)); y++)
            for (int x = std::max(0, (int)(cx - r - 2)); x < std::min(w, (int)(cx + r + 2)); x++)
                back.At(x, y) = Mix(back.At(x, y), light, 0.6f * Clamp(r - hypotf(x - cx, y - cy), 0, 1));
    }
    Blur(&back, 9);
    Canvas c = back;
    // The subject: a woven basket-like ellipse, sharp, lit from above.
    float cx = w * 0.42f, cy = h * 0.58f, rx = w * 0.22f, ry = h * 0.34f;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float u = (x - cx) / rx, v = (y - cy) / ry, d = u * u + v * v;
            if (d >= 1)
                continue;
            float weave = sinf(x * 0.55f) * sinf(y * 0.55f);
            float strand = 0.5f + 0.5f * sinf((x + y) * 1.3f + 3 * Noise(x / 20.0f, y / 20.0f, 71));
            float fibre = Fbm(x, y, 8, 3, 0.6f, 73);
            float light = Clamp(1.1f - 0.6f * v - 0.3f * d, 0.2f, 1.2f);
            Rgb p = Mix({0.45f, 0.3f, 0.15f}, {0.85f, 0.68f, 0.42f}, Clamp(0.5f + 0.4f * weave * strand + 0.3f * (fibre - 0.5f), 0, 1));
            c.At(x, y) = Mix(c.At(x, y), Scale(p, light), Clamp((1 - d) * ry * 0.5f, 0, 1));
        }
    return Develop(&c, 2.5f, 4);
}

std::vector<uint8_t> Foliage(int w, int h)
{
    Canvas c = NewCanvas(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            c.At(x, y) = Scale({0.05f, 0.12f, 0.04f}, 0.5f + Fbm(x, y, 200, 4, 0.5f, 81));
    Random random{9};
    for (int i = 0; i < 26000; i++) {  // leaves: lit ellipses with a vein, back to front
        float cx = random.Unit() * w, cy = random.Unit() * h, len = 8 + random.Unit() * 22, wid = len * (0.3f + 0.2f * random.Unit());
        float a = random.Unit() * 6.283f, ca = cosf(a), sa = sinf(a);
        float depth = (float)i / 26000;
        Rgb leaf = Mix({0.12f, 0.28f, 0.06f}, {0.55f, 0.75f, 0.2f}, random.Unit() * 0.6f + depth * 0.4f);
        if (random.Unit() < 0.05f)
            leaf = {0.8f, 0.55f, 0.1f};
        float sun = Fbm(cx, cy, 300, 2, 0.5f, 83) > 0.55f ? 1.35f : 0.8f;
        for (int y = std::max(0, (int)(cy - len - 1)); y < std::min(h, (int)(cy + len + 2)); y++)
            for (int x = std::max(0, (int)(cx - len - 1)); x < std::min(w, (int)(cx + len + 2)); x++) {
                float du = ((x - cx) * ca + (y - cy) * sa) / len, dv = (-(x - cx) * sa + (y - cy) * ca) / wid;
                float d = du * du + dv * dv;
                if (d >= 1)
                    continue;
                float vein = fabsf(dv) < 0.08f ? 1.25f : 1.0f;
                float lit = sun * vein * (0.75f + 0.35f * (du * 0.5f + 0.5f)) * (0.8f + 0.4f * depth);
                c.At(x, y) = Mix(c.At(x, y), Scale(leaf, lit), Clamp((1 - d) * wid * 0.7f, 0, 1));
            }
    }
    for (Rgb &p : c.px)
        p = {Clamp(p.r, 0, 1), Clamp(p.g, 0, 1), Clamp(p.b, 0, 1)};
    return Develop(&c, 2.0f, 5);
}

std::vector<uint8_t> Street(int w, int h)
{
    Canvas c = NewCanvas(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            c.At(x, y) = Mix({0.1f, 0.12f, 0.3f}, {0.85f, 0.45f, 0.3f}, (float)y / h);
    Random random{11};
    int x = -20;
    while (x < w) {  // facades side by side, each with its rows of windows
        int bw = 120 + (int)(random.Unit() * 260), top = (int)(h * (0.1f + 0.4f * random.Unit()));
        Rgb wall = Mix({0.18f, 0.16f, 0.17f}, {0.55f, 0.45f, 0.4f}, random.Unit());
        int ww = 14 + (int)(random.Unit() * 16), wh = 20 + (int)(random.Unit() * 20), gap = 8 + (int)(random.Unit() * 14);
        for (int y = top; y < h; y++)
            for (int i = std::max(x, 0); i < std::min(x + bw, w); i++) {
                float brick = ((y / 6 + ((i + (y / 6) * 7) / 14)) % 2) ? 0.96f : 1.04f;
                float grime = 0.85f + 0.3f * Fbm(i, y, 40, 4, 0.6f, 91);
                Rgb p = Scale(wall, brick * grime);
                int lx = (i - x - gap) % (ww + gap), ly = (y - top - gap) % (wh + gap);
                if (i - x >= gap && y - top >= gap && lx < ww && ly < wh && x + bw - i > gap) {
                    bool lit = Hash((i - x - gap) / (ww + gap) + x, (y - top - gap) / (wh + gap), 93) < 0.45f;
                    p = lit ? Rgb{1.0f, 0.82f, 0.5f} : Rgb{0.06f, 0.07f, 0.1f};
                    if (lx == 0 || ly == 0 || lx == ww / 2)
                        p = Scale(wall, 0.6f);  // frames and mullions
                }
                c.At(i, y) = p;
            }
        x += bw + (int)(random.Unit() * 6);
    }
    for (int i = 0; i < 12; i++) {  // street lamps: glows
        float cx = (i + 0.5f) * w / 12, cy = h * 0.78f;
        for (int y = (int)cy - 80; y < (int)cy + 80; y++)
            for (int xx = (int)cx - 80; xx < (int)cx + 80; xx++) {
                if (xx < 0 || xx >= w || y < 0 || y >= h)
                    continue;
                float d = hypotf(xx - cx, y - cy);
                Rgb &p = c.At(xx, y);
                p = Mix(p, {1.0f, 0.9f, 0.6f}, Clamp(expf(-d / 18) * 1.2f, 0, 1));
            }
    }
    return Develop(&c, 3.0f, 6);
}

struct Kind {
    const char *name;
    int width, height;
    std::vector<uint8_t> (*paint)(int, int);
};

const Kind kKinds[] = {
    {"smooth", 2048, 1536, Smooth},   {"busy", 2048, 1536, Busy},       {"landscape", 2048, 1536, Landscape},
    {"bokeh", 1920, 1080, Bokeh},     {"foliage", 1920, 1080, Foliage}, {"street", 1920, 1080, Street},
};

}  // namespace

bool PaintTestPicture(const char *name, std::vector<uint8_t> *bgr, int *width, int *height)
{
    for (const Kind &k : kKinds)
        if (!strcmp(name, k.name)) {
            *width = k.width, *height = k.height;
            *bgr = k.paint(k.width, k.height);
            return true;
        }
    return false;
}

const char *TestPictureName(int i) { return i >= 0 && i < (int)(sizeof kKinds / sizeof kKinds[0]) ? kKinds[i].name : nullptr; }
