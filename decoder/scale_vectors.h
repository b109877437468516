// Rows scaled across with AVX2 (scale_vectors.cpp, compiled for AVX2 and run
// only where the processor has it). Nothing inline here: the file that
// defines it is compiled for another instruction set than its callers.
#pragma once

#include <stdint.h>

// Target pixels 0 ... count - 1 of a row, each between the source pixel at
// columns[j] >> 8 and the one after it, both inside the row at src, weighted
// by columns[j] & 255 (in 1/256), into out (3 bytes a pixel). Does them eight
// at a time and returns how many it did (a multiple of eight); the caller
// does the rest.
int ScaleAcrossAvx2(const uint8_t *src, const int *columns, int count, uint8_t *out);
