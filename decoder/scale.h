// Bilinear scaling of a decoded art picture to the screen's size, in fixed
// point: 16.16 steps, positions and fractions in 1/256 pixel.
#pragma once

#include <stdint.h>

constexpr int kMaxScaledSide = 32768;  // widest and tallest target, in pixels

// Bytes of one scaled row: width * 3 rounded up to a multiple of 4.
inline int ScaledRowBytes(int width) { return (width * 3 + 3) & ~3; }

// Scales picture (artWidth x artHeight, rows artWidth * 3 bytes apart, both
// sides at least 1) to width x height (1 ... kMaxScaledSide) into a new buffer
// of ScaledRowBytes(width) * max(artHeight, height) + 4 bytes, released by the
// caller with free(). Horizontally each source row but the last is
// interpolated between a pixel and the one after it in memory (the next row's
// first at the end of a row); the last source row becomes black. Vertically
// each row but the last is interpolated between two of those rows, in place in
// the result; the last row is black. Fill bytes are zero. path names the art
// in the report when the memory is not there.
uint8_t *ScaleArtImage(const char *path, const uint8_t *picture, int artWidth, int artHeight, int width,
                       int height);
