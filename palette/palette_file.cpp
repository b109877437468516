// Palette files and the colour tree.
//
// A palette file is text, one entry per line, the entry's palette index being
// its line number counted from 0:
//
//     red green blue [anything] - [child index] ...
//
// three decimal numbers 0-255 separated by white space, then after the first
// "-" on the line the path of the entry's cell in the colour tree: up to eight
// child indices 0-7, separated by blanks or tabs. "255 0 0 - 1 1 1" is pure
// red at the end of a three-level path. A line holds at most 253 characters
// before its line end, LF or CR LF; the last line may go without one. A
// Ctrl-Z ends the text, as it ends a text-mode read.
//
// A file that breaks these rules is refused as a whole, with the line that
// breaks them: a line without three numbers or without "-", a component
// outside 0-255, a path element that is not a child index 0-7, a path of
// more than eight, a line too long, a blank line, a control byte (a zero, a
// carriage return that does not end the line, binary noise), and a file
// without any entry. Lines after the 256th are not read.
#include "palette/palette.h"
#include "palette/palette_search.h"

#include "base/apperror.h"
#include "platform/system.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

PaletteTables ActivePalette;

constexpr int kShownText = 60;    // characters of an offending line shown in a message
constexpr int kShownToken = 12;   // characters of an offending number or path element shown

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

// ------------------------------------------------------------ reading lines

struct PaletteLine {
    int red, green, blue;
    int path[kTreeLevels];
    int depth;
};

// The text of a line as a message shows it: at most `limit` characters, the
// rest cut to "...", and every byte outside printable ASCII (and the quote
// and backslash) written as an escape, so that no message carries a control
// byte or a broken character.
static void ShowText(const char *text, size_t length, size_t limit, char *out, size_t size)
{
    size_t used = 0;
    auto put = [&](const char *piece) {
        size_t n = strlen(piece);
        if (used + n < size) {
            memcpy(out + used, piece, n);
            used += n;
        }
    };
    for (size_t i = 0; i < length && i < limit; i++) {
        unsigned char c = (unsigned char)text[i];
        char piece[8] = {(char)c, 0};
        if (c == '"' || c == '\\')
            snprintf(piece, sizeof piece, "\\%c", c);
        else if (c < 0x20 || c >= 0x7F)
            snprintf(piece, sizeof piece, "\\x%02X", c);
        put(piece);
    }
    if (length > limit)
        put("...");
    if (size)
        out[used < size ? used : size - 1] = 0;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at *at (before end) with an optional sign, as "%d"
// does after skipping blanks; the value is held at 99999, which is outside
// every allowed range. Returns 0 when no digits follow; otherwise *at moves
// past the number and *token gets the start of its text, sign included.
static int ReadNumber(const char **at, const char *end, long *value, const char **token)
{
    const char *p = *at;
    while (p < end && IsBlank(*p))
        p++;
    *token = p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p == end || !IsDigit(*p))
        return 0;
    long v = 0;
    for (; p < end && IsDigit(*p); p++)
        v = v * 10 + (*p - '0') > 99999 ? 99999 : v * 10 + (*p - '0');
    *value = negative ? -v : v;
    *at = p;
    return 1;
}

// Parses one line (its text without the line end, length bytes). Returns 1;
// or 0 with the reason in reason.
static int ParsePaletteLine(const char *text, size_t length, PaletteLine *entry, char *reason, size_t size)
{
    const char *end = text + length;
    char shown[4 * kShownToken + 8];
    if (length == 0) {
        snprintf(reason, size, "the line is blank, where an entry belongs");
        return 0;
    }
    if (length > (size_t)kPaletteLineLimit) {
        snprintf(reason, size, "the line is %lu characters long, more than %d", (unsigned long)length,
                 kPaletteLineLimit);
        return 0;
    }
    for (const char *p = text; p < end; p++) {
        unsigned char c = (unsigned char)*p;
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            snprintf(reason, size, "control byte 0x%02X at column %d", c, (int)(p - text) + 1);
            return 0;
        }
    }

    const char *at = text;
    int *components[3] = {&entry->red, &entry->green, &entry->blue};
    for (int *component : components) {
        long value;
        const char *token;
        if (!ReadNumber(&at, end, &value, &token)) {
            snprintf(reason, size, "it does not start with three numbers red, green, blue");
            return 0;
        }
        if (*token == '-' || value > 255) {
            ShowText(token, (size_t)(at - token), kShownToken, shown, sizeof shown);
            snprintf(reason, size, "colour component %s is outside 0-255", shown);
            return 0;
        }
        *component = (int)value;
    }
    // No component has a sign "-", so the first "-" on the line lies after them.
    const char *dash = (const char *)memchr(at, '-', (size_t)(end - at));
    if (!dash) {
        snprintf(reason, size, "it has no \"-\" before the path");
        return 0;
    }

    entry->depth = 0;
    const char *p = dash + 1;
    for (;;) {
        while (p < end && IsBlank(*p))
            p++;
        if (p == end)
            return 1;
        const char *token = p;
        while (p < end && !IsBlank(*p))
            p++;
        // One digit 0-7, with a sign "+" or leading zeros if written so.
        const char *digits = token + (*token == '+');
        while (digits < p - 1 && *digits == '0')
            digits++;
        if (digits != p - 1 || *digits < '0' || *digits > '7') {
            ShowText(token, (size_t)(p - token), kShownToken, shown, sizeof shown);
            snprintf(reason, size, "path element %s is not a child index 0-7", shown);
            return 0;
        }
        if (entry->depth == kTreeLevels) {
            snprintf(reason, size, "the path has more than %d child indices", kTreeLevels);
            return 0;
        }
        entry->path[entry->depth++] = *digits - '0';
    }
}

