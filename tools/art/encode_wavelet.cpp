// The forward transform, the inverse of InverseTransformPlane, and the check
// that the decoder's synthesis of quantised values fits its arithmetic.
#include "tools/art/encode_stages.h"

#include "decoder/wavelet.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>

// The decoder's synthesis filters h and g_k = (-1)^k h_(3-k); the periodic
// analysis low[t] = sum h_k x[(2t + k) mod 2n], high[t] = sum g_k x[...] is
// their inverse.
static const float kH[4] = {kSynth0 / 65536.0f, kSynth1 / 65536.0f, kSynth2 / 65536.0f, -kSynth3 / 65536.0f};
static const float kG[4] = {kH[3], -kH[2], kH[1], -kH[0]};

// One row of 2n values into n low values (at low) and n high values (at high).
static void AnalyzeRow(const float *x, int n, float *low, float *high)
{
    for (int t = 0; t < n - 1; t++) {
        const float *v = x + 2 * t;
        low[t] = kH[0] * v[0] + kH[1] * v[1] + kH[2] * v[2] + kH[3] * v[3];
        high[t] = kG[0] * v[0] + kG[1] * v[1] + kG[2] * v[2] + kG[3] * v[3];
    }
    // The last pair wraps around to the row's start.
    const float v[4] = {x[2 * n - 2], x[2 * n - 1], x[0], x[1 % (2 * n)]};
    low[n - 1] = kH[0] * v[0] + kH[1] * v[1] + kH[2] * v[2] + kH[3] * v[3];
    high[n - 1] = kG[0] * v[0] + kG[1] * v[1] + kG[2] * v[2] + kG[3] * v[3];
}

void AnalyzePlane(float *p, int a, int baseSide)
{
    std::vector<float> rows;
    for (int s = a; s > baseSide; s /= 2) {
        // The low band of side s sits at p, rows s values apart. Each row
        // into its low and high halves (rows[y * s], rows[y * s + b]).
        int b = s / 2;
        rows.resize((size_t)s * s);
        for (int y = 0; y < s; y++)
            AnalyzeRow(p + (size_t)y * s, b, &rows[(size_t)y * s], &rows[(size_t)y * s + b]);
        // Then the columns, a row of output at a time: blocks 0 and 2 from
        // the horizontally low half, 1 and 3 from the high half.
        size_t area = (size_t)b * b;
        for (int t = 0; t < b; t++) {
            const float *r[4];
            for (int k = 0; k < 4; k++)
                r[k] = &rows[(size_t)((2 * t + k) % s) * s];
            float *low = p + (size_t)t * b, *highV = p + 2 * area + (size_t)t * b;
            float *highH = p + area + (size_t)t * b, *both = p + 3 * area + (size_t)t * b;
            for (int x = 0; x < b; x++) {
                low[x] = kH[0] * r[0][x] + kH[1] * r[1][x] + kH[2] * r[2][x] + kH[3] * r[3][x];
                highV[x] = kG[0] * r[0][x] + kG[1] * r[1][x] + kG[2] * r[2][x] + kG[3] * r[3][x];
            }
            for (int x = 0; x < b; x++) {
                highH[x] = kH[0] * r[0][b + x] + kH[1] * r[1][b + x] + kH[2] * r[2][b + x] + kH[3] * r[3][b + x];
                both[x] = kG[0] * r[0][b + x] + kG[1] * r[1][b + x] + kG[2] * r[2][b + x] + kG[3] * r[3][b + x];
            }
        }
    }
}

// The decoder's synthesis of one value before its shift, in 64 bits.
static inline int64_t EvenSum(int64_t pk, int64_t pt, int64_t qk, int64_t qt)
{
    return kSynth2 * pk + kSynth0 * pt + kSynth1 * qk - kSynth3 * qt;
}

static inline int64_t OddSum(int64_t pk, int64_t pt, int64_t qk, int64_t qt)
{
    return -kSynth3 * pk + kSynth1 * pt - kSynth0 * qk - kSynth2 * qt;
}

static inline bool Fits(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Whether one level of the synthesis (bands of side b at the start of p, in
// the plane's layout, into side 2b) keeps every sum in 32 bits, each sum
// worked out in 64 bits.
static bool LevelFits(const int32_t *p, int b)
{
    size_t area = (size_t)b * b;
    int w = 2 * b;
    std::vector<int64_t> rowsLow((size_t)b * w), rowsHigh((size_t)b * w);
    // Horizontal: rows of blocks 0 and 1 into the low rows, 2 and 3 into the high rows.
    for (int half = 0; half < 2; half++) {
        const int32_t *lo = p + (half ? 2 * area : 0), *hi = p + (half ? 3 * area : area);
        int64_t *out = half ? rowsHigh.data() : rowsLow.data();
        for (int i = 0; i < b; i++)
            for (int t = 0; t < b; t++) {
                int k = t == 0 ? b - 1 : t - 1;
                const int32_t *l = lo + (size_t)i * b, *h = hi + (size_t)i * b;
                int64_t e = EvenSum(l[k], l[t], h[k], h[t]), o = OddSum(l[k], l[t], h[k], h[t]);
                if (!Fits(e) || !Fits(o))
                    return false;
                out[(size_t)i * w + 2 * t] = e >> 16;
                out[(size_t)i * w + 2 * t + 1] = o >> 16;
            }
    }
    // Vertical, whole rows.
    for (int t = 0; t < b; t++) {
        int k = t == 0 ? b - 1 : t - 1;
        for (int x = 0; x < w; x++) {
            int64_t lk = rowsLow[(size_t)k * w + x], lt = rowsLow[(size_t)t * w + x];
            int64_t hk = rowsHigh[(size_t)k * w + x], ht = rowsHigh[(size_t)t * w + x];
            if (!Fits(EvenSum(lk, lt, hk, ht)) || !Fits(OddSum(lk, lt, hk, ht)))
                return false;
        }
    }
    return true;
}

static int64_t LargestMagnitude(const int32_t *p, size_t n)
{
    int64_t most = 0;
    for (size_t i = 0; i < n; i++)
        most = std::max(most, (int64_t)std::abs((int64_t)p[i]));
    return most;
}

bool SynthesizeChecked(int32_t *plane, int a, int baseSide)
{
    // Each sum weighs two low and two high values by at most
    // kSynth1 + kSynth3 (the larger pair) each: below the bound for the
    // largest magnitudes in, it fits, and its result after the shift is at
    // most a 65536th of the bound and one. Only where the bound does not
    // hold are the sums worked out.
    const int64_t kPairWeight = kSynth1 + kSynth3;
    for (int b = baseSide; b < a; b *= 2) {
        size_t area = (size_t)b * b;
        int64_t most[4];
        for (int block = 0; block < 4; block++)
            most[block] = LargestMagnitude(plane + block * area, area);
        int64_t low = kPairWeight * (most[0] + most[1]), high = kPairWeight * (most[2] + most[3]);
        bool sure = low <= INT32_MAX && high <= INT32_MAX &&
                    kPairWeight * ((low >> 16) + 1 + (high >> 16) + 1) <= INT32_MAX;
        if (!sure && !LevelFits(plane, b))
            return false;
        InverseTransformPlane(plane, 2 * b, b, 2 * b);
    }
    return true;
}
