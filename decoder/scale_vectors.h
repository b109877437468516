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

// Eight target pixels of a row as the planned loop does them: two vectors,
// each of two pairs of neighbouring target pixels, one pair a lane. Each
// pair's two pixels, and the pixels after them, lie in the 16 bytes of the
// source row from base (a pair's second pixel starts at most three pixels
// after its first), which one shuffle spreads into 16-bit words; the weights
// f of the pixels after them are laid out as the words.
struct AcrossGroup {
    int32_t base[4];  // the pairs' windows: pixels (j, j + 1), (j + 4, j + 5); (j + 2, j + 3), (j + 6, j + 7)
    int32_t masks[2];  // each vector's pair of steps, the first pair's in bits 0-1
    int32_t unused[2];
    uint16_t weights[2][16];  // by vector: f for blue, green, red and a zero word
};

// Plans target pixels 0 ... count - 1 of every row (rowBytes bytes of source
// pixels), eight at a time, into plan (room for count / 8 groups), for as
// long as each pair's window fits the row; returns how many pixels it
// planned. Both are compiled for AVX2: called only where the processor has it.
int PlanScaleAcrossAvx2(const int *columns, int count, int rowBytes, AcrossGroup *plan);
// The planned pixels 0 ... count - 1 (a count PlanScaleAcrossAvx2 returned)
// of the row at src, as ScaleAcrossAvx2 does them; returns count.
int ScaleAcrossPlannedAvx2(const uint8_t *src, const AcrossGroup *plan, int count, uint8_t *out);
