// The encoder's driver: geometry, pieces, offsets, quantisation passes, the
// header.
#include "tools/art/artencode.h"

#include "decoder/art.h"
#include "decoder/huffman.h"
#include "decoder/wavelet.h"
#include "tools/art/encode_stages.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

int ChooseBaseSide(int pieceSide, bool subsample)
{
    if (pieceSide < 1 || (subsample && pieceSide % 2 != 0))
        return 0;
    int b = pieceSide;
    while (b % 2 == 0 && b / 2 >= 8 && pieceSide / b < 64)
        b /= 2;
    if (subsample && b == pieceSide)
        b = pieceSide / 2;  // the chroma planes need one level at least
    return b;
}

double PicturePsnrDb(const uint8_t *a, const uint8_t *b, size_t n)
{
    double sum = 0;
    for (size_t i = 0; i < n; i++) {
        double d = (double)a[i] - b[i];
        sum += d * d;
    }
    if (sum == 0)
        return 99;
    return 10 * log10(255.0 * 255.0 * n / sum);
}

// Weight of the bits against the squared error, for a quality of 1-100:
// each 12 quality points double the error allowed. At 75 faint soft edges of
// wallpaper art still come through; below about 60 they blur away first.
static double LambdaFor(int quality)
{
    return 16 * pow(4.0, (100 - quality) / 12.0);
}

// Squared picture error, summed over blue, green and red in quarter levels,
// of a unit error in a plane value: Y moves all three channels alike, U
// mostly blue (twice), V mostly red (1.6 times), both a little green. A
// subsampled chroma value serves 2 rows and 1 + 2 halves of a row's pixels.
static double PlaneWeight(int plane, bool subsampled)
{
    static const double kWeights[3] = {3.0, 4.15, 3.22};
    return kWeights[plane] * (plane && subsampled ? 3.0 : 1.0);
}

static void PutField(std::vector<uint8_t> *art, int field, int32_t value)
{
    uint32_t v = (uint32_t)value;
    for (int i = 0; i < 4; i++)
        (*art)[4 * field + i] = (uint8_t)(v >> (8 * i));
}

static bool Fail(std::string *error, const std::string &why)
{
    *error = why;
    return false;
}

namespace {

// One plane on its way into the stream.
struct PlaneWork {
    std::vector<double> target;  // values less the offset, before the transform
    std::vector<double> coeffs;  // after it
    int32_t offset;
    int side, visibleRows, field;
};

}  // namespace

// The header, the plane bytes of all pieces and their control bytes at one
// base side; false when some plane's synthesis would wrap in the decoder's
// 32-bit arithmetic.
static bool EncodePieces(const uint8_t *bgr, int width, int height, const ArtEncodeOptions &options, int baseSide,
                         std::vector<uint8_t> *header, std::vector<uint8_t> *planeBytes,
                         std::vector<uint8_t> *controls)
{
    int perSide = options.pieces == 4 ? 2 : 1;
    int m = width / perSide, c = options.subsample ? m / 2 : m;
    header->assign(kArtHeaderSize, 0);
    PutField(header, kArtSubsampled, options.subsample ? 1 : 0);
    PutField(header, kArtWidth, width / perSide);
    PutField(header, kArtHeight, height / perSide);
    PutField(header, kArtBaseSide, baseSide);
    PutField(header, kArtPieces, options.pieces);
    PutField(header, kArtImageSize, width * height * 3);

    // Every plane of every piece, in stream order, each less its mean. The
    // decoder's carry between pieces makes its expansion one continuous
    // stream, so the planes are coded as one.
    std::vector<PlaneWork> work;
    for (int i = 0; i < options.pieces; i++) {
        int left = (i % perSide) * m, top = (i / perSide) * m;
        int rows = std::min(m, height - top);
        int chromaRows = options.subsample ? (rows + 1) / 2 : rows;
        PiecePlanes p;
        PieceToPlanes(bgr, width, height, left, top, m, options.subsample, &p);
        std::vector<double> *values[3] = {&p.y, &p.u, &p.v};
        for (int k = 0; k < 3; k++) {
            PlaneWork w;
            w.side = k ? c : m;
            w.visibleRows = k ? chromaRows : rows;
            w.field = (k == 0 ? kArtYOffset : k == 1 ? kArtUOffset : kArtVOffset) + i;
            double mean = 0;
            for (double v : *values[k])
                mean += v;
            w.offset = (int32_t)lround(mean / values[k]->size());
            w.target = std::move(*values[k]);
            for (double &v : w.target)
                v -= w.offset;
            w.coeffs = w.target;
            AnalyzePlane(&w.coeffs, w.side, baseSide);
            work.push_back(std::move(w));
        }
    }
    std::vector<PlaneToQuantize> jobs;
    for (size_t k = 0; k < work.size(); k++)
        jobs.push_back({&work[k].coeffs, work[k].side, baseSide, work[k].visibleRows,
                        PlaneWeight((int)(k % 3), options.subsample)});

    // Each pass quantises with the costs of the stream the pass before made,
    // the first with a rough guess.
    RunCosts costs;
    MakeRunCosts({}, &costs);
    std::vector<std::vector<int32_t>> quantized;
    const double lambda = LambdaFor(options.quality);
    for (int pass = 0; pass < 3; pass++) {
        QuantizeRdo(jobs, costs, lambda, &quantized);
        planeBytes->clear();
        for (const std::vector<int32_t> &q : quantized) {
            const uint8_t *bytes = (const uint8_t *)q.data();
            planeBytes->insert(planeBytes->end(), bytes, bytes + q.size() * 4);
        }
        controls->clear();
        AppendRuns(planeBytes->data(), planeBytes->size(), &costs, controls);
        MakeRunCosts(*controls, &costs);
    }

    // Each offset also takes off the mean error that the decoder's rounding
    // leaves over the rows the picture shows.
    for (size_t k = 0; k < work.size(); k++) {
        PlaneWork &w = work[k];
        if (!SynthesisFits(quantized[k], w.side, baseSide))
            return false;
        std::vector<int32_t> back = quantized[k];
        InverseTransformPlane(back.data(), w.side, baseSide, w.visibleRows);
        size_t shown = (size_t)w.visibleRows * w.side;
        double bias = 0;
        for (size_t i = 0; i < shown; i++)
            bias += w.target[i] - back[i];
        PutField(header, w.field, w.offset + (shown ? (int32_t)lround(bias / shown) : 0));
    }
    return true;
}

