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

// A stretch starts as if after a long zero run, whatever came before it.
constexpr OpenRun kStretchStart = {kZeroRun, 4 * 8192};
// Stretches the stream is cut into: the same for any number of threads.
constexpr int kStretches = 16;

struct ValueCosts {
    const RunCosts *runs;
    float head[256];   // bits of a low byte b (1-254) followed by fill bytes
    float start3[3];   // bits of a new run of three zero bytes [kZeroRun] or 255s [kFfRun]
    float leastOther;  // fewest bits of any value but 0 and -1
    double symbol[256];
};

struct QuantizeJob {
    const CoefficientStream *stream;
    const ValueCosts *costs;
    double lambda;
    int32_t *out;
    QuantizeTotals totals[kStretches];
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

// Bits of four more bytes of kind (0 or -1) after the open run.
static inline double FillBits(const RunCosts &c, const OpenRun &run, RunKind kind)
{
    if (run.kind == kind)
        return RunBits(c, kind, run.length + 4) - RunBits(c, kind, run.length);
    return RunBits(c, kind, 4);
}

// Bits of any value, byte by byte: bytes 0 and 255 lengthen or start runs,
// other bytes are single controls or literal copies (a copy shared by the
// value's literal bytes in a row).
static double AnyValueBits(const ValueCosts &vc, OpenRun *run, int32_t v)
{
    const RunCosts &c = *vc.runs;
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
            bits += vc.symbol[(b & 15) == 0 ? 0x20 | b >> 4 : 0x60 | b >> 4];
            literal = 0;
        } else if (literal > 0 && literal < 32) {
            bits += vc.symbol[b] + vc.symbol[0xC0 | literal] - vc.symbol[0xC0 | (literal - 1)];
            literal++;
        } else {
            bits += vc.symbol[0xC0] + vc.symbol[b];
            literal = 1;
        }
    }
    return bits;
}

static void MakeValueCosts(const RunCosts &runs, ValueCosts *vc)
{
    vc->runs = &runs;
    for (int s = 0; s < 256; s++)
        vc->symbol[s] = runs.symbol[s];
    vc->start3[kNoRun] = 0;
    vc->start3[kZeroRun] = (float)RunBits(runs, kZeroRun, 3);
    vc->start3[kFfRun] = (float)RunBits(runs, kFfRun, 3);
    float least = INFINITY;
    vc->head[0] = vc->head[255] = INFINITY;
    for (int b = 1; b < 255; b++) {
        double bits = (b & 15) == 0 ? runs.symbol[0x20 | b >> 4]
                      : (b & 15) == 15 ? runs.symbol[0x60 | b >> 4]
                                       : runs.symbol[0xC0] + runs.symbol[b];
        vc->head[b] = (float)bits;
        least = std::min(least, (float)bits);
    }
    vc->leastOther = least + std::min(vc->start3[kZeroRun], vc->start3[kFfRun]);
}

namespace {

// The cheapest way found to each of the two kinds of open run after a
// coefficient: its cost so far (error plus lambda times bits), its error,
// and the run's length.
struct Survivor {
    double cost, error;
    uint32_t length;
};

// What led to each survivor at one coefficient: the value given to it and
// the kind of run before it.
struct Step {
    int32_t value[2];    // [0] the path to a zero run, [1] to a run of 255s
    uint8_t from[2];     // 0: from a zero run, 1: from a run of 255s
};

}  // namespace

static inline RunKind KindOf(int state) { return state ? kFfRun : kZeroRun; }

