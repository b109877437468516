#include "decoder/wavelet.h"

#include "base/apperror.h"
#include "base/kernels.h"
#include "decoder/runs.h"

#include <assert.h>
#include <stdlib.h>
#include <string.h>

#include <utility>

// Products and sums wrap in 32 bits, as two's complement integers do, so any
// coefficients from a file give a defined result; >> is arithmetic.
static inline int32_t Even(uint32_t pk, uint32_t pt, uint32_t qk, uint32_t qt)
{
    return (int32_t)(kSynth2 * pk + kSynth0 * pt + kSynth1 * qk - kSynth3 * qt) >> 16;
}

static inline int32_t Odd(uint32_t pk, uint32_t pt, uint32_t qk, uint32_t qt)
{
    return (int32_t)(0u - kSynth3 * pk + kSynth1 * pt - kSynth0 * qk - kSynth2 * qt) >> 16;
}

void SynthesizeLines(const int32_t *P, const int32_t *Q, int32_t *O, int n, int lineCount, int step)
{
    for (int i = 0; i < lineCount; i++) {
        const int32_t *p = P + (long)i * n, *q = Q + (long)i * n;
        int32_t *o = O + i;
        for (int t = 0; t < n; t++) {
            int k = t == 0 ? n - 1 : t - 1;
            o[(long)(2 * t) * step] = Even(p[k], p[t], q[k], q[t]);
            o[(long)(2 * t + 1) * step] = Odd(p[k], p[t], q[k], q[t]);
        }
    }
}

bool IsLevelSide(long long side, long long baseSide)
{
    if (baseSide < 1 || side < baseSide || side % baseSide != 0)
        return false;
    long long ratio = side / baseSide;
    return (ratio & (ratio - 1)) == 0;
}

// The two scratch planes, grown to the largest plane's a^2 / 2 integers and
// kept for the life of the process; used by the wallpaper job's thread only.
static int32_t *ScratchA, *ScratchB;
static long ScratchSize;

// One row: n low and n high values synthesized into 2n values at out.
KERNEL_BODY void SynthesizeRowBody(const int32_t *__restrict p, const int32_t *__restrict q, int32_t *__restrict out,
                                   int n)
{
    out[0] = Even(p[n - 1], p[0], q[n - 1], q[0]);
    out[1] = Odd(p[n - 1], p[0], q[n - 1], q[0]);
    for (int t = 1; t < n; t++) {
        out[2 * t] = Even(p[t - 1], p[t], q[t - 1], q[t]);
        out[2 * t + 1] = Odd(p[t - 1], p[t], q[t - 1], q[t]);
    }
}
KERNEL_LEVELS(SynthesizeRow, (const int32_t *p, const int32_t *q, int32_t *out, int n), (p, q, out, n))

// Two output rows from the low rows lk, lt and the high rows hk, ht, each of
// width values, element by element.
KERNEL_BODY void SynthesizeRowPairBody(const int32_t *__restrict lk, const int32_t *__restrict lt,
                                       const int32_t *__restrict hk, const int32_t *__restrict ht,
                                       int32_t *__restrict even, int32_t *__restrict odd, int width)
{
    for (int x = 0; x < width; x++) {
        even[x] = Even(lk[x], lt[x], hk[x], ht[x]);
        odd[x] = Odd(lk[x], lt[x], hk[x], ht[x]);
    }
}
KERNEL_LEVELS(SynthesizeRowPair,
              (const int32_t *lk, const int32_t *lt, const int32_t *hk, const int32_t *ht, int32_t *even,
               int32_t *odd, int width),
              (lk, lt, hk, ht, even, odd, width))

// The rows a level needs: the first `head` and the last `tail` of its side.
struct RowSpan {
    int head, tail;
};

// Whether row r of a level of the given side is needed.
static inline bool Needed(const RowSpan &span, int r, int side)
{
    return r < span.head || r >= side - span.tail;
}

// Each level computes what SynthesizeLines (p, p + b^2, A, b, b, b),
// SynthesizeLines (p + 2 b^2, p + 3 b^2, B, b, b, b) and SynthesizeLines
// (A, B, p, b, 2b, 2b) compute, value for value, but keeps A and B untransposed
// (row i of blocks 0 and 1 becomes row i of A) so that both passes run along
// rows: the horizontal one within a row, the vertical one over whole rows.
// Output rows 2t and 2t + 1 of a level come from rows t - 1 and t (t - 1
// wrapping to the last) of the level below: the rows a level needs follow
// from the rows wanted of the next.
void InverseTransformPlane(int32_t *plane, int a, int baseSide, int rows, int lastRows)
{
    long need = (long)a * a / 2;
    if (need > ScratchSize) {
        free(ScratchA);
        free(ScratchB);
        ScratchA = (int32_t *)malloc(need * sizeof(int32_t));
        ScratchB = (int32_t *)malloc(need * sizeof(int32_t));
        AppAssert(ScratchA && ScratchB, "D42SAVE", __LINE__, "Not enough memory for a %d x %d wavelet plane", a, a);
        ScratchSize = need;
    }
    InverseTransformPlaneWith(plane, a, baseSide, rows, lastRows, ScratchA, ScratchB);
}

