// quennel-art-bits: where the bytes of an art file go, and what the format's
// transform could give at that size with an ideal entropy coder.
//
//   quennel-art-bits PICTURE BYTES [--pieces 1|4] [--subsample | --full-chroma]
//
// Encodes the picture at --size BYTES with the encoder's default choices
// (or the layout given), then prints:
//  - the control bytes by kind (zero runs, single-control values, runs of
//    255, literal copies) with their count and Huffman bits, against the
//    stream's order-0 entropy;
//  - the coefficients by kind (0, -1, one cheap byte, one literal byte,
//    larger) and the bits a significant coefficient (neither 0 nor -1) costs;
//  - per wavelet level of Y, the share of significant coefficients;
//  - the estimate: the same transform's coefficients through a uniform
//    quantiser with a dead zone, each band coded by an ideal adaptive coder,
//    (a) order 0 per band, (b) with a context of the neighbours' and the
//    parent's magnitudes as a strong wavelet coder has it; the PSNR each
//    reaches at BYTES. The format codes every coefficient as four bytes run-
//    length coded with one static Huffman code for the whole file, which is
//    no better than (b) in practice; (b) is what the transform allows.
#include "decoder/art.h"
#include "decoder/huffman.h"
#include "tools/art/artencode.h"
#include "tools/art/encode_stages.h"
#include "tools/art/picture.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <queue>
#include <string>
#include <vector>

// Huffman code lengths of a histogram (no length limit: an estimate).
static void CodeLengths(const size_t counts[256], int lengths[256])
{
    struct Node {
        size_t weight;
        int index;
    };
    auto heavier = [](const Node &a, const Node &b) { return a.weight > b.weight; };
    std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
    std::vector<int> parent(512, -1);
    int next = 256;
    for (int i = 0; i < 256; i++) {
        lengths[i] = 0;
        if (counts[i])
            queue.push({counts[i], i});
    }
    if (queue.size() == 1) {
        lengths[queue.top().index] = 1;
        return;
    }
    while (queue.size() > 1) {
        Node a = queue.top();
        queue.pop();
        Node b = queue.top();
        queue.pop();
        parent[a.index] = parent[b.index] = next;
        queue.push({a.weight + b.weight, next++});
    }
    for (int i = 0; i < 256; i++)
        if (counts[i])
            for (int at = i; parent[at] >= 0; at = parent[at])
                lengths[i]++;
}

// The control bytes' expansion (bounded by the room given).
static std::vector<uint8_t> Expand(const std::vector<uint8_t> &controls, size_t room)
{
    std::vector<uint8_t> out;
    out.reserve(room + 8192);
    for (size_t i = 0; i < controls.size() && out.size() < room;) {
        uint8_t b = controls[i++];
        switch (b & 0xE0) {
        case 0x00: out.insert(out.end(), b + 1u, 0); break;
        case 0x20: out.push_back((uint8_t)((b & 15) * 16)); break;
        case 0x40: {
            size_t n = i < controls.size() ? controls[i++] : 0;
            out.insert(out.end(), (b & 31) * 256u + n + 1, 0);
            break;
        }
        case 0x60: out.push_back((uint8_t)((b & 15) * 16 + 15)); break;
        case 0x80: out.insert(out.end(), (b & 31) + 1u, 255); break;
        case 0xC0:
            for (int k = 0; k <= (b & 31) && i < controls.size(); k++)
                out.push_back(controls[i++]);
            break;
        default: break;
        }
    }
    out.resize(room, 0);
    return out;
}

// One band of one plane: where it starts in the stream, its side, and the
// band one level coarser of the same orientation (its parent), if any.
struct Band {
    size_t start;
    int side, level, plane;  // level 0 is the coarsest band; plane 0 Y, 1 U, 2 V
    long parent;             // index into the band list, or -1
};

