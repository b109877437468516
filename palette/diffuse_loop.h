// The order in which the row reduction visits its pixels, shared by the
// plain reduction (diffuse.cpp) and the vector one (diffuse_vectors.cpp).
// Internal to the palette folder: every function here has internal linkage,
// since the vector file is compiled for another instruction set.
#pragma once

#include "base/team.h"
#include "palette/diffuse.h"
#include "palette/palette.h"

#include <stddef.h>
#include <string.h>

#include <atomic>

namespace {

// The least b with 2^b >= n: log2 (n) for a power of two.
constexpr int CeilLog2(int n)
{
    int bits = 0;
    while ((1 << bits) < n)
        bits++;
    return bits;
}

// How far to the left a tap on a row below reaches: a pixel of the next row
// has all its error from this row once this row is that many pixels past it.
constexpr int LeftReach(const DiffusionKernelTaps &k)
{
    int reach = 0;
    for (int t = 0; t < k.tapCount; t++)
        if (k.taps[t].dy > 0 && -k.taps[t].dx > reach)
            reach = -k.taps[t].dx;
    return reach;
}
static_assert(kDiffusionKernels[7].rows + 3 <= kErrorRowCount, "two pairs of rows at once need their error rows apart");

// One call's rows, top to bottom and left to right, through a stepper:
//   Stepper::Row                 a row in progress
//   Stepper::kKernel             its kernel's taps
//   Stepper::kPairs              rows two at a time even on one thread
//   Stepper::kClears             finished error rows must be cleared for reuse
//   Begin(Row &, pixels, ring)   ring[dy]: the error row dy below the row's
//   Step(Row &, at)              the pixel at byte at of the row
//   End(Row &)                   after the row's last pixel
//
// Each pixel waits for the one before it (and onto the palette for its
// search too), so rows go two at a time where that pays: the lower row trails
// the upper one by the kernel's left reach, where every share it takes from
// the upper row is already there, and the two chains of pixels run side by
// side in the processor. The shares reach their error rows in another order,
// but integer sums do not depend on it.
// above and mine: with rows diffused by two threads at once, a pair of rows
// a call (DiffusePair), how far the lower row of the pair above has got and
// how far this pair's has; null otherwise.
template <class Stepper>
inline __attribute__((always_inline)) void VisitRows(Stepper &s, uint8_t *image, int rows, int width, int fill,
                                                     int32_t **ring, const std::atomic<int> *above,
                                                     std::atomic<int> *mine)
{
    using Row = typename Stepper::Row;
    constexpr const DiffusionKernelTaps &kernel = Stepper::kKernel;
    constexpr size_t kLagBytes = (size_t)LeftReach(kernel) * 3;
    size_t clearBytes = (size_t)(width + 2 * kErrorMargin) * 3 * sizeof(int32_t);
    size_t rowBytes = (size_t)width * 3;

    // The first `done` rows of the ring are finished: moved behind the rows
    // still in use (and cleared, where the stepper adds to its rows).
    auto retire = [&](int done, int inUse) {
        int32_t *finished[2] = {ring[0], ring[1]};
        for (int i = 0; i + done < inUse; i++)
            ring[i] = ring[i + done];
        for (int i = 0; i < done; i++) {
            if (Stepper::kClears)
                memset(finished[i], 0, clearBytes);
            ring[inUse - done + i] = finished[i];
        }
    };

    // With a pair above running on another thread: its lower row must be
    // past every pixel whose error this one takes, and far enough ahead that
    // the two never write the same error entry (taps reach 3 pixels either
    // way, a vector of them 4). Its writes up to there are then seen here.
    // Its progress is read again only when what was seen last is not enough:
    // each read waits for the line from the other thread's processor.
    int seen = 0;  // in the pair above; set to 0 where a row or pair starts
    auto waitAbove = [&](size_t endBytes) {
        int needed = (int)(endBytes / 3) + 8;
        needed = needed < width ? needed : width;
        for (int round = 0; seen < needed; round++) {
            if (round > 0)
                TeamPause(round - 1);
            seen = above->load(std::memory_order_acquire);
        }
    };

    // Blocks of pixels between the checks of the pair above.
    constexpr size_t kBlockBytes = 32 * 3;
    int y = 0;
    for (; (Stepper::kPairs || mine) && y + 1 < rows; y += 2) {
        Row upper, lower;
        seen = 0;
        s.Begin(upper, image, ring);
        s.Begin(lower, image + rowBytes + fill, ring + 1);
        size_t lead = kLagBytes < rowBytes ? kLagBytes : rowBytes;
        if (above)
            waitAbove(lead);
        for (size_t at = 0; at < lead; at += 3)
            s.Step(upper, at);
        for (size_t block = lead; block < rowBytes; block += kBlockBytes) {
            size_t end = block + kBlockBytes < rowBytes ? block + kBlockBytes : rowBytes;
            if (above)
                waitAbove(end);
            for (size_t at = block; at < end; at += 3) {
                s.Step(upper, at);
                s.Step(lower, at - kLagBytes);
            }
            if (mine)
                mine->store((int)((end - kLagBytes) / 3), std::memory_order_release);
        }
        s.End(upper);
        for (size_t at = rowBytes - lead; at < rowBytes; at += 3)
            s.Step(lower, at);
        s.End(lower);
        retire(2, kernel.rows + 1);
        image += 2 * (rowBytes + fill);
    }
    for (; y < rows; y++) {
        Row row;
        seen = 0;
        s.Begin(row, image, ring);
        if (above)
            waitAbove(rowBytes);
        for (size_t at = 0; at < rowBytes; at += 3)
            s.Step(row, at);
        s.End(row);
        retire(1, kernel.rows);
        image += rowBytes + fill;
    }
    if (mine)
        mine->store(kPairDone, std::memory_order_release);
}

}  // namespace

// The vector reduction of a kernel whose shares are exact multiples of
// 256 / divisor (kernels 1, 2 and 4): the same bytes as the plain one, for
// processors with SSE2 (diffuse_vectors.cpp). Returns false, doing nothing,
// for any other kernel.
bool DiffuseVectors(int kernel, bool palette, uint8_t *image, int rows, int width, int fill, int32_t **ring,
                    const std::atomic<int> *above, std::atomic<int> *mine);
