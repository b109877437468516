// Palette files, the colour tree and the nearest-colour search.
#include "tests/palette_testing.h"

#include <string.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The tree as text: "L<index>" for a leaf, then "(i:<child> ...)" when the
// node has children. "(1:(1:(1:L0)))" is one leaf three levels down child 1.
std::string Tree(const ColorTreeNode *node)
{
    std::string text = node->isLeaf ? "L" + std::to_string(node->paletteIndex) : "";
    std::string children;
    for (int i = 0; i < 8; i++)
        if (node->children[i])
            children += (children.empty() ? "" : " ") + std::to_string(i) + ":" + Tree(node->children[i]);
    return children.empty() ? text : text + "(" + children + ")";
}

// The depth of the whole tree, leaves' children included.
int FullDepth(const ColorTreeNode *node)
{
    int deepest = 0;
    for (const ColorTreeNode *child : node->children)
        if (child)
            deepest = std::max(deepest, 1 + FullDepth(child));
    return deepest;
}

// Every leaf's index, below leaves too.
void AllLeaves(const ColorTreeNode *node, std::vector<int> *out)
{
    if (node->isLeaf)
        out->push_back(node->paletteIndex);
    for (const ColorTreeNode *child : node->children)
        if (child)
            AllLeaves(child, out);
}

// The search as the tree describes it, walked plainly: the path from the
// colour's bits, the descent, the leaves below the stopping node depth first,
// the first of the nearest. -1 when there is no candidate.
void PlainLeaves(const ColorTreeNode *node, std::vector<int> *out)
{
    if (node->isLeaf) {
        out->push_back(node->paletteIndex);
        return;
    }
    for (const ColorTreeNode *child : node->children)
        if (child)
            PlainLeaves(child, out);
}

int PlainSearch(PackedColor c)
{
    int blue = c & 0xFF, green = (c >> 8) & 0xFF, red = (c >> 16) & 0xFF;
    const ColorTreeNode *node = ActivePalette.root;
    for (int level = 0; level < ActivePalette.TreeDepth; level++) {
        int bit = 7 - level;
        const ColorTreeNode *child =
            node->children[4 * ((blue >> bit) & 1) + 2 * ((green >> bit) & 1) + ((red >> bit) & 1)];
        if (!child)
            break;
        if (child->isLeaf)
            return child->paletteIndex;
        node = child;
    }
    if (node->isLeaf)
        return node->paletteIndex;
    std::vector<int> candidates;
    for (const ColorTreeNode *child : node->children)
        if (child)
            PlainLeaves(child, &candidates);
    int best = -1;
    long bestDistance = 0x7FFFFFFF;
    for (int index : candidates) {
        PackedColor p = ActivePalette.colors[index];
        long db = blue - (long)(p & 0xFF), dg = green - (long)((p >> 8) & 0xFF), dr = red - (long)(p >> 16);
        long distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = index;
        }
    }
    return best;
}

// The search against the plain walk: random colours, colours near the
// palette's own, and the corners of the 16-level cells.
void ExpectSearchAsPlainWalk(std::mt19937 &random, const std::string &what)
{
    int entries = ActivePalette.logPalette.palNumEntries;
    std::vector<PackedColor> probes;
    for (int i = 0; i < 400; i++)
        probes.push_back(random() & 0xFFFFFF);
    for (int i = 0; i < 400 && entries > 0; i++) {
        PackedColor p = ActivePalette.colors[random() % entries];
        for (int shift = 0; shift < 24; shift += 8) {
            int v = (int)((p >> shift) & 0xFF) + (int)(random() % 41) - 20;
            v = v < 0 ? 0 : v > 255 ? 255 : v;
            p = (p & ~(0xFFu << shift)) | (PackedColor)v << shift;
        }
        probes.push_back(p);
    }
    for (int i = 0; i < 200; i++)
        probes.push_back((random() & 0xF0F0F0) | ((random() & 1) ? 0x0F0F0F : 0));
    for (PackedColor c : probes) {
        int plain = PlainSearch(c);
        ASSERT_EQ(plain < 0 ? 0 : plain, NearestPaletteIndex(c)) << what << ": colour " << std::hex << c;
        ASSERT_EQ(plain < 0 ? 0 : ActivePalette.colors[plain], NearestPaletteColor(c)) << what;
    }
}

