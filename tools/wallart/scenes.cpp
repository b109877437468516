// The composition all five wallpapers share, layer by layer from the back:
// sky and mist, the halo, open arcs about the symbol, light in the air, the
// glass disc, the symbol, three bands of land or sea, and a soft edge. Each
// colour fills it with its own tones, its own kind of light in the air and
// its own kind of land.
#include "tools/wallart/scene.h"
#include "tools/wallart/wallart.h"

const char *const kWallColorWords[kWallColors] = {"BLACK", "RED", "WHITE", "BLUE", "GREEN"};

namespace {

enum LandKind { kRidges, kDunes, kSwells, kWaves, kHills };
enum AirKind { kStars, kEmbers, kMotes, kBubbles, kFireflies };

struct Look {
    Color skyTop, skyHorizon;   // the sky from the top edge down to the land
    Color mist;                 // drifting haze, strongest near the land
    float mistAmount;
    Color halo;                 // light about the symbol
    float haloStrength;         // negative: painted over a light sky rather than added
    Color discCentre, discEdge;  // the glass disc behind the symbol
    float discOpacity;
    Color rim;                  // the disc's rim and the arcs
    float arcOpacity;
    Color air, airHot;          // the two ends of the light in the air
    int airKind;
    Color landFar, landNear, landDeep;  // the far band (before haze), the near band, the bottom
    Color landEdge;             // the lit top edge of each band
    int landKind;
    Color corner;               // the soft edge's tone
    float cornerAmount;
};

const Look &LookOf(int color)
{
    static const Look looks[kWallColors] = {
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
    return looks[color];
}

// ------------------------------------------------------------------ sky

void PaintSky(Picture &p, const Layout &l, const Look &look, uint32_t seed)
{
    float horizon = 0.80f * l.height;
    ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
        float t = Clamp01(y / horizon);
        c = Lerp(look.skyTop, look.skyHorizon, t * t * (1.6f - 0.6f * t));
        // Haze in long, flat drifts, thicker towards the land.
        float n = Fractal(x / (0.42f * l.width), y / (0.10f * l.height), 4, seed);
        float drift = SmoothStep(-0.1f, 0.7f, n) * SmoothStep(0.1f * l.height, 0.75f * l.height, y);
        Over(c, look.mist, look.mistAmount * drift);
    });
}

void PaintHalo(Picture &p, const Layout &l, const Look &look)
{
    auto centre = [&](float x, float y) { return SdCircle(x, y, l.cx, l.cy, 0); };
    if (look.haloStrength < 0) {
        // Light cannot brighten an ivory sky much: the halo tints it instead.
        float k = -look.haloStrength;
        AddShade(p, Whole(p), centre, look.halo, k * 0.55f, 0.42f * l.height);
        AddShade(p, Whole(p), centre, look.halo, k * 0.45f, 0.16f * l.height);
        return;
    }
    AddGlow(p, Whole(p), centre, look.halo, look.haloStrength * 0.55f, 0.42f * l.height);
    AddGlow(p, Whole(p), centre, look.halo, look.haloStrength * 0.45f, 0.16f * l.height);
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
void PaintArcs(Picture &p, const Layout &l, const Look &look)
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
        AddGlow(p, box, arc, look.rim, 0.10f * a.opacity, 6 * l.px);
        FillShape(p, box, arc, [&](float, float, float) { return look.rim; }, a.opacity * look.arcOpacity);
        for (float bead : a.beads) {
            if (bead > 900)
                continue;
            float bx = l.cx + radius * cosf(bead * deg), by = l.cy + radius * sinf(bead * deg);
            float br = (3.2f + 2.4f * a.width) * l.px;
            Box bb = Clip(p, bx, by, br + 40 * l.px);
            auto dot = [&](float x, float y) { return SdCircle(x, y, bx, by, br); };
            AddGlow(p, bb, dot, look.airHot, 0.35f * a.opacity, 7 * l.px);
            FillShape(p, bb, dot, [&](float, float, float) { return Lerp(look.rim, look.airHot, 0.6f); },
                      std::min(1.0f, 1.3f * a.opacity));
        }
    }
}

// ----------------------------------------------------------- the disc