// A Viterbi search over the stretch: two paths are kept, the cheapest that
// leaves a zero run open and the cheapest that leaves a run of 255s open, so
// that a value which ends the run of its neighbours is weighed with the run
// that must start again after it.
static void QuantizeStretch(Team *team, int number, int)
{
    QuantizeJob &job = *(QuantizeJob *)team->context;
    const CoefficientStream &stream = *job.stream;
    const ValueCosts &vc = *job.costs;
    const RunCosts &runs = *vc.runs;
    const double lambda = job.lambda;
    const float *values = stream.values.data();
    size_t total = stream.values.size();
    size_t from = total * number / kStretches, to = total * (number + 1) / kStretches;
    std::vector<Step> steps(to - from);

    Survivor state[2] = {{0, 0, kStretchStart.length}, {INFINITY, 0, 0}};
    auto seg = std::upper_bound(stream.segments.begin(), stream.segments.end(), from,
                                [](size_t at, const CoefficientStream::Segment &s) { return at < s.start + s.count; });
    for (; seg != stream.segments.end() && seg->start < to; ++seg) {
        const double w = seg->weight;
        size_t begin = std::max(from, seg->start), end = std::min(to, seg->start + seg->count);
        if (w == 0) {
            // Coefficients the picture does not show: zeros, one run of them.
            uint32_t bytes = (uint32_t)(4 * (end - begin));
            double viaZero = state[0].cost + lambda * (RunBits(runs, kZeroRun, state[0].length + bytes) -
                                                       RunBits(runs, kZeroRun, state[0].length));
            double viaFf = state[1].cost + lambda * RunBits(runs, kZeroRun, bytes);
            int at = viaFf < viaZero ? 1 : 0;
            for (size_t i = begin; i < end; i++)
                steps[i - from] = {{0, 0}, {0, 0}};
            steps[begin - from].from[0] = (uint8_t)at;
            state[0] = {at ? viaFf : viaZero, state[at].error, at ? bytes : state[0].length + bytes};
            state[1] = {INFINITY, 0, 0};
            continue;
        }
        for (size_t i = begin; i < end; i++) {
            const double c = values[i];
            Step &step = steps[i - from];
            Survivor next[2];
            // Zero, from either run; -1 likewise.
            for (int to = 0; to < 2; to++) {
                RunKind kind = KindOf(to);
                double e = to ? w * (c + 1) * (c + 1) : w * c * c;
                next[to].cost = INFINITY;
                for (int at = 0; at < 2; at++) {
                    if (state[at].cost == INFINITY)
                        continue;
                    OpenRun open = {KindOf(at), state[at].length};
                    double cost = state[at].cost + e + lambda * FillBits(runs, open, kind);
                    if (cost < next[to].cost) {
                        next[to] = {cost, state[at].error + e, at == to ? state[at].length + 4 : 4};
                        step.from[to] = (uint8_t)at;
                        step.value[to] = to ? -1 : 0;
                    }
                }
            }
            // Other values, after whichever path is cheaper: their bytes
            // end the run before them and start one of three bytes.
            int at = state[1].cost < state[0].cost ? 1 : 0;
            const Survivor &before = state[at];
            if (before.cost + lambda * vc.leastOther < std::max(next[0].cost, next[1].cost)) {
                int32_t base = (int32_t)floor(c / 16) * 16;
                const int32_t candidates[5] = {base - 1, base, base + 15, base + 16, (int32_t)lrint(c)};
                for (int32_t v : candidates) {
                    if (v == 0 || v == -1)
                        continue;
                    double e = w * (c - v) * (c - v);
                    double bits;
                    OpenRun after;
                    if (v > -256 && v < 255) {
                        after = {v < 0 ? kFfRun : kZeroRun, 3};
                        bits = vc.head[v & 255] + vc.start3[after.kind];
                    } else {
                        after = {KindOf(at), before.length};
                        bits = AnyValueBits(vc, &after, v);
                        if (after.kind == kNoRun)
                            after = {kZeroRun, 0};
                    }
                    int to = after.kind == kFfRun ? 1 : 0;
                    double cost = before.cost + e + lambda * bits;
                    if (cost < next[to].cost) {
                        next[to] = {cost, before.error + e, after.length};
                        step.from[to] = (uint8_t)at;
                        step.value[to] = v;
                    }
                }
            }
            state[0] = next[0];
            state[1] = next[1];
        }
    }
    // Back from the cheaper end.
    int at = state[1].cost < state[0].cost ? 1 : 0;
    job.totals[number].distortion = state[at].error;
    job.totals[number].bits = (state[at].cost - state[at].error) / lambda;
    for (size_t i = to; i-- > from;) {
        const Step &step = steps[i - from];
        job.out[i] = step.value[at];
        at = step.from[at];
    }
}

void QuantizeStream(const CoefficientStream &stream, const RunCosts &costs, double lambda, int32_t *out,
                    QuantizeTotals *totals)
{
    ValueCosts vc;
    MakeValueCosts(costs, &vc);
    QuantizeJob job{&stream, &vc, lambda, out, {}};
    RunTeam(QuantizeStretch, &job, kStretches);
    *totals = QuantizeTotals();
    for (const QuantizeTotals &t : job.totals) {
        totals->distortion += t.distortion;
        totals->bits += t.bits;
    }
}

void QuantizePlainly(const CoefficientStream &stream, int step, int32_t *out)
{
    for (const CoefficientStream::Segment &s : stream.segments)
        for (size_t i = s.start; i < s.start + s.count; i++)
            out[i] = s.weight > 0 ? (int32_t)lrint(stream.values[i] / step) * step : 0;
}
