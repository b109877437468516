// The desktop objects' icons of each colour: computer, network and the bin,
// full and empty. Each is drawn on a 48-unit grid and rendered at every size
// Explorer asks for at 100 to 200 %: 16 to 64 pixels with alpha (32 bits), 48,
// 32 and 16 also in 256 colours, and 256 pixels with alpha, compressed, for
// the large views (the system scales it down for the sizes between).
#include "tools/content/emblems.h"
#include "tools/content/preview.h"

namespace {

// What one picture is drawn with: the scale from the 48-unit grid to pixels
// and the colour's tones.
struct Kit {
    float s;
    int color;
    ColorTones tones;
    Rgba plastic, plasticDark, edge;
};

Kit MakeKit(int color, int size)
{
    Kit k;
    k.s = size / 48.0f;
    k.color = color;
    k.tones = TonesOf(color);
    bool dark = color == kBlack;
    k.plastic = dark ? Hex(0x5A5664) : Hex(0xECEAE4);
    k.plasticDark = dark ? Hex(0x2C2A32) : Hex(0xB4B0A8);
    // Dark outlines for the light colours; the black set is edged in light
    // grey so it stands out on dark wallpapers.
    k.edge = dark ? Hex(0xA8A2B4) : Scale(k.tones.deep, 0.55f);
    return k;
}

// The screen of a monitor: the colour's face with its symbol and a gloss.
void Screen(Canvas &c, const Kit &k, float cx, float cy, float hw, float hh, bool symbol)
{
    float s = k.s;
    FillShape(
        c, [=](float x, float y) { return SdBox(x, y, cx * s, cy * s, hw * s, hh * s, 1.2f * s); },
        [=](float x, float y) {
            float t = Clamp01(((x / s - cx) / hw + (y / s - cy) / hh) * 0.35f + 0.5f);
            return Mix(k.tones.light, k.tones.dark, t);
        });
    if (symbol) {
        float r = hh * 0.80f * s;
        FillShape(
            c, [=](float x, float y) { return SymbolDistance(k.color, (x - cx * s) / r, (y - cy * s) / r) * r; },
            [=](float, float) { return k.color == kWhite ? k.tones.symbol : WithAlpha(k.tones.symbol, 0.92f); });
    }
    // A gloss over the upper left half of the glass.
    FillShape(
        c,
        [=](float x, float y) {
            float glass = SdBox(x, y, cx * s, cy * s, hw * s, hh * s, 1.2f * s);
            float diagonal = ((x / s - cx) * 0.45f + (y / s - cy)) * s;
            return std::max(glass, diagonal);
        },
        [](float, float) { return Hex(0xFFFFFF, 0.16f); });
}

// A monitor on a stand, centred at (cx, cy) with half sizes hw, hh.
void Monitor(Canvas &c, const Kit &k, float cx, float cy, float hw, float hh, bool symbol)
{
    float s = k.s;
    float neck[8] = {(cx - hw * 0.22f) * s, (cy + hh) * s, (cx + hw * 0.22f) * s, (cy + hh) * s,
                     (cx + hw * 0.32f) * s, (cy + hh * 1.32f) * s, (cx - hw * 0.32f) * s, (cy + hh * 1.32f) * s};
    auto paintPlastic = [=](float, float y) {
        return Mix(k.plastic, k.plasticDark, Clamp01((y / s - (cy - hh)) / (hh * 2.8f)));
    };
    auto base = [=](float x, float y) {
        return SdBox(x, y, cx * s, (cy + hh * 1.40f) * s, hw * 0.58f * s, hh * 0.13f * s, hh * 0.12f * s);
    };
    auto bezel = [=](float x, float y) { return SdBox(x, y, cx * s, cy * s, hw * s, hh * s, 2.6f * s); };
    float edge = std::max(0.7f, 1.0f * s);
    auto part = [&](auto shape) {
        FillSolid(c, [=](float x, float y) { return shape(x, y) - edge; }, k.edge);
        FillShape(c, shape, paintPlastic);
    };
    part([=](float x, float y) { return SdPolygon(x, y, neck, 4); });
    part(base);
    part(bezel);
    // A light edge along the top of the bezel.
    FillShape(
        c, [=](float x, float y) { return std::max(fabsf(bezel(x, y) + 0.9f * s) - 0.45f * s, y - (cy - hh * 0.3f) * s); },
        [](float, float) { return Hex(0xFFFFFF, 0.55f); });
    Screen(c, k, cx, cy - hh * 0.06f, hw - 3.2f, hh - 3.4f, symbol);
    // The power lamp.
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, (cx + hw - 2.6f) * s, (cy + hh - 1.7f) * s, 0.85f * s); },
              k.color == kWhite ? Hex(0x3CC850) : k.tones.light);
}

