// Row conversion with error diffusion: rows of 24-bit pixels reduced in place,
// top to bottom and left to right, each pixel's lost colour passed on to its
// neighbours to the right and below. Per pixel there is no multiplication,
// division or allocation: clamping is a ClampTable look-up and every share of
// an error a look-up in the DeltaTables (or in TapShares and Carry16, their
// copies arranged for the pixel loop).
#include "palette/diffuse.h"

#include "base/apperror.h"
#include "base/kernels.h"
#include "palette/diffuse_loop.h"
#include "palette/palette.h"
#include "palette/palette_search.h"

#include <stdlib.h>
#include <string.h>

int32_t *DeltaTables[kDeltaWeights];
int DeltaKernel;
uint8_t ClampTable[1024];
int ClampTableBuilt;
ErrorRowSet ErrorRows;

// Error rows for wider images would take more than a gigabyte.
constexpr int kMaxDiffuseWidth = 1 << 24;

static const char kNoMemory[] = "Not enough memory for delta array\r\n";

// log2 of the room a kernel's taps take in TapShares: a power of two, so that
// an error's block is found with a shift.
static constexpr int TapShift(const DiffusionKernelTaps &k) { return CeilLog2(k.tapCount); }

// The tap of kernel k at (dx, 0), or -1.
static constexpr int SameRowTap(const DiffusionKernelTaps &k, int dx)
{
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy == 0 && k.taps[t].dx == dx)
            return t;
    return -1;
}

// Every tap on the current row goes one or two pixels to the right.
static constexpr bool SameRowTapsGoRight()
{
    for (const DiffusionKernelTaps &k : kDiffusionKernels)
        for (int t = 0; t < k.tapCount; t++)
            if (k.taps[t].dy == 0 && k.taps[t].dx != 1 && k.taps[t].dx != 2)
                return false;
    return true;
}
static_assert(SameRowTapsGoRight(), "shares on the current row are carried to x + 1 and x + 2 only");

// The DeltaTables of the kernel they were built for, interleaved: the shares
// of error e for the kernel's taps, in tap order, lie together from
// ((e + 256) << TapShift) on. One look-up of the block per channel serves all
// the pixel's taps. Rebuilt with the DeltaTables.
static int32_t TapShares[kDeltaEntries << 4];

// On five bits a channel: for a ClampTable index i (at i + 512), the share
// that the kernel's tap at (1, 0) gives the error of ClampTable[i]'s low three
// bits; 0 when the kernel has no such tap. Rebuilt with the DeltaTables.
static int32_t Carry16[1024];

static const DiffusionKernelTaps &KernelOf(int kernel)
{
    return kDiffusionKernels[kernel >= 1 && kernel <= 7 ? kernel : 0];
}

void BuildDeltaTables(int kernel)
{
    const DiffusionKernelTaps &k = KernelOf(kernel);
    int half = k.divisor >> 1;
    for (int t = 0; t < k.tapCount; t++) {
        int weight = k.taps[t].weight;
        if (DeltaTables[weight])
            continue;
        int32_t *table = (int32_t *)malloc(kDeltaEntries * sizeof(int32_t));
        AppAssert(table != nullptr, "PALETTE", kSiteDiffuseMemory, kNoMemory);
        for (int e = -256; e <= 255; e++)
            table[e + 256] = (256 * (half + weight * e)) / k.divisor;
        DeltaTables[weight] = table;
    }
}

static void PrepareTables(int kernel)
{
    if (!ClampTableBuilt) {
        for (int i = -512; i <= 511; i++)
            ClampTable[i + 512] = (uint8_t)(i < 0 ? 0 : i > 255 ? 255 : i);
        ClampTableBuilt = 1;
    }
    if (kernel != DeltaKernel) {
        for (int32_t *&table : DeltaTables) {
            free(table);
            table = nullptr;
        }
        BuildDeltaTables(kernel);
        DeltaKernel = kernel;
        const DiffusionKernelTaps &k = KernelOf(kernel);
        int shift = TapShift(k);
        for (int e = 0; e < kDeltaEntries; e++)
            for (int t = 0; t < k.tapCount; t++)
                TapShares[(e << shift) + t] = DeltaTables[k.taps[t].weight][e];
        int next = SameRowTap(k, 1);
        for (int i = 0; i < 1024; i++)
            Carry16[i] = next < 0 ? 0 : DeltaTables[k.taps[next].weight][(ClampTable[i] & 7) + 256];
    }
}

