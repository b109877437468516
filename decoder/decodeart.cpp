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

    // Each piece's planes go into a fresh zeroed buffer (the memory system
    // gives zero pages without writing them), so that zero runs, most of the
    // stream, need not be written; the carry moves from one buffer to the next.
    int m = g.pieceSide, c = g.chromaSide;
    const uint8_t *cursor = stream, *end = stream + decoded.written;
    size_t carry = 0, rowBytes = (size_t)g.width * 3;
    uint8_t *planes = nullptr;
    for (int i = 0; i < g.pieces; i++) {
        uint8_t *fresh = (uint8_t *)calloc(g.planeBytes + kCarryArea, 1);
        AppAssert(fresh != nullptr, "D42SAVE", __LINE__, "Not enough memory to decode art file %s (%lu bytes)",
                  art->path, (unsigned long)(g.planeBytes + kCarryArea));
        if (planes)
            memcpy(fresh + g.planeBytes, planes + g.planeBytes, carry);
        free(planes);
        planes = fresh;
        if (!FillPiecePlanes(planes, g.planeBytes, &carry, &cursor, end, true))
            ArtFault(art->path, __LINE__, "its data ends in piece %d of %d", i + 1, g.pieces);
        int32_t *yPlane = (int32_t *)planes;
        int32_t *uPlane = yPlane + (size_t)m * m;
        int32_t *vPlane = uPlane + (size_t)c * c;
        // Only the rows the picture shows are synthesized and converted.
        int rows = PieceRows(g, i), chromaRows = g.subsampled ? (rows + 1) / 2 : rows;
        InverseTransformPlane(yPlane, m, g.baseSide, rows);
        InverseTransformPlane(uPlane, c, g.baseSide, chromaRows);
        InverseTransformPlane(vPlane, c, g.baseSide, chromaRows);
        uint8_t *at = picture + (size_t)(i / g.perSide) * m * rowBytes + (size_t)(i % g.perSide) * m * 3;
        ConvertPiece(yPlane, h[kArtYOffset + i], m, uPlane, h[kArtUOffset + i], vPlane, h[kArtVOffset + i], c,
                     g.subsampled, rows, at, rowBytes);
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
    free(planes);
    return picture;
}

uint8_t *RenderArt(const ArtFile *art, int width, int height, int depth, int kernel)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
    uint8_t *picture = DecodeArt(art);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    if (width == artWidth && height == artHeight)
        return picture;
    uint8_t *result = ScaleArtImage(art->path, picture, artWidth, artHeight, width, height);
    free(picture);
    int fill = ScaledRowBytes(width) - width * 3;
    if (depth == 16)
        DiffuseRows16(kernel, result, height - 1, width, fill);
    else if (depth == 8)
        DiffuseRows8(kernel, result, height - 1, width, fill);
    return result;
}