void InverseTransformPlaneWith(int32_t *plane, int a, int baseSide, int rows, int lastRows, int32_t *scratchA,
                               int32_t *scratchB)
{
    assert(IsLevelSide(a, baseSide) && rows >= 0 && rows <= a && lastRows >= 0 && lastRows <= a);
    // wanted[l]: the rows wanted of level l's output (side baseSide << (l + 1)).
    RowSpan wanted[32];
    int levels = 0;
    for (int b = baseSide; b < a; b *= 2)
        levels++;
    RowSpan span = {rows, lastRows};
    for (int l = levels - 1; l >= 0; l--) {
        int side = baseSide << (l + 1);
        if (span.head + span.tail >= side)
            span = {side, 0};
        wanted[l] = span;
        span = {(span.head + 1) / 2, span.head > 0 || span.tail > 0 ? (span.tail + 1) / 2 + 1 : 0};
    }

    for (int l = 0; l < levels; l++) {
        int b = baseSide << l, width = 2 * b;
        const RowSpan out = wanted[l];
        // The rows of this level's input that the wanted output rows read.
        RowSpan in = {(out.head + 1) / 2, out.head > 0 || out.tail > 0 ? (out.tail + 1) / 2 + 1 : 0};
        if (in.head + in.tail >= b)
            in = {b, 0};
        long area = (long)b * b;
        const int32_t *block0 = plane, *block1 = plane + area, *block2 = plane + 2 * area, *block3 = plane + 3 * area;
        for (int i = 0; i < b; i++) {
            if (!Needed(in, i, b))
                continue;
            SynthesizeRow(block0 + (long)i * b, block1 + (long)i * b, scratchA + (long)i * width, b);
            SynthesizeRow(block2 + (long)i * b, block3 + (long)i * b, scratchB + (long)i * width, b);
        }
        for (int t = 0; t < b; t++) {
            if (!Needed(out, 2 * t, width) && !Needed(out, 2 * t + 1, width))
                continue;
            int k = t == 0 ? b - 1 : t - 1;
            SynthesizeRowPair(scratchA + (long)k * width, scratchA + (long)t * width, scratchB + (long)k * width,
                              scratchB + (long)t * width, plane + (long)(2 * t) * width,
                              plane + (long)(2 * t + 1) * width, width);
        }
    }
}

size_t TopLevelValues(int b) { return (size_t)15 * b; }

// Row i of the three detail blocks, taken from their cursors, into the rows
// d[0..2] (b values each), then A and B row i.
static void SynthesizeTopRow(TopLevelRows *top, RunCursor cursor[3], int i, int32_t *a, int32_t *b)
{
    int n = top->b;
    for (int k = 0; k < 3; k++) {
        memset(top->detail[k], 0, (size_t)n * sizeof(int32_t));
        TakeRuns(&cursor[k], top->end, (uint8_t *)top->detail[k], (size_t)n * sizeof(int32_t), true);
    }
    SynthesizeRow(top->low + (long)i * n, top->detail[0], a, n);
    SynthesizeRow(top->detail[1], top->detail[2], b, n);
}

void StartTopLevel(TopLevelRows *top, const int32_t *low, int b, int fromPair, const RunCursor from[3],
                   const RunCursor before[3], const uint8_t *end, int32_t *work)
{
    top->low = low;
    top->b = b;
    top->end = end;
    for (int k = 0; k < 3; k++)
        top->next[k] = from[k];
    int width = 2 * b;
    top->aPrev = work, top->aRow = work + width, top->bPrev = work + 2 * width, top->bRow = work + 3 * width;
    top->detail[0] = work + 4 * width, top->detail[1] = top->detail[0] + b, top->detail[2] = top->detail[1] + b;
    top->out[0] = top->detail[2] + b, top->out[1] = top->out[0] + width;
    top->pair = fromPair - 1;
    // Output rows 2t and 2t + 1 read row t - 1 of the level below; rows 0
    // and 1 read its row b - 1.
    RunCursor previous[3] = {before[0], before[1], before[2]};
    SynthesizeTopRow(top, previous, fromPair == 0 ? b - 1 : fromPair - 1, top->aRow, top->bRow);
}

const int32_t *TopLevelRow(TopLevelRows *top, int r)
{
    int t = r / 2;
    assert((t == top->pair || t == top->pair + 1) && t < top->b);
    if (t != top->pair) {
        std::swap(top->aPrev, top->aRow);
        std::swap(top->bPrev, top->bRow);
        SynthesizeTopRow(top, top->next, t, top->aRow, top->bRow);
        SynthesizeRowPair(top->aPrev, top->aRow, top->bPrev, top->bRow, top->out[0], top->out[1], 2 * top->b);
        top->pair = t;
    }
    return top->out[r & 1];
}
