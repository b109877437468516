// Rate-distortion quantisation: each coefficient takes the value that costs
// least in picture error plus bits, bits counted as the run-length coder and
// the Huffman code will spend them.
//
// A coefficient is four bytes, lowest first. Zero, and -1 (four bytes 255),
// only lengthen the run of zero or 255 bytes that is open, or start one. A
// value from -255 to 254 other than those is one byte b (a single control
// when its low four bits are 0 or 15, a one-byte literal copy otherwise)
// followed by a new run of three bytes 0 or 255: its bits do not depend on
// what came before. Larger values go byte by byte.
#include "tools/art/encode_stages.h"

#include "base/kernels.h"
#include "base/team.h"

#include <math.h>

#include <algorithm>

namespace {

enum RunKind : uint8_t { kNoRun, kZeroRun, kFfRun };

// The run of zero or 255 bytes left open by the coefficients so far.
struct OpenRun {
    RunKind kind;
    uint32_t length;  // bytes
};

// A range starts as if after a long zero run, whatever came before it.
constexpr uint32_t kRangeStartRun = 4 * 8192;

// Values weighed for a coefficient other than 0 and -1 (Candidates).
constexpr int kCandidates = 7;
// The first five candidates, or all seven when lambda is at least
// kWideLambda: a further multiple of 16 leaves at least 192 w more error
// than the nearer ones (w = 3 for Y, the lightest plane), which the bits it
// saves pay for only at a large lambda. On the painted test pictures the
// further values gained 0.1-0.5 dB at lambdas of 1000-4000 (busy and
// photograph-like pictures at the JPEG's size) and nothing below 500; below
// it they are not weighed, and the finer files stay as they were.
constexpr int kNearCandidates = 5;
constexpr double kWideLambda = 600;

// What each choice costs at one lambda, in lambda times bits, so that the
// inner loop only adds.
struct PassCosts {
    const RunCosts *runs;
    double lambda;
    std::vector<double> zeroMore;  // [length mod 8192]: four more zero bytes after a zero run
    double ffMore[32];             // [length mod 32]: four more bytes 255 after a run of them
    double zeroNew, ffNew;         // a new run of four zero bytes, or of four bytes 255
    float head[512];               // [v + 256]: a value v of -255 ... 254 but 0 and -1, with its run of three (else infinite)
    bool wide;                     // all the candidates weighed, not only the near ones
    int candidates;                // how many
};

struct QuantizeJob {
    const CoefficientStream *stream;
    const PassCosts *costs;
    int32_t *out;
    const std::vector<StreamRange> *ranges;
    std::vector<size_t> firstRange;      // by task, and one past the last task
    std::vector<QuantizeTotals> totals;  // by range
    std::vector<uint8_t> steps[2][2];    // each member's back pointers for two ranges, a byte a coefficient
};

}  // namespace

// ZeroFloorBits and FfFloorBits, inline: runs of 8192 zero bytes or 32 bytes
// 255 to each control byte.
static inline double RunBits(const RunCosts &c, RunKind kind, uint32_t n)
{
    if (kind == kZeroRun)
        return (n >> 13) * c.zeroFloor[8192] + c.zeroFloor[n & 8191];
    return (n >> 5) * c.ffFloor[32] + c.ffFloor[n & 31];
}

