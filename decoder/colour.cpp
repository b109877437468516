#include "decoder/colour.h"

#include "app/apperror.h"

#include <stdlib.h>

uint8_t LevelTable[1024];

void BuildLevelTable()
{
    for (int k = -kLevelZero; k < kLevelZero; k++)
        LevelTable[k + kLevelZero] = (uint8_t)(k <= 0 ? 0 : k > 248 ? 255 : 255 * k / 248);
}

// All sums and products wrap in 32 bits and every shift is arithmetic, so any
// plane values give a defined result.
static inline int32_t Wrap(uint32_t v) { return (int32_t)v; }

static inline uint8_t Level(int32_t k)
{
    if (k < -kLevelZero)
        k = -kLevelZero;
    else if (k >= kLevelZero)
        k = kLevelZero - 1;
    return LevelTable[k + kLevelZero];
}

static inline void Pixel(uint8_t *out, int32_t y, int32_t u, int32_t v)
{
    int32_t b4 = Wrap((uint32_t)y + 2u * (uint32_t)u - 1024u);
    int32_t r4 = Wrap((uint32_t)y + (uint32_t)(Wrap(1638u * (uint32_t)v) >> 10) - 819u);
    int32_t g = Wrap((uint32_t)y - (uint32_t)(Wrap(116u * (uint32_t)b4) >> 10) -
                     (uint32_t)(Wrap(306u * (uint32_t)r4) >> 10));
    out[0] = Level(b4 >> 2);
    out[1] = Level(Wrap(1744u * (uint32_t)g) >> 12);
    out[2] = Level(r4 >> 2);
}

// A chroma sample for column j of a subsampled row: the sample itself for an
// even column, the mean of it and the next (truncated towards zero) for an
// odd one, its own sample in the last column.
static inline int32_t HalfSample(const int32_t *row, int j, int m)
{
    int k = j / 2;
    if (!(j & 1) || j == m - 1)
        return row[k];
    return Wrap((uint32_t)row[k] + (uint32_t)row[k + 1]) / 2;
}

uint8_t *ConvertPiece(const int32_t *yPlane, int32_t yOffset, int m, const int32_t *uPlane, int32_t uOffset,
                      const int32_t *vPlane, int32_t vOffset, int c, int subsampled, int rows)
{
    uint8_t *pixels = (uint8_t *)malloc((size_t)m * m * 3 + 4);
    AppAssert(pixels != nullptr, "D42SAVE", __LINE__, "Not enough memory for a %d x %d art piece", m, m);
    for (int i = 0; i < rows; i++) {
        const int32_t *yRow = yPlane + (long)i * m;
        const int32_t *uRow = uPlane + (long)(subsampled ? i / 2 : i) * c;
        const int32_t *vRow = vPlane + (long)(subsampled ? i / 2 : i) * c;
        uint8_t *out = pixels + (long)i * m * 3;
        for (int j = 0; j < m; j++) {
            int32_t y = Wrap((uint32_t)yRow[j] + (uint32_t)yOffset);
            int32_t u = subsampled ? HalfSample(uRow, j, m) : uRow[j];
            int32_t v = subsampled ? HalfSample(vRow, j, m) : vRow[j];
            Pixel(out + j * 3, y, Wrap((uint32_t)u + (uint32_t)uOffset), Wrap((uint32_t)v + (uint32_t)vOffset));
        }
    }
    return pixels;
}
