// The decoder's stages on their own, each with the smallest inputs that show
// a rule: the bit reader, the code table and Huffman decoding, the run-length
// expansion and the carry between pieces, the synthesis, the colour
// conversion, the rows scaled across.
#include "base/kernels.h"
#include "decoder/bitreader.h"
#include "decoder/colour.h"
#include "decoder/decodeplan.h"
#include "decoder/huffman.h"
#include "decoder/runs.h"
#include "decoder/scale_vectors.h"
#include "decoder/wavelet.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

// Bits lowest first, for hand-made Huffman data; three spare bytes follow.
struct Bits {
    std::vector<uint8_t> bytes;
    int used = 0;
    Bits &Put(unsigned value, int n)
    {
        for (int i = 0; i < n; i++, used++) {
            if (used % 8 == 0)
                bytes.push_back(0);
            bytes.back() |= ((value >> i) & 1) << (used % 8);
        }
        return *this;
    }
    // A code given as its bits in reading order, e.g. "110".
    Bits &Code(const char *path)
    {
        for (const char *p = path; *p; p++)
            Put(*p == '1', 1);
        return *this;
    }
    std::vector<uint8_t> Padded(size_t size) const
    {
        std::vector<uint8_t> out = bytes;
        out.resize(size + 3, 0);
        return out;
    }
};

// ------------------------------------------------------------- bit reader

TEST(BitReaderTest, FieldThatEmptiesTheLastWordFailsButASingleBitDoesNot)
{
    const uint8_t data[4 + 3] = {0xA5, 0x5A, 0xFF, 0x81};
    BitReader r;
    BitReaderStart(&r, data, 4);
    EXPECT_EQ(0xA5, ReadField(&r, 8));
    EXPECT_EQ(0x5A, ReadField(&r, 8));
    EXPECT_EQ(0xFF, ReadField(&r, 8));
    BitReader bitwise = r;
    EXPECT_EQ(-1, ReadField(&r, 8));  // its bits were there, but the refill finds the end
    int value = 0;
    for (int i = 0; i < 8; i++)
        value |= ReadBit(&bitwise) << i;
    EXPECT_EQ(0x81, value);
    EXPECT_EQ(-1, ReadBit(&bitwise));
}

TEST(BitReaderTest, FieldAcrossWordsIsReadBitByBitLowestFirst)
{
    const uint8_t data[8 + 3] = {0x00, 0x00, 0x00, 0xE0, 0x01, 0, 0, 0};
    BitReader r;
    BitReaderStart(&r, data, 8);
    EXPECT_EQ(0, ReadField(&r, 9));
    EXPECT_EQ(0, ReadField(&r, 9));
    EXPECT_EQ(0, ReadField(&r, 9));
    EXPECT_EQ(0x3C, ReadField(&r, 9));  // 5 bits of the first word, 4 of the second
    EXPECT_EQ(8u, r.pos);
    EXPECT_EQ(28, r.bits);
}

TEST(BitReaderTest, TreeBitRefillsOneByte)
{
    const uint8_t data[3 + 3] = {0x02, 0x01, 0x00};
    BitReader r;
    BitReaderStart(&r, data, 3);
    EXPECT_EQ(0, ReadTreeBit(&r));
    EXPECT_EQ(1u, r.pos);
    EXPECT_EQ(7, r.bits);
    EXPECT_EQ(1, ReadTreeBit(&r));
}

// ------------------------------------------------------------- Huffman

TEST(CodeTableTest, RootWithTwoLeavesGivesOneBitCodes)
{
    CodeTree[0] = CodeNode{'A', 'B'};
    BuildCodeTable(1);
    int a = 0, b = 0;
    for (int w = 0; w < 256; w++) {
        const CodeEntry &e = CodeTable[w];
        EXPECT_EQ(1, e.length);
        EXPECT_EQ(-1, e.node);
        EXPECT_EQ((w & 1) ? 'A' : 'B', e.byte) << w;
        a += e.byte == 'A';
        b += e.byte == 'B';
    }
    EXPECT_EQ(128, a);
    EXPECT_EQ(128, b);
}

// A chain: node k has leaf k on bit 1 and node k - 1 on bit 0, node 0 ends in
// leaves 0 and 200. Leaf k of the root (node n - 1) has a code of n - k bits:
// 0...01.
static void MakeChain(int n)
{
    CodeTree[0] = CodeNode{0, 200};
    for (int k = 1; k < n; k++)
        CodeTree[k] = CodeNode{k, 256 + k - 1};
}

