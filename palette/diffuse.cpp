// Row conversion with error diffusion: rows of 24-bit pixels reduced in place,
// top to bottom and left to right, each pixel's lost colour passed on to its
// neighbours to the right and below. Per pixel there is no multiplication,
// division or allocation: clamping is a ClampTable look-up and every share of
// an error a look-up in the DeltaTables (or in TapShares and Carry16, their
// copies arranged for the pixel loop).
#include "palette/diffuse.h"

#include "base/apperror.h"
#include "base/team.h"
#include "palette/palette.h"
#include "palette/palette_search.h"

#include <stdlib.h>
#include <string.h>

// clang-format off
constexpr DiffusionKernelTaps kDiffusionKernels[8] = {
    {0, 1, 1, {}},
    {2, 2, 16, {{3, -1, 1}, {5, 0, 1}}},
    {4, 2, 16, {{7, 1, 0}, {3, -1, 1}, {5, 0, 1}, {1, 1, 1}}},
    {12, 3, 42, {{8, 1, 0}, {4, 2, 0}, {2, -2, 1}, {4, -1, 1}, {8, 0, 1}, {4, 1, 1}, {2, 2, 1},
                 {1, -2, 2}, {2, -1, 2}, {4, 0, 2}, {2, 1, 2}, {1, 2, 2}}},
    {7, 2, 32, {{8, 1, 0}, {4, 2, 0}, {2, -2, 1}, {4, -1, 1}, {8, 0, 1}, {4, 1, 1}, {2, 2, 1}}},
    {10, 3, 32, {{5, 1, 0}, {3, 2, 0}, {2, -2, 1}, {4, -1, 1}, {5, 0, 1}, {4, 1, 1}, {2, 2, 1},
                 {2, -1, 2}, {3, 0, 2}, {2, 1, 2}}},
    {12, 3, 48, {{7, 1, 0}, {5, 2, 0}, {3, -2, 1}, {5, -1, 1}, {7, 0, 1}, {5, 1, 1}, {3, 2, 1},
                 {1, -2, 2}, {3, -1, 2}, {5, 0, 2}, {3, 1, 2}, {1, 2, 2}}},
    // 62 at (0, 2), and the divisor the sum of the weights.
    {12, 4, 236, {{32, 2, 0}, {12, -3, 1}, {26, -1, 1}, {30, 1, 1}, {16, 3, 1}, {12, -2, 2},
                  {62, 0, 2}, {12, 2, 2}, {5, -3, 3}, {12, -1, 3}, {12, 1, 3}, {5, 3, 3}}},
};
// clang-format on

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
static constexpr int TapShift(const DiffusionKernelTaps &k)
{
    int shift = 0;
    while ((1 << shift) < k.tapCount)
        shift++;
    return shift;
}

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
        AppAssert(table != nullptr, "PALETTE", 1498, kNoMemory);
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
        AppAssert(width <= kMaxDiffuseWidth, "PALETTE", 1498, kNoMemory);
        int entries = (width > kMinErrorWidth ? width : kMinErrorWidth) + 2 * kErrorMargin;
        int32_t *storage = (int32_t *)malloc((size_t)entries * 3 * kErrorRowCount * sizeof(int32_t));
        AppAssert(storage != nullptr, "PALETTE", 1498, kNoMemory);
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

// How far to the left a tap on a row below reaches: a pixel of the next row
// has all its error from this row once this row is that many pixels past it.
static constexpr int LeftReach(const DiffusionKernelTaps &k)
{
    int reach = 0;
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy > 0 && -k.taps[t].dx > reach)
            reach = -k.taps[t].dx;
    return reach;
}
static_assert(kDiffusionKernels[7].rows + 3 <= kErrorRowCount, "two pairs of rows at once need their error rows apart");