Pixels Computer(int color, int size)
{
    Kit k = MakeKit(color, size);
    Canvas c = NewCanvas(size, size, IconFactor(size));
    Monitor(c, k, 24, 19, 20.5f, 15.5f, true);
    AddShadow(c, 0.8f * k.s, 1.4f * k.s, 1.6f * k.s, 0.45f);
    return Finish(c);
}

Pixels Network(int color, int size)
{
    Kit k = MakeKit(color, size);
    float s = k.s;
    Canvas c = NewCanvas(size, size, IconFactor(size));
    const float gx = 24, gy = 14.5f, gr = 12.5f;
    // Cables from the globe to the two computers.
    for (float tx : {11.0f, 37.0f})
        FillSolid(
            c, [=](float x, float y) { return SdSegment(x, y, gx * s, (gy + 6) * s, tx * s, 33 * s) - 1.1f * s; },
            Scale(k.edge, 0.9f));
    Monitor(c, k, 11, 33, 9.5f, 7.5f, false);
    Monitor(c, k, 37, 33, 9.5f, 7.5f, false);
    // The globe: a lit ball in the colour with its grid of meridians and parallels.
    FillSolid(c, [=](float x, float y) { return SdCircle(x, y, gx * s, gy * s, (gr + 0.9f) * s); }, k.edge);
    Rgba ball = color == kWhite ? Hex(0xE8DCB8) : k.tones.main;
    FillShape(
        c, [=](float x, float y) { return SdCircle(x, y, gx * s, gy * s, gr * s); },
        [=](float x, float y) { return SpherePaint(x, y, gx * s, gy * s, gr * s, ball); });
    Rgba line = color == kWhite ? WithAlpha(k.tones.deep, 0.55f) : Hex(0xFFFFFF, 0.45f);
    float w = std::max(0.45f, 0.55f * s);
    auto inside = [=](float x, float y) { return SdCircle(x, y, gx * s, gy * s, (gr - 0.4f) * s); };
    FillSolid(c, [=](float x, float y) { return std::max(fabsf(SdEllipse(x, y, gx * s, gy * s, gr * s, 4.2f * s)) - w, inside(x, y)); }, line);
    FillSolid(c, [=](float x, float y) { return std::max(fabsf(SdEllipse(x, y, gx * s, gy * s, 5.5f * s, gr * s)) - w, inside(x, y)); }, line);
    FillSolid(c, [=](float x, float y) { return std::max(fabsf(x - gx * s) - w, inside(x, y)); }, line);
    FillSolid(c, [=](float x, float y) { return std::max(fabsf(y - gy * s) - w, inside(x, y)); }, line);
    AddShadow(c, 0.8f * s, 1.4f * s, 1.6f * s, 0.45f);
    return Finish(c);
}

