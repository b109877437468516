// The inverse wavelet transform of the art decoder: the integer four-tap
// Daubechies synthesis, level by level from the coarsest band.
//
// A coefficient plane of side a (a = BaseSide times a power of two) holds
// before the transform: the coarsest low band, a b0 x b0 row-major block at
// entry 0; then for each level side b = b0, 2 b0, 4 b0, ... while b < a three
// b x b row-major detail blocks at entries b^2, 2 b^2 and 3 b^2: high
// horizontally, high vertically, high both ways. After it the plane is the
// a x a picture of its channel, row-major, in quarter levels.
#pragma once

#include "decoder/runs.h"

#include <stddef.h>
#include <stdint.h>

// The synthesis constants in 16.16 fixed point, cut (not rounded) to integers.
constexpr int32_t kSynth0 = 31651, kSynth1 = 54821, kSynth2 = 14689, kSynth3 = 8480;

// Synthesizes lineCount lines of n low values (line i at P + i n) and n high
// values (at Q + i n) into 2n values each, periodically (the first pair uses
// the line's last values). Line i's results go to O + i, O + i + step,
// O + i + 2 step, ...: each line becomes a column of the output.
void SynthesizeLines(const int32_t *P, const int32_t *Q, int32_t *O, int n, int lineCount, int step);

// Transforms the plane (side a, a = baseSide times a power of two) in place.
// Only rows 0 ... rows - 1 and the last lastRows rows of the result are
// needed (each at most a): each level then synthesizes just the rows that
// those depend on, and the plane's other rows are left with values of no use.
// Keeps two process-wide scratch planes of a^2 / 2 integers for the largest
// plane seen.
void InverseTransformPlane(int32_t *plane, int a, int baseSide, int rows, int lastRows = 0);
// The same with the caller's two scratch areas of a^2 / 2 integers each.
void InverseTransformPlaneWith(int32_t *plane, int a, int baseSide, int rows, int lastRows, int32_t *scratchA,
                               int32_t *scratchB);

// The last level of a plane of side 2b, synthesized two rows at a time as the
// rows are asked for, without the plane in memory: the level's low band (b x b,
// the levels below already synthesized: rows 0 ... and row b - 1 are read) is
// in memory, and its three detail blocks are taken from the run-length
// control bytes a row at a time. It gives the rows InverseTransformPlane
// gives, value for value.
struct TopLevelRows {
    const int32_t *low;
    int b;
    RunCursor next[3];  // the detail blocks' next rows
    const uint8_t *end;
    int32_t *aPrev, *aRow, *bPrev, *bRow;  // the horizontal syntheses of rows t - 1 and t (2b values)
    int32_t *detail[3];                    // the detail blocks' row t
    int32_t *out[2];                       // output rows 2t and 2t + 1
    int pair;                              // t, or -1 before the first
};

// Integers of work room a last level of side 2b needs.
size_t TopLevelValues(int b);
// The output from row 2 fromPair on. from: the cursors at the three detail
// blocks' row fromPair; before: at their row fromPair - 1 (b - 1 for pair 0).
// The control bytes end at end; work has TopLevelValues(b) room.
void StartTopLevel(TopLevelRows *top, const int32_t *low, int b, int fromPair, const RunCursor from[3],
                   const RunCursor before[3], const uint8_t *end, int32_t *work);
// Row r of the output (2b values), valid until the next call; rows are asked
// for in order from row 2 fromPair, each pair of rows 2t, 2t + 1 at most once.
const int32_t *TopLevelRow(TopLevelRows *top, int r);

// True when side is baseSide times a power of two (1, 2, 4, ...).
bool IsLevelSide(long long side, long long baseSide);
