// The art encoder's speed: a 2048 x 1536 picture (busy, landscape and smooth
// of bench/test_pictures.h) stored at the size of its JPEG at quality 85, as
// bench/compare-codecs stores it, at the default settings and with --best.
// Wall time (the goal: 1 s, 3 s with --best, on two cores) and the CPU time
// of the whole process, helper threads included.
#include "bench/test_pictures.h"
#include "tools/art/artencode.h"

#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char *name;
    size_t jpegBytes;  // cjpeg -quality 85 -optimize of the picture
};
const Case kCases[] = {{"busy", 1009896}, {"landscape", 332150}, {"smooth", 59775}};

const std::vector<uint8_t> &Picture(int which, int *width, int *height)
{
    static std::vector<uint8_t> pictures[3];
    static int sizes[3][2];
    if (pictures[which].empty() &&
        !PaintTestPicture(kCases[which].name, &pictures[which], &sizes[which][0], &sizes[which][1])) {
        fprintf(stderr, "no picture %s\n", kCases[which].name);
        exit(1);
    }
    *width = sizes[which][0], *height = sizes[which][1];
    return pictures[which];
}

void BM_EncodeArt(benchmark::State &state)
{
    int which = (int)state.range(0), width, height;
    const std::vector<uint8_t> &picture = Picture(which, &width, &height);
    ArtEncodeOptions options;
    options.targetBytes = kCases[which].jpegBytes;
    options.best = state.range(1) != 0;
    std::vector<uint8_t> art;
    std::string error;
    ArtEncodeReport report;
    for (auto _ : state)
        if (!EncodeArt(picture.data(), width, height, options, &art, &error, &report))
            state.SkipWithError(error.c_str());
    state.SetLabel(kCases[which].name);
    state.counters["bytes"] = (double)art.size();
    state.counters["passes"] = report.passes;
}
BENCHMARK(BM_EncodeArt)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"picture", "best"})
    ->Iterations(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    KeepEncoderMemory();  // as quennel-art does
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
