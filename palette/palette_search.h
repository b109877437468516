// The search's own form of the palette, and its inner step, shared by
// NearestPaletteColor, NearestPaletteIndex and the 8-bit row reduction (which
// inlines it). See palette_search.cpp.
#pragma once

#include "palette/palette.h"

#include <string.h>

// The colour tree in the search's own form, built by each load from the tree
// and giving the same answers (see palette_search.cpp).
constexpr int kSearchNodes = 1 + kPaletteEntries * kTreeLevels;  // a tree has at most this many nodes
constexpr int kJumpLevels = 4;                                    // levels the jump table answers
constexpr int kCandidatePool = 16384;                             // candidates the jump table's lists hold

// A candidate of the search: a leaf's colour and its place in the leaf list.
struct SearchCandidate {
    uint8_t blue, green, red, place;
};
static_assert(sizeof(SearchCandidate) == 4, "a candidate is read as one 32-bit number");

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

// The search's form of the palette loaded last; all zero (no candidates)
// before the first load. Built by the first search after a load (a 16-bit
// wallpaper needs the palette's colours but never searches them), on the
// thread that loaded it or on the one that reduces the first pair of rows.
extern SearchIndex ActiveSearchIndex;
extern bool SearchIndexBuilt;  // false from a load until EnsureSearchIndex

// Builds ActiveSearchIndex for the palette loaded last, if not yet built.
void EnsureSearchIndex();

// Builds index from the palette's tree, colours and TreeDepth.
void BuildSearchIndex(const PaletteTables &palette, SearchIndex &index);

// A candidate's bytes (blue, green, red, place) as one number: its low 24
// bits are its colour as a PackedColor.
inline uint32_t CandidateBits(const SearchCandidate &c)
{
    uint32_t bits;
    memcpy(&bits, &c, sizeof bits);
    return bits;
}

#if defined(__GNUC__)
#define PALETTE_INLINE inline __attribute__((always_inline))
#else
#define PALETTE_INLINE inline
#endif

// The candidate chosen for the colour blue, green, red (each 0-255), as its
// bytes, or -1 when the palette has no entries.
PALETTE_INLINE int64_t SearchPalette(const PaletteTables &palette, const SearchIndex &index, int blue, int green,
                                     int red)
{
    const JumpCell &cell = index.jump[(blue >> 4) << 8 | (green >> 4) << 4 | red >> 4];
    int32_t entry = cell.list;
    if (entry == kJumpOne)
        return cell.one;
    const SearchCandidate *list = index.pool + (entry & 0xFFFF);
    int count = (entry >> 16) & 0x1FF;
    if (entry & (kJumpGo | kJumpLeaves)) {
        // A go cell holds a node's number, not a place in the leaf list.
        list = index.leaves + (entry & kJumpGo ? 0 : entry & 0xFFFF);
        if (entry & kJumpGo) {
            // The deepest nodes the descent can reach are leaves, so it never
            // needs more than TreeDepth path entries.
            int node = entry & 0xFFFF;
            int level = palette.TreeDepth < kJumpLevels ? palette.TreeDepth : kJumpLevels;
            for (;; level++) {
                const SearchNode &at = index.nodes[node];
                int child = level < palette.TreeDepth ? at.child[palette.blueBits[blue][level] |
                                                                 palette.greenBits[green][level] |
                                                                 palette.redBits[red][level]]
                                                      : -1;
                if (child == -1) {
                    list = index.leaves + at.first, count = at.count;
                    break;
                }
                if (child < -1) {
                    list = index.leaves + (-2 - child), count = 1;
                    break;
                }
                node = child;
            }
        }
    }
    if (count == 0)
        return -1;
    // The smallest distance wins; among equal distances the first.
    const int32_t *square = palette.squares + 255;  // indexed by a difference -255..255
    int best = 0;
    int32_t bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < count; i++) {
        int32_t distance = square[red - list[i].red] + square[green - list[i].green] + square[blue - list[i].blue];
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return CandidateBits(list[best]);
}
