// Quantisation passes and rate control: one lambda for the whole picture,
// set by the quality, or searched for until the file meets a size or a PSNR.
//
// The search runs on a sample of the stream (an eighth of each fine band,
// when the picture is large enough for that to stand for the whole), where a
// trial costs a fraction of a pass; whole passes start at the lambda the
// sample points to and move from there by what they measure.
#include "tools/art/encode_stages.h"

#include "decoder/art.h"
#include "tools/art/artencode.h"

#include <math.h>
#include <stdlib.h>

#include <algorithm>

namespace {

constexpr int kSampleEvery = 8;
// Whole passes at most in a search for a size or a PSNR, and trials on the
// sample for each.
constexpr int kMostPasses = 10;
constexpr int kMostTrials = 10;

}  // namespace

// Each 12 quality points double the error allowed. At 75 faint soft edges of
// wallpaper art still come through; below about 60 they blur away first.
double LambdaForQuality(int quality) { return 16 * pow(4.0, (100 - quality) / 12.0); }

static void Report(const RateGoal &goal, double share)
{
    if (goal.progress)
        goal.progress(goal.progressContext, goal.progressFrom + (goal.progressTo - goal.progressFrom) * share);
}

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
static double MeanSquaredLevels(const PreparedArt &prepared, double distortion)
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