// One call's rows, for kernel K, onto the palette or to five bits a channel.
//
// The shares for the current row are carried in registers rather than added
// to error row 0: that row is only read during the row and cleared after it,
// so the sums are the same. On five bits the error of a channel is its
// clamped value's low three bits (none for white), so the share carried to the
// next pixel is looked up in Carry16 by the clamp index itself, one look-up
// instead of three on the path from pixel to pixel.
//
// Each pixel waits for the one before it, and onto the palette for its
// search too, so there rows go two at a time: the lower row trails the upper
// one by the kernel's left reach, where every share it takes from the upper
// row is already added, and the two chains of pixels run side by side in the
// processor. The shares reach their error rows in another order, but integer
// sums do not depend on it.
// above and mine: with rows diffused by two threads at once, a pair of rows
// a call (DiffusePair), how far the lower row of the pair above has got and
// how far this pair's has; null otherwise.
template <int K, bool Palette>
static void DiffuseImage(uint8_t *image, int rows, int width, int fill, int32_t **ring,
                         const std::atomic<int> *above, std::atomic<int> *mine)
{
    constexpr const DiffusionKernelTaps &kernel = kDiffusionKernels[K];
    constexpr int kShift = TapShift(kernel);
    constexpr int kNext1 = SameRowTap(kernel, 1), kNext2 = SameRowTap(kernel, 2);
    constexpr size_t kLagBytes = (size_t)LeftReach(kernel) * 3;
    const PaletteTables &palette = ActivePalette;
    const SearchIndex &index = ActiveSearchIndex;
    const int32_t *shares = TapShares;
    const int32_t *zeroShares = shares + ((size_t)256 << kShift);  // error 0's block
    const int32_t *carry16 = Carry16 + 512;
    const uint8_t *clamp = ClampTable + 512;
    const int32_t *next1 = nullptr;  // the DeltaTable of the tap at (1, 0), by the error
    if constexpr (kNext1 >= 0)
        next1 = DeltaTables[kernel.taps[kNext1].weight] + 256;
    size_t clearBytes = (size_t)(width + 2 * kErrorMargin) * 3 * sizeof(int32_t);
    size_t rowBytes = (size_t)width * 3;

    // A row in progress: its pixels, its error rows at pixel 0's entry (a
    // tap's target is a fixed distance from its row's), and the shares
    // carried to x + 1 and x + 2, per channel.
    struct Row {
        uint8_t *image;
        const int32_t *error;
        int32_t *below[4];
        int32_t carryBlue1, carryGreen1, carryRed1, carryBlue2, carryGreen2, carryRed2;
    };
    auto begin = [&](Row &r, uint8_t *pixels, int first) {
        r.image = pixels;
        r.error = ring[first] + kErrorMargin * 3;
        for (int dy = 0; dy < 4; dy++)
            r.below[dy] = dy > 0 && dy < kernel.rows ? ring[first + dy] + kErrorMargin * 3 : nullptr;
        r.carryBlue1 = r.carryGreen1 = r.carryRed1 = r.carryBlue2 = r.carryGreen2 = r.carryRed2 = 0;
    };
    auto step = [&](Row &r, size_t at) __attribute__((always_inline)) {
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
        for (int t = 0; t < kernel.tapCount; t++) {
            const DiffusionTap &tap = kernel.taps[t];
            if (tap.dy == 0)
                continue;
            int32_t *a = r.below[tap.dy] + at + tap.dx * 3;
            a[0] += sBlue[t];
            a[1] += sGreen[t];
            a[2] += sRed[t];
        }
    };
    // The first `done` rows of the ring are finished: cleared and moved behind
    // the rows still in use.
    auto retire = [&](int done, int inUse) {
        int32_t *finished[2] = {ring[0], ring[1]};
        for (int i = 0; i + done < inUse; i++)
            ring[i] = ring[i + done];
        for (int i = 0; i < done; i++) {
            memset(finished[i], 0, clearBytes);
            ring[inUse - done + i] = finished[i];
        }
    };

    // With a pair above running on another thread: its lower row must be
    // past every pixel whose error this one takes, and far enough ahead that
    // the two never add to the same error entry (taps reach 3 pixels either
    // way). Its writes up to there are then seen here.
    auto waitAbove = [&](size_t endBytes) {
        int needed = (int)(endBytes / 3) + 8;
        needed = needed < width ? needed : width;
        for (int round = 0; above->load(std::memory_order_acquire) < needed; round++)
            TeamPause(round);
    };

    // Five bits a channel need no search: one row at a time is as fast there,
    // but for two threads. Blocks of pixels between the checks of the pair above.
    constexpr size_t kBlockBytes = 32 * 3;
    int y = 0;
    for (; (Palette || mine) && y + 1 < rows; y += 2) {
        Row upper, lower;
        begin(upper, image, 0);
        begin(lower, image + rowBytes + fill, 1);
        size_t lead = kLagBytes < rowBytes ? kLagBytes : rowBytes;
        if (above)
            waitAbove(lead);
        for (size_t at = 0; at < lead; at += 3)
            step(upper, at);
        for (size_t block = lead; block < rowBytes; block += kBlockBytes) {
            size_t end = block + kBlockBytes < rowBytes ? block + kBlockBytes : rowBytes;
            if (above)
                waitAbove(end);
            for (size_t at = block; at < end; at += 3) {
                step(upper, at);
                step(lower, at - kLagBytes);
            }
            if (mine)
                mine->store((int)((end - kLagBytes) / 3), std::memory_order_release);
        }
        for (size_t at = rowBytes - lead; at < rowBytes; at += 3)
            step(lower, at);
        retire(2, kernel.rows + 1);
        image += 2 * (rowBytes + fill);
    }
    for (; y < rows; y++) {
        Row row;
        begin(row, image, 0);
        if (above)
            waitAbove(rowBytes);
        for (size_t at = 0; at < rowBytes; at += 3)
            step(row, at);
        retire(1, kernel.rows);
        image += rowBytes + fill;
    }
    if (mine)
        mine->store(kPairDone, std::memory_order_release);
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
static void DiffuseMore(uint8_t *image, int rows, int fill, int32_t **ring = ErrorRows.rows,
                        const std::atomic<int> *above = nullptr, std::atomic<int> *mine = nullptr)
{
    int width = DiffusingWidth;
    if (!image || rows <= 0 || width <= 0)
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

void DiffuseRows8(int kernel, uint8_t *image, int rows, int width, int fill)
{
    if (!image || rows <= 0 || width <= 0)
        return;
    StartDiffusion(kernel, width);
    DiffuseMore<true>(image, rows, fill);
}

void DiffuseRows16(int kernel, uint8_t *image, int rows, int width, int fill)
{
    if (!image || rows <= 0 || width <= 0)
        return;
    StartDiffusion(kernel, width);
    DiffuseMore<false>(image, rows, fill);
}
