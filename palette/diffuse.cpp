// Row conversion with error diffusion: rows of 24-bit pixels reduced in place,
// top to bottom and left to right, each pixel's lost colour passed on to its
// neighbours to the right and below. Per pixel there is no multiplication or
// division: clamping is a ClampTable look-up and every share of an error a
// DeltaTables look-up.
#include "palette/diffuse.h"

#include "app/apperror.h"
#include "palette/palette.h"

#include <stdlib.h>
#include <string.h>

// clang-format off
const DiffusionKernelTaps kDiffusionKernels[8] = {
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

// The ClampTable entry of v, the index held to the table's ends.
static inline int Clamped(int v)
{
    v = v < -512 ? -512 : v;
    v = v > 511 ? 511 : v;
    return ClampTable[v + 512];
}

struct Reduce16 {
    PackedColor operator()(PackedColor c) const { return c == 0xFFFFFF ? c : c & 0xF8F8F8; }
};

// Black and white are taken as they are, without a palette search.
struct Reduce8 {
    PackedColor operator()(PackedColor c) const
    {
        return c == 0 || c == 0xFFFFFF ? c : NearestPaletteColor(c);
    }
};

// Taps: the kernel's tap count, fixed so that the loop over the taps unrolls.
template <int Taps, typename Reduce>
static void DiffuseImage(const DiffusionKernelTaps &kernel, uint8_t *image, int rows, int width, int fill,
                         Reduce reduce)
{
    constexpr int kSlots = Taps > 0 ? Taps : 1;
    const int32_t *share[kSlots];  // by tap, indexed by the error -255..255
    for (int t = 0; t < Taps; t++)
        share[t] = DeltaTables[kernel.taps[t].weight] + 256;
    int32_t **ring = ErrorRows.rows;
    size_t clearBytes = (size_t)(width + 2 * kErrorMargin) * 3 * sizeof(int32_t);

    for (int y = 0; y < rows; y++) {
        int32_t *target[kSlots];  // by tap, the entry of pixel 0's neighbour
        for (int t = 0; t < Taps; t++)
            target[t] = ring[kernel.taps[t].dy] + (kErrorMargin + kernel.taps[t].dx) * 3;
        const int32_t *error = ring[0] + kErrorMargin * 3;
        uint8_t *pixel = image;
        for (int x = 0; x < width; x++, pixel += 3, error += 3) {
            int blue = Clamped(pixel[0] + (error[0] >> 8));
            int green = Clamped(pixel[1] + (error[1] >> 8));
            int red = Clamped(pixel[2] + (error[2] >> 8));
            PackedColor q = reduce((PackedColor)(blue | green << 8 | red << 16));
            int qBlue = q & 0xFF, qGreen = (q >> 8) & 0xFF, qRed = (q >> 16) & 0xFF;
            pixel[0] = (uint8_t)qBlue;
            pixel[1] = (uint8_t)qGreen;
            pixel[2] = (uint8_t)qRed;
            int eBlue = blue - qBlue, eGreen = green - qGreen, eRed = red - qRed;
            int at = x * 3;
            for (int t = 0; t < Taps; t++) {
                int32_t *a = target[t] + at;
                a[0] += share[t][eBlue];
                a[1] += share[t][eGreen];
                a[2] += share[t][eRed];
            }
        }
        int32_t *done = ring[0];
        for (int i = 0; i + 1 < kernel.rows; i++)
            ring[i] = ring[i + 1];
        ring[kernel.rows - 1] = done;
        memset(done, 0, clearBytes);
        image += (size_t)width * 3 + fill;
    }
}

template <typename Reduce>
static void DiffuseRows(int kernel, uint8_t *image, int rows, int width, int fill, Reduce reduce)
{
    if (!image || rows <= 0 || width <= 0)
        return;
    const DiffusionKernelTaps &k = KernelOf(kernel);
    PrepareTables((int)(&k - kDiffusionKernels));
    PrepareErrorRows(width);
    switch (k.tapCount) {
    case 2: DiffuseImage<2>(k, image, rows, width, fill, reduce); break;
    case 4: DiffuseImage<4>(k, image, rows, width, fill, reduce); break;
    case 7: DiffuseImage<7>(k, image, rows, width, fill, reduce); break;
    case 10: DiffuseImage<10>(k, image, rows, width, fill, reduce); break;
    case 12: DiffuseImage<12>(k, image, rows, width, fill, reduce); break;
    default: DiffuseImage<0>(k, image, rows, width, fill, reduce); break;
    }
}

void DiffuseRows8(int kernel, uint8_t *image, int rows, int width, int fill)
{
    DiffuseRows(kernel, image, rows, width, fill, Reduce8());
}

void DiffuseRows16(int kernel, uint8_t *image, int rows, int width, int fill)
{
    DiffuseRows(kernel, image, rows, width, fill, Reduce16());
}
