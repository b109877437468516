// Art bytes to RenderArt at a small size and at 8, 16 or 24 bits. A damaged
// art file ends the program through the error report by design: here that is
// one outcome of an input, and what the decoder had allocated is freed.
//
// The decoder never reads header fields 1-6, so the target takes its own
// choices from them and every input stays an art file as it is:
//   byte 4   the screen depth: 8, 16 or 24 by its value mod 3
//   byte 5   the target width, 1-64; byte 6 the target height, 1-48
//   byte 7   odd: the art's own size instead, when that is at most 64 x 64
// Pictures wider or taller than kLargestSide are not decoded: a decode of a
// full-size wallpaper takes too long for a fuzzer, and the wavelet's scratch
// planes, which the decoder keeps and grows, are built to that side first.
#include "tests/fuzz/fuzz_support.h"
#include "tests/testart_data.h"

#include "base/processvalues.h"
#include "decoder/art.h"
#include "decoder/wavelet.h"
#include "palette/palette.h"
#include "tools/art/artencode.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

constexpr int kLargestSide = 1024;

static int32_t Field(const uint8_t *data, int n)
{
    const uint8_t *p = data + 4 * n;
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

struct RenderJob {
    const uint8_t *data;
    size_t size;
    int width, height, depth;
};

static void Render(void *context)
{
    const RenderJob &job = *(const RenderJob *)context;
    ArtFile *art = OpenArtBytes("C:\\fuzz.ART", job.data, job.size);
    uint8_t *picture = RenderArt(art, job.width, job.height, job.depth, DiffusionKernel);
    free(picture);
    CloseArt(art);
}

// Builds the tables that the decoder and the row conversion keep for the
// life of the process, at their largest, so that no input grows them.
static void WarmUp()
{
    std::vector<int32_t> plane((size_t)kLargestSide * kLargestSide);
    InverseTransformPlane(plane.data(), kLargestSide, 8, 0);

    const int side = 32;
    std::vector<uint8_t> bgr((size_t)side * side * 3);
    for (size_t i = 0; i < bgr.size(); i++)
        bgr[i] = (uint8_t)(i * 7);
    std::vector<uint8_t> art;
    std::string error;
    if (!EncodeArt(bgr.data(), side, side, ArtEncodeOptions(), &art, &error)) {
        fprintf(stderr, "fuzz_art: the warm-up art cannot be made: %s\n", error.c_str());
        abort();
    }
    for (int depth : {8, 16, 24}) {
        RenderJob job = {art.data(), art.size(), 20, 10, depth};
        if (RunUntilReport(Render, &job, false)) {
            fprintf(stderr, "fuzz_art: the warm-up art was refused\n");
            abort();
        }
    }
    WarmUpFreeingLeftovers();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMachineSetUp();
    // The palette of an 8-bit screen: 64 colours, two bits a channel.
    std::string text = TestPaletteText();
    FuzzWriteFile("C:\\fuzz.tr", (const uint8_t *)text.data(), text.size());
    LoadPalette("C:\\fuzz.tr");
    WarmUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RenderJob job = {data, size, 16, 12, 24};
    if (size >= (size_t)kArtHeaderSize) {
        long long width = Field(data, kArtWidth), height = Field(data, kArtHeight);
        if (Field(data, kArtPieces) == 4)
            width *= 2, height *= 2;
        if (width > kLargestSide || height > kLargestSide)
            return -1;  // not kept in the corpus
        static const int depths[3] = {8, 16, 24};
        job.depth = depths[data[4] % 3];
        job.width = 1 + data[5] % 64;
        job.height = 1 + data[6] % 48;
        if ((data[7] & 1) && width >= 1 && height >= 1 && width <= 64 && height <= 64)
            job.width = (int)width, job.height = (int)height;
    }
    RunUntilReport(Render, &job, true);
    return 0;
}
