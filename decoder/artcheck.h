// The art decoder's checks of an art file's header, and its fatal report.
#pragma once

#include "decoder/art.h"

#include <stddef.h>

constexpr int kMaxArtSide = 8192;    // widest and tallest picture decoded, in pixels
constexpr size_t kArtSlack = 1000;   // bytes allocated past fields 23 and 24

// The layout of an art file whose header has passed CheckArtHeader.
struct ArtGeometry {
    int pieces;          // 1 or 4
    int perSide;         // pieces per side, U: 1 or 2
    int width, height;   // the picture, in pixels
    int pieceSide;       // m = width / U
    int chromaSide;      // c: m, or m / 2 when subsampled
    int baseSide;        // side of the coarsest band
    int subsampled;      // 0 or 1
    size_t planeBytes;   // one piece's Y, U and V planes: (m^2 + 2 c^2) x 4
    size_t streamBytes;  // room for the decoded stream: field 23 + kArtSlack
    size_t imageBytes;   // the picture's buffer: field 24 + kArtSlack
};

// Checks the header's fields against each other and the data's length;
// fatal (through ArtFault) when they contradict each other.
ArtGeometry CheckArtHeader(const ArtFile *art);

// Ends the program through AppAssert: "Art file <path> cannot be decoded: "
// and the formatted reason; line is the reporting source line.
[[noreturn]] void ArtFault(const char *path, int line, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A block from LargeBlockAllocate (laid out for large pages where the system
// gives them), released with free(). Not enough memory ends the program
// through AppAssert: "Not enough memory to decode art file <path> (N bytes)".
void *ArtAllocate(const char *path, size_t bytes);