// Bits of any value, byte by byte: bytes 0 and 255 lengthen or start runs,
// other bytes are single controls or literal copies (a copy shared by the
// value's literal bytes in a row).
static double AnyValueBits(const RunCosts &c, OpenRun *run, int32_t v)
{
    uint32_t u = (uint32_t)v;
    double bits = 0;
    int literal = 0;
    for (int i = 0; i < 4; i++) {
        uint8_t b = (uint8_t)(u >> (8 * i));
        if (b == 0 || b == 255) {
            RunKind kind = b ? kFfRun : kZeroRun;
            if (run->kind == kind) {
                bits += RunBits(c, kind, run->length + 1) - RunBits(c, kind, run->length);
                run->length++;
            } else {
                bits += RunBits(c, kind, 1);
                *run = {kind, 1};
            }
            literal = 0;
            continue;
        }
        *run = {kNoRun, 0};
        if ((b & 15) == 0 || (b & 15) == 15) {
            bits += c.symbol[(b & 15) == 0 ? 0x20 | b >> 4 : 0x60 | b >> 4];
            literal = 0;
        } else if (literal > 0 && literal < 32) {
            bits += c.symbol[b] + c.symbol[0xC0 | literal] - c.symbol[0xC0 | (literal - 1)];
            literal++;
        } else {
            bits += c.symbol[0xC0] + c.symbol[b];
            literal = 1;
        }
    }
    return bits;
}

static void MakePassCosts(const RunCosts &runs, double lambda, PassCosts *pc)
{
    pc->runs = &runs;
    pc->lambda = lambda;
    pc->wide = lambda >= kWideLambda;
    pc->candidates = pc->wide ? kCandidates : kNearCandidates;
    // The floors grow by whole runs of 8192 (or 32) bytes: four more bytes
    // after a run of length r cost the same for every length r modulo that.
    pc->zeroMore.resize(8192);
    for (uint32_t r = 0; r < 8192; r++)
        pc->zeroMore[r] = lambda * (RunBits(runs, kZeroRun, r + 4) - RunBits(runs, kZeroRun, r));
    for (uint32_t r = 0; r < 32; r++)
        pc->ffMore[r] = lambda * (RunBits(runs, kFfRun, r + 4) - RunBits(runs, kFfRun, r));
    pc->zeroNew = lambda * RunBits(runs, kZeroRun, 4);
    pc->ffNew = lambda * RunBits(runs, kFfRun, 4);
    double start3[2] = {RunBits(runs, kZeroRun, 3), RunBits(runs, kFfRun, 3)};
    for (int v = -256; v < 256; v++) {
        int b = v & 255;
        double bits = (b & 15) == 0    ? runs.symbol[0x20 | b >> 4]
                      : (b & 15) == 15 ? runs.symbol[0x60 | b >> 4]
                                       : runs.symbol[0xC0] + runs.symbol[b];
        bool single = b != 0 && b != 255;  // 0, -1, -256 and 255 are no single byte and run
        pc->head[v + 256] = single ? (float)(lambda * (bits + start3[v < 0])) : INFINITY;
    }
}

// floor(x) for |x| < 2^31, in plain arithmetic that vectorises.
static inline int32_t Floor(float x)
{
    int32_t t = (int32_t)x;
    return t - ((float)t > x ? 1 : 0);
}

// The values other than 0 and -1 weighed for a coefficient c: the multiples
// of 16 either side (single controls, or with the byte 255 after them), the
// next multiple of 16 beyond each of those, and the nearest integer. The
// further two let a large lambda quantise as coarsely as it wants (steps of
// 48-64 on busy pictures at the JPEG's size), where the nearest multiples
// alone would hold every error within 16. At most seven, the back pointers'
// three bits. The backward walk makes them again from c.
static inline void Candidates(float c, int32_t v[kCandidates])
{
    int32_t base = Floor(c * 0.0625f) * 16;
    v[0] = base - 1;
    v[1] = base;
    v[2] = base + 15;
    v[3] = base + 16;
    v[4] = Floor(c + 0.5f);
    v[5] = base - 16;
    v[6] = base + 32;
}

// Coefficients smaller than this (by the candidates weighed) have every
// candidate within -255 ... 254, one byte and a run of three: what they cost
// does not depend on the run before them.
constexpr float kSmallValue[2] = {238, 222};
// Coefficients weighed at a time for their small values.
constexpr int kChunk = 256;