using PaletteFile = PaletteTest;

TEST_F(PaletteFile, LoadsColoursRecordAndTree)
{
    LogPaletteRecord *record = LoadText("255 0 0 - 1 1 1\n0 128 0 - 2 2\n10 20 30   junk - 4\n");
    EXPECT_EQ(&ActivePalette.logPalette, record);
    EXPECT_EQ(0x300, record->palVersion);
    EXPECT_EQ(3, record->palNumEntries);
    EXPECT_EQ(0xFF0000u, ActivePalette.colors[0]);
    EXPECT_EQ(0x008000u, ActivePalette.colors[1]);
    EXPECT_EQ(0x0A141Eu, ActivePalette.colors[2]);
    const PaletteEntry &e = record->palPalEntry[2];
    EXPECT_EQ(10, e.peRed);
    EXPECT_EQ(20, e.peGreen);
    EXPECT_EQ(30, e.peBlue);
    EXPECT_EQ(0, e.peFlags);
    EXPECT_EQ("(1:(1:(1:L0)) 2:(2:L1) 4:L2)", Tree(ActivePalette.root));
    EXPECT_EQ(3, ActivePalette.TreeDepth);
}

// Every form the format allows: LF or CR LF line ends, a last line with or
// without its end, empty paths, lines of 253 characters, 256 entries; lines
// after the 256th are not read.
TEST_F(PaletteFile, AllowedFormsLoad)
{
    const std::string tree = "L3(1:(1:(1:L0)) 2:(2:L1) 4:L2)";
    const std::string lines[] = {"255 0 0 - 1 1 1", "0 128 0 -2\t2", "10 20 30 junk \xE9 - +04", "9 9 9 -"};
    for (const char *lineEnd : {"\n", "\r\n"})
        for (bool lastEnded : {true, false}) {
            std::string text;
            for (const std::string &line : lines)
                text += line + lineEnd;
            if (!lastEnded)
                text.resize(text.size() - strlen(lineEnd));
            LoadText(text);
            EXPECT_EQ(4, ActivePalette.logPalette.palNumEntries) << text;
            EXPECT_EQ(tree, Tree(ActivePalette.root)) << text;
            EXPECT_EQ(0x0A141Eu, ActivePalette.colors[2]);
        }

    std::string full = "1 2 3 -" + std::string(244, ' ') + " 5";
    ASSERT_EQ(253u, full.size());
    LoadText(full + "\r\n7 8 9 - 6");
    EXPECT_EQ("(5:L0 6:L1)", Tree(ActivePalette.root));
    // A Ctrl-Z ends the text, as in a text-mode read.
    LoadText("7 8 9 - 6\r\n\x1A\x01 junk\n");
    EXPECT_EQ("(6:L0)", Tree(ActivePalette.root));

    std::string text;
    for (int i = 0; i < 256; i++)
        text += std::to_string(i) + " 0 0 -" + OwnPath((PackedColor)i << 16, 8) + "\r\n";
    LoadText(text + "garbage\n\n\x01\x02");
    EXPECT_EQ(256, ActivePalette.logPalette.palNumEntries);
    EXPECT_EQ(0xFF0000u, ActivePalette.colors[255]);
    int list[256];
    EXPECT_EQ(256, CollectLeaves(ActivePalette.root, list, 256));
    EXPECT_EQ(255, list[255]);
}

TEST_F(PaletteFile, EmptyPath)
{
    LoadText("9 9 9 -\n");
    EXPECT_EQ("L0", Tree(ActivePalette.root));
    EXPECT_EQ(0, ActivePalette.TreeDepth);
    // A root leaf ends the measuring whatever lies below it.
    LoadText("1 1 1 - 0 0\n9 9 9 -\n");
    EXPECT_EQ("L1(0:(0:L0))", Tree(ActivePalette.root));
    EXPECT_EQ(0, ActivePalette.TreeDepth);
}

