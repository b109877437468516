// The five symbols as the wallpapers draw them, large: the crescent moon with
// its stars, the flame with its hot cores, the sun with its twelve rays, the
// drop with its glint and the round tree. Each is a distance function in
// symbol units (the symbol fits the circle of radius 1 about the origin, v
// pointing down) and is painted with the same three steps: its light on the
// surroundings, a soft shade under it, and a crisp body lit from the upper
// left.
#include "tools/wallart/scene.h"
#include "tools/wallart/wallart.h"

namespace {

// A symbol-unit shape placed on the picture: distances in pixels.
template <class Shape> struct Placed {
    const SceneGeometry &l;
    Shape shape;
    float operator()(float x, float y) const { return shape((x - l.cx) / l.r, (y - l.cy) / l.r) * l.r; }
};
template <class Shape> Placed<Shape> Place(const SceneGeometry &l, Shape shape) { return Placed<Shape>{l, shape}; }

Box SymbolBox(const Picture &p, const SceneGeometry &l, float reach) { return Clip(p, l.cx, l.cy, reach * l.r); }

// A body: top colour at the symbol's top, bottom colour at its bottom, the
// edges that face the upper left lit towards light over bevel pixels, the
// others darkened towards shade.
template <class Shape>
void PaintBody(Picture &p, Box box, const SceneGeometry &l, Shape shape, Color top, Color bottom, Color light, Color shade,
               float bevel)
{
    FillShape(p, box, shape, [&](float x, float y, float d) {
        Color c = Lerp(top, bottom, Clamp01((y - (l.cy - l.r)) / (2 * l.r)));
        if (d > -bevel) {
            float gx = shape(x + 1, y) - shape(x - 1, y), gy = shape(x, y + 1) - shape(x, y - 1);
            float norm = hypotf(gx, gy);
            float facing = norm > 0 ? (-0.6f * gx - 0.8f * gy) / norm : 0;
            float band = 1 - SmoothStep(0, bevel, -d);
            if (facing > 0)
                c = Lerp(c, light, 0.75f * facing * band);
            else
                c = Lerp(c, shade, -0.45f * facing * band);
        }
        return c;
    });
}

// A shade under a shape, offset down and to the right.
template <class Shape> void PaintShadow(Picture &p, Box box, const SceneGeometry &l, Shape shape, Color shade, float strength)
{
    float ox = 0.035f * l.r, oy = 0.055f * l.r;
    AddShade(p, box, [&](float x, float y) { return shape(x - ox, y - oy); }, shade, strength, 0.05f * l.r);
}

// --------------------------------------------------------------- moon

float Crescent(float u, float v)
{
    return std::max(SdCircle(u, v, 0, 0, 0.80f), -SdCircle(u, v, 0.36f, -0.22f, 0.70f));
}

void PaintMoon(Picture &p, const SceneGeometry &l)
{
    Box box = SymbolBox(p, l, 1.6f);
    auto moon = Place(l, Crescent);
    auto full = Place(l, [](float u, float v) { return SdCircle(u, v, 0, 0, 0.80f); });
    // The dark part of the moon shows faintly, with a fine rim.
    FillShape(p, box, full, [](float, float, float) { return Rgb(0x4A3E66); }, 0.35f);
    FillShape(
        p, box, [&](float x, float y) { return fabsf(full(x, y)) - 0.9f * l.px; },
        [](float, float, float) { return Rgb(0x9C8CC8); }, 0.35f);
    AddGlow(p, box, moon, Rgb(0xA890E0), 0.55f, 0.09f * l.r);
    PaintShadow(p, box, l, moon, Rgb(0x0A0810), 0.35f);
    PaintBody(p, box, l, moon, Rgb(0xFBF8FF), Rgb(0xCFC4E6), Rgb(0xFFFFFF), Rgb(0x8E80B4), 0.05f * l.r);
    // The lit side dims towards its inner edge, and a few soft seas mark it.
    auto cut = Place(l, [](float u, float v) { return -SdCircle(u, v, 0.36f, -0.22f, 0.70f); });
    ForEachPixel(p, box, [&](float x, float y, Color &c) {
        float d = moon(x, y);
        if (d > 0.5f)
            return;
        float inner = -cut(x, y);  // distance in from the inner edge
        float k = 0.38f * expf(-std::max(inner, 0.0f) / (0.10f * l.r)) * Clamp01(0.5f - d);
        Over(c, Rgb(0x8878B0), k);
    });
    static const float seas[][3] = {{-0.52f, 0.12f, 0.13f}, {-0.30f, 0.46f, 0.09f}, {-0.60f, -0.28f, 0.07f},
                                    {0.06f, 0.64f, 0.06f}};
    for (const float *s : seas) {
        auto sea = Place(l, [s](float u, float v) { return SdCircle(u, v, s[0], s[1], s[2]); });
        ForEachPixel(p, box, [&](float x, float y, Color &c) {
            float inside = Clamp01(0.5f - moon(x, y));
            float d = sea(x, y);
            if (inside > 0 && d < 0.06f * l.r)
                Over(c, Rgb(0xB4A8D2), 0.32f * inside * (1 - SmoothStep(-0.04f * l.r, 0.06f * l.r, d)));
        });
    }
    // Stars in the crescent's arms.
    static const float stars[][3] = {{0.46f, 0.24f, 0.19f}, {0.72f, -0.40f, 0.09f}, {0.20f, 0.52f, 0.06f}};
    for (const float *s : stars) {
        auto star = Place(l, [s](float u, float v) { return SdSparkle(u, v, s[0], s[1], s[2], 0.18f * s[2]); });
        AddGlow(p, box, star, Rgb(0xC8B4FF), 0.6f, 0.05f * l.r);
        FillShape(p, box, star, [](float, float, float) { return Rgb(0xFFFFFF); });
    }
}

// -------------------------------------------------------------- flame

// One flame: a round body, a long tongue that curls as it rises and two
// shorter ones that lean in towards it.
float FlameShape(float u, float v)
{
    float t = Clamp01((0.26f - v) / 1.21f);  // 0 at the body, 1 at the tip
    float main = SdTaper(u - (0.10f * sinf(3.1416f * t) - 0.16f * t * t * t), v, 0, 0.26f, 0.46f, 0.04f, -0.95f,
                         0.010f);
    float lt = Clamp01((0.20f - v) / 0.62f);
    float left = SdTaper(u - 0.10f * lt * lt, v, -0.20f, 0.20f, 0.24f, -0.46f, -0.42f, 0.010f);
    float rt = Clamp01((0.14f - v) / 0.72f);
    float right = SdTaper(u + 0.11f * rt * rt, v, 0.22f, 0.14f, 0.24f, 0.47f, -0.58f, 0.010f);
    return SmoothUnion(main, SmoothUnion(left, right, 0.10f), 0.16f);
}

// The flame scaled by s about the middle of its base.
float FlameLayer(float u, float v, float s)
{
    const float baseY = 0.70f;
    return FlameShape(u / s, (v - baseY) / s + baseY) * s;
}

void PaintFlame(Picture &p, const SceneGeometry &l)
{
    Box box = SymbolBox(p, l, 1.6f);
    // The glow of the embers it burns from.
    auto bed = Place(l, [](float u, float v) { return SdSegment(u, v, -0.22f, 0.70f, 0.22f, 0.70f); });
    AddGlow(p, box, bed, Rgb(0xFF5A1E), 0.45f, 0.14f * l.r);
    struct Layer {
        float scale;
        Color tip, base, light, glow;
        float glowStrength, glowRadius;
    };
    static const Layer layers[] = {
        {1.00f, Rgb(0xB81E10), Rgb(0xF05A22), Rgb(0xFFA060), Rgb(0xFF4A18), 0.75f, 0.16f},
        {0.66f, Rgb(0xF06A1E), Rgb(0xFFA83A), Rgb(0xFFD080), Rgb(0xFF9A30), 0.45f, 0.08f},
        {0.36f, Rgb(0xFFD870), Rgb(0xFFF6D8), Rgb(0xFFFFFF), Rgb(0xFFE8A0), 0.50f, 0.05f},
    };
    for (const Layer &layer : layers) {
        float s = layer.scale;
        auto flame = Place(l, [s](float u, float v) { return FlameLayer(u, v, s); });
        AddGlow(p, box, flame, layer.glow, layer.glowStrength, layer.glowRadius * l.r);
        float top = l.cy + (0.70f - 1.65f * s) * l.r, bottom = l.cy + 0.70f * l.r;
        PaintBody(
            p, box, l, flame, layer.tip, layer.base, layer.light, Lerp(layer.tip, Rgb(0x000000), 0.3f),
            0.05f * l.r * s);
        // Redo the body's ramp over the layer's own height: its tip to its base.
        FillShape(p, box, flame, [&](float, float y, float) {
            return Lerp(layer.tip, layer.base, SmoothStep(top, bottom, y));
        }, 0.55f);
    }
}

// ---------------------------------------------------------------- sun

float SunRays(float u, float v)
{
    float d = 1e9f;
    for (int k = 0; k < 12; k++) {
        float a = k * 0.5235988f - 1.5707963f;
        float ca = cosf(a), sa = sinf(a);
        bool longRay = k % 2 == 0;
        float from = 0.50f, to = longRay ? 0.97f : 0.78f;
        float wide = longRay ? 0.080f : 0.062f;
        d = std::min(d, SdTaper(u, v, ca * from, sa * from, wide, ca * to, sa * to, 0.012f));
    }
    return d;
}

void PaintSun(Picture &p, const SceneGeometry &l)
{
    Box box = SymbolBox(p, l, 1.7f);
    auto rays = Place(l, SunRays);
    auto core = Place(l, [](float u, float v) { return SdCircle(u, v, 0, 0, 0.44f); });
    auto whole = [&](float x, float y) { return std::min(rays(x, y), core(x, y)); };
    // On an ivory sky light shows as a golden tint.
    AddShade(p, box, whole, Rgb(0xF2C864), 0.45f, 0.16f * l.r);
    PaintShadow(p, box, l, whole, Rgb(0x8A6A30), 0.22f);
    // Rays: deep gold at the tips, brighter at the core.
    FillShape(p, box, rays, [&](float x, float y, float) {
        float t = Clamp01((hypotf(x - l.cx, y - l.cy) / l.r - 0.5f) / 0.47f);
        return Lerp(Rgb(0xF0BE52), Rgb(0xC08424), t);
    });
    FillShape(
        p, box, [&](float x, float y) { return fabsf(rays(x, y)) - 0.6f * l.px; },
        [](float, float, float) { return Rgb(0xA06E1C); }, 0.55f);
    // The core: a lit ball of gold with a bright ring inside its edge.
    FillShape(p, box, core, [&](float x, float y, float) {
        float t = Clamp01(hypotf(x - (l.cx - 0.16f * l.r), y - (l.cy - 0.18f * l.r)) / (0.62f * l.r));
        return t < 0.5f ? Lerp(Rgb(0xFFF8E0), Rgb(0xF4C860), t * 2) : Lerp(Rgb(0xF4C860), Rgb(0xC88A26), t * 2 - 1);
    });
    FillShape(
        p, box, [&](float x, float y) { return fabsf(core(x, y)) - 1.2f * l.px; },
        [](float, float, float) { return Rgb(0x9A6A1A); }, 0.8f);
    auto ring = Place(l, [](float u, float v) { return fabsf(SdCircle(u, v, 0, 0, 0.36f)) - 0.008f; });
    FillShape(p, box, ring, [](float, float, float) { return Rgb(0xFFF4D0); }, 0.65f);
}

// --------------------------------------------------------------- drop

float DropShape(float u, float v) { return SdTaper(u, v, 0, 0.26f, 0.52f, 0, -0.90f, 0.02f); }

void PaintDrop(Picture &p, const SceneGeometry &l)
{
    Box box = SymbolBox(p, l, 1.6f);
    auto drop = Place(l, DropShape);
    AddGlow(p, box, drop, Rgb(0x5AA8FF), 0.55f, 0.12f * l.r);
    PaintShadow(p, box, l, drop, Rgb(0x020A18), 0.35f);
    PaintBody(p, box, l, drop, Rgb(0xC4E6FF), Rgb(0x2A74CC), Rgb(0xFFFFFF), Rgb(0x0E3C80), 0.05f * l.r);
    // Deeper on the right, where the light does not reach.
    ForEachPixel(p, box, [&](float x, float y, Color &c) {
        float inside = Clamp01(0.5f - drop(x, y));
        if (inside <= 0)
            return;
        float u = (x - l.cx) / l.r, v = (y - l.cy) / l.r;
        Over(c, Rgb(0x123E86), inside * 0.45f * SmoothStep(-0.1f, 0.6f, u + 0.3f * v));
        // Light gathered in the bottom of the drop, as through a lens.
        float in = -drop(x, y) / l.r;
        float lens = expf(-in / 0.07f) * SmoothStep(0.15f, 0.70f, v);
        Screen(c, Rgb(0x9CD8FF), inside * 0.85f * lens);
    });
    // The glint: a curved stroke and a dot, upper left.
    const float deg = 0.017453293f;
    auto glint = Place(l, [deg](float u, float v) {
        float dx = u, dy = v - 0.26f;
        float a = atan2f(dy, dx);
        if (a < 0)
            a += 6.2831853f;
        float a0 = 188 * deg, a1 = 246 * deg, r = 0.37f;
        // Thick in the middle of the arc, thin at its ends.
        float t = Clamp01((a - a0) / (a1 - a0));
        float half = 0.048f * sinf(3.1416f * Clamp01(t)) + 0.006f;
        float onArc = a >= a0 && a <= a1 ? fabsf(hypotf(dx, dy) - r) - half : 1e9f;
        float e0 = hypotf(u - r * cosf(a0), v - 0.26f - r * sinf(a0)) - 0.006f;
        float e1 = hypotf(u - r * cosf(a1), v - 0.26f - r * sinf(a1)) - 0.006f;
        return std::min(onArc, std::min(e0, e1));
    });
    FillShape(p, box, glint, [](float, float, float) { return Rgb(0xFFFFFF); }, 0.9f);
    auto dot = Place(l, [deg](float u, float v) {
        return SdCircle(u, v, 0.37f * cosf(262 * deg), 0.26f + 0.37f * sinf(262 * deg), 0.035f);
    });
    FillShape(p, box, dot, [](float, float, float) { return Rgb(0xFFFFFF); }, 0.9f);
}

// --------------------------------------------------------------- tree

struct Clump {
    float u, v, r;
};
// The crown's clumps of leaves, front to back: the low ones are nearest.
const Clump kClumps[] = {
    {0.00f, 0.04f, 0.27f},   {-0.35f, 0.00f, 0.25f},  {0.36f, 0.02f, 0.24f},
    {0.00f, -0.30f, 0.31f},  {-0.52f, -0.24f, 0.23f}, {0.52f, -0.22f, 0.24f},
    {-0.30f, -0.52f, 0.25f}, {0.31f, -0.50f, 0.25f},  {0.00f, -0.66f, 0.25f},
};
constexpr int kClumpCount = (int)(sizeof kClumps / sizeof kClumps[0]);

float Crown(float u, float v)
{
    float d = 1e9f;
    for (const Clump &c : kClumps)
        d = std::min(d, SdCircle(u, v, c.u, c.v, c.r));
    return d;
}

float Trunk(float u, float v)
{
    float stem = SdTaper(u, v, 0, 0.80f, 0.085f, 0, 0.0f, 0.045f);
    float left = SdTaper(u, v, 0, 0.40f, 0.038f, -0.28f, 0.02f, 0.016f);
    float right = SdTaper(u, v, 0, 0.32f, 0.036f, 0.29f, -0.04f, 0.015f);
    float roots = SdTaper(u, v, -0.18f, 0.80f, 0.02f, 0.18f, 0.80f, 0.02f);
    return SmoothUnion(SmoothUnion(stem, roots, 0.08f), SmoothUnion(left, right, 0.02f), 0.04f);
}

void PaintTree(Picture &p, const SceneGeometry &l)
{
    Box box = SymbolBox(p, l, 1.6f);
    // A hill fills the bottom of the disc; the tree stands on its crown.
    auto hill = Place(l, [](float u, float v) {
        float top = 0.76f + 0.12f * u * u;
        return std::max(SdCircle(u, v, 0, 0, kDiscRadius - 0.003f), (top - v) * 0.97f);
    });
    PaintBody(p, box, l, hill, Rgb(0x4E8A4A), Rgb(0x1A4424), Rgb(0xB8E48C), Rgb(0x08180C), 0.025f * l.r);
    AddGlow(p, box, Place(l, Crown), Rgb(0xD8F0A8), 0.40f, 0.12f * l.r);
    PaintShadow(p, box, l, Place(l, Crown), Rgb(0x05140A), 0.30f);
    PaintBody(p, box, l, Place(l, Trunk), Rgb(0x4E4030), Rgb(0x2A2218), Rgb(0x9A845A), Rgb(0x140F08), 0.03f * l.r);
    // The crown: lit from the upper left as a whole; each clump is lit at
    // its own upper left edge and darkens the clumps behind it where they meet.
    auto crown = Place(l, Crown);
    ForEachPixel(p, box, [&](float x, float y, Color &c) {
        float cover = Clamp01(0.5f - crown(x, y));
        if (cover <= 0)
            return;
        float u = (x - l.cx) / l.r, v = (y - l.cy) / l.r;
        float t = Clamp01(0.5f + 0.45f * (u * 0.6f + (v + 0.25f) * 0.8f));
        Color leaf = t < 0.5f ? Lerp(Rgb(0x92C872), Rgb(0x3E8444), t * 2) : Lerp(Rgb(0x3E8444), Rgb(0x17482A), t * 2 - 1);
        int front = kClumpCount - 1;
        for (int k = 0; k < kClumpCount; k++)
            if (SdCircle(u, v, kClumps[k].u, kClumps[k].v, kClumps[k].r) < 0) {
                front = k;
                break;
            }
        const Clump &own = kClumps[front];
        float inside = -SdCircle(u, v, own.u, own.v, own.r) * l.r;  // pixels in from its edge
        float nx = (u - own.u) / own.r, ny = (v - own.v) / own.r;
        float facing = Clamp01(-(0.6f * nx + 0.8f * ny) / std::max(hypotf(nx, ny), 1e-3f));
        leaf = Lerp(leaf, Rgb(0xC4EA9E), 0.55f * facing * (1 - SmoothStep(0, 0.05f * l.r, inside)));
        for (int k = 0; k < front; k++) {
            float d = SdCircle(u, v, kClumps[k].u, kClumps[k].v, kClumps[k].r) * l.r;
            leaf = Lerp(leaf, Rgb(0x0E3018), 0.45f * expf(-d / (0.04f * l.r)));
        }
        Over(c, leaf, cover);
    });
}

}  // namespace

void PaintSymbol(Picture &picture, const SceneGeometry &geometry, int color)
{
    switch (color) {
    case kWallBlack: PaintMoon(picture, geometry); break;
    case kWallRed: PaintFlame(picture, geometry); break;
    case kWallWhite: PaintSun(picture, geometry); break;
    case kWallBlue: PaintDrop(picture, geometry); break;
    default: PaintTree(picture, geometry); break;
    }
}