// For each coefficient c of weight w: the cheapest of the first count
// candidates (error plus lambda times bits) that leaves a zero run open
// (cost0, its number in the low four bits of choice), and the cheapest that
// leaves a run of 255s open (cost1, the high four bits): the same whichever
// run came before, when c is small (below limit). Without branches, so that
// it vectorises; every level gives the same floats (no fused multiply-adds).
template <int count>
static inline __attribute__((always_inline)) void BestValuesOf(const float *__restrict head, float w, float limit,
                                                               const float *__restrict values, int n,
                                                               float *__restrict cost0, float *__restrict cost1,
                                                               uint8_t *__restrict choice)
{
    const float kNone = 3e38f;  // no candidate of that kind
    for (int i = 0; i < n; i++) {
        float c = values[i];
        c = c < -limit ? -limit : c;
        c = c > limit ? limit : c;
        int32_t v[kCandidates];
        Candidates(c, v);
        float best0 = kNone, best1 = kNone;
        int at0 = 0, at1 = 0;
#pragma GCC unroll 16
        for (int k = 0; k < count; k++) {
            float d = c - (float)v[k];
            float e = w * d * d + head[v[k] + 256];
            float e0 = v[k] < 0 ? kNone : e, e1 = v[k] < 0 ? e : kNone;
            bool less0 = e0 < best0, less1 = e1 < best1;
            at0 = less0 ? k : at0;
            best0 = less0 ? e0 : best0;
            at1 = less1 ? k : at1;
            best1 = less1 ? e1 : best1;
        }
        cost0[i] = best0, cost1[i] = best1;
        choice[i] = (uint8_t)(at0 | at1 << 4);
    }
}
KERNEL_BODY void BestNearValuesBody(const float *__restrict head, float w, const float *__restrict values, int n,
                                    float *__restrict cost0, float *__restrict cost1, uint8_t *__restrict choice)
{
    BestValuesOf<kNearCandidates>(head, w, kSmallValue[0], values, n, cost0, cost1, choice);
}
KERNEL_BODY void BestWideValuesBody(const float *__restrict head, float w, const float *__restrict values, int n,
                                    float *__restrict cost0, float *__restrict cost1, uint8_t *__restrict choice)
{
    BestValuesOf<kCandidates>(head, w, kSmallValue[1], values, n, cost0, cost1, choice);
}
KERNEL_LEVELS(BestNearValues,
              (const float *head, float w, const float *values, int n, float *cost0, float *cost1, uint8_t *choice),
              (head, w, values, n, cost0, cost1, choice))
KERNEL_LEVELS(BestWideValues,
              (const float *head, float w, const float *values, int n, float *cost0, float *cost1, uint8_t *choice),
              (head, w, values, n, cost0, cost1, choice))

static void BestSmallValues(const PassCosts &pc, float w, const float *values, int n, float *cost0, float *cost1,
                            uint8_t *choice)
{
    if (pc.wide)
        BestWideValues(pc.head, w, values, n, cost0, cost1, choice);
    else
        BestNearValues(pc.head, w, values, n, cost0, cost1, choice);
}

// A range's back pointers: for each coefficient a byte, bit 0 which run the
// path to a zero run came from (1: a run of 255s), bit 1 the same for the
// path to a run of 255s, bits 2-4 the value on the first path (0 for zero,
// else the candidate plus 1) and bits 5-7 on the second (0 for -1).
static inline int32_t StepValue(uint8_t step, int path, float c)
{
    int choice = path ? step >> 5 : (step >> 2) & 7;
    if (choice == 0)
        return path ? -1 : 0;
    int32_t v[kCandidates];
    Candidates(c, v);
    return v[choice - 1];
}

