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
    if (side == baseSide)
        return Pass(c, end, (size_t)side * side * 4);
    int b = side / 2;
    int wanted[kMarks] = {0, from - 1, from, b - 1};
    for (int w : wanted)
        if (w >= 0 && (p->markCount == 0 || w > p->marks[p->markCount - 1]))
            p->marks[p->markCount++] = w;
    size_t row = (size_t)b * 4;
    if (!Pass(c, end, row * b))
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

// Tasks of a piece: its three planes' low bands, then the two halves of its rows.
constexpr int kPieceTasks = 5;

// Everything the decoding tasks share, and each member's own room.
struct ArtDecode {
    const ArtFile *art;
    ArtGeometry g;
    const uint8_t *end;
    uint8_t *picture;
    PlacedPlane planes[4][3];
    int split[4];            // each piece's first row of its second half; 0 when it has one half
    int32_t *scratch[2];     // a member's scratch for the low bands: two areas of (m / 2)^2 / 2 values
    int32_t *work[2];        // a member's rows: the last levels', chroma terms, level indices
};

static int LowValues(int a, int baseSide) { return a == baseSide ? a * a : (a / 2) * (a / 2); }

static void DecodeTask(Team *team, int number, int member)
{
    ArtDecode *d = (ArtDecode *)team->context;
    const ArtGeometry &g = d->g;
    int i = number / kPieceTasks, task = number % kPieceTasks;
    int rows = PieceRows(g, i), chromaRows = g.subsampled ? (rows + 1) / 2 : rows;
    if (task < 3) {
        // The low band of plane `task`, synthesized for the rows wanted: all
        // of the last level's pairs, and row b - 1 for the first pair. The
        // piece before must be done with the low bands' memory.
        for (int half = 1; i > 0 && half <= 2; half++)
            TeamWaitFor(team, number - task - half);
        PlacedPlane &p = d->planes[i][task];
        int a = p.side, base = g.baseSide;
        size_t values = (size_t)LowValues(a, base);
        memset(p.memory, 0, values * sizeof(int32_t));
        RunCursor c = p.low;
        TakeRuns(&c, d->end, (uint8_t *)p.memory, values * sizeof(int32_t), true);
        if (a > base) {
            int wanted = task == 0 ? rows : chromaRows;
            int32_t *scratch = d->scratch[member];
            size_t half = (size_t)(a / 2) * (a / 2) / 2;
            InverseTransformPlaneWith(p.memory, a / 2, base, (wanted + 1) / 2, 1, scratch, scratch + half);
        }
        return;
    }
    int first = task == 3 ? 0 : d->split[i], last = task == 3 && d->split[i] ? d->split[i] : rows;
    if (first >= last)
        return;
    for (int k = 0; k < 3; k++)
        TeamWaitFor(team, number - task + k);
    // The pair each plane starts from: a subsampled chroma row serves two rows.
    int pair[3] = {first / 2, (g.subsampled ? first / 2 : first) / 2, (g.subsampled ? first / 2 : first) / 2};
    const int m = g.pieceSide;
    const int32_t *h = d->art->header;
    PieceRowsAt at;
    int32_t *work = d->work[member];
    StartPieceRows(&at, d->planes[i], pair, g.baseSide, d->end, work);
    int32_t *blueTerm = work + TopLevelValues(m / 2) + 2 * TopLevelValues(g.chromaSide / 2);
    int32_t *redTerm = blueTerm + m;
    uint32_t *levels = (uint32_t *)(redTerm + m);
    size_t rowBytes = (size_t)g.width * 3;
    uint8_t *out = d->picture + (size_t)(i / g.perSide) * m * rowBytes + (size_t)(i % g.perSide) * m * 3;
    int chromaRow = -1;
    for (int r = first; r < last; r++) {
        if ((g.subsampled ? r / 2 : r) != chromaRow) {
            chromaRow = g.subsampled ? r / 2 : r;
            ChromaTerms(PlaneRow(&at, 1, chromaRow), h[kArtUOffset + i], PlaneRow(&at, 2, chromaRow),
                        h[kArtVOffset + i], m, g.subsampled, blueTerm, redTerm);
        }
        ConvertRow(PlaneRow(&at, 0, r), h[kArtYOffset + i], blueTerm, redTerm, m, levels, out + (size_t)r * rowBytes);
    }
}