// A crumpled sheet: an uneven wad of paper, its facets lit differently.
void Wad(Canvas &c, float s, float cx, float cy, float r, int seed)
{
    static const float kReach[9] = {1.0f, 0.82f, 0.97f, 0.86f, 1.04f, 0.80f, 0.94f, 0.88f, 1.0f};
    float points[18];
    for (int i = 0; i < 9; i++) {
        float a = (i * 40 + seed * 17) / 57.29578f;
        float reach = r * kReach[(i + seed) % 9];
        points[2 * i] = (cx + reach * cosf(a)) * s;
        points[2 * i + 1] = (cy + reach * sinf(a)) * s;
    }
    FillSolid(c, [=](float x, float y) { return SdPolygon(x, y, points, 9) - 0.7f * s; }, Hex(0x5E5A54));
    FillShape(
        c, [=](float x, float y) { return SdPolygon(x, y, points, 9); },
        [=](float x, float y) {
            float a = atan2f(y - cy * s, x - cx * s) * 57.29578f + 360 - seed * 17;
            int facet = (int)(a / 40) % 9;
            static const float kLight[9] = {0.80f, 0.90f, 0.97f, 1.0f, 0.93f, 0.84f, 0.76f, 0.72f, 0.78f};
            return Scale(Hex(0xFCFBF6), kLight[facet]);
        });
    for (int i = 0; i < 9; i += 3) {
        float ax = points[2 * i], ay = points[2 * i + 1];
        FillSolid(c, [=](float x, float y) { return SdSegment(x, y, cx * s, cy * s, ax, ay) - 0.28f * s; },
                  Hex(0x8C887E, 0.7f));
    }
}

// A flat sheet standing up out of the bin, with lines of writing.
void Sheet(Canvas &c, float s, float cx, float cy, float turn)
{
    float ca = cosf(turn / 57.29578f), sa = sinf(turn / 57.29578f);
    auto local = [=](float x, float y, float *u, float *v) {
        float dx = x / s - cx, dy = y / s - cy;
        *u = dx * ca + dy * sa;
        *v = -dx * sa + dy * ca;
    };
    auto sheet = [=](float x, float y) {
        float u, v;
        local(x, y, &u, &v);
        return SdBox(u, v, 0, 0, 5.2f, 7.5f, 0.4f) * s;
    };
    FillSolid(c, [=](float x, float y) { return sheet(x, y) - 0.7f * s; }, Hex(0x5E5A54));
    FillSolid(c, sheet, Hex(0xFCFBF6));
    for (int line = 0; line < 4; line++)
        FillSolid(
            c,
            [=](float x, float y) {
                float u, v;
                local(x, y, &u, &v);
                return SdBox(u, v, line == 3 ? -1.2f : 0, -5 + line * 2.4f, line == 3 ? 2.6f : 3.8f, 0.45f) * s;
            },
            Hex(0x8A94A8));
}