namespace {

// The two paths of the search (below) after some coefficient: the cheapest
// that leaves a zero run open and the cheapest that leaves a run of 255s
// open, each with its cost (lambda times bits plus the weighted squared
// error) and its run's length in bytes.
struct Paths {
    double cost0, cost1;
    uint32_t length0, length1;
};

// One range's walk through the search, a span of one weight at a time.
struct RangeWalk {
    size_t from, to;  // the range
    std::vector<CoefficientStream::Segment>::const_iterator first, seg, segEnd;
    size_t at, spanEnd;  // the next coefficient, and the end of its span of one weight
    double weight;
    Paths paths;
    uint8_t *steps;  // back pointers, indexed by the coefficient's place in the stream
    bool finished;
};

}  // namespace

// One coefficient c (of weight w) of the search: the two paths after it
// from the two before, and its back pointers into *step. other0 and other1
// are the costs of the cheapest small values that leave each run open
// (choice their candidates), from BestSmallValues.
static inline __attribute__((always_inline)) void SearchStep(const PassCosts &pc, Paths &p, double w, float value,
                                                             float other0, float other1, uint8_t choice,
                                                             uint8_t *stepOut)
{
    const RunCosts &runs = *pc.runs;
    const double c = value;
    // Zero, from either run (from the zero run on a tie); -1 likewise.
    double stay0 = p.cost0 + pc.zeroMore[p.length0 & 8191], switch0 = p.cost1 + pc.zeroNew;
    bool fromFf0 = switch0 < stay0;
    double next0 = (fromFf0 ? switch0 : stay0) + w * c * c;
    uint32_t nextLength0 = fromFf0 ? 4 : p.length0 + 4;
    double stay1 = p.cost1 + pc.ffMore[p.length1 & 31], switch1 = p.cost0 + pc.ffNew;
    bool fromFf1 = stay1 < switch1;
    double next1 = (fromFf1 ? stay1 : switch1) + w * (c + 1) * (c + 1);
    uint32_t nextLength1 = fromFf1 ? p.length1 + 4 : 4;
    unsigned step = (unsigned)fromFf0 | (unsigned)fromFf1 << 1;
    // Other values, after whichever path is cheaper: their bytes end the run
    // before them and start one of three bytes.
    int at = p.cost1 < p.cost0 ? 1 : 0;
    double before = at ? p.cost1 : p.cost0;
    if (fabs(c) < kSmallValue[pc.wide]) {
        double value0 = before + other0, value1 = before + other1;
        bool take0 = value0 < next0, take1 = value1 < next1;
        next0 = take0 ? value0 : next0;
        nextLength0 = take0 ? 3 : nextLength0;
        step = take0 ? (step & 0xE2) | at | ((choice & 15) + 1) << 2 : step;
        next1 = take1 ? value1 : next1;
        nextLength1 = take1 ? 3 : nextLength1;
        step = take1 ? (step & 0x1D) | at << 1 | ((choice >> 4) + 1) << 5 : step;
    } else {
        // Large values: their bytes may lengthen the run before.
        int32_t candidates[kCandidates];
        Candidates(value, candidates);
        for (int k = 0; k < pc.candidates; k++) {
            int32_t v = candidates[k];
            if (v == 0 || v == -1)
                continue;
            double cost = before + w * (c - v) * (c - v);
            OpenRun after;
            if (v > -256 && v < 255) {
                after = {v < 0 ? kFfRun : kZeroRun, 3};
                cost += pc.head[v + 256];
            } else {
                after = {at ? kFfRun : kZeroRun, at ? p.length1 : p.length0};
                cost += pc.lambda * AnyValueBits(runs, &after, v);
                if (after.kind == kNoRun)
                    after = {kZeroRun, 0};
            }
            if (after.kind == kFfRun) {
                if (cost < next1) {
                    next1 = cost, nextLength1 = after.length;
                    step = (step & 0x1D) | at << 1 | (k + 1) << 5;
                }
            } else if (cost < next0) {
                next0 = cost, nextLength0 = after.length;
                step = (step & 0xE2) | at | (k + 1) << 2;
            }
        }
    }
    *stepOut = (uint8_t)step;
    p = {next0, next1, nextLength0, nextLength1};
}

