// Rate control's trials: the stream's sample quantised at one lambda after
// another until it points to the lambda of the goal.
#include "tools/art/encode_stages.h"

#include "decoder/art.h"
#include "tools/art/artencode.h"

#include <math.h>

#include <algorithm>

namespace {

constexpr int kSampleEvery = 8;
constexpr int kMostTrials = 10;  // in one search

}  // namespace

// The sample the trials quantise: the coarse bands whole, and an eighth of
// the rows of each finer band, in groups of rows (few enough that the ends of
// runs at their edges cost little), each standing for eight such groups. A
// small picture is its own sample.
static std::vector<StreamRange> SampleRanges(const PreparedArt &prepared)
{
    const CoefficientStream &stream = prepared.stream;
    if (stream.values.size() < 4 * kSampleEvery * kQuantizeBlock)
        return WholeStream(stream);
    std::vector<StreamRange> ranges;
    const int b0 = prepared.layout.baseSide;
    for (const PreparedPlane &plane : prepared.planes) {
        const int kWholeBelow = 256;
        auto addBlock = [&](size_t at, int b) {
            if (b < kWholeBelow) {
                ranges.push_back({at, (uint32_t)b * b, 1});
                return;
            }
            // Groups of rows of about 4096 values, every eighth group.
            int rows = std::max(1, 4096 / b), group = rows * kSampleEvery;
            for (int t = group / 2; t + rows <= b; t += group)
                ranges.push_back({at + (size_t)t * b, (uint32_t)(rows * b), kSampleEvery});
        };
        addBlock(plane.start, b0);
        for (int b = b0; b < plane.side; b *= 2)
            for (int block = 1; block <= 3; block++)
                addBlock(plane.start + (size_t)block * b * b, b);
    }
    return ranges;
}

// The control bytes of the quantised ranges, each range on its own, counted
// as often as its scale says.
static void CountControls(const std::vector<StreamRange> &ranges, const int32_t *quantized, const RunCosts *costs,
                          size_t counts[256], std::vector<uint8_t> *controls)
{
    std::fill(counts, counts + 256, 0);
    controls->clear();
    std::vector<uint8_t> part;
    for (const StreamRange &range : ranges) {
        part.clear();
        AppendRuns((const uint8_t *)(quantized + range.start), (size_t)range.count * 4, costs, &part);
        for (uint8_t c : part)
            counts[c] += range.scale;
        controls->insert(controls->end(), part.begin(), part.end());
    }
}

// First costs: those of the sample rounded plainly to the step that spends
// bits as lambda asks for a luma coefficient (at high rates a uniform step s
// gives dD/dR = -(ln 2 / 6) w s^2 with w = 3), so that literal values and
// every run start with the costs they really have.
static void StartCosts(const PreparedArt &prepared, const std::vector<StreamRange> &sample, double lambda,
                       std::vector<int32_t> *work, RunCosts *costs)
{
    int step = std::max(1, (int)lrint(sqrt(6 * lambda / (log(2.0) * 3))));
    QuantizeRangesPlainly(prepared.stream, sample, step, work->data());
    std::vector<uint8_t> controls;
    size_t counts[256];
    CountControls(sample, work->data(), nullptr, counts, &controls);
    MakeRunCostsOfCounts(counts, costs);
}

// Squared picture error in levels of a weighted squared error of the stream
// (in quarter levels, the level stretch taken off), a pixel's channel.
double MeanSquaredLevels(const PreparedArt &prepared, double distortion)
{
    const double kQuarterLevels = 16 * (248.0 / 255) * (248.0 / 255);
    return distortion / kQuarterLevels / (3.0 * prepared.width * prepared.height);
}

// The sample at lambda. The first trial starts from the costs of plain
// rounding and makes two passes, each with the costs of the one before;
// later ones start from the costs of the nearest trial before them, which
// are close, and make one. The trial's costs are then those of its pass.
static void MakeTrial(const PreparedArt &prepared, const std::vector<StreamRange> &sample, double lambda,
                      const RateTrial *near, std::vector<int32_t> *work, RateTrial *trial)
{
    trial->lambda = lambda;
    if (near)
        trial->costs = near->costs;
    else
        StartCosts(prepared, sample, lambda, work, &trial->costs);
    std::vector<uint8_t> controls;
    size_t counts[256];
    QuantizeTotals totals;
    for (int pass = 0; pass < (near ? 1 : 2); pass++) {
        QuantizeStream(prepared.stream, sample, trial->costs, lambda, work->data(), &totals);
        CountControls(sample, work->data(), &trial->costs, counts, &controls);
        MakeRunCostsOfCounts(counts, &trial->costs);
    }
    trial->bytes = kArtHeaderSize + (double)HuffmanPackedSizeOfCounts(counts);
    trial->error = MeanSquaredLevels(prepared, totals.distortion);
}

const RateTrial &TrialAt(const PreparedArt &prepared, const std::vector<StreamRange> &sample, double lambda,
                         std::vector<int32_t> *work, std::vector<RateTrial> *trials)
{
    const RateTrial *near = nullptr;
    for (const RateTrial &t : *trials) {
        if (t.lambda == lambda)
            return t;
        if (!near || fabs(log(t.lambda / lambda)) < fabs(log(near->lambda / lambda)))
            near = &t;
    }
    RateTrial made;
    MakeTrial(prepared, sample, lambda, near, work, &made);
    trials->push_back(std::move(made));
    return trials->back();
}

