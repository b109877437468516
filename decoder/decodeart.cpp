// The decode driver: the whole art into one picture, piece by piece, and the
// picture at the screen's size and depth.
#include "decoder/art.h"

#include "base/apperror.h"
#include "base/team.h"
#include "decoder/artcheck.h"
#include "decoder/colour.h"
#include "decoder/huffman.h"
#include "decoder/runs.h"
#include "decoder/scale.h"
#include "decoder/wavelet.h"
#include "palette/palette.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>
#include <new>

static void CheckHuffman(const ArtFile *art, const HuffmanResult &h)
{
    switch (h.fault) {
    case kHuffmanOk:
        return;
    case kHuffmanNoData:
        ArtFault(art->path, __LINE__, "it has no compressed data");
    case kHuffmanEmptyTree:
        ArtFault(art->path, __LINE__, "its code tree has no nodes");
    case kHuffmanTreeCut:
        ArtFault(art->path, __LINE__, "its data ends inside its code tree");
    case kHuffmanBadNode:
        ArtFault(art->path, __LINE__, "node %d of its code tree refers to node %d, past the tree's end", h.node,
                 h.child);
    case kHuffmanTooLong:
        ArtFault(art->path, __LINE__, "its decoded stream is longer than the %ld bytes its header gives",
                 (long)art->header[kArtStreamSize]);
    }
}

// The rows of piece i that the picture shows: all m but in the last row of
// pieces, where the picture's height ends.
static int PieceRows(const ArtGeometry &g, int i)
{
    if (i / g.perSide < g.perSide - 1)
        return g.pieceSide;
    return g.height - (g.perSide - 1) * g.pieceSide;
}

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

// Moves the cursor bytes on; false when the stream ends first.
static bool Pass(RunCursor *c, const uint8_t *end, size_t bytes)
{
    return TakeRuns(c, end, nullptr, bytes, true) == bytes;
}

// Finds the plane from the cursor on and moves the cursor past it, keeping
// the cursors of the detail rows 0, b - 1 and, when from > 0, from - 1 and
// from (the first pair of the second half of the rows).
static bool PlacePlane(PlacedPlane *p, int side, int baseSide, int from, RunCursor *c, const uint8_t *end)
{
    p->side = side;
    p->low = *c;
    p->markCount = 0;
    // The low band in two halves, the cursor kept between them.
    int b = side / 2;
    p->lowBytes = (side == baseSide ? side * side : b * b) * 4;
    if (!Pass(c, end, (size_t)(p->lowBytes / 2)))
        return false;
    p->middle = *c;
    if (side == baseSide)
        return Pass(c, end, (size_t)(p->lowBytes - p->lowBytes / 2));
    int wanted[kMarks] = {0, from - 1, from, b - 1};
    for (int w : wanted)
        if (w >= 0 && (p->markCount == 0 || w > p->marks[p->markCount - 1]))
            p->marks[p->markCount++] = w;
    size_t row = (size_t)b * 4;
    if (!Pass(c, end, (size_t)(p->lowBytes - p->lowBytes / 2)))
        return false;
    for (int k = 0; k < 3; k++) {
        int at = 0;  // the row the cursor is at in this block
        for (int j = 0; j < p->markCount; j++) {
            if (!Pass(c, end, row * (p->marks[j] - at)))
                return false;
            at = p->marks[j];
            p->at[k][j] = *c;
        }
        if (!Pass(c, end, row * (b - at)))
            return false;
    }
    return true;
}

// The cursors of the three detail blocks at row r, one of the plane's marks.
static void CursorsAt(const PlacedPlane &p, int r, RunCursor out[3])
{
    int j = 0;
    while (j + 1 < p.markCount && p.marks[j] != r)
        j++;
    for (int k = 0; k < 3; k++)
        out[k] = p.at[k][j];
}

// One piece's Y, U and V rows from row `from` on, the last level of each plane
// started there.
struct PieceRowsAt {
    PlacedPlane *plane[3];
    TopLevelRows top[3];
};

