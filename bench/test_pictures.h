// The painted pictures of the codec comparison and the encoder's benchmark
// (bench/test_pictures.cpp lists them).
#pragma once

#include <stdint.h>

#include <vector>

// Paints the picture of this name as blue, green, red pixels (rows width * 3
// bytes apart); false for a name it does not know.
bool PaintTestPicture(const char *name, std::vector<uint8_t> *bgr, int *width, int *height);
// The i-th picture's name, or null past the last.
const char *TestPictureName(int i);
