// The encoder's driver: the checks of the options against the picture, the
// layouts weighed against each other, the passes, the file.
#include "tools/art/artencode.h"

#include "base/team.h"
#include "decoder/art.h"
#include "decoder/wavelet.h"
#include "tools/art/encode_stages.h"

#include <math.h>
#include <stdlib.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

void KeepEncoderMemory()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

double PicturePsnrDb(const uint8_t *a, const uint8_t *b, size_t n)
{
    // Whole numbers, in blocks short enough that 32 bits hold their sums.
    double sum = 0;
    for (size_t from = 0; from < n; from += 1 << 15) {
        uint32_t block = 0;
        for (size_t i = from; i < std::min(n, from + (1 << 15)); i++) {
            int d = (int)a[i] - b[i];
            block += (uint32_t)(d * d);
        }
        sum += block;
    }
    if (sum == 0)
        return 99;
    return 10 * log10(255.0 * 255.0 * n / sum);
}

static bool Fail(std::string *error, const std::string &why)
{
    *error = why;
    return false;
}

// Whether the picture can be stored in this many pieces.
static bool PiecesFit(int pieces, int width, int height)
{
    if (pieces == 1)
        return height <= width;
    return width % 2 == 0 && height % 2 == 0 && height >= width / 2 && height <= width;
}

// The layouts to weigh: the user's choices where given, otherwise one or
// both of each.
static std::vector<ArtLayout> Layouts(const ArtEncodeOptions &options, int width, int height)
{
    std::vector<int> pieceCounts;
    if (options.pieces)
        pieceCounts = {options.pieces};
    else if (height <= width)
        pieceCounts = options.best && PiecesFit(4, width, height) ? std::vector<int>{1, 4} : std::vector<int>{1};
    else
        pieceCounts = {4};
    std::vector<bool> chroma;
    if (options.subsample >= 0)
        chroma = {options.subsample != 0};
    else
        chroma = {false, true};
    std::vector<ArtLayout> layouts;
    for (int pieces : pieceCounts)
        for (bool subsample : chroma) {
            int m = width / (pieces == 4 ? 2 : 1);
            if (subsample && m % 2)
                continue;
            int base = options.baseSide ? options.baseSide : ChooseBaseSide(m, subsample);
            layouts.push_back({pieces, subsample, base});
        }
    return layouts;
}

static std::string LayoutError(const ArtLayout &layout, int m)
{
    int c = layout.subsample ? m / 2 : m;
    if (IsLevelSide(m, layout.baseSide) && IsLevelSide(c, layout.baseSide) && (!layout.subsample || c * 2 == m))
        return "";
    return "the piece side " + std::to_string(m) + " is not the base side " + std::to_string(layout.baseSide) +
           " times a power of two" + (layout.subsample ? " (twice that at least when subsampled)" : "");
}

// How the layout's file fares: for a quality, its squared error (in quarter
// levels, as the quantiser weighs it) plus lambda times its bits; for a
// size, its PSNR's shortfall; for a PSNR, its size. Lower is better. Measured
// on the decoded file, since subsampling loses what no coefficient shows.
static double Score(const PreparedArt &prepared, const RateGoal &goal, const RatePoint &point,
                    const std::vector<uint8_t> &file)
{
    if (goal.psnr > 0)
        return (double)file.size();
    ArtFile *art = OpenArtBytes("weighed.art", file.data(), file.size());
    uint8_t *decoded = DecodeArt(art);
    size_t n = (size_t)prepared.width * prepared.height * 3;
    double sum = 0;
    for (size_t i = 0; i < n; i++) {
        double d = (double)goal.picture[i] - decoded[i];
        sum += d * d;
    }
    free(decoded);
    CloseArt(art);
    if (goal.bytes)
        return sum;
    const double kQuarterLevels = 16 * (248.0 / 255) * (248.0 / 255);
    return kQuarterLevels * sum + point.lambda * 8.0 * file.size();
}