TEST(CodeTableTest, EightBitCodeFillsOneEntryAndLongerCodesStopAtANode)
{
    MakeChain(12);
    BuildCodeTable(12);
    // Leaf 4 has the 8-bit code 00000001 (first bit lowest: window 0x80).
    int leaf4 = 0;
    for (const CodeEntry &e : CodeTable)
        leaf4 += e.byte == 4;
    EXPECT_EQ(1, leaf4);
    EXPECT_EQ(4, CodeTable[0x80].byte);
    EXPECT_EQ(8, CodeTable[0x80].length);
    // Eight zero bits reach node 3, from where the walk goes on.
    EXPECT_EQ(-1, CodeTable[0].byte);
    EXPECT_EQ(8, CodeTable[0].length);
    EXPECT_EQ(3, CodeTable[0].node);
    EXPECT_EQ(11, CodeTable[1].byte);
    EXPECT_EQ(1, CodeTable[1].length);
}

TEST(HuffmanTest, LongCodesWalkTheTreeThenTakeAFreshWindow)
{
    // Tree: the chain of 12 nodes.
    Bits data;
    data.Put(12, 8).Put(0, 9).Put(200, 9);
    for (int k = 1; k < 12; k++)
        data.Put(k, 9).Put(256 + k - 1, 9);
    // 11 (1 bit), 2 (10 bits), 200 (12 bits), 0 (12 bits), 5 (7 bits); the
    // zero padding after them spells more codes.
    data.Code("1").Code("0000000001").Code("000000000000").Code("000000000001").Code("0000001");
    std::vector<uint8_t> in = data.Padded(data.bytes.size() + 1);
    uint8_t out[64];
    HuffmanResult r = DecodeHuffman(out, sizeof out, in.data(), in.size() - 3);
    ASSERT_EQ(kHuffmanOk, r.fault);
    ASSERT_GE(r.written, 5u);
    EXPECT_EQ(std::string("\x0B\x02\xC8\x00\x05", 5), std::string((char *)out, 5));
}

TEST(HuffmanTest, FaultsAreReportedNotFollowed)
{
    uint8_t out[8];
    std::vector<uint8_t> none(3, 0);
    EXPECT_EQ(kHuffmanNoData, DecodeHuffman(out, sizeof out, none.data(), 0).fault);

    std::vector<uint8_t> empty = Bits().Put(0, 8).Put(0, 24).Padded(4);
    EXPECT_EQ(kHuffmanEmptyTree, DecodeHuffman(out, sizeof out, empty.data(), 4).fault);

    std::vector<uint8_t> cut = Bits().Put(3, 8).Put(65, 9).Put(66, 9).Put(257, 6).Padded(4);
    EXPECT_EQ(kHuffmanTreeCut, DecodeHuffman(out, sizeof out, cut.data(), 4).fault);

    // Node 1 names node 2 (child 258) of a two-node tree.
    std::vector<uint8_t> bad = Bits().Put(2, 8).Put(65, 9).Put(66, 9).Put(258, 9).Put(67, 9).Padded(8);
    HuffmanResult r = DecodeHuffman(out, sizeof out, bad.data(), 8);
    EXPECT_EQ(kHuffmanBadNode, r.fault);
    EXPECT_EQ(1, r.node);
    EXPECT_EQ(2, r.child);

    // 'A' has the code 1: a word of ones is more A's than the output holds.
    Bits many;
    many.Put(1, 8).Put('A', 9).Put('B', 9);
    for (int i = 0; i < 100; i++)
        many.Put(1, 1);
    std::vector<uint8_t> more = many.Padded(20);
    r = DecodeHuffman(out, sizeof out, more.data(), 20);
    EXPECT_EQ(kHuffmanTooLong, r.fault);
    EXPECT_EQ(sizeof out, r.written);
}

