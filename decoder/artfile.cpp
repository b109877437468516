#include "decoder/artcheck.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "decoder/wavelet.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "art files hold little-endian integers");

// The source name the art decoder's reports carry.
static const char kDecoderSource[] = "D42SAVE";

void ArtFault(const char *path, int line, const char *format, ...)
{
    char reason[512];
    va_list args;
    va_start(args, format);
    vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    AppAssert(0, kDecoderSource, line, "Art file %s cannot be decoded: %s", path, reason);
    abort();  // not reached: a failed AppAssert ends the process
}

void *ArtAllocate(const char *path, size_t bytes)
{
    void *p = LargeBlockAllocate(bytes);
    AppAssert(p != nullptr, kDecoderSource, __LINE__, "Not enough memory to decode art file %s (%lu bytes)", path,
              (unsigned long)bytes);
    return p;
}

static ArtFile *NewArtFile(const char *path, size_t length)
{
    if (length < (size_t)kArtHeaderSize)
        ArtFault(path, __LINE__, "it is %lu bytes long, shorter than its %d-byte header", (unsigned long)length,
                 kArtHeaderSize);
    ArtFile *art = (ArtFile *)ArtAllocate(path, sizeof(ArtFile));
    memset(art, 0, sizeof *art);
    if (!CopyText(art->path, sizeof art->path, path))
        (void)CopyText(art->path, sizeof art->path, "(a path too long to show)");
    // The whole file's length: the data and kArtHeaderSize spare bytes, which
    // the bit reader's word loads may touch just past the data's end.
    art->dataSize = length - kArtHeaderSize;
    art->data = (uint8_t *)ArtAllocate(path, length);
    memset(art->data + art->dataSize, 0, kArtHeaderSize);
    return art;
}

// The header as read: little-endian fields, then for a 4-piece file the width
// and height doubled to the whole picture's.
static void TakeHeader(ArtFile *art, const uint8_t *bytes)
{
    for (int n = 0; n < kArtHeaderFields; n++) {
        const uint8_t *p = bytes + 4 * n;
        art->header[n] = (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
    }
    if (art->header[kArtPieces] == 4) {
        for (int n : {kArtWidth, kArtHeight}) {
            int32_t half = art->header[n];
            if (half < -(1 << 30) || half >= 1 << 30)
                ArtFault(art->path, __LINE__, "its header's %s %ld is out of range", n == kArtWidth ? "width" : "height",
                         (long)half);
            art->header[n] = half * 2;
        }
    }
}

ArtFile *OpenArt(const char *path)
{
    PlatFile *f = FileOpen(path, "rb");
    AppAssert(f != nullptr, kDecoderSource, kSiteOpenArt, "File %s could not be opened: EXITING\r\n", path);
    long length = FileLength(f);
    if (length < 0) {
        FileClose(f);
        ArtFault(path, __LINE__, "its length cannot be taken");
    }
    ArtFile *art = NewArtFile(path, (size_t)length);
    uint8_t header[kArtHeaderSize];
    bool whole = FileRead(header, sizeof header, f) == sizeof header &&
                 FileRead(art->data, art->dataSize, f) == art->dataSize;
    FileClose(f);
    if (!whole)
        ArtFault(path, __LINE__, "it could not be read to its end");
    TakeHeader(art, header);
    return art;
}

ArtFile *OpenArtBytes(const char *name, const uint8_t *bytes, size_t length)
{
    ArtFile *art = NewArtFile(name, length);
    memcpy(art->data, bytes + kArtHeaderSize, art->dataSize);
    TakeHeader(art, bytes);
    return art;
}

void CloseArt(ArtFile *art)
{
    if (!art)
        return;
    free(art->data);
    free(art);
}

ArtGeometry CheckArtHeader(const ArtFile *art)
{
    const int32_t *h = art->header;
    const char *path = art->path;
    ArtGeometry g = {};
    g.pieces = h[kArtPieces];
    if (g.pieces != 1 && g.pieces != 4 && g.pieces != 16)
        AppAssert(0, kDecoderSource, kSiteArtPieces, "wavelet pieces has illegal value: %d", g.pieces);
    // The header holds offsets for four pieces only, and half-resolution
    // chroma would not fit the subsampled addressing at a quarter of the side.
    if (g.pieces == 16)
        ArtFault(path, __LINE__, "it has 16 pieces; only 1 or 4 can be decoded");
    g.perSide = g.pieces == 4 ? 2 : 1;

    g.width = h[kArtWidth];
    g.height = h[kArtHeight];
    if (g.width < 1 || g.height < 1 || g.width > kMaxArtSide || g.height > kMaxArtSide)
        ArtFault(path, __LINE__, "its size %d x %d is outside 1 x 1 to %d x %d pixels", g.width, g.height,
                 kMaxArtSide, kMaxArtSide);
    g.baseSide = h[kArtBaseSide];
    if (g.baseSide < 1)
        ArtFault(path, __LINE__, "its base side %d is not positive", g.baseSide);
    g.pieceSide = g.width / g.perSide;
    if (!IsLevelSide(g.pieceSide, g.baseSide))
        ArtFault(path, __LINE__, "its piece side %d is not the base side %d times a power of two", g.pieceSide,
                 g.baseSide);
    if (g.perSide == 1 && g.height > g.pieceSide)
        ArtFault(path, __LINE__, "its height %d is more than its width %d", g.height, g.width);
    if (g.perSide == 2 && (g.height < g.pieceSide || g.height > 2 * g.pieceSide))
        ArtFault(path, __LINE__, "its height %d does not fit two rows of pieces of side %d", g.height,
                 g.pieceSide);
    g.subsampled = h[kArtSubsampled] != 0;
    g.chromaSide = g.subsampled ? g.pieceSide / 2 : g.pieceSide;
    if (!IsLevelSide(g.chromaSide, g.baseSide))
        ArtFault(path, __LINE__, "its chroma side %d is not the base side %d times a power of two", g.chromaSide,
                 g.baseSide);

    long long pixels = (long long)g.width * g.height * 3;
    long long imageSize = h[kArtImageSize];
    if (imageSize < pixels - (long long)kArtSlack || imageSize > pixels + (long long)kArtSlack)
        ArtFault(path, __LINE__, "its picture size (field 24) %lld does not match %d x %d pixels", imageSize,
                 g.width, g.height);
    if (art->dataSize == 0)
        ArtFault(path, __LINE__, "it has no compressed data");
    // Every decoded byte takes at least one bit of the data.
    long long streamSize = h[kArtStreamSize];
    if (streamSize < 0)
        ArtFault(path, __LINE__, "its stream size (field 23) %lld is negative", streamSize);
    if (streamSize > 8 * (long long)art->dataSize + 64)
        ArtFault(path, __LINE__, "its stream size (field 23) %lld is more than its %lu bytes of data can hold",
                 streamSize, (unsigned long)art->dataSize);

    long long m = g.pieceSide, c = g.chromaSide;
    g.planeBytes = (size_t)((m * m + 2 * c * c) * 4);
    g.streamBytes = (size_t)streamSize + kArtSlack;
    g.imageBytes = (size_t)imageSize + kArtSlack;
    return g;
}