void PaintDisc(Picture &p, const Layout &l, const Look &look)
{
    float radius = kDiscRadius * l.r;
    Box box = Clip(p, l.cx, l.cy, radius + 60 * l.px);
    auto disc = [&](float x, float y) { return SdCircle(x, y, l.cx, l.cy, radius); };
    // The glass: lighter towards the upper left, where the light comes from.
    FillShape(
        p, box, disc,
        [&](float x, float y, float) {
            float t = Clamp01(hypotf(x - (l.cx - 0.45f * radius), y - (l.cy - 0.55f * radius)) / (1.9f * radius));
            return Lerp(look.discCentre, look.discEdge, t);
        },
        look.discOpacity);
    // The rim: a thin bright line with a little light about it, brighter at the top.
    auto rim = [&](float x, float y) { return fabsf(disc(x, y)) - 1.3f * l.px; };
    AddGlow(p, box, rim, look.rim, 0.12f, 10 * l.px);
    FillShape(
        p, box, rim,
        [&](float, float y, float) {
            float t = Clamp01((y - (l.cy - radius)) / (2 * radius));
            return Lerp(look.airHot, look.rim, 0.35f + 0.65f * t);
        },
        0.9f);
}

// ------------------------------------------------------- light in the air

struct Speck {
    float x, y, size, heat;  // heat 0..1 from air to airHot
    bool front;              // in front of the land
};

std::vector<Speck> ScatterSpecks(const Layout &l, int count, uint32_t seed, float lowBias)
{
    std::vector<Speck> specks;
    for (int i = 0; i < count; i++) {
        uint32_t n = (uint32_t)i * 8;
        float y = Random01(seed, n + 1);
        // lowBias > 0 gathers the specks towards the bottom.
        y = 1 - powf(1 - y, 1 + lowBias);
        Speck s = {Random01(seed, n) * l.width, y * l.height, Random01(seed, n + 2), Random01(seed, n + 3),
                   Random01(seed, n + 4) < 0.18f};
        specks.push_back(s);
    }
    return specks;
}

void PaintSpeck(Picture &p, const Layout &l, const Look &look, const Speck &s)
{
    Color tone = Lerp(look.air, look.airHot, s.heat);
    float u = l.px;
    switch (look.airKind) {
    case kStars: {
        float r = (0.55f + 1.1f * s.size * s.size) * u;
        float bright = 0.25f + 0.75f * s.heat * s.heat;
        Box box = Clip(p, s.x, s.y, r + 12 * u);
        auto dot = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
        AddGlow(p, box, dot, tone, 0.55f * bright, 1.6f * u);
        FillShape(p, box, dot, [&](float, float, float) { return tone; }, bright);
        break;
    }
    case kEmbers: {
        // A spark rising and drifting: a short tapered streak, hot at its head.
        float len = (2 + 18 * s.size * s.size) * u, r = (0.8f + 1.3f * s.size) * u;
        float tx = s.x + (s.heat - 0.5f) * len * 0.8f, ty = s.y + len;
        Box box = Clip(p, (s.x + tx) / 2, (s.y + ty) / 2, len + 24 * u);
        auto streak = [&](float x, float y) { return SdTaper(x, y, s.x, s.y, r, tx, ty, 0.2f * u); };
        float bright = 0.35f + 0.65f * s.heat;
        AddGlow(p, box, streak, tone, 0.5f * bright, (3 + 4 * s.size) * u);
        FillShape(p, box, streak, [&](float, float, float) { return Lerp(tone, look.airHot, 0.5f); }, bright);
        break;
    }
    case kMotes: {
        // Out-of-focus light: large pale discs with a golden rim, and fine gold dust.
        if (s.size > 0.84f) {
            float r = (12 + 180 * (s.size - 0.84f)) * u;
            Box box = Clip(p, s.x, s.y, r + 2);
            auto disc = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
            FillShape(p, box, disc, [&](float, float, float) { return look.airHot; }, 0.12f + 0.22f * s.heat);
            FillShape(
                p, box, [&](float x, float y) { return fabsf(disc(x, y)) - 0.7f * u; },
                [&](float, float, float) { return look.air; }, 0.10f + 0.12f * s.heat);
        } else {
            float r = (0.5f + 1.1f * s.size) * u;
            Box box = Clip(p, s.x, s.y, r + 4 * u);
            auto dot = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
            FillShape(p, box, dot, [&](float, float, float) { return look.air; }, 0.30f + 0.45f * s.heat);
        }
        break;
    }
    case kBubbles: {
        float r = (2 + 13 * s.size * s.size) * u;
        Box box = Clip(p, s.x, s.y, r + 8 * u);
        auto disc = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
        float strength = 0.35f + 0.4f * s.heat;
        FillShape(p, box, disc, [&](float, float, float) { return tone; }, 0.10f * strength);
        FillShape(
            p, box, [&](float x, float y) { return fabsf(disc(x, y)) - 0.7f * u; },
            [&](float, float, float) { return tone; }, 0.8f * strength);
        float hx = s.x - 0.42f * r, hy = s.y - 0.42f * r, hr = std::max(0.28f * r, 0.8f * u);
        FillShape(
            p, box, [&](float x, float y) { return SdCircle(x, y, hx, hy, hr); },
            [&](float, float, float) { return look.airHot; }, strength);
        break;
    }
    default: {  // kFireflies
        float r = (1.0f + 1.6f * s.size) * u;
        Box box = Clip(p, s.x, s.y, r + 60 * u);
        auto dot = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
        float bright = 0.35f + 0.65f * s.heat;
        AddGlow(p, box, dot, look.air, 0.35f * bright, (5 + 7 * s.size) * u);
        FillShape(p, box, dot, [&](float, float, float) { return look.airHot; }, bright);
        break;
    }
    }
}

