// A wallpaper bitmap file as the system shows it, for the tests of the
// monitors' bitmaps: its header's size and depth, and pixel x, y from the
// top-left. A file that is not a bottom-up bitmap with a 256-entry table laid
// out as the writer lays it has no pixels (width and height 0).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

struct Shown {
    std::string file;
    int width = 0, height = 0, bytes = 0;
    size_t row = 0;
    explicit Shown(const std::string &f) : file(f)
    {
        if (file.size() < 1078)
            return;
        width = (int)Field(18), height = (int)Field(22);
        bytes = (uint8_t)file[28] / 8;
        row = ((size_t)width * bytes + 3) & ~(size_t)3;
        if (file.size() != 1078 + row * (size_t)height)
            width = height = 0;
    }
    // A little-endian 32-bit field of the file.
    uint32_t Field(size_t at) const
    {
        return (uint8_t)file[at] | (uint8_t)file[at + 1] << 8 | (uint8_t)file[at + 2] << 16 |
               (uint32_t)(uint8_t)file[at + 3] << 24;
    }
    // The pixel's bytes, as many as bytes says.
    const char *At(int x, int y) const { return &file[1078 + (size_t)(height - 1 - y) * row + (size_t)x * bytes]; }
    std::string Pixel(int x, int y) const { return std::string(At(x, y), (size_t)bytes); }
};
