// The program's own icons: "Balls" (the five colours as five small balls,
// 32 x 32 and 16 x 16 in 256 colours) and one 48 x 48 coin per colour for the
// colour buttons, in 256 colours and, except white, 16 colours.
#include "tools/content/emblems.h"
#include "tools/content/preview.h"

// Drawn on a 32-unit grid at size pixels. At 16 the balls sit a little
// closer and keep an edge of a whole pixel, so each stays a distinct dot.
static Pixels BallsPicture(int size)
{
    // Ball colours in the order they sit clockwise from the top.
    static const uint32_t kBase[kThemeCount] = {0x3A3842, 0xD42A1E, 0xF4F2EA, 0x2464D2, 0x2C963C};
    static const uint32_t kEdge[kThemeCount] = {0x0C0A10, 0x4E0804, 0x6E6A62, 0x0A1E50, 0x0A3412};
    Canvas c = NewCanvas(size, size, 8);
    float s = size / 32.0f;
    bool tiny = size < 24;
    const float cx = 16 * s, cy = (tiny ? 16 : 16.4f) * s, ring = (tiny ? 9.6f : 9.4f) * s, r = (tiny ? 6.6f : 6.1f) * s;
    const float edge = std::max(0.75f * s, tiny ? 0.55f : 0.0f);
    for (int k = 0; k < kThemeCount; k++) {
        float angle = (-90 + 72 * k) / 57.29578f;
        float bx = cx + ring * cosf(angle), by = cy + ring * sinf(angle);
        Rgba base = Hex(kBase[k]);
        FillSolid(c, [=](float x, float y) { return SdCircle(x, y, bx, by, r + edge); }, Hex(kEdge[k]));
        FillShape(
            c, [=](float x, float y) { return SdCircle(x, y, bx, by, r); },
            [=](float x, float y) { return SpherePaint(x, y, bx, by, r, base); });
    }
    return Finish(c);
}

static Pixels CoinPicture(int color, bool flat)
{
    Canvas c = NewCanvas(48, 48, 8);
    DrawEmblem(c, color, 24, 24, 23.2f, flat);
    return Finish(c);
}

void MakeProgramIcons(PreviewSheet *sheet)
{
    Pixels balls = BallsPicture(32), small = BallsPicture(16);
    SaveFile("resources\\balls.ico", IconFileBytes({{balls, 8, 0, 0}, {small, 8, 0, 0}}, false));
    AddPreview(sheet, "balls", StoredLook(balls, 8));
    AddPreview(sheet, "balls", StoredLook(small, 8));

    for (int color : {kWhite, kBlue, kBlack, kRed, kGreen}) {
        std::vector<IconImage> images = {{CoinPicture(color, false), 8, 0, 0}};
        if (color != kWhite)
            images.push_back({CoinPicture(color, true), 4, 0, 0});
        SaveFile(std::string("resources\\") + kColorWords[color] + ".ico", IconFileBytes(images, false));
        for (const IconImage &image : images)
            AddPreview(sheet, kColorWords[color], StoredLook(image.pixels, image.depth));
    }
}