TEST_F(PaletteFile, SamePathAndPrefixPaths)
{
    LoadText("1 1 1 - 3 4\n2 2 2 - 3 4\n");
    EXPECT_EQ("(3:(4:L1))", Tree(ActivePalette.root));
    EXPECT_EQ(0x010101u, ActivePalette.colors[0]);
    EXPECT_EQ(1, ActivePalette.logPalette.palPalEntry[0].peRed);

    // A path that begins another makes an inner node a leaf; the depth stops there.
    LoadText("1 1 1 - 3 4 5 6\n2 2 2 - 3\n");
    EXPECT_EQ("(3:L1(4:(5:(6:L0))))", Tree(ActivePalette.root));
    EXPECT_EQ(1, ActivePalette.TreeDepth);
}

TEST_F(PaletteFile, ReloadGivesSameTablesShorterKeepsOlderEntries)
{
    std::string text = "255 0 0 - 1 1 1\n0 128 0 - 2 2\n7 8 9 - 4 0 0 0 0\n";
    LoadText(text);
    std::string tree = Tree(ActivePalette.root);
    LogPaletteRecord record = ActivePalette.logPalette;
    std::vector<PackedColor> colors(ActivePalette.colors, ActivePalette.colors + 3);
    LoadText(text);
    EXPECT_EQ(tree, Tree(ActivePalette.root));
    EXPECT_EQ(0, memcmp(&record, &ActivePalette.logPalette, sizeof record));
    EXPECT_EQ(colors, std::vector<PackedColor>(ActivePalette.colors, ActivePalette.colors + 3));
    EXPECT_EQ(5, ActivePalette.TreeDepth);

    LoadText("1 2 3 - 6\n");
    EXPECT_EQ(1, ActivePalette.logPalette.palNumEntries);
    EXPECT_EQ(0x010203u, ActivePalette.colors[0]);
    EXPECT_EQ(0x008000u, ActivePalette.colors[1]);
    EXPECT_EQ(7, ActivePalette.logPalette.palPalEntry[2].peRed);
}

