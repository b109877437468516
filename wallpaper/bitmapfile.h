// The wallpaper bitmap file: a Windows bitmap with a 40-byte info header and a
// 256-entry colour table, at the screen's size and depth.
//
//   offset 0     14-byte file header: "BM", file size, 1078 (where the pixels start)
//   offset 14    40-byte info header: width, height (positive: bottom row first),
//                1 plane, 8, 16 or 24 bits, no compression, image size, pixels per
//                metre, 256 colours used, 236 important
//   offset 54    256 colour-table entries: black, palette entries 0-233, white,
//                palette entries 235-253, and one unused entry
//   offset 1078  the rows, each padded to a multiple of 4 bytes
//
// Depths other than 8 and 16 (24 and the 32 of today's screens) are written
// as 24-bit bitmaps.
#pragma once

#include "palette/palette.h"
#include "platform/records.h"

#include <stddef.h>
#include <stdint.h>

// The depth of the file for a screen depth: 8, 16, or 24 for any other.
int BitmapDepth(int screenDepth);
// Bytes of one row in the file: width x bytes a pixel, padded to 4.
size_t BitmapRowBytes(int width, int depth);

void FillBitmapHeaders(int width, int height, int depth, int pelsPerMeterX, int pelsPerMeterY,
                       BitmapFileHeader *file, BitmapInfoHeader *info);

// The colour table of a palette (as the table above shows it).
void FillColorTable(RgbQuad table[256], const LogPaletteRecord *palette);

// The file indices of colours seen so far in a conversion, by colour: the
// nearest-colour search runs once for each colour, not for every pixel.
constexpr int kIndexCacheSlots = 4096;
struct IndexCache {
    uint32_t keys[kIndexCacheSlots];  // 0x1000000 | colour, or 0 for an empty slot
    uint8_t index[kIndexCacheSlots];
};
// Empties the cache; the palette must not change while it is in use.
void StartIndexCache(IndexCache *cache);

// One picture row (width blue, green, red pixels at in) as one row of the
// file at out, padding included: at 8 bits each pixel is its nearest palette
// index plus one, at 16 five bits a channel (red highest), at 24 the bytes as
// they are. in and out may be the same row at 24 bits.
void ConvertWallpaperRow(const uint8_t *in, uint8_t *out, int width, int depth, IndexCache *cache);
// The same without the padding: width pixels at out, nothing after them (a
// part of a wider row).
void ConvertWallpaperPixels(const uint8_t *in, uint8_t *out, int width, int depth, IndexCache *cache);
// Where picture row y (of height) lies in the file, counted from the file's first row.
size_t WallpaperFileRow(int y, int height);