uint8_t *DecodeArt(const ArtFile *art)
{
    ArtDecode d;
    d.art = art;
    d.g = CheckArtHeader(art);
    const ArtGeometry &g = d.g;
    d.picture = (uint8_t *)ArtAllocate(art->path, g.imageBytes);

    uint8_t *stream = (uint8_t *)ArtAllocate(art->path, g.streamBytes);
    HuffmanResult decoded = DecodeHuffman(stream, g.streamBytes, art->data, art->dataSize);
    CheckHuffman(art, decoded);
    d.end = stream + decoded.written;

    // Every piece's planes found in the control bytes first, so that a
    // stream that ends too soon is known before any piece is decoded. A
    // piece's rows are cut in two halves at a multiple of 4, so that the
    // halves start at whole pairs of rows of every plane.
    const int m = g.pieceSide, c = g.chromaSide, base = g.baseSide;
    RunCursor cursor = {stream, 0};
    for (int i = 0; i < g.pieces; i++) {
        int rows = PieceRows(g, i);
        d.split[i] = rows / 8 * 4;
        int from[3] = {d.split[i] / 2, (g.subsampled ? d.split[i] / 2 : d.split[i]) / 2, 0};
        from[2] = from[1];
        for (int k = 0; k < 3; k++)
            if (!PlacePlane(&d.planes[i][k], k == 0 ? m : c, base, from[k], &cursor, d.end))
                ArtFault(art->path, __LINE__, "its data ends in piece %d of %d", i + 1, g.pieces);
    }

    // One piece's low bands at a time, and for each of the two members a
    // scratch for them, the last levels' rows, the chroma terms and the
    // level indices of a row.
    size_t low = (size_t)LowValues(m, base) + 2 * (size_t)LowValues(c, base);
    size_t scratch = m > base ? (size_t)(m / 2) * (m / 2) : 0;
    size_t work = TopLevelValues(m / 2) + 2 * TopLevelValues(c / 2) + 3 * (size_t)m;
    int32_t *room = (int32_t *)ArtAllocate(art->path, (low + 2 * (scratch + work)) * sizeof(int32_t));
    for (int i = 0; i < g.pieces; i++) {
        d.planes[i][0].memory = room;
        d.planes[i][1].memory = room + LowValues(m, base);
        d.planes[i][2].memory = d.planes[i][1].memory + LowValues(c, base);
    }
    for (int member = 0; member < 2; member++) {
        d.scratch[member] = room + low + member * (scratch + work);
        d.work[member] = d.scratch[member] + scratch;
    }
    RunTeam(DecodeTask, &d, g.pieces * kPieceTasks);

    // The vertical seam of a 4-piece picture: its middle column becomes the
    // mean of its neighbours. (A 2-pixel-wide picture has no right neighbour.)
    if (g.pieces == 4 && g.width > 2) {
        for (int y = 0; y < g.height; y++) {
            uint8_t *p = d.picture + ((size_t)y * g.width + m) * 3;
            for (int ch = 0; ch < 3; ch++)
                p[ch] = (uint8_t)((p[ch - 3] + p[ch + 3]) >> 1);
        }
    }
    free(stream);
    free(room);
    return d.picture;
}

// What the rendering tasks share, and each member's own scaler and rows.
struct ArtRender {
    uint8_t *picture;
    int width, height, depth;
    bool scaled;
    size_t stride;           // bytes of a scaled row
    int fill;
    ArtScaler scaler[2];
    uint8_t *rows[2];        // two scaled rows
    std::atomic<int> *progress;  // by pair of rows: how far its reduction has got
    ArtRowSink sink;
    void *context;
};

// Rows of the art's own size handed on together.
constexpr int kBandRows = 32;

// A task: a band of rows of the art's own size, or a pair of scaled rows,
// reduced while the pair above is still being reduced on the other thread.
static void RenderTask(Team *team, int number, int member)
{
    ArtRender *r = (ArtRender *)team->context;
    if (!r->scaled) {
        for (int y = number * kBandRows; y < r->height && y < (number + 1) * kBandRows; y++)
            r->sink(r->context, y, r->picture + (size_t)y * r->width * 3, member);
        return;
    }
    int first = 2 * number, count = std::min(2, r->height - first);
    uint8_t *rows = r->rows[member];
    for (int i = 0; i < count; i++)
        ScaleArtRow(&r->scaler[member], first + i, rows + i * r->stride);
    // Every row but the black last one is reduced.
    int reduced = first + count == r->height ? count - 1 : count;
    if ((r->depth == 8 || r->depth == 16) && reduced > 0) {
        // The pair two above must be done with the error rows this pair's reuse.
        if (number >= 2)
            TeamWaitFor(team, number - 2);
        DiffusePair(r->depth == 8, rows, reduced, r->fill, first, number > 0 ? &r->progress[number - 1] : nullptr,
                    &r->progress[number]);
    } else {
        r->progress[number].store(kPairDone, std::memory_order_release);
    }
    for (int i = 0; i < count; i++)
        r->sink(r->context, first + i, rows + i * r->stride, member);
}

void RenderArtRows(const ArtFile *art, int width, int height, int depth, int kernel, ArtRowSink sink, void *context)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
    ArtRender r;
    r.picture = DecodeArt(art);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    r.width = width, r.height = height, r.depth = depth;
    r.scaled = width != artWidth || height != artHeight;
    r.sink = sink, r.context = context;
    if (!r.scaled) {
        RunTeam(RenderTask, &r, (height + kBandRows - 1) / kBandRows);
        free(r.picture);
        return;
    }
    r.stride = (size_t)ScaledRowBytes(width);
    r.fill = (int)(r.stride - (size_t)width * 3);
    int pairs = (height + 1) / 2;
    uint8_t *rows = (uint8_t *)calloc(r.stride * 4, 1);
    r.progress = new (std::nothrow) std::atomic<int>[pairs];
    AppAssert(rows != nullptr && r.progress != nullptr, "D42SAVE", __LINE__,
              "Not enough memory to scale art file %s to %d x %d", art->path, width, height);
    for (int member = 0; member < 2; member++) {
        r.rows[member] = rows + member * 2 * r.stride;
        StartArtScaler(&r.scaler[member], art->path, r.picture, artWidth, artHeight, width, height);
    }
    for (int i = 0; i < pairs; i++)
        r.progress[i].store(0);
    if (depth == 8 || depth == 16)
        StartDiffusion(kernel, width);
    RunTeam(RenderTask, &r, pairs);
    for (int member = 0; member < 2; member++)
        EndArtScaler(&r.scaler[member]);
    delete[] r.progress;
    free(rows);
    free(r.picture);
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
