// The art encoder: a picture of blue, green, red pixels into an art file that
// the decoder (decoder/art.h) turns back into nearly the same picture. Every
// step is the inverse of a decoder step: colour conversion with the level
// stretch, the forward four-tap Daubechies analysis, the band layout, the
// quantisation, the run-length control bytes and the Huffman code.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct ArtEncodeOptions {
    int pieces = 0;          // 1, or 4 (2 x 2 square pieces of half the width); 0 chooses
    int subsample = -1;      // 1: U and V planes at half resolution, 0: at full; -1 chooses
    int baseSide = 0;        // side of the coarsest band; 0 chooses one
    int quality = 75;        // 1 (smallest) ... 100 (finest), when no target is given
    size_t targetBytes = 0;  // when set, the best file no larger than this
    double targetPsnr = 0;   // when set (and no size is), the smallest file at least this close (dB)
    bool best = false;       // weigh every layout against the others (slower)
    // Called now and then with the share of the work done (0 ... 1).
    void (*progress)(void *context, double done) = nullptr;
    void *progressContext = nullptr;
};

struct ArtEncodeReport {
    int pieces = 0, pieceSide = 0, baseSide = 0, levels = 0;
    bool subsampled = false;
    int quality = 0;          // the quality asked for, or 0 with a target
    double lambda = 0;        // the weight of a bit against the squared error
    size_t controlBytes = 0;  // run-length control bytes before the Huffman code
    size_t fileBytes = 0;
    int passes = 0;           // quantisation passes made
};

// Encodes width x height pixels (rows width * 3 bytes apart) into *art. False,
// with the reason in *error, when the options or the picture's size do not fit
// the format: a 1-piece picture must be no taller than wide, a 4-piece one
// must have even sides and a height between half and all of its width, and
// the piece side (the width, or half of it) must be the base side times a
// power of two (twice that at least when subsampled); or when no file of the
// layout is as small as targetBytes.
bool EncodeArt(const uint8_t *bgr, int width, int height, const ArtEncodeOptions &options,
               std::vector<uint8_t> *art, std::string *error, ArtEncodeReport *report = nullptr);

// The base side chosen for a piece side when none is given: the piece side
// halved while it stays even and at least 8 (at least once more when
// subsampled, for the chroma planes); 0 when none fits.
int ChooseBaseSide(int pieceSide, bool subsample);

// For a process that encodes (a tool, a benchmark): the encoder's buffers of
// tens of megabytes, which come and go from pass to pass, are kept by the
// allocator when freed, so that each later one takes pages already faulted
// in rather than fresh ones from the system. Does nothing where the C
// library has no such setting.
void KeepEncoderMemory();

// Peak signal-to-noise ratio of b against a over n bytes, in dB (99 when equal).
double PicturePsnrDb(const uint8_t *a, const uint8_t *b, size_t n);
