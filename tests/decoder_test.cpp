// The decode driver: whole art files in, pictures out. Encoder-to-decoder
// round trips, the 4-piece layout and seam, the scaling to a target size and
// the row conversion by screen depth.
#include "base/kernels.h"
#include "base/processvalues.h"
#include "base/team.h"
#include "decoder/art.h"
#include "decoder/scale.h"
#include "palette/palette.h"
#include "tests/art_testing.h"
#include "tests/diffuse_testing.h"
#include "tests/testing.h"
#include "tools/palette_maker.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

static std::string AsString(const std::vector<uint8_t> &v) { return std::string(v.begin(), v.end()); }

// ------------------------------------------------------------- round trips

struct RoundTrip {
    PictureKind kind;
    int width, height, pieces;
    bool subsample;
    int baseSide, quality;
    double floorDb;  // the decoded picture's PSNR is at least this
};

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, DecodesCloseToThePicture)
{
    const RoundTrip &c = GetParam();
    std::vector<uint8_t> picture = MakePicture(c.kind, c.width, c.height);
    ArtEncodeOptions options;
    options.pieces = c.pieces;
    options.subsample = c.subsample;
    options.baseSide = c.baseSide;
    options.quality = c.quality;
    std::vector<uint8_t> art = EncodeForTest(picture, c.width, c.height, options);
    ASSERT_FALSE(art.empty());
    int width = 0, height = 0;
    std::vector<uint8_t> decoded = DecodeBytes(AsString(art), &width, &height);
    ASSERT_EQ(c.width, width);
    ASSERT_EQ(c.height, height);
    double psnr = PicturePsnrDb(picture.data(), decoded.data(), picture.size());
    EXPECT_GE(psnr, c.floorDb) << art.size() << " bytes";
}

static std::string RoundTripName(const ::testing::TestParamInfo<RoundTrip> &info)
{
    static const char *const kinds[] = {"Gradient", "Discs", "Waves", "Checker", "Noise"};
    const RoundTrip &c = info.param;
    return std::string(kinds[c.kind]) + std::to_string(c.width) + "x" + std::to_string(c.height) + "Pieces" +
           std::to_string(c.pieces) + (c.subsample ? "Subsampled" : "") + "Base" + std::to_string(c.baseSide) +
           "Quality" + std::to_string(c.quality);
}

// Floors about 3 dB under what the encoder reaches, for room between builds.
INSTANTIATE_TEST_SUITE_P(
    Pictures, RoundTripTest,
    ::testing::Values(
        // The smallest: one pixel, no transform; a 2 x 2 picture of four 1-pixel pieces.
        RoundTrip{kGradient, 1, 1, 1, false, 1, 90, 45}, RoundTrip{kGradient, 2, 2, 4, false, 1, 90, 45},
        // One pixel high: a single row of the transform's output, the rest of the plane unused.
        RoundTrip{kGradient, 2, 1, 1, false, 1, 90, 52}, RoundTrip{kGradient, 16, 1, 1, false, 0, 90, 44},
        RoundTrip{kWaves, 64, 1, 1, true, 0, 75, 39}, RoundTrip{kNoise, 24, 1, 1, false, 24, 90, 38},
        RoundTrip{kChecker, 96, 1, 1, false, 3, 90, 53},
        RoundTrip{kGradient, 64, 48, 1, false, 0, 75, 40}, RoundTrip{kGradient, 64, 48, 4, false, 0, 75, 37},
        RoundTrip{kDiscs, 96, 72, 1, false, 3, 75, 35}, RoundTrip{kDiscs, 96, 72, 1, true, 3, 75, 33},
        RoundTrip{kDiscs, 96, 72, 4, true, 6, 75, 32}, RoundTrip{kWaves, 128, 80, 1, false, 0, 75, 36},
        RoundTrip{kWaves, 128, 80, 4, false, 4, 75, 35}, RoundTrip{kWaves, 128, 128, 4, true, 8, 90, 36},
        RoundTrip{kChecker, 64, 64, 1, false, 8, 90, 45}, RoundTrip{kChecker, 64, 40, 4, false, 2, 75, 23},
        RoundTrip{kNoise, 80, 60, 1, false, 5, 90, 34}, RoundTrip{kNoise, 80, 60, 1, true, 5, 50, 22}),
    RoundTripName);

