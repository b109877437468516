// Damaged art files, each made to trip one check of the decoder, decoded by
// the probe program: every one must end in the fatal report that names the
// file and what is wrong, never in a crash or a read or write outside a
// buffer (the sanitizer build runs the probe too).
#include "decoder/art.h"
#include "tests/art_testing.h"
#include "tests/testing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

class ArtFileTest : public MachineTest {
protected:
    // Runs the probe on these bytes; returns its exit code, the box in *box.
    int Decode(const std::string &bytes, std::string *box, const std::string &how = "decode")
    {
        path = NewFolder() + "\\BLUE.ART";
        WriteWholeFile(path, bytes);
        return RunProbe("art_probe", NewFolder(), how + " \"" + path + "\"" + extra, box);
    }
    // Expects the fatal report for this file with this reason.
    void ExpectFault(const std::string &bytes, const std::string &reason)
    {
        std::string box;
        EXPECT_EQ(255, Decode(bytes, &box)) << reason;
        EXPECT_NE(std::string::npos, box.find("Art file " + path + " cannot be decoded: " + reason)) << box;
    }
    std::string path, extra;
};

// A good 1-piece 32 x 24 file, base side 4.
static ArtBytes GoodArt()
{
    std::vector<uint8_t> picture = MakePicture(kWaves, 32, 24);
    ArtEncodeOptions options;
    options.baseSide = 4;
    std::vector<uint8_t> bytes = EncodeForTest(picture, 32, 24, options);
    ArtBytes art;
    for (int n = 0; n < kArtHeaderFields; n++)
        art.header[n] = (int32_t)(bytes[4 * n] | bytes[4 * n + 1] << 8 | bytes[4 * n + 2] << 16 |
                                  (uint32_t)bytes[4 * n + 3] << 24);
    art.data.assign(bytes.begin() + kArtHeaderSize, bytes.end());
    return art;
}

// A 1 x 1 picture (no transform) whose data is the given bits, lowest first.
static ArtBytes OnePixelWithData(const std::vector<uint8_t> &data)
{
    ArtBytes art;
    art.header[kArtWidth] = art.header[kArtHeight] = art.header[kArtBaseSide] = 1;
    art.header[kArtPieces] = 1;
    art.header[kArtImageSize] = 3;
    art.header[kArtStreamSize] = 12;
    art.data = data;
    return art;
}

// The file the damaged ones are made from decodes without a report.
TEST_F(ArtFileTest, GoodFileDecodes)
{
    std::string box;
    EXPECT_EQ(0, Decode(GoodArt().Bytes(), &box));
    EXPECT_EQ("", box);
}

TEST_F(ArtFileTest, MissingOrShortFile)
{
    std::string box, missing = NewFolder() + "\\NONE.ART";
    EXPECT_EQ(255, RunProbe("art_probe", NewFolder(), "decode \"" + missing + "\"", &box));
    EXPECT_EQ(0u, box.find("File-> D42SAVE, Line-> 106\nFile " + missing + " could not be opened: EXITING\r\n"))
        << box;
    ExpectFault(std::string(kArtHeaderSize - 1, 'x'), "it is 107 bytes long, shorter than its 108-byte header");
    ExpectFault(GoodArt().Bytes().substr(0, kArtHeaderSize), "it has no compressed data");
}

TEST_F(ArtFileTest, PieceCounts)
{
    ArtBytes art = GoodArt();
    std::string box;
    for (int pieces : {0, 2, 3, 5, -4}) {
        art.header[kArtPieces] = pieces;
        EXPECT_EQ(255, Decode(art.Bytes(), &box));
        EXPECT_EQ(0u, box.find("File-> D42SAVE, Line-> 224\nwavelet pieces has illegal value: " +
                               std::to_string(pieces))) << box;
    }
    art.header[kArtPieces] = 16;
    ExpectFault(art.Bytes(), "it has 16 pieces; only 1 or 4 can be decoded");
}

// Header fields of the good 32 x 24 file changed, and the report.
TEST_F(ArtFileTest, SizesThatContradictThePieces)
{
    struct Case {
        std::vector<std::pair<int, int32_t>> fields;
        const char *reason;
    };
    const Case cases[] = {
        {{{kArtWidth, 0}}, "its size 0 x 24 is outside 1 x 1 to 8192 x 8192 pixels"},
        {{{kArtWidth, 9000}}, "its size 9000 x 24 is outside 1 x 1 to 8192 x 8192 pixels"},
        {{{kArtPieces, 4}, {kArtWidth, 1 << 30}}, "its header's width 1073741824 is out of range"},  // doubled
        {{{kArtBaseSide, 0}}, "its base side 0 is not positive"},
        {{{kArtBaseSide, 5}}, "its piece side 32 is not the base side 5 times a power of two"},
        {{{kArtBaseSide, 64}}, "its piece side 32 is not the base side 64 times a power of two"},
        {{{kArtHeight, 40}}, "its height 40 is more than its width 32"},
        // 4 pieces of 16: heights 16 ... 32.
        {{{kArtPieces, 4}, {kArtWidth, 16}, {kArtHeight, 7}}, "its height 14 does not fit two rows of pieces of side 16"},
        {{{kArtPieces, 4}, {kArtWidth, 16}, {kArtHeight, 17}}, "its height 34 does not fit two rows of pieces of side 16"},
        {{{kArtSubsampled, 1}, {kArtBaseSide, 32}}, "its chroma side 16 is not the base side 32 times a power of two"},
    };
    const ArtBytes good = GoodArt();
    for (const Case &c : cases) {
        ArtBytes art = good;
        for (auto [field, value] : c.fields)
            art.header[field] = value;
        ExpectFault(art.Bytes(), c.reason);
    }
}

