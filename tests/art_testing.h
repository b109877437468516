// Pictures and art files made for the decoder's tests.
#pragma once

#include "decoder/art.h"
#include "tools/art/artencode.h"

#include <stdint.h>

#include <string>
#include <vector>

enum PictureKind {
    kGradient,  // smooth ramps in all three channels
    kDiscs,     // soft-edged coloured discs on a dark ground
    kWaves,     // sums of sines, a little like clouds
    kChecker,   // hard-edged squares and a thin line: the hardest for a wavelet
    kNoise,     // a fixed pseudo-random texture over a ramp
};

// width x height blue, green, red pixels, rows width * 3 bytes apart.
std::vector<uint8_t> MakePicture(PictureKind kind, int width, int height);

// The art file of a picture; an empty vector (and a test failure) when the
// encoder refuses it.
std::vector<uint8_t> EncodeForTest(const std::vector<uint8_t> &bgr, int width, int height,
                                   const ArtEncodeOptions &options);

// An art file put together field by field: the header (fields 7 and 8 as
// stored, halves for a 4-piece file) and the compressed data.
struct ArtBytes {
    int32_t header[kArtHeaderFields] = {};
    std::vector<uint8_t> data;
    std::string Bytes() const;
};

// Fields of the given bit counts, lowest bit first, as the bit reader takes them.
std::vector<uint8_t> PackBits(const std::vector<std::pair<unsigned, int>> &fields);

// Compressed data that decodes to exactly these control bytes: a code tree in
// which every byte has an 8-bit code, and zero padding that decodes to the
// control byte 0xA0, which writes nothing.
std::vector<uint8_t> PackControlsPlainly(const std::vector<uint8_t> &controls);

// Compressed data whose stream expands into exactly these plane bytes (the
// encoder's run-length coder, then PackControlsPlainly); *streamSize gets the
// stream's length.
std::vector<uint8_t> PackPlanes(const std::vector<int32_t> &values, int32_t *streamSize);

// A kept art file of tests/golden/, whole, made once by the encoder (the
// pictures they hold: RenderArtGolden); empty when it cannot be read.
std::string ReadGoldenFile(const char *name);

// An opened art handle of bytes, decoded; the picture's bytes (width x height
// x 3) or empty.
std::vector<uint8_t> DecodeBytes(const std::string &art, int *width = nullptr, int *height = nullptr);

