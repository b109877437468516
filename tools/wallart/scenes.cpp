// The composition all five wallpapers share, layer by layer from the back:
// sky and mist, the halo, open arcs about the symbol, light in the air
// (air.cpp), the glass disc, the symbol (symbols.cpp), three bands of land or
// sea (land.cpp), and a soft edge; and the five colours' tones that fill it,
// each colour with its own kind of light in the air and its own kind of land.
#include "tools/wallart/scene.h"
#include "tools/wallart/wallart.h"

const char *const kWallColorWords[kWallColors] = {"BLACK", "RED", "WHITE", "BLUE", "GREEN"};

const SceneTones &SceneTonesOf(int color)
{
    static const SceneTones tones[kWallColors] = {
        // BLACK: graphite night, violet light, a pale moon.
        {Rgb(0x07060B), Rgb(0x2B2338), Rgb(0x5A4A78), 0.16f, Rgb(0x8A5CD0), 0.55f, Rgb(0x3A3050), Rgb(0x1A1624),
         0.55f, Rgb(0xB9A6E6), 0.50f, Rgb(0xC8BEF0), Rgb(0xFFFFFF), kStars, Rgb(0x2C2638), Rgb(0x100E15),
         Rgb(0x050407), Rgb(0xA88AE8), kRidges, Rgb(0x000000), 0.45f},
        // RED: a dark red dusk over smouldering dunes.
        {Rgb(0x120303), Rgb(0x7A1A0E), Rgb(0xB0341C), 0.14f, Rgb(0xFF6A28), 0.60f, Rgb(0x5A120A), Rgb(0x2A0604),
         0.50f, Rgb(0xFF9A5A), 0.50f, Rgb(0xFF5A1E), Rgb(0xFFD27A), kEmbers, Rgb(0x4A0E08), Rgb(0x1C0403),
         Rgb(0x080101), Rgb(0xFF8A3A), kDunes, Rgb(0x000000), 0.45f},
        // WHITE: ivory morning, old gold.
        {Rgb(0xFBF7EC), Rgb(0xEEDFC0), Rgb(0xFFFFFF), 0.35f, Rgb(0xF0CF84), -0.62f, Rgb(0xFFFDF6), Rgb(0xF2E6CA),
         0.60f, Rgb(0xC8963A), 0.55f, Rgb(0xD4A24A), Rgb(0xFFFDF4), kMotes, Rgb(0xE4D2AC), Rgb(0xC8A468),
         Rgb(0x9A7A44), Rgb(0xFFF6DC), kSwells, Rgb(0xC8B48C), 0.30f},
        // BLUE: deep water under a night-blue sky.
        {Rgb(0x020A1C), Rgb(0x1B4F8E), Rgb(0x3C7CC8), 0.14f, Rgb(0x6AB4FF), 0.55f, Rgb(0x1E5A9E), Rgb(0x0A2A56),
         0.50f, Rgb(0x9CD2FF), 0.50f, Rgb(0x8CC8FF), Rgb(0xF0FAFF), kBubbles, Rgb(0x154A88), Rgb(0x06224A),
         Rgb(0x010A1C), Rgb(0xA8DCFF), kWaves, Rgb(0x000000), 0.40f},
        // GREEN: a forest evening in sage and deep green.
        {Rgb(0x081A0E), Rgb(0x5E8C62), Rgb(0xB8D4A8), 0.16f, Rgb(0xD8F0A8), 0.45f, Rgb(0x4E7E50), Rgb(0x1E4426),
         0.50f, Rgb(0xCCE8B0), 0.45f, Rgb(0xB8F070), Rgb(0xF4FFC8), kFireflies, Rgb(0x2E5A32), Rgb(0x0E2A14),
         Rgb(0x030C05), Rgb(0xCFF29A), kHills, Rgb(0x000000), 0.40f},
    };
    return tones[color];
}

namespace {

// ------------------------------------------------------------------ sky

void PaintSky(Picture &p, const SceneGeometry &l, const SceneTones &tones, uint32_t seed)
{
    float horizon = 0.80f * l.height;
    ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
        float t = Clamp01(y / horizon);
        c = Lerp(tones.skyTop, tones.skyHorizon, t * t * (1.6f - 0.6f * t));
        // Haze in long, flat drifts, thicker towards the land.
        float n = Fractal(x / (0.42f * l.width), y / (0.10f * l.height), 4, seed);
        float drift = SmoothStep(-0.1f, 0.7f, n) * SmoothStep(0.1f * l.height, 0.75f * l.height, y);
        Over(c, tones.mist, tones.mistAmount * drift);
    });
}

void PaintHalo(Picture &p, const SceneGeometry &l, const SceneTones &tones)
{
    auto centre = [&](float x, float y) { return SdCircle(x, y, l.cx, l.cy, 0); };
    if (tones.haloStrength < 0) {
        // Light cannot brighten an ivory sky much: the halo tints it instead.
        float k = -tones.haloStrength;
        AddShade(p, Whole(p), centre, tones.halo, k * 0.55f, 0.42f * l.height);
        AddShade(p, Whole(p), centre, tones.halo, k * 0.45f, 0.16f * l.height);
        return;
    }
    AddGlow(p, Whole(p), centre, tones.halo, tones.haloStrength * 0.55f, 0.42f * l.height);
    AddGlow(p, Whole(p), centre, tones.halo, tones.haloStrength * 0.45f, 0.16f * l.height);
}

// ---------------------------------------------------------------- arcs