// Makes the error rows hold width pixels, clears them all and puts them in
// ring order.
static void PrepareErrorRows(int width)
{
    if (width > ErrorRows.entries - 2 * kErrorMargin) {
        AppAssert(width <= kMaxDiffuseWidth, "PALETTE", kSiteDiffuseMemory, kNoMemory);
        int entries = (width > kMinErrorWidth ? width : kMinErrorWidth) + 2 * kErrorMargin;
        int32_t *storage = (int32_t *)malloc((size_t)entries * 3 * kErrorRowCount * sizeof(int32_t));
        AppAssert(storage != nullptr, "PALETTE", kSiteDiffuseMemory, kNoMemory);
        free(ErrorRows.storage);
        ErrorRows.storage = storage;
        ErrorRows.entries = entries;
    }
    size_t rowValues = (size_t)ErrorRows.entries * 3;
    memset(ErrorRows.storage, 0, rowValues * kErrorRowCount * sizeof(int32_t));
    for (int i = 0; i < kErrorRowCount; i++)
        ErrorRows.rows[i] = ErrorRows.storage + i * rowValues;
}

// A ClampTable index held to the table's ends, -512..511.
static inline int ClampIndex(int v)
{
    v = v < -512 ? -512 : v;
    return v > 511 ? 511 : v;
}

// The plain reduction of kernel K's rows, onto the palette or to five bits a
// channel, a pixel at a time (VisitRows gives the order).
//
// The shares for the current row are carried in registers rather than added
// to error row 0: that row is only read during the row and cleared after it,
// so the sums are the same. On five bits the error of a channel is its
// clamped value's low three bits (none for white), so the share carried to the
// next pixel is looked up in Carry16 by the clamp index itself, one look-up
// instead of three on the path from pixel to pixel.
template <int K, bool Palette>
struct PlainRows {
    static constexpr const DiffusionKernelTaps &kKernel = kDiffusionKernels[K];
    // Five bits a channel need no search: one row at a time is as fast there.
    static constexpr bool kPairs = Palette;
    static constexpr bool kClears = true;
    static constexpr int kShift = TapShift(kKernel);
    static constexpr int kNext1 = SameRowTap(kKernel, 1), kNext2 = SameRowTap(kKernel, 2);

    const PaletteTables &palette = ActivePalette;
    const SearchIndex &index = ActiveSearchIndex;
    const int32_t *shares = TapShares;
    const int32_t *zeroShares = shares + ((size_t)256 << kShift);  // error 0's block
    const int32_t *carry16 = Carry16 + 512;
    const uint8_t *clamp = ClampTable + 512;
    const int32_t *next1 = kNext1 >= 0 ? DeltaTables[kKernel.taps[kNext1 < 0 ? 0 : kNext1].weight] + 256
                                       : nullptr;  // the DeltaTable of the tap at (1, 0), by the error

    // A row in progress: its pixels, its error rows at pixel 0's entry (a
    // tap's target is a fixed distance from its row's), and the shares
    // carried to x + 1 and x + 2, per channel.
    struct Row {
        uint8_t *image;
        const int32_t *error;
        int32_t *below[4];
        int32_t carryBlue1, carryGreen1, carryRed1, carryBlue2, carryGreen2, carryRed2;
    };

    void Begin(Row &r, uint8_t *pixels, int32_t *const *ring)
    {
        r.image = pixels;
        r.error = ring[0] + kErrorMargin * 3;
        for (int dy = 0; dy < 4; dy++)
            r.below[dy] = dy > 0 && dy < kKernel.rows ? ring[dy] + kErrorMargin * 3 : nullptr;
        r.carryBlue1 = r.carryGreen1 = r.carryRed1 = r.carryBlue2 = r.carryGreen2 = r.carryRed2 = 0;
    }

    void End(Row &) {}

