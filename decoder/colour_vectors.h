// Colour conversion loops with AVX2 (colour_vectors.cpp, compiled for AVX2
// and run only where the processor has it). Nothing inline here: the file
// that defines them is compiled for another instruction set than its callers.
#pragma once

#include <stdint.h>

// The low three bytes of words 0 ... count - 1, packed into out (3 bytes a
// word), eight at a time; returns how many it did (a multiple of eight). The
// caller does the rest.
int PackWordsAvx2(const uint32_t *words, int count, uint8_t *out);
// ConvertRow's pixels 0 ... n - 1 at out, for the largest multiple n of
// sixteen up to m; returns n. The caller does the rest.
int ConvertRowAvx2(const int32_t *yRow, int32_t yOffset, const int32_t *blueTerm, const int32_t *redTerm, int m,
                   uint8_t *out);