static void StartPieceRows(PieceRowsAt *rows, PlacedPlane planes[3], const int pair[3], int baseSide,
                           const uint8_t *end, int32_t *work)
{
    for (int k = 0; k < 3; k++) {
        PlacedPlane &p = planes[k];
        rows->plane[k] = &p;
        if (p.side == baseSide)
            continue;
        int b = p.side / 2;
        RunCursor from[3], before[3];
        CursorsAt(p, pair[k], from);
        CursorsAt(p, pair[k] == 0 ? b - 1 : pair[k] - 1, before);
        StartTopLevel(&rows->top[k], p.memory, b, pair[k], from, before, end, work);
        work += TopLevelValues(b);
    }
}

static const int32_t *PlaneRow(PieceRowsAt *rows, int k, int r)
{
    const PlacedPlane *p = rows->plane[k];
    if (p->markCount == 0)
        return p->memory + (size_t)r * p->side;
    return TopLevelRow(&rows->top[k], r);
}

static int LowValues(int a, int baseSide) { return a == baseSide ? a * a : (a / 2) * (a / 2); }

// ---------------------------------------------------------------- the tasks
//
// Decoding and rendering run as one list of tasks for two threads (base/team.h):
// - a plane's low band (kPrepare), into the memory of its piece's slot: the
//   pieces of one row of pieces are decoded side by side, and the second row
//   of pieces takes the first row's slots when it is done with them; when
//   only decoding, the luma plane's band is expanded from its runs in two
//   halves first (kRuns), one for each thread, the chroma planes' bands being
//   the smaller;
// - rows of a chain (kChunk): a chain is a piece's rows, or half of them,
//   decoded in order, each plane's last level carried on from task to task;
// - rows of every chain of a row of pieces make a round of chunks; in a
//   4-piece picture the chunk of a round that ends last mends the seam of
//   its rows, so that the two pieces' chunks run side by side and neither
//   thread waits for the other to mend it;
// - a pair of rows of the rendered picture (kPair): scaled, reduced while the
//   pair above is still being reduced on the other thread, and handed on;
// - a band of rows of a picture rendered at its own size (kBand).
// The decoded picture is kept whole for DecodeArt; for a scaled rendering
// only a ring of its rows is, the rows that pairs still need and the rows
// being decoded, and chunks and pairs take turns in the list. A task waits
// only for tasks before it in the list.

enum PipeKind { kPrepare, kRuns, kChunk, kPair, kBand };
constexpr int kMaxWaits = 8;
constexpr int kChunkRows = 16;  // rows of a chain a task, when the picture is a ring

struct PipeTask {
    PipeKind kind;
    int piece, plane;     // kPrepare, kRuns
    int chain, from, to;  // kChunk: the chain's rows from ... to - 1; kPrepare, kRuns: the low band's bytes
                          // from ... to - 1 expanded from their runs (kPrepare: none when from == to)
    int round;            // kChunk: its round, when the round has a seam to mend; else -1
    int number;           // kPair: the pair; kBand: the band
    int waits[kMaxWaits];
    int waitCount;
};

// A round of chunks with a seam: the picture rows of the seam, and how many
// of the round's chunks have not ended.
struct SeamRound {
    int from, to;
    std::atomic<int> left;
};

struct Chain {
    int piece, first, last;
    PieceRowsAt at;
    int32_t *work, *blueTerm, *redTerm;
    uint32_t *words;
    int chromaRow;
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
    const uint8_t *end;
    PlacedPlane planes[4][3];
    std::vector<Chain> chains;
    std::vector<PipeTask> tasks;
    std::unique_ptr<SeamRound[]> rounds;  // by round with a seam
    int32_t *scratch[2];  // a member's scratch for the low bands: two areas of (m / 2)^2 / 2 values
    uint8_t *picture;     // row r at picture + (r % ringRows) * rowBytes
    int ringRows;
    size_t rowBytes;
    ArtRender *render;    // null when only decoding
    ArtRowSink sink;
    void *context;
};

static void AddWait(PipeTask &t, int number)
{
    if (number < 0)
        return;
    AppAssert(t.waitCount < kMaxWaits, "D42SAVE", __LINE__, "A decoding task waits for more than %d others",
              kMaxWaits);
    t.waits[t.waitCount++] = number;
}

