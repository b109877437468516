// Rate-distortion quantisation: each coefficient takes the value that costs
// least in picture error plus bits, bits counted as the run-length coder and
// the Huffman code will spend them.
#include "tools/art/encode_stages.h"

#include <math.h>
#include <string.h>

#include <algorithm>

namespace {

// The run-length coder's state as far as costs go: the run or literal group
// still open and its length.
enum RunKind { kNoRun, kZeroRun, kFfRun, kLiteralRun };
struct RunState {
    RunKind kind = kNoRun;
    size_t length = 0;
};

}  // namespace

// Bits that one more byte adds, the open run counted at its current length.
static double PushByte(const RunCosts &c, RunState *s, uint8_t b)
{
    if (b == 0 || b == 255) {
        RunKind kind = b == 0 ? kZeroRun : kFfRun;
        double (*bits)(const RunCosts &, size_t) = b == 0 ? ZeroRunBits : FfRunBits;
        if (s->kind == kind) {
            double d = bits(c, s->length + 1) - bits(c, s->length);
            s->length++;
            return d;
        }
        s->kind = kind;
        s->length = 1;
        return bits(c, 1);
    }
    if ((b & 15) == 0 || (b & 15) == 15) {
        s->kind = kNoRun;
        return c.symbol[(b & 15) == 0 ? 0x20 | b >> 4 : 0x60 | b >> 4];
    }
    if (s->kind == kLiteralRun && s->length < 32) {
        double d = c.symbol[b] + c.symbol[0xC0 | s->length] - c.symbol[0xC0 | (s->length - 1)];
        s->length++;
        return d;
    }
    s->kind = kLiteralRun;
    s->length = 1;
    return c.symbol[0xC0] + c.symbol[b];
}

static double ValueBits(const RunCosts &c, RunState *s, int32_t v)
{
    uint32_t u = (uint32_t)v;
    double bits = 0;
    for (int i = 0; i < 4; i++)
        bits += PushByte(c, s, (uint8_t)(u >> (8 * i)));
    return bits;
}

// Values whose four bytes each take no literal (0, 255, or a low nibble of 0
// or 15), sorted: candidates for coefficients of any size.
static const std::vector<int32_t> &CheapValues()
{
    static std::vector<int32_t> values;
    if (values.empty()) {
        uint8_t cheap[32];
        for (int i = 0; i < 16; i++) {
            cheap[i] = (uint8_t)(i * 16);
            cheap[16 + i] = (uint8_t)(i * 16 + 15);
        }
        for (uint8_t b0 : cheap)
            for (uint8_t b1 : cheap)
                for (uint8_t b2 : cheap)
                    for (uint32_t b3 : {0u, 255u})
                        values.push_back((int32_t)(b0 | b1 << 8 | b2 << 16 | b3 << 24));
        std::sort(values.begin(), values.end());
    }
    return values;
}

// Whether the synthesis of row t of a band of side b (the coarsest band, or a
// detail block of that level) reaches a row of the plane (side a) that the
// picture shows. Each level's synthesis spreads row t over rows 2t ... 2t + 3
// of the next, periodically.
static bool RowVisible(int t, int b, int a, int visibleRows)
{
    if (visibleRows >= a)
        return true;
    if (b == a)
        return t < visibleRows;
    long long lo = t, hi = t;
    for (long long s = b; s < a; s *= 2) {
        lo = 2 * lo;
        hi = 2 * hi + 3;
    }
    if (hi - lo + 1 >= a)
        return true;
    long long first = lo % a, last = first + (hi - lo);
    return first < visibleRows || last >= a;
}

void QuantizeRdo(const std::vector<PlaneToQuantize> &planes, const RunCosts &costs, double lambda,
                 std::vector<std::vector<int32_t>> *out)
{
    const std::vector<int32_t> &cheap = CheapValues();
    RunState state;
    out->resize(planes.size());
    for (size_t p = 0; p < planes.size(); p++) {
        const PlaneToQuantize &plane = planes[p];
        const std::vector<double> &coeffs = *plane.coeffs;
        std::vector<int32_t> &q = (*out)[p];
        q.assign(coeffs.size(), 0);
        int a = plane.side, b0 = plane.baseSide;

        // Bands in stream order: the coarsest, then three blocks a level.
        auto quantizeBlock = [&](size_t start, int b) {
            for (int t = 0; t < b; t++) {
                double w = RowVisible(t, b, a, plane.visibleRows) ? plane.weight : 0;
                for (int x = 0; x < b; x++) {
                    size_t i = start + (size_t)t * b + x;
                    double c = coeffs[i];
                    int32_t candidates[8];
                    int n = 0;
                    candidates[n++] = 0;
                    if (w > 0) {
                        auto above = std::lower_bound(cheap.begin(), cheap.end(), (int32_t)ceil(c));
                        if (above != cheap.end())
                            candidates[n++] = *above;
                        if (above != cheap.begin())
                            candidates[n++] = *(above - 1);
                        candidates[n++] = (int32_t)floor(c / 16) * 16;
                        candidates[n++] = (int32_t)ceil(c / 16) * 16;
                        candidates[n++] = (int32_t)lround(c);
                    }
                    // Values next to zero (-1 above all, a run of 255s that
                    // would carry on into the next coefficients) are never
                    // worth their bits over zero itself.
                    n = (int)(std::remove_if(candidates + 1, candidates + n,
                                             [](int32_t v) { return v > -8 && v < 8; }) -
                              candidates);
                    double bestCost = INFINITY;
                    int32_t best = 0;
                    RunState bestState;
                    for (int k = 0; k < n; k++) {
                        RunState s = state;
                        double e = c - candidates[k];
                        double cost = w * e * e + lambda * ValueBits(costs, &s, candidates[k]);
                        if (cost < bestCost) {
                            bestCost = cost;
                            best = candidates[k];
                            bestState = s;
                        }
                    }
                    q[i] = best;
                    state = bestState;
                }
            }
        };
        quantizeBlock(0, b0);
        for (int b = b0; b < a; b *= 2)
            for (int block = 1; block <= 3; block++)
                quantizeBlock((size_t)block * b * b, b);
    }
}
