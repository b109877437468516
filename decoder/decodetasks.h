// The state that the tasks of a decoding share (the tasks and their order:
// decodeplan.h), where each plane lies in the control bytes, and the task
// runner that the team calls.
#pragma once

#include "base/team.h"
#include "decoder/art.h"
#include "decoder/decodeplan.h"
#include "decoder/runs.h"
#include "decoder/wavelet.h"

#include <atomic>
#include <memory>
#include <vector>

// Where one plane of a piece lies in the control bytes. A plane of side
// a > BaseSide is decoded as its low band (its first quarter, side a / 2, in
// memory) and its last level, whose three detail blocks (the other three
// quarters) are read a row at a time; a plane of side BaseSide is all low band.
constexpr int kMarks = 4;
struct PlacedPlane {
    int side;                    // a
    RunCursor low;               // the plane's first byte
    RunCursor middle;            // byte lowBytes / 2 of its low band
    int lowBytes;                // the low band's bytes
    int marks[kMarks];           // detail rows whose cursors are kept, ascending
    int markCount;
    RunCursor at[3][kMarks];     // detail blocks 1-3 at those rows
    int32_t *memory;             // the low band, (a / 2)^2 values; a^2 for a plane with no last level
};

// One piece's Y, U and V rows from a row on, the last level of each plane
// started there.
struct PieceRowsAt {
    PlacedPlane *plane[3];
    TopLevelRows top[3];
};

// A chain's state from chunk to chunk, and its room (the driver's).
struct ChainState {
    PieceRowsAt at;
    int32_t *work, *blueTerm, *redTerm;  // the last levels' work; a row's chroma terms (m values each)
    uint32_t *words;                     // a row's packed pixels, m of them
    int chromaRow;                       // the chroma row the terms hold, or -1
};

// A round of chunks with a seam: the picture rows of the seam, and how many
// of the round's chunks have not ended.
struct SeamRound {
    int from, to;
    std::atomic<int> left;
};

// A pair's progress, alone in its cache line: the two threads write their
// pairs' and read each other's.
struct alignas(64) PairProgress {
    std::atomic<int> value;
};

// The scaled rendering's state.
struct ArtRender {
    int width, height, depth;
    size_t stride;               // bytes of a scaled row
    int fill;
    ArtScaler scaler[2];
    uint8_t *rows[2];            // each member's two scaled rows
    PairProgress *progress;      // by pair of rows: how far its reduction has got
};

struct ArtPipe {
    const ArtFile *art;
    ArtGeometry g;
    const uint8_t *end;          // the control bytes' end
    PlacedPlane planes[4][3];    // by piece: Y, U, V
    TaskPlan plan;
    std::vector<ChainState> chains;       // by plan.chains
    std::unique_ptr<SeamRound[]> rounds;  // by plan.seams
    int32_t *scratch[2];  // a member's scratch for the low bands: two areas of (m / 2)^2 / 2 values
    uint8_t *picture;     // row r at picture + (r % ringRows) * rowBytes
    int ringRows;
    size_t rowBytes;
    ArtRender *render;    // null when only decoding
    ArtRowSink sink;
    void *context;
};

// Finds every piece's planes in the control bytes from stream on, so that a
// stream that ends too soon is known before any piece is decoded (fatal,
// through ArtFault). The cursors kept are those the chains start from.
void PlacePlanes(ArtPipe *d, const uint8_t *stream, bool halves);

// Runs task number of d->plan on a team's member (0 or 1), once the tasks it
// waits for are done. The team's context is d.
void PipeTaskRun(Team *team, int number, int member);
