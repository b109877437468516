// The decode driver: the whole art into one picture, piece by piece, and the
// picture at the screen's size and depth.
#include "decoder/art.h"

#include "base/apperror.h"
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

// Set by the first decode, on the wallpaper job's thread.
static bool LevelTableBuilt;

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
struct PlacedPlane {
    int side;             // a
    RunCursor low;        // the plane's first byte
    RunCursor first[3];   // detail blocks 1-3, row 0
    RunCursor last[3];    // detail blocks 1-3, their last row
    int32_t *memory;      // the low band, (a / 2)^2 values; a^2 for a plane with no last level
    TopLevelRows top;
};

// Moves the cursor bytes on; false when the stream ends first.
static bool Pass(RunCursor *c, const uint8_t *end, size_t bytes)
{
    return TakeRuns(c, end, nullptr, bytes, true) == bytes;
}

static bool PlacePlane(PlacedPlane *p, int side, int baseSide, RunCursor *c, const uint8_t *end)
{
    p->side = side;
    p->low = *c;
    if (side == baseSide)
        return Pass(c, end, (size_t)side * side * 4);
    size_t b = (size_t)side / 2, block = b * b * 4, row = b * 4;
    if (!Pass(c, end, block))
        return false;
    for (int k = 0; k < 3; k++) {
        p->first[k] = *c;
        if (!Pass(c, end, block - row))
            return false;
        p->last[k] = *c;
        if (!Pass(c, end, row))
            return false;
    }
    return true;
}

// The plane's low band out of the control bytes, synthesized for the rows
// wanted of the whole plane, and its last level started.
static void PreparePlane(PlacedPlane *p, int baseSide, int rows, const uint8_t *end, int32_t *work)
{
    int a = p->side;
    size_t values = a == baseSide ? (size_t)a * a : (size_t)(a / 2) * (a / 2);
    memset(p->memory, 0, values * sizeof(int32_t));
    RunCursor c = p->low;
    TakeRuns(&c, end, (uint8_t *)p->memory, values * sizeof(int32_t), true);
    if (a == baseSide)
        return;
    int b = a / 2;
    InverseTransformPlane(p->memory, b, baseSide, (rows + 1) / 2, 1);
    StartTopLevel(&p->top, p->memory, b, p->first, p->last, end, work);
}

static const int32_t *PlaneRow(PlacedPlane *p, int baseSide, int r)
{
    if (p->side == baseSide)
        return p->memory + (size_t)r * p->side;
    return TopLevelRow(&p->top, r);
}

