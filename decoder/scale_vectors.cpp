// Eight target pixels of a row at a time, one 32-bit lane each: the two
// source pixels read as words, each channel weighted in the low half of its
// lane (p (256 - f) + q f is at most 255 * 256, so 16-bit products do), and
// the 24 bytes packed out. The same bytes as ScaleAcross in scale.cpp.
#include "decoder/scale_vectors.h"

#include <string.h>

#if defined(__AVX2__)

#include "decoder/pixels_avx2.h"

static inline int Word(const uint8_t *p)
{
    int word;
    memcpy(&word, p, sizeof word);
    return word;
}

int ScaleAcrossAvx2(const uint8_t *src, const int *columns, int count, uint8_t *out)
{
    const __m256i low8 = _mm256_set1_epi32(0xFF), whole = _mm256_set1_epi32(256);
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
        StoreEightPixels(out + (size_t)j * 3, result);
    }
    return j;
}

// The shuffle masks of a vector of two pairs of target pixels, by the pairs'
// steps (d0 for the low lane's pair, d1 for the high's: the second pixel of
// a pair starts 3 d bytes after the first): for each pixel, blue, green and
// red of the pixel (p) or of the one after it (q) as 16-bit words, then a
// zero word.
struct AcrossMasks {
    alignas(32) uint8_t p[16][32], q[16][32];
};
static constexpr AcrossMasks MakeAcrossMasks()
{
    AcrossMasks m{};
    for (int combo = 0; combo < 16; combo++)
        for (int lane = 0; lane < 2; lane++) {
            int d = lane == 0 ? combo & 3 : combo >> 2;
            for (int pixel = 0; pixel < 2; pixel++)
                for (int word = 0; word < 4; word++) {
                    int at = lane * 16 + pixel * 8 + word * 2;
                    int from = pixel * 3 * d + word;
                    m.p[combo][at] = (uint8_t)(word < 3 ? from : 0x80);
                    m.q[combo][at] = (uint8_t)(word < 3 ? from + 3 : 0x80);
                    m.p[combo][at + 1] = m.q[combo][at + 1] = 0x80;
                }
        }
    return m;
}
static constexpr AcrossMasks kAcrossMasks = MakeAcrossMasks();

int PlanScaleAcrossAvx2(const int *columns, int count, int rowBytes, AcrossGroup *plan)
{
    // The pairs of a group in the order of the vectors' lanes: (j, j + 4) in
    // the first vector, (j + 2, j + 6) in the second.
    static const int kPairAt[4] = {0, 4, 2, 6};
    int j = 0;
    for (; j + 8 <= count; j += 8) {
        AcrossGroup &g = plan[j / 8];
        int steps[4];
        for (int k = 0; k < 4; k++) {
            int first = columns[j + kPairAt[k]] >> 8, second = columns[j + kPairAt[k] + 1] >> 8;
            steps[k] = second - first;
            // The window's 16 bytes hold both pixels and the pixels after
            // them, inside the row.
            if (steps[k] < 0 || steps[k] > 3 || (long long)first * 3 + 16 > rowBytes)
                return j;
            g.base[k] = first * 3;
        }
        g.masks[0] = steps[0] | steps[1] << 2;
        g.masks[1] = steps[2] | steps[3] << 2;
        for (int v = 0; v < 2; v++)
            for (int lane = 0; lane < 2; lane++)
                for (int pixel = 0; pixel < 2; pixel++) {
                    int f = columns[j + kPairAt[v * 2 + lane] + pixel] & 255;
                    for (int word = 0; word < 4; word++)
                        g.weights[v][lane * 8 + pixel * 4 + word] = (uint16_t)(word < 3 ? f : 0);
                }
    }
    return j;
}

int ScaleAcrossPlannedAvx2(const uint8_t *src, const AcrossGroup *plan, int count, uint8_t *out)
{
    const __m256i whole = _mm256_set1_epi16(256);
    for (int j = 0; j < count; j += 8) {
        const AcrossGroup &g = plan[j / 8];
        __m256i words[2];
        for (int v = 0; v < 2; v++) {
            __m256i window = _mm256_loadu2_m128i((const __m128i *)(src + g.base[v * 2 + 1]),
                                                 (const __m128i *)(src + g.base[v * 2]));
            __m256i p = _mm256_shuffle_epi8(window, _mm256_load_si256((const __m256i *)kAcrossMasks.p[g.masks[v]]));
            __m256i q = _mm256_shuffle_epi8(window, _mm256_load_si256((const __m256i *)kAcrossMasks.q[g.masks[v]]));
            // p (256 - f) + q f is at most 255 * 256: it fits a 16-bit word.
            // The zero words of p take 256 and give 0.
            __m256i f = _mm256_loadu_si256((const __m256i *)g.weights[v]);
            __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(p, _mm256_sub_epi16(whole, f)), _mm256_mullo_epi16(q, f));
            words[v] = _mm256_srli_epi16(sum, 8);
        }
        // Pixels j ... j + 3 in the low half, j + 4 ... j + 7 in the high.
        StoreEightPixels(out + (size_t)j * 3, _mm256_packus_epi16(words[0], words[1]));
    }
    return count;
}

#else

int ScaleAcrossAvx2(const uint8_t *, const int *, int, uint8_t *) { return 0; }
int PlanScaleAcrossAvx2(const int *, int, int, AcrossGroup *) { return 0; }
int ScaleAcrossPlannedAvx2(const uint8_t *, const AcrossGroup *, int, uint8_t *) { return 0; }

#endif