TEST(RoundTripTest, HigherQualityGivesBiggerFilesAndCloserPictures)
{
    std::vector<uint8_t> picture = MakePicture(kWaves, 96, 96);
    double lastPsnr = 0;
    size_t lastSize = 0;
    for (int quality : {20, 50, 80, 100}) {
        ArtEncodeOptions options;
        options.quality = quality;
        std::vector<uint8_t> art = EncodeForTest(picture, 96, 96, options);
        std::vector<uint8_t> decoded = DecodeBytes(AsString(art));
        double psnr = PicturePsnrDb(picture.data(), decoded.data(), picture.size());
        EXPECT_GT(psnr, lastPsnr) << quality;
        EXPECT_GT(art.size(), lastSize) << quality;
        lastPsnr = psnr;
        lastSize = art.size();
    }
}

// ------------------------------------------------------------- layout

// A 4-piece file whose header says 320 x 240 and whose planes hold no
// transform (the base side is the piece side), so each piece is one flat
// colour given by its offsets: piece i has Y' 100 + 200 i.
static std::string FlatFourPieces()
{
    ArtBytes art;
    art.header[kArtWidth] = 320;
    art.header[kArtHeight] = 240;
    art.header[kArtBaseSide] = 320;
    art.header[kArtPieces] = 4;
    art.header[kArtImageSize] = 640 * 480 * 3;
    for (int i = 0; i < 4; i++) {
        art.header[kArtYOffset + i] = 100 + 200 * i;
        art.header[kArtUOffset + i] = 512;
        art.header[kArtVOffset + i] = 512;
    }
    std::vector<int32_t> planes((size_t)4 * 3 * 320 * 320, 0);
    art.data = PackPlanes(planes, &art.header[kArtStreamSize]);
    return art.Bytes();
}

TEST(DecodeArtTest, FourPieceHalvesDoubleAndTheMiddleColumnIsAveraged)
{
    int width = 0, height = 0;
    std::vector<uint8_t> picture = DecodeBytes(FlatFourPieces(), &width, &height);
    ASSERT_EQ(640, width);
    ASSERT_EQ(480, height);
    auto at = [&](int x, int y) { return picture[((size_t)y * 640 + x) * 3]; };
    // Grey Y' v gives blue (v >> 2) stretched; pieces 0-3 are 100, 300, 500, 700.
    const uint8_t level[4] = {25 * 255 / 248, 75 * 255 / 248, 125 * 255 / 248, 175 * 255 / 248};
    for (int y : {0, 100, 319}) {
        EXPECT_EQ(level[0], at(0, y));
        EXPECT_EQ(level[0], at(319, y));
        EXPECT_EQ((level[0] + level[1]) >> 1, at(320, y));
        EXPECT_EQ(level[1], at(321, y));
        EXPECT_EQ(level[1], at(639, y));
    }
    for (int y : {320, 400, 479}) {  // the bottom pieces give 160 rows each
        EXPECT_EQ(level[2], at(0, y));
        EXPECT_EQ((level[2] + level[3]) >> 1, at(320, y));
        EXPECT_EQ(level[3], at(639, y));
    }
}

// ------------------------------------------------------------- rendering