// Moves the walk to its next span of coefficients the picture shows,
// passing over those it does not show in one run of zeros each; finished at
// the range's end.
static void Settle(const PassCosts &pc, RangeWalk &r)
{
    const RunCosts &runs = *pc.runs;
    for (;;) {
        while (r.seg != r.segEnd && r.seg->start + r.seg->count <= r.at)
            ++r.seg;
        if (r.at >= r.to || r.seg == r.segEnd) {
            r.finished = true;
            return;
        }
        size_t end = std::min(r.to, r.seg->start + r.seg->count);
        if (r.seg->weight > 0) {
            r.weight = r.seg->weight;
            r.spanEnd = end;
            return;
        }
        Paths &p = r.paths;
        uint32_t bytes = (uint32_t)(4 * (end - r.at));
        double viaZero = p.cost0 + pc.lambda * (RunBits(runs, kZeroRun, p.length0 + bytes) -
                                                RunBits(runs, kZeroRun, p.length0));
        double viaFf = p.cost1 + pc.lambda * RunBits(runs, kZeroRun, bytes);
        std::fill(r.steps + r.at, r.steps + end, 0);
        if (viaFf < viaZero) {
            r.steps[r.at] = 1;
            p.cost0 = viaFf, p.length0 = bytes;
        } else {
            p.cost0 = viaZero, p.length0 += bytes;
        }
        p.cost1 = INFINITY;
        r.at = end;
    }
}

static void StartWalk(const QuantizeJob &job, size_t number, uint8_t *steps, RangeWalk *r)
{
    const CoefficientStream &stream = *job.stream;
    const StreamRange &range = (*job.ranges)[number];
    r->from = r->at = range.start;
    r->to = range.start + range.count;
    r->first = std::upper_bound(stream.segments.begin(), stream.segments.end(), r->from,
                                [](size_t at, const CoefficientStream::Segment &s) { return at < s.start + s.count; });
    r->seg = r->first;
    r->segEnd = stream.segments.end();
    r->paths = {0, INFINITY, kRangeStartRun, 0};
    r->steps = steps - range.start;
    r->finished = false;
    Settle(*job.costs, *r);
}

// Back from the cheaper end; then the error of the values chosen.
static void FinishWalk(QuantizeJob &job, size_t number, const RangeWalk &r)
{
    const CoefficientStream &stream = *job.stream;
    const float *values = stream.values.data();
    int path = r.paths.cost1 < r.paths.cost0 ? 1 : 0;
    double cost = path ? r.paths.cost1 : r.paths.cost0;
    for (size_t i = r.to; i-- > r.from;) {
        uint8_t step = r.steps[i];
        job.out[i] = StepValue(step, path, values[i]);
        path = (step >> path) & 1;
    }
    double error = 0;
    for (auto seg = r.first; seg != stream.segments.end() && seg->start < r.to; ++seg) {
        size_t begin = std::max(r.from, seg->start), end = std::min(r.to, seg->start + seg->count);
        double sum = 0;
        for (size_t i = begin; i < end; i++) {
            double d = values[i] - job.out[i];
            sum += d * d;
        }
        error += seg->weight * sum;
    }
    const StreamRange &range = (*job.ranges)[number];
    job.totals[number].distortion = error * range.scale;
    job.totals[number].bits = (cost - error) / job.costs->lambda * range.scale;
}