// Bytes from ... to - 1 of a plane's low band, expanded from their runs: all
// of them, or either half.
static void RunsTask(ArtPipe *d, const PipeTask &t)
{
    PlacedPlane &p = d->planes[t.piece][t.plane];
    RunCursor c = t.from == 0 ? p.low : p.middle;
    TakeRuns(&c, d->end, (uint8_t *)p.memory + t.from, (size_t)(t.to - t.from), false);
}

static void PrepareTask(ArtPipe *d, const PipeTask &t, int member)
{
    const ArtGeometry &g = d->g;
    int rows = PieceRows(g, t.piece), chromaRows = g.subsampled ? (rows + 1) / 2 : rows;
    PlacedPlane &p = d->planes[t.piece][t.plane];
    int a = p.side, base = g.baseSide;
    if (t.from < t.to)
        RunsTask(d, t);
    if (a > base) {
        // Synthesized for the rows wanted: the last level's pairs, and row
        // b - 1 for its first pair.
        int wanted = t.plane == 0 ? rows : chromaRows;
        size_t half = (size_t)(a / 2) * (a / 2) / 2;
        InverseTransformPlaneWith(p.memory, a / 2, base, (wanted + 1) / 2, 1, d->scratch[member],
                                  d->scratch[member] + half);
    }
}

// The vertical seam of a 4-piece picture, in picture rows from ... to - 1,
// once both pieces' tasks for them are done: its middle column becomes the
// mean of its neighbours.
static void MendSeam(ArtPipe *d, int from, int to)
{
    size_t middle = (size_t)d->g.pieceSide * 3;
    for (int y = from; y < to; y++) {
        uint8_t *p = d->picture + (size_t)(y % d->ringRows) * d->rowBytes + middle;
        for (int ch = 0; ch < 3; ch++)
            p[ch] = (uint8_t)((p[ch - 3] + p[ch + 3]) >> 1);
    }
}

static void ChunkTask(ArtPipe *d, const PipeTask &t)
{
    const ArtGeometry &g = d->g;
    Chain &chain = d->chains[t.chain];
    int i = chain.piece, m = g.pieceSide;
    const int32_t *h = d->art->header;
    if (t.from == chain.first) {
        // The pair each plane starts from: a subsampled chroma row serves two rows.
        int chromaFirst = g.subsampled ? chain.first / 2 : chain.first;
        int pair[3] = {chain.first / 2, chromaFirst / 2, chromaFirst / 2};
        StartPieceRows(&chain.at, d->planes[i], pair, g.baseSide, d->end, chain.work);
        chain.chromaRow = -1;
    }
    int top = (i / g.perSide) * m;  // the picture row of the piece's row 0
    for (int r = t.from; r < t.to; r++) {
        if ((g.subsampled ? r / 2 : r) != chain.chromaRow) {
            chain.chromaRow = g.subsampled ? r / 2 : r;
            ChromaTerms(PlaneRow(&chain.at, 1, chain.chromaRow), h[kArtUOffset + i],
                        PlaneRow(&chain.at, 2, chain.chromaRow), h[kArtVOffset + i], m, g.subsampled,
                        chain.blueTerm, chain.redTerm);
        }
        uint8_t *row = d->picture + (size_t)((top + r) % d->ringRows) * d->rowBytes;
        ConvertRow(PlaneRow(&chain.at, 0, r), h[kArtYOffset + i], chain.blueTerm, chain.redTerm, m, chain.words,
                   row + (size_t)(i % g.perSide) * m * 3);
    }
    // The round's last chunk to end has every row of the seam: the others'
    // rows were written before their count went down.
    if (t.round >= 0) {
        SeamRound &round = d->rounds[t.round];
        if (round.left.fetch_sub(1, std::memory_order_acq_rel) == 1)
            MendSeam(d, round.from, round.to);
    }
}

