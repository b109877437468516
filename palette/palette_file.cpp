// Palette files and the colour tree.
//
// A palette file is text, one entry per line, the entry's palette index being
// its place among the entries, counted from 0:
//
//     red green blue [anything] - [child index] ...
//
// three decimal numbers 0-255, then after the first "-" on the line the path of
// the entry's cell in the colour tree: up to eight child indices 0-7, separated
// by blanks. "255 0 0 - 1 1 1" is pure red at the end of a three-level path.
// Lines are read 254 characters at a time; the read that meets the end of the
// file ends the palette, so a last line without a line end is not taken.
//
// What the loader does with lines outside that format, so that no file can
// index outside a table or the tree:
// - a line without "-", or without three numbers before its end, is not an
//   entry: it is skipped and takes no palette index;
// - numbers outside 0-255 are taken as 0 or 255;
// - a path element that is not a number, or not 0-7, is ignored; elements
//   after the eighth good one are ignored;
// - of a line longer than 254 characters the first 254 are taken and the rest,
//   up to its line end, is skipped;
// - entries after the 256th are not read.
#include "palette/palette.h"
#include "palette/palette_search.h"

#include "app/apperror.h"
#include "platform/platform.h"

#include <stdlib.h>
#include <string.h>

PaletteTables ActivePalette;

constexpr int kLineBuffer = 255;  // one read: at most 254 characters and the zero

static ColorTreeNode *NewNode()
{
    ColorTreeNode *node = (ColorTreeNode *)calloc(1, sizeof(ColorTreeNode));
    AppAssert(node != nullptr, "PALETTE", __LINE__, "Not enough memory for colour tree\r\n");
    return node;
}

void FreeColorTree(ColorTreeNode *node)
{
    if (!node)
        return;
    for (ColorTreeNode *child : node->children)
        FreeColorTree(child);
    free(node);
}

int MeasureColorTree(const ColorTreeNode *node)
{
    int deepest = 0;
    for (const ColorTreeNode *child : node->children) {
        if (!child)
            continue;
        int depth = 1 + (child->isLeaf ? 0 : MeasureColorTree(child));
        if (depth > deepest)
            deepest = depth;
    }
    return deepest;
}

// One read of FileGets into buf. Returns 0 when the read met the end of the
// file; otherwise 1, and *ended tells whether the read took a line end. The
// buffer is filled with a non-zero byte first, so that the last zero in it is
// the read's own terminator even when the line holds zero bytes.
static int ReadChunk(PlatFile *f, char *buf, bool *ended)
{
    memset(buf, 1, kLineBuffer);
    if (!FileGets(buf, kLineBuffer, f) || FileEof(f))
        return 0;
    int length = kLineBuffer - 1;
    while (length > 0 && buf[length] != 0)
        length--;
    *ended = length > 0 && buf[length - 1] == '\n';
    return 1;
}

// The next line, cut to one read; 0 at the end of the file.
static int ReadPaletteLine(PlatFile *f, char *line)
{
    bool ended;
    if (!ReadChunk(f, line, &ended))
        return 0;
    char rest[kLineBuffer];
    while (!ended)
        if (!ReadChunk(f, rest, &ended))
            return 0;
    return 1;
}

struct PaletteLine {
    int red, green, blue;
    int path[kTreeLevels];
    int depth;
};

static int ComponentOf(long value) { return value < 0 ? 0 : value > 255 ? 255 : (int)value; }

// Reads a line's colour and path; 0 when the line is not an entry.
static int ParsePaletteLine(const char *line, PaletteLine *entry)
{
    const char *at = line;
    int *components[3] = {&entry->red, &entry->green, &entry->blue};
    for (int *component : components) {
        char *end;
        long value = strtol(at, &end, 10);
        if (end == at)
            return 0;
        *component = ComponentOf(value);
        at = end;
    }
    const char *dash = strchr(line, '-');
    if (!dash)
        return 0;

    entry->depth = 0;
    const char *p = dash + 1;
    for (;;) {
        while (*p == ' ' || *p == '\n')
            p++;
        if (!*p)
            break;
        char *end;
        long k = strtol(p, &end, 10);
        bool number = end != p;
        if (number)
            p = end;
        while (*p && *p != ' ' && *p != '\n')
            p++;
        if (number && k >= 0 && k <= 7 && entry->depth < kTreeLevels)
            entry->path[entry->depth++] = (int)k;
    }
    return 1;
}

static void AddEntry(PaletteTables &palette, const PaletteLine &entry, int index)
{
    ColorTreeNode *node = palette.root;
    for (int level = 0; level < entry.depth; level++) {
        ColorTreeNode *&child = node->children[entry.path[level]];
        if (!child)
            child = NewNode();
        node = child;
    }
    node->isLeaf = 1;
    node->paletteIndex = index;
    palette.colors[index] = (PackedColor)(entry.red << 16 | entry.green << 8 | entry.blue);
    palette.logPalette.palPalEntry[index] = {(uint8_t)entry.red, (uint8_t)entry.green, (uint8_t)entry.blue, 0};
}

static void FillSearchTables(PaletteTables &palette)
{
    for (int v = 0; v < 256; v++)
        for (int level = 0; level < kTreeLevels; level++) {
            int bit = (v >> (7 - level)) & 1;
            palette.blueBits[v][level] = (uint8_t)(4 * bit);
            palette.greenBits[v][level] = (uint8_t)(2 * bit);
            palette.redBits[v][level] = (uint8_t)bit;
        }
    if (!palette.squaresFilled) {
        for (int d = -255; d <= 255; d++)
            palette.squares[d + 255] = d * d;
        palette.squaresFilled = 1;
    }
}

LogPaletteRecord *LoadPalette(const char *path)
{
    PaletteTables &palette = ActivePalette;
    palette.logPalette.palVersion = 0x300;
    PlatFile *f = FileOpen(path, "r");
    AppAssert(f != nullptr, "PALETTE", 81, "File %s could not be opened: EXITING\r\n", path);

    FreeColorTree(palette.root);
    palette.root = NewNode();
    int n = 0;
    char line[kLineBuffer];
    while (n < kPaletteEntries && ReadPaletteLine(f, line)) {
        PaletteLine entry;
        if (ParsePaletteLine(line, &entry))
            AddEntry(palette, entry, n++);
    }
    palette.logPalette.palNumEntries = (uint16_t)n;
    palette.TreeDepth = palette.root->isLeaf ? 0 : MeasureColorTree(palette.root);
    FileClose(f);

    FillSearchTables(palette);
    BuildSearchIndex(palette, ActiveSearchIndex);
    return &palette.logPalette;
}
