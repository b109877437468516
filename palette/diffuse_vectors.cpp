// The row reduction with the three channels of a pixel in one SSE2 vector,
// for the kernels whose every share is an exact multiple of 256 / divisor
// (1, 2 Floyd-Steinberg, 4 Burkes): there a share of error e is
// (256 / divisor) (divisor / 2 + weight e) = 128 + (256 / divisor) weight e,
// one multiply-add of 16-bit pairs, with no table. Such a kernel's taps below
// reach one row only, and only its row above writes that row, so the shares
// for it are summed in registers and each entry is stored once, when the
// last pixel that reaches it is done: no error row is added to or cleared.
// The same bytes as the plain reduction in diffuse.cpp, which runs on
// processors without SSE2 and for the other kernels.
//
// This file is compiled for SSE2 on every build (32-bit Windows assumes less)
// and runs only where the processor has it (KernelLevelInUse).
#include "palette/diffuse_loop.h"
#include "palette/palette_search.h"

#if defined(__SSE2__)

#include <emmintrin.h>

namespace {

// Whether every share of kernel k is an exact multiple of 256 / divisor and
// its taps are those this file sums: one row below, two columns either way.
constexpr bool Linear(const DiffusionKernelTaps &k)
{
    if (k.tapCount == 0 || k.rows != 2 || 256 % k.divisor != 0)
        return false;
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy > 1 || k.taps[t].dx < -2 || k.taps[t].dx > 2 || (k.taps[t].dy == 0 && k.taps[t].dx < 1))
            return false;
    return true;
}

// The columns a kernel's taps on the row below reach, relative to the pixel.
constexpr int BelowFrom(const DiffusionKernelTaps &k)
{
    int from = 0;
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy == 1 && k.taps[t].dx < from)
            from = k.taps[t].dx;
    return from;
}
constexpr int BelowTo(const DiffusionKernelTaps &k)
{
    int to = 0;
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy == 1 && k.taps[t].dx > to)
            to = k.taps[t].dx;
    return to;
}

// Blue, green, red and a fourth lane, each 32 bits: one error entry of three
// values and the next entry's first, which the loads and stores carry along
// (a store's fourth lane is 0 and the next entry's store comes after it).
inline __m128i LoadEntry(const int32_t *p) { return _mm_loadu_si128((const __m128i *)p); }
inline void StoreEntry(int32_t *p, __m128i v) { _mm_storeu_si128((__m128i *)p, v); }

// The low three bytes of q (blue, green, red) as a pixel: two stores, not three.
inline void StorePixel(uint8_t *pixel, uint32_t q)
{
    uint16_t low = (uint16_t)q;
    memcpy(pixel, &low, sizeof low);
    pixel[2] = (uint8_t)(q >> 16);
}

template <int K, bool Palette>
struct VectorRows {
    static constexpr const DiffusionKernelTaps &kKernel = kDiffusionKernels[K];
    static constexpr bool kPairs = true;
    static constexpr bool kClears = false;
    static constexpr int kFrom = BelowFrom(kKernel), kTo = BelowTo(kKernel);
    static constexpr int kWindow = kTo - kFrom + 1;  // entries of the row below summed at once
    static constexpr int kScale = 256 / kKernel.divisor;

    const PaletteTables &palette = ActivePalette;
    const SearchIndex &index = ActiveSearchIndex;
    size_t rowBytes;

    struct Row {
        uint8_t *image;
        const int32_t *error;  // the row's own error entries, pixel 0's at error[0]
        int32_t *below;        // the row below's
        __m128i carry1, carry2;  // the shares carried to x + 1 and x + 2
        // The row below's sums for the entries x + kFrom ... x + kTo, before
        // pixel x adds its shares; the first is then complete.
        __m128i window[kWindow];
    };

    void Begin(Row &r, uint8_t *pixels, int32_t *const *ring)
    {
        r.image = pixels;
        r.error = ring[0] + kErrorMargin * 3;
        r.below = ring[1] + kErrorMargin * 3;
        r.carry1 = r.carry2 = _mm_setzero_si128();
        for (__m128i &w : r.window)
            w = _mm_setzero_si128();
    }

    // The entries still in the window after the row's last pixel, from
    // entry width + kFrom on.
    void End(Row &r)
    {
        for (int i = 0; i + 1 < kWindow; i++)
            StoreEntry(r.below + rowBytes + (kFrom + i) * 3, r.window[i]);
    }

    // The share of error e for weight: pairs holds (e, 1) for each channel
    // (16 bits each, the fourth pair (0, 0)); the result is 128 + scale
    // weight e in the first three lanes and 0 in the fourth.
    static inline __attribute__((always_inline)) __m128i Share(__m128i pairs, int weight)
    {
        const short m = (short)(kScale * weight);
        return _mm_madd_epi16(pairs, _mm_setr_epi16(m, 128, m, 128, m, 128, 0, 0));
    }