struct AirPlan {
    int count;
    float lowBias;
};

AirPlan PlanOf(int kind)
{
    switch (kind) {
    case kStars: return {900, -0.35f};
    case kEmbers: return {170, 1.2f};
    case kMotes: return {300, 0.0f};
    case kBubbles: return {150, 0.6f};
    default: return {150, 0.8f};
    }
}

// ---------------------------------------------------------------- land

// The top edge of band 0 (far), 1 or 2 (near) at x, as a fraction of the
// height below the top.
float LandEdge(int kind, int band, float x, const Layout &l)
{
    float t = x / l.width;
    float base = 0.745f + 0.085f * band;
    float s = 1.0f + 0.35f * band;  // nearer bands roll faster
    uint32_t seed = 77u + (uint32_t)band * 13 + (uint32_t)kind * 101;
    float phase = Random01(seed, 0) * 6.283f, phase2 = Random01(seed, 1) * 6.283f;
    switch (kind) {
    case kRidges: {
        // Mountain ridges: folded noise, whose folds are the peaks.
        float n = 0, amp = 1, freq = 2.6f * s, total = 0;
        for (int k = 0; k < 5; k++) {
            n += amp * (1 - fabsf(ValueNoise(t * freq, 0.5f + band, seed + (uint32_t)k)));
            total += amp;
            amp *= 0.45f;
            freq *= 2.2f;
        }
        n /= total;  // about 0.4 .. 1
        return base + 0.06f - (0.20f - 0.05f * band) * (n - 0.4f) * 1.6f;
    }
    case kDunes: {
        // Dunes lean: the wind side long, the lee side short.
        float a = t * 6.283f * 1.4f * s + phase;
        float skew = a + 0.55f * sinf(a);
        return base - 0.030f * sinf(skew) - 0.012f * sinf(2.3f * a + phase2);
    }
    case kSwells: {
        float a = t * 6.283f * 1.1f * s + phase;
        return base - 0.026f * sinf(a) - 0.010f * sinf(2.7f * a + phase2);
    }
    case kWaves: {
        // The sea: a flat far horizon, a slow swell nearer.
        float a = t * 6.283f * 1.7f * s + phase;
        float swell = 0.004f + 0.005f * band;
        return base + 0.01f - swell * sinf(a) - 0.6f * swell * sinf(2.3f * a + phase2);
    }
    default: {  // kHills
        float a = t * 6.283f * 0.9f * s + phase;
        return base - 0.032f * sinf(a) - 0.014f * sinf(2.1f * a + phase2) -
               0.006f * ValueNoise(t * 14 * s, (float)band, seed);
    }
    }
}

void PaintLand(Picture &p, const Layout &l, const Look &look)
{
    // The edge of a band at each pixel column's centre, and one column beyond
    // each side for the slope.
    std::vector<float> edges(p.width + 2);
    for (int band = 0; band < 3; band++) {
        for (int i = -1; i <= p.width; i++)
            edges[i + 1] = LandEdge(look.landKind, band, i + 0.5f, l) * l.height;
        auto edgeAt = [&](float x) { return edges[(int)x + 1]; };
        // Haze settles in the hollow in front of the bands behind.
        if (band > 0) {
            ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
                float edge = edgeAt(x), rise = 0.09f * l.height;
                if (y > edge - rise && y < edge + 2)
                    Over(c, look.mist, 0.30f * SmoothStep(edge - rise, edge, y));
            });
        }
        float far = (2 - band) / 2.0f;  // 1 for the far band, 0 for the near one
        Color top = Lerp(look.landNear, look.landFar, far);
        top = Lerp(top, look.skyHorizon, 0.30f * far);
        Color bottom = Lerp(look.landDeep, top, 0.35f * far);
        ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
            float edge = edgeAt(x);
            if (y < edge - 2)
                return;
            float slope = (edges[(int)x + 2] - edges[(int)x]) / 2;
            float d = (edge - y) / sqrtf(1 + slope * slope);
            float cover = Clamp01(0.5f - d);
            if (cover <= 0)
                return;
            float depth = y - edge;
            Color body = Lerp(top, bottom, SmoothStep(0, 0.22f * l.height, depth));
            // The edge catches the light of the symbol: most right below it.
            float lit = expf(-fabsf(x - l.cx) / (0.35f * l.width)) * (0.55f + 0.45f * far);
            float rim = 1 - SmoothStep(1.2f * l.px, 3.5f * l.px, depth);
            float sheen = 1 - SmoothStep(0, 0.05f * l.height, depth);
            body = Lerp(body, look.landEdge, 0.16f * sheen * lit);
            body = Lerp(body, look.landEdge, 0.85f * rim * lit * (0.45f + 0.55f * lit));
            Over(c, body, cover);
        });
    }
}