// Distance to the arc of radius r about (cx, cy) from angle a0 to a1 (radians,
// 0 pointing right, growing clockwise on the screen), with round ends.
float SdArc(float x, float y, float cx, float cy, float r, float a0, float a1)
{
    float dx = x - cx, dy = y - cy;
    float angle = atan2f(dy, dx);
    const float turn = 6.2831853f;
    while (angle < a0)
        angle += turn;
    while (angle >= a0 + turn)
        angle -= turn;
    if (angle <= a1)
        return fabsf(hypotf(dx, dy) - r);
    float e0 = hypotf(x - (cx + r * cosf(a0)), y - (cy + r * sinf(a0)));
    float e1 = hypotf(x - (cx + r * cosf(a1)), y - (cy + r * sinf(a1)));
    return std::min(e0, e1);
}

// Open arcs about the symbol, each with a bead or two riding on it; the same
// arcs in all five pictures.
void PaintArcs(Picture &p, const SceneGeometry &l, const SceneTones &tones)
{
    struct Arc {
        float radius, from, to, width, opacity;  // radius in symbol units, angles in degrees
        float beads[2];                          // angles of the beads; 999 for none
    };
    static const Arc arcs[] = {
        {1.62f, -160, 95, 1.4f, 0.85f, {-28, 999}},
        {2.02f, 120, 385, 1.0f, 0.60f, {200, 318}},
        {2.55f, -210, 40, 1.2f, 0.45f, {-95, 999}},
        {3.30f, 150, 330, 0.9f, 0.32f, {248, 999}},
        {4.30f, 170, 285, 0.8f, 0.22f, {226, 999}},
    };
    const float deg = 0.017453293f;
    for (const Arc &a : arcs) {
        float radius = a.radius * l.r, half = a.width * l.px;
        float reach = radius + 20 * l.px;
        Box box = Clip(p, l.cx, l.cy, reach);
        auto arc = [&](float x, float y) {
            return SdArc(x, y, l.cx, l.cy, radius, a.from * deg, a.to * deg) - half;
        };
        AddGlow(p, box, arc, tones.rim, 0.10f * a.opacity, 6 * l.px);
        FillShape(p, box, arc, [&](float, float, float) { return tones.rim; }, a.opacity * tones.arcOpacity);
        for (float bead : a.beads) {
            if (bead > 900)
                continue;
            float bx = l.cx + radius * cosf(bead * deg), by = l.cy + radius * sinf(bead * deg);
            float br = (3.2f + 2.4f * a.width) * l.px;
            Box bb = Clip(p, bx, by, br + 40 * l.px);
            auto dot = [&](float x, float y) { return SdCircle(x, y, bx, by, br); };
            AddGlow(p, bb, dot, tones.airHot, 0.35f * a.opacity, 7 * l.px);
            FillShape(p, bb, dot, [&](float, float, float) { return Lerp(tones.rim, tones.airHot, 0.6f); },
                      std::min(1.0f, 1.3f * a.opacity));
        }
    }
}

// ----------------------------------------------------------- the disc

void PaintDisc(Picture &p, const SceneGeometry &l, const SceneTones &tones)
{
    float radius = kDiscRadius * l.r;
    Box box = Clip(p, l.cx, l.cy, radius + 60 * l.px);
    auto disc = [&](float x, float y) { return SdCircle(x, y, l.cx, l.cy, radius); };
    // The glass: lighter towards the upper left, where the light comes from.
    FillShape(
        p, box, disc,
        [&](float x, float y, float) {
            float t = Clamp01(hypotf(x - (l.cx - 0.45f * radius), y - (l.cy - 0.55f * radius)) / (1.9f * radius));
            return Lerp(tones.discCentre, tones.discEdge, t);
        },
        tones.discOpacity);
    // The rim: a thin bright line with a little light about it, brighter at the top.
    auto rim = [&](float x, float y) { return fabsf(disc(x, y)) - 1.3f * l.px; };
    AddGlow(p, box, rim, tones.rim, 0.12f, 10 * l.px);
    FillShape(
        p, box, rim,
        [&](float, float y, float) {
            float t = Clamp01((y - (l.cy - radius)) / (2 * radius));
            return Lerp(tones.airHot, tones.rim, 0.35f + 0.65f * t);
        },
        0.9f);
}

void PaintCorners(Picture &p, const SceneGeometry &l, const SceneTones &tones)
{
    float half = hypotf(l.width, l.height) / 2;
    ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
        float r = hypotf(x - 0.56f * l.width, y - 0.46f * l.height) / half;
        Over(c, tones.corner, tones.cornerAmount * SmoothStep(0.45f, 1.15f, r));
    });
}

}  // namespace

std::vector<uint8_t> PaintWallpaper(int color, int width, int height)
{
    const SceneTones &tones = SceneTonesOf(color);
    SceneGeometry l;
    l.width = (float)width;
    l.height = (float)height;
    l.cx = 0.655f * width;
    l.cy = 0.40f * height;
    l.r = 0.205f * height;
    l.px = height / 1280.0f;
    uint32_t seed = 1000u + (uint32_t)color * 7919u;

    Picture p = NewPicture(width, height, tones.skyTop);
    PaintSky(p, l, tones, seed);
    PaintHalo(p, l, tones);
    PaintArcs(p, l, tones);
    PaintAir(p, l, tones, seed + 1, false);
    PaintDisc(p, l, tones);
    PaintSymbol(p, l, color);
    PaintLand(p, l, tones);
    if (tones.landKind == kWaves)
        PaintGlitter(p, l, tones, seed + 2);
    PaintAir(p, l, tones, seed + 1, true);
    PaintCorners(p, l, tones);
    return PictureBytes(p);
}
