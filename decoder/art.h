// Art files: wavelet-compressed wallpaper art, decoded into a picture and
// rendered at the screen's size.
//
// File format. A 108-byte header of 27 signed 32-bit little-endian integers
// (field n at byte 4 n), then the compressed data to the end of the file:
//   0      chroma subsampling flag: non-zero when U and V have half resolution
//   1-6    not read
//   7, 8   width and height in pixels (a 4-piece file stores half of each)
//   9      BaseSide: the side of the coarsest band of every plane
//   10     pieces: 1 or 4 (16 is a legal count that this decoder refuses)
//   11-14  Y offset of pieces 0-3;  15-18 U offsets;  19-22 V offsets
//   23     bytes of the Huffman-decoded stream of control bytes
//   24     bytes of the decoded picture (width x height x 3)
//   25-26  not read
// The picture is cut into U x U square pieces (U = 1 or 2) of side
// m = width / U, numbered row by row; each is stored as a Y plane of side m and
// U and V planes of side m (m / 2 when subsampled), each side BaseSide times a
// power of two. A 1-piece picture may be less tall than wide; the bottom
// pieces of a 4-piece picture may be cut, the picture's height lying between
// m and 2 m. The data is a Huffman code (huffman.h) of a run-length stream
// (runs.h) of the planes, piece after piece, in the band layout of wavelet.h.
//
// A damaged file ends the program through AppAssert with a message that names
// the file and what is wrong with it; nothing is ever read or written outside
// a buffer, whatever the file holds. Pictures are rows of blue, green, red
// pixels, row 0 at the top.
#pragma once

#include "base/processvalues.h"  // kPathSize

#include <stddef.h>
#include <stdint.h>

constexpr int kArtHeaderFields = 27;
constexpr int kArtHeaderSize = 4 * kArtHeaderFields;

// The header fields the decoder reads.
enum ArtField {
    kArtSubsampled = 0,
    kArtWidth = 7,
    kArtHeight = 8,
    kArtBaseSide = 9,
    kArtPieces = 10,
    kArtYOffset = 11,
    kArtUOffset = 15,
    kArtVOffset = 19,
    kArtStreamSize = 23,
    kArtImageSize = 24,
};

// An opened art file, owned by whoever opened it, from OpenArt to CloseArt.
struct ArtFile {
    int32_t header[kArtHeaderFields];  // fields 7 and 8 already doubled for a 4-piece file
    char path[kPathSize];
    uint8_t *data;                     // the bytes after the header, then kArtHeaderSize spare zero bytes
    size_t dataSize;                   // file length - kArtHeaderSize
};

// Reads the whole file (through the platform's file functions) into a new
// handle. A file that cannot be opened or read, or is shorter than its header,
// is fatal.
ArtFile *OpenArt(const char *path);
// The same for art already in memory (length bytes); name stands in for the
// path in messages.
ArtFile *OpenArtBytes(const char *name, const uint8_t *bytes, size_t length);
void CloseArt(ArtFile *art);

// The picture's size after the doubling of a 4-piece file.
inline int ArtWidth(const ArtFile *art) { return art->header[kArtWidth]; }
inline int ArtHeight(const ArtFile *art) { return art->header[kArtHeight]; }

// Decodes the whole art into a new picture of header field 24 + 1000 bytes,
// rows of width x 3 bytes with nothing between them. The caller releases it
// with free(). The header is checked against itself and the file first.
uint8_t *DecodeArt(const ArtFile *art);

// The picture at width x height, released by the caller with free(). When the
// size is the art's own, it is DecodeArt's picture unchanged. Otherwise it is
// scaled bilinearly (scale.h), rows of width x 3 bytes rounded up to a multiple
// of 4, the last row black, and its other rows are reduced for a screen of
// depth bits a pixel: 8 to the loaded palette, 16 to five bits a channel (both
// with the diffusion kernel, diffuse.h), any other depth stays 24-bit.
uint8_t *RenderArt(const ArtFile *art, int width, int height, int depth, int kernel);

// The same rows handed over one at a time, without the whole result in
// memory: sink(context, y, pixels, member) gets row y, width x 3 bytes (a
// scaled row followed by its fill bytes), valid during the call only. Two
// threads (base/team.h) hand rows over at once, each row once, in no set
// order; member, 0 or 1, tells which thread calls, for state of its own.
typedef void (*ArtRowSink)(void *context, int y, const uint8_t *pixels, int member);
void RenderArtRows(const ArtFile *art, int width, int height, int depth, int kernel, ArtRowSink sink,
                   void *context);
