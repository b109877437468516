// The search's inner step, shared by NearestPaletteColor, NearestPaletteIndex
// and the 8-bit row reduction (which inlines it). See palette_search.cpp.
#pragma once

#include "palette/palette.h"

#include <string.h>

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
PALETTE_INLINE int64_t SearchPalette(const PaletteTables &palette, int blue, int green, int red)
{
    const SearchIndex &index = palette.index;
    const JumpCell &cell = index.jump[(blue >> 4) << 8 | (green >> 4) << 4 | red >> 4];
    int32_t entry = cell.list;
    if (entry == kJumpOne)
        return cell.one;
    const SearchCandidate *list = index.pool + (entry & 0xFFFF);
    int count = (entry >> 16) & 0x1FF;
    if (entry & (kJumpGo | kJumpLeaves)) {
        list = index.leaves + (entry & 0xFFFF);
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
