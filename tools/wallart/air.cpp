// The light in the air of each wallpaper: stars at night, sparks rising from
// the flame, out-of-focus motes in the ivory morning, bubbles in the deep
// water, fireflies in the forest. Each is a speck placed by the hash, drawn
// with a crisp core and a glow.
#include "tools/wallart/scene.h"

namespace {

struct Speck {
    float x, y, size, heat;  // heat 0..1 from air to airHot
    bool front;              // in front of the land
};

std::vector<Speck> ScatterSpecks(const SceneGeometry &l, int count, uint32_t seed, float lowBias)
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

void PaintSpeck(Picture &p, const SceneGeometry &l, const SceneTones &tones, const Speck &s)
{
    Color tone = Lerp(tones.air, tones.airHot, s.heat);
    float u = l.px;
    switch (tones.airKind) {
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
        FillShape(p, box, streak, [&](float, float, float) { return Lerp(tone, tones.airHot, 0.5f); }, bright);
        break;
    }
    case kMotes: {
        // Out-of-focus light: large pale discs with a golden rim, and fine gold dust.
        if (s.size > 0.84f) {
            float r = (12 + 180 * (s.size - 0.84f)) * u;
            Box box = Clip(p, s.x, s.y, r + 2);
            auto disc = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
            FillShape(p, box, disc, [&](float, float, float) { return tones.airHot; }, 0.12f + 0.22f * s.heat);
            FillShape(
                p, box, [&](float x, float y) { return fabsf(disc(x, y)) - 0.7f * u; },
                [&](float, float, float) { return tones.air; }, 0.10f + 0.12f * s.heat);
        } else {
            float r = (0.5f + 1.1f * s.size) * u;
            Box box = Clip(p, s.x, s.y, r + 4 * u);
            auto dot = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
            FillShape(p, box, dot, [&](float, float, float) { return tones.air; }, 0.30f + 0.45f * s.heat);
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
            [&](float, float, float) { return tones.airHot; }, strength);
        break;
    }
    default: {  // kFireflies
        float r = (1.0f + 1.6f * s.size) * u;
        Box box = Clip(p, s.x, s.y, r + 60 * u);
        auto dot = [&](float x, float y) { return SdCircle(x, y, s.x, s.y, r); };
        float bright = 0.35f + 0.65f * s.heat;
        AddGlow(p, box, dot, tones.air, 0.35f * bright, (5 + 7 * s.size) * u);
        FillShape(p, box, dot, [&](float, float, float) { return tones.airHot; }, bright);
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

}  // namespace

void PaintAir(Picture &p, const SceneGeometry &l, const SceneTones &tones, uint32_t seed, bool front)
{
    // Only sparks and fireflies drift in front of the land.
    if (front && tones.airKind != kEmbers && tones.airKind != kFireflies)
        return;
    AirPlan plan = PlanOf(tones.airKind);
    std::vector<Speck> specks = ScatterSpecks(l, plan.count, seed, plan.lowBias);
    if (tones.airKind == kEmbers) {
        // A third of the sparks rise from the flame, spreading as they climb.
        for (size_t i = 0; i < specks.size() * 3 / 10; i++) {
            Speck &s = specks[i];
            float top = l.cy + 0.2f * l.r;
            float climb = Random01(seed + 2, (uint32_t)i);
            s.y = top * (1 - climb);
            float spread = 0.25f * l.r + 1.6f * climb * climb * l.r;
            s.x = l.cx + (Random01(seed + 3, (uint32_t)i) + Random01(seed + 4, (uint32_t)i) - 1) * spread;
            s.front = false;
        }
    }
    for (const Speck &s : specks)
        if (s.front == front)
            PaintSpeck(p, l, tones, s);
}
