// The land or sea in front of each wallpaper: three bands, far to near, each
// edge a profile of the colour's kind (ridges, dunes, swells, sea, hills), lit
// where it passes below the symbol, with haze settling in front of the bands
// behind; and for the sea, a shine of short strokes below the symbol.
#include "tools/wallart/scene.h"

namespace {

// The top edge of band 0 (far), 1 or 2 (near) at x, as a fraction of the
// height below the top.
float LandEdge(int kind, int band, float x, const SceneGeometry &l)
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

}  // namespace

void PaintLand(Picture &p, const SceneGeometry &l, const SceneTones &tones)
{
    // The edge of a band at each pixel column's centre, and one column beyond
    // each side for the slope.
    std::vector<float> edges(p.width + 2);
    for (int band = 0; band < 3; band++) {
        for (int i = -1; i <= p.width; i++)
            edges[i + 1] = LandEdge(tones.landKind, band, i + 0.5f, l) * l.height;
        auto edgeAt = [&](float x) { return edges[(int)x + 1]; };
        // Haze settles in the hollow in front of the bands behind.
        if (band > 0) {
            ForEachPixel(p, Whole(p), [&](float x, float y, Color &c) {
                float edge = edgeAt(x), rise = 0.09f * l.height;
                if (y > edge - rise && y < edge + 2)
                    Over(c, tones.mist, 0.30f * SmoothStep(edge - rise, edge, y));
            });
        }
        float far = (2 - band) / 2.0f;  // 1 for the far band, 0 for the near one
        Color top = Lerp(tones.landNear, tones.landFar, far);
        top = Lerp(top, tones.skyHorizon, 0.30f * far);
        Color bottom = Lerp(tones.landDeep, top, 0.35f * far);
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
            body = Lerp(body, tones.landEdge, 0.16f * sheen * lit);
            body = Lerp(body, tones.landEdge, 0.85f * rim * lit * (0.45f + 0.55f * lit));
            Over(c, body, cover);
        });
    }
}

// A shine on the water below the symbol: short bright strokes on the swell,
// thinning out to the sides.
void PaintGlitter(Picture &p, const SceneGeometry &l, const SceneTones &tones, uint32_t seed)
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
        AddGlow(p, box, stroke, tones.landEdge, 0.22f * fade, 3 * l.px);
        FillShape(p, box, stroke, [&](float, float, float) { return tones.airHot; }, 0.7f * fade);
    }
}

