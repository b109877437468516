// The row reduction of a 1920 x 1080 picture, in megapixels per second, as
// the wallpaper job runs it (StartDiffusion, then DiffusePair a pair of rows
// at a time, all rows but the black last one), here on one thread where the
// job has two. The 8-bit reduction uses the palette maker's 234-colour
// palette of the same picture.
#include "palette/palette.h"
#include "platform/host/host.h"
#include "tests/diffuse_testing.h"
#include "tools/palette_maker.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// The picture as blue, green, red pixels, and its palette.
const std::vector<uint8_t> &Picture()
{
    static const std::vector<uint8_t> picture = [] {
        std::vector<uint8_t> bgr = WallpaperPicture(kWidth, kHeight);
        for (size_t i = 0; i < bgr.size(); i += 3)
            std::swap(bgr[i], bgr[i + 2]);
        return bgr;
    }();
    return picture;
}

void LoadPicturePalette()
{
    std::vector<uint8_t> rgb = WallpaperPicture(kWidth, kHeight);
    std::string text = FormatPalette(MakeOctreePalette(rgb.data(), rgb.size() / 3, 234));
    PlatFile *f = FileOpen("C:\\bench.tr", "wb");
    FileWrite(text.data(), text.size(), f);
    FileClose(f);
    LoadPalette("C:\\bench.tr");
}

template <void (*Diffuse)(int, uint8_t *, int, int, int)>
void BM_Diffuse(benchmark::State &state)
{
    int kernel = (int)state.range(0);
    std::vector<uint8_t> work(Picture().size());
    for (auto _ : state) {
        state.PauseTiming();
        memcpy(work.data(), Picture().data(), work.size());
        state.ResumeTiming();
        Diffuse(kernel, work.data(), kHeight - 1, kWidth, 0);
        benchmark::DoNotOptimize(work.data());
    }
    double pixels = (double)kWidth * (kHeight - 1);
    state.counters["MP/s"] = benchmark::Counter(pixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_DiffuseRows16(benchmark::State &state) { BM_Diffuse<DiffuseRows16>(state); }
void BM_DiffuseRows8(benchmark::State &state) { BM_Diffuse<DiffuseRows8>(state); }

// Kernel 2 is the program's; 3 has the most taps.
BENCHMARK(BM_DiffuseRows16)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffuseRows8)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    char drive[] = "/tmp/quennel-bench-XXXXXX";
    if (!mkdtemp(drive))
        return 1;
    HostReset(drive);
    LoadPicturePalette();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(drive, ignored);
    return 0;
}