    inline __attribute__((always_inline)) void Step(Row &r, size_t at)
    {
        uint8_t *pixel = r.image + at;
        int iBlue = ClampIndex(pixel[0] + ((r.error[at] + r.carryBlue1) >> 8));
        int iGreen = ClampIndex(pixel[1] + ((r.error[at + 1] + r.carryGreen1) >> 8));
        int iRed = ClampIndex(pixel[2] + ((r.error[at + 2] + r.carryRed1) >> 8));
        int blue = clamp[iBlue], green = clamp[iGreen], red = clamp[iRed];
        int qBlue, qGreen, qRed;
        const int32_t *sBlue, *sGreen, *sRed;  // this pixel's shares by tap
        if constexpr (Palette) {
            // Black and white are taken as they are, without a search.
            PackedColor c = (PackedColor)(blue | green << 8 | red << 16);
            qBlue = blue, qGreen = green, qRed = red;
            if (c != 0 && c != 0xFFFFFF) {
                // NearestPaletteColor (c)
                int64_t best = SearchPalette(palette, index, blue, green, red);
                best = best < 0 ? 0 : best;  // no entries: black
                qBlue = best & 0xFF, qGreen = (best >> 8) & 0xFF, qRed = (best >> 16) & 0xFF;
            }
            sBlue = shares + ((size_t)(blue - qBlue + 256) << kShift);
            sGreen = shares + ((size_t)(green - qGreen + 256) << kShift);
            sRed = shares + ((size_t)(red - qRed + 256) << kShift);
            if constexpr (kNext1 >= 0) {
                // Straight from the tap's DeltaTable: one step less to the next pixel.
                r.carryBlue1 = r.carryBlue2 + next1[blue - qBlue];
                r.carryGreen1 = r.carryGreen2 + next1[green - qGreen];
                r.carryRed1 = r.carryRed2 + next1[red - qRed];
            }
        } else {
            qBlue = blue & 0xF8, qGreen = green & 0xF8, qRed = red & 0xF8;
            sBlue = shares + ((size_t)(blue - qBlue + 256) << kShift);
            sGreen = shares + ((size_t)(green - qGreen + 256) << kShift);
            sRed = shares + ((size_t)(red - qRed + 256) << kShift);
            if constexpr (kNext1 >= 0) {
                r.carryBlue1 = r.carryBlue2 + carry16[iBlue];
                r.carryGreen1 = r.carryGreen2 + carry16[iGreen];
                r.carryRed1 = r.carryRed2 + carry16[iRed];
            }
            if (__builtin_expect((blue & green & red) == 0xFF, 0)) {
                qBlue = qGreen = qRed = 0xFF;  // white is kept whole: no error
                sBlue = sGreen = sRed = zeroShares;
                if constexpr (kNext1 >= 0) {
                    r.carryBlue1 = r.carryBlue2 + zeroShares[kNext1];
                    r.carryGreen1 = r.carryGreen2 + zeroShares[kNext1];
                    r.carryRed1 = r.carryRed2 + zeroShares[kNext1];
                }
            }
        }
        if constexpr (kNext1 < 0)
            r.carryBlue1 = r.carryBlue2, r.carryGreen1 = r.carryGreen2, r.carryRed1 = r.carryRed2;
        pixel[0] = (uint8_t)qBlue;
        pixel[1] = (uint8_t)qGreen;
        pixel[2] = (uint8_t)qRed;
        if constexpr (kNext2 >= 0) {
            r.carryBlue2 = sBlue[kNext2];
            r.carryGreen2 = sGreen[kNext2];
            r.carryRed2 = sRed[kNext2];
        }
#pragma GCC unroll 12
        for (int t = 0; t < kKernel.tapCount; t++) {
            const DiffusionTap &tap = kKernel.taps[t];
            if (tap.dy == 0)
                continue;
            int32_t *a = r.below[tap.dy] + at + tap.dx * 3;
            a[0] += sBlue[t];
            a[1] += sGreen[t];
            a[2] += sRed[t];
        }
    }
};

template <int K, bool Palette>
static void DiffuseImage(uint8_t *image, int rows, int width, int fill, int32_t **ring,
                         const std::atomic<int> *above, std::atomic<int> *mine)
{
    PlainRows<K, Palette> plain;
    VisitRows(plain, image, rows, width, fill, ring, above, mine);
}

// The kernel and the width that StartDiffusion set up.
static int DiffusingKernel, DiffusingWidth;

void StartDiffusion(int kernel, int width)
{
    DiffusingKernel = kernel >= 1 && kernel <= 7 ? kernel : 0;
    DiffusingWidth = width;
    if (width <= 0)
        return;
    PrepareTables(DiffusingKernel);
    PrepareErrorRows(width);
}

template <bool Palette>
static void DiffuseMore(uint8_t *image, int rows, int fill, int32_t **ring,
                        const std::atomic<int> *above, std::atomic<int> *mine)
{
    int width = DiffusingWidth;
    if (!image || rows <= 0 || width <= 0)
        return;
    // The first rows of a reduction search first: every later call waits
    // for them.
    if (Palette && !above)
        EnsureSearchIndex();
    if (KernelLevelInUse >= kKernelSse2 &&
        DiffuseVectors(DiffusingKernel, Palette, image, rows, width, fill, ring, above, mine))
        return;
    switch (DiffusingKernel) {
    case 1: DiffuseImage<1, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 2: DiffuseImage<2, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 3: DiffuseImage<3, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 4: DiffuseImage<4, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 5: DiffuseImage<5, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 6: DiffuseImage<6, Palette>(image, rows, width, fill, ring, above, mine); break;
    case 7: DiffuseImage<7, Palette>(image, rows, width, fill, ring, above, mine); break;
    default: DiffuseImage<0, Palette>(image, rows, width, fill, ring, above, mine); break;
    }
}


void DiffusePair(bool palette, uint8_t *image, int rows, int fill, int firstRow, const std::atomic<int> *above,
                 std::atomic<int> *mine)
{
    // The error rows of image rows firstRow ... firstRow + 4, each kept in the
    // entry of its row number modulo kErrorRowCount.
    size_t rowValues = (size_t)ErrorRows.entries * 3;
    int32_t *ring[kErrorRowCount];
    for (int i = 0; i < kErrorRowCount; i++)
        ring[i] = ErrorRows.storage + (size_t)((firstRow + i) % kErrorRowCount) * rowValues;
    if (palette)
        DiffuseMore<true>(image, rows, fill, ring, above, mine);
    else
        DiffuseMore<false>(image, rows, fill, ring, above, mine);
}
