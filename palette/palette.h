// Palette files, the colour tree, the nearest-colour search and the
// error-diffused reduction of rows.
#pragma once

#include "platform/records.h"

#include <stddef.h>
#include <stdint.h>

#include <atomic>

// A colour in one integer: red in bits 16-23, green 8-15, blue 0-7. It equals a
// blue, green, red pixel read as a little-endian number.
typedef uint32_t PackedColor;

// Loads a palette file into the process-wide palette; returns its record,
// owned by the palette until the next load. A file that cannot be opened or
// is damaged (ReadPaletteBytes) ends the program through the error report.
LogPaletteRecord *LoadPalette(const char *path);
// Reads the bytes of a palette file (length of them, untranslated: LF or
// CR LF line ends, the text ending at a Ctrl-Z if there is one) into the process-wide palette and the search's index, as
// LoadPalette does. Returns 1; or 0, leaving the palette as it was, with a
// message in error that names the file (name) and the offending line and
// shows its text with control bytes escaped. Never ends the process.
int ReadPaletteBytes(const char *name, const uint8_t *bytes, size_t length, char *error, size_t errorSize);
PackedColor NearestPaletteColor(PackedColor c);
int NearestPaletteIndex(PackedColor c);

// The reduction of rows of width blue, green, red pixels, in place: to
// palette colours (8 bits) or to five bits a channel (16), with the
// error-diffusion kernel 1-7 (any other: no error passed on).
// StartDiffusion clears the error rows for rows of width pixels and makes
// kernel's tables: the start of a reduction fed to DiffusePair a pair of rows
// at a time.
void StartDiffusion(int kernel, int width);
// Builds the search's own form of the palette loaded last, if not yet built:
// the first search after a load does it otherwise. Threads that search at
// once need it built before they start.
void PrepareSearch();
// Two threads at once, after StartDiffusion: each call the next pair of rows
// (rows: 2, or 1 for an odd last row) of image row firstRow on, onto the
// palette or to five bits. above: the progress of the pair above's call (null
// for the first pair), which must be running or done, on another thread;
// mine: this call's, for the pair below. The pair two above must be done.
constexpr int kPairDone = 0x7FFFFFFF;  // the progress of a finished pair
void DiffusePair(bool palette, uint8_t *image, int rows, int fill, int firstRow, const std::atomic<int> *above,
                 std::atomic<int> *mine);

// ------------------------------------------------------------ the colour tree

constexpr int kPaletteEntries = 256;  // lines a palette file may hold
constexpr int kPaletteLineLimit = 253;  // characters of a line before its line end
// Bytes that 256 lines of the longest allowed length take, CR LF ends included.
constexpr size_t kPaletteFileLimit = (size_t)kPaletteEntries * (kPaletteLineLimit + 2);
constexpr int kPaletteErrorSize = 700;  // ReadPaletteBytes' message: a 260-character name, a reason, 60 shown characters
constexpr int kTreeLevels = 8;        // one level per bit of a component

// One node of the colour tree, one allocation each, created all zero. At level
// l (the root's children are level 0) a colour's child index is
// 4 * (bit 7 - l of blue) + 2 * (bit 7 - l of green) + (bit 7 - l of red).
struct ColorTreeNode {
    int32_t isLeaf;                       // 1 when a palette line's path ends here
    int32_t paletteIndex;                 // for a leaf, that line's palette index
    ColorTreeNode *children[8];           // by child index; null where absent
};

// The palette that the last LoadPalette read, with the tables of the search.
struct PaletteTables {
    ColorTreeNode *root;                  // null until the first load
    PackedColor colors[kPaletteEntries];  // by palette index; later entries keep older palettes' values
    LogPaletteRecord logPalette;          // version 0x300, the entries read, peFlags 0
    int TreeDepth;                        // path entries a search computes, 0-8
    // For byte value v and level l: 4, 2 or 1 when bit 7 - l of v is set, else 0.
    uint8_t blueBits[256][kTreeLevels];
    uint8_t greenBits[256][kTreeLevels];
    uint8_t redBits[256][kTreeLevels];
    int32_t squares[511];                 // d * d for the difference d = -255..255, at d + 255
    int squaresFilled;                    // 1 once the first load has filled squares
};

// Written by LoadPalette (wallpaper job's thread, or the About box on the
// window's thread, never both at once); read by the search on the same thread.
extern PaletteTables ActivePalette;

// Frees node and everything below it, children 0-7 first; null is allowed.
void FreeColorTree(ColorTreeNode *node);
// The greatest depth below node, its children counting as depth 1, without
// entering the children of a leaf; 0 when node has no children.
int MeasureColorTree(const ColorTreeNode *node);
// Appends the palette indices of the leaves at and below node to list, depth
// first, lower child indices first, not looking below a leaf; at most room of
// them. Returns how many it appended.
int CollectLeaves(const ColorTreeNode *node, int *list, int room);