// The trial at lambda, made when there is none yet.
static const RateTrial &TrialAt(const PreparedArt &prepared, const std::vector<StreamRange> &sample, double lambda,
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

// The whole stream at lambda with these costs; *fitted gets the costs of
// the pass's own control bytes.
static void WholePass(const PreparedArt &prepared, double lambda, const RunCosts &costs, RatePoint *point,
                      RunCosts *fitted)
{
    const CoefficientStream &stream = prepared.stream;
    point->lambda = lambda;
    point->quantized.resize(stream.values.size());
    QuantizeStream(stream, WholeStream(stream), costs, lambda, point->quantized.data(), &point->totals);
    // The values' bytes as the decoder reads them: 32-bit little-endian, the
    // order of every processor this program runs on.
    point->controls.clear();
    AppendRuns((const uint8_t *)point->quantized.data(), point->quantized.size() * 4, &costs, &point->controls);
    point->fileBytes = kArtHeaderSize + HuffmanPackedSize(point->controls);
    MakeRunCosts(point->controls, fitted);
}

// The PSNR of the file of this point, decoded as the decoder decodes it.
static double MeasurePsnr(const PreparedArt &prepared, const RatePoint &point, const uint8_t *picture)
{
    std::vector<uint8_t> art;
    if (!FinishArt(prepared, point.quantized.data(), point.controls, &art))
        return 0;
    ArtFile *file = OpenArtBytes("measured.art", art.data(), art.size());
    uint8_t *decoded = DecodeArt(file);
    double psnr = PicturePsnrDb(picture, decoded, (size_t)prepared.width * prepared.height * 3);
    free(decoded);
    CloseArt(file);
    return psnr;
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

// The error a PSNR goal allows, in MSE of levels, a little under the goal's.
static double WantedError(const RateGoal &goal) { return 255.0 * 255.0 / pow(10.0, (goal.psnr + 0.02) / 10); }

void SearchSample(const PreparedArt &prepared, const RateGoal &goal, double start, RateSearch *search)
{
    RateSearch &s = *search;
    s.sample = SampleRanges(prepared);
    s.work.assign(prepared.stream.values.size(), 0);
    s.trials.clear();
    s.trials.reserve(kMostPasses * (kMostTrials + 1) + 1);
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
    Report(goal, 0.3);
}

// The slope of the log of the error against the log of the size, from the
// sample's trials nearest either side of lambda (about -1.5 otherwise).
static double ErrorSlope(const RateSearch &search, double lambda)
{
    const RateTrial *under = nullptr, *over = nullptr;
    for (const RateTrial &t : search.trials) {
        if (t.lambda <= lambda && (!under || t.lambda > under->lambda))
            under = &t;
        if (t.lambda > lambda && (!over || t.lambda < over->lambda))
            over = &t;
    }
    if (!under || !over || over->bytes >= under->bytes || over->error <= under->error)
        return -1.5;
    double slope = log(over->error / under->error) / log(over->bytes / under->bytes);
    return std::min(-0.3, std::max(-4.0, slope));
}

double ProjectedScore(const PreparedArt &prepared, const RateGoal &goal, const RateSearch &search)
{
    const RatePoint &point = search.lastIsBest ? search.best : search.last;
    double psnr = MeasurePsnr(prepared, point, goal.picture);
    if (psnr <= 0)
        return INFINITY;
    double error = 255.0 * 255.0 / pow(10.0, psnr / 10);
    if (!goal.bytes && goal.psnr <= 0) {
        const double kQuarterLevels = 16 * (248.0 / 255) * (248.0 / 255);
        return error * kQuarterLevels * 3.0 * prepared.width * prepared.height + point.lambda * 8 * point.fileBytes;
    }
    double slope = ErrorSlope(search, point.lambda);
    if (goal.bytes)
        return error * pow((double)goal.bytes / point.fileBytes, slope);
    return point.fileBytes * pow(WantedError(goal) / error, 1 / slope);
}

bool RunPasses(const PreparedArt &prepared, const RateGoal &goal, RateSearch *search, int mostPasses, int *passes)
{
    RateSearch &s = *search;
    std::vector<RateTrial> &trials = s.trials;
    if (s.done)
        return s.found;
    if (!goal.bytes && goal.psnr <= 0) {
        const RateTrial &trial = TrialAt(prepared, s.sample, s.lambda, &s.work, &trials);
        RunCosts fitted;
        WholePass(prepared, s.lambda, trial.costs, &s.best, &fitted);
        ++*passes;
        s.lastIsBest = true;
        s.found = s.done = true;
        Report(goal, 1);
        return true;
    }

    // The sample points to a lambda; whole passes then move from it along
    // the sample's slope (or between the two whole passes either side of
    // the goal) until a file lands in the top 1% under the size, or within
    // 0.05 dB over the PSNR.
    const bool bySize = goal.bytes > 0;
    const double want = bySize ? 0.995 * goal.bytes : WantedError(goal);
    auto sampleValue = [&](const RateTrial &t) { return log(std::max(bySize ? t.bytes : t.error, 1e-9)); };
    if (s.wholeCosts.empty()) {
        s.next = s.lambda;
        s.wholeCosts.reserve(kMostPasses);
    }
    for (int pass = 0; pass < mostPasses && (int)s.wholeCosts.size() < kMostPasses; pass++) {
        const double lambda = s.next;
        // Each whole pass after the first takes the costs fitted to the
        // whole pass nearest it: closer to its own than the sample's.
        // Between two passes either side of the goal, the costs lie between
        // theirs as lambda does: where the costs of one code and the other
        // give files either side of a jump in size, those between give the
        // files between.
        const RunCosts *costs = nullptr;
        RunCosts blend;
        double nearest = INFINITY;
        for (const auto &w : s.wholeCosts)
            if (fabs(log(w.first / lambda)) < nearest)
                nearest = fabs(log(w.first / lambda)), costs = &w.second;
        if (s.lower > 0 && s.upper < INFINITY) {
            const RunCosts *below = nullptr, *above = nullptr;
            for (const auto &w : s.wholeCosts) {
                if (w.first == s.lower)
                    below = &w.second;
                if (w.first == s.upper)
                    above = &w.second;
            }
            if (below && above) {
                BlendRunCosts(*below, *above, log(lambda / s.lower) / log(s.upper / s.lower), &blend);
                costs = &blend;
            }
        }
        if (!costs)
            costs = &TrialAt(prepared, s.sample, lambda, &s.work, &trials).costs;
        RunCosts fitted;
        WholePass(prepared, lambda, *costs, &s.last, &fitted);
        s.lastIsBest = false;
        s.wholeCosts.emplace_back(lambda, std::move(fitted));
        int made = (int)s.wholeCosts.size();
        ++*passes;
        Report(goal, std::min(1.0, 0.3 + 0.7 * made / 3.0));
        const RatePoint &point = s.last;
        bool done, below;  // below: lambda is below the goal's
        double value;
        if (bySize) {
            bool fits = point.fileBytes <= goal.bytes;
            if (fits && (!s.found || point.totals.distortion < s.best.totals.distortion)) {
                s.best.quantized.swap(s.last.quantized);
                s.best.controls.swap(s.last.controls);
                s.best.lambda = point.lambda, s.best.fileBytes = point.fileBytes, s.best.totals = point.totals;
                s.found = s.lastIsBest = true;
            }
            done = fits && point.fileBytes >= 0.99 * goal.bytes;
            below = !fits;
            value = log((double)point.fileBytes);
        } else {
            double psnr = MeasurePsnr(prepared, point, goal.picture);
            bool meets = psnr >= goal.psnr;
            if (meets && (!s.found || point.fileBytes < s.best.fileBytes)) {
                s.best.quantized.swap(s.last.quantized);
                s.best.controls.swap(s.last.controls);
                s.best.lambda = point.lambda, s.best.fileBytes = point.fileBytes, s.best.totals = point.totals;
                s.found = s.lastIsBest = true;
            }
            done = meets && psnr < goal.psnr + 0.05;
            below = meets;
            value = log(255.0 * 255.0 / pow(10.0, std::min(psnr, 98.0) / 10));
        }
        if (below && lambda > s.lower)
            s.lower = lambda, s.lowerValue = value;
        if (!below && lambda < s.upper)
            s.upper = lambda, s.upperValue = value;
        // Past the end of any useful lambda: every coefficient is zero long before.
        if (done || s.upper / s.lower < 1.0005 || lambda > 1e12) {
            s.done = true;
            break;
        }
        double next;
        int lastSide = s.side;
        s.side = below ? -1 : 1;
        if (s.lower > 0 && s.upper < INFINITY) {
            // The secant, or halfway after two passes on one side.
            double t = (log(want) - s.lowerValue) / (s.upperValue - s.lowerValue);
            t = s.side == lastSide ? 0.5 : std::min(0.8, std::max(0.2, std::isfinite(t) ? t : 0.5));
            next = exp(log(s.lower) + t * (log(s.upper) - log(s.lower)));
        } else {
            // The slope of the last two whole passes, else the sample's
            // between its two trials nearest either side.
            double slope = bySize ? -0.6 : 1.0;
            const RateTrial *under = nullptr, *over = nullptr;
            for (const RateTrial &t : trials) {
                if (t.lambda < lambda && (!under || t.lambda > under->lambda))
                    under = &t;
                if (t.lambda > lambda && (!over || t.lambda < over->lambda))
                    over = &t;
            }
            double slopeSeen = 0;
            if (s.lastLambda > 0)
                slopeSeen = (value - s.lastValue) / log(lambda / s.lastLambda);
            else if (under && over)
                slopeSeen = (sampleValue(*over) - sampleValue(*under)) / log(over->lambda / under->lambda);
            if (bySize ? slopeSeen < -0.1 && slopeSeen > -3 : slopeSeen > 0.1 && slopeSeen < 5)
                slope = slopeSeen;
            double move = (log(want) - value) / slope;
            next = lambda * exp(std::min(log(64.0), std::max(-log(64.0), move)));
        }
        // The size (or error) can jump as lambda moves, where the costs
        // settle on another code: with no file meeting the goal after three
        // passes, each further pass goes half as far again as the last.
        if (!s.found && made >= 3) {
            double stride = pow(1.5, made - 2);
            next = bySize ? std::max(next, lambda * stride) : std::min(next, lambda / stride);
        }
        s.lastLambda = lambda, s.lastValue = value;
        s.next = next;
    }
    if ((int)s.wholeCosts.size() >= kMostPasses)
        s.done = true;
    return s.found;
}
