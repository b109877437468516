// Row reduction with error diffusion, and pictures of the palette maker
// reduced through the palette files it writes.
#include "base/kernels.h"
#include "palette/diffuse.h"
#include "tests/palette_testing.h"
#include "tools/palette_maker.h"

#include <math.h>
#include <string.h>
#include <stdio.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Rows of blue, green, red pixels, rows stride = width * 3 + fill bytes apart,
// with guard bytes before and after.
struct Picture {
    int width, height, fill;
    std::vector<uint8_t> bytes;
    static constexpr int kGuard = 64;
    static constexpr uint8_t kSentinel = 0xA5;

    Picture(int w, int h, int f) : width(w), height(h), fill(f), bytes(kGuard * 2 + Stride() * h, kSentinel) {}
    size_t Stride() const { return (size_t)width * 3 + fill; }
    uint8_t *Row(int y) { return bytes.data() + kGuard + Stride() * y; }
    uint8_t *At(int x, int y) { return Row(y) + 3 * x; }
    void Set(int x, int y, PackedColor c)
    {
        At(x, y)[0] = c & 0xFF;
        At(x, y)[1] = (c >> 8) & 0xFF;
        At(x, y)[2] = (c >> 16) & 0xFF;
    }
    PackedColor Get(int x, int y) { return At(x, y)[0] | At(x, y)[1] << 8 | At(x, y)[2] << 16; }
    void Fill(PackedColor c)
    {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                Set(x, y, c);
    }
};

// The reduction written the plain way, from the kernels' weights: one error
// array for the whole image, every share computed by its formula, shares
// falling outside the image dropped.
struct PlainTap {
    int weight, dx, dy;
};
struct PlainKernel {
    int divisor;
    std::vector<PlainTap> taps;
};

PlainKernel Kernel(int number)
{
    switch (number) {
    case 1: return {16, {{3, -1, 1}, {5, 0, 1}}};
    case 2: return {16, {{7, 1, 0}, {3, -1, 1}, {5, 0, 1}, {1, 1, 1}}};
    case 3:
        return {42, {{8, 1, 0}, {4, 2, 0}, {2, -2, 1}, {4, -1, 1}, {8, 0, 1}, {4, 1, 1}, {2, 2, 1},
                     {1, -2, 2}, {2, -1, 2}, {4, 0, 2}, {2, 1, 2}, {1, 2, 2}}};
    case 4: return {32, {{8, 1, 0}, {4, 2, 0}, {2, -2, 1}, {4, -1, 1}, {8, 0, 1}, {4, 1, 1}, {2, 2, 1}}};
    case 5:
        return {32, {{5, 1, 0}, {3, 2, 0}, {2, -2, 1}, {4, -1, 1}, {5, 0, 1}, {4, 1, 1}, {2, 2, 1},
                     {2, -1, 2}, {3, 0, 2}, {2, 1, 2}}};
    case 6:
        return {48, {{7, 1, 0}, {5, 2, 0}, {3, -2, 1}, {5, -1, 1}, {7, 0, 1}, {5, 1, 1}, {3, 2, 1},
                     {1, -2, 2}, {3, -1, 2}, {5, 0, 2}, {3, 1, 2}, {1, 2, 2}}};
    case 7:
        return {236, {{32, 2, 0}, {12, -3, 1}, {26, -1, 1}, {30, 1, 1}, {16, 3, 1}, {12, -2, 2},
                      {62, 0, 2}, {12, 2, 2}, {5, -3, 3}, {12, -1, 3}, {12, 1, 3}, {5, 3, 3}}};
    default: return {1, {}};
    }
}

void PlainDiffuse(int kernel, bool eightBit, Picture &picture, int rows)
{
    PlainKernel k = Kernel(kernel);
    int w = picture.width;
    std::vector<long> error((size_t)(rows + 4) * w * 3, 0);
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < w; x++) {
            uint8_t *pixel = picture.At(x, y);
            int v[3], q[3];
            for (int c = 0; c < 3; c++) {
                long a = error[((size_t)y * w + x) * 3 + c];
                long level = (long)floor(a / 256.0);
                v[c] = (int)std::min(255L, std::max(0L, pixel[c] + level));
            }
            PackedColor packed = v[0] + 256 * v[1] + 65536 * v[2], reduced;
            if (packed == 0 || packed == 0xFFFFFF)
                reduced = packed;
            else
                reduced = eightBit ? NearestPaletteColor(packed) : packed & 0xF8F8F8;
            for (int c = 0; c < 3; c++) {
                q[c] = (reduced >> (8 * c)) & 0xFF;
                pixel[c] = (uint8_t)q[c];
            }
            for (const PlainTap &tap : k.taps) {
                int tx = x + tap.dx;
                if (tx < 0 || tx >= w)
                    continue;
                for (int c = 0; c < 3; c++) {
                    long share = 256L * (k.divisor / 2 + tap.weight * (v[c] - q[c]));
                    long truncated = share >= 0 ? share / k.divisor : -(-share / k.divisor);
                    error[((size_t)(y + tap.dy) * w + tx) * 3 + c] += truncated;
                }
            }
        }
}

