// The palette maker: an octree palette of a picture, written as a palette file
// whose every colour carries the path of its octree cell. Every pixel of the
// picture lies in exactly one cell, and the cell's colour (the mean of its
// pixels) lies in the cell too, so the colour tree's search finds the cell's
// own colour for every pixel of that cell.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct PaletteCell {
    uint8_t red, green, blue;
    int depth;        // path length, 0-8; 0 is the whole colour space
    uint8_t path[8];  // child index a level: 4 * blue bit + 2 * green bit + red bit
};

// The palette of count pixels of three bytes each (red, green, blue), at most
// colors (1-256) entries. With room for them (colors 3 or more), pure black and
// pure white are entries too, since the row reduction writes them as they are.
// In palettes of 64 colours or more each has a one-colour cell of its own, so
// that the search finds them; in smaller ones their paths lead below the cells
// that hold them, so that the search still finds the cells' own colours there.
std::vector<PaletteCell> MakeOctreePalette(const uint8_t *rgb, size_t count, int colors);

// The palette file's text: one line "red green blue - path..." an entry, each
// ending with a line feed.
std::string FormatPalette(const std::vector<PaletteCell> &cells);