// The lambda whose trial meets the aim (a size, falling as lambda grows, or
// an error, growing), from the trials so far: between the two either side
// in the logs of both, else past the nearest with the slope of the two
// nearest (or a guess), at most 64 times further. New trials are added.
static double SearchLambda(const PreparedArt &prepared, bool bySize, double aim, double start, const std::vector<StreamRange> &sample,
                           std::vector<int32_t> *work, std::vector<RateTrial> *trials)
{
    auto value = [&](const RateTrial &t) { return log(std::max(bySize ? t.bytes : t.error, 1e-9)); };
    const double target = log(aim);
    double lambda = start;
    int side = 0, lastSide = 0;  // the side of the aim the last two trials fell on: -1 lambda too small, 1 too large
    for (int n = 0; n < kMostTrials; n++) {
        // Within 1%: the whole passes correct the sample's own error anyway.
        double v = value(TrialAt(prepared, sample, lambda, work, trials));
        if (fabs(v - target) < 0.01)
            return lambda;
        lastSide = side;
        side = (bySize ? v > target : v < target) ? -1 : 1;
        // The nearest trials below and above the aim, by lambda.
        const RateTrial *low = nullptr, *high = nullptr;  // lambda too small, too large for the aim
        for (const RateTrial &t : *trials) {
            bool tooSmallLambda = bySize ? value(t) > target : value(t) < target;
            if (tooSmallLambda && (!low || t.lambda > low->lambda))
                low = &t;
            if (!tooSmallLambda && (!high || t.lambda < high->lambda))
                high = &t;
        }
        double next;
        if (low && high) {
            if (high->lambda / low->lambda < 1.0005)
                return bySize ? high->lambda : low->lambda;
            // The secant, or halfway when the last two trials fell on one
            // side (the secant then creeps up on the aim from that side).
            double t = (target - value(*low)) / (value(*high) - value(*low));
            t = side == lastSide ? 0.5 : std::min(0.9, std::max(0.1, std::isfinite(t) ? t : 0.5));
            next = exp(log(low->lambda) + t * (log(high->lambda) - log(low->lambda)));
        } else {
            // Size falls about as lambda to the power -0.6, the error grows about as lambda.
            const RateTrial &near = low ? *low : *high;
            double slope = bySize ? -0.6 : 1.0;
            for (const RateTrial &t : *trials)
                if (&t != &near && fabs(log(t.lambda / near.lambda)) > 1e-6) {
                    double s = (value(t) - value(near)) / log(t.lambda / near.lambda);
                    if (bySize ? s < -0.05 : s > 0.05)
                        slope = s;
                }
            double move = (target - value(near)) / slope;
            next = near.lambda * exp(std::min(log(64.0), std::max(-log(64.0), move)));
        }
        lambda = next;
    }
    return lambda;
}

// The error in MSE of levels that the chroma's widening leaves.
static double ChromaLossLevels(const PreparedArt &prepared) { return MeanSquaredLevels(prepared, prepared.chromaLoss); }

double WantedError(const RateGoal &goal) { return 255.0 * 255.0 / pow(10.0, (goal.psnr + 0.02) / 10); }

// A search with its sample and no trials yet.
static void StartSearch(const PreparedArt &prepared, RateSearch *s)
{
    s->sample = SampleRanges(prepared);
    s->work.assign(prepared.stream.values.size(), 0);
    s->trials.clear();
    s->trials.reserve(64);
}

void SearchSample(const PreparedArt &prepared, const RateGoal &goal, double start, RateSearch *search)
{
    RateSearch &s = *search;
    StartSearch(prepared, &s);
    double loss = ChromaLossLevels(prepared);
    if (!goal.bytes && goal.psnr <= 0) {
        s.lambda = goal.lambda;
        const RateTrial &t = TrialAt(prepared, s.sample, s.lambda, &s.work, &s.trials);
        const double kQuarterLevels = 16 * (248.0 / 255) * (248.0 / 255);
        s.estimate = (t.error + loss) * kQuarterLevels * 3.0 * prepared.width * prepared.height + s.lambda * 8 * t.bytes;
    } else if (goal.bytes) {
        s.lambda = SearchLambda(prepared, true, 0.995 * goal.bytes, start, s.sample, &s.work, &s.trials);
        s.estimate = TrialAt(prepared, s.sample, s.lambda, &s.work, &s.trials).error + loss;
    } else {
        // The widening's error is there whatever the coefficients.
        double allowed = WantedError(goal) - loss;
        if (allowed <= 0) {
            s.lambda = LambdaForQuality(100);
            s.estimate = INFINITY;
        } else {
            s.lambda = SearchLambda(prepared, false, allowed, start, s.sample, &s.work, &s.trials);
            s.estimate = TrialAt(prepared, s.sample, s.lambda, &s.work, &s.trials).bytes;
        }
    }
    ReportProgress(goal, 0.3);
}

void SampleAtLambda(const PreparedArt &prepared, const RateGoal &goal, double lambda, RateSearch *search)
{
    RateSearch &s = *search;
    StartSearch(prepared, &s);
    s.lambda = lambda;
    const RateTrial &t = TrialAt(prepared, s.sample, lambda, &s.work, &s.trials);
    s.estimate = goal.bytes ? t.error + ChromaLossLevels(prepared) : t.bytes;
    ReportProgress(goal, 0.3);
}
