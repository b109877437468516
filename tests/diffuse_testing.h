// What the tests, the fuzz target and the benchmark of the row reduction
// share: a picture to reduce, and the reduction of a whole picture.
#pragma once

#include "palette/palette.h"

#include <math.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

// A wallpaper-like picture of red, green, blue pixels: ramps, discs of strong
// colour, a little noise.
inline std::vector<uint8_t> WallpaperPicture(int width, int height)
{
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    std::mt19937 random(99);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            double r = 40 + 180.0 * x / width, g = 30 + 150.0 * y / height;
            double b = 128 + 90 * sin(x * 0.03 + y * 0.02);
            const double discs[3][6] = {{0.3, 0.4, 0.15, 230, 40, 30}, {0.7, 0.6, 0.2, 20, 60, 200},
                                        {0.5, 0.2, 0.1, 250, 240, 90}};
            for (const double *d : discs) {
                double dx = x - d[0] * width, dy = y - d[1] * height, radius = d[2] * width;
                double t = 1 - sqrt(dx * dx + dy * dy) / radius;
                if (t > 0) {
                    t = std::min(1.0, t * 3);
                    r = r * (1 - t) + d[3] * t, g = g * (1 - t) + d[4] * t, b = b * (1 - t) + d[5] * t;
                }
            }
            double v[3] = {r, g, b};
            for (int c = 0; c < 3; c++) {
                double noisy = v[c] + (int)(random() % 7) - 3;
                rgb[((size_t)y * width + x) * 3 + c] = (uint8_t)std::min(255.0, std::max(0.0, noisy));
            }
        }
    return rgb;
}

// A whole picture reduced on one thread the way the wallpaper job reduces
// it on two: StartDiffusion, then DiffusePair a pair of rows at a time. Rows
// of width blue, green, red pixels, width * 3 + fill bytes apart, to palette
// colours (8) or to five bits a channel (16), with kernel 1-7.
inline void DiffuseRows(bool palette, int kernel, uint8_t *image, int rows, int width, int fill)
{
    StartDiffusion(kernel, width);
    std::atomic<int> progress[2];  // by pair, as the job's: each pair's lower row done when the next starts
    for (int y = 0; image && width > 0 && y < rows; y += 2)
        DiffusePair(palette, image + (size_t)y * (width * 3 + fill), std::min(2, rows - y), fill, y,
                    y > 0 ? &progress[(y / 2 + 1) % 2] : nullptr, &progress[y / 2 % 2]);
}
inline void DiffuseRows8(int kernel, uint8_t *image, int rows, int width, int fill)
{
    DiffuseRows(true, kernel, image, rows, width, fill);
}
inline void DiffuseRows16(int kernel, uint8_t *image, int rows, int width, int fill)
{
    DiffuseRows(false, kernel, image, rows, width, fill);
}
