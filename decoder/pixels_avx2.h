// Eight pixels stored from a vector, for the decoder's files compiled for
// AVX2 only (scale_vectors.cpp, colour_vectors.cpp).
#pragma once

#include <immintrin.h>
#include <stdint.h>
#include <string.h>

// The low three bytes of each 32-bit lane of words (blue, green, red), as 24
// bytes at out: a shuffle packs twelve bytes into each half, and three stores
// write them; the first store's last four are written over by the second's.
static inline void StoreEightPixels(uint8_t *out, __m256i words)
{
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    __m256i packed = _mm256_shuffle_epi8(words, pack);
    __m128i upper = _mm256_extracti128_si256(packed, 1);
    _mm_storeu_si128((__m128i *)out, _mm256_castsi256_si128(packed));
    _mm_storel_epi64((__m128i *)(out + 12), upper);
    int last = _mm_cvtsi128_si32(_mm_srli_si128(upper, 8));
    memcpy(out + 20, &last, 4);
}
