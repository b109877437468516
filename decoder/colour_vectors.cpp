// Eight words of pixels at a time: a shuffle drops each word's top byte in
// each half, and three stores write the 24 bytes. The same bytes as the plain
// loop in colour.cpp.
#include "decoder/colour_vectors.h"

#include <string.h>

#if defined(__AVX2__)

#include <immintrin.h>

int PackWordsAvx2(const uint32_t *words, int count, uint8_t *out)
{
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int j = 0;
    for (; j + 8 <= count; j += 8) {
        __m256i packed = _mm256_shuffle_epi8(_mm256_loadu_si256((const __m256i *)(words + j)), pack);
        // Twelve bytes from each half; the first store's last four are
        // written over by the second's.
        uint8_t *o = out + (size_t)j * 3;
        __m128i upper = _mm256_extracti128_si256(packed, 1);
        _mm_storeu_si128((__m128i *)o, _mm256_castsi256_si128(packed));
        _mm_storel_epi64((__m128i *)(o + 12), upper);
        int last = _mm_cvtsi128_si32(_mm_srli_si128(upper, 8));
        memcpy(o + 20, &last, 4);
    }
    return j;
}

#else

int PackWordsAvx2(const uint32_t *, int, uint8_t *) { return 0; }

#endif