bool EncodeArt(const uint8_t *bgr, int width, int height, const ArtEncodeOptions &options,
               std::vector<uint8_t> *art, std::string *error, ArtEncodeReport *report)
{
    if (options.pieces != 1 && options.pieces != 4)
        return Fail(error, "the piece count must be 1 or 4");
    if (options.quality < 1 || options.quality > 100)
        return Fail(error, "the quality must be 1-100");
    if (width < 1 || height < 1 || width > 8192 || height > 8192)
        return Fail(error, "the picture must be 1 x 1 to 8192 x 8192 pixels");
    int perSide = options.pieces == 4 ? 2 : 1;
    int m = width / perSide;
    if (perSide == 1 && height > width)
        return Fail(error, "a 1-piece picture may not be taller than wide; use --pieces 4");
    if (perSide == 2 && (width % 2 || height % 2))
        return Fail(error, "a 4-piece picture needs an even width and height");
    if (perSide == 2 && (height < m || height > width))
        return Fail(error, "a 4-piece picture must be between half and all of its width tall");
    int baseSide = options.baseSide ? options.baseSide : ChooseBaseSide(m, options.subsample);
    int c = options.subsample ? m / 2 : m;
    if (!IsLevelSide(m, baseSide) || !IsLevelSide(c, baseSide) || (options.subsample && c * 2 != m))
        return Fail(error, "the piece side " + std::to_string(m) + " is not the base side " +
                               std::to_string(baseSide) + " times a power of two" +
                               (options.subsample ? " (twice that at least when subsampled)" : ""));

    // A chosen base side grows (one level fewer) until the decoder's
    // arithmetic holds every plane; a given one must hold as it is.
    std::vector<uint8_t> header, planeBytes, controls;
    while (!EncodePieces(bgr, width, height, options, baseSide, &header, &planeBytes, &controls)) {
        if (options.baseSide || !IsLevelSide(c, baseSide * 2))
            return Fail(error, "the base side " + std::to_string(baseSide) +
                                   " leaves too many levels for this picture's contrast; choose a larger one");
        baseSide *= 2;
    }
    std::vector<uint8_t> data = HuffmanPack(controls);

    // The stream size is what the decoder's Huffman stage gives for this
    // data: the control bytes and the few that the padding spells.
    std::vector<uint8_t> padded = data;
    padded.resize(data.size() + 4, 0);
    std::vector<uint8_t> stream(controls.size() + 1024);
    HuffmanResult decoded = DecodeHuffman(stream.data(), stream.size(), padded.data(), data.size());
    if (decoded.fault != kHuffmanOk || decoded.written < controls.size() ||
        memcmp(stream.data(), controls.data(), controls.size()) != 0)
        return Fail(error, "internal error: the Huffman code does not decode to its stream");
    PutField(&header, kArtStreamSize, (int32_t)decoded.written);

    art->assign(header.begin(), header.end());
    art->insert(art->end(), data.begin(), data.end());
    if (report) {
        report->pieceSide = m;
        report->baseSide = baseSide;
        report->levels = 0;
        for (int b = baseSide; b < m; b *= 2)
            report->levels++;
        report->controlBytes = controls.size();
        report->fileBytes = art->size();
    }
    return true;
}
