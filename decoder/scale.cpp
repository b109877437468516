#include "decoder/scale.h"

#include "base/apperror.h"
#include "base/kernels.h"
#include "decoder/scale_vectors.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include <vector>

// Row r of the picture.
static inline const uint8_t *PictureRow(const ArtScaler *s, int r)
{
    return s->picture + (size_t)(r % s->ringRows) * s->artWidth * 3;
}

// Source row r scaled across: each pixel between a pixel and the one after it
// (the next row's first at the end of a row).
static void ScaleAcross(const ArtScaler *s, int r, uint8_t *out)
{
    const uint8_t *src = PictureRow(s, r), *next = PictureRow(s, r + 1);
    const int *columns = s->columns;
    int j = 0;
    if (KernelLevelInUse == kKernelAvx2) {
        j = ScaleAcrossPlannedAvx2(src, s->plan, s->planned, out);
        j += ScaleAcrossAvx2(src, columns + j, s->within - j, out + (size_t)j * 3);
    }
    for (; j < s->within; j++) {
        const uint8_t *p = src + (size_t)(columns[j] >> 8) * 3;
        int f = columns[j] & 255;
        for (int ch = 0; ch < 3; ch++)
            out[j * 3 + ch] = (uint8_t)((p[ch] * (256 - f) + p[ch + 3] * f) >> 8);
    }
    for (; j < s->width; j++) {
        const uint8_t *p = src + (size_t)(columns[j] >> 8) * 3;
        int f = columns[j] & 255;
        for (int ch = 0; ch < 3; ch++)
            out[j * 3 + ch] = (uint8_t)((p[ch] * (256 - f) + next[ch] * f) >> 8);
    }
}

// out = a (256 - f) / 256 + b f / 256, byte by byte, rounded down.
KERNEL_BODY void BlendRowsBody(const uint8_t *__restrict a, const uint8_t *__restrict b, int f, size_t bytes,
                               uint8_t *__restrict out)
{
    for (size_t x = 0; x < bytes; x++)
        out[x] = (uint8_t)((a[x] * (256 - f) + b[x] * f) >> 8);
}
KERNEL_LEVELS(BlendRows, (const uint8_t *a, const uint8_t *b, int f, size_t bytes, uint8_t *out),
              (a, b, f, bytes, out))

void StartArtScaler(ArtScaler *s, const char *path, const uint8_t *picture, int artWidth, int artHeight, int ringRows,
                    int width, int height)
{
    s->picture = picture;
    s->ringRows = ringRows;
    s->artWidth = artWidth, s->artHeight = artHeight, s->width = width, s->height = height;
    const long long hStep = (long long)artWidth * 65536 / width;  // source pixels per target pixel, 16.16
    s->vStep = (long long)artHeight * 65536 / height;
    // The column map (source position of each target column in 1/256 pixel),
    // then two rows scaled across, kept by their source rows.
    size_t rowBytes = (size_t)width * 3;
    s->columns = (int *)malloc(width * sizeof(int) + 2 * rowBytes);
    AppAssert(s->columns != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", path,
              width, height);
    // The map rises, so the columns that read a pixel and the one after it
    // in the same row come first.
    s->within = 0;
    for (int j = 0; j < width; j++) {
        s->columns[j] = (int)((j * hStep) >> 8);
        if ((s->columns[j] >> 8) < artWidth - 1)
            s->within = j + 1;
    }
    s->across[0] = (uint8_t *)(s->columns + width);
    s->across[1] = s->across[0] + rowBytes;
    s->acrossRow[0] = s->acrossRow[1] = -1;
    s->plan = nullptr;
    s->planned = 0;
    if (KernelLevelInUse == kKernelAvx2 && s->within >= 8) {
        s->plan = (AcrossGroup *)malloc((size_t)(s->within / 8) * sizeof(AcrossGroup));
        AppAssert(s->plan != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", path,
                  width, height);
        s->planned = PlanScaleAcrossAvx2(s->columns, s->within, artWidth * 3, s->plan);
    }
}

void ScaleArtRow(ArtScaler *s, int y, uint8_t *out)
{
    size_t bytes = (size_t)s->width * 3;
    if (y == s->height - 1) {
        memset(out, 0, bytes);
        return;
    }
    int position = (int)((y * s->vStep) >> 8);
    // A 1-row picture has only its black row to read.
    int k = std::max(0, std::min(position >> 8, s->artHeight - 2));
    int k1 = std::min(k + 1, s->artHeight - 1);
    int f = position & 255;
    const uint8_t *row[2];
    for (int i = 0; i < 2; i++) {
        int r = i == 0 ? k : k1;
        uint8_t *slot = s->across[r & 1];
        if (s->acrossRow[r & 1] != r) {
            if (r == s->artHeight - 1)
                memset(slot, 0, bytes);  // the last source row is black
            else
                ScaleAcross(s, r, slot);
            s->acrossRow[r & 1] = r;
        }
        row[i] = slot;
    }
    BlendRows(row[0], row[1], f, bytes, out);
}

void EndArtScaler(ArtScaler *s)
{
    free(s->columns);
    s->columns = nullptr;
    free(s->plan);
    s->plan = nullptr;
}