void Scramble(Picture &picture, uint32_t seed)
{
    std::mt19937 random(seed);
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            // Smooth ramps with noise, some flat black, white and extreme runs.
            int kind = (x / 37 + y) % 5;
            PackedColor c = (PackedColor)random() & 0xFFFFFF;
            if (kind == 0)
                c = ((x * 255 / picture.width) * 0x010101u + (random() & 0x070707)) & 0xFFFFFF;
            else if (kind == 1)
                c = (random() & 1) ? 0xFFFFFE : 0x000001;
            else if (kind == 2)
                c = (x & 8) ? 0 : 0xFFFFFF;
            picture.Set(x, y, c);
        }
}

// A palette of random colours with paths of their own bits, 1-8 levels deep:
// searches stop at inner nodes of every depth.
std::string RandomPalette(uint32_t seed, int entries)
{
    std::mt19937 random(seed);
    std::string text;
    for (int i = 0; i < entries; i++) {
        PackedColor c = random() & 0xFFFFFF;
        text += Line(c, OwnPath(c, 1 + (int)(random() % 8)));
    }
    return text;
}

using Diffusion = PaletteTest;

// Each kernel's start leaves a table for each weight of its taps and none
// for any other weight (the previous kernel's are released): the share of
// error e at [e + 256] is 256 (divisor / 2 + weight e) / divisor levels,
// truncated towards zero, worked out here in floating point.
TEST_F(Diffusion, DeltaTablesOfEveryKernel)
{
    for (int kernel : {2, 3, 7, 4, 6, 1, 5}) {
        StartDiffusion(kernel, 1);
        EXPECT_EQ(kernel, DeltaKernel);
        const DiffusionKernelTaps &k = kDiffusionKernels[kernel];
        for (int weight = 0; weight < kDeltaWeights; weight++) {
            bool used = std::any_of(k.taps, k.taps + k.tapCount, [&](const DiffusionTap &t) { return t.weight == weight; });
            ASSERT_EQ(used, DeltaTables[weight] != nullptr) << "kernel " << kernel << " weight " << weight;
            for (int e = -256; used && e <= 255; e++)
                ASSERT_EQ((int32_t)trunc(256.0 * (k.divisor / 2.0 + weight * e) / k.divisor), DeltaTables[weight][e + 256])
                    << "kernel " << kernel << " weight " << weight << " error " << e;
        }
    }
}

// Red 13 becomes red 8 and leaves 5; the right neighbour gets 128 + 16 * 7 * 5
// = 688, two levels, so its red 6 becomes 8 rather than 0. The error rows
// looked at are the plain reduction's (the vector one keeps its own form).
TEST_F(Diffusion, SixteenBitExample)
{
    KernelLevelInUse = kKernelPlain;
    Picture row(2, 1, 0);
    row.Set(0, 0, 0x0D0000);
    row.Set(1, 0, 0x060000);
    DiffuseRows16(2, row.Row(0), 1, 2, 0);
    EXPECT_EQ(0x080000u, row.Get(0, 0));
    EXPECT_EQ(0x080000u, row.Get(1, 0));
    // What the row below was left: pixel 0 (error 5 in red) and pixel 1
    // (error 0) each pass 128 + 16 * weight * error to x - 1, x, x + 1.
    const int32_t *below = ErrorRows.rows[1] + kErrorMargin * 3;
    const int32_t expected[4][3] = {{128, 128, 368}, {256, 256, 656}, {256, 256, 336}, {128, 128, 128}};
    for (int x = -1; x <= 2; x++)
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(expected[x + 1][c], below[x * 3 + c]) << "x " << x << " channel " << c;
    KernelLevelInUse = BestKernelLevel();
}

