// Quantisation passes and rate control: one lambda for the whole picture,
// set by the quality, or searched for until the file meets a size or a PSNR.
#include "tools/art/encode_stages.h"

#include "decoder/art.h"
#include "tools/art/artencode.h"

#include <math.h>
#include <stdlib.h>

#include <algorithm>

// Each 12 quality points double the error allowed. At 75 faint soft edges of
// wallpaper art still come through; below about 60 they blur away first.
double LambdaForQuality(int quality) { return 16 * pow(4.0, (100 - quality) / 12.0); }

// One pass at lambda with the costs of the pass before; the costs then fit
// this pass's control bytes.
static void Pass(const PreparedArt &prepared, double lambda, RunCosts *costs, RatePoint *point)
{
    const CoefficientStream &stream = prepared.stream;
    point->lambda = lambda;
    point->quantized.resize(stream.values.size());
    QuantizeStream(stream, *costs, lambda, point->quantized.data(), &point->totals);
    // The values' bytes as the decoder reads them: 32-bit little-endian, the
    // order of every processor this program runs on.
    point->controls.clear();
    AppendRuns((const uint8_t *)point->quantized.data(), point->quantized.size() * 4, costs, &point->controls);
    MakeRunCosts(point->controls, costs);
    point->fileBytes = kArtHeaderSize + HuffmanPackedSize(point->controls);
}

static void Report(const RateGoal &goal, double share)
{
    if (goal.progress)
        goal.progress(goal.progressContext, goal.progressFrom + (goal.progressTo - goal.progressFrom) * share);
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

// The next lambda to try between a smaller and a larger one whose values
// (sizes, or gaps to 100 dB) lie either side of the target, in the log of
// both; with one side missing, four times further.
static double NextLambda(double small, double smallValue, double large, double largeValue, double target)
{
    if (small <= 0)
        return large / 4;
    if (large <= 0)
        return small * 4;
    double t = (log(target) - log(smallValue)) / (log(largeValue) - log(smallValue));
    t = std::min(0.9, std::max(0.1, std::isfinite(t) ? t : 0.5));
    return exp(log(small) + t * (log(large) - log(small)));
}

// First costs: those of the stream rounded plainly to the step that spends
// bits as lambda asks for a luma coefficient (at high rates a uniform step s
// gives dD/dR = -(ln 2 / 6) w s^2 with w = 3), so that literal values and
// every run start with the costs they really have.
static void StartCosts(const PreparedArt &prepared, double lambda, RunCosts *costs)
{
    int step = std::max(1, (int)lrint(sqrt(6 * lambda / (log(2.0) * 3))));
    std::vector<int32_t> plain(prepared.stream.values.size());
    QuantizePlainly(prepared.stream, step, plain.data());
    std::vector<uint8_t> controls;
    AppendRuns((const uint8_t *)plain.data(), plain.size() * 4, nullptr, &controls);
    MakeRunCosts(controls, costs);
}

// The stream at lambda: first costs from plain rounding, then two passes,
// each with the costs of the one before. The same lambda always gives the
// same file, whatever was tried before it.
static void Evaluate(const PreparedArt &prepared, double lambda, RatePoint *point, int *passes)
{
    RunCosts costs;
    StartCosts(prepared, lambda, &costs);
    for (int pass = 0; pass < 2; pass++) {
        Pass(prepared, lambda, &costs, point);
        ++*passes;
    }
}

bool RunPasses(const PreparedArt &prepared, const RateGoal &goal, RatePoint *result, int *passes)
{
    RatePoint point;
    *passes = 0;
    if (!goal.bytes && goal.psnr <= 0) {
        Evaluate(prepared, goal.lambda, &point, passes);
        Report(goal, 1);
        *result = std::move(point);
        return true;
    }

    // The search: lambda up while the file is too big (or closer than asked),
    // down while it is too small (or too far), bracketed and narrowed.
    const int kMostSteps = 16;
    double lambda = goal.lambda > 0 ? goal.lambda : LambdaForQuality(75);
    // The smaller lambda of the bracket, whose file is too big (or whose
    // PSNR is high enough), and the larger one, each with its size (or its
    // PSNR's gap to 100 dB, which grows as the size shrinks).
    double small = 0, smallValue = 0, large = 0, largeValue = 0;
    bool found = false;
    for (int step = 0; step < kMostSteps; step++) {
        Evaluate(prepared, lambda, &point, passes);
        Report(goal, std::min(1.0, (step + 1) / 8.0));
        double target;
        if (goal.bytes) {
            double size = (double)point.fileBytes;
            if (point.fileBytes <= goal.bytes) {
                if (!found || point.fileBytes > result->fileBytes)
                    *result = point;
                found = true;
                if (size >= 0.99 * goal.bytes)
                    break;
                large = lambda, largeValue = size;
            } else {
                small = lambda, smallValue = size;
            }
            target = 0.995 * goal.bytes;
        } else {
            double psnr = MeasurePsnr(prepared, point, goal.picture);
            if (psnr >= goal.psnr) {
                if (!found || point.fileBytes < result->fileBytes)
                    *result = point;
                found = true;
                small = lambda, smallValue = 100 - psnr;
            } else {
                large = lambda, largeValue = 100 - psnr;
            }
            target = 100 - goal.psnr;
        }
        if (small > 0 && large > 0 && large / small < (goal.bytes ? 1.002 : 1.03))
            break;
        lambda = NextLambda(small, smallValue, large, largeValue, target);
    }
    return found;
}
