// DiffuseRows8 and DiffuseRows16 over a 1920 x 1080 picture, as the wallpaper
// maker runs them (all rows but the last), in megapixels per second. The 8-bit
// reduction uses the palette maker's 234-colour palette of the same picture.
#include "palette/palette.h"
#include "platform/host/host.h"
#include "tools/palette_maker.h"

#include <benchmark/benchmark.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// Blue, green, red pixels: ramps, soft discs of strong colour and a little noise.
std::vector<uint8_t> MakePicture()
{
    std::vector<uint8_t> bgr((size_t)kWidth * kHeight * 3);
    std::mt19937 random(7);
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            double r = 40 + 180.0 * x / kWidth, g = 30 + 150.0 * y / kHeight;
            double b = 128 + 90 * sin(x * 0.01 + y * 0.007);
            const double discs[3][6] = {{0.3, 0.4, 0.15, 230, 40, 30}, {0.7, 0.6, 0.2, 20, 60, 200},
                                        {0.5, 0.2, 0.1, 250, 240, 90}};
            for (const double *d : discs) {
                double dx = x - d[0] * kWidth, dy = y - d[1] * kHeight, radius = d[2] * kWidth;
                double t = 1 - sqrt(dx * dx + dy * dy) / radius;
                if (t > 0) {
                    t = t * 3 < 1 ? t * 3 : 1;
                    r = r * (1 - t) + d[3] * t, g = g * (1 - t) + d[4] * t, b = b * (1 - t) + d[5] * t;
                }
            }
            double v[3] = {b, g, r};
            for (int c = 0; c < 3; c++) {
                double noisy = v[c] + (int)(random() % 7) - 3;
                bgr[((size_t)y * kWidth + x) * 3 + c] = (uint8_t)(noisy < 0 ? 0 : noisy > 255 ? 255 : noisy);
            }
        }
    return bgr;
}

const std::vector<uint8_t> &Picture()
{
    static const std::vector<uint8_t> picture = MakePicture();
    return picture;
}

void LoadPicturePalette()
{
    const std::vector<uint8_t> &bgr = Picture();
    std::vector<uint8_t> rgb(bgr.size());
    for (size_t i = 0; i < bgr.size(); i += 3) {
        rgb[i] = bgr[i + 2];
        rgb[i + 1] = bgr[i + 1];
        rgb[i + 2] = bgr[i];
    }
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