// The decoding as the rules give it, one code and one tree step at a time
// with the bit reader's own calls: a window of 8 bits; a code that ends in it
// is written and its bits are replaced by a field of as many; a longer code
// is walked on with tree bits, written, and a fresh window read. It stops
// where a read fails or the output is full.
static HuffmanResult DecodeByTheRules(uint8_t *out, size_t capacity, const uint8_t *data, size_t size,
                                      int nodeCount)
{
    BitReader r;
    BitReaderStart(&r, data, size);
    ReadField(&r, 8);
    for (int i = 0; i < 2 * nodeCount; i++)
        ReadField(&r, 9);
    HuffmanResult result{0, kHuffmanOk, -1, -1};
    int w = ReadField(&r, 8);
    while (w >= 0) {
        int node = nodeCount - 1, child = -1, length = 0;
        while (length < 8) {
            child = (w >> length++) & 1 ? CodeTree[node].one : CodeTree[node].zero;
            if (child < 256)
                break;
            node = child - 256;
        }
        if (child >= 256) {
            for (child = -1; child < 0;) {
                int bit = ReadTreeBit(&r);
                if (bit < 0)
                    return result;
                int next = bit ? CodeTree[node].one : CodeTree[node].zero;
                if (next < 256)
                    child = next;
                else
                    node = next - 256;
            }
        }
        if (result.written == capacity) {
            result.fault = kHuffmanTooLong;
            return result;
        }
        out[result.written++] = (uint8_t)child;
        int more = ReadField(&r, length);
        if (more < 0)
            return result;
        w = length == 8 ? more : (w >> length | more << (8 - length));
    }
    return result;
}

// Random code trees, long codes among them, over data made of their codes
// and random bytes, cut at every kind of place: the decoding takes many codes
// at a time far from the ends, and must stop, write and fault exactly as the
// rules do near them.
TEST(HuffmanTest, AgreesWithTheRulesNearEveryEnd)
{
    std::mt19937 random(11);
    for (int round = 0; round < 3000; round++) {
        // A tree over `leaves` distinct bytes, pairs merged at random so that
        // some codes are long; the root is the last node.
        int leaves = 2 + (int)(random() % (round % 4 == 0 ? 255 : 24));
        std::vector<int> open;
        std::vector<uint8_t> bytes(256);
        for (int i = 0; i < 256; i++)
            bytes[i] = (uint8_t)i;
        std::shuffle(bytes.begin(), bytes.end(), random);
        for (int i = 0; i < leaves; i++)
            open.push_back(bytes[i]);
        int nodeCount = 0;
        std::vector<CodeNode> tree;
        while (open.size() > 1) {
            // Mostly the last two (a deep chain), sometimes any two.
            size_t a = open.size() - 1, b = open.size() - 2;
            if (random() % 3 == 0) {
                a = random() % open.size();
                do
                    b = random() % open.size();
                while (b == a);
            }
            CodeNode n{open[a], open[b]};
            open.erase(open.begin() + std::max(a, b));
            open.erase(open.begin() + std::min(a, b));
            open.push_back(256 + nodeCount++);
            tree.push_back(n);
        }
        Bits data;
        data.Put(nodeCount, 8);
        for (const CodeNode &n : tree)
            data.Put(n.one, 9).Put(n.zero, 9);
        // Codes: random walks from the root; then random bytes.
        int codes = (int)(random() % 2000);
        for (int c = 0; c < codes; c++) {
            int node = nodeCount - 1;
            for (;;) {
                int bit = (int)(random() & 1);
                data.Put(bit, 1);
                int child = bit ? tree[node].one : tree[node].zero;
                if (child < 256)
                    break;
                node = child - 256;
            }
        }
        for (int i = (int)(random() % 12); i > 0; i--)
            data.Put((unsigned)random() & 0xFF, 8);
        size_t size = data.bytes.size() - random() % 4;
        std::vector<uint8_t> in = data.bytes;
        in.resize(size + 3);
        for (size_t i = data.bytes.size(); i < in.size(); i++)
            in[i] = (uint8_t)random();
        size_t capacity = random() % 3 == 0 ? random() % (codes + 20) : 4000;

        std::vector<uint8_t> got(capacity + 1, 0xEE), want(capacity + 1, 0xEE);
        HuffmanResult g = DecodeHuffman(got.data(), capacity, in.data(), size);
        ASSERT_EQ(kHuffmanOk, g.fault == kHuffmanTooLong ? kHuffmanOk : g.fault) << round;
        HuffmanResult e = DecodeByTheRules(want.data(), capacity, in.data(), size, nodeCount);
        ASSERT_EQ(e.fault, g.fault) << "round " << round;
        ASSERT_EQ(e.written, g.written) << "round " << round;
        ASSERT_EQ(want, got) << "round " << round;
    }
}

