// The forward transform and the quantisation: the inverse of
// InverseTransformPlane.
#include "tools/art/encode_stages.h"

#include "decoder/wavelet.h"

#include <math.h>
#include <stdint.h>

// The decoder's synthesis filters h and g_k = (-1)^k h_(3-k); the periodic
// analysis low[t] = sum h_k x[(2t + k) mod 2n], high[t] = sum g_k x[...] is
// their inverse.
static const double kH[4] = {kSynth0 / 65536.0, kSynth1 / 65536.0, kSynth2 / 65536.0, -kSynth3 / 65536.0};
static const double kG[4] = {kH[3], -kH[2], kH[1], -kH[0]};

// One line of 2n values at stride `stride` into n low and n high values.
static void AnalyzeLine(const double *x, size_t stride, int n, double *low, double *high)
{
    int len = 2 * n;
    for (int t = 0; t < n; t++) {
        double l = 0, h = 0;
        for (int k = 0; k < 4; k++) {
            double v = x[(size_t)((2 * t + k) % len) * stride];
            l += kH[k] * v;
            h += kG[k] * v;
        }
        low[t] = l;
        high[t] = h;
    }
}

void AnalyzePlane(std::vector<double> *plane, int a, int baseSide)
{
    double *p = plane->data();
    std::vector<double> rowsLow, rowsHigh, bands, column, low, high;
    for (int s = a; s > baseSide; s /= 2) {
        // The low band of side s sits at p, rows s values apart.
        int b = s / 2;
        rowsLow.assign((size_t)s * b, 0);
        rowsHigh.assign((size_t)s * b, 0);
        for (int y = 0; y < s; y++)
            AnalyzeLine(p + (size_t)y * s, 1, b, &rowsLow[(size_t)y * b], &rowsHigh[(size_t)y * b]);
        // Columns: blocks 0 and 2 from the horizontally low half, 1 and 3
        // from the high half.
        size_t area = (size_t)b * b;
        bands.assign(4 * area, 0);
        low.resize(b);
        high.resize(b);
        for (int half = 0; half < 2; half++) {
            const std::vector<double> &src = half ? rowsHigh : rowsLow;
            double *lowBlock = &bands[half ? area : 0];
            double *highBlock = &bands[half ? 3 * area : 2 * area];
            for (int x = 0; x < b; x++) {
                AnalyzeLine(&src[x], b, b, low.data(), high.data());
                for (int t = 0; t < b; t++) {
                    lowBlock[(size_t)t * b + x] = low[t];
                    highBlock[(size_t)t * b + x] = high[t];
                }
            }
        }
        for (size_t i = 0; i < 4 * area; i++)
            p[i] = bands[i];
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

bool SynthesisFits(const std::vector<int32_t> &coeffs, int a, int baseSide)
{
    std::vector<int64_t> p(coeffs.begin(), coeffs.end()), rowsLow, rowsHigh;
    for (int b = baseSide; b < a; b *= 2) {
        size_t area = (size_t)b * b;
        int w = 2 * b;
        // Horizontal: rows of blocks 0 and 1 into the low rows, 2 and 3 into the high rows.
        rowsLow.assign((size_t)b * w, 0);
        rowsHigh.assign((size_t)b * w, 0);
        for (int half = 0; half < 2; half++) {
            const int64_t *lo = &p[half ? 2 * area : 0], *hi = &p[half ? 3 * area : area];
            int64_t *out = half ? rowsHigh.data() : rowsLow.data();
            for (int i = 0; i < b; i++)
                for (int t = 0; t < b; t++) {
                    int k = t == 0 ? b - 1 : t - 1;
                    const int64_t *l = lo + (size_t)i * b, *h = hi + (size_t)i * b;
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
                int64_t e = EvenSum(lk, lt, hk, ht), o = OddSum(lk, lt, hk, ht);
                if (!Fits(e) || !Fits(o))
                    return false;
                p[(size_t)(2 * t) * w + x] = e >> 16;
                p[(size_t)(2 * t + 1) * w + x] = o >> 16;
            }
        }
    }
    return true;
}