    inline __attribute__((always_inline)) void Step(Row &r, size_t at)
    {
        uint8_t *pixel = r.image + at;
        const __m128i zero = _mm_setzero_si128();
        // One load for the pixel's three bytes and the next one's first,
        // which no lane that counts takes; the row's last pixel has no next.
        uint32_t in;
        if (__builtin_expect(at + 3 < rowBytes, 1))
            memcpy(&in, pixel, sizeof in);
        else
            in = pixel[0] | pixel[1] << 8 | pixel[2] << 16;
        __m128i bytes = _mm_cvtsi32_si128((int)in);
        __m128i level = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
        __m128i sum = _mm_add_epi32(LoadEntry(r.error + at), r.carry1);
        level = _mm_add_epi32(level, _mm_srai_epi32(sum, 8));
        // Clamped to 0-255 by the two saturating packs.
        __m128i words = _mm_packs_epi32(level, level);
        __m128i clamped = _mm_packus_epi16(words, words);
        __m128i error16;
        if constexpr (Palette) {
            // The cell: the top four bits of blue, green and red, gathered
            // by one multiply (no two of its partial products meet in bits
            // 20-31, and the fourth byte, the next pixel's, drops out).
            uint32_t bytes4 = (uint32_t)_mm_cvtsi128_si32(clamped);
            const JumpCell &cell = index.jump[((bytes4 & 0xF0F0F0) * 0x01001001u) >> 20];
            __m128i chosen;
            uint32_t q;
            // Black and white are never in a one-answer cell.
            if (__builtin_expect(cell.list == kJumpOne, 1)) {
                // The cell's one answer: read again straight into the vector,
                // which spares the path from pixel to pixel a move.
                q = cell.one;
                chosen = _mm_loadu_si32(&cell.one);
            } else {
                // Black and white are taken as they are, without a search.
                uint32_t c = bytes4 & 0xFFFFFF;
                q = c;
                if (c != 0 && c != 0xFFFFFF) {
                    int64_t best = SearchPalette(palette, index, c & 0xFF, (c >> 8) & 0xFF, c >> 16);
                    q = best < 0 ? 0 : (uint32_t)best;  // no entries: black
                }
                chosen = _mm_cvtsi32_si128((int)q);
            }
            StorePixel(pixel, q);
            // The fourth bytes (the candidate's place) drop out with the
            // mask of the lanes below.
            error16 = _mm_and_si128(_mm_sub_epi16(_mm_unpacklo_epi8(clamped, zero), _mm_unpacklo_epi8(chosen, zero)),
                                    _mm_setr_epi16(-1, -1, -1, 0, 0, 0, 0, 0));
        } else {
            // Five bits a channel: the error is the low three bits, none for white.
            __m128i low = _mm_and_si128(clamped, _mm_cvtsi32_si128(0x070707));
            if (__builtin_expect((_mm_movemask_epi8(_mm_cmpeq_epi8(clamped, _mm_set1_epi8(-1))) & 7) == 7, 0))
                low = zero;
            StorePixel(pixel, (uint32_t)_mm_cvtsi128_si32(_mm_sub_epi8(clamped, low)));
            error16 = _mm_unpacklo_epi8(low, zero);
        }
        __m128i pairs = _mm_unpacklo_epi16(error16, _mm_setr_epi16(1, 1, 1, 0, 0, 0, 0, 0));
        __m128i carry1 = r.carry2, carry2 = zero;
#pragma GCC unroll 8
        for (int t = 0; t < kKernel.tapCount; t++) {
            const DiffusionTap &tap = kKernel.taps[t];
            __m128i share = Share(pairs, tap.weight);
            if (tap.dy == 0 && tap.dx == 1)
                carry1 = _mm_add_epi32(carry1, share);
            else if (tap.dy == 0)
                carry2 = share;
            else
                r.window[tap.dx - kFrom] = _mm_add_epi32(r.window[tap.dx - kFrom], share);
        }
        r.carry1 = carry1, r.carry2 = carry2;
        StoreEntry(r.below + at + kFrom * 3, r.window[0]);
        for (int i = 0; i + 1 < kWindow; i++)
            r.window[i] = r.window[i + 1];
        r.window[kWindow - 1] = zero;
    }
};

template <int K>
bool Diffuse(bool palette, uint8_t *image, int rows, int width, int fill, int32_t **ring,
             const std::atomic<int> *above, std::atomic<int> *mine)
{
    static_assert(Linear(kDiffusionKernels[K]), "the kernel's shares are exact multiples");
    if (palette) {
        VectorRows<K, true> s{ActivePalette, ActiveSearchIndex, (size_t)width * 3};
        VisitRows(s, image, rows, width, fill, ring, above, mine);
    } else {
        VectorRows<K, false> s{ActivePalette, ActiveSearchIndex, (size_t)width * 3};
        VisitRows(s, image, rows, width, fill, ring, above, mine);
    }
    return true;
}

}  // namespace

bool DiffuseVectors(int kernel, bool palette, uint8_t *image, int rows, int width, int fill, int32_t **ring,
                    const std::atomic<int> *above, std::atomic<int> *mine)
{
    switch (kernel) {
    case 1: return Diffuse<1>(palette, image, rows, width, fill, ring, above, mine);
    case 2: return Diffuse<2>(palette, image, rows, width, fill, ring, above, mine);
    case 4: return Diffuse<4>(palette, image, rows, width, fill, ring, above, mine);
    default: return false;
    }
}

#else

bool DiffuseVectors(int, bool, uint8_t *, int, int, int, int32_t **, const std::atomic<int> *, std::atomic<int> *)
{
    return false;
}

#endif
