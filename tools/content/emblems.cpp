// The symbols of the five colours, as distance functions, and the coin that
// carries one: sun for white, drop for blue, crescent moon for black, flame for
// red, tree for green.
#include "tools/content/emblems.h"

const char *const kColorWords[kThemeCount] = {"BLACK", "RED", "WHITE", "BLUE", "GREEN"};

const ColorTones &TonesOf(int color)
{
    static const ColorTones tones[kThemeCount] = {
        {Hex(0x8A8098), Hex(0x4A4256), Hex(0x241F2C), Hex(0x0E0C12), Hex(0xECE8F4), Hex(0x000000), Hex(0xFFFFFF)},
        {Hex(0xFF9A70), Hex(0xD8402A), Hex(0x9A1812), Hex(0x520806), Hex(0xFFE08A), Hex(0xFF0000), Hex(0xFFFF00)},
        {Hex(0xFFFFFA), Hex(0xF2ECDA), Hex(0xC8B890), Hex(0x8A7650), Hex(0xD49A28), Hex(0xFFFFFF), Hex(0x808000)},
        {Hex(0x8CC8FF), Hex(0x2E7ED8), Hex(0x164C9C), Hex(0x0A2456), Hex(0xF0F8FF), Hex(0x0000FF), Hex(0xFFFFFF)},
        {Hex(0x9ADC8A), Hex(0x3C9C48), Hex(0x1E6428), Hex(0x0C3012), Hex(0xF2FCE8), Hex(0x008000), Hex(0xFFFFFF)},
    };
    return tones[color];
}

static float Sun(float u, float v)
{
    float d = SdCircle(u, v, 0, 0, 0.30f);
    for (int k = 0; k < 12; k++) {
        float angle = (k * 30.0f) / 57.29578f;
        float reach = k % 2 ? 0.66f : 0.84f;
        float half = k % 2 ? 0.085f : 0.11f;
        float ca = cosf(angle), sa = sinf(angle);
        // A ray: a thin triangle from the disc's edge outwards.
        float base = 0.38f;
        float tri[6] = {ca * base - sa * half, sa * base + ca * half, ca * base + sa * half, sa * base - ca * half,
                        ca * reach, sa * reach};
        d = std::min(d, SdPolygon(u, v, tri, 3) - 0.015f);
    }
    return d;
}

static float Drop(float u, float v)
{
    const float cy = 0.22f, r = 0.46f, tipY = -0.80f;
    float dist = cy - tipY;
    float cosA = r / dist, sinA = sqrtf(1 - cosA * cosA);
    float tri[6] = {0, tipY, r * sinA, cy - r * cosA, -r * sinA, cy - r * cosA};
    float body = std::min(SdCircle(u, v, 0, cy, r), SdPolygon(u, v, tri, 3));
    // A curved glint cut out of the body, low on the left.
    float glint = SdArc(u, v, 0, cy, 0.28f, 100, 175) - 0.055f;
    return std::max(body, -glint);
}

static float Moon(float u, float v)
{
    float crescent = std::max(SdCircle(u, v, -0.08f, 0.04f, 0.66f), -SdCircle(u, v, 0.24f, -0.14f, 0.54f));
    // A four-pointed star in the crescent's arms.
    const float sx = 0.40f, sy = 0.24f, a = 0.24f, b = 0.065f;
    float star[16] = {sx, sy - a, sx + b, sy - b, sx + a, sy, sx + b, sy + b,
                      sx, sy + a, sx - b, sy + b, sx - a, sy, sx - b, sy - b};
    return std::min(crescent, SdPolygon(u, v, star, 8));
}

static float Flame(float u, float v)
{
    static const float outline[] = {
        0.04f, -0.88f, 0.20f, -0.64f, 0.30f, -0.46f, 0.44f, -0.62f, 0.52f, -0.30f, 0.56f, 0.02f,
        0.52f, 0.30f,  0.38f, 0.54f,  0.16f, 0.68f,  -0.12f, 0.68f, -0.36f, 0.56f, -0.52f, 0.32f,
        -0.56f, 0.04f, -0.48f, -0.22f, -0.42f, -0.50f, -0.26f, -0.30f, -0.16f, -0.50f, -0.06f, -0.72f,
    };
    float outer = SdPolygon(u, v, outline, (int)(sizeof outline / sizeof outline[0]) / 2) - 0.04f;
    // The hollow core, a small flame of its own.
    const float cy = 0.36f, r = 0.21f, tipY = -0.12f;
    float dist = cy - tipY;
    float cosA = r / dist, sinA = sqrtf(1 - cosA * cosA);
    float tri[6] = {0.02f, tipY, r * sinA, cy - r * cosA, -r * sinA, cy - r * cosA};
    float core = std::min(SdCircle(u, v, 0, cy, r), SdPolygon(u, v, tri, 3));
    return std::max(outer, -core);
}

