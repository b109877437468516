// A picture made ready for quantisation (its planes analysed into one stream
// of weighted coefficients) and, once quantised, made into the art file.
#include "tools/art/encode_stages.h"

#include "base/team.h"
#include "decoder/art.h"
#include "decoder/huffman.h"
#include "decoder/wavelet.h"

#include <math.h>
#include <string.h>

#include <algorithm>

double PlaneWeight(int plane, bool subsampled)
{
    // Y moves all three channels alike, U mostly blue (twice), V mostly red
    // (1.6 times), both a little green. A subsampled chroma value serves 2
    // rows and 1 + 2 halves of a row's pixels.
    static const double kWeights[3] = {3.0, 4.15, 3.22};
    return kWeights[plane] * (plane && subsampled ? 4.0 : 1.0);
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

// The segments of one plane's band rows: rows that reach the picture weigh
// weight, the others nothing.
static void AddPlaneSegments(size_t start, int a, int b0, int visibleRows, float weight,
                             std::vector<CoefficientStream::Segment> *segments)
{
    auto addBlock = [&](size_t at, int b) {
        for (int t = 0; t < b; t++) {
            float w = RowVisible(t, b, a, visibleRows) ? weight : 0;
            size_t rowStart = at + (size_t)t * b;
            if (!segments->empty() && segments->back().weight == w &&
                segments->back().start + segments->back().count == rowStart && segments->back().count < (1u << 30))
                segments->back().count += b;
            else
                segments->push_back({rowStart, (uint32_t)b, w});
        }
    };
    addBlock(start, b0);
    for (int b = b0; b < a; b *= 2)
        for (int block = 1; block <= 3; block++)
            addBlock(start + (size_t)block * b * b, b);
}

namespace {
struct AnalysisJob {
    PreparedArt *prepared;
};
}  // namespace

static void AnalyzeTask(Team *team, int number, int)
{
    PreparedArt &p = *((AnalysisJob *)team->context)->prepared;
    const PreparedPlane &plane = p.planes[number];
    AnalyzePlane(&p.stream.values[plane.start], plane.side, p.layout.baseSide);
}

void PrepareArt(const uint8_t *bgr, int width, int height, const ArtLayout &layout, PreparedArt *prepared)
{
    PreparedArt &p = *prepared;
    int perSide = layout.pieces == 4 ? 2 : 1;
    int m = width / perSide, c = layout.subsample ? m / 2 : m;
    p.width = width;
    p.height = height;
    p.pieceSide = m;
    p.layout = layout;
    p.planes.clear();
    p.stream.segments.clear();
    size_t perPiece = (size_t)m * m + 2 * (size_t)c * c;
    p.stream.values.assign(perPiece * layout.pieces, 0.0f);
    p.chromaLoss = 0;

    // Every plane of every piece, in stream order, each less its mean.
    size_t at = 0;
    for (int i = 0; i < layout.pieces; i++) {
        int left = (i % perSide) * m, top = (i / perSide) * m;
        int rows = std::min(m, height - top);
        int chromaRows = layout.subsample ? (rows + 1) / 2 : rows;
        PiecePlanes planes;
        PieceToPlanes(bgr, width, height, left, top, m, layout.subsample, &planes);
        p.chromaLoss += planes.chromaLoss;
        std::vector<float> *values[3] = {&planes.y, &planes.u, &planes.v};
        for (int k = 0; k < 3; k++) {
            PreparedPlane plane;
            plane.start = at;
            plane.side = k ? c : m;
            plane.visibleRows = k ? chromaRows : rows;
            plane.field = (k == 0 ? kArtYOffset : k == 1 ? kArtUOffset : kArtVOffset) + i;
            const std::vector<float> &v = *values[k];
            double mean = 0;
            for (float x : v)
                mean += x;
            plane.offset = (int32_t)lround(mean / v.size());
            size_t shown = (size_t)plane.visibleRows * plane.side;
            double shownSum = 0;
            float *dest = &p.stream.values[at];
            for (size_t j = 0; j < v.size(); j++) {
                dest[j] = v[j] - plane.offset;
                if (j < shown)
                    shownSum += dest[j];
            }
            plane.shownMean = shown ? shownSum / shown : 0;
            AddPlaneSegments(at, plane.side, layout.baseSide, plane.visibleRows,
                             (float)PlaneWeight(k, layout.subsample), &p.stream.segments);
            p.planes.push_back(plane);
            at += v.size();
        }
    }
    AnalysisJob job{&p};
    RunTeam(AnalyzeTask, &job, (int)p.planes.size());
}

static void PutField(std::vector<uint8_t> *art, int field, int32_t value)
{
    uint32_t v = (uint32_t)value;
    for (int i = 0; i < 4; i++)
        (*art)[4 * field + i] = (uint8_t)(v >> (8 * i));
}

bool FinishArt(const PreparedArt &p, const int32_t *quantized, const std::vector<uint8_t> &controls,
               std::vector<uint8_t> *art)
{
    const ArtLayout &layout = p.layout;
    int perSide = layout.pieces == 4 ? 2 : 1;
    std::vector<uint8_t> header(kArtHeaderSize, 0);
    PutField(&header, kArtSubsampled, layout.subsample ? 1 : 0);
    PutField(&header, kArtWidth, p.width / perSide);
    PutField(&header, kArtHeight, p.height / perSide);
    PutField(&header, kArtBaseSide, layout.baseSide);
    PutField(&header, kArtPieces, layout.pieces);
    PutField(&header, kArtImageSize, p.width * p.height * 3);

    // Each offset also takes off the mean error that the decoder's rounding
    // leaves over the rows the picture shows.
    std::vector<int32_t> back;
    for (const PreparedPlane &plane : p.planes) {
        const int32_t *q = quantized + plane.start;
        back.assign(q, q + (size_t)plane.side * plane.side);
        if (!SynthesizeChecked(back.data(), plane.side, layout.baseSide))
            return false;
        size_t shown = (size_t)plane.visibleRows * plane.side;
        double sum = 0;
        for (size_t i = 0; i < shown; i++)
            sum += back[i];
        double bias = shown ? plane.shownMean - sum / shown : 0;
        PutField(&header, plane.field, plane.offset + (int32_t)lround(bias));
    }

    // The stream size is what the decoder's Huffman stage gives for this
    // data: the control bytes and the few that the padding spells.
    std::vector<uint8_t> data = HuffmanPack(controls);
    std::vector<uint8_t> padded = data;
    padded.resize(data.size() + 4, 0);
    std::vector<uint8_t> stream(controls.size() + 1024);
    HuffmanResult decoded = DecodeHuffman(stream.data(), stream.size(), padded.data(), data.size());
    if (decoded.fault != kHuffmanOk || decoded.written < controls.size() ||
        memcmp(stream.data(), controls.data(), controls.size()) != 0)
        return false;
    PutField(&header, kArtStreamSize, (int32_t)decoded.written);

    art->assign(header.begin(), header.end());
    art->insert(art->end(), data.begin(), data.end());
    return true;
}