Pixels Bin(int color, int size, bool full)
{
    Kit k = MakeKit(color, size);
    float s = k.s;
    Canvas c = NewCanvas(size, size, IconFactor(size));
    const float top = 14, bottom = 45, cx = 24, topHalf = 14, bottomHalf = 10.5f, rimY = 3.4f;
    float body[8] = {(cx - topHalf) * s, top * s, (cx + topHalf) * s, top * s,
                     (cx + bottomHalf) * s, bottom * s, (cx - bottomHalf) * s, bottom * s};
    Rgba light = color == kBlack ? Hex(0x6E6878) : color == kWhite ? Hex(0xF4F0E4) : k.tones.light;
    Rgba mid = color == kBlack ? Hex(0x3A3642) : color == kWhite ? Hex(0xD6CCB0) : k.tones.main;
    Rgba dark = color == kBlack ? Hex(0x16141A) : color == kWhite ? Hex(0x9A8C6A) : k.tones.dark;
    // Round shading across the can: light a third of the way in, dark at the sides.
    auto can = [=](float x, float) {
        float t = (x / s - (cx - topHalf)) / (2 * topHalf);
        float lit = expf(-(t - 0.36f) * (t - 0.36f) / 0.05f);
        Rgba side = Mix(dark, mid, SmoothStep(0.0f, 0.35f, std::min(t, 1 - t)));
        return Mix(side, light, 0.75f * lit);
    };
    float edge = std::max(0.7f, 1.0f * s);
    FillSolid(c, [=](float x, float y) { return SdPolygon(x, y, body, 4) - edge; }, k.edge);
    FillShape(c, [=](float x, float y) { return SdPolygon(x, y, body, 4); }, can);
    // Ribs down the can.
    for (float f : {-0.62f, -0.2f, 0.2f, 0.62f}) {
        float ax = cx + f * topHalf, bx = cx + f * bottomHalf;
        FillSolid(c, [=](float x, float y) { return SdSegment(x, y, ax * s, (top + 4) * s, bx * s, (bottom - 3) * s) - 0.55f * s; },
                  WithAlpha(dark, 0.55f));
        FillSolid(c, [=](float x, float y) { return SdSegment(x, y, (ax + 0.9f) * s, (top + 4) * s, (bx + 0.7f) * s, (bottom - 3) * s) - 0.35f * s; },
                  Hex(0xFFFFFF, 0.25f));
    }
    // The colour's symbol on the front of the can.
    float sr = 6.2f * s, sy = 30.5f;
    FillShape(c, [=](float x, float y) { return SymbolDistance(k.color, (x - cx * s) / sr, (y - sy * s) / sr) * sr; },
              [=](float, float) { return color == kWhite ? WithAlpha(k.tones.symbol, 0.95f) : Hex(0xFFFFFF, 0.85f); });
    // Rim and opening.
    FillSolid(c, [=](float x, float y) { return SdEllipse(x, y, cx * s, top * s, (topHalf + 1.6f) * s, (rimY + 1.0f) * s) - edge; }, k.edge);
    FillShape(c, [=](float x, float y) { return SdEllipse(x, y, cx * s, top * s, (topHalf + 1.6f) * s, (rimY + 1.0f) * s); },
              [=](float x, float y) { return Mix(light, mid, Clamp01((y / s - top + 3) / 6 + 0.2f * fabsf(x / s - cx) / topHalf)); });
    FillShape(c, [=](float x, float y) { return SdEllipse(x, y, cx * s, (top + 0.3f) * s, (topHalf - 0.6f) * s, (rimY - 0.7f) * s); },
              [=](float, float y) { return Mix(Scale(dark, 0.35f), Scale(dark, 0.7f), Clamp01((y / s - top + 2.7f) / 5.4f)); });
    if (full) {
        Sheet(c, s, 28.5f, 8.6f, 16);
        Wad(c, s, 17.5f, 10.5f, 5.6f, 1);
        Wad(c, s, 26.5f, 12.0f, 4.8f, 5);
        // The front of the rim over the papers.
        FillShape(
            c,
            [=](float x, float y) {
                float ring = std::max(SdEllipse(x, y, cx * s, top * s, (topHalf + 1.6f) * s, (rimY + 1.0f) * s),
                                      -SdEllipse(x, y, cx * s, (top + 0.3f) * s, (topHalf - 0.6f) * s, (rimY - 0.7f) * s));
                return std::max(ring, top * s - y);
            },
            [=](float, float) { return mid; });
    }
    AddShadow(c, 0.8f * s, 1.4f * s, 1.6f * s, 0.45f);
    return Finish(c);
}

}  // namespace

void MakeDesktopIcons(PreviewSheet *sheet)
{
    struct Object {
        const char *file;
        Pixels (*draw)(int color, int size);
    };
    static const Object objects[] = {
        {"Computer", Computer},
        {"Network", Network},
        {"BinFull", [](int color, int size) { return Bin(color, size, true); }},
        {"BinEmpty", [](int color, int size) { return Bin(color, size, false); }},
    };
    for (int color = 0; color < kThemeCount; color++)
        for (const Object &object : objects) {
            std::vector<IconImage> images;
            for (int size : {48, 32, 16, 20, 24, 40, 64})
                images.push_back({object.draw(color, size), 32, 0, 0});
            for (int k = 0; k < 3; k++)  // 48, 32 and 16 in 256 colours
                images.push_back({images[k].pixels, 8, 0, 0});
            images.push_back({object.draw(color, 256), 32, 0, 0, true});
            SaveFile(std::string("Zorva\\") + kColorWords[color] + "\\" + object.file + ".ico",
                     IconFileBytes(images, false));
            for (int k : {0, 1, 2})  // 48, 32, 16
                AddPreview(sheet, object.file, images[k].pixels);
            AddPreview(sheet, object.file, images.back().pixels);
            AddPreview(sheet, object.file, StoredLook(images[0].pixels, 8));
        }
}