// The scaling formulas, plainly, with a second buffer for the result.
static std::vector<uint8_t> ReferenceScale(const uint8_t *picture, int artWidth, int artHeight, int width,
                                           int height)
{
    long long hStep = (long long)artWidth * 65536 / width, vStep = (long long)artHeight * 65536 / height;
    int rowBytes = ScaledRowBytes(width);
    std::vector<uint8_t> inter((size_t)artHeight * width * 3, 0), out((size_t)height * rowBytes, 0);
    for (int r = 0; r < artHeight - 1; r++)
        for (int j = 0; j < width; j++) {
            long long X = (j * hStep) >> 8;
            long long f = X & 255;
            const uint8_t *p = picture + (size_t)r * artWidth * 3 + (X >> 8) * 3;
            for (int ch = 0; ch < 3; ch++)
                inter[((size_t)r * width + j) * 3 + ch] = (uint8_t)((p[ch] * (256 - f) + p[ch + 3] * f) >> 8);
        }
    for (int y = 0; y < height - 1; y++) {
        long long Y = (y * vStep) >> 8;
        long long k = std::min<long long>(Y >> 8, artHeight - 2), f = Y & 255;
        for (int x = 0; x < width * 3; x++)
            out[(size_t)y * rowBytes + x] =
                (uint8_t)((inter[k * width * 3 + x] * (256 - f) + inter[(k + 1) * width * 3 + x] * f) >> 8);
    }
    return out;
}

class RenderArtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DiffusionKernel = 2;
        std::vector<uint8_t> picture = MakePicture(kNoise, 48, 36);
        ArtEncodeOptions options;
        options.baseSide = 6;
        std::vector<uint8_t> bytes = EncodeForTest(picture, 48, 36, options);
        art = OpenArtBytes("render.art", bytes.data(), bytes.size());
        decoded = DecodeArt(art);
    }
    void TearDown() override
    {
        free(decoded);
        CloseArt(art);
    }
    // RenderArt's result as rows of ScaledRowBytes(width) bytes.
    std::vector<uint8_t> Render(int width, int height)
    {
        uint8_t *result = RenderArt(art, width, height, depth, DiffusionKernel);
        std::vector<uint8_t> rows(result, result + (size_t)ScaledRowBytes(width) * height);
        free(result);
        return rows;
    }
    ArtFile *art = nullptr;
    uint8_t *decoded = nullptr;
    int depth = 24;
};

TEST_F(RenderArtTest, ArtSizeReturnsTheDecodedPictureUnchanged)
{
    uint8_t *result = RenderArt(art, 48, 36, depth, DiffusionKernel);
    EXPECT_EQ(0, memcmp(decoded, result, 48 * 36 * 3));
    EXPECT_NE(0, result[(48 * 35 + 10) * 3] | result[(48 * 35 + 10) * 3 + 1]);  // no black last row
    free(result);
}

TEST_F(RenderArtTest, ScaledRowsFollowTheFormulasInPlace)
{
    // Up, down, and each way in each direction; widths whose rows need fill.
    const int sizes[][2] = {{80, 60}, {100, 37}, {48, 72}, {30, 20}, {47, 35}, {20, 36}, {96, 20}, {13, 90}, {1, 1},
                            {2, 3}};
    for (auto &size : sizes) {
        int width = size[0], height = size[1];
        std::vector<uint8_t> expected = ReferenceScale(decoded, 48, 36, width, height);
        std::vector<uint8_t> rows = Render(width, height);
        ASSERT_EQ(expected.size(), rows.size());
        for (int y = 0; y < height; y++)
            EXPECT_EQ(0, memcmp(&expected[(size_t)y * ScaledRowBytes(width)], &rows[(size_t)y * ScaledRowBytes(width)],
                                ScaledRowBytes(width)))
                << width << " x " << height << " row " << y;
        // The last row is black, and so fades the row above it.
        EXPECT_EQ(std::vector<uint8_t>(width * 3, 0),
                  std::vector<uint8_t>(rows.end() - ScaledRowBytes(width), rows.end() - ScaledRowBytes(width) + width * 3));
    }
}

TEST_F(RenderArtTest, ThirtyTwoBitScreenKeepsTwentyFourBitPixels)
{
    std::vector<uint8_t> expected = Render(50, 30);
    depth = 32;
    EXPECT_EQ(expected, Render(50, 30));
}