// A pair of scaled rows: scaled, reduced while the pair above is still being
// reduced on the other thread, and handed on.
static void PairTask(ArtPipe *d, const PipeTask &t, int member)
{
    ArtRender *r = d->render;
    int number = t.number, first = 2 * number, count = std::min(2, r->height - first);
    uint8_t *rows = r->rows[member];
    for (int i = 0; i < count; i++)
        ScaleArtRow(&r->scaler[member], first + i, rows + i * r->stride);
    // Every row but the black last one is reduced.
    int reduced = first + count == r->height ? count - 1 : count;
    if ((r->depth == 8 || r->depth == 16) && reduced > 0) {
        DiffusePair(r->depth == 8, rows, reduced, r->fill, first,
                    number > 0 ? &r->progress[number - 1].value : nullptr, &r->progress[number].value);
    } else {
        // The black last row of an 8-bit picture waits for the pair above,
        // as the rows reduced onto the palette do: the first pair builds the
        // search that the sink's colour look-ups use.
        bool wait = r->depth == 8 && number > 0;
        for (int round = 0; wait && r->progress[number - 1].value.load(std::memory_order_acquire) != kPairDone;
             round++)
            TeamPause(round);
        r->progress[number].value.store(kPairDone, std::memory_order_release);
    }
    for (int i = 0; i < count; i++)
        d->sink(d->context, first + i, rows + i * r->stride, member);
}

static void PipeTaskRun(Team *team, int number, int member)
{
    ArtPipe *d = (ArtPipe *)team->context;
    const PipeTask &t = d->tasks[number];
    for (int w = 0; w < t.waitCount; w++)
        TeamWaitFor(team, t.waits[w]);
    switch (t.kind) {
    case kPrepare: PrepareTask(d, t, member); break;
    case kRuns: RunsTask(d, t); break;
    case kChunk: ChunkTask(d, t); break;
    case kPair: PairTask(d, t, member); break;
    case kBand:
        for (int y = t.number * kChunkRows; y < d->g.height && y < (t.number + 1) * kChunkRows; y++)
            d->sink(d->context, y, d->picture + (size_t)y * d->rowBytes, member);
        break;
    }
}

// The rows of the decoded picture that output row y (not the last) reads:
// two rows scaled across, each reading the first pixel of the row after it.
static void RowsRead(const ArtScaler &s, int y, int *lowest, int *highest)
{
    int position = (int)((y * s.vStep) >> 8);
    int k = std::max(0, std::min(position >> 8, s.artHeight - 2));
    *lowest = k;
    *highest = std::min(k + 2, s.artHeight - 1);
}