// Rows of 8 become 8, yet each passes 128 to its four neighbours: the pixel
// below with 7 gets 256, a whole level, and becomes 8 instead of 0.
TEST_F(Diffusion, ErrorZeroStillPassesHalfALevel)
{
    Picture picture(2, 3, 0);
    picture.Fill(0x070707);
    picture.Set(0, 0, 0x080808);
    picture.Set(1, 0, 0x080808);
    DiffuseRows16(2, picture.Row(0), 2, 2, 0);
    EXPECT_EQ(0x080808u, picture.Get(0, 1));
    EXPECT_EQ(0x080808u, picture.Get(1, 1));
    EXPECT_EQ(0x070707u, picture.Get(0, 2)) << "rows after the last converted one stay";
}

TEST_F(Diffusion, BlackAndWhiteTakenAsTheyAre)
{
    LoadText("128 128 128 - 7\n");
    using Colors = std::vector<PackedColor>;
    auto reduce = [](bool palette, Colors colors) {  // one row, onto the palette or to five bits
        Picture row((int)colors.size(), 1, 0);
        for (size_t x = 0; x < colors.size(); x++)
            row.Set((int)x, 0, colors[x]);
        DiffuseRows(palette, 2, row.Row(0), 1, row.width, 0);
        for (size_t x = 0; x < colors.size(); x++)
            colors[x] = row.Get((int)x, 0);
        return colors;
    };
    EXPECT_EQ((Colors{0x000000, 0xFFFFFF, 0x808080}), reduce(true, {0x000000, 0xFFFFFF, 0x010101}));
    // 20 becomes 128 and passes -47 levels on: 40 falls to black.
    EXPECT_EQ((Colors{0x808080, 0x000000, 0x808080}), reduce(true, {0x141414, 0x282828, 0x808080}));
    // 254 becomes 248 and passes 800 (3 levels) on: 252 reaches white.
    EXPECT_EQ((Colors{0xF8F8F8, 0xFFFFFF}), reduce(false, {0xFEFEFE, 0xFCFCFC}));
}

// Narrow pictures with large errors at both ends: the shares that fall left of
// the first pixel and right of the last land in the margins of the error rows
// and never in the picture, its fill bytes, the rows not converted or the
// guard bytes around it.
TEST_F(Diffusion, MarginsNeverReachTheImage)
{
    for (int kernel = 1; kernel <= 7; kernel++)
        for (int width = 1; width <= 4; width++) {
            Picture picture(width, 6, 3);
            picture.Fill(0x070707);
            for (int y = 0; y < 6; y += 2)
                picture.Set(0, y, 0xF7F7F7);
            Picture plain = picture, original = picture;
            DiffuseRows16(kernel, picture.Row(0), 4, width, 3);
            PlainDiffuse(kernel, false, plain, 4);
            EXPECT_EQ(plain.bytes, picture.bytes) << "kernel " << kernel << " width " << width;
            for (int y = 0; y < 4; y++)
                for (int f = 0; f < 3; f++)
                    ASSERT_EQ(Picture::kSentinel, picture.Row(y)[width * 3 + f]);
            for (int i = 0; i < Picture::kGuard; i++) {
                ASSERT_EQ(Picture::kSentinel, picture.bytes[i]);
                ASSERT_EQ(Picture::kSentinel, picture.bytes[picture.bytes.size() - 1 - i]);
            }
            EXPECT_EQ(0, memcmp(original.Row(4), picture.Row(4), original.Stride() * 2)) << "rows not converted";
        }
}

// The plain reduction and the table-driven one agree for every kernel, both
// depths and any width: up to 1281 pixels (the width the error rows were first
// made for) and beyond, for rows made wider or narrower between calls; with
// the vector loops and without them.
TEST_F(Diffusion, AgreesWithPlainReductionAtAnyWidth)
{
    LoadText(RandomPalette(5, 200));
    const int widths[] = {1, 2, 3, 5, 64, 1281, 1282, 1920, 3840, 640, 1281};
    uint32_t seed = 1;
    for (KernelLevel level : {kKernelPlain, kKernelSse2}) {
        if (level > BestKernelLevel())
            continue;
        KernelLevelInUse = level;
        for (int width : widths)
            for (int kernel = 0; kernel <= 8; kernel++)
                for (bool eightBit : {false, true}) {
                    int height = width > 100 ? 4 : 12;
                    Picture picture(width, height, width % 4);
                    Scramble(picture, seed++);
                    Picture plain = picture;
                    if (eightBit)
                        DiffuseRows8(kernel, picture.Row(0), height - 1, width, width % 4);
                    else
                        DiffuseRows16(kernel, picture.Row(0), height - 1, width, width % 4);
                    PlainDiffuse(kernel, eightBit, plain, height - 1);
                    ASSERT_EQ(plain.bytes, picture.bytes) << "width " << width << " kernel " << kernel
                                                          << (eightBit ? " 8-bit" : " 16-bit") << " level " << level;
                }
    }
    KernelLevelInUse = BestKernelLevel();
}

