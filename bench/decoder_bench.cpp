// The art decoder's speed: DecodeArt of a 1920 x 1080 wallpaper and RenderArt
// of a 1280 x 1024 one to 1920 x 1080, in megapixels of the picture a second,
// beside libjpeg (in this process, as djpeg does it) and the djpeg program
// decoding a JPEG of the same picture at about the same file size.
//
// The picture is made here (discs, waves and a fine texture), or read from
// the file that QUENNEL_BENCH_PICTURE names (its top-left 1920 x 1080).
#include "base/processvalues.h"
#include "decoder/art.h"
#include "tools/art/artencode.h"
#include "tools/art/picture.h"

#include <benchmark/benchmark.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#ifdef QUENNEL_BENCH_JPEG
#include <jpeglib.h>
#endif

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

std::vector<uint8_t> MakeWallpaper(int width, int height)
{
    std::vector<uint8_t> px((size_t)width * height * 3);
    uint32_t seed = 1;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            double u = (double)x / width, v = (double)y / height;
            seed = seed * 1664525 + 1013904223;
            double grain = ((seed >> 24) & 3) - 1.5;  // a faint texture, as painted art has
            double disc = 1 / (1 + exp((hypot(u - 0.35, (v - 0.55) * 0.56) / 0.22 - 1) * 25));
            double b = 90 + 70 * sin(7 * u + 3 * sin(5 * v)) + 60 * disc + grain;
            double g = 70 + 50 * sin(4 * v + 6 * u * u) + 120 * disc * (1 - v) + grain;
            double r = 60 + 90 * v + 40 * sin(17 * u * v) + grain;
            uint8_t *p = &px[((size_t)y * width + x) * 3];
            p[0] = (uint8_t)fmin(255, fmax(0, b));
            p[1] = (uint8_t)fmin(255, fmax(0, g));
            p[2] = (uint8_t)fmin(255, fmax(0, r));
        }
    return px;
}

// The bench picture at width x height: the file's top-left corner, or made.
std::vector<uint8_t> Picture(int width, int height)
{
    if (const char *path = getenv("QUENNEL_BENCH_PICTURE")) {
        std::vector<uint8_t> all;
        int w = 0, h = 0;
        std::string error;
        if (ReadPicture(path, &all, &w, &h, &error) && w >= width && h >= height) {
            std::vector<uint8_t> px((size_t)width * height * 3);
            for (int y = 0; y < height; y++)
                std::copy(&all[(size_t)y * w * 3], &all[(size_t)y * w * 3 + width * 3], &px[(size_t)y * width * 3]);
            return px;
        }
        fprintf(stderr, "QUENNEL_BENCH_PICTURE: cannot use %s, making a picture\n", path);
    }
    return MakeWallpaper(width, height);
}

struct ArtFixture {
    std::vector<uint8_t> picture, bytes;
    ArtFile *art = nullptr;
    ArtFixture(int width, int height, bool subsample)
    {
        picture = Picture(width, height);
        ArtEncodeOptions options;
        options.subsample = subsample;
        std::string error;
        if (!EncodeArt(picture.data(), width, height, options, &bytes, &error)) {
            fprintf(stderr, "cannot encode the bench picture: %s\n", error.c_str());
            exit(1);
        }
        art = OpenArtBytes("bench.art", bytes.data(), bytes.size());
    }
};

// The 1920 x 1080 wallpaper as art, its chroma at full or half resolution.
ArtFixture &Wallpaper(bool subsample)
{
    static ArtFixture full(kWidth, kHeight, false), half(kWidth, kHeight, true);
    return subsample ? half : full;
}

