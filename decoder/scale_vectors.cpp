// Eight target pixels of a row at a time, one 32-bit lane each: the two
// source pixels read as words, each channel weighted in the low half of its
// lane (p (256 - f) + q f is at most 255 * 256, so 16-bit products do), and
// the 24 bytes packed out. The same bytes as ScaleAcross in scale.cpp.
#include "decoder/scale_vectors.h"

#include <string.h>

#if defined(__AVX2__)

#include <immintrin.h>

static inline int Word(const uint8_t *p)
{
    int word;
    memcpy(&word, p, sizeof word);
    return word;
}

int ScaleAcrossAvx2(const uint8_t *src, const int *columns, int count, uint8_t *out)
{
    const __m256i low8 = _mm256_set1_epi32(0xFF), whole = _mm256_set1_epi32(256);
    // Blue, green, red of each lane's pixel, together at the start of each half.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int j = 0;
    for (; j + 8 <= count; j += 8) {
        const int *c = columns + j;
        const uint8_t *s[8];
        for (int i = 0; i < 8; i++)
            s[i] = src + (size_t)(c[i] >> 8) * 3;
        // The pixel and, read from two bytes on and shifted down, the one after it.
        __m256i p = _mm256_setr_epi32(Word(s[0]), Word(s[1]), Word(s[2]), Word(s[3]), Word(s[4]), Word(s[5]),
                                      Word(s[6]), Word(s[7]));
        __m256i q = _mm256_setr_epi32(Word(s[0] + 2), Word(s[1] + 2), Word(s[2] + 2), Word(s[3] + 2),
                                      Word(s[4] + 2), Word(s[5] + 2), Word(s[6] + 2), Word(s[7] + 2));
        q = _mm256_srli_epi32(q, 8);
        __m256i f = _mm256_and_si256(_mm256_loadu_si256((const __m256i *)c), low8);
        __m256i g = _mm256_sub_epi32(whole, f);
        __m256i result = _mm256_setzero_si256();
        for (int ch = 0; ch < 3; ch++) {
            __m256i pc = _mm256_and_si256(_mm256_srli_epi32(p, 8 * ch), low8);
            __m256i qc = _mm256_and_si256(_mm256_srli_epi32(q, 8 * ch), low8);
            __m256i sum = _mm256_add_epi32(_mm256_mullo_epi16(pc, g), _mm256_mullo_epi16(qc, f));
            result = _mm256_or_si256(result, _mm256_slli_epi32(_mm256_srli_epi32(sum, 8), 8 * ch));
        }
        result = _mm256_shuffle_epi8(result, pack);
        // Twelve bytes from each half; the first store's last four are
        // written over by the second's.
        uint8_t *o = out + (size_t)j * 3;
        __m128i upper = _mm256_extracti128_si256(result, 1);
        _mm_storeu_si128((__m128i *)o, _mm256_castsi256_si128(result));
        _mm_storel_epi64((__m128i *)(o + 12), upper);
        int last = _mm_cvtsi128_si32(_mm_srli_si128(upper, 8));
        memcpy(o + 20, &last, 4);
    }
    return j;
}

#else

int ScaleAcrossAvx2(const uint8_t *, const int *, int, uint8_t *) { return 0; }

#endif