// ------------------------------------------------------------- runs

// count bytes taken from the start of stream; the cursor's place after them
// in *consumed (control bytes wholly taken) and *done (bytes of the next).
static std::string Take(const std::string &stream, size_t count, size_t *consumed = nullptr, size_t *done = nullptr)
{
    std::vector<uint8_t> dest(count + 16, 0xCD);  // sentinel bytes show overruns
    const uint8_t *begin = (const uint8_t *)stream.data();
    RunCursor cursor = {begin, 0};
    size_t n = TakeRuns(&cursor, begin + stream.size(), dest.data(), count, false);
    for (size_t i = n; i < dest.size(); i++)
        if (dest[i] != 0xCD)
            ADD_FAILURE() << "byte " << i << " written past the " << n << " reported";
    if (consumed)
        *consumed = cursor.at - begin;
    if (done)
        *done = cursor.done;
    return std::string((char *)dest.data(), n);
}

TEST(TakeRunsTest, EachControlClass)
{
    EXPECT_EQ("\x50", Take("\x25", 9));
    EXPECT_EQ("\x50", Take("\x35", 9));  // bit 4 plays no part
    EXPECT_EQ("\xAF", Take("\x6A", 9));
    EXPECT_EQ(std::string(512, '\0'), Take(std::string("\x41\xFF", 2), 9000));
    EXPECT_EQ(std::string(8192, '\0'), Take(std::string("\x5F\xFF", 2), 9000));
    EXPECT_EQ(std::string(1, '\0'), Take(std::string(1, '\0'), 9));
    EXPECT_EQ(std::string(32, '\0'), Take("\x1F", 99));
    EXPECT_EQ(std::string(1, '\xFF'), Take("\x80", 9));
    EXPECT_EQ(std::string(32, '\xFF'), Take("\x9F", 99));
    EXPECT_EQ("abc", Take("\xC2" "abc", 9));
    EXPECT_EQ("\x10", Take("\xA7\xE3\x21", 9));  // 0xA7 and 0xE3 write nothing
}

TEST(TakeRunsTest, StopsAtCountInsideARunAndAtTheStreamsEnd)
{
    size_t consumed = 0, done = 0;
    EXPECT_EQ(std::string("\x10\x20", 2), Take("\x21\x22\x23", 2, &consumed, &done));
    EXPECT_EQ(2u, consumed);
    EXPECT_EQ(0u, done);
    EXPECT_EQ("bc", Take("\xC3" "bcde\x21", 2, &consumed, &done));
    EXPECT_EQ(0u, consumed);
    EXPECT_EQ(2u, done);
    EXPECT_EQ(std::string(300, '\0'), Take(std::string("\x41\xFF", 2), 300, &consumed, &done));
    EXPECT_EQ(0u, consumed);
    EXPECT_EQ(300u, done);
    // A control whose operands are missing is not consumed.
    EXPECT_EQ("\x10", Take(std::string("\x21\x41", 2), 100, &consumed, &done));
    EXPECT_EQ(1u, consumed);
    EXPECT_EQ("\x10", Take("\x21\xC3" "ab", 100, &consumed));
    EXPECT_EQ(1u, consumed);
}

TEST(TakeRunsTest, AStreamTakenInPartsGivesItsBytes)
{
    // Parts of every length from 1 to 40 bytes: taken into zeroed parts with
    // zero runs skipped, or passed over without writing, they give the bytes
    // of the whole stream taken at once, and end with it.
    std::string stream =
        std::string("\x9F\x1F\x21\x1F\xC2" "abc\x83\x4\x40\x31\x6F\x1F\x1F\x25\x40\x05\x26\xA1\x1F", 21);
    const uint8_t *begin = (const uint8_t *)stream.data(), *end = begin + stream.size();
    std::string whole = Take(stream, 100000);
    for (size_t part = 1; part <= 40; part++) {
        RunCursor cursor = {begin, 0};
        std::string parts;
        for (int i = 0;; i++) {
            std::vector<uint8_t> bytes(part, 0);
            bool pass = i % 3 == 2;
            size_t n = TakeRuns(&cursor, end, pass ? nullptr : bytes.data(), part, true);
            parts += pass ? whole.substr(parts.size(), n) : std::string((char *)bytes.data(), n);
            if (n < part)
                break;
        }
        EXPECT_EQ(whole, parts) << part;
        EXPECT_EQ(end, cursor.at) << part;
    }
}

