#include "decoder/colour.h"

#include "base/apperror.h"
#include "base/kernels.h"
#include "decoder/colour_vectors.h"

#include <stdlib.h>
#include <string.h>

uint8_t LevelTable[1024];

void BuildLevelTable()
{
    for (int k = -kLevelZero; k < kLevelZero; k++)
        LevelTable[k + kLevelZero] = (uint8_t)(k <= 0 ? 0 : k > 248 ? 255 : 255 * k / 248);
}

// All sums and products wrap in 32 bits and every shift is arithmetic, so any
// plane values give a defined result.
static inline int32_t Wrap(uint32_t v) { return (int32_t)v; }

// One row's chroma terms, per pixel: 2 U' - 1024 (what U adds to B4) and
// ((1638 V') >> 10) - 819 (what V adds to R4).
static inline void Terms(int32_t u, int32_t uOffset, int32_t v, int32_t vOffset, int32_t *blueTerm,
                         int32_t *redTerm)
{
    uint32_t u1 = (uint32_t)u + (uint32_t)uOffset, v1 = (uint32_t)v + (uint32_t)vOffset;
    *blueTerm = Wrap(2u * u1 - 1024u);
    *redTerm = Wrap((uint32_t)(Wrap(1638u * v1) >> 10) - 819u);
}

// The mean of two samples, their sum wrapping, truncated towards zero.
static inline int32_t Mean(int32_t a, int32_t b) { return Wrap((uint32_t)a + (uint32_t)b) / 2; }

// Subsampled, column 2k takes sample k, column 2k + 1 the mean of samples k
// and k + 1, and the last column (odd, as m is even) its own sample. Both
// loops are plain arithmetic that the compiler can vectorise.
KERNEL_BODY void FullTermsBody(const int32_t *__restrict uRow, int32_t uOffset, const int32_t *__restrict vRow,
                               int32_t vOffset, int m, int32_t *__restrict blueTerm, int32_t *__restrict redTerm)
{
    for (int j = 0; j < m; j++)
        Terms(uRow[j], uOffset, vRow[j], vOffset, &blueTerm[j], &redTerm[j]);
}
KERNEL_LEVELS(FullTerms,
              (const int32_t *uRow, int32_t uOffset, const int32_t *vRow, int32_t vOffset, int m, int32_t *blueTerm,
               int32_t *redTerm),
              (uRow, uOffset, vRow, vOffset, m, blueTerm, redTerm))

KERNEL_BODY void HalfTermsBody(const int32_t *__restrict uRow, int32_t uOffset, const int32_t *__restrict vRow,
                               int32_t vOffset, int c, int32_t *__restrict blueTerm, int32_t *__restrict redTerm)
{
    for (int k = 0; k + 1 < c; k++) {
        Terms(uRow[k], uOffset, vRow[k], vOffset, &blueTerm[2 * k], &redTerm[2 * k]);
        Terms(Mean(uRow[k], uRow[k + 1]), uOffset, Mean(vRow[k], vRow[k + 1]), vOffset, &blueTerm[2 * k + 1],
              &redTerm[2 * k + 1]);
    }
}
KERNEL_LEVELS(HalfTerms,
              (const int32_t *uRow, int32_t uOffset, const int32_t *vRow, int32_t vOffset, int c, int32_t *blueTerm,
               int32_t *redTerm),
              (uRow, uOffset, vRow, vOffset, c, blueTerm, redTerm))

void ChromaTerms(const int32_t *uRow, int32_t uOffset, const int32_t *vRow, int32_t vOffset, int m, int subsampled,
                 int32_t *blueTerm, int32_t *redTerm)
{
    if (!subsampled) {
        FullTerms(uRow, uOffset, vRow, vOffset, m, blueTerm, redTerm);
        return;
    }
    int c = m / 2;
    if (c < 1)
        return;
    HalfTerms(uRow, uOffset, vRow, vOffset, c, blueTerm, redTerm);
    int k = c - 1;
    Terms(uRow[k], uOffset, vRow[k], vOffset, &blueTerm[2 * k], &redTerm[2 * k]);
    blueTerm[2 * k + 1] = blueTerm[2 * k], redTerm[2 * k + 1] = redTerm[2 * k];
}

uint8_t StretchLevel(int32_t k)
{
    int32_t c = k < 0 ? 0 : k > 248 ? 248 : k;
    return (uint8_t)(c + ((c * 29603) >> 20));
}