// A picture one pixel high is the top row of the square its planes make:
// the same file with its height set to the width decodes to the same row.
// Scaled, its one row is the last source row, which the scaling makes black.
TEST(DecodeArtTest, OneRowIsTheTopRowOfItsSquare)
{
    const char palette[] = "0 0 0 - 0\n255 255 255 - 7\n";
    char error[kPaletteErrorSize];
    ASSERT_EQ(1, ReadPaletteBytes("two.tr", (const uint8_t *)palette, sizeof palette - 1, error, sizeof error));
    for (bool subsample : {false, true}) {
        ArtEncodeOptions options;
        options.subsample = subsample;
        options.baseSide = 2;
        std::vector<uint8_t> bytes = EncodeForTest(MakePicture(kDiscs, 32, 32), 32, 32, options);
        ASSERT_FALSE(bytes.empty());
        std::vector<uint8_t> square = DecodeBytes(AsString(bytes));
        bytes[4 * kArtHeight] = 1;
        bytes[4 * kArtImageSize] = 32 * 3;
        bytes[4 * kArtImageSize + 1] = 0;
        int width = 0, height = 0;
        std::vector<uint8_t> row = DecodeBytes(AsString(bytes), &width, &height);
        ASSERT_EQ(1, height);
        EXPECT_EQ(std::vector<uint8_t>(square.begin(), square.begin() + 32 * 3), row) << subsample;

        ArtFile *art = OpenArtBytes("row.art", bytes.data(), bytes.size());
        uint8_t *same = RenderArt(art, 32, 1, 24, DiffusionKernel);
        EXPECT_EQ(0, memcmp(row.data(), same, row.size()));
        free(same);
        // Kernel 0 passes no error on: with the others even an error of 0
        // passes half a level, and black rows below others turn dark grey.
        for (int depth : {8, 16, 24})
            for (auto [w, h] : {std::pair{5, 3}, {1, 1}, {3, 1}, {64, 2}, {32, 7}}) {
                uint8_t *scaled = RenderArt(art, w, h, depth, 0);
                std::vector<uint8_t> rows(scaled, scaled + (size_t)ScaledRowBytes(w) * h);
                free(scaled);
                EXPECT_EQ(std::vector<uint8_t>(rows.size(), 0), rows) << w << " x " << h << " at " << depth;
            }
        CloseArt(art);
    }
}

// Every rendering of a few art files is the stages' work done plainly: the
// decoded picture scaled by the formulas, then reduced a pair of rows at a
// time on one thread: 1-piece and 4-piece arts, with and without
// subsampling, a picture of hard edges, a cut bottom row of pieces; each
// shrunk, grown, made wider than the error rows' first width and cut to one
// pixel, for 8, 16 and 24-bit screens and every diffusion kernel, on an
// octree palette of 200 colours; from one thread and from two, at each level
// of the processor's instruction set that it has (the thread sanitizer's
// build, many times slower, looks at two threads only). The arts are kept
// files (tests/golden/), made once by the encoder from the pictures named:
// their decoded pictures are the golden hashes of the decoder.
TEST(RenderArtGolden, RenderingsAreTheStagesWork)
{
    struct Art {
        const char *file;  // of the picture: 4 pieces subsampled, 1 piece, 4 pieces, 1 piece subsampled
        int width, height;
        uint64_t decoded;
    };
    static const Art kArts[] = {
        {"DISCS.ART", 96, 72, 0xe2f6615e893a0367ull},
        {"NOISE.ART", 64, 48, 0x5d810515e587119full},
        {"CHECKER.ART", 128, 96, 0xc944bc59c7c96a0full},
        {"WAVES.ART", 64, 64, 0xd82fbc3fa86d50aeull},
    };
    static const std::pair<int, int> kSizes[] = {{37, 23}, {200, 150}, {1300, 5}, {1, 1}, {3, 40}};

    std::vector<uint8_t> discs = MakePicture(kDiscs, 96, 72), rgb(discs.size());
    for (size_t i = 0; i < discs.size(); i += 3)
        rgb[i] = discs[i + 2], rgb[i + 1] = discs[i + 1], rgb[i + 2] = discs[i];
    std::string palette = FormatPalette(MakeOctreePalette(rgb.data(), rgb.size() / 3, 200));
    char error[256];
    ASSERT_EQ(1, ReadPaletteBytes("golden.tr", (const uint8_t *)palette.data(), palette.size(), error, sizeof error))
        << error;

    for (const Art &a : kArts) {
        std::string bytes = ReadGoldenFile(a.file);
        ASSERT_FALSE(bytes.empty()) << a.file;
        ArtFile *art = OpenArtBytes(a.file, (const uint8_t *)bytes.data(), bytes.size());
        ASSERT_EQ(a.width, ArtWidth(art));
        ASSERT_EQ(a.height, ArtHeight(art));
        uint8_t *decoded = DecodeArt(art);
        EXPECT_EQ(a.decoded, Fnv1a(decoded, (size_t)a.width * a.height * 3)) << a.file;
        for (auto [w, ht] : kSizes)
            for (int depth : {8, 16, 24})
                for (int kernel = 0; kernel <= 7; kernel++) {
                    std::vector<uint8_t> expected = ReferenceScale(decoded, a.width, a.height, w, ht);
                    if (depth != 24)
                        DiffuseRows(depth == 8, kernel, expected.data(), ht - 1, w, ScaledRowBytes(w) - w * 3);
                    for (int run = 0; run < 6; run++) {
                        TeamThreads = run % 2 + 1;
                        KernelLevelInUse = (KernelLevel)(run / 2);
                        if (KernelLevelInUse > BestKernelLevel() || (kThreadSanitizer && TeamThreads == 1))
                            continue;
                        uint8_t *rows = RenderArt(art, w, ht, depth, kernel);
                        ASSERT_EQ(0, memcmp(expected.data(), rows, expected.size()))
                            << a.file << " at " << w << " x " << ht << ", " << depth << " bits, kernel " << kernel
                            << ", " << TeamThreads << " thread(s), level " << KernelLevelInUse;
                        free(rows);
                    }
                    KernelLevelInUse = BestKernelLevel();
                }
        free(decoded);
        TeamThreads = 2;
        CloseArt(art);
    }
}

