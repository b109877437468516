// The plan of a decoding: the list of tasks that two threads (base/team.h)
// take in turn to decode an art file and render it, made from the art's
// geometry alone, so that the order and the waits can be checked without
// decoding anything. The tasks' bodies are in decodetasks.cpp, the driver
// that carves their memory and runs them in decodeart.cpp.
//
// The tasks, in the list's order:
// - a plane's low band (kPrepare), into the memory of its piece's slot: the
//   pieces of one row of pieces are decoded side by side, and the next row
//   of pieces takes the slots when the row above is done with them; when
//   only decoding, the luma plane's band is expanded from its runs in two
//   halves first (kRuns), one for each thread, the chroma planes' bands
//   being the smaller;
// - rows of a chain (kChunk): a chain is a piece's rows, or half of them,
//   decoded in order, each plane's last level carried on from task to task;
//   the chunks of every chain of a row of pieces at the same rows make a
//   round; in a 4-piece picture the chunk of a round that ends last mends the
//   seam of its rows, so the two pieces' chunks run side by side and neither
//   thread waits for the other to mend it;
// - a pair of rows of the rendered picture (kPair): scaled, reduced while the
//   pair above is still being reduced on the other thread, and handed on;
// - a band of kChunkRows rows of a picture rendered at its own size (kBand).
// For a scaled rendering only a ring of the decoded rows is kept (the rows
// that pairs still need and the rows being decoded), and chunks and pairs
// take turns in the list. A task waits only for tasks before it in the list.
#pragma once

#include "decoder/artcheck.h"
#include "decoder/scale.h"

#include <vector>

constexpr int kMaxWaits = 8;
constexpr int kChunkRows = 16;  // rows of a chain a task, when the picture is a ring

enum PipeKind { kPrepare, kRuns, kChunk, kPair, kBand };

// One task. Only the fields of its kind are set; the others stay -1.
struct PipeTask {
    PipeKind kind;
    int piece, plane;          // kPrepare, kRuns: the plane, 0-2 (Y, U, V)
    int bytesFrom, bytesTo;    // kPrepare, kRuns: its low band's bytes expanded from runs (kPrepare: none when equal)
    int chain;                 // kChunk: the chain (TaskPlan::chains)
    int rowsFrom, rowsTo;      // kChunk: the chain's rows, piece rows from ... to - 1
    int round;                 // kChunk: its round (TaskPlan::seams) when the round has a seam to mend
    int number;                // kPair: the pair of output rows; kBand: the band
    int waits[kMaxWaits];      // earlier tasks that must be done first
    int waitCount;
};

// The makers of each kind of task, with no waits.
PipeTask PrepareTask(int piece, int plane, int bytesFrom, int bytesTo);
PipeTask RunsTask(int piece, int plane, int bytesFrom, int bytesTo);
PipeTask ChunkTask(int chain, int rowsFrom, int rowsTo, int round);
PipeTask PairTask(int pair);
PipeTask BandTask(int band);
// Adds a wait for task number; a negative number (no such task) adds none.
void AddWait(PipeTask *t, int number);

// A piece's rows decoded in order by one thread at a time: piece rows
// first ... last - 1.
struct ChainRows {
    int piece, first, last;
};

// The picture rows of a round whose last chunk mends the seam, and its chunks.
struct SeamRows {
    int from, to, chunks;
};

struct TaskPlan {
    std::vector<ChainRows> chains;
    std::vector<PipeTask> tasks;
    std::vector<SeamRows> seams;
};

// The rows of piece i that the picture shows: all of its side but in the last
// row of pieces, where the picture's height ends.
int PieceRows(const ArtGeometry &g, int i);
// The values of a plane of side a's low band: (a / 2)^2, or a^2 for a plane
// of the base side, which has no last level.
int LowBandValues(int a, int baseSide);
// The piece row each half of a piece starts at: 0 when the piece is one
// chain; with halves, a multiple of 4 so that both start at whole pairs of
// rows of every plane.
int ChainSplit(const ArtGeometry &g, int piece, bool halves);

// The decoded rows kept for a rendering of height rows: the rows being
// decoded, and enough before them for the pairs of rows still to be rendered
// (two output rows read rows up to 2 artHeight / height + 3 apart); the
// whole picture when that is all of it.
int RingRows(int artHeight, int height);

// Lists the tasks of an art of geometry g. Only decoding (scaler null): each
// piece two chains when halves is set, a chunk each, the picture kept whole.
// Rendering: scaler is the one that makes the output rows, height of them,
// from a ring of ringRows decoded rows.
void PlanTasks(const ArtGeometry &g, bool halves, const ArtScaler *scaler, int height, int ringRows, TaskPlan *plan);
