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
