// The stages of the art encoder, each the inverse of a decoder stage.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// ---- colour (encode_colour.cpp)

// One piece's planes before the transform, in quarter levels with no offset
// taken off: Y of side m, U and V of side c (m, or m / 2 when subsampled).
struct PiecePlanes {
    std::vector<double> y, u, v;
};

// The planes of the piece whose top-left pixel is (left, top) of a picture of
// width x height pixels (rows width * 3 bytes apart). Rows of the piece below
// the picture are filled with a blend from its last row back to its first, so
// that the periodic transform sees no edge there.
void PieceToPlanes(const uint8_t *bgr, int width, int height, int left, int top, int m, bool subsample,
                   PiecePlanes *planes);

// ---- wavelet (encode_wavelet.cpp)

// The forward periodic four-tap analysis of a plane of side a into the band
// layout that InverseTransformPlane reads (coarsest band b0 x b0 first, then
// three detail blocks per level).
void AnalyzePlane(std::vector<double> *plane, int a, int baseSide);

// True when the decoder's 32-bit synthesis of these coefficients never wraps:
// every sum before its shift fits in a signed 32-bit integer. Each level
// doubles the coarsest band's values, so deep transforms of high-contrast
// planes do not fit.
bool SynthesisFits(const std::vector<int32_t> &coeffs, int a, int baseSide);

// ---- stream (encode_stream.cpp)

// What writing control bytes costs, in bits, with the Huffman code fitted to a
// stream of them; the run-length coder parses runs to the cheapest with it.
struct RunCosts {
    double symbol[256];             // bits of each control byte's code
    std::vector<double> zero;       // zero[n]: fewest bits for a run of n <= 8192 zero bytes
    std::vector<uint16_t> zeroHead; // the first control's run in that parse
};

// Costs of the Huffman code of these control bytes; with none, a rough guess.
void MakeRunCosts(const std::vector<uint8_t> &controls, RunCosts *costs);
// Bits of a run of n zero bytes, or of n bytes 255.
double ZeroRunBits(const RunCosts &costs, size_t n);
double FfRunBits(const RunCosts &costs, size_t n);

// Appends the control bytes whose expansion is bytes[0 ... n - 1]; zero runs
// take the cheapest parse under costs (the longest runs without).
void AppendRuns(const uint8_t *bytes, size_t n, const RunCosts *costs, std::vector<uint8_t> *controls);

// The compressed data: a Huffman code tree fitted to the control bytes, then
// their codes, padded so that the decoder reads every code.
std::vector<uint8_t> HuffmanPack(const std::vector<uint8_t> &controls);

// ---- rate-distortion quantisation (encode_rdo.cpp)

// One plane's transformed coefficients, for quantisation in stream order.
struct PlaneToQuantize {
    const std::vector<double> *coeffs;  // band layout, side a
    int side, baseSide;
    int visibleRows;                    // rows of the plane the picture shows
    double weight;                      // squared picture error per squared coefficient error
};

// Quantises the planes, one after the other as the stream holds them, each
// coefficient to the value that costs least in weighted squared error plus
// lambda times its bits under costs; out[i] receives plane i.
void QuantizeRdo(const std::vector<PlaneToQuantize> &planes, const RunCosts &costs, double lambda,
                 std::vector<std::vector<int32_t>> *out);
