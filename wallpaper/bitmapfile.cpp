// The bitmap file's headers, colour table and pixel rows (the layout:
// bitmapfile.h), each row converted on its own as the decoder hands it over.
#include "wallpaper/bitmapfile.h"

#include "palette/palette.h"

#include <string.h>


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

void FillColorTable(RgbQuad table[256], const LogPaletteRecord *palette)
{
    memset(table, 0, 256 * sizeof(RgbQuad));
    for (int i = 1; i < 255; i++) {
        const PaletteEntry &e = palette->palPalEntry[i - 1];
        table[i] = RgbQuad{e.peBlue, e.peGreen, e.peRed, 0};
    }
    // Entry 235 is white, so palette entry 234 never reaches the file.
    table[235] = RgbQuad{255, 255, 255, 255};
}

// The file's index of a colour: the palette's nearest index plus one. The
// search is a pure function of the colour, and a reduced picture has few
// colours, so the answers are kept in a small table by colour.
static inline uint8_t FileIndex(IndexCache *cache, PackedColor c)
{
    uint32_t slot = ((c * 0x9E3779B1u) >> 20) & (kIndexCacheSlots - 1);
    uint32_t key = c | 0x1000000;  // never 0, the empty slot's key
    if (cache->keys[slot] != key) {
        cache->keys[slot] = key;
        cache->index[slot] = (uint8_t)(NearestPaletteIndex(c) + 1);
    }
    return cache->index[slot];
}

void StartIndexCache(IndexCache *cache) { memset(cache->keys, 0, sizeof cache->keys); }

void ConvertWallpaperRow(const uint8_t *in, uint8_t *out, int width, int depth, IndexCache *cache)
{
    ConvertWallpaperPixels(in, out, width, depth, cache);
    size_t written = (size_t)width * (depth / 8);
    memset(out + written, 0, BitmapRowBytes(width, depth) - written);
}

void ConvertWallpaperPixels(const uint8_t *in, uint8_t *out, int width, int depth, IndexCache *cache)
{
    const int bytes = depth / 8;
    if (bytes == 1) {
        // One load a pixel: its three bytes and the next pixel's first,
        // masked off; the row's last pixel byte by byte.
        int x = 0;
        for (; x + 1 < width; x++, in += 3) {
            uint32_t word;
            memcpy(&word, in, sizeof word);
            out[x] = FileIndex(cache, word & 0xFFFFFF);
        }
        if (width > 0)
            out[x] = FileIndex(cache, (PackedColor)in[2] << 16 | (PackedColor)in[1] << 8 | in[0]);
    } else if (bytes == 2) {
        int x = 0;
        for (; x + 1 < width; x++, in += 3) {
            uint32_t pixel;
            memcpy(&pixel, in, sizeof pixel);
            uint16_t word = (uint16_t)((pixel >> 9 & 0x7C00) | (pixel >> 6 & 0x3E0) | (pixel >> 3 & 0x1F));
            memcpy(out + 2 * x, &word, sizeof word);
        }
        if (width > 0) {
            uint16_t word = (uint16_t)((in[2] >> 3) << 10 | (in[1] >> 3) << 5 | (in[0] >> 3));
            out[2 * x] = (uint8_t)word;
            out[2 * x + 1] = (uint8_t)(word >> 8);
        }
    } else {
        memmove(out, in, (size_t)width * 3);
    }
}

size_t WallpaperFileRow(int y, int height) { return y < height - 1 ? (size_t)(height - 2 - y) : (size_t)y; }