// The three stretched levels of each pixel of a row as one word, blue in the
// lowest byte: a loop of plain arithmetic that the compiler can vectorise.
// 255 k / 248 is k + 7 k / 248, and (29603 k) >> 20 is 7 k / 248 rounded down
// for k up to 248.
KERNEL_BODY void RowPixelsBody(const int32_t *__restrict yRow, int32_t yOffset, const int32_t *__restrict blueTerm,
                               const int32_t *__restrict redTerm, int m, uint32_t *__restrict pixels)
{
    for (int j = 0; j < m; j++) {
        uint32_t y = (uint32_t)yRow[j] + (uint32_t)yOffset;
        int32_t b4 = Wrap(y + (uint32_t)blueTerm[j]);
        int32_t r4 = Wrap(y + (uint32_t)redTerm[j]);
        int32_t g = Wrap(y - (uint32_t)(Wrap(116u * (uint32_t)b4) >> 10) - (uint32_t)(Wrap(306u * (uint32_t)r4) >> 10));
        int32_t kb = b4 >> 2, kg = Wrap(1744u * (uint32_t)g) >> 12, kr = r4 >> 2;
        kb = kb < 0 ? 0 : kb > 248 ? 248 : kb;
        kg = kg < 0 ? 0 : kg > 248 ? 248 : kg;
        kr = kr < 0 ? 0 : kr > 248 ? 248 : kr;
        uint32_t blue = (uint32_t)(kb + ((kb * 29603) >> 20));
        uint32_t green = (uint32_t)(kg + ((kg * 29603) >> 20));
        uint32_t red = (uint32_t)(kr + ((kr * 29603) >> 20));
        pixels[j] = blue | green << 8 | red << 16;
    }
}
KERNEL_LEVELS(RowPixels,
              (const int32_t *yRow, int32_t yOffset, const int32_t *blueTerm, const int32_t *redTerm, int m,
               uint32_t *pixels),
              (yRow, yOffset, blueTerm, redTerm, m, pixels))

void ConvertRow(const int32_t *yRow, int32_t yOffset, const int32_t *blueTerm, const int32_t *redTerm, int m,
                uint32_t *pixels, uint8_t *out)
{
    // With AVX2, straight to the pixels but for the last few, done here.
    if (KernelLevelInUse == kKernelAvx2) {
        int done = ConvertRowAvx2(yRow, yOffset, blueTerm, redTerm, m, out);
        yRow += done, blueTerm += done, redTerm += done, m -= done;
        out += 3 * (size_t)done;
    }
    RowPixels(yRow, yOffset, blueTerm, redTerm, m, pixels);
    int j = KernelLevelInUse == kKernelAvx2 ? PackWordsAvx2(pixels, m, out) : 0;
    // Each pixel but the row's last is stored as its whole word, whose top
    // byte the next pixel overwrites.
    for (; j < m - 1; j++)
        memcpy(out + 3 * j, &pixels[j], 4);
    if (j < m) {
        out[3 * j] = (uint8_t)pixels[j];
        out[3 * j + 1] = (uint8_t)(pixels[j] >> 8);
        out[3 * j + 2] = (uint8_t)(pixels[j] >> 16);
    }
}

void ConvertPiece(const int32_t *yPlane, int32_t yOffset, int m, const int32_t *uPlane, int32_t uOffset,
                  const int32_t *vPlane, int32_t vOffset, int c, int subsampled, int rows, uint8_t *out,
                  size_t stride)
{
    // Three rows of m integers: the chroma terms, then the pixels as words.
    int32_t *terms = (int32_t *)malloc((size_t)m * 3 * sizeof(int32_t));
    AppAssert(terms != nullptr, "D42SAVE", __LINE__, "Not enough memory for a %d x %d art piece", m, m);
    int32_t *blueTerm = terms, *redTerm = terms + m;
    uint32_t *levels = (uint32_t *)(terms + 2 * m);
    for (int i = 0; i < rows; i++) {
        // A subsampled chroma row serves two picture rows.
        if (!subsampled || !(i & 1)) {
            long chromaRow = subsampled ? i / 2 : i;
            ChromaTerms(uPlane + chromaRow * c, uOffset, vPlane + chromaRow * c, vOffset, m, subsampled, blueTerm,
                        redTerm);
        }
        ConvertRow(yPlane + (long)i * m, yOffset, blueTerm, redTerm, m, levels, out + i * stride);
    }
    free(terms);
}
