// The colour conversion of the art decoder: three reconstructed planes
// (Y brightness, U and V colour differences, in quarter levels) become blue,
// green, red pixels through a fixed-point conversion and the level stretch.
//
// Per pixel, with Y', U', V' the plane values plus their offsets:
//   B4 = Y' + 2 U' - 1024
//   R4 = Y' + ((1638 V') >> 10) - 819
//   G' = Y' - ((116 B4) >> 10) - ((306 R4) >> 10)
//   blue = LevelTable[B4 >> 2], green = LevelTable[(1744 G') >> 12], red = LevelTable[R4 >> 2]
// that is B = Y + 2 (U - 128) and R = Y + 1.6 (V - 128) in levels, and G
// solves Y = 0.299 R + 0.587 G + 0.114 B.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The level stretch, for levels k = -512 ... 511 at LevelTable[k + kLevelZero]:
// 0 for k <= 0, 255 k / 248 (rounded down) for 0 < k <= 248, 255 above. Levels
// outside the table (only extreme coefficients give them) take its end values.
constexpr int kLevelZero = 512;
extern uint8_t LevelTable[1024];  // built by BuildLevelTable (the encoder), then only read
void BuildLevelTable();

// Converts rows 0 ... rows - 1 (rows <= m) of a piece of side m into pixels,
// blue, green, red: row i goes to out + i * stride, m * 3 bytes of it. The U
// and V planes have rows of c values: c = m, or with the subsampling flag set
// c = m / 2, each chroma value then serving 2 x 2 pixels (an odd column takes
// the mean of its two neighbours' samples, the last column its own sample).
void ConvertPiece(const int32_t *yPlane, int32_t yOffset, int m, const int32_t *uPlane, int32_t uOffset,
                  const int32_t *vPlane, int32_t vOffset, int c, int subsampled, int rows, uint8_t *out,
                  size_t stride);

// The same a row at a time. ChromaTerms gives, for the m pixels of a row, what
// the U and V rows add to B4 and R4 (each chroma row of c values); ConvertRow
// turns a row of Y values into m pixels at out (3 m bytes), with pixels as
// room for m words.
void ChromaTerms(const int32_t *uRow, int32_t uOffset, const int32_t *vRow, int32_t vOffset, int m, int subsampled,
                 int32_t *blueTerm, int32_t *redTerm);
void ConvertRow(const int32_t *yRow, int32_t yOffset, const int32_t *blueTerm, const int32_t *redTerm, int m,
                uint32_t *pixels, uint8_t *out);
// LevelTable's value for level k, by arithmetic; any k.
uint8_t StretchLevel(int32_t k);
