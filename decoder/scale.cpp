#include "decoder/scale.h"

#include "base/apperror.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include <vector>

uint8_t *ScaleArtImage(const char *path, const uint8_t *picture, int artWidth, int artHeight, int width,
                       int height)
{
    const long long hStep = (long long)artWidth * 65536 / width;   // source pixels per target pixel, 16.16
    const long long vStep = (long long)artHeight * 65536 / height;
    const size_t rowBytes = (size_t)ScaledRowBytes(width);
    const size_t bytes = rowBytes * (size_t)std::max(artHeight, height) + 4;
    uint8_t *result = (uint8_t *)calloc(bytes, 1);
    AppAssert(result != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", path,
              width, height);

    // Column map: source position of each target column in 1/256 pixel.
    std::vector<int> columns(width);
    for (int j = 0; j < width; j++)
        columns[j] = (int)((j * hStep) >> 8);

    // Horizontal pass into artHeight intermediate rows, placed at the bottom of
    // the result when it grows, so that the vertical pass can run in place.
    uint8_t *inter = result + (artHeight < height ? (size_t)(height - artHeight) * rowBytes : 0);
    for (int r = 0; r < artHeight - 1; r++) {
        const uint8_t *src = picture + (size_t)r * artWidth * 3;
        uint8_t *out = inter + r * rowBytes;
        for (int j = 0; j < width; j++) {
            const uint8_t *p = src + (size_t)(columns[j] >> 8) * 3;
            int f = columns[j] & 255;
            for (int ch = 0; ch < 3; ch++)
                out[j * 3 + ch] = (uint8_t)((p[ch] * (256 - f) + p[ch + 3] * f) >> 8);
        }
    }
    memset(inter + (size_t)(artHeight - 1) * rowBytes, 0, (size_t)width * 3);

    // Vertical pass, top to bottom, in place: output row y never lies below
    // the intermediate rows that the rows after it read.
    for (int y = 0; y < height - 1; y++) {
        int position = (int)((y * vStep) >> 8);
        // A 1-row picture has only its black row to read.
        int k = std::max(0, std::min(position >> 8, artHeight - 2));
        int k1 = std::min(k + 1, artHeight - 1);
        int f = position & 255;
        const uint8_t *a = inter + (size_t)k * rowBytes, *b = inter + (size_t)k1 * rowBytes;
        uint8_t *out = result + (size_t)y * rowBytes;
        for (int x = 0; x < width * 3; x++)
            out[x] = (uint8_t)((a[x] * (256 - f) + b[x] * f) >> 8);
    }
    memset(result + (size_t)(height - 1) * rowBytes, 0, (size_t)width * 3);
    return result;
}