class OpenArtTest : public MachineTest {};

TEST_F(OpenArtTest, ReadsThroughThePlatformsFiles)
{
    std::vector<uint8_t> picture = MakePicture(kDiscs, 40, 30);
    std::vector<uint8_t> bytes = EncodeForTest(picture, 40, 30, ArtEncodeOptions());
    std::string path = NewFolder() + "\\BLUE.ART";
    WriteWholeFile(path, AsString(bytes));
    ArtFile *art = OpenArt(path.c_str());
    EXPECT_STREQ(path.c_str(), art->path);
    EXPECT_EQ(bytes.size() - kArtHeaderSize, art->dataSize);
    uint8_t *fromFile = DecodeArt(art);
    EXPECT_EQ(AsString(DecodeBytes(AsString(bytes))), std::string((char *)fromFile, 40 * 30 * 3));
    free(fromFile);
    CloseArt(art);
}

TEST(DecodeArtTest, ExtremeCoefficientsStillGivePixels)
{
    // An 8 x 8 picture, three levels from base side 1, every value at or near
    // the ends of the 32-bit range: the synthesis wraps and the levels take
    // the ends of the table, with nothing read or written outside a buffer.
    ArtBytes art;
    art.header[kArtWidth] = art.header[kArtHeight] = 8;
    art.header[kArtBaseSide] = 1;
    art.header[kArtPieces] = 1;
    art.header[kArtImageSize] = 8 * 8 * 3;
    art.header[kArtYOffset] = INT32_MAX;
    art.header[kArtUOffset] = INT32_MIN;
    std::vector<int32_t> planes(3 * 64);
    for (size_t i = 0; i < planes.size(); i++)
        planes[i] = i % 3 == 0 ? INT32_MAX : i % 3 == 1 ? INT32_MIN : (int32_t)(i * 0x9E3779B9u);
    art.data = PackPlanes(planes, &art.header[kArtStreamSize]);
    std::vector<uint8_t> picture = DecodeBytes(art.Bytes());
    ASSERT_EQ(8u * 8 * 3, picture.size());
    // The wrapped sums are the plain code's at every instruction-set level.
    KernelLevelInUse = kKernelPlain;
    EXPECT_EQ(picture, DecodeBytes(art.Bytes()));
    KernelLevelInUse = BestKernelLevel();
}
