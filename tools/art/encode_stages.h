// The stages of the art encoder, each the inverse of a decoder stage.
#pragma once

#include <stddef.h>
#include <math.h>
#include <stdint.h>

#include <vector>

// ---- colour (encode_colour.cpp)

// One piece's planes before the transform, in quarter levels with no offset
// taken off: Y of side m, U and V of side c (m, or m / 2 when subsampled).
struct PiecePlanes {
    std::vector<float> y, u, v;
    // Subsampled: the squared picture error (as PlaneWeight weighs it) that
    // the decoder's widening of U and V leaves before any quantisation.
    double chromaLoss = 0;
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
void AnalyzePlane(float *plane, int a, int baseSide);

// The decoder's 32-bit synthesis of the plane, in place; false when it would
// wrap somewhere (some sum before its shift does not fit in a signed 32-bit
// integer), the plane then half done. Each level doubles the coarsest band's
// values, so deep transforms of high-contrast planes do not fit.
bool SynthesizeChecked(int32_t *plane, int a, int baseSide);

// ---- stream (encode_stream.cpp)

// What writing control bytes costs, in bits, with the Huffman code fitted to a
// stream of them; the run-length coder parses runs to the cheapest with it.
struct RunCosts {
    double symbol[256];             // bits of each control byte's code
    std::vector<double> zero;       // zero[n]: fewest bits for a run of n <= 8192 zero bytes
    std::vector<uint16_t> zeroHead; // the first control's run in that parse
    // The same never falling as a run grows: zeroFloor[n] the fewest bits
    // of any run of n ... 8192 zero bytes, ffFloor[n] of any run of n ... 32
    // bytes 255. The quantiser counts bits as a run grows by these, so that a
    // run is never cheaper for being longer.
    std::vector<double> zeroFloor;
    double ffFloor[33];
};

// Costs of the Huffman code of these control bytes; with none, a rough guess.
void MakeRunCosts(const std::vector<uint8_t> &controls, RunCosts *costs);
// The same for a stream that holds each control byte counts[byte] times.
void MakeRunCostsOfCounts(const size_t counts[256], RunCosts *costs);
// The run costs that follow from costs->symbol.
void CompleteRunCosts(RunCosts *costs);
// Bits of a run of n zero bytes, or of n bytes 255.
double ZeroRunBits(const RunCosts &costs, size_t n);
double FfRunBits(const RunCosts &costs, size_t n);
// The same from the floors: what the quantiser counts.
double ZeroFloorBits(const RunCosts &costs, size_t n);
double FfFloorBits(const RunCosts &costs, size_t n);

// Appends the control bytes whose expansion is bytes[0 ... n - 1]; zero runs
// take the cheapest parse under costs (the longest runs without).
void AppendRuns(const uint8_t *bytes, size_t n, const RunCosts *costs, std::vector<uint8_t> *controls);

// Bytes of the compressed data HuffmanPack makes of these control bytes,
// without making it.
size_t HuffmanPackedSize(const std::vector<uint8_t> &controls);
// The same for a stream that holds each control byte counts[byte] times.
size_t HuffmanPackedSizeOfCounts(const size_t counts[256]);
// The compressed data: a Huffman code tree fitted to the control bytes, then
// their codes, padded so that the decoder reads every code.
std::vector<uint8_t> HuffmanPack(const std::vector<uint8_t> &controls);

// ---- rate-distortion quantisation (encode_rdo.cpp)

// Every plane's transformed coefficients in stream order, with the weight of
// each: the squared picture error (summed over blue, green and red, in
// quarter levels) of a unit error in it; 0 where the picture does not show it.
struct CoefficientStream {
    std::vector<float> values;
    struct Segment {
        size_t start;
        uint32_t count;
        float weight;
    };
    std::vector<Segment> segments;  // runs of one weight, in order, covering values
};

struct QuantizeTotals {
    double distortion = 0;  // weighted squared error
    double bits = 0;        // the costs' estimate of the stream's bits
};

// Parts of the stream quantised each on its own, as if after a long zero run,
// so that the result is the same for any number of threads. The whole
// stream is cut into blocks of kQuantizeBlock coefficients; a sample of it
// (rate control's trials) is a set of band rows, each standing for scale
// rows of its band.
struct StreamRange {
    size_t start;
    uint32_t count;
    uint32_t scale;
};
constexpr size_t kQuantizeBlock = 1 << 16;
std::vector<StreamRange> WholeStream(const CoefficientStream &stream);

// Quantises the ranges of the stream (leaving the rest of out as it is): each
// coefficient takes the value that costs least in weighted squared error plus
// lambda times its bits under costs, given the run the coefficients before it
// left open. out has values.size() room; totals are each range's times its
// scale.
void QuantizeStream(const CoefficientStream &stream, const std::vector<StreamRange> &ranges, const RunCosts &costs,
                    double lambda, int32_t *out, QuantizeTotals *totals);

// The plain quantiser the optimisation is measured against: each coefficient
// rounded to the nearest multiple of step, the unseen ones to 0.
void QuantizePlainly(const CoefficientStream &stream, int step, int32_t *out);
// The same for the ranges only.
void QuantizeRangesPlainly(const CoefficientStream &stream, const std::vector<StreamRange> &ranges, int step,
                           int32_t *out);

// ---- a picture made ready for quantisation, and the file (encode_prepare.cpp)

struct ArtLayout {
    int pieces;     // 1 or 4
    bool subsample; // U and V at half resolution
    int baseSide;
};

// One plane of one piece in the stream.
struct PreparedPlane {
    size_t start;           // its first coefficient in the stream
    int side, visibleRows;  // rows the picture shows
    int field;              // its offset's header field
    int32_t offset;         // taken off before the transform (the plane's mean)
    double shownMean;       // mean of the visible values less the offset
};

struct PreparedArt {
    int width, height, pieceSide;
    ArtLayout layout;
    CoefficientStream stream;
    std::vector<PreparedPlane> planes;
    double chromaLoss;  // the pieces' chromaLoss
};

// Colour conversion and analysis of every plane (on the team's threads),
// with the weights of PlaneWeight; the layout must fit the picture.
void PrepareArt(const uint8_t *bgr, int width, int height, const ArtLayout &layout, PreparedArt *prepared);

// Squared picture error, summed over blue, green and red in quarter levels,
// of a unit error in plane k (0 Y, 1 U, 2 V).
double PlaneWeight(int plane, bool subsampled);

// The art file of the quantised stream and its control bytes: the header
// with each offset corrected for the mean error of the decoder's rounding,
// and the Huffman-coded data. False when some plane's synthesis would wrap
// in the decoder's 32-bit arithmetic.
bool FinishArt(const PreparedArt &prepared, const int32_t *quantized, const std::vector<uint8_t> &controls,
               std::vector<uint8_t> *art);

// ---- passes and rate control (encode_rate.cpp; the sample's trials in encode_sample.cpp)

// A stream quantised at some lambda, its control bytes and its file's size.
struct RatePoint {
    double lambda = 0;
    std::vector<int32_t> quantized;
    std::vector<uint8_t> controls;
    size_t fileBytes = 0;
    QuantizeTotals totals;
};

// What the passes aim at: a lambda (from the quality), a file size, or a PSNR.
struct RateGoal {
    double lambda = 0;
    size_t bytes = 0;
    double psnr = 0;
    const uint8_t *picture = nullptr;  // the picture, for measuring the PSNR
    void (*progress)(void *context, double done) = nullptr;
    void *progressContext = nullptr;
    double progressFrom = 0, progressTo = 1;  // the share of the whole encode these passes are
};

// The sample of the stream quantised at one lambda: the costs its pass
// leaves, and what it says of the whole file.
struct RateTrial {
    double lambda = 0;
    RunCosts costs;
    double bytes = 0;  // estimated file size
    double error = 0;  // estimated mean squared picture error, in levels, before the chroma's widening
};

// Rate control's trials on a sample of a prepared stream (all of it for a
// small picture), where one costs a small part of a whole pass.
struct RateSearch {
    std::vector<StreamRange> sample;
    std::vector<int32_t> work;
    std::vector<RateTrial> trials;
    double lambda = 0;    // where the trials point for the goal
    double estimate = 0;  // how the layout would fare (as EncodeArt weighs layouts); lower is better
    // The whole passes so far: each one's lambda and the costs of its
    // control bytes; the last, and the best that meets the goal.
    std::vector<std::pair<double, RunCosts>> wholeCosts;
    RatePoint last, best;  // the last's values are in best when it was the best
    bool found = false, done = false, lastIsBest = false;
    double next = 0;  // the next whole pass's lambda
    // The nearest whole passes either side of the goal: at lower the file is
    // too large (or closer than it need be), at upper too small (or too
    // far); with the logs of their sizes or errors. And the last pass's.
    double lower = 0, upper = INFINITY, lowerValue = 0, upperValue = 0, lastLambda = 0, lastValue = 0;
    int side = 0;  // the side of the goal the last pass fell on: -1 below lower's, 1 above
};

// The trial at lambda on the sample, made when there is none yet: the first
// from the costs of plain rounding, later ones from the nearest trial's.
const RateTrial &TrialAt(const PreparedArt &prepared, const std::vector<StreamRange> &sample, double lambda,
                         std::vector<int32_t> *work, std::vector<RateTrial> *trials);
// Mean squared picture error, in levels a pixel's channel, of a weighted
// squared error of the stream (in quarter levels, the level stretch taken off).
double MeanSquaredLevels(const PreparedArt &prepared, double distortion);
// The mean squared error a PSNR goal allows, a little under the goal's.
double WantedError(const RateGoal &goal);
// The goal's progress callback with this share of its passes done.
void ReportProgress(const RateGoal &goal, double share);

// The trials for the goal: the lambda of a quality, or the one whose file
// the sample puts at the size or PSNR asked for.
// start: the lambda to try first for a size or PSNR.
void SearchSample(const PreparedArt &prepared, const RateGoal &goal, double start, RateSearch *search);

// The trials, for a size or a PSNR, of a layout weighed beside another whose
// search found lambda: only the one at lambda, whose costs its first whole
// pass takes. Its file then lands near the other's, and the whole passes go
// on from there.
void SampleAtLambda(const PreparedArt &prepared, const RateGoal &goal, double lambda, RateSearch *search);

// Up to mostPasses more whole passes, from the lambda the trials found,
// until one meets the goal (search->best) or no further pass is worth
// making (search->done); *passes counts them. False while none meets the goal.
bool RunPasses(const PreparedArt &prepared, const RateGoal &goal, RateSearch *search, int mostPasses, int *passes);

// How the last whole pass's layout would fare at the goal, from its decoded
// file: for a size its mean squared error moved to that size along the
// sample's slope; for a PSNR its size moved likewise; for a quality its
// squared error plus lambda times its bits. Lower is better; infinite when
// the file cannot be made.
double ProjectedScore(const PreparedArt &prepared, const RateGoal &goal, const RateSearch &search);

// The lambda of a quality 1-100.
double LambdaForQuality(int quality);
