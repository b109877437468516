// The five wallpapers as the content folder holds them, ZORVA\<COLOR>.ART and
// ZORVA\<COLOR>.tr, read the way the wallpaper job reads them: each art opens
// and decodes to its full size, stays close to the picture the painter makes,
// and rendered for an 8-bit screen with its own palette uses only that
// palette's colours and, seen from a little way off, looks like the 24-bit
// rendering.
#include "base/processvalues.h"
#include "base/team.h"
#include "decoder/art.h"
#include "decoder/scale.h"
#include "palette/palette.h"
#include "tests/content_testing.h"
#include "wallpaper/bitmapfile.h"
#include "wallpaper/wallpaperjob.h"
#include "tools/art/artencode.h"
#include "tools/wallart/wallart.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// The lowest PSNR of an art file against its painted picture, in dB; the
// files measure 49-50.5 dB.
constexpr double kMinPsnrDb = 42.0;
// The most the 8-bit rendering may stray from the 24-bit one, blurred over 5 x 5
// pixels: on average, and at its worst spot (blurred over 9 x 9), in levels of
// 0..255. The files measure about 1.5 on average and 5 at the worst spot.
constexpr double kMaxMeanError = 3.0;
constexpr int kMaxSpotError = 12;

class ArtContentTest : public MachineTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        dir = ContentFolder(QUENNEL_CONTENT_FOLDER) + "\\ZORVA";
        word = kWallColorWords[GetParam()];
        artPath = dir + "\\" + word + ".ART";
        palettePath = dir + "\\" + word + ".tr";
        ASSERT_TRUE(FileExists(artPath)) << "art missing in " << QUENNEL_CONTENT_FOLDER;
        ASSERT_TRUE(FileExists(palettePath));
        DiffusionKernel = 2;
    }
    std::string dir, word, artPath, palettePath;
};

std::string ColorName(const ::testing::TestParamInfo<int> &info) { return kWallColorWords[info.param]; }

// The palette's colours as a set of packed colours.
std::vector<bool> PaletteSet()
{
    std::vector<bool> in(1 << 24, false);
    for (int i = 0; i < ActivePalette.logPalette.palNumEntries; i++)
        in[ActivePalette.colors[i] & 0xFFFFFF] = true;
    return in;
}

// The child index path of a colour's own bits, depth levels deep.
std::vector<int> OwnPath(int red, int green, int blue, int depth)
{
    std::vector<int> path;
    for (int level = 0; level < depth; level++) {
        int bit = 7 - level;
        path.push_back(4 * (blue >> bit & 1) + 2 * (green >> bit & 1) + (red >> bit & 1));
    }
    return path;
}

// The largest difference of the two pictures blurred over (2 radius + 1)
// pixels a side, in levels, over every channel and place: where the 8-bit
// rendering would show a patch of the wrong colour.
int WorstSpot(const uint8_t *a, const uint8_t *b, int width, int height, int stride, int radius)
{
    int worst = 0;
    const int side = 2 * radius + 1;
    for (int y = radius; y + radius < height; y += radius)
        for (int x = radius; x + radius < width; x += radius)
            for (int c = 0; c < 3; c++) {
                long sa = 0, sb = 0;
                for (int j = y - radius; j <= y + radius; j++)
                    for (int i = x - radius; i <= x + radius; i++) {
                        sa += a[(size_t)j * stride + 3 * i + c];
                        sb += b[(size_t)j * stride + 3 * i + c];
                    }
                int d = (int)(labs(sa - sb) / (side * side));
                worst = d > worst ? d : worst;
            }
    return worst;
}

}  // namespace

TEST_P(ArtContentTest, PaletteIsSmallAndItsPathsFollowItsColours)
{
    std::string text = ReadWholeFile(palettePath);
    int lines = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        ASSERT_NE(std::string::npos, end) << "the last line has no line end";
        std::string line = text.substr(at, end - at);
        at = end + 1;
        lines++;
        ASSERT_LT(line.size(), 254u);
        int red = -1, green = -1, blue = -1;
        ASSERT_EQ(3, sscanf(line.c_str(), "%d %d %d", &red, &green, &blue)) << line;
        ASSERT_TRUE(red >= 0 && red <= 255 && green >= 0 && green <= 255 && blue >= 0 && blue <= 255) << line;
        size_t dash = line.find('-');
        ASSERT_NE(std::string::npos, dash) << line;
        std::vector<int> path;
        for (char ch : line.substr(dash + 1))
            if (ch >= '0' && ch <= '9')
                path.push_back(ch - '0');
        // The search descends by a colour's bits: each entry's path must be
        // the beginning of its own colour's path, or the search never finds it.
        ASSERT_LE(path.size(), 8u) << line;
        EXPECT_EQ(OwnPath(red, green, blue, (int)path.size()), path) << line;
    }
    EXPECT_GE(lines, 64);
    EXPECT_LE(lines, 234);

    LoadPalette(palettePath.c_str());
    EXPECT_EQ(lines, ActivePalette.logPalette.palNumEntries);
    // Every entry is found by the search; pure black and white are entries,
    // since the scaled picture's black last row and the row reduction's
    // saturated pixels are looked up as they are.
    for (int i = 0; i < lines; i++)
        EXPECT_EQ(ActivePalette.colors[i], NearestPaletteColor(ActivePalette.colors[i])) << i;
    std::vector<bool> in = PaletteSet();
    EXPECT_TRUE(in[0x000000]);
    EXPECT_TRUE(in[0xFFFFFF]);
}

