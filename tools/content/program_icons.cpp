// The program's own icons: "Balls" (the five colours as five small balls, at
// every size today's Windows asks of a program's icon at 100 to 200 %, in 256
// colours, and at 256 pixels compressed with alpha for Explorer's largest
// views) and one coin per colour for the colour buttons, drawn at the system's
// icon size for the window's dpi (32 at 96 dots an inch, 40, 48, 56, 64 at
// 120, 144, 168, 192), in 256 colours and, except white, at 48 in 16 colours.
#include "tools/content/emblems.h"
#include "tools/content/preview.h"

// Drawn on a 32-unit grid at size pixels. At 16 the balls sit a little
// closer and keep an edge of a whole pixel, so each stays a distinct dot.
static Pixels BallsPicture(int size)
{
    // Ball colours in the order they sit clockwise from the top.
    static const uint32_t kBase[kThemeCount] = {0x3A3842, 0xD42A1E, 0xF4F2EA, 0x2464D2, 0x2C963C};
    static const uint32_t kEdge[kThemeCount] = {0x0C0A10, 0x4E0804, 0x6E6A62, 0x0A1E50, 0x0A3412};
    Canvas c = NewCanvas(size, size, IconFactor(size));
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

// A coin of size pixels on a grid of 48 units.
static Pixels CoinPicture(int color, bool flat, int size)
{
    Canvas c = NewCanvas(size, size, IconFactor(size));
    float s = size / 48.0f;
    DrawEmblem(c, color, 24 * s, 24 * s, 23.2f * s, flat);
    return Finish(c);
}

// The sizes of the program's icon in 256 colours (32 first, the one the
// oldest systems take; the system's small and large icon sizes at 100, 125,
// 150, 175 and 200 %), and of the colour buttons' coins (the large icon size
// at those scales, 48 first).
static const int kBallsSizes[] = {32, 16, 20, 24, 28, 40, 48, 56, 64};
static const int kCoinSizes[] = {48, 32, 40, 56, 64};
constexpr int kLargestIcon = 256;

void MakeProgramIcons(PreviewSheet *sheet)
{
    std::vector<IconImage> balls;
    for (int size : kBallsSizes) {
        balls.push_back({BallsPicture(size), 8, 0, 0});
        AddPreview(sheet, "balls", StoredLook(balls.back().pixels, 8));
    }
    balls.push_back({BallsPicture(kLargestIcon), 32, 0, 0, true});
    AddPreview(sheet, "balls", balls.back().pixels);
    SaveFile("resources\\balls.ico", IconFileBytes(balls, false));

    for (int color : {kWhite, kBlue, kBlack, kRed, kGreen}) {
        std::vector<IconImage> images = {{CoinPicture(color, false, 48), 8, 0, 0}};
        if (color != kWhite)
            images.push_back({CoinPicture(color, true, 48), 4, 0, 0});
        for (int size : kCoinSizes)
            if (size != 48)
                images.push_back({CoinPicture(color, false, size), 8, 0, 0});
        SaveFile(std::string("resources\\") + kColorWords[color] + ".ico", IconFileBytes(images, false));
        for (const IconImage &image : images)
            AddPreview(sheet, kColorWords[color], StoredLook(image.pixels, image.depth));
    }
}
