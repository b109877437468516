// Eight words of pixels at a time, each word's top byte dropped. The same
// bytes as the plain loop in colour.cpp.
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

#else

int PackWordsAvx2(const uint32_t *, int, uint8_t *) { return 0; }

#endif
