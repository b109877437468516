// Palette files, the colour tree, the nearest-colour search and the
// error-diffused reduction of rows.
#pragma once

#include "platform/records.h"

#include <stdint.h>

// A colour in one integer: red in bits 16-23, green 8-15, blue 0-7. It equals a
// blue, green, red pixel read as a little-endian number.
typedef uint32_t PackedColor;

// Loads a palette file into the process-wide palette; returns its record,
// owned by the palette until the next load.
LogPaletteRecord *LoadPalette(const char *path);
PackedColor NearestPaletteColor(PackedColor c);
int NearestPaletteIndex(PackedColor c);

// Reduce rows of W blue, green, red pixels (rows W * 3 + fill bytes apart), in
// place, from the image's first row: to palette colours (8) or to five bits a
// channel (16), with the error-diffusion kernel 1-7.
void DiffuseRows8(int kernel, uint8_t *image, int rows, int width, int fill);
void DiffuseRows16(int kernel, uint8_t *image, int rows, int width, int fill);

// ------------------------------------------------------------ the colour tree

constexpr int kPaletteEntries = 256;  // lines a palette file may hold
constexpr int kTreeLevels = 8;        // one level per bit of a component

// One node of the colour tree, one allocation each, created all zero. At level
// l (the root's children are level 0) a colour's child index is
// 4 * (bit 7 - l of blue) + 2 * (bit 7 - l of green) + (bit 7 - l of red).
struct ColorTreeNode {
    int32_t isLeaf;                       // 1 when a palette line's path ends here
    int32_t paletteIndex;                 // for a leaf, that line's palette index
    ColorTreeNode *children[8];           // by child index; null where absent
};

// The colour tree in the search's own form, built by each load from the tree
// and giving the same answers (see palette_search.cpp).
constexpr int kSearchNodes = 1 + kPaletteEntries * kTreeLevels;  // a tree has at most this many nodes
constexpr int kJumpLevels = 4;                                    // levels the jump table answers
constexpr int kCandidatePool = 16384;                             // candidates the jump table's lists hold

// A candidate of the search: a leaf's colour and its place in the leaf list.
struct SearchCandidate {
    uint8_t blue, green, red, place;
};

struct SearchNode {
    // By child index: -1 none; 0 or more an inner node's number; -2 - p the
    // leaf at place p of the leaf list.
    int16_t child[8];
    uint16_t first, count;  // the node's candidates: places first.. of the leaf list
};

// A cell of the jump table. list: kJumpOne when one is the answer for the
// whole cell; else first | count << 16, the candidates in the pool, or with
// kJumpLeaves in the leaf list; or kJumpGo | the node the descent goes on from.
struct JumpCell {
    int32_t list;
    uint32_t one;  // a candidate's bytes (blue, green, red, place) read as a little-endian number
};
constexpr int32_t kJumpOne = -1, kJumpLeaves = 0x20000000, kJumpGo = 0x40000000;

struct SearchIndex {
    SearchNode nodes[kSearchNodes];  // inner nodes reached without passing a leaf; 0 is the root
    // The leaves depth first, lower child indices first, not looking below a
    // leaf (the root's candidates), and their palette indices.
    SearchCandidate leaves[kPaletteEntries];
    uint8_t leafOrder[kPaletteEntries];
    // By the top four bits of blue, green and red (blue's at bit 8): where
    // the descent ends or stands after its first min(TreeDepth, 4) levels.
    // Where it ends, only the candidates that can be nearest somewhere in the
    // cell are listed, in their order; most cells have one.
    JumpCell jump[4096];
    SearchCandidate pool[kCandidatePool];
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

    SearchIndex index;                    // the search's form of the tree
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
// Builds palette.index from the tree, the colours and TreeDepth; LoadPalette
// calls it.
void BuildSearchIndex(PaletteTables &palette);