// Near-white pixels reduced to a far colour carry errors of 255 on every tap,
// near-black ones reduced to near-white errors of -254: the clamp index runs
// past either end of the table and is held to it, and the vector loops' sums
// of shares stay within their 16 bits.
TEST_F(Diffusion, ExtremeErrorsHeldToTheClampTable)
{
    const struct {
        const char *palette;
        PackedColor fill;
    } extremes[] = {{"0 0 1 - 0\n", 0xFFFFFE}, {"255 255 254 - 0\n", 0x010101}};
    for (const auto &extreme : extremes) {
        LoadText(extreme.palette);
        for (int kernel = 1; kernel <= 7; kernel++) {
            Picture picture(16, 6, 0);
            picture.Fill(extreme.fill);
            Picture plain = picture;
            DiffuseRows8(kernel, picture.Row(0), 5, 16, 0);
            PlainDiffuse(kernel, true, plain, 5);
            EXPECT_EQ(plain.bytes, picture.bytes) << "kernel " << kernel << ", fill " << extreme.fill;
        }
    }
}

// Which cell of the palette a colour lies in: the shortest path that begins
// the colour's own bit path.
int CellOf(const std::vector<PaletteCell> &cells, uint8_t red, uint8_t green, uint8_t blue)
{
    int found = -1;
    for (int i = 0; i < (int)cells.size(); i++) {
        bool inside = true;
        for (int level = 0; level < cells[i].depth && inside; level++) {
            int bit = 7 - level;
            int index = 4 * ((blue >> bit) & 1) + 2 * ((green >> bit) & 1) + ((red >> bit) & 1);
            inside = cells[i].path[level] == index;
        }
        if (inside && (found < 0 || cells[i].depth < cells[found].depth))
            found = i;
    }
    return found;
}

// Differences per channel, in levels, of two pictures blurred by a 5 x 5 box
// (inner pixels only): the mean of their sizes and their mean (a's bias).
struct BlurredError {
    double mean, bias;
};
BlurredError CompareBlurred(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b, int width, int height)
{
    double total = 0, bias = 0;
    long count = 0;
    for (int y = 2; y < height - 2; y++)
        for (int x = 2; x < width - 2; x++)
            for (int c = 0; c < 3; c++) {
                int sumA = 0, sumB = 0;
                for (int dy = -2; dy <= 2; dy++)
                    for (int dx = -2; dx <= 2; dx++) {
                        size_t at = ((size_t)(y + dy) * width + x + dx) * 3 + c;
                        sumA += a[at];
                        sumB += b[at];
                    }
                total += fabs(sumA - sumB) / 25.0;
                bias += (sumA - sumB) / 25.0;
                count++;
            }
    return {total / count, bias / count};
}

using PaletteMaker = PaletteTest;

TEST_F(PaletteMaker, EveryPixelFindsItsCellsColour)
{
    const int width = 320, height = 200;
    std::vector<uint8_t> rgb = WallpaperPicture(width, height);
    std::vector<PaletteCell> cells = MakeOctreePalette(rgb.data(), rgb.size() / 3, 234);
    ASSERT_LE(cells.size(), 234u);
    ASSERT_GE(cells.size(), 200u);
    std::string text = FormatPalette(cells);
    ASSERT_EQ('\n', text.back());
    LogPaletteRecord *record = LoadText(text);
    ASSERT_EQ(cells.size(), (size_t)record->palNumEntries);

    for (size_t i = 0; i < rgb.size(); i += 3) {
        uint8_t red = rgb[i], green = rgb[i + 1], blue = rgb[i + 2];
        int cell = CellOf(cells, red, green, blue);
        ASSERT_GE(cell, 0);
        PackedColor own = cells[cell].red << 16 | cells[cell].green << 8 | cells[cell].blue;
        ASSERT_EQ(own, NearestPaletteColor(red << 16 | green << 8 | blue)) << "pixel " << i / 3;
        ASSERT_EQ(cell, NearestPaletteIndex(red << 16 | green << 8 | blue));
    }
    // Pure black and white have cells of their own, which the search finds.
    EXPECT_EQ(0x000000u, NearestPaletteColor(0x000000));
    EXPECT_EQ(0xFFFFFFu, NearestPaletteColor(0xFFFFFF));
}

