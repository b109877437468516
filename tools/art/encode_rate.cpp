// Quantisation passes and rate control: one lambda for the whole picture,
// set by the quality, or searched for until the file meets a size or a PSNR.
//
// The search runs on a sample of the stream (encode_sample.cpp), where a
// trial costs a fraction of a pass; whole passes start at the lambda the
// sample points to and move from there by what they measure.
#include "tools/art/encode_stages.h"

#include "decoder/art.h"
#include "tools/art/artencode.h"

#include <math.h>
#include <stdlib.h>

#include <algorithm>

namespace {

constexpr int kMostPasses = 10;  // whole passes at most for a size or a PSNR

}  // namespace

// Each 12 quality points double the error allowed. At 75 faint soft edges of
// wallpaper art still come through; below about 60 they blur away first.
double LambdaForQuality(int quality) { return 16 * pow(4.0, (100 - quality) / 12.0); }

void ReportProgress(const RateGoal &goal, double share)
{
    if (goal.progress)
        goal.progress(goal.progressContext, goal.progressFrom + (goal.progressTo - goal.progressFrom) * share);
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
        ReportProgress(goal, 1);
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
        // The first whole pass takes the sample's costs; every later one the
        // costs fitted to the first. With the costs held, the file shrinks
        // as lambda grows, and the passes close in on the goal; with costs
        // refitted each time, the size can jump back and forth as they
        // settle on one code or another.
        const RunCosts *costs = s.wholeCosts.empty() ? &TrialAt(prepared, s.sample, lambda, &s.work, &trials).costs
                                                     : &s.wholeCosts.front().second;
        RunCosts fitted;
        WholePass(prepared, lambda, *costs, &s.last, &fitted);
        s.lastIsBest = false;
        s.wholeCosts.emplace_back(lambda, std::move(fitted));
        int made = (int)s.wholeCosts.size();
        ++*passes;
        ReportProgress(goal, std::min(1.0, 0.3 + 0.7 * made / 3.0));
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
        // The bracket holds passes made with the held costs only.
        if (below && lambda > s.lower && made > 1)
            s.lower = lambda, s.lowerValue = value;
        if (!below && lambda < s.upper && made > 1)
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
