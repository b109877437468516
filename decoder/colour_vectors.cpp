// The colour conversion's vector loops: sixteen pixels of a row at a time
// from their Y values and chroma terms, and eight words of pixels at a time,
// each word's top byte dropped. The same bytes as the plain loops in
// colour.cpp.
#include "decoder/colour_vectors.h"

#include <string.h>

#if defined(__AVX2__)

#include "decoder/pixels_avx2.h"

int PackWordsAvx2(const uint32_t *words, int count, uint8_t *out)
{
    int j = 0;
    for (; j + 8 <= count; j += 8)
        StoreEightPixels(out + (size_t)j * 3, _mm256_loadu_si256((const __m256i *)(words + j)));
    return j;
}

// The stretched levels of eight pixels, 32 bits each, before the clamp: the
// arithmetic of RowPixelsBody in colour.cpp, wrapping in 32 bits alike.
static inline void EightLevels(const int32_t *yRow, __m256i yOffset, const int32_t *blueTerm,
                               const int32_t *redTerm, __m256i *kb, __m256i *kg, __m256i *kr)
{
    __m256i y = _mm256_add_epi32(_mm256_loadu_si256((const __m256i *)yRow), yOffset);
    __m256i b4 = _mm256_add_epi32(y, _mm256_loadu_si256((const __m256i *)blueTerm));
    __m256i r4 = _mm256_add_epi32(y, _mm256_loadu_si256((const __m256i *)redTerm));
    __m256i g = _mm256_sub_epi32(
        _mm256_sub_epi32(y, _mm256_srai_epi32(_mm256_mullo_epi32(b4, _mm256_set1_epi32(116)), 10)),
        _mm256_srai_epi32(_mm256_mullo_epi32(r4, _mm256_set1_epi32(306)), 10));
    *kb = _mm256_srai_epi32(b4, 2);
    *kg = _mm256_srai_epi32(_mm256_mullo_epi32(g, _mm256_set1_epi32(1744)), 12);
    *kr = _mm256_srai_epi32(r4, 2);
}

// Sixteen levels, eight from each of a and b, clamped to 0-248 and stretched
// to 0-255 in 16-bit lanes: the saturating pack keeps every level's side of 0
// and of 248, and for k up to 248, (29603 k) >> 20 is the high half of the
// 16-bit product shifted by 4. The lanes come in the pack's order: a's first
// four, b's first four, a's last four, b's last four.
static inline __m256i Stretched(__m256i a, __m256i b)
{
    __m256i k = _mm256_min_epi16(_mm256_max_epi16(_mm256_packs_epi32(a, b), _mm256_setzero_si256()),
                                 _mm256_set1_epi16(248));
    return _mm256_add_epi16(k, _mm256_srli_epi16(_mm256_mulhi_epu16(k, _mm256_set1_epi16(29603)), 4));
}

int ConvertRowAvx2(const int32_t *yRow, int32_t yOffset, const int32_t *blueTerm, const int32_t *redTerm, int m,
                   uint8_t *out)
{
    const __m256i offset = _mm256_set1_epi32(yOffset);
    int j = 0;
    for (; j + 16 <= m; j += 16) {
        __m256i kb[2], kg[2], kr[2];
        for (int h = 0; h < 2; h++)
            EightLevels(yRow + j + 8 * h, offset, blueTerm + j + 8 * h, redTerm + j + 8 * h, &kb[h], &kg[h], &kr[h]);
        __m256i blueGreen = _mm256_or_si256(Stretched(kb[0], kb[1]), _mm256_slli_epi16(Stretched(kg[0], kg[1]), 8));
        __m256i red = Stretched(kr[0], kr[1]);
        // Each half's first four pairs are pixels of a, its last four of b:
        // the low unpack makes pixels 0-7, the high one pixels 8-15.
        StoreEightPixels(out + (size_t)j * 3, _mm256_unpacklo_epi16(blueGreen, red));
        StoreEightPixels(out + (size_t)j * 3 + 24, _mm256_unpackhi_epi16(blueGreen, red));
    }
    return j;
}

#else

int PackWordsAvx2(const uint32_t *, int, uint8_t *) { return 0; }
int ConvertRowAvx2(const int32_t *, int32_t, const int32_t *, const int32_t *, int, uint8_t *) { return 0; }

#endif