// Finds every piece's planes in the control bytes, so that a stream that ends
// too soon is known before any piece is decoded, and lists the tasks. With
// halves set, each piece is two chains, cut at a multiple of 4 rows so that
// the halves start at whole pairs of rows of every plane.
static void PlanTasks(ArtPipe *d, const uint8_t *stream, bool halves)
{
    const ArtGeometry &g = d->g;
    const int m = g.pieceSide, c = g.chromaSide, base = g.baseSide;
    RunCursor cursor = {stream, 0};
    for (int i = 0; i < g.pieces; i++) {
        int rows = PieceRows(g, i), split = halves ? rows / 8 * 4 : 0;
        int from[3] = {split / 2, (g.subsampled ? split / 2 : split) / 2, 0};
        from[2] = from[1];
        for (int k = 0; k < 3; k++)
            if (!PlacePlane(&d->planes[i][k], k == 0 ? m : c, base, from[k], &cursor, d->end))
                ArtFault(d->art->path, __LINE__, "its data ends in piece %d of %d", i + 1, g.pieces);
    }
    // No fault from here on: the lists are the first blocks made with new,
    // which a report would leave behind.
    for (int i = 0; i < g.pieces; i++) {
        int rows = PieceRows(g, i), split = halves ? rows / 8 * 4 : 0;
        if (split > 0)
            d->chains.push_back(Chain{i, 0, split, {}, nullptr, nullptr, nullptr, nullptr, -1});
        d->chains.push_back(Chain{i, split, rows, {}, nullptr, nullptr, nullptr, nullptr, -1});
    }

    std::vector<PipeTask> &tasks = d->tasks;
    std::vector<int> prepared(12, -1), lastOfChain(d->chains.size(), -1);
    ArtRender *r = d->render;
    int pairs = r ? (r->height + 1) / 2 : 0, nextPair = 0, readPast = 0;
    std::vector<int> pairTask(pairs, -1);
    // A picture of two pieces a side has a seam (a 2-pixel-wide one has no
    // right neighbour for it); its rounds' chunks in lastRound.
    const bool seam = g.perSide == 2 && g.width > 2;
    std::vector<int> lastRound;
    struct SeamRows {
        int from, to, chunks;
    };
    std::vector<SeamRows> seamRows;
    // The rows of the decoded picture that pair p reads, and the pair no
    // earlier rows are read after.
    auto rowsOfPair = [&](int p, int *lowest, int *highest) {
        *lowest = d->g.height, *highest = 0;
        for (int y = 2 * p; y < std::min(2 * p + 2, r->height - 1); y++) {
            int lo, hi;
            RowsRead(r->scaler[0], y, &lo, &hi);
            *lowest = std::min(*lowest, lo), *highest = std::max(*highest, hi);
        }
    };
    for (int band = 0; band < g.perSide; band++) {
        int left = band * g.perSide;
        for (int i = left; i < left + g.perSide; i++)
            for (int k = 0; k < 3; k++) {
                int bytes = d->planes[i][k].lowBytes, half = !r && k == 0 ? bytes / 2 : 0;
                PipeTask t = {kPrepare, i, k, 0, 0, half > 0 ? 0 : bytes, -1, 0, {}, 0};
                for (size_t n = 0; n < d->chains.size(); n++)  // the slot's last user done
                    if (i >= g.perSide && d->chains[n].piece == i - g.perSide)
                        AddWait(t, lastOfChain[n]);
                const PipeTask slotFree = t;
                for (int part = 0; half > 0 && part < 2; part++) {
                    PipeTask runs = slotFree;
                    runs.kind = kRuns;
                    runs.from = part == 0 ? 0 : half, runs.to = part == 0 ? half : bytes;
                    AddWait(t, (int)tasks.size());
                    tasks.push_back(runs);
                }
                prepared[i * 3 + k] = (int)tasks.size();
                tasks.push_back(t);
            }
        // Rounds: the next rows of every chain of the band, left to right;
        // when only decoding, each chain whole.
        int rows = PieceRows(g, left), step = r ? kChunkRows : rows;
        for (int at = 0; at < rows; at += step) {
            int roundStart = (int)tasks.size();
            for (size_t n = 0; n < d->chains.size(); n++) {
                const Chain &chain = d->chains[n];
                int from = r ? std::max(chain.first, at) : chain.first, to = r ? std::min(chain.last, at + step) : chain.last;
                if (chain.piece < left || chain.piece >= left + g.perSide || from >= to)
                    continue;
                PipeTask t = {kChunk, 0, 0, (int)n, from, to, seam ? (int)seamRows.size() : -1, 0, {}, 0};
                for (int k = 0; k < 3; k++)
                    AddWait(t, prepared[chain.piece * 3 + k]);
                AddWait(t, lastOfChain[n]);
                // Every earlier row's seam is mended before new rows take
                // their entries of the ring, and pairs that wait for a
                // round's chunks have every row above too.
                for (int w : lastRound)
                    if (w != lastOfChain[n])
                        AddWait(t, w);
                if (r) {
                    // The ring's entries this task writes held rows up to
                    // band m + to - 1 - ringRows: the pairs that read them
                    // must be done (and the pairs still to come read none).
                    int overwritten = band * m + to - d->ringRows;
                    while (readPast < nextPair) {
                        int lowest, highest;
                        rowsOfPair(readPast, &lowest, &highest);
                        if (lowest >= overwritten)
                            break;
                        readPast++;
                    }
                    AddWait(t, readPast >= 1 ? pairTask[readPast - 1] : -1);
                    AddWait(t, readPast >= 2 ? pairTask[readPast - 2] : -1);
                }
                lastOfChain[n] = (int)tasks.size();
                tasks.push_back(t);
            }
            if (seam) {
                lastRound.clear();
                for (int w = roundStart; w < (int)tasks.size(); w++)
                    lastRound.push_back(w);
                seamRows.push_back({band * m + at, band * m + std::min(rows, at + step), (int)lastRound.size()});
            }
            // Every pair whose rows are all decoded now.
            int decoded = band * m + std::min(rows, at + step) - 1;
            while (r && nextPair < pairs) {
                int lowest, highest;
                rowsOfPair(nextPair, &lowest, &highest);
                if (highest > decoded)
                    break;
                PipeTask t = {kPair, 0, 0, 0, 0, 0, -1, nextPair, {}, 0};
                for (int w = roundStart; w < (int)tasks.size(); w++)
                    if (tasks[w].kind == kChunk)
                        AddWait(t, w);
                AddWait(t, nextPair >= 2 ? pairTask[nextPair - 2] : -1);
                pairTask[nextPair++] = (int)tasks.size();
                tasks.push_back(t);
            }
        }
    }
    d->rounds.reset(new SeamRound[seamRows.size()]);
    for (size_t i = 0; i < seamRows.size(); i++) {
        d->rounds[i].from = seamRows[i].from, d->rounds[i].to = seamRows[i].to;
        d->rounds[i].left.store(seamRows[i].chunks, std::memory_order_relaxed);
    }
}

