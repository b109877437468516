// Pixels to Y, U and V planes: the inverse of ConvertPiece, level stretch
// included.
#include "tools/art/encode_stages.h"

#include "decoder/colour.h"

#include <algorithm>

// For each level 0-255 the decoder's quantity that shows it best: the middle
// of the range of B4 (and R4) and of G' values whose stretched level it is.
// Levels the stretch skips take the border between their neighbours.
struct LevelTargets {
    double b4[256];  // for blue and red
    double g[256];   // for green
};

static void FillTargets(double *target, int lowest, int highest, int (*levelOf)(int))
{
    int lo[256], hi[256];
    std::fill(lo, lo + 256, -1);
    std::fill(hi, hi + 256, -1);
    for (int x = lowest; x <= highest; x++) {
        int v = levelOf(x);
        if (lo[v] < 0)
            lo[v] = x;
        hi[v] = x;
    }
    for (int v = 0; v < 256; v++) {
        if (lo[v] >= 0)
            target[v] = (lo[v] + hi[v]) / 2.0;
        else  // the stretch skips v; 0 and 255 are always reached
            target[v] = (hi[v - 1] + lo[v + 1]) / 2.0;
    }
}

static int BlueLevel(int b4) { return LevelTable[(b4 >> 2) + kLevelZero]; }
static int GreenLevel(int g) { return LevelTable[((1744 * g) >> 12) + kLevelZero]; }

static const LevelTargets &Targets()
{
    static LevelTargets targets;
    static bool built;
    if (!built) {
        BuildLevelTable();
        // From level 0 up to a little past the first index that gives 255.
        FillTargets(targets.b4, 0, 995, BlueLevel);
        FillTargets(targets.g, 0, 585, GreenLevel);
        built = true;
    }
    return targets;
}

// Y', U', V' of one pixel such that the decoder's conversion gives it back.
// The decoder's shifts round down, which the constants 1.0 and 0.5 undo on
// average.
static void PixelToYuv(const uint8_t *px, const LevelTargets &t, float *y, float *u, float *v)
{
    double b4 = t.b4[px[0]], g = t.g[px[1]], r4 = t.b4[px[2]];
    double luma = g + 116.0 / 1024 * b4 + 306.0 / 1024 * r4 - 1.0;
    *y = (float)luma;
    *u = (float)((b4 - luma + 1024) / 2);
    *v = (float)((r4 - luma + 819 + 0.5) * 1024 / 1638);
}

// Rows rows ... side - 1 of a plane become a blend from row rows - 1 to row 0.
// A piece that the picture does not reach at all keeps its zeros.
static void BlendBottom(std::vector<float> *plane, int side, int rows)
{
    if (rows <= 0)
        return;
    float *p = plane->data();
    for (int r = rows; r < side; r++) {
        float t = float(r - rows + 1) / (side - rows + 1);
        for (int x = 0; x < side; x++)
            p[(size_t)r * side + x] = (1 - t) * p[(size_t)(rows - 1) * side + x] + t * p[x];
    }
}

// The weighted squared error between a full chroma plane (side m, rows
// shown) and the decoder's widening of its half (side m / 2): each half row
// serves two rows; column 2k takes sample k, column 2k + 1 the mean of
// samples k and k + 1, the last column its own sample.
static double WideningLoss(const std::vector<float> &full, const std::vector<float> &half, int m, int rows,
                           double weight)
{
    int c = m / 2;
    double sum = 0;
    for (int i = 0; i < rows; i++) {
        const float *f = full.data() + (size_t)i * m, *h = half.data() + (size_t)(i / 2) * c;
        for (int k = 0; k < c; k++) {
            double even = f[2 * k] - h[k];
            double odd = f[2 * k + 1] - (k + 1 < c ? 0.5 * (h[k] + h[k + 1]) : h[k]);
            sum += even * even + odd * odd;
        }
    }
    return weight * sum;
}

void PieceToPlanes(const uint8_t *bgr, int width, int height, int left, int top, int m, bool subsample,
                   PiecePlanes *planes)
{
    const LevelTargets &t = Targets();
    int rows = std::min(m, height - top);
    size_t area = (size_t)m * m;
    planes->y.assign(area, 0);
    planes->chromaLoss = 0;
    std::vector<float> u(area), v(area);
    for (int i = 0; i < rows; i++) {
        const uint8_t *px = bgr + ((size_t)(top + i) * width + left) * 3;
        for (int j = 0; j < m; j++)
            PixelToYuv(px + j * 3, t, &planes->y[(size_t)i * m + j], &u[(size_t)i * m + j], &v[(size_t)i * m + j]);
    }
    BlendBottom(&planes->y, m, rows);
    if (!subsample) {
        BlendBottom(&u, m, rows);
        BlendBottom(&v, m, rows);
        planes->u = std::move(u);
        planes->v = std::move(v);
        return;
    }

    // Each chroma sample serves two rows; across, column 2k takes sample k
    // whole and the odd columns either side take half of it (the last column
    // takes its own sample whole). Each sample is the mean of the pixels it
    // serves, weighted by its share in them.
    int c = m / 2, chromaRows = (rows + 1) / 2;
    for (std::vector<float> *full : {&u, &v}) {
        std::vector<float> half((size_t)c * c, 0);
        for (int r = 0; r < chromaRows; r++) {
            for (int k = 0; k < c; k++) {
                double sum = 0, weight = 0;
                for (int i = 2 * r; i < std::min(2 * r + 2, rows); i++) {
                    const float *row = full->data() + (size_t)i * m;
                    sum += row[2 * k];
                    weight += 1;
                    if (k > 0) {
                        sum += 0.5 * row[2 * k - 1];
                        weight += 0.5;
                    }
                    double share = 2 * k + 1 == m - 1 ? 1.0 : 0.5;
                    sum += share * row[2 * k + 1];
                    weight += share;
                }
                half[(size_t)r * c + k] = (float)(sum / weight);
            }
        }
        BlendBottom(&half, c, chromaRows);
        planes->chromaLoss += WideningLoss(*full, half, m, rows, PlaneWeight(full == &u ? 1 : 2, false));
        (full == &u ? planes->u : planes->v) = std::move(half);
    }
}