TEST_F(ArtFileTest, SizeFieldsThatContradictTheFile)
{
    ArtBytes art = GoodArt();
    art.header[kArtImageSize] = 32 * 24 * 3 - 1001;
    ExpectFault(art.Bytes(), "its picture size (field 24) 1303 does not match 32 x 24 pixels");
    art.header[kArtImageSize] = -5;
    ExpectFault(art.Bytes(), "its picture size (field 24) -5 does not match 32 x 24 pixels");

    art = GoodArt();
    art.header[kArtStreamSize] = 0x7FFFFFFF;
    ExpectFault(art.Bytes(), "its stream size (field 23) 2147483647 is more than its " +
                                 std::to_string(art.data.size()) + " bytes of data can hold");
    art.header[kArtStreamSize] = -1;
    ExpectFault(art.Bytes(), "its stream size (field 23) -1 is negative");

    // A tree of 'A' (code 1) and 'B': 9000 ones decode to more bytes than
    // the header's 12 (and the 1000 allowed past them).
    std::vector<uint8_t> ones = PackBits({{1, 8}, {'A', 9}, {'B', 9}});
    ones.resize(1200, 0xFF);
    ExpectFault(OnePixelWithData(ones).Bytes(), "its decoded stream is longer than the 12 bytes its header gives");
}

TEST_F(ArtFileTest, BrokenCodeTrees)
{
    ExpectFault(OnePixelWithData({0, 0, 0, 0}).Bytes(), "its code tree has no nodes");
    // Three nodes announced, data for one and a half.
    ExpectFault(OnePixelWithData(PackBits({{3, 8}, {'A', 9}, {'B', 9}, {0, 6}})).Bytes(),
                "its data ends inside its code tree");
    // Node 1 of 2 names node 2: bits 8 + 9 (65) + 9 (66) + 9 (258) + 9 (67).
    std::vector<uint8_t> bad = PackBits({{2, 8}, {65, 9}, {66, 9}, {258, 9}, {67, 9}, {0, 20}});
    ExpectFault(OnePixelWithData(bad).Bytes(), "node 1 of its code tree refers to node 2, past the tree's end");
}

TEST_F(ArtFileTest, StreamsTooShortForThePlanes)
{
    // A 1 x 1 picture needs 12 plane bytes; the stream gives 8.
    ArtBytes one = OnePixelWithData({});
    std::vector<int32_t> planes = {5, 6};
    one.data = PackPlanes(planes, &one.header[kArtStreamSize]);
    ExpectFault(one.Bytes(), "its data ends in piece 1 of 1");

    // Four pieces of 2 x 2 (a 4 x 4 picture) need 4 x 48 bytes; the stream
    // holds two and a half pieces.
    ArtBytes four;
    four.header[kArtWidth] = four.header[kArtHeight] = 2;
    four.header[kArtBaseSide] = 1;
    four.header[kArtPieces] = 4;
    four.header[kArtImageSize] = 4 * 4 * 3;
    std::vector<int32_t> values(12 * 2 + 6, 1);
    four.data = PackPlanes(values, &four.header[kArtStreamSize]);
    ExpectFault(four.Bytes(), "its data ends in piece 3 of 4");
}

TEST_F(ArtFileTest, RenderAtNoSize)
{
    std::string box;
    extra = " 0 10 24";
    EXPECT_EQ(255, Decode(GoodArt().Bytes(), &box, "render"));
    EXPECT_NE(std::string::npos, box.find("Art file " + path + " cannot be rendered at 0 x 10 pixels")) << box;
}

TEST_F(ArtFileTest, RandomDamageEndsInAReportOrAPicture)
{
    const std::string good = GoodArt().Bytes();
    std::mt19937 random(2026);
    int reports = 0;
    for (int run = 0; run < 24; run++) {
        std::string bytes = good;
        int flips = 1 + random() % 4;
        for (int i = 0; i < flips; i++) {
            // Half the damage in the header's fields, half in the data.
            size_t at = run % 2 ? random() % kArtHeaderSize : kArtHeaderSize + random() % (good.size() - kArtHeaderSize);
            bytes[at] = (char)(random() & 0xFF);
        }
        if (run % 3 == 0)
            bytes.resize(kArtHeaderSize + random() % (good.size() - kArtHeaderSize));
        std::string box;
        int code = Decode(bytes, &box);
        ASSERT_TRUE(code == 0 || code == 255) << "run " << run << " exit " << code << "\n" << box;
        if (code == 255) {
            reports++;
            EXPECT_TRUE(box.find("Art file " + path) != std::string::npos ||
                        box.find("wavelet pieces has illegal value") != std::string::npos)
                << box;
        }
    }
    EXPECT_GT(reports, 0);
}