// ------------------------------------------------------------- synthesis

TEST(SynthesisTest, ConstantLowLineAndZeroHighLine)
{
    for (int v : {0, 1, 7, 100, 992 * 16, -5, -1000}) {
        std::vector<int32_t> P(5, v), Q(5, 0), O(10, 0x7EEEEEEE);
        SynthesizeLines(P.data(), Q.data(), O.data(), 5, 1, 1);
        for (int t = 0; t < 5; t++) {
            EXPECT_EQ((46340 * v) >> 16, O[2 * t]) << v;
            EXPECT_EQ((46341 * v) >> 16, O[2 * t + 1]) << v;
        }
    }
}

TEST(SynthesisTest, LinesBecomeColumnsAndWrapPeriodically)
{
    // Two lines of 3; line 1 has a single low value at its end, which only the
    // first pair (the wrap) and the last pair use.
    std::vector<int32_t> P = {0, 0, 0, 0, 0, 16384}, Q(6, 0), O(12, -99);
    SynthesizeLines(P.data(), Q.data(), O.data(), 3, 2, 2);
    std::vector<int32_t> line0 = {O[0], O[2], O[4], O[6], O[8], O[10]};
    std::vector<int32_t> line1 = {O[1], O[3], O[5], O[7], O[9], O[11]};
    EXPECT_EQ(std::vector<int32_t>(6, 0), line0);
    EXPECT_EQ((std::vector<int32_t>{14689 / 4, -8480 / 4, 0, 0, 31651 / 4, 54821 / 4}), line1);
}

// The transform as three SynthesizeLines calls per level, with transposed
// scratch planes: the reference the in-place transform must match.
static void ReferenceTransform(std::vector<int32_t> *plane, int a, int b0)
{
    int32_t *p = plane->data();
    std::vector<int32_t> A((size_t)a * a / 2 + 1), B((size_t)a * a / 2 + 1);
    for (int b = b0; b < a; b *= 2) {
        size_t area = (size_t)b * b;
        SynthesizeLines(p, p + area, A.data(), b, b, b);
        SynthesizeLines(p + 2 * area, p + 3 * area, B.data(), b, b, b);
        SynthesizeLines(A.data(), B.data(), p, b, 2 * b, 2 * b);
    }
}

TEST(SynthesisTest, PlaneTransformMatchesTheThreeLineSyntheses)
{
    std::mt19937 random(4);
    for (auto [a, b0] : {std::pair{8, 8}, {8, 1}, {12, 3}, {40, 5}, {64, 8}, {32, 2}}) {
        for (int32_t range : {200, 20000, 1 << 30}) {  // the last wraps in 32 bits
            std::vector<int32_t> plane((size_t)a * a);
            for (int32_t &v : plane)
                v = (int32_t)(random() % (2u * range)) - range;
            std::vector<int32_t> expected = plane;
            ReferenceTransform(&expected, a, b0);
            std::vector<int32_t> full = plane;
            InverseTransformPlane(full.data(), a, b0, a);
            EXPECT_EQ(expected, full) << a << " " << b0 << " " << range;
            // Asked for the first rows only, it gives those rows alike.
            for (int rows : {0, 1, a / 3, a / 2 + 1, a - 1}) {
                std::vector<int32_t> part = plane;
                InverseTransformPlane(part.data(), a, b0, rows);
                for (int i = 0; i < rows * a; i++)
                    ASSERT_EQ(expected[i], part[i]) << a << " " << b0 << " rows " << rows << " at " << i;
            }
        }
    }
}

TEST(SynthesisTest, LevelSides)
{
    EXPECT_TRUE(IsLevelSide(15, 15));
    EXPECT_TRUE(IsLevelSide(960, 15));
    EXPECT_FALSE(IsLevelSide(900, 15));
    EXPECT_FALSE(IsLevelSide(7, 15));
    EXPECT_FALSE(IsLevelSide(8, 0));
    EXPECT_TRUE(IsLevelSide(1 << 30, 1));
}

// ------------------------------------------------------------- colour