// Damaged files are refused whole, naming the file and the line and showing
// the line's text with its control bytes escaped; the palette stays as it was.
TEST_F(PaletteFile, DamagedFilesAreRefused)
{
    struct Damage {
        std::string text;
        int line;            // 0: the message names no line
        std::string reason;  // the message holds this, then ": " and the shown text
    };
    const std::string good = "1 2 3 - 1\r\n";
    const Damage damages[] = {
        {good + "1 2 3 4\n", 2, "it has no \"-\" before the path: \"1 2 3 4\""},
        {good + good + "1 2 - 3\n", 3, "it does not start with three numbers red, green, blue: \"1 2 - 3\""},
        {"# red\n", 1, "it does not start with three numbers red, green, blue: \"# red\""},
        {"1 2 3 - 4 8\n", 1, "path element 8 is not a child index 0-7: \"1 2 3 - 4 8\""},
        {"1 2 3 - -1", 1, "path element -1 is not a child index 0-7"},
        {"1 2 3 - 1 x", 1, "path element x is not a child index 0-7"},
        {"1 2 3 - 12", 1, "path element 12 is not a child index 0-7"},
        {"1 2 3 - 1 2 3 4 5 6 7 0 1\n", 1, "the path has more than 8 child indices"},
        {good + "256 0 0 - 1\n", 2, "colour component 256 is outside 0-255: \"256 0 0 - 1\""},
        {"0 99999999999 0 - 1\n", 1, "colour component 99999999999 is outside 0-255"},
        {"0 0 -5 - 1\n", 1, "colour component -5 is outside 0-255"},
        {good + std::string("1 2 3 - 1\0 2\n", 12), 2, "control byte 0x00 at column 10: \"1 2 3 - 1\\x00 2\""},
        {"1 2 3 - 3 \r\r\n", 1, "control byte 0x0D at column 11: \"1 2 3 - 3 \\x0D\""},
        {"\x7F" "ELF\x01\x01\x01\xFF\"\\", 1, "control byte 0x7F at column 1: \"\\x7FELF\\x01\\x01\\x01\\xFF\\\"\\\\\""},
        {good + "\n" + good, 2, "the line is blank, where an entry belongs: \"\""},
        {good + "\r\n", 2, "the line is blank"},
        {"1 2 3 - 4" + std::string(245, ' ') + "\n", 1, "the line is 254 characters long, more than 253: \"1 2 3 - 4 "},
        {std::string(300, '7'), 1, "the line is 300 characters long, more than 253: \"" + std::string(60, '7') + "...\""},
        {"", 0, "Palette file damaged.tr is damaged: it holds no entries"},
    };
    const uint8_t before[] = "1 1 1 - 7\n2 2 2 - 6 5\n";
    char error[kPaletteErrorSize];
    ASSERT_EQ(1, ReadPaletteBytes("before.tr", before, sizeof before - 1, error, sizeof error));
    const std::string tree = Tree(ActivePalette.root);
    for (const Damage &d : damages) {
        strcpy(error, "untouched");
        EXPECT_EQ(0, ReadPaletteBytes("damaged.tr", (const uint8_t *)d.text.data(), d.text.size(), error,
                                      sizeof error));
        std::string message = error;
        if (d.line) {
            std::string start = "Palette file damaged.tr is damaged at line " + std::to_string(d.line) + ": ";
            EXPECT_EQ(0u, message.find(start)) << message;
        }
        EXPECT_NE(std::string::npos, message.find(d.reason)) << message;
        for (char c : message)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << message;
        EXPECT_EQ(tree, Tree(ActivePalette.root)) << message;
        EXPECT_EQ(2, ActivePalette.logPalette.palNumEntries);
    }
    EXPECT_EQ(0, ReadPaletteBytes("none.tr", nullptr, 0, error, sizeof error));
    EXPECT_STREQ("Palette file none.tr is damaged: it holds no entries", error);
    // The message is cut to its buffer, whatever the file's name.
    std::string name(400, 'n');
    char small[40];
    EXPECT_EQ(0, ReadPaletteBytes(name.c_str(), (const uint8_t *)"x", 1, small, sizeof small));
    EXPECT_EQ(39u, strlen(small));
}

// Mangled palette files, read as bytes: refused, or within bounds: the tree
// stays within eight levels, every leaf names a loaded entry, and the search
// answers within them.
TEST_F(PaletteFile, MangledFilesAreRefusedOrStayInBounds)
{
    std::mt19937 random(17);
    const char pieces[] = "0123456789 -\n\r\t+x\xff";
    std::string base;
    for (int i = 0; i < 40; i++)
        base += Line(random() & 0xFFFFFF, OwnPath(random(), 1 + i % 8));
    int refused = 0;
    for (int round = 0; round < 150; round++) {
        std::string text = base;
        int edits = 1 + (int)(random() % (round < 75 ? 3 : 40));
        for (int e = 0; e < edits; e++) {
            size_t at = random() % (text.size() + 1);
            char c = pieces[random() % (sizeof pieces - 1)];
            switch (random() % 4) {
            case 0: text.insert(at, 1, c); break;
            case 1: if (at < text.size()) text[at] = c; break;
            case 2: text.insert(at, std::string(random() % 400, c)); break;
            default: text.insert(at, 1, '\0'); break;
            }
        }
        char error[kPaletteErrorSize];
        if (!ReadPaletteBytes("mangled.tr", (const uint8_t *)text.data(), text.size(), error, sizeof error)) {
            refused++;
            ASSERT_EQ(0u, std::string(error).find("Palette file mangled.tr is damaged")) << error;
            continue;
        }
        int entries = ActivePalette.logPalette.palNumEntries;
        ASSERT_LE(entries, 256);
        ASSERT_LE(FullDepth(ActivePalette.root), 8);
        std::vector<int> leaves;
        AllLeaves(ActivePalette.root, &leaves);
        for (int index : leaves)
            ASSERT_LT(index, entries);
        ExpectSearchAsPlainWalk(random, "round " + std::to_string(round));
        uint8_t image[4 * 3 * 3];
        for (uint8_t &b : image)
            b = (uint8_t)random();
        DiffuseRows8(2, image, 3, 4, 0);
    }
    EXPECT_GT(refused, 75);
    EXPECT_LT(refused, 150);
}