// A Viterbi search over each range: two paths are kept, the cheapest that
// leaves a zero run open and the cheapest that leaves a run of 255s open, so
// that a value which ends the run of its neighbours is weighed with the run
// that must start again after it. Two ranges are searched side by side, so
// that the processor works on one while the other's last step completes.
static void QuantizeRangePair(QuantizeJob &job, size_t first, size_t second, int member)
{
    const PassCosts &pc = *job.costs;
    const float *values = job.stream->values.data();
    RangeWalk walks[2];
    StartWalk(job, first, job.steps[member][0].data(), &walks[0]);
    if (second != first)
        StartWalk(job, second, job.steps[member][1].data(), &walks[1]);
    else
        walks[1].finished = true;
    float other0[2][kChunk], other1[2][kChunk];
    uint8_t choice[2][kChunk];
    while (!walks[0].finished || !walks[1].finished) {
        RangeWalk &a = walks[walks[0].finished ? 1 : 0], &b = walks[1];
        bool both = !walks[0].finished && !walks[1].finished;
        size_t n = std::min((size_t)kChunk, a.spanEnd - a.at);
        if (both)
            n = std::min(n, b.spanEnd - b.at);
        BestSmallValues(pc, (float)a.weight, values + a.at, (int)n, other0[0], other1[0], choice[0]);
        if (both) {
            BestSmallValues(pc, (float)b.weight, values + b.at, (int)n, other0[1], other1[1], choice[1]);
            Paths pa = a.paths, pb = b.paths;
            const double wa = a.weight, wb = b.weight;
            const float *va = values + a.at, *vb = values + b.at;
            uint8_t *sa = a.steps + a.at, *sb = b.steps + b.at;
            for (size_t j = 0; j < n; j++) {
                SearchStep(pc, pa, wa, va[j], other0[0][j], other1[0][j], choice[0][j], sa + j);
                SearchStep(pc, pb, wb, vb[j], other0[1][j], other1[1][j], choice[1][j], sb + j);
            }
            a.paths = pa, b.paths = pb;
            b.at += n;
        } else {
            Paths pa = a.paths;
            const double wa = a.weight;
            const float *va = values + a.at;
            uint8_t *sa = a.steps + a.at;
            for (size_t j = 0; j < n; j++)
                SearchStep(pc, pa, wa, va[j], other0[0][j], other1[0][j], choice[0][j], sa + j);
            a.paths = pa;
        }
        a.at += n;
        for (RangeWalk &r : walks)
            if (!r.finished && r.at >= r.spanEnd)
                Settle(pc, r);
    }
    FinishWalk(job, first, walks[0]);
    if (second != first)
        FinishWalk(job, second, walks[1]);
}

static void QuantizeTask(Team *team, int number, int member)
{
    QuantizeJob &job = *(QuantizeJob *)team->context;
    size_t from = job.firstRange[number], to = job.firstRange[number + 1];
    for (size_t r = from; r < to; r += 2)
        QuantizeRangePair(job, r, std::min(r + 1, to - 1), member);
}

void QuantizeStream(const CoefficientStream &stream, const std::vector<StreamRange> &ranges, const RunCosts &costs,
                    double lambda, int32_t *out, QuantizeTotals *totals)
{
    PassCosts pc;
    MakePassCosts(costs, lambda, &pc);
    QuantizeJob job;
    job.stream = &stream;
    job.costs = &pc;
    job.out = out;
    job.ranges = &ranges;
    // Tasks of about two blocks' coefficients each, searched in pairs.
    size_t longest = 0, gathered = 2 * kQuantizeBlock;
    for (size_t r = 0; r < ranges.size(); r++) {
        if (gathered >= 2 * kQuantizeBlock) {
            job.firstRange.push_back(r);
            gathered = 0;
        }
        gathered += ranges[r].count;
        longest = std::max(longest, (size_t)ranges[r].count);
    }
    job.firstRange.push_back(ranges.size());
    job.totals.resize(ranges.size());
    for (auto &member : job.steps)
        for (std::vector<uint8_t> &steps : member)
            steps.resize(longest);
    RunTeam(QuantizeTask, &job, (int)job.firstRange.size() - 1);
    *totals = QuantizeTotals();
    for (const QuantizeTotals &t : job.totals) {
        totals->distortion += t.distortion;
        totals->bits += t.bits;
    }
}
