// Bilinear scaling of a decoded art picture to the screen's size, in fixed
// point: 16.16 steps, positions and fractions in 1/256 pixel.
#pragma once

#include <stdint.h>

struct AcrossGroup;

constexpr int kMaxScaledSide = 32768;  // widest and tallest target, in pixels

// Bytes of one scaled row: width * 3 rounded up to a multiple of 4.
inline int ScaledRowBytes(int width) { return (width * 3 + 3) & ~3; }

// A picture (artWidth x artHeight, rows artWidth * 3 bytes apart, both sides
// at least 1) scaled to width x height (1 ... kMaxScaledSide), a row at a
// time. Horizontally each source row but the last is interpolated between a
// pixel and the one after it (the next row's first at the end of a row); the
// last source row becomes black. Vertically each row but the last is
// interpolated between two of those rows; the last row is black. Each source
// row is scaled across once at most (and not at all when no target row reads
// it): rows y = 0 ... height - 1 are asked for in order, each written to out
// (width * 3 bytes). Only ringRows rows of the picture need be kept: row r at
// picture + (r % ringRows) rows. path names the art in the report when the
// memory is not there.
struct ArtScaler {
    const uint8_t *picture;
    int artWidth, artHeight, ringRows, width, height;
    long long vStep;
    int *columns;          // the column map, then the two rows below
    int within;            // the columns before the first that reads the row's last pixel
    uint8_t *across[2];    // source rows scaled across, by the row's lowest bit
    int acrossRow[2];      // the source row each holds, or -1
    AcrossGroup *plan;     // with AVX2: the first columns, eight at a time
    int planned;           // the columns planned
};
void StartArtScaler(ArtScaler *s, const char *path, const uint8_t *picture, int artWidth, int artHeight, int ringRows,
                    int width, int height);
void ScaleArtRow(ArtScaler *s, int y, uint8_t *out);
void EndArtScaler(ArtScaler *s);