TEST(LevelTableTest, StretchesLevelsUpTo248)
{
    BuildLevelTable();
    const uint8_t *level = LevelTable + kLevelZero;
    EXPECT_EQ(0, level[-512]);
    EXPECT_EQ(0, level[-1]);
    EXPECT_EQ(0, level[0]);
    EXPECT_EQ(1, level[1]);
    EXPECT_EQ(102, level[100]);
    EXPECT_EQ(127, level[124]);
    EXPECT_EQ(253, level[247]);
    EXPECT_EQ(255, level[248]);
    EXPECT_EQ(255, level[300]);
    EXPECT_EQ(255, level[511]);
    // The decoder's arithmetic gives the table, and its ends beyond it.
    for (int k = -kLevelZero; k < kLevelZero; k++)
        ASSERT_EQ(level[k], StretchLevel(k)) << k;
    for (int32_t k : {INT32_MIN, -513, -100000, 512, 100000, INT32_MAX})
        EXPECT_EQ(k < 0 ? 0 : 255, StretchLevel(k)) << k;
}

// One pixel from one Y', U', V' (the offsets carry the values).
static std::vector<int> OnePixel(int32_t y, int32_t u, int32_t v)
{
    int32_t zero = 0;
    uint8_t px[3 + 8];
    memset(px, 0xCD, sizeof px);
    ConvertPiece(&zero, y, 1, &zero, u, &zero, v, 1, 0, 1, px, 3);
    for (int i = 3; i < (int)sizeof px; i++)
        EXPECT_EQ(0xCD, px[i]);
    return {px[0], px[1], px[2]};
}

TEST(ConvertPieceTest, GreyStaysGrey)
{
    BuildLevelTable();
    EXPECT_EQ((std::vector<int>{102, 102, 102}), OnePixel(400, 512, 512));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), OnePixel(0, 512, 512));
    EXPECT_EQ((std::vector<int>{255, 255, 255}), OnePixel(992, 512, 512));
}

TEST(ConvertPieceTest, ExtremeValuesTakeTheTablesEnds)
{
    BuildLevelTable();
    EXPECT_EQ((std::vector<int>{255, 0, 102}), OnePixel(400, 100000, 512));
    EXPECT_EQ((std::vector<int>{0, 255, 102}), OnePixel(400, -100000, 512));
    for (int32_t y : {INT32_MAX, INT32_MIN, 1 << 30})
        for (int32_t c : {INT32_MAX, INT32_MIN, 0})
            OnePixel(y, c, c);  // any value gives a pixel, inside the table
}

TEST(ConvertPieceTest, SubsampledChromaServesTwoByTwoPixels)
{
    BuildLevelTable();
    // A 4 x 4 piece, Y' 402 everywhere, U from a 2 x 2 plane. Row 0 is -7, 4:
    // the odd column between them takes (-7 + 4) / 2 = -1, truncated towards
    // zero (rounding down would give -2 and a different blue). Row 1 is 40, 41.
    std::vector<int32_t> y(16, 0), u = {-7, 4, 40, 41}, v(4, 0);
    // Rows 16 bytes apart, the 4 after each row's pixels left alone.
    std::vector<uint8_t> px(4 * 16, 0xCD);
    ConvertPiece(y.data(), 402, 4, u.data(), 512, v.data(), 512, 2, 1, 4, px.data(), 16);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(std::vector<uint8_t>(4, 0xCD), std::vector<uint8_t>(&px[i * 16 + 12], &px[i * 16 + 16]));
    auto blue = [&](int i, int j) { return px[i * 16 + j * 3]; };
    auto expectedBlue = [](int uValue) { return LevelTable[kLevelZero + ((402 + 2 * (512 + uValue) - 1024) >> 2)]; };
    ASSERT_NE(expectedBlue(-1), expectedBlue(-2));
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(expectedBlue(-7), blue(i, 0));
        EXPECT_EQ(expectedBlue(-1), blue(i, 1));
        EXPECT_EQ(expectedBlue(4), blue(i, 2));
        EXPECT_EQ(expectedBlue(4), blue(i, 3));  // the last column: its own sample
    }
    EXPECT_EQ(expectedBlue(40), blue(3, 0));
    EXPECT_EQ(expectedBlue(40), blue(2, 1));  // (40 + 41) / 2
    EXPECT_EQ(expectedBlue(41), blue(3, 3));
}