TEST_F(PaletteFile, MissingOrDamagedFileIsFatal)
{
    std::string box, log = UserDataFolder() + "\\assertFile.txt";
    FileDelete(log.c_str());  // the record found below is this run's
    EXPECT_EQ(255, RunProbe("palette_probe", folder, "load none.tr", &box));
    EXPECT_EQ(0u, box.find("File-> PALETTE, Line-> 81\nFile none.tr could not be opened: EXITING\r\n")) << box;
    EXPECT_NE(std::string::npos, ReadWholeFile(log).find("File-> PALETTE, Line-> 81\r\nFile none.tr could not")) << box;

    std::string damaged = folder + "\\BLUE.tr";
    WriteWholeFile(damaged, "1 2 3 - 1\r\n4 5 6 - 9\r\n");
    EXPECT_EQ(255, RunProbe("palette_probe", folder, "load \"" + damaged + "\"", &box));
    EXPECT_EQ(0u, box.find("File-> PALETTE, Line-> 81\nPalette file " + damaged +
                           " is damaged at line 2: path element 9 is not a child index 0-7: \"4 5 6 - 9\": EXITING\r\n"))
        << box;
}

TEST_F(PaletteFile, RowsTooWideForMemoryAreFatal)
{
    std::string box;
    EXPECT_EQ(255, RunProbe("palette_probe", folder, "wide", &box));
    EXPECT_EQ(0u, box.find("File-> PALETTE, Line-> 1498\nNot enough memory for delta array\r\n")) << box;
}

using PaletteSearch = PaletteTest;

TEST_F(PaletteSearch, ColourWithItsOwnPathFindsItself)
{
    const PackedColor colors[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x123456, 0xFEDCBA, 0xFEDCBB, 0x000001};
    std::string text;
    for (PackedColor c : colors)
        text += Line(c, OwnPath(c, 8));
    LoadText(text);
    EXPECT_EQ(8, ActivePalette.TreeDepth);
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(i, NearestPaletteIndex(colors[i]));
        EXPECT_EQ(colors[i], NearestPaletteColor(colors[i]));
        EXPECT_EQ(i, NearestPaletteIndex(colors[i] | 0xAB000000u)) << "bits 24-31 make no difference";
    }
    // Off by one bit at the last level: the descent stops one level up and
    // the nearer of the two below that node wins.
    EXPECT_EQ(5, NearestPaletteIndex(0xFEDCB9));
    EXPECT_EQ(0x0000FFu, NearestPaletteColor(0x0000FE));

    // Shallow paths: every colour of a leaf's cell is that leaf.
    LoadText(Line(0xFF0000, OwnPath(0xFF0000, 2)) + Line(0x0000FF, OwnPath(0x0000FF, 2)));
    EXPECT_EQ(0, NearestPaletteIndex(0xC03F3F));
    EXPECT_EQ(1, NearestPaletteIndex(0x3F3FC0));
}

// Palettes of every shape: sizes 1-256, paths of the colours' own bits or of
// other bits, 1-8 levels deep, prefixes and repeats among them.
TEST_F(PaletteSearch, AnswersAsThePlainTreeWalk)
{
    std::mt19937 random(3);
    for (int round = 0; round < 60; round++) {
        int entries = 1 + (int)(random() % (round < 30 ? 256 : 24));
        int maxDepth = 1 + round % 8;
        std::string text;
        for (int i = 0; i < entries; i++) {
            PackedColor c = random() & 0xFFFFFF;
            if (round % 5 == 4)
                c = 0x404040u * (random() % 4);  // many entries of the same few colours
            PackedColor pathColor = round % 3 == 2 ? (PackedColor)random() : c;
            text += Line(c, OwnPath(pathColor, 1 + (int)(random() % maxDepth)));
        }
        LoadText(text);
        ExpectSearchAsPlainWalk(random, "round " + std::to_string(round));
    }
    // Every entry below the root's child 0: most colours stop at the root
    // with all 256 candidates.
    std::string text;
    for (int i = 0; i < 256; i++) {
        PackedColor c = random() & 0xFFFFFF;
        text += Line(c, " 0" + OwnPath(c, 7));
    }
    LoadText(text);
    ExpectSearchAsPlainWalk(random, "one child");
}

