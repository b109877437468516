#include "wallpaper/bitmapfile.h"

#include "palette/palette.h"

#include <string.h>

#include <vector>

int BitmapDepth(int screenDepth) { return screenDepth == 8 || screenDepth == 16 ? screenDepth : 24; }

size_t BitmapRowBytes(int width, int depth) { return ((size_t)width * (depth / 8) + 3) & ~(size_t)3; }

void FillBitmapHeaders(int width, int height, int depth, int pelsPerMeterX, int pelsPerMeterY,
                       BitmapFileHeader *file, BitmapInfoHeader *info)
{
    uint32_t imageSize = (uint32_t)(BitmapRowBytes(width, depth) * (size_t)height);
    *file = BitmapFileHeader{0x4D42, 1078 + imageSize, 0, 0, 1078};
    *info = BitmapInfoHeader{40, width, height, 1, (uint16_t)depth, 0, imageSize, pelsPerMeterX, pelsPerMeterY,
                             256, 236};
}

static void FillColorTable(RgbQuad table[256], const char *palettePath)
{
    const LogPaletteRecord *palette = LoadPalette(palettePath);
    memset(table, 0, 256 * sizeof(RgbQuad));
    for (int i = 1; i < 255; i++) {
        const PaletteEntry &e = palette->palPalEntry[i - 1];
        table[i] = RgbQuad{e.peBlue, e.peGreen, e.peRed, 0};
    }
    // Entry 235 is white, so palette entry 234 never reaches the file.
    table[235] = RgbQuad{255, 255, 255, 255};
}

// One pixel at the file's depth.
static inline void StorePixel(const uint8_t *in, uint8_t *out, int bytes)
{
    uint8_t blue = in[0], green = in[1], red = in[2];
    if (bytes == 1) {
        out[0] = (uint8_t)(NearestPaletteIndex((PackedColor)red << 16 | (PackedColor)green << 8 | blue) + 1);
    } else if (bytes == 2) {
        uint16_t word = (uint16_t)((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3));
        out[0] = (uint8_t)word;
        out[1] = (uint8_t)(word >> 8);
    } else {
        out[0] = blue;
        out[1] = green;
        out[2] = red;
    }
}

size_t ConvertWallpaperPixels(uint8_t *pixels, int width, int height, int depth, size_t sourceStride,
                              RgbQuad colorTable[256], const char *palettePath)
{
    FillColorTable(colorTable, palettePath);
    const int bytes = depth / 8;
    const size_t rowBytes = BitmapRowBytes(width, depth);
    const size_t padding = rowBytes - (size_t)width * bytes;

    // One buffer serves: with rows no longer than the source's, the writes run
    // forward behind the reads; with longer rows (a 24-bit file of a width
    // whose rows need padding) they run backward, from the last byte.
    if (rowBytes <= sourceStride) {
        for (int y = 0; y < height; y++) {
            const uint8_t *in = pixels + y * sourceStride;
            uint8_t *out = pixels + y * rowBytes;
            for (int x = 0; x < width; x++)
                StorePixel(in + 3 * x, out + bytes * x, bytes);
            memset(out + (size_t)width * bytes, 0, padding);
        }
    } else {
        for (int y = height - 1; y >= 0; y--) {
            const uint8_t *in = pixels + y * sourceStride;
            uint8_t *out = pixels + y * rowBytes;
            uint8_t pixel[3];
            for (int x = width - 1; x >= 0; x--) {
                memcpy(pixel, in + 3 * x, 3);
                StorePixel(pixel, out + bytes * x, bytes);
            }
            memset(out + (size_t)width * bytes, 0, padding);
        }
    }

    // Bottom-up for the file: rows 0 to height - 2 change places; the last
    // row stays where it is.
    std::vector<uint8_t> scratch(rowBytes);
    for (int i = 0; i < height / 2; i++) {
        uint8_t *a = pixels + i * rowBytes;
        uint8_t *b = pixels + (height - 2 - i) * rowBytes;
        if (a == b || height - 2 - i < 0)
            continue;
        memcpy(scratch.data(), a, rowBytes);
        memcpy(a, b, rowBytes);
        memcpy(b, scratch.data(), rowBytes);
    }
    return rowBytes * (size_t)height;
}