static std::vector<Band> Bands(const PreparedArt &p)
{
    std::vector<Band> bands;
    for (size_t k = 0; k < p.planes.size(); k++) {
        const PreparedPlane &plane = p.planes[k];
        int b0 = p.layout.baseSide;
        bands.push_back({plane.start, b0, 0, (int)(k % 3), -1});
        long before[3] = {-1, -1, -1};
        int level = 1;
        for (int b = b0; b < plane.side; b *= 2, level++)
            for (int block = 1; block <= 3; block++) {
                bands.push_back({plane.start + (size_t)block * b * b, b, level, (int)(k % 3), before[block - 1]});
                before[block - 1] = (long)bands.size() - 1;
            }
    }
    return bands;
}

// Ideal adaptive code length of symbols counted by context, in bits:
// the empirical conditional entropy plus, for each context, a model cost of
// half log2 of its count per symbol value used.
static double IdealBits(const std::vector<size_t> &counts)
{
    double bits = 0;
    for (size_t at = 0; at < counts.size(); at += 16) {
        size_t total = 0, used = 0;
        for (int s = 0; s < 16; s++)
            total += counts[at + s], used += counts[at + s] > 0;
        for (int s = 0; s < 16; s++)
            if (counts[at + s])
                bits -= counts[at + s] * log2((double)counts[at + s] / total);
        if (total)
            bits += 0.5 * used * log2((double)total + 1);
    }
    return bits;
}

struct Estimate {
    double bits[2];   // order 0 per band, with context
    double distortion;
};

// The stream through a uniform quantiser of this step (rounding offset
// 0.5 - deadZone), coded ideally, as Estimate says.
static Estimate UniformEstimate(const PreparedArt &p, const std::vector<Band> &bands, const std::vector<float> &weight,
                                double step, double deadZone)
{
    const std::vector<float> &values = p.stream.values;
    std::vector<int32_t> q(values.size());
    Estimate e{{0, 0}, 0};
    for (size_t i = 0; i < values.size(); i++) {
        if (weight[i] <= 0) {
            q[i] = 0;
            continue;
        }
        double a = fabs(values[i]) / step;
        int32_t n = (int32_t)floor(a + 0.5 - deadZone);
        if (n < 0)
            n = 0;
        q[i] = values[i] < 0 ? -n : n;
        double d = values[i] - q[i] * step;
        e.distortion += weight[i] * d * d;
    }
    // Magnitudes up to 14 are symbols, larger ones an escape and an
    // Elias-gamma count; a sign bit for each non-zero value.
    // 16 symbol counts per band (order 0), per band and context (27 each).
    std::vector<size_t> order0(16 * bands.size()), context(16 * 27 * bands.size());
    double extra = 0;
    auto symbol = [&](int32_t v) {
        uint32_t m = (uint32_t)abs(v);
        if (m)
            extra += 1;
        if (m >= 15) {
            extra += 2 * floor(log2((double)(m - 14))) + 1;
            return 15;
        }
        return (int)m;
    };
    auto cls = [](int32_t v) { return std::min(2, abs(v)); };
    for (size_t k = 0; k < bands.size(); k++) {
        const Band &band = bands[k];
        int s = band.side;
        for (int r = 0; r < s; r++)
            for (int c = 0; c < s; c++) {
                size_t i = band.start + (size_t)r * s + c;
                if (weight[i] <= 0)
                    continue;
                int sym = symbol(q[i]);
                order0[16 * k + sym]++;
                int left = c ? cls(q[i - 1]) : 0, up = r ? cls(q[i - s]) : 0;
                int parent = 0;
                if (band.parent >= 0) {
                    const Band &pb = bands[band.parent];
                    parent = cls(q[pb.start + (size_t)(r / 2) * pb.side + c / 2]);
                }
                context[16 * (27 * k + left * 9 + up * 3 + parent) + sym]++;
            }
    }
    e.bits[0] = IdealBits(order0) + extra;
    e.bits[1] = IdealBits(context) + extra;
    return e;
}

static double PsnrOfDistortion(const PreparedArt &p, double distortion)
{
    double mse = MeanSquaredLevels(p, distortion + p.chromaLoss);
    return 10 * log10(255.0 * 255.0 / mse);
}