uint8_t *DecodeArt(const ArtFile *art)
{
    if (!LevelTableBuilt) {
        BuildLevelTable();
        LevelTableBuilt = true;
    }
    const ArtGeometry g = CheckArtHeader(art);
    const int32_t *h = art->header;
    uint8_t *picture = (uint8_t *)ArtAllocate(art->path, g.imageBytes);

    uint8_t *stream = (uint8_t *)ArtAllocate(art->path, g.streamBytes);
    HuffmanResult decoded = DecodeHuffman(stream, g.streamBytes, art->data, art->dataSize);
    CheckHuffman(art, decoded);
    const uint8_t *end = stream + decoded.written;

    // Every piece's planes found in the control bytes first, so that a
    // stream that ends too soon is known before any piece is decoded.
    const int m = g.pieceSide, c = g.chromaSide, base = g.baseSide;
    PlacedPlane planes[4][3];
    RunCursor cursor = {stream, 0};
    for (int i = 0; i < g.pieces; i++)
        for (int k = 0; k < 3; k++)
            if (!PlacePlane(&planes[i][k], k == 0 ? m : c, base, &cursor, end))
                ArtFault(art->path, __LINE__, "its data ends in piece %d of %d", i + 1, g.pieces);

    // Room for one piece at a time: each plane's low band, the work rows of
    // its last level, the chroma terms and the level indices of a row.
    auto lowValues = [&](int a) { return a == base ? (size_t)a * a : (size_t)(a / 2) * (a / 2); };
    auto topValues = [&](int a) { return a == base ? 0 : TopLevelValues(a / 2); };
    size_t values = lowValues(m) + 2 * lowValues(c) + topValues(m) + 2 * topValues(c) + 2 * (size_t)m;
    size_t bytes = values * sizeof(int32_t) + 3 * (size_t)m * sizeof(uint16_t);
    int32_t *room = (int32_t *)ArtAllocate(art->path, bytes);
    int32_t *blueTerm = room + (values - 2 * (size_t)m), *redTerm = blueTerm + m;
    uint16_t *levels = (uint16_t *)(room + values);

    size_t rowBytes = (size_t)g.width * 3;
    for (int i = 0; i < g.pieces; i++) {
        // Only the rows the picture shows are synthesized and converted.
        int rows = PieceRows(g, i), chromaRows = g.subsampled ? (rows + 1) / 2 : rows;
        int32_t *next = room;
        for (int k = 0; k < 3; k++) {
            PlacedPlane &p = planes[i][k];
            p.memory = next;
            next += lowValues(p.side);
            PreparePlane(&p, base, k == 0 ? rows : chromaRows, end, next);
            next += topValues(p.side);
        }
        uint8_t *at = picture + (size_t)(i / g.perSide) * m * rowBytes + (size_t)(i % g.perSide) * m * 3;
        int chromaRow = -1;
        for (int r = 0; r < rows; r++) {
            // A subsampled chroma row serves two picture rows.
            if ((g.subsampled ? r / 2 : r) != chromaRow) {
                chromaRow = g.subsampled ? r / 2 : r;
                ChromaTerms(PlaneRow(&planes[i][1], base, chromaRow), h[kArtUOffset + i],
                            PlaneRow(&planes[i][2], base, chromaRow), h[kArtVOffset + i], m, g.subsampled, blueTerm,
                            redTerm);
            }
            ConvertRow(PlaneRow(&planes[i][0], base, r), h[kArtYOffset + i], blueTerm, redTerm, m, levels,
                       at + (size_t)r * rowBytes);
        }
    }

    // The vertical seam of a 4-piece picture: its middle column becomes the
    // mean of its neighbours. (A 2-pixel-wide picture has no right neighbour.)
    if (g.pieces == 4 && g.width > 2) {
        for (int y = 0; y < g.height; y++) {
            uint8_t *p = picture + ((size_t)y * g.width + m) * 3;
            for (int ch = 0; ch < 3; ch++)
                p[ch] = (uint8_t)((p[ch - 3] + p[ch + 3]) >> 1);
        }
    }
    free(stream);
    free(room);
    return picture;
}

// Rows scaled, reduced and handed on together: few enough to stay in the
// processor's cache, an even number for the row reduction's pairs.
constexpr int kRenderRows = 16;

void RenderArtRows(const ArtFile *art, int width, int height, int depth, int kernel, ArtRowSink sink, void *context)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
    uint8_t *picture = DecodeArt(art);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    if (width == artWidth && height == artHeight) {
        for (int y = 0; y < height; y++)
            sink(context, y, picture + (size_t)y * width * 3);
        free(picture);
        return;
    }
    size_t stride = (size_t)ScaledRowBytes(width);
    int fill = (int)(stride - (size_t)width * 3);
    uint8_t *rows = (uint8_t *)calloc(stride * kRenderRows, 1);
    AppAssert(rows != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", art->path,
              width, height);
    ArtScaler scaler;
    StartArtScaler(&scaler, art->path, picture, artWidth, artHeight, width, height);
    if (depth == 8 || depth == 16)
        StartDiffusion(kernel, width);
    for (int first = 0; first < height; first += kRenderRows) {
        int count = std::min(kRenderRows, height - first);
        for (int i = 0; i < count; i++)
            ScaleArtRow(&scaler, first + i, rows + i * stride);
        // Every row but the black last one is reduced.
        int reduced = first + count == height ? count - 1 : count;
        if (depth == 16)
            DiffuseMoreRows16(rows, reduced, fill);
        else if (depth == 8)
            DiffuseMoreRows8(rows, reduced, fill);
        for (int i = 0; i < count; i++)
            sink(context, first + i, rows + i * stride);
    }
    EndArtScaler(&scaler);
    free(rows);
    free(picture);
}

// RenderArt's sink: the rows into one buffer, ScaledRowBytes apart.
struct RenderedRows {
    uint8_t *buffer;
    size_t stride;
};

static void KeepRow(void *context, int y, const uint8_t *pixels)
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