TEST_F(PaletteMaker, SmallPalettesAndFlatPictures)
{
    std::vector<uint8_t> gray(300, 77);
    std::vector<PaletteCell> cells = MakeOctreePalette(gray.data(), 100, 234);
    ASSERT_EQ(3u, cells.size());  // the grey, black and white
    for (const PaletteCell &cell : cells)
        EXPECT_EQ(8, cell.depth);
    LoadText(FormatPalette(cells));
    EXPECT_EQ(0x4D4D4Du, NearestPaletteColor(0x4D4D4D));

    // Too few colours for cells of their own: black and white are still
    // entries, and every pixel still finds its cell's colour.
    std::vector<uint8_t> rgb = WallpaperPicture(64, 48);
    cells = MakeOctreePalette(rgb.data(), rgb.size() / 3, 3);
    ASSERT_LE(cells.size(), 3u);
    LoadText(FormatPalette(cells));
    std::set<PackedColor> colors(ActivePalette.colors, ActivePalette.colors + cells.size());
    EXPECT_EQ(1u, colors.count(0x000000));
    EXPECT_EQ(1u, colors.count(0xFFFFFF));
    for (size_t i = 0; i < rgb.size(); i += 3) {
        int cell = CellOf(cells, rgb[i], rgb[i + 1], rgb[i + 2]);
        ASSERT_EQ(cell, NearestPaletteIndex(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]));
    }

    cells = MakeOctreePalette(rgb.data(), rgb.size() / 3, 1);
    ASSERT_EQ(1u, cells.size());
    EXPECT_EQ(0, cells[0].depth);
    LoadText(FormatPalette(cells));
    EXPECT_EQ(0, ActivePalette.TreeDepth);
    EXPECT_LE(MakeOctreePalette(rgb.data(), rgb.size() / 3, 16).size(), 16u);
}

// The maker's palette of a picture, the picture reduced onto it: only palette
// colours come out, and blurred (as the eye sees it) it stays close to the
// blurred source.
TEST_F(PaletteMaker, DitheredPictureStaysCloseToItsSource)
{
    const int width = 320, height = 200;
    std::vector<uint8_t> rgb = WallpaperPicture(width, height);
    for (int colors : {234, 32}) {
        LoadText(FormatPalette(MakeOctreePalette(rgb.data(), rgb.size() / 3, colors)));
        std::set<PackedColor> palette(ActivePalette.colors,
                                      ActivePalette.colors + ActivePalette.logPalette.palNumEntries);
        Picture picture(width, height, 0);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                const uint8_t *p = &rgb[((size_t)y * width + x) * 3];
                picture.Set(x, y, p[0] << 16 | p[1] << 8 | p[2]);
            }
        DiffuseRows8(2, picture.Row(0), height, width, 0);
        std::vector<uint8_t> dithered(rgb.size());
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                PackedColor c = picture.Get(x, y);
                ASSERT_EQ(1u, palette.count(c)) << "pixel " << x << ", " << y;
                uint8_t *d = &dithered[((size_t)y * width + x) * 3];
                d[0] = (c >> 16) & 0xFF, d[1] = (c >> 8) & 0xFF, d[2] = c & 0xFF;
            }
        // Kernel 2 passes half a level on with every one of its four taps, so
        // the picture comes out brighter by one to two levels; the rest is
        // dither the blur leaves.
        BlurredError error = CompareBlurred(dithered, rgb, width, height);
        printf("%d colours: blurred dithered picture against the blurred source: mean error %.2f levels, "
               "bias %+.2f\n", colors, error.mean, error.bias);
        RecordProperty("mean_error_" + std::to_string(colors), std::to_string(error.mean));
        EXPECT_LT(error.mean, colors == 234 ? 2.5 : 8.0);
        EXPECT_LT(fabs(error.bias), 2.0);
    }
}

}  // namespace
