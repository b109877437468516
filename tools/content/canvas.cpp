// The painter's canvas operations that are not per-shape: arcs and polygons,
// layering, blur, shadows, the final downsampling and sphere shading.
#include "tools/content/canvas.h"

float SdArc(float x, float y, float cx, float cy, float r, float a0, float a1)
{
    float dx = x - cx, dy = y - cy;
    float angle = atan2f(dy, dx) * 57.29578f;  // degrees, -180..180
    // Bring the angle into [a0, a0 + 360).
    while (angle < a0)
        angle += 360;
    while (angle >= a0 + 360)
        angle -= 360;
    if (angle <= a1)
        return fabsf(hypotf(dx, dy) - r);
    float e0x = cx + r * cosf(a0 / 57.29578f), e0y = cy + r * sinf(a0 / 57.29578f);
    float e1x = cx + r * cosf(a1 / 57.29578f), e1y = cy + r * sinf(a1 / 57.29578f);
    return std::min(hypotf(x - e0x, y - e0y), hypotf(x - e1x, y - e1y));
}

Canvas NewCanvas(int width, int height, int factor)
{
    Canvas c;
    c.factor = factor;
    c.scale = (float)factor;
    c.width = width * factor;
    c.height = height * factor;
    c.px.assign((size_t)c.width * c.height, Rgba{0, 0, 0, 0});
    return c;
}

void DrawOver(Canvas &dst, const Canvas &src, float dx, float dy, float opacity, Rgba tint)
{
    int ox = (int)lroundf(dx * dst.scale), oy = (int)lroundf(dy * dst.scale);
    for (int j = 0; j < dst.height; j++) {
        int sj = j - oy;
        if (sj < 0 || sj >= src.height)
            continue;
        for (int i = 0; i < dst.width; i++) {
            int si = i - ox;
            if (si < 0 || si >= src.width)
                continue;
            Rgba s = src.px[(size_t)sj * src.width + si];
            if (tint.a > 0)
                s = {tint.r * s.a, tint.g * s.a, tint.b * s.a, s.a};
            float k = opacity;
            Rgba &o = dst.px[(size_t)j * dst.width + i];
            float a = s.a * k;
            o.r = s.r * k + o.r * (1 - a);
            o.g = s.g * k + o.g * (1 - a);
            o.b = s.b * k + o.b * (1 - a);
            o.a = a + o.a * (1 - a);
        }
    }
}

// One box pass of half width r render pixels along rows (step 1) or columns.
static void BoxPass(Canvas &c, int r, bool rows)
{
    int n = rows ? c.width : c.height, lines = rows ? c.height : c.width;
    std::vector<Rgba> line(n);
    for (int l = 0; l < lines; l++) {
        auto at = [&](int k) -> Rgba & {
            return rows ? c.px[(size_t)l * c.width + k] : c.px[(size_t)k * c.width + l];
        };
        for (int k = 0; k < n; k++)
            line[k] = at(k);
        Rgba sum = {0, 0, 0, 0};
        float count = (float)(2 * r + 1);
        for (int k = -r; k <= r; k++) {
            if (k >= 0 && k < n) {
                sum.r += line[k].r;
                sum.g += line[k].g;
                sum.b += line[k].b;
                sum.a += line[k].a;
            }
        }
        for (int k = 0; k < n; k++) {
            at(k) = {sum.r / count, sum.g / count, sum.b / count, sum.a / count};
            int out = k - r, in = k + r + 1;
            if (out >= 0) {
                sum.r -= line[out].r;
                sum.g -= line[out].g;
                sum.b -= line[out].b;
                sum.a -= line[out].a;
            }
            if (in < n) {
                sum.r += line[in].r;
                sum.g += line[in].g;
                sum.b += line[in].b;
                sum.a += line[in].a;
            }
        }
    }
}

void Blur(Canvas &c, float radius)
{
    int r = std::max(1, (int)lroundf(radius * c.scale / 1.7f));
    for (int pass = 0; pass < 3; pass++) {
        BoxPass(c, r, true);
        BoxPass(c, r, false);
    }
}

void AddShadow(Canvas &c, float dx, float dy, float radius, float opacity)
{
    Canvas shadow = c;
    Blur(shadow, radius);
    Canvas under = NewCanvas(c.width / c.factor, c.height / c.factor, c.factor);
    DrawOver(under, shadow, dx, dy, opacity, Rgba{0.02f, 0.02f, 0.05f, 1});
    DrawOver(under, c, 0, 0, 1);
    c = under;
}

Pixels Finish(const Canvas &c)
{
    Pixels p;
    p.width = c.width / c.factor;
    p.height = c.height / c.factor;
    p.rgba.resize((size_t)p.width * p.height * 4);
    float n = (float)(c.factor * c.factor);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            Rgba sum = {0, 0, 0, 0};
            for (int j = 0; j < c.factor; j++)
                for (int i = 0; i < c.factor; i++) {
                    const Rgba &s = c.px[(size_t)(y * c.factor + j) * c.width + x * c.factor + i];
                    sum.r += s.r;
                    sum.g += s.g;
                    sum.b += s.b;
                    sum.a += s.a;
                }
            uint8_t *o = &p.rgba[((size_t)y * p.width + x) * 4];
            float a = sum.a / n;
            if (a < 0.5f / 255) {
                o[0] = o[1] = o[2] = o[3] = 0;
                continue;
            }
            o[0] = (uint8_t)lroundf(Clamp01(sum.r / n / a) * 255);
            o[1] = (uint8_t)lroundf(Clamp01(sum.g / n / a) * 255);
            o[2] = (uint8_t)lroundf(Clamp01(sum.b / n / a) * 255);
            o[3] = (uint8_t)lroundf(Clamp01(a) * 255);
        }
    return p;
}

Rgba SpherePaint(float x, float y, float cx, float cy, float r, Rgba base)
{
    float nx = (x - cx) / r, ny = (y - cy) / r;
    float nz2 = 1 - nx * nx - ny * ny;
    float nz = nz2 > 0 ? sqrtf(nz2) : 0;
    // Light from the upper left and in front.
    float lx = -0.45f, ly = -0.55f, lz = 0.70f;
    float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    float light = 0.35f + 0.75f * diffuse;
    Rgba c = Scale(base, light);
    // A glint where the reflected light meets the eye.
    float hx = nx + 0.38f, hy = ny + 0.42f;
    float glint = expf(-(hx * hx + hy * hy) / 0.035f);
    c = Mix(c, Rgba{1, 1, 1, 1}, 0.85f * glint);
    // A touch of bounced light along the lower rim.
    float rim = SmoothStep(0.55f, 1.0f, hypotf(nx, ny)) * Clamp01(ny + 0.3f);
    c = Mix(c, Scale(base, 1.3f), 0.35f * rim);
    c.a = base.a;
    return c;
}
