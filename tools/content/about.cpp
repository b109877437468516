// The About picture (500 x 412, 8 bits, 256-entry colour table) and the
// palette file the About box draws it through. The picture is painted in full
// colour, reduced to at most kAboutColors colours with error diffusion, and
// the palette file lists exactly the colours the picture uses, in the order of
// its colour table, each with the full eight-level path of its own bits.
#include "tools/content/emblems.h"
#include "tools/content/preview.h"
#include "tools/content/text.h"

#include <stdio.h>

constexpr int kAboutWidth = 500, kAboutHeight = 412;
// 256 less the 20 colours a palette display keeps for itself.
constexpr int kAboutColors = 236;

static const char kTitle[] = "DESKTOP QUENNEL";
static const char kTagline[] = "Five colours for your desktop";
static const char kColorsLine[] = "Black, red, white, blue and green: wallpaper, colours, fonts, icons,";
static const char kColorsLine2[] = "cursors, sounds and screen saver in one click.";
static const char kCredits[] = "Desktop Quennel  \xB7  made by the Desktop Quennel team";

// A small deterministic generator for the star field.
static uint32_t NextRandom(uint32_t *state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

static void PaintSky(Canvas &c)
{
    const float cx = 250, cy = 150;
    FillShape(
        c, [](float, float) { return -1.0f; },
        [=](float x, float y) {
            float t = y / kAboutHeight;
            Rgba sky = Mix(Hex(0x101428), Hex(0x2A1838), t);
            float glow = expf(-((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (2 * 120.0f * 120.0f));
            return Mix(sky, Hex(0x4A4678), 0.55f * glow);
        });
    uint32_t seed = 20240611u;
    for (int i = 0; i < 140; i++) {
        float x = (float)(NextRandom(&seed) % 4990) / 10, y = (float)(NextRandom(&seed) % 4110) / 10;
        float size = 0.35f + (NextRandom(&seed) % 100) / 100.0f * 0.75f;
        float bright = 0.35f + (NextRandom(&seed) % 100) / 100.0f * 0.65f;
        // No stars behind the lines of text.
        if ((y > 258 && y < 334) || (y > 348 && y < 378) || (y > 388 && y < 406))
            continue;
        FillShape(
            c, [=](float px, float py) { return SdCircle(px, py, x, y, size); },
            [=](float, float) { return Hex(0xE8E4FF, bright); }, 1, x - 2, y - 2, x + 2, y + 2);
    }
}

// Five coins on a gilded ring about a pearl that shows all five colours.
static void PaintEmblem(Canvas &c)
{
    const float cx = 250, cy = 148, ring = 92, coin = 33;
    auto gold = [](float, float y) {
        float t = Clamp01((y - 50) / 200);
        return Mix(Hex(0xFFE6A0), Hex(0xB07A28), t);
    };
    // Ring shadow, then the ring itself.
    FillShape(c, [=](float x, float y) { return fabsf(SdCircle(x, y, cx, cy + 2, ring)) - 3.5f; },
              [](float, float) { return Hex(0x000000, 0.45f); });
    FillShape(c, [=](float x, float y) { return fabsf(SdCircle(x, y, cx, cy, ring)) - 2.6f; }, gold);
    FillShape(c, [=](float x, float y) { return fabsf(SdCircle(x, y, cx, cy, ring - 34)) - 1.0f; }, gold, 0.8f);
    // Spokes from the pearl to each coin.
    for (int k = 0; k < kThemeCount; k++) {
        float a = (-90 + 72 * k) / 57.29578f;
        float ax = cx + 30 * cosf(a), ay = cy + 30 * sinf(a);
        float bx = cx + (ring - 34) * cosf(a), by = cy + (ring - 34) * sinf(a);
        FillShape(c, [=](float x, float y) { return SdSegment(x, y, ax, ay, bx, by) - 1.2f; }, gold, 0.9f);
    }
    // In the middle, the five colours as five small balls on a dark plate.
    FillShape(c, [=](float x, float y) { return SdCircle(x, y, cx, cy, 29); }, [](float, float) { return Hex(0x0C0A14); });
    FillShape(c, [=](float x, float y) { return fabsf(SdCircle(x, y, cx, cy, 28)) - 1.0f; }, gold);
    for (int k = 0; k < kThemeCount; k++) {
        float a = (-90 + 72 * k) / 57.29578f;
        float bx = cx + 13.5f * cosf(a), by = cy + 13.5f * sinf(a);
        Rgba base = k == kBlack ? Hex(0x3A3842) : k == kWhite ? Hex(0xF4F2EA) : TonesOf(k).main;
        FillShape(c, [=](float x, float y) { return SdCircle(x, y, bx, by, 10); },
                  [=](float, float) { return Scale(TonesOf(k).deep, 0.6f); });
        FillShape(
            c, [=](float x, float y) { return SdCircle(x, y, bx, by, 9); },
            [=](float x, float y) { return SpherePaint(x, y, bx, by, 9, base); });
    }
    for (int k = 0; k < kThemeCount; k++) {
        float a = (-90 + 72 * k) / 57.29578f;
        float x = cx + ring * cosf(a), y = cy + ring * sinf(a);
        FillShape(c, [=](float px, float py) { return SdCircle(px, py, x + 1.5f, y + 3, coin); },
                  [](float, float) { return Hex(0x000000, 0.5f); });
        DrawEmblem(c, k, x, y, coin);
    }
}

static void PaintTexts(Canvas &c)
{
    const float h = 30, stroke = 0.085f;
    float w = TitleWidth(kTitle, h);
    float x = (kAboutWidth - w) / 2, y = 268;
    auto title = [=](float px, float py) { return TitleDistance(kTitle, x, y, h, stroke, px, py); };
    float bx0 = x - 10, by0 = y - 10, bx1 = x + w + 10, by1 = y + h + 10;
    // A soft dark halo, a dark outline, then the gilded letters.
    FillShape(c, [=](float px, float py) { return title(px, py) - 3.0f; }, [](float, float) { return Hex(0x080610, 0.55f); },
              1, bx0, by0, bx1, by1);
    FillShape(c, [=](float px, float py) { return title(px, py) - 1.4f; }, [](float, float) { return Hex(0x1C1208); }, 1,
              bx0, by0, bx1, by1);
    FillShape(
        c, title,
        [=](float, float py) {
            float t = Clamp01((py - y) / h);
            Rgba top = Hex(0xFFF6D8), mid = Hex(0xF2C860), low = Hex(0xB8822C);
            return t < 0.5f ? Mix(top, mid, t * 2) : Mix(mid, low, (t - 0.5f) * 2);
        },
        1, bx0, by0, bx1, by1);

    // The tag line in the bitmap font at two dots a pixel, rounded.
    int tw = BitmapTextWidth(kTagline, 2);
    DrawBitmapText(c, kTagline, (float)((kAboutWidth - tw) / 2), 314, 2,
                   [](float, float) { return Hex(0xDCD6F0); }, 0.25f);

    // Rule, the two lines about the themes, and the credits.
    FillShape(c, [](float px, float py) { return SdBox(px, py, 250, 345.5f, 200, 0.5f); },
              [](float px, float) {
                  float t = fabsf(px - 250) / 200;
                  return Hex(0xC8A050, 0.8f * (1 - t * t));
              });
    for (const char *line : {kColorsLine, kColorsLine2}) {
        int lw = BitmapTextWidth(line, 1);
        DrawBitmapText(c, line, (float)((kAboutWidth - lw) / 2), line == kColorsLine ? 354.0f : 366.0f, 1,
                       [](float, float) { return Hex(0xA8A2C0); });
    }
    DrawBitmapText(c, kCredits, 14, 392, 1, [](float, float) { return Hex(0xE6E0F8); });
}

void MakeAboutPicture(PreviewSheet *sheet)
{
    Canvas c = NewCanvas(kAboutWidth, kAboutHeight, 2);
    PaintSky(c);
    PaintEmblem(c);
    PaintTexts(c);
    Pixels picture = Finish(c);

    size_t n = (size_t)kAboutWidth * kAboutHeight;
    std::vector<Rgb8> colors(n);
    for (size_t i = 0; i < n; i++)
        colors[i] = {picture.rgba[i * 4], picture.rgba[i * 4 + 1], picture.rgba[i * 4 + 2]};
    std::vector<Rgb8> palette = MakePalette(colors, kAboutColors);
    std::vector<uint8_t> indices = MapToPalette(colors, kAboutWidth, kAboutHeight, palette, 0.75f);

    // Keep only the colours the picture uses, in palette order.
    std::vector<int> used(palette.size(), 0), renumber(palette.size(), -1);
    for (uint8_t i : indices)
        used[i] = 1;
    std::vector<Rgb8> table;
    for (size_t k = 0; k < palette.size(); k++)
        if (used[k]) {
            renumber[k] = (int)table.size();
            table.push_back(palette[k]);
        }
    for (uint8_t &i : indices)
        i = (uint8_t)renumber[i];
    SaveFile("resources\\about.bmp", Bitmap8FileBytes(kAboutWidth, kAboutHeight, indices, table));

    // The palette file: "red green blue - " and the eight child indices of the
    // colour's own path, most significant bits first.
    std::string text;
    for (Rgb8 p : table) {
        char line[64];
        snprintf(line, sizeof line, "%d %d %d -", p.r, p.g, p.b);
        text += line;
        for (int level = 0; level < 8; level++) {
            int bit = 7 - level;
            int child = 4 * ((p.b >> bit) & 1) + 2 * ((p.g >> bit) & 1) + ((p.r >> bit) & 1);
            text += " " + std::to_string(child);
        }
        text += "\n";
    }
    SaveText("WALLART\\PALALL9.TR", WindowsLines(text));

    if (sheet) {
        Pixels stored = picture;
        for (size_t i = 0; i < n; i++) {
            Rgb8 p = table[indices[i]];
            stored.rgba[i * 4] = p.r;
            stored.rgba[i * 4 + 1] = p.g;
            stored.rgba[i * 4 + 2] = p.b;
            stored.rgba[i * 4 + 3] = 255;
        }
        AddPreview(sheet, "about", stored);
    }
}
