// The error-diffusion kernels and the tables and error rows of the row
// conversion (StartDiffusion, DiffusePair in palette.h).
#pragma once

#include <stdint.h>

// weight / divisor of a pixel's error goes to the pixel dx columns to the right
// and dy rows below.
struct DiffusionTap {
    int weight, dx, dy;
};

struct DiffusionKernelTaps {
    int tapCount;
    int rows;     // error rows in use: the current row and the rows below it
    int divisor;
    DiffusionTap taps[12];
};

// Kernels 1-7: 2 Floyd-Steinberg, 3 Stucki, 4 Burkes, 5 Sierra, 6 Jarvis-Judice-
// Ninke. Entry 0 passes no error on; a kernel number outside 1-7 uses it.
// clang-format off
inline constexpr DiffusionKernelTaps kDiffusionKernels[8] = {
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


constexpr int kDeltaWeights = 65;     // cache slots, weights 0-64
constexpr int kDeltaEntries = 512;    // errors -256..255
constexpr int kErrorMargin = 5;       // entries left and right of a row's pixels
constexpr int kErrorRowCount = 8;
constexpr int kMinErrorWidth = 1281;  // pixels the error rows hold at least

// The share of a pixel's error e, in 1/256 of a level, for each tap weight of
// the kernel built last, at [e + 256]: (256 * (divisor / 2 + weight * e)) /
// divisor, truncated towards zero. Taps of the same weight share one table;
// null where no tap of the kernel has that weight. Written by the conversion
// (wallpaper job's thread) and read by it only.
extern int32_t *DeltaTables[kDeltaWeights];
extern int DeltaKernel;  // the kernel DeltaTables were built for; 0 before the first build

// Makes sure every tap of kernel (1-7) has its table in DeltaTables. A table
// that cannot be allocated ends the program through the error report.
void BuildDeltaTables(int kernel);

// v clamped to 0-255 for v = -512..511, at [v + 512]; built by the first
// conversion of the process. Indices beyond the table are taken at its ends.
extern uint8_t ClampTable[1024];
extern int ClampTableBuilt;

// Eight rows of error accumulators, three per entry (blue, green, red, in 1/256
// of a level). A row holds the widest image converted so far (at least 1281
// pixels) with kErrorMargin entries on either side; pixel x uses entry x + 5.
// The storage is allocated once and grown only for a wider image. Written by
// the conversion on the wallpaper job's thread.
struct ErrorRowSet {
    int32_t *storage;
    int entries;                    // entries a row
    int32_t *rows[kErrorRowCount];  // ring order: rows[dy] is the image row dy below the current one
};
extern ErrorRowSet ErrorRows;