namespace {

// The first whole pass of each layout weighed, one layout a task, so that
// two layouts' passes take the two processors (each pass's own team of
// quantisers then shares them). Only the first task reports progress.
struct FirstPassJob {
    const RateGoal *goal;
    RateGoal quiet;  // the goal without its progress callback
    std::vector<std::pair<const PreparedArt *, RateSearch *>> layouts;
    std::vector<int> passes;  // by task
};

}  // namespace

static void RunFirstPass(FirstPassJob &job, int number)
{
    RunPasses(*job.layouts[number].first, number == 0 ? *job.goal : job.quiet, job.layouts[number].second, 1,
              &job.passes[number]);
}

static void FirstPassTask(Team *team, int number, int) { RunFirstPass(*(FirstPassJob *)team->context, number); }

bool EncodeArt(const uint8_t *bgr, int width, int height, const ArtEncodeOptions &options,
               std::vector<uint8_t> *art, std::string *error, ArtEncodeReport *report)
{
    if (options.pieces != 0 && options.pieces != 1 && options.pieces != 4)
        return Fail(error, "the piece count must be 1 or 4");
    if (options.quality < 1 || options.quality > 100)
        return Fail(error, "the quality must be 1-100");
    if (width < 1 || height < 1 || width > 8192 || height > 8192)
        return Fail(error, "the picture must be 1 x 1 to 8192 x 8192 pixels");
    if (options.pieces == 1 && height > width)
        return Fail(error, "a 1-piece picture may not be taller than wide; use --pieces 4");
    if (options.pieces != 1 && (width % 2 || height % 2) && (options.pieces == 4 || height > width))
        return Fail(error, "a 4-piece picture needs an even width and height");
    if (options.pieces != 1 && (height < width / 2 || height > width) && (options.pieces == 4 || height > width))
        return Fail(error, "a 4-piece picture must be between half and all of its width tall");

    std::vector<ArtLayout> layouts = Layouts(options, width, height);
    std::string why;
    for (size_t i = 0; i < layouts.size();) {
        why = LayoutError(layouts[i], width / (layouts[i].pieces == 4 ? 2 : 1));
        if (why.empty())
            i++;
        else
            layouts.erase(layouts.begin() + i);
    }
    if (layouts.empty())
        return Fail(error, why);

    // Each layout quantised for the goal; the best kept: the lowest cost in
    // error and bits at the quality's lambda, the closest file at a size,
    // the smallest at a PSNR.
    RateGoal goal;
    goal.lambda = options.targetBytes || options.targetPsnr > 0 ? 0 : LambdaForQuality(options.quality);
    goal.bytes = options.targetBytes;
    goal.psnr = options.targetBytes ? 0 : options.targetPsnr;
    goal.picture = bgr;
    goal.progress = options.progress;
    goal.progressContext = options.progressContext;
    // Every layout prepared and tried on its sample (for a size or a PSNR the
    // first searched, the others tried at its lambda). The two the samples
    // favour (every layout with --best) then make a whole pass each, and the
    // one whose decoded file would fare best at the goal goes on to meet it;
    // with --best the two best go on, and their files are weighed as they are.
    struct Candidate {
        ArtLayout layout;
        PreparedArt prepared;
        RateSearch search;
        double score;
    };
    std::vector<Candidate> candidates(layouts.size());
    double start = LambdaForQuality(75);  // then where the layout before landed
    for (size_t i = 0; i < layouts.size(); i++) {
        Candidate &c = candidates[i];
        c.layout = layouts[i];
        goal.progressFrom = 0.4 * i / layouts.size();
        goal.progressTo = 0.4 * (i + 1) / layouts.size();
        PrepareArt(bgr, width, height, c.layout, &c.prepared);
        // The first layout's search finds the lambda of a size or a PSNR;
        // the others are weighed at that lambda, their whole passes going
        // on from where it puts them.
        if (i > 0 && goal.lambda <= 0)
            SampleAtLambda(c.prepared, goal, start, &c.search);
        else
            SearchSample(c.prepared, goal, start, &c.search);
        start = c.search.lambda;
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.search.estimate < b.search.estimate; });
    if (!options.best)
        candidates.resize(std::min(candidates.size(), (size_t)2));
    int passes = 0;
    if (candidates.size() > 1) {
        // For a PSNR each pass decodes its file, and the decoder is one at a
        // time: those passes run in turn.
        FirstPassJob job;
        job.goal = &goal;
        job.quiet = goal;
        job.quiet.progress = nullptr;
        for (Candidate &c : candidates)
            job.layouts.push_back({&c.prepared, &c.search});
        job.passes.assign(candidates.size(), 0);
        if (goal.psnr > 0) {
            for (size_t i = 0; i < candidates.size(); i++)
                RunFirstPass(job, (int)i);
        } else {
            RunTeam(FirstPassTask, &job, (int)candidates.size());
        }
        for (size_t i = 0; i < candidates.size(); i++) {
            passes += job.passes[i];
            candidates[i].score = ProjectedScore(candidates[i].prepared, goal, candidates[i].search);
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate &a, const Candidate &b) { return a.score < b.score; });
        candidates.resize(options.best ? 2 : 1);
    }

    bool have = false;
    double bestScore = 0;
    RatePoint best;
    ArtLayout bestLayout{};
    PreparedArt bestPrepared;
    for (size_t i = 0; i < candidates.size(); i++) {
        Candidate &c = candidates[i];
        ArtLayout layout = c.layout;
        goal.progressFrom = 0.4 + 0.6 * i / candidates.size();
        goal.progressTo = 0.4 + 0.6 * (i + 1) / candidates.size();
        std::vector<uint8_t> file;
        int n = 0;
        // A chosen base side grows (one level fewer) until the decoder's
        // arithmetic holds every plane; a given one must hold as it is.
        for (;;) {
            while (!c.search.done)
                RunPasses(c.prepared, goal, &c.search, 1, &passes);
            if (!c.search.found) {
                n = -1;
                break;
            }
            if (FinishArt(c.prepared, c.search.best.quantized.data(), c.search.best.controls, &file))
                break;
            int side = layout.subsample ? c.prepared.pieceSide / 2 : c.prepared.pieceSide;
            if (options.baseSide || !IsLevelSide(side, layout.baseSide * 2)) {
                n = -2;
                break;
            }
            layout.baseSide *= 2;
            PrepareArt(bgr, width, height, layout, &c.prepared);
            double found = c.search.lambda;
            c.search = RateSearch();
            SearchSample(c.prepared, goal, found, &c.search);
        }
        if (n == -1) {
            why = options.targetBytes ? "no file of " + std::to_string(options.targetBytes) + " bytes or less"
                                      : "no file reaches the PSNR asked for";
            continue;
        }
        if (n == -2) {
            why = "the base side " + std::to_string(layout.baseSide) +
                  " leaves too many levels for this picture's contrast; choose a larger one";
            continue;
        }
        double score = candidates.size() > 1 ? Score(c.prepared, goal, c.search.best, file) : 0;
        if (!have || score < bestScore) {
            have = true;
            bestScore = score;
            best = std::move(c.search.best);
            bestLayout = layout;
            bestPrepared = std::move(c.prepared);
            *art = std::move(file);
        }
    }
    if (!have)
        return Fail(error, why);
    if (report) {
        report->pieces = bestLayout.pieces;
        report->pieceSide = bestPrepared.pieceSide;
        report->baseSide = bestLayout.baseSide;
        report->subsampled = bestLayout.subsample;
        report->levels = 0;
        for (int b = bestLayout.baseSide; b < bestPrepared.pieceSide; b *= 2)
            report->levels++;
        report->quality = goal.lambda > 0 ? options.quality : 0;
        report->lambda = best.lambda;
        report->controlBytes = best.controls.size();
        report->fileBytes = art->size();
        report->passes = passes;
    }
    return true;
}