// A row at each level of the instruction set the processor has, against the
// plain one: every width from 1 to 40 (the vector loops' ends and tails),
// wild plane values included, subsampled or not, and nothing written past the
// row's 3 m bytes.
TEST(ConvertPieceTest, RowsAreTheSameBytesAtEveryLevel)
{
    BuildLevelTable();
    std::mt19937 random(5);
    for (int m = 1; m <= 40; m++)
        for (int subsampled = 0; subsampled < 2; subsampled++) {
            std::vector<int32_t> y(m), u(m), v(m), blue(m), red(m);
            for (int j = 0; j < m; j++) {
                int wild = random() % 8 == 0;
                y[j] = wild ? (int32_t)random() : (int32_t)(random() % 1200) - 100;
                u[j] = wild ? (int32_t)random() : (int32_t)(random() % 1200) - 600;
                v[j] = random() % 8 == 0 ? (int32_t)random() : (int32_t)(random() % 1200) - 600;
            }
            std::vector<uint8_t> expected;
            for (int level = kKernelPlain; level <= BestKernelLevel(); level++) {
                KernelLevelInUse = (KernelLevel)level;
                std::vector<uint32_t> pixels(m);
                std::vector<uint8_t> out(3 * m + 8, 0xCD);
                ChromaTerms(u.data(), 512, v.data(), 512, m, subsampled, blue.data(), red.data());
                ConvertRow(y.data(), 402, blue.data(), red.data(), m, pixels.data(), out.data());
                EXPECT_EQ(std::vector<uint8_t>(8, 0xCD), std::vector<uint8_t>(out.end() - 8, out.end()))
                    << "m " << m << ", level " << level;
                out.resize(3 * m);
                if (level == kKernelPlain)
                    expected = out;
                EXPECT_EQ(expected, out) << "m " << m << ", subsampled " << subsampled << ", level " << level;
            }
            KernelLevelInUse = BestKernelLevel();
        }
}

// The planned loop against the rule, pixel by pixel, for column maps of every
// step from an upscale to a downscale past its reach (where the plan stops
// and leaves the rest to the caller), with the source row at the very end of
// its memory, so that a window read past the row would be seen.
TEST(ScaleAcrossTest, PlannedPixelsFollowTheRuleAndStayInTheRow)
{
    if (BestKernelLevel() < kKernelAvx2)
        GTEST_SKIP() << "no AVX2";
    std::mt19937 random(11);
    for (int round = 0; round < 400; round++) {
        int sourceWidth = 2 + (int)(random() % 300), count = 1 + (int)(random() % 200);
        double step = (round % 4 == 3 ? 4.0 : 3.2) * (double)(random() % 1000) / 1000;
        std::vector<int> columns(count);
        int within = 0;
        for (int j = 0; j < count; j++) {
            int at = (int)(j * step * 256) + (int)(random() % 256 * (round % 2));
            columns[j] = std::min(at, (sourceWidth - 2) * 256 + 255);
            if (j > 0)
                columns[j] = std::max(columns[j], columns[j - 1]);
            within = j + 1;
        }
        size_t rowBytes = (size_t)sourceWidth * 3;
        uint8_t *row = (uint8_t *)malloc(rowBytes);
        for (size_t i = 0; i < rowBytes; i++)
            row[i] = (uint8_t)random();
        std::vector<AcrossGroup> plan(within / 8 + 1);
        int planned = PlanScaleAcrossAvx2(columns.data(), within, (int)rowBytes, plan.data());
        ASSERT_EQ(0, planned % 8);
        ASSERT_LE(planned, within);
        std::vector<uint8_t> out((size_t)within * 3 + 1, 0xEE);
        ASSERT_EQ(planned, ScaleAcrossPlannedAvx2(row, plan.data(), planned, out.data()));
        for (int j = 0; j < planned; j++) {
            const uint8_t *p = row + (size_t)(columns[j] >> 8) * 3;
            int f = columns[j] & 255;
            for (int ch = 0; ch < 3; ch++)
                ASSERT_EQ((p[ch] * (256 - f) + p[ch + 3] * f) >> 8, out[(size_t)j * 3 + ch])
                    << "round " << round << ", pixel " << j << ", channel " << ch;
        }
        EXPECT_EQ(0xEE, out[(size_t)planned * 3]) << "round " << round << ": written past the planned pixels";
        // Small steps in a row wide enough for the first group's windows are planned.
        if (step <= 1.4 && round % 2 == 0 && within >= 8 && sourceWidth >= 24) {
            EXPECT_GT(planned, 0) << "round " << round;
        }
        free(row);
    }
}