TEST_F(PaletteSearch, LeafMetOnTheWayIsTheAnswer)
{
    // 120 starts with bit 0: the level-0 leaf answers, though 130 is nearer.
    LoadText("0 0 0 - 0\n130 130 130 - 7 0\n");
    EXPECT_EQ(0, NearestPaletteIndex(0x787878));
    EXPECT_EQ(0u, NearestPaletteColor(0x787878));
}

TEST_F(PaletteSearch, ColoursOutsideTheStoppingSubtreeAreNeverLookedAt)
{
    // 60 goes to child 0, then finds no child 0 below it: only the far colour
    // under child 0 is compared, not the exact one under child 7.
    LoadText("250 250 250 - 0 7\n60 60 60 - 7 0\n");
    EXPECT_EQ(0, NearestPaletteIndex(0x3C3C3C));
}

TEST_F(PaletteSearch, CandidatesDepthFirstFirstOfEqualWins)
{
    // 200 200 200 has no child 7 at the root: every leaf is a candidate, in
    // the order C (0 0 3), A (0 1), B (1), all at distance 100 * 100.
    LoadText("200 100 200 - 1\n100 200 200 - 0 1\n200 200 100 - 0 0 3\n");
    EXPECT_EQ(2, NearestPaletteIndex(0xC8C8C8));
    LoadText("200 100 200 - 1\n100 200 200 - 0 1\n");
    EXPECT_EQ(1, NearestPaletteIndex(0xC8C8C8));
    EXPECT_EQ(0x64C8C8u, NearestPaletteColor(0xC8C8C8));
    // Strictly nearer wins wherever it stands.
    LoadText("200 101 200 - 1\n100 200 200 - 0 1\n");
    EXPECT_EQ(0, NearestPaletteIndex(0xC8C8C8));
    // The same colour twice: the first in depth-first order, for any colour.
    LoadText("90 90 90 - 0 2\n90 90 90 - 0 1\n");
    for (PackedColor c : {0x000000u, 0x0A0A0Au, 0x3F3F3Fu, 0x123456u})
        EXPECT_EQ(1, NearestPaletteIndex(c));
}

TEST_F(PaletteSearch, CollectLeavesStopsAtLeaves)
{
    LoadText("10 10 10 - 2\n20 20 20 - 2 5\n30 30 30 - 2 6 1\n40 40 40 - 3 3\n");
    int list[256];
    EXPECT_EQ(2, CollectLeaves(ActivePalette.root, list, 256));
    EXPECT_EQ(0, list[0]);
    EXPECT_EQ(3, list[1]);
    EXPECT_EQ(1, CollectLeaves(ActivePalette.root->children[2]->children[6], list, 256));
    EXPECT_EQ(2, list[0]);
    list[1] = -7;
    EXPECT_EQ(1, CollectLeaves(ActivePalette.root, list, 1));
    EXPECT_EQ(-7, list[1]);
    // Every colour beginning with child 2 is entry 0.
    EXPECT_EQ(0, NearestPaletteIndex(0x00FF00));
    EXPECT_EQ(0x0A0A0Au, NearestPaletteColor(0x1E801E));
    EXPECT_EQ(2, ActivePalette.TreeDepth);
}

TEST_F(PaletteSearch, RootLeafAnswersEveryColour)
{
    LoadText("50 60 70 -\n1 2 3 - 1 1\n");
    EXPECT_EQ(0, ActivePalette.TreeDepth);
    for (PackedColor c : {0x000000u, 0x010203u, 0xFFFFFFu, 0x00FF00u})
        EXPECT_EQ(0x323C46u, NearestPaletteColor(c));
    LoadText("1 2 3 - 1 1\n50 60 70 -\n");
    EXPECT_EQ(1, NearestPaletteIndex(0x010203));
}

}  // namespace
