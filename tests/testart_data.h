// The picture and the palette that the tests' art is made of, without
// GoogleTest: the unit tests' art (tests/testart.h) and the fuzz targets'
// seeds share them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Soft gradients with a disc in the middle: rows of blue, green, red bytes,
// the top row first.
std::vector<uint8_t> TestPicture(int width, int height);
// The 64 colours with two bits a channel, each with the path of its own bits,
// one a line with CR LF.
std::string TestPaletteText();