// A shine on the water below the symbol: short bright strokes on the swell,
// thinning out to the sides.
void PaintGlitter(Picture &p, const Layout &l, const Look &look, uint32_t seed)
{
    for (int i = 0; i < 200; i++) {
        uint32_t n = (uint32_t)i * 5;
        float row = Random01(seed, n);  // 0 at the horizon, 1 at the bottom
        float y = (0.785f + 0.20f * row) * l.height;
        float spread = (0.03f + 0.16f * row) * l.width;
        float x = l.cx + (Random01(seed, n + 1) + Random01(seed, n + 2) - 1) * spread;
        float len = (3 + 30 * row * row) * l.px * (0.4f + Random01(seed, n + 3));
        float fade = expf(-fabsf(x - l.cx) / (0.5f * spread + 1)) * (0.35f + 0.65f * Random01(seed, n + 4));
        Box box = Clip(p, x, y, len + 10 * l.px);
        auto stroke = [&](float px, float py) {
            return SdSegment(px, py, x - len, y, x + len, y) - (0.5f + 0.6f * row) * l.px;
        };
        AddGlow(p, box, stroke, look.landEdge, 0.22f * fade, 3 * l.px);
        FillShape(p, box, stroke, [&](float, float, float) { return look.airHot; }, 0.7f * fade);
    }
}

void PaintCorners(Picture &p, const Layout &l, const Look &look)
{
    float half = hypotf(l.width, l.height) / 2;
    ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
        float r = hypotf(x - 0.56f * l.width, y - 0.46f * l.height) / half;
        Over(c, look.corner, look.cornerAmount * SmoothStep(0.45f, 1.15f, r));
    });
}

}  // namespace

std::vector<uint8_t> PaintWallpaper(int color, int width, int height)
{
    const Look &look = LookOf(color);
    Layout l;
    l.width = (float)width;
    l.height = (float)height;
    l.cx = 0.655f * width;
    l.cy = 0.40f * height;
    l.r = 0.205f * height;
    l.px = height / 1280.0f;
    uint32_t seed = 1000u + (uint32_t)color * 7919u;

    Picture p = NewPicture(width, height, look.skyTop);
    PaintSky(p, l, look, seed);
    PaintHalo(p, l, look);
    PaintArcs(p, l, look);
    AirPlan plan = PlanOf(look.airKind);
    std::vector<Speck> specks = ScatterSpecks(l, plan.count, seed + 1, plan.lowBias);
    if (look.airKind == kEmbers) {
        // A third of the sparks rise from the flame, spreading as they climb.
        for (size_t i = 0; i < specks.size() * 3 / 10; i++) {
            Speck &s = specks[i];
            float top = l.cy + 0.2f * l.r;
            float climb = Random01(seed + 3, (uint32_t)i);
            s.y = top * (1 - climb);
            float spread = 0.25f * l.r + 1.6f * climb * climb * l.r;
            s.x = l.cx + (Random01(seed + 4, (uint32_t)i) + Random01(seed + 5, (uint32_t)i) - 1) * spread;
            s.front = false;
        }
    }
    for (const Speck &s : specks)
        if (!s.front)
            PaintSpeck(p, l, look, s);
    PaintDisc(p, l, look);
    PaintSymbol(p, l, color);
    PaintLand(p, l, look);
    if (look.landKind == kWaves)
        PaintGlitter(p, l, look, seed + 2);
    // Embers and fireflies also drift in front of the land.
    if (look.airKind == kEmbers || look.airKind == kFireflies)
        for (const Speck &s : specks)
            if (s.front)
                PaintSpeck(p, l, look, s);
    PaintCorners(p, l, look);
    return PictureBytes(p);
}