static float Tree(float u, float v)
{
    // A round crown of five overlapping clumps.
    float crown = SdCircle(u, v, 0, -0.40f, 0.34f);
    crown = std::min(crown, SdCircle(u, v, -0.34f, -0.18f, 0.28f));
    crown = std::min(crown, SdCircle(u, v, 0.34f, -0.18f, 0.28f));
    crown = std::min(crown, SdCircle(u, v, -0.20f, 0.10f, 0.26f));
    crown = std::min(crown, SdCircle(u, v, 0.20f, 0.10f, 0.26f));
    // A trunk that widens into roots, on a strip of ground.
    float trunk[8] = {-0.08f, 0.20f, 0.08f, 0.20f, 0.17f, 0.74f, -0.17f, 0.74f};
    float ground = SdBox(u, v, 0, 0.76f, 0.48f, 0.055f, 0.055f);
    return std::min(std::min(crown, SdPolygon(u, v, trunk, 4)), ground);
}

float SymbolDistance(int color, float u, float v)
{
    switch (color) {
    case kWhite: return Sun(u, v);
    case kBlue: return Drop(u, v);
    case kBlack: return Moon(u, v);
    case kRed: return Flame(u, v);
    default: return Tree(u, v);
    }
}

// The coin in plain standard colours: black edge, silver ring, the face and
// the symbol each in one colour.
static void DrawFlatEmblem(Canvas &c, int color, float cx, float cy, float r)
{
    const ColorTones &tones = TonesOf(color);
    float ring = r * 0.86f, sr = ring * 0.80f;
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, cx, cy, r); }, Hex(0x000000));
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, cx, cy, r - 1.2f); }, Hex(0xC0C0C0));
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, cx, cy, ring + 0.6f); }, Hex(0x808080));
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, cx, cy, ring - 0.6f); }, tones.flatFace);
    FillSolid(
        c, [=](float x, float y) { return SymbolDistance(color, (x - cx) / sr, (y - cy) / sr) * sr; },
        tones.flatSymbol);
}

void DrawEmblem(Canvas &c, int color, float cx, float cy, float r, bool flat)
{
    if (flat) {
        DrawFlatEmblem(c, color, cx, cy, r);
        return;
    }
    const ColorTones &tones = TonesOf(color);
    float x0 = cx - r - 1, y0 = cy - r - 1, x1 = cx + r + 1, y1 = cy + r + 1;
    auto disc = [=](float x, float y) { return SdCircle(x, y, cx, cy, r); };
    // Dark outline, then the metal ring lit from the upper left.
    FillShape(c, disc, [](float, float) { return Hex(0x2A2830); }, 1, x0, y0, x1, y1);
    float ring = r * 0.90f;
    FillShape(
        c, [=](float x, float y) { return SdCircle(x, y, cx, cy, r - r * 0.05f); },
        [=](float x, float y) {
            float t = Clamp01(((x - cx) + (y - cy)) / (2 * r) + 0.5f);
            return Mix(Hex(0xF4F2EE), Hex(0x6E6A72), t);
        },
        1, x0, y0, x1, y1);
    // The face: the colour, lit from the upper left, darker at the rim.
    FillShape(
        c, [=](float x, float y) { return SdCircle(x, y, cx, cy, ring); },
        [=](float x, float y) {
            float dx = (x - cx) / ring, dy = (y - cy) / ring;
            float t = Clamp01(hypotf(dx + 0.35f, dy + 0.45f) / 1.6f);
            Rgba face = t < 0.5f ? Mix(tones.light, tones.main, t * 2) : Mix(tones.main, tones.dark, (t - 0.5f) * 2);
            return face;
        },
        1, x0, y0, x1, y1);
    // The inner edge of the ring casts a thin shade onto the face.
    FillShape(
        c, [=](float x, float y) { return fabsf(SdCircle(x, y, cx, cy, ring)) - r * 0.025f; },
        [](float, float) { return Hex(0x000000, 0.35f); }, 1, x0, y0, x1, y1);
    // The symbol, engraved: a dark offset copy under a lit one.
    float sr = ring * 0.80f;
    auto symbol = [=](float x, float y) { return SymbolDistance(color, (x - cx) / sr, (y - cy) / sr) * sr; };
    float off = r * 0.05f;
    FillShape(
        c, [=](float x, float y) { return symbol(x - off, y - off); }, [=](float, float) { return tones.deep; }, 0.55f,
        x0, y0, x1, y1);
    FillShape(
        c, symbol,
        [=](float, float y) {
            float t = Clamp01((y - cy) / (2 * sr) + 0.5f);
            return Mix(Scale(tones.symbol, 1.08f), Scale(tones.symbol, 0.86f), t);
        },
        1, x0, y0, x1, y1);
}
