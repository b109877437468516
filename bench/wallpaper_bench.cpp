// The whole wallpaper job at 1920 x 1080 for 8, 16 and 24-bit screens: open
// the art, load the palette, render and reduce, convert and write the bitmap.
// The art is a 2048 x 1536 four-piece file made here; its palette holds 234
// colours of the same picture. Reports megapixels of wallpaper a second and
// the process's peak memory. And two monitors, 1080p beside 4K, at 8 bits.
#include "base/processvalues.h"
#include "platform/host/host.h"
#include "tests/testing.h"
#include "tools/art/artencode.h"
#include "wallpaper/wallpaperjob.h"

#include <benchmark/benchmark.h>

#include <math.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Files {
    std::string art, palette, bitmap;
};

void WriteArtFiles(const Files &files);

const Files &PrepareFiles()
{
    static Files files;
    if (!files.art.empty())
        return files;
    char root[] = "/tmp/quennel-bench-XXXXXX";
    HostReset(mkdtemp(root));
    files.art = "C:\\bench.ART";
    files.palette = "C:\\bench.tr";
    files.bitmap = "C:\\bench.bmp";
    // The art is made in a child process, so that the peak memory reported
    // below is the job's and not the encoder's.
    pid_t child = fork();
    if (child == 0) {
        WriteArtFiles(files);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return files;
}

void WriteArtFiles(const Files &files)
{
    const int w = 2048, h = 1536;
    std::vector<uint8_t> px((size_t)w * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double u = (double)x / w, v = (double)y / h;
            double glow = exp(-((u - 0.5) * (u - 0.5) + (v - 0.45) * (v - 0.45)) * 9);
            uint8_t *p = &px[((size_t)y * w + x) * 3];
            p[0] = (uint8_t)(40 + 180 * glow);
            p[1] = (uint8_t)(30 + 120 * v + 60 * glow * sin(u * 20));
            p[2] = (uint8_t)(20 + 200 * u * (1 - v));
        }
    ArtEncodeOptions options;
    options.pieces = 4;
    std::vector<uint8_t> art;
    std::string error;
    if (!EncodeArt(px.data(), w, h, options, &art, &error))
        abort();
    WriteWholeFile(files.art, std::string(art.begin(), art.end()));
    // A palette of 6 x 6 x 6 colour steps and 18 greys, each with the path of
    // its own bits: 234 entries.
    std::string text;
    auto line = [&](int r, int g, int b) {
        text += std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + " -";
        for (int bit = 7; bit >= 0; bit--)
            text += " " + std::to_string(4 * (b >> bit & 1) + 2 * (g >> bit & 1) + (r >> bit & 1));
        text += "\r\n";
    };
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 6; g++)
            for (int b = 0; b < 6; b++)
                line(r * 51, g * 51, b * 51);
    for (int i = 1; i <= 18; i++)
        line(i * 13, i * 13, i * 13);
    WriteWholeFile(files.palette, text);
}

void WallpaperJob(benchmark::State &state)
{
    const Files &files = PrepareFiles();
    const int depth = (int)state.range(0);
    DiffusionKernel = 2;
    for (auto _ : state) {
        if (!MakeWallpaperFile(files.art.c_str(), files.palette.c_str(), files.bitmap.c_str(), kWidth, kHeight, depth,
                               3779, 3779))
            state.SkipWithError("the bitmap was not written");
    }
    state.counters["MP/s"] = benchmark::Counter((double)kWidth * kHeight * state.iterations() / 1e6,
                                                benchmark::Counter::kIsRate);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = usage.ru_maxrss / 1024.0;
}

BENCHMARK(WallpaperJob)->Arg(24)->Arg(16)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two monitors side by side at 8 bits, 1920 x 1080 and 3840 x 2160 (args
// 2), beside the two sizes made alone (args 0 and 1): the two-monitor job
// makes both pictures into one bitmap over both, and should take little more
// than the two alone together.
void WallpaperJobMonitors(benchmark::State &state)
{
    const Files &files = PrepareFiles();
    DiffusionKernel = 2;
    static const PixelRect monitors[2] = {{0, 0, 1920, 1080}, {1920, 0, 5760, 2160}};
    WallpaperPlan plan;
    if (state.range(0) == 2)
        PlanWallpaper(monitors, 2, 0, kSpreadSpan, &plan);
    else
        SingleWallpaper(monitors[state.range(0)].right - monitors[state.range(0)].left,
                        monitors[state.range(0)].bottom - monitors[state.range(0)].top, &plan);
    double pixels = 0;
    for (int i = 0; i < plan.count; i++)
        pixels += (double)plan.places[i].width * plan.places[i].height;
    for (auto _ : state) {
        if (!MakeWallpaperBitmap(files.art.c_str(), files.palette.c_str(), files.bitmap.c_str(), plan, 8, 0, 3779,
                                 3779))
            state.SkipWithError("the bitmap was not written");
    }
    state.counters["MP/s"] = benchmark::Counter(pixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = usage.ru_maxrss / 1024.0;
}

BENCHMARK(WallpaperJobMonitors)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