// The plan of a 4-piece art rendered smaller and larger, from its geometry
// alone: tasks wait for earlier ones only, chunks cover each chain once in
// order, and the waits, followed through, order the tasks that share memory:
// a pair after the chunks of the rows it reads (rows k to k + 2 for each
// output row) and the pair two above; a chunk after its piece's low bands and
// the tasks that used its ring entries; a low band after the piece above.
TEST(DecodePlan, WaitsOrderTheTasksThatShareMemory)
{
    const ArtGeometry g = {4, 2, 96, 80, 48, 24, 3, 1, 0, 0, 0};
    for (auto [width, height] : {std::pair<int, int>{37, 23}, {200, 150}, {96, 200}}) {
        ArtScaler scaler;
        const int ring = RingRows(g.height, height);
        StartArtScaler(&scaler, "plan", nullptr, g.width, g.height, ring, width, height);
        TaskPlan plan;
        PlanTasks(g, false, &scaler, height, ring, &plan);
        const int n = (int)plan.tasks.size();
        std::vector<std::vector<bool>> after(n, std::vector<bool>(n));  // [i][j]: j ends before i starts
        std::vector<std::vector<int>> rows(n);  // picture rows a chunk writes, or a pair reads
        std::vector<int> chainAt(plan.chains.size(), -1), pairTask((height + 1) / 2, -1);
        for (int i = 0; i < n; i++) {
            const PipeTask &t = plan.tasks[i];
            for (int w = 0; w < t.waitCount; w++) {
                ASSERT_LT(t.waits[w], i);
                for (int j = 0; j < n; j++)
                    after[i][j] = after[i][j] || after[t.waits[w]][j] || j == t.waits[w];
            }
            int piece = t.kind == kChunk ? plan.chains[t.chain].piece : t.piece;
            if (t.kind == kChunk) {
                const ChainRows &chain = plan.chains[t.chain];
                EXPECT_EQ(chainAt[t.chain] < 0 ? chain.first : chainAt[t.chain], t.rowsFrom) << "task " << i;
                chainAt[t.chain] = t.rowsTo;
                for (int r = t.rowsFrom; r < t.rowsTo; r++)
                    rows[i].push_back(piece / 2 * g.pieceSide + r);
            }
            if (t.kind == kPair) {
                pairTask[t.number] = i;
                EXPECT_TRUE(t.number < 2 || after[i][pairTask[t.number - 2]]) << "pair " << t.number;
                for (int y = 2 * t.number; y < std::min(2 * t.number + 2, height - 1); y++) {
                    int k = std::max(0, std::min((int)((y * scaler.vStep) >> 16), g.height - 2));
                    for (int r = k; r <= std::min(k + 2, g.height - 1); r++)
                        rows[i].push_back(r);
                }
            }
            for (int j = 0; j < i; j++) {
                const PipeTask &u = plan.tasks[j];
                int uPiece = u.kind == kChunk ? plan.chains[u.chain].piece : u.piece;
                bool lowBand = u.kind == kPrepare || u.kind == kRuns;
                if (t.kind == kChunk && lowBand && uPiece == piece)
                    EXPECT_TRUE(after[i][j]) << "chunk " << i << " before low band " << j;
                if (t.kind != kChunk && t.kind != kPair && u.kind == kChunk && uPiece == piece - 2)
                    EXPECT_TRUE(after[i][j]) << "low band " << i << " before chunk " << j << " of the piece above";
                for (int r : rows[i])
                    for (int s : rows[j]) {
                        bool written = u.kind == kChunk && s == r && t.kind == kPair;
                        bool entry = s % ring == r % ring && s != r;
                        ASSERT_FALSE(entry && t.kind == kPair && s > r) << "pair " << i << " reads row " << r
                                                                         << " overwritten by chunk " << j;
                        ASSERT_TRUE(!(written || (entry && t.kind == kChunk)) || after[i][j])
                            << "task " << i << " (row " << r << ") may run beside task " << j << " (row " << s << ")";
                    }
            }
        }
        for (size_t c = 0; c < plan.chains.size(); c++)
            EXPECT_EQ(plan.chains[c].last, chainAt[c]) << "chain " << c;
        EXPECT_EQ(std::count(pairTask.begin(), pairTask.end(), -1), 0);
        EndArtScaler(&scaler);
    }
}