// A team started before its list of tasks is made, run with no tasks if a
// fault report leaves first (as the host's tests' exits do, by unwinding).
struct StartedTeam {
    TeamStart *start;
    ~StartedTeam()
    {
        if (start)
            RunStartedTeam(start, nullptr, nullptr, 0);
    }
};

// The slots' low bands, the members' scratch and the chains' rows; the tasks
// run by the started team; the memory released.
static void RunPipe(ArtPipe *d, StartedTeam *team)
{
    const ArtGeometry &g = d->g;
    const int m = g.pieceSide, c = g.chromaSide, base = g.baseSide;
    auto topValues = [&](int a) { return a == base ? (size_t)0 : TopLevelValues(a / 2); };
    size_t low = (size_t)LowValues(m, base) + 2 * (size_t)LowValues(c, base);
    size_t scratch = m > base ? (size_t)(m / 2) * (m / 2) : 0;
    size_t work = topValues(m) + 2 * topValues(c) + 3 * (size_t)m;
    size_t values = g.perSide * low + 2 * scratch + d->chains.size() * work;
    int32_t *room = (int32_t *)ArtAllocate(d->art->path, values * sizeof(int32_t));
    for (int i = 0; i < g.pieces; i++) {
        int32_t *slot = room + (i % g.perSide) * low;
        d->planes[i][0].memory = slot;
        d->planes[i][1].memory = slot + LowValues(m, base);
        d->planes[i][2].memory = d->planes[i][1].memory + LowValues(c, base);
    }
    for (int member = 0; member < 2; member++)
        d->scratch[member] = room + g.perSide * low + member * scratch;
    for (size_t n = 0; n < d->chains.size(); n++) {
        Chain &chain = d->chains[n];
        chain.work = room + g.perSide * low + 2 * scratch + n * work;
        chain.blueTerm = chain.work + topValues(m) + 2 * topValues(c);
        chain.redTerm = chain.blueTerm + m;
        chain.words = (uint32_t *)(chain.redTerm + m);
    }
    TeamStart *start = team->start;
    team->start = nullptr;
    RunStartedTeam(start, PipeTaskRun, d, (int)d->tasks.size());
    free(room);
}

// The control bytes of the art, decoded from its Huffman code.
static uint8_t *ControlBytes(ArtPipe *d)
{
    uint8_t *stream = (uint8_t *)ArtAllocate(d->art->path, d->g.streamBytes);
    HuffmanResult decoded = DecodeHuffman(stream, d->g.streamBytes, d->art->data, d->art->dataSize);
    CheckHuffman(d->art, decoded);
    d->end = stream + decoded.written;
    return stream;
}

uint8_t *DecodeArt(const ArtFile *art)
{
    StartedTeam team{StartTeam(nullptr, nullptr)};
    ArtPipe d;
    d.art = art;
    d.g = CheckArtHeader(art);
    d.picture = (uint8_t *)ArtAllocate(art->path, d.g.imageBytes);
    d.ringRows = d.g.height;
    d.rowBytes = (size_t)d.g.width * 3;
    d.render = nullptr;
    uint8_t *stream = ControlBytes(&d);
    PlanTasks(&d, stream, true);
    RunPipe(&d, &team);
    free(stream);
    return d.picture;
}

