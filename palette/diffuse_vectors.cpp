// The row reduction with the three channels of a pixel in one SSE2 vector,
// for the kernels whose every share is an exact multiple of 256 / divisor
// (1, 2 Floyd-Steinberg, 4 Burkes) and whose divisor is a power of two: there
// a share of error e is (256 / divisor) (divisor / 2 + weight e), so the sum
// of an entry's shares in 1/256 of a level, taken down to whole levels, is the
// sum of their divisor / 2 + weight e taken down by log2 (divisor) bits. That
// sum never leaves 16 bits (a kernel's weights add up to its divisor), so a
// channel takes a 16-bit lane, the weights are shifts, and the clamp is one
// saturating pack. Such a kernel's taps below reach one row only, and only its
// row above writes that row, so the shares for it are summed in registers and
// each entry is stored once, when the last pixel that reaches it is done: no
// error row is added to or cleared.
// The same bytes as the plain reduction in diffuse.cpp, which runs on
// processors without SSE2 and for the other kernels.
//
// This file is compiled for SSE2 on every build (32-bit Windows assumes less)
// and runs only where the processor has it (KernelLevelInUse).
#include "palette/diffuse_loop.h"
#include "palette/palette_search.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include <utility>

namespace {

// Whether every share of kernel k is an exact multiple of 256 / divisor, its
// divisor a power of two, and its taps those this file sums: one row below,
// two columns either way.
constexpr bool Linear(const DiffusionKernelTaps &k)
{
    if (k.tapCount == 0 || k.rows != 2 || 256 % k.divisor != 0 || k.divisor < 2)
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

// An error entry is blue, green and red, 16 bits each, 6 bytes an entry, so
// that pixel x's entry is at 2 x of its pixel's byte offset 3 x. A vector
// reads it with the next entry's blue in a fourth lane and writes it with
// whatever that lane holds: entries are written in order, so the next one's
// own write comes after. The fourth lane of every value here is such a
// passenger (the next pixel's blue, the candidate's place, sums of them) and
// never reaches the first three: every operation keeps its lanes apart.
inline __m128i LoadEntry(const int16_t *p) { return _mm_loadl_epi64((const __m128i *)p); }
inline void StoreEntry(int16_t *p, __m128i v) { _mm_storel_epi64((__m128i *)p, v); }

// weight times e in each lane: a shift, or a shift and an add or subtract,
// for the weights the kernels here use.
template <int Weight>
inline __attribute__((always_inline)) __m128i Times(__m128i e)
{
    if constexpr (Weight == 1)
        return e;
    else if constexpr ((Weight & (Weight - 1)) == 0)
        return _mm_slli_epi16(e, CeilLog2(Weight));
    else if constexpr (((Weight + 1) & Weight) == 0)
        return _mm_sub_epi16(_mm_slli_epi16(e, CeilLog2(Weight + 1)), e);
    else if constexpr (((Weight - 1) & (Weight - 2)) == 0)
        return _mm_add_epi16(_mm_slli_epi16(e, CeilLog2(Weight - 1)), e);
    else
        return _mm_mullo_epi16(e, _mm_set1_epi16(Weight));
}

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
    static constexpr int kShift = CeilLog2(kKernel.divisor);
    static constexpr int kHalf = kKernel.divisor / 2;

    const PaletteTables &palette = ActivePalette;
    const SearchIndex &index = ActiveSearchIndex;
    size_t rowBytes;

    struct Row {
        uint8_t *image;
        const int16_t *error;  // the row's own error entries, pixel 0's at error[0]
        int16_t *below;        // the row below's
        __m128i carry1, carry2;  // the shares carried to x + 1 and x + 2
        // The row below's sums for the entries x + kFrom ... x + kTo, before
        // pixel x adds its shares; the first is then complete.
        __m128i window[kWindow];
    };

    void Begin(Row &r, uint8_t *pixels, int32_t *const *ring)
    {
        r.image = pixels;
        r.error = (const int16_t *)ring[0] + kErrorMargin * 3;
        r.below = (int16_t *)ring[1] + kErrorMargin * 3;
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

    // Tap T's share of the error e: to the next pixels' carries or into the window.
    template <int T>
    static inline __attribute__((always_inline)) void Share(Row &r, __m128i e, __m128i &carry1, __m128i &carry2)
    {
        constexpr DiffusionTap tap = kKernel.taps[T];
        const __m128i half = _mm_set1_epi16(kHalf);
        if constexpr (tap.dy == 0 && tap.dx == 1)
            carry1 = _mm_add_epi16(_mm_add_epi16(carry1, half), Times<tap.weight>(e));  // last: on the path
        else if constexpr (tap.dy == 0)
            carry2 = _mm_add_epi16(half, Times<tap.weight>(e));
        else
            r.window[tap.dx - kFrom] = _mm_add_epi16(r.window[tap.dx - kFrom], _mm_add_epi16(half, Times<tap.weight>(e)));
    }

    template <size_t... T>
    static inline __attribute__((always_inline)) void Shares(Row &r, __m128i e, std::index_sequence<T...>)
    {
        __m128i carry1 = r.carry2, carry2 = _mm_setzero_si128();
        (Share<(int)T>(r, e, carry1, carry2), ...);
        r.carry1 = carry1, r.carry2 = carry2;
    }

    inline __attribute__((always_inline)) void Step(Row &r, size_t at)
    {
        uint8_t *pixel = r.image + at;
        const __m128i zero = _mm_setzero_si128();
        // One load for the pixel's three bytes and the next one's first, the
        // fourth lane's passenger; the row's last pixel has no next.
        uint32_t in;
        if (__builtin_expect(at + 3 < rowBytes, 1))
            memcpy(&in, pixel, sizeof in);
        else
            in = pixel[0] | pixel[1] << 8 | pixel[2] << 16;
        __m128i level = _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)in), zero);
        __m128i sum = _mm_add_epi16(LoadEntry(r.error + at), r.carry1);
        level = _mm_add_epi16(level, _mm_srai_epi16(sum, kShift));
        // Clamped to 0-255 by the saturating pack.
        __m128i clamped = _mm_packus_epi16(level, level);
        __m128i e;
        if constexpr (Palette) {
            // The cell: the top four bits of blue, green and red, gathered
            // by one multiply (no two of its partial products meet in bits
            // 20-31, and the fourth byte drops out).
            uint32_t bytes4 = (uint32_t)_mm_cvtsi128_si32(clamped);
            const JumpCell *cell = &index.jump[((bytes4 & 0xF0F0F0) * 0x01001001u) >> 20];
            __m128i chosen;
            uint32_t q;
            // Black and white are never in a one-answer cell.
            if (__builtin_expect(cell->list == kJumpOne, 1)) {
                // The cell's one answer, read twice: straight into the vector
                // for the error, the next pixel's path, and on its own for the
                // pixel's bytes (the compiler is kept from making one read of
                // the two, which puts a move on that path).
                chosen = _mm_cvtsi32_si128(*(const int *)&cell->one);
                asm("" : "+r"(cell));
                q = cell->one;
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
            e = _mm_sub_epi16(_mm_unpacklo_epi8(clamped, zero), _mm_unpacklo_epi8(chosen, zero));
        } else {
            // Five bits a channel: the error is the low three bits, none for white.
            __m128i low = _mm_and_si128(clamped, _mm_cvtsi32_si128(0x070707));
            if (__builtin_expect((_mm_movemask_epi8(_mm_cmpeq_epi8(clamped, _mm_set1_epi8(-1))) & 7) == 7, 0))
                low = zero;
            StorePixel(pixel, (uint32_t)_mm_cvtsi128_si32(_mm_sub_epi8(clamped, low)));
            e = _mm_unpacklo_epi8(low, zero);
        }
        Shares(r, e, std::make_index_sequence<kKernel.tapCount>());
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
