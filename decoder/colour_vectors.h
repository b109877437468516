// Colour conversion loops with AVX2 (colour_vectors.cpp, compiled for AVX2
// and run only where the processor has it). Nothing inline here: the file
// that defines them is compiled for another instruction set than its callers.
#pragma once

#include <stdint.h>

// The low three bytes of words 0 ... count - 1, packed into out (3 bytes a
// word), eight at a time; returns how many it did (a multiple of eight). The
// caller does the rest.
int PackWordsAvx2(const uint32_t *words, int count, uint8_t *out);
