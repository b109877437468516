// Picture files for the art tool, through stb: any picture stb reads, PNG out.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Reads a picture as blue, green, red pixels, rows width * 3 bytes apart.
// False with stb's reason in *error when it cannot.
bool ReadPicture(const char *path, std::vector<uint8_t> *bgr, int *width, int *height, std::string *error);
// Writes blue, green, red pixels (rows stride bytes apart) as a PNG file.
bool WritePng(const char *path, const uint8_t *bgr, int width, int height, int stride);