// What the reduction needs before its first rows, made by the helper while
// the caller makes the list of tasks: the error rows and the tables of the
// diffusion (8 and 16 bits), and the palette's search (8 bits: the rows
// handed on look their colours up in it too).
struct Reduction {
    int depth, kernel, width;
    bool diffused;
};
static void PrepareReduction(void *context)
{
    const Reduction *r = (const Reduction *)context;
    if (r->diffused && (r->depth == 8 || r->depth == 16))
        StartDiffusion(r->kernel, r->width);
    if (r->depth == 8)
        PrepareSearch();
}

void RenderArtRows(const ArtFile *art, int width, int height, int depth, int kernel, ArtRowSink sink, void *context)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    ArtPipe d;
    d.art = art;
    d.sink = sink, d.context = context;
    d.render = nullptr;
    if (width == artWidth && height == artHeight) {
        // The decoded picture as it is, a band of rows a task.
        d.picture = DecodeArt(art);
        Reduction reduction{depth, kernel, width, false};
        TeamStart *start = StartTeam(PrepareReduction, &reduction);
        d.g = CheckArtHeader(art);
        d.rowBytes = (size_t)width * 3;
        for (int band = 0; band * kChunkRows < height; band++)
            d.tasks.push_back(PipeTask{kBand, 0, 0, 0, 0, 0, -1, band, {}, 0});
        RunStartedTeam(start, PipeTaskRun, &d, (int)d.tasks.size());
        free(d.picture);
        return;
    }
    Reduction reduction{depth, kernel, width, true};
    StartedTeam team{StartTeam(PrepareReduction, &reduction)};
    d.g = CheckArtHeader(art);
    // The ring of decoded rows: the rows being decoded, and enough before
    // them for the pairs of rows still to be rendered (two output rows read
    // rows up to 2 artHeight / height + 3 apart); the whole picture when
    // that is all of it.
    d.rowBytes = (size_t)artWidth * 3;
    long long ring = 2 * kChunkRows + 2LL * (artHeight / height) + 16;
    d.ringRows = ring < artHeight ? (int)ring : artHeight;
    d.picture = (uint8_t *)ArtAllocate(art->path, (size_t)d.ringRows * d.rowBytes);

    ArtRender r;
    d.render = &r;
    r.width = width, r.height = height, r.depth = depth;
    r.stride = (size_t)ScaledRowBytes(width);
    r.fill = (int)(r.stride - (size_t)width * 3);
    int pairs = (height + 1) / 2;
    uint8_t *rows = (uint8_t *)calloc(r.stride * 4, 1);
    AppAssert(rows != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", art->path,
              width, height);
    for (int member = 0; member < 2; member++) {
        r.rows[member] = rows + member * 2 * r.stride;
        StartArtScaler(&r.scaler[member], art->path, d.picture, artWidth, artHeight, d.ringRows, width, height);
    }
    uint8_t *stream = ControlBytes(&d);
    PlanTasks(&d, stream, false);
    r.progress = new (std::nothrow) PairProgress[pairs];
    AppAssert(r.progress != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d",
              art->path, width, height);
    for (int i = 0; i < pairs; i++)
        r.progress[i].value.store(0);
    RunPipe(&d, &team);
    free(stream);
    for (int member = 0; member < 2; member++)
        EndArtScaler(&r.scaler[member]);
    delete[] r.progress;
    free(rows);
    free(d.picture);
}

// RenderArt's sink: the rows into one buffer, ScaledRowBytes apart.
struct RenderedRows {
    uint8_t *buffer;
    size_t stride;
};

static void KeepRow(void *context, int y, const uint8_t *pixels, int)
{
    RenderedRows *r = (RenderedRows *)context;
    uint8_t *row = r->buffer + (size_t)y * r->stride;
    memcpy(row, pixels, r->stride);
}

uint8_t *RenderArt(const ArtFile *art, int width, int height, int depth, int kernel)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    if (width == artWidth && height == artHeight)
        return DecodeArt(art);
    // As large as the scaling in place once needed: callers may use the room.
    RenderedRows r = {nullptr, (size_t)ScaledRowBytes(width)};
    size_t bytes = r.stride * (size_t)std::max(artHeight, height) + 4;
    r.buffer = (uint8_t *)calloc(bytes, 1);
    AppAssert(r.buffer != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d",
              art->path, width, height);
    RenderArtRows(art, width, height, depth, kernel, KeepRow, &r);
    return r.buffer;
}
