// The bodies of the decoding's tasks (their kinds and order: decodeplan.h):
// a plane's low band expanded and synthesized, a chain's rows turned into
// pixels, a pair of rows scaled and reduced, a band of rows handed on. Each
// runs on either thread of the team and touches only what its waits make
// its own.
#include "decoder/decodetasks.h"

#include "decoder/colour.h"
#include "palette/palette.h"

#include <algorithm>

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
    p->lowBytes = LowBandValues(side, baseSide) * 4;
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

void PlacePlanes(ArtPipe *d, const uint8_t *stream, bool halves)
{
    const ArtGeometry &g = d->g;
    RunCursor cursor = {stream, 0};
    for (int i = 0; i < g.pieces; i++) {
        // The pair each plane's second chain starts from (0: one chain).
        int split = ChainSplit(g, i, halves);
        int from[3] = {split / 2, (g.subsampled ? split / 2 : split) / 2, 0};
        from[2] = from[1];
        for (int k = 0; k < 3; k++)
            if (!PlacePlane(&d->planes[i][k], k == 0 ? g.pieceSide : g.chromaSide, g.baseSide, from[k], &cursor,
                            d->end))
                ArtFault(d->art->path, __LINE__, "its data ends in piece %d of %d", i + 1, g.pieces);
    }
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

// Bytes from ... to - 1 of a plane's low band, expanded from their runs: all
// of them, or either half.
static void ExpandRuns(ArtPipe *d, const PipeTask &t)
{
    PlacedPlane &p = d->planes[t.piece][t.plane];
    RunCursor c = t.bytesFrom == 0 ? p.low : p.middle;
    TakeRuns(&c, d->end, (uint8_t *)p.memory + t.bytesFrom, (size_t)(t.bytesTo - t.bytesFrom), false);
}

static void PrepareLowBand(ArtPipe *d, const PipeTask &t, int member)
{
    const ArtGeometry &g = d->g;
    int rows = PieceRows(g, t.piece), chromaRows = g.subsampled ? (rows + 1) / 2 : rows;
    PlacedPlane &p = d->planes[t.piece][t.plane];
    int a = p.side, base = g.baseSide;
    if (t.bytesFrom < t.bytesTo)
        ExpandRuns(d, t);
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

static void DecodeChunk(ArtPipe *d, const PipeTask &t)
{
    const ArtGeometry &g = d->g;
    const ChainRows &rows = d->plan.chains[t.chain];
    ChainState &chain = d->chains[t.chain];
    int i = rows.piece, m = g.pieceSide;
    const int32_t *h = d->art->header;
    if (t.rowsFrom == rows.first) {
        // The pair each plane starts from: a subsampled chroma row serves two rows.
        int chromaFirst = g.subsampled ? rows.first / 2 : rows.first;
        int pair[3] = {rows.first / 2, chromaFirst / 2, chromaFirst / 2};
        StartPieceRows(&chain.at, d->planes[i], pair, g.baseSide, d->end, chain.work);
        chain.chromaRow = -1;
    }
    int top = (i / g.perSide) * m;  // the picture row of the piece's row 0
    for (int r = t.rowsFrom; r < t.rowsTo; r++) {
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
static void RenderPair(ArtPipe *d, const PipeTask &t, int member)
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

void PipeTaskRun(Team *team, int number, int member)
{
    ArtPipe *d = (ArtPipe *)team->context;
    const PipeTask &t = d->plan.tasks[number];
    for (int w = 0; w < t.waitCount; w++)
        TeamWaitFor(team, t.waits[w]);
    switch (t.kind) {
    case kPrepare: PrepareLowBand(d, t, member); break;
    case kRuns: ExpandRuns(d, t); break;
    case kChunk: DecodeChunk(d, t); break;
    case kPair: RenderPair(d, t, member); break;
    case kBand:
        for (int y = t.number * kChunkRows; y < d->g.height && y < (t.number + 1) * kChunkRows; y++)
            d->sink(d->context, y, d->picture + (size_t)y * d->rowBytes, member);
        break;
    }
}
