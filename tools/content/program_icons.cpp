// The program's own icons: "Balls" (the five colours as five small balls,
// 32 x 32 in 256 colours) and one 48 x 48 coin per colour for the colour
// buttons, in 256 colours and, except white, 16 colours.
#include "tools/content/emblems.h"
#include "tools/content/preview.h"

static Pixels BallsPicture()
{
    // Ball colours in the order they sit clockwise from the top.
    static const uint32_t kBase[kThemeCount] = {0x3A3842, 0xD42A1E, 0xF4F2EA, 0x2464D2, 0x2C963C};
    static const uint32_t kEdge[kThemeCount] = {0x0C0A10, 0x4E0804, 0x6E6A62, 0x0A1E50, 0x0A3412};
    Canvas c = NewCanvas(32, 32, 8);
    const float cx = 16, cy = 16.4f, ring = 9.4f, r = 6.1f;
    for (int k = 0; k < kThemeCount; k++) {
        float angle = (-90 + 72 * k) / 57.29578f;
        float bx = cx + ring * cosf(angle), by = cy + ring * sinf(angle);
        Rgba base = Hex(kBase[k]);
        FillSolid(c, [=](float x, float y) { return SdCircle(x, y, bx, by, r + 0.75f); }, Hex(kEdge[k]));
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
    Pixels balls = BallsPicture();
    SaveFile("resources\\balls.ico", IconFileBytes({{balls, 8, 0, 0}}, false));
    AddPreview(sheet, "balls", StoredLook(balls, 8));

    for (int color : {kWhite, kBlue, kBlack, kRed, kGreen}) {
        std::vector<IconImage> images = {{CoinPicture(color, false), 8, 0, 0}};
        if (color != kWhite)
            images.push_back({CoinPicture(color, true), 4, 0, 0});
        SaveFile(std::string("resources\\") + kColorWords[color] + ".ico", IconFileBytes(images, false));
        for (const IconImage &image : images)
            AddPreview(sheet, kColorWords[color], StoredLook(image.pixels, image.depth));
    }
}