TEST_P(ArtContentTest, DecodesToItsSizeAndStaysCloseToThePaintedPicture)
{
    ArtFile *art = OpenArt(artPath.c_str());
    EXPECT_EQ(4, art->header[kArtPieces]);
    ASSERT_EQ(kWallpaperWidth, ArtWidth(art));
    ASSERT_EQ(kWallpaperHeight, ArtHeight(art));
    EXPECT_EQ(kWallpaperWidth * kWallpaperHeight * 3, art->header[kArtImageSize]);
    uint8_t *decoded = DecodeArt(art);
    CloseArt(art);
    ASSERT_NE(nullptr, decoded);

    std::vector<uint8_t> painted = PaintWallpaper(GetParam(), kWallpaperWidth, kWallpaperHeight);
    ASSERT_EQ((size_t)kWallpaperWidth * kWallpaperHeight * 3, painted.size());
    double psnr = PicturePsnrDb(painted.data(), decoded, painted.size());
    EXPECT_GE(psnr, kMinPsnrDb);
    printf("%s: PSNR %.2f dB against the painted picture\n", word.c_str(), psnr);
    free(decoded);
}

TEST_P(ArtContentTest, EightBitRenderingUsesThePaletteAndKeepsThePicture)
{
    LoadPalette(palettePath.c_str());
    std::vector<bool> in = PaletteSet();
    ArtFile *art = OpenArt(artPath.c_str());
    for (auto size : {std::make_pair(1920, 1080), std::make_pair(800, 600)}) {
        int width = size.first, height = size.second, stride = (width * 3 + 3) & ~3;
        uint8_t *full = RenderArt(art, width, height, 24, DiffusionKernel);
        uint8_t *reduced = RenderArt(art, width, height, 8, DiffusionKernel);
        ASSERT_TRUE(full && reduced);
        size_t outside = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                const uint8_t *p = reduced + (size_t)y * stride + 3 * x;
                outside += !in[p[0] | p[1] << 8 | p[2] << 16];
            }
        EXPECT_EQ(0u, outside) << width << " x " << height;
        // The last row is black in both renderings and is left out.
        double mean = BlurredMeanError(full, reduced, width, height - 1, stride, 2);
        int spot = WorstSpot(full, reduced, width, height - 1, stride, 4);
        EXPECT_LE(mean, kMaxMeanError) << width << " x " << height;
        EXPECT_LE(spot, kMaxSpotError) << width << " x " << height;
        printf("%s at %d x %d, 8 bits: blurred mean error %.2f, worst spot %d\n", word.c_str(), width, height, mean,
               spot);
        free(full);
        free(reduced);
    }
    CloseArt(art);
}

// The wallpaper file the job makes of each art holds the art's rendering,
// row for row: the 8-bit screen of the common size, a 16-bit and a 24-bit
// one, the art's own size (no scaling, no diffusion) and a screen larger than
// the art, from two threads and from one. The renderings' bytes are checked
// against the stages in decoder_test, the row format in wallpaper_test.
TEST_P(ArtContentTest, WallpaperFilesHoldTheRenderings)
{
    struct Job {
        int width, height, depth;
    };
    static const Job kJobs[] = {{1920, 1080, 8}, {1366, 768, 16}, {1280, 1024, 24}, {2048, 1280, 8}, {3840, 2160, 8}};
    static IndexCache cache;
    std::string bitmap = NewFolder() + "\\rendered.bmp";
    ArtFile *art = OpenArt(artPath.c_str());
    for (int j = 0; j < 5; j++) {
        const Job &job = kJobs[j];
        TeamThreads = j % 2 ? 1 : 2;
        ASSERT_TRUE(MakeWallpaperFile(artPath.c_str(), palettePath.c_str(), bitmap.c_str(), job.width, job.height,
                                      job.depth, 3779, 3779));
        std::string file = ReadWholeFile(bitmap);
        size_t rowBytes = BitmapRowBytes(job.width, job.depth);
        ASSERT_EQ(1078 + rowBytes * job.height, file.size());
        uint8_t *rows = RenderArt(art, job.width, job.height, job.depth, DiffusionKernel);
        std::vector<uint8_t> row(rowBytes);
        StartIndexCache(&cache);
        int unlike = -1;  // the first row unlike the rendering's
        for (int y = 0; y < job.height && unlike < 0; y++) {
            ConvertWallpaperRow(rows + (size_t)y * ScaledRowBytes(job.width), row.data(), job.width, job.depth, &cache);
            if (memcmp(row.data(), &file[1078 + WallpaperFileRow(y, job.height) * rowBytes], rowBytes))
                unlike = y;
        }
        EXPECT_EQ(-1, unlike) << job.width << " x " << job.height << " at " << job.depth;
        free(rows);
    }
    TeamThreads = 2;
    CloseArt(art);
}

INSTANTIATE_TEST_SUITE_P(Colors, ArtContentTest, ::testing::Range(0, (int)kWallColors), ColorName);