void SetRate(benchmark::State &state, int pixels)
{
    state.counters["MP/s"] =
        benchmark::Counter((double)pixels * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_DecodeArt(benchmark::State &state)
{
    ArtFixture &f = Wallpaper(state.range(0) != 0);
    for (auto _ : state) {
        uint8_t *picture = DecodeArt(f.art);
        benchmark::DoNotOptimize(picture);
        free(picture);
    }
    SetRate(state, kWidth * kHeight);
    state.counters["bytes"] = (double)f.bytes.size();
    uint8_t *picture = DecodeArt(f.art);
    state.counters["PSNR"] = PicturePsnrDb(f.picture.data(), picture, f.picture.size());
    free(picture);
}
BENCHMARK(BM_DecodeArt)->Arg(0)->Arg(1)->ArgName("subsampled")->Unit(benchmark::kMillisecond);

void BM_RenderArt(benchmark::State &state)
{
    static ArtFixture f(1280, 1024, true);
    const int depth = (int)state.range(0);
    for (auto _ : state) {
        uint8_t *result = RenderArt(f.art, kWidth, kHeight, depth, 2);
        benchmark::DoNotOptimize(result);
        free(result);
    }
    SetRate(state, kWidth * kHeight);
}
BENCHMARK(BM_RenderArt)->Arg(24)->Arg(16)->ArgName("depth")->Unit(benchmark::kMillisecond);

#ifdef QUENNEL_BENCH_JPEG

std::vector<uint8_t> CompressJpeg(const std::vector<uint8_t> &bgr, int quality)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.optimize_coding = TRUE;
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(kWidth * 3);
    while (c.next_scanline < c.image_height) {
        const uint8_t *src = &bgr[(size_t)c.next_scanline * kWidth * 3];
        for (int x = 0; x < kWidth; x++)
            row[3 * x] = src[3 * x + 2], row[3 * x + 1] = src[3 * x + 1], row[3 * x + 2] = src[3 * x];
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> jpeg(out, out + size);
    free(out);
    return jpeg;
}

// The JPEG (4:2:0, as cjpeg makes by default) of the bench picture whose size
// is nearest the subsampled art file's.
const std::vector<uint8_t> &MatchingJpeg(int *quality)
{
    static std::vector<uint8_t> best;
    static int bestQuality;
    if (best.empty()) {
        size_t target = Wallpaper(true).bytes.size();
        for (int q = 5; q <= 100; q++) {
            std::vector<uint8_t> j = CompressJpeg(Wallpaper(true).picture, q);
            if (best.empty() || labs((long)j.size() - (long)target) < labs((long)best.size() - (long)target))
                best = j, bestQuality = q;
        }
    }
    *quality = bestQuality;
    return best;
}

// Decodes to RGB rows, as djpeg does.
void DecompressJpeg(const std::vector<uint8_t> &jpeg, std::vector<uint8_t> *rgb)
{
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), jpeg.size());
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
        JSAMPROW rows[1] = {&(*rgb)[(size_t)d.output_scanline * kWidth * 3]};
        jpeg_read_scanlines(&d, rows, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
}

void BM_LibjpegDecode(benchmark::State &state)
{
    int quality = 0;
    const std::vector<uint8_t> &jpeg = MatchingJpeg(&quality);
    std::vector<uint8_t> rgb((size_t)kWidth * kHeight * 3);
    for (auto _ : state) {
        DecompressJpeg(jpeg, &rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
    SetRate(state, kWidth * kHeight);
    std::vector<uint8_t> bgr(rgb.size());
    for (size_t i = 0; i < rgb.size(); i += 3)
        bgr[i] = rgb[i + 2], bgr[i + 1] = rgb[i + 1], bgr[i + 2] = rgb[i];
    state.counters["bytes"] = (double)jpeg.size();
    state.counters["quality"] = quality;
    state.counters["PSNR"] = PicturePsnrDb(Wallpaper(true).picture.data(), bgr.data(), bgr.size());
}
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMillisecond);

// The djpeg program itself, its start-up included, writing to nowhere.
void BM_DjpegProgram(benchmark::State &state)
{
    int quality = 0;
    const std::vector<uint8_t> &jpeg = MatchingJpeg(&quality);
    char path[] = "/tmp/quennel-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0 || write(fd, jpeg.data(), jpeg.size()) != (ssize_t)jpeg.size()) {
        state.SkipWithError("cannot write the JPEG");
        return;
    }
    close(fd);
    std::string command = std::string("djpeg -outfile /dev/null ") + path;
    for (auto _ : state)
        if (system(command.c_str()) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
    SetRate(state, kWidth * kHeight);
    unlink(path);
}
BENCHMARK(BM_DjpegProgram)->UseRealTime()->Unit(benchmark::kMillisecond);

#endif

}  // namespace

BENCHMARK_MAIN();