static const char *kKinds[] = {"zero run 1-32", "value 16k", "zero run long", "value 16k+15", "run of 255",
                               "(none)", "literal copy", "(none)"};

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: quennel-art-bits PICTURE BYTES [--pieces 1|4] [--subsample | --full-chroma]\n");
        return 2;
    }
    std::vector<uint8_t> bgr;
    int width, height;
    std::string error;
    if (!ReadPicture(argv[1], &bgr, &width, &height, &error)) {
        fprintf(stderr, "quennel-art-bits: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    ArtEncodeOptions options;
    options.targetBytes = (size_t)atoll(argv[2]);
    for (int i = 3; i < argc; i++) {
        if (!strcmp(argv[i], "--pieces") && i + 1 < argc)
            options.pieces = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--subsample"))
            options.subsample = 1;
        else if (!strcmp(argv[i], "--full-chroma"))
            options.subsample = 0;
        else {
            fprintf(stderr, "quennel-art-bits: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    std::vector<uint8_t> art;
    ArtEncodeReport report;
    if (!EncodeArt(bgr.data(), width, height, options, &art, &error, &report)) {
        fprintf(stderr, "quennel-art-bits: %s\n", error.c_str());
        return 1;
    }
    ArtFile *file = OpenArtBytes("bits.art", art.data(), art.size());
    uint8_t *decoded = DecodeArt(file);
    double psnr = PicturePsnrDb(bgr.data(), decoded, bgr.size());
    free(decoded);
    std::vector<uint8_t> controls(file->header[kArtStreamSize] + 1024);
    HuffmanResult h = DecodeHuffman(controls.data(), controls.size(), file->data, file->dataSize);
    controls.resize(h.written);
    CloseArt(file);
    printf("%s: %zu bytes, %s, %d piece(s), base side %d, %.2f dB\n", argv[1], art.size(),
           report.subsampled ? "subsampled" : "full chroma", report.pieces, report.baseSide, psnr);

    // Control bytes by kind, and their Huffman bits.
    size_t counts[256] = {0};
    std::vector<int> kindOf(controls.size());
    size_t kindCount[8] = {0}, kindSymbols[8] = {0};
    for (size_t i = 0; i < controls.size();) {
        int kind = controls[i] >> 5;
        size_t n = kind == 2 ? 2 : kind == 6 ? 2 + (controls[i] & 31) : 1;
        kindCount[kind]++;
        for (size_t k = i; k < std::min(i + n, controls.size()); k++)
            kindOf[k] = kind, counts[controls[k]]++, kindSymbols[kind]++;
        i += n;
    }
    int lengths[256];
    CodeLengths(counts, lengths);
    double kindBits[8] = {0}, entropy = 0, huffman = 0;
    for (size_t i = 0; i < controls.size(); i++)
        kindBits[kindOf[i]] += lengths[controls[i]];
    for (int b = 0; b < 256; b++)
        if (counts[b]) {
            entropy -= counts[b] * log2((double)counts[b] / controls.size());
            huffman += (double)counts[b] * lengths[b];
        }
    double dataBits = 8.0 * (art.size() - kArtHeaderSize);
    printf("\ncontrol bytes: %zu; data %.0f bytes; Huffman %.0f bytes, order-0 entropy %.0f bytes (%.1f%% under)\n",
           controls.size(), dataBits / 8, huffman / 8, entropy / 8, 100 * (1 - entropy / huffman));
    printf("| kind | controls | bytes of the stream | share of the bits | bits a control |\n|---|---:|---:|---:|---:|\n");
    for (int k = 0; k < 8; k++)
        if (kindCount[k])
            printf("| %s | %zu | %zu | %.1f%% | %.2f |\n", kKinds[k], kindCount[k], kindSymbols[k],
                   100 * kindBits[k] / huffman, kindBits[k] / kindCount[k]);

    // Coefficients by kind.
    PreparedArt prepared;
    PrepareArt(bgr.data(), width, height, {report.pieces, report.subsampled, report.baseSide}, &prepared);
    size_t n = prepared.stream.values.size();
    std::vector<uint8_t> bytes = Expand(controls, 4 * n);
    const int32_t *q = (const int32_t *)bytes.data();
    std::vector<float> weight(n, 0);
    for (const CoefficientStream::Segment &s : prepared.stream.segments)
        std::fill(weight.begin() + s.start, weight.begin() + s.start + s.count, s.weight);
    size_t kinds[5] = {0};
    for (size_t i = 0; i < n; i++) {
        int32_t v = q[i];
        int lo = v & 15;
        kinds[v == 0 ? 0 : v == -1 ? 1 : v < -256 || v > 255 ? 4 : lo == 0 || lo == 15 ? 2 : 3]++;
    }
    size_t significant = n - kinds[0] - kinds[1];
    printf("\ncoefficients: %zu; 0: %.1f%%, -1: %.2f%%, one cheap byte: %.2f%%, one literal byte: %.2f%%, "
           "larger: %.3f%%\n",
           n, 100.0 * kinds[0] / n, 100.0 * kinds[1] / n, 100.0 * kinds[2] / n, 100.0 * kinds[3] / n,
           100.0 * kinds[4] / n);
    printf("significant: %zu, %.2f bits each (all the file's bits over them), %.2f control bytes each\n", significant,
           dataBits / significant, (double)controls.size() / significant);

    // Significant coefficients of Y by level.
    std::vector<Band> bands = Bands(prepared);
    std::map<int, std::pair<size_t, size_t>> byLevel;
    for (const Band &band : bands) {
        if (band.plane != 0)
            continue;
        size_t count = (size_t)band.side * band.side;
        for (size_t i = band.start; i < band.start + count; i++)
            byLevel[band.level].first += q[i] != 0 && q[i] != -1;
        byLevel[band.level].second += count;
    }
    printf("Y significant by level (0 coarsest):");
    for (auto &l : byLevel)
        printf(" %d: %.1f%%", l.first, 100.0 * l.second.first / l.second.second);
    printf("\n");

    // The transform with an ideal coder at this size: the step whose bits
    // meet the data's, found by bisection on its log, for each coder.
    printf("\nthe same transform, uniform quantiser, ideal adaptive coder at %.0f bytes:\n", dataBits / 8);
    for (int coder = 0; coder < 2; coder++) {
        double best = 0, bestStep = 0, bestZone = 0;
        for (double zone : {0.1, 0.25}) {
            double lo = log(0.5), hi = log(4096.0);
            Estimate at{};
            for (int it = 0; it < 14; it++) {
                double mid = 0.5 * (lo + hi);
                at = UniformEstimate(prepared, bands, weight, exp(mid), zone);
                if (at.bits[coder] > dataBits)
                    lo = mid;
                else
                    hi = mid;
            }
            at = UniformEstimate(prepared, bands, weight, exp(hi), zone);
            double p = PsnrOfDistortion(prepared, at.distortion);
            if (p > best)
                best = p, bestStep = exp(hi), bestZone = zone;
        }
        printf("  %s: %.2f dB (step %.1f, dead zone %.2f)\n", coder ? "with context" : "order 0 per band", best,
               bestStep, bestZone);
        if (coder)
            continue;
        // The same quantiser at the nearest step of 16 (single control
        // bytes below 256), its values through the format's run-length
        // coder and Huffman code, against the ideal coder's bits for them.
        int step = std::max(16, (int)lrint(bestStep / 16) * 16);
        Estimate at = UniformEstimate(prepared, bands, weight, step, bestZone);
        std::vector<int32_t> values(n);
        for (size_t i = 0; i < n; i++) {
            double a = weight[i] > 0 ? fabs(prepared.stream.values[i]) / step : 0;
            int32_t m = std::max(0, (int32_t)floor(a + 0.5 - bestZone)) * step;
            values[i] = prepared.stream.values[i] < 0 ? -m : m;
        }
        std::vector<uint8_t> runs;
        AppendRuns((const uint8_t *)values.data(), 4 * n, nullptr, &runs);
        RunCosts fitted;
        MakeRunCosts(runs, &fitted);
        runs.clear();
        AppendRuns((const uint8_t *)values.data(), 4 * n, &fitted, &runs);
        printf("  step %d, %.2f dB: ideal coder %.0f bytes, order 0 per band; the format %zu bytes (%.2f times)\n",
               step, PsnrOfDistortion(prepared, at.distortion), at.bits[0] / 8, HuffmanPackedSize(runs),
               HuffmanPackedSize(runs) / (at.bits[0] / 8));
    }
    return 0;
}