// ------------------------------------------------------------ building

// Adds entry as palette index `index` below root; 0 when a node cannot be had.
static int AddToTree(ColorTreeNode *root, const PaletteLine &entry, int index)
{
    ColorTreeNode *node = root;
    for (int level = 0; level < entry.depth; level++) {
        ColorTreeNode *&child = node->children[entry.path[level]];
        if (!child)
            child = (ColorTreeNode *)calloc(1, sizeof(ColorTreeNode));
        if (!child)
            return 0;
        node = child;
    }
    node->isLeaf = 1;
    node->paletteIndex = index;
    return 1;
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

// Replaces the active palette with these entries; 0 (and the palette as it
// was) when the memory for the tree is not there.
static int TakeEntries(const PaletteLine *entries, int count)
{
    ColorTreeNode *root = (ColorTreeNode *)calloc(1, sizeof(ColorTreeNode));
    bool built = root != nullptr;
    for (int i = 0; i < count && built; i++)
        built = AddToTree(root, entries[i], i);
    if (!built) {
        FreeColorTree(root);
        return 0;
    }

    PaletteTables &palette = ActivePalette;
    FreeColorTree(palette.root);
    palette.root = root;
    for (int i = 0; i < count; i++) {
        const PaletteLine &e = entries[i];
        palette.colors[i] = (PackedColor)(e.red << 16 | e.green << 8 | e.blue);
        palette.logPalette.palPalEntry[i] = {(uint8_t)e.red, (uint8_t)e.green, (uint8_t)e.blue, 0};
    }
    palette.logPalette.palVersion = 0x300;
    palette.logPalette.palNumEntries = (uint16_t)count;
    palette.TreeDepth = root->isLeaf ? 0 : MeasureColorTree(root);
    FillSearchTables(palette);
    SearchIndexBuilt = false;
    return 1;
}

int ReadPaletteBytes(const char *name, const uint8_t *bytes, size_t length, char *error, size_t errorSize)
{
    // No bytes at all may come as a null pointer.
    const char *at = length ? (const char *)bytes : "", *end = at + length;
    // The text ends at a Ctrl-Z, as a text-mode read of the file sees it.
    if (const char *eof = (const char *)memchr(at, 0x1A, length))
        end = eof;
    PaletteLine *entries = (PaletteLine *)calloc(kPaletteEntries, sizeof(PaletteLine));
    if (!entries) {
        snprintf(error, errorSize, "Palette file %s cannot be read: not enough memory", name);
        return 0;
    }
    int count = 0;
    while (count < kPaletteEntries && at < end) {
        const char *lineEnd = (const char *)memchr(at, '\n', (size_t)(end - at));
        const char *next = lineEnd ? lineEnd + 1 : end;
        if (!lineEnd)
            lineEnd = end;
        else if (lineEnd > at && lineEnd[-1] == '\r')
            lineEnd--;
        char reason[160];
        if (!ParsePaletteLine(at, (size_t)(lineEnd - at), &entries[count], reason, sizeof reason)) {
            char shown[4 * kShownText + 8];
            ShowText(at, (size_t)(lineEnd - at), kShownText, shown, sizeof shown);
            snprintf(error, errorSize, "Palette file %s is damaged at line %d: %s: \"%s\"", name, count + 1, reason,
                     shown);
            free(entries);
            return 0;
        }
        count++;
        at = next;
    }
    int taken = count > 0 && TakeEntries(entries, count);
    free(entries);
    if (count == 0)
        snprintf(error, errorSize, "Palette file %s is damaged: it holds no entries", name);
    else if (!taken)
        snprintf(error, errorSize, "Palette file %s cannot be read: not enough memory for its colour tree", name);
    return taken;
}

LogPaletteRecord *LoadPalette(const char *path)
{
    ActivePalette.logPalette.palVersion = 0x300;
    PlatFile *f = FileOpen(path, "rb");
    AppAssert(f != nullptr, "PALETTE", kSiteOpenPalette, "File %s could not be opened: EXITING\r\n", path);
    // Lines after the 256th are never read, and 256 lines of the longest
    // allowed length fit in kPaletteFileLimit bytes: a longer line among
    // them is found before the cut.
    uint8_t *bytes = (uint8_t *)malloc(kPaletteFileLimit);
    if (!bytes)
        FileClose(f);
    AppAssert(bytes != nullptr, "PALETTE", __LINE__, "Not enough memory to read palette file %s\r\n", path);
    size_t length = FileRead(bytes, kPaletteFileLimit, f);
    FileClose(f);

    char error[kPaletteErrorSize];
    int taken = ReadPaletteBytes(path, bytes, length, error, sizeof error);
    free(bytes);
    AppAssert(taken, "PALETTE", kSiteOpenPalette, "%s: EXITING\r\n", error);
    return &ActivePalette.logPalette;
}
