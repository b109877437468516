// Palette bytes to the load, the nearest-colour search and the row reduction.
// Whatever the file holds: every index the search gives is one of the
// palette's, its colour the palette's colour, and a reduced row holds only
// palette colours (black and white pass unsearched), or five-bit channels.
#include "tests/fuzz/fuzz_support.h"

#include "palette/palette.h"
#include "tests/diffuse_testing.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

// The one place where bytes become the active palette: false when they are
// refused as damaged, which must leave the palette as it was.
static bool LoadPaletteBytes(const uint8_t *data, size_t size)
{
    char error[kPaletteErrorSize];
    return ReadPaletteBytes("C:\\fuzz.tr", data, size, error, sizeof error) == 1;
}

[[noreturn]] static void Fail(const char *what, unsigned value)
{
    fprintf(stderr, "fuzz_palette: %s (0x%06x)\n", what, value);
    abort();
}

static bool InPalette(PackedColor c, int entries)
{
    for (int i = 0; i < entries; i++)
        if (ActivePalette.colors[i] == c)
            return true;
    return false;
}

static void CheckSearch(int entries, uint32_t start)
{
    // One colour in each of 256 cells of the search's jump table, a different
    // share of the 4,096 cells for each input.
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t cell = (start + n * 16) & 4095;
        uint32_t low = (cell * 2654435761u) >> 20;  // a different spot in each cell
        uint32_t blue = (cell >> 8) << 4 | (low & 15), green = ((cell >> 4) & 15) << 4 | ((low >> 4) & 15);
        uint32_t red = (cell & 15) << 4 | ((low >> 8) & 15);
        PackedColor c = red << 16 | green << 8 | blue;
        int index = NearestPaletteIndex(c);
        PackedColor found = NearestPaletteColor(c);
        if (entries == 0) {
            if (index != 0 || found != 0)
                Fail("an empty palette gives something but index 0 and black", c);
            continue;
        }
        if (index < 0 || index >= entries)
            Fail("the search gives an index outside the palette", c);
        if (found != ActivePalette.colors[index])
            Fail("the colour found is not the colour of the index found", c);
    }
}

static void CheckDiffusion(const uint8_t *data, size_t size, int entries)
{
    const int width = 37, rows = 6, fill = 3, stride = width * 3 + fill;
    const uint8_t kSentinel = 0xA5;
    std::vector<uint8_t> picture((size_t)stride * rows, kSentinel);
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < width * 3; x++)
            picture[(size_t)y * stride + x] =
                size ? data[(size_t)(y * width * 3 + x) % size] ^ (uint8_t)(x * 5 + y * 40) : (uint8_t)(x * 7);
    int kernel = (int)(size % 9);  // 1-7, and two outside that use no error at all
    std::vector<uint8_t> reduced = picture;
    DiffuseRows8(kernel, reduced.data(), rows, width, fill);
    std::vector<uint8_t> fives = picture;
    DiffuseRows16(kernel, fives.data(), rows, width, fill);
    for (int y = 0; y < rows; y++) {
        for (int f = 0; f < fill; f++)
            if (reduced[(size_t)y * stride + width * 3 + f] != kSentinel ||
                fives[(size_t)y * stride + width * 3 + f] != kSentinel)
                Fail("a row's fill bytes were written", (unsigned)y);
        for (int x = 0; x < width; x++) {
            const uint8_t *p = &reduced[(size_t)y * stride + x * 3];
            PackedColor c = (PackedColor)(p[2] << 16 | p[1] << 8 | p[0]);
            if (c != 0 && c != 0xFFFFFF && !InPalette(c, entries))
                Fail("an 8-bit row holds a colour that is not the palette's", c);
            const uint8_t *q = &fives[(size_t)y * stride + x * 3];
            for (int ch = 0; ch < 3; ch++)
                if (q[ch] != 255 && (q[ch] & 7))
                    Fail("a 16-bit row holds a channel of more than five bits", q[ch]);
        }
    }
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMachineSetUp();
    StartDiffusion(2, 1);  // the error rows and kernel 2's tables
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int before = ActivePalette.logPalette.palNumEntries;
    PaletteEntry first = ActivePalette.logPalette.palPalEntry[0];
    if (!LoadPaletteBytes(data, size)) {
        if (ActivePalette.logPalette.palNumEntries != before ||
            memcmp(&first, &ActivePalette.logPalette.palPalEntry[0], sizeof first))
            Fail("a refused palette changed the active one", (unsigned)before);
        return 0;
    }
    int entries = ActivePalette.logPalette.palNumEntries;
    if (entries > kPaletteEntries || ActivePalette.TreeDepth < 0 || ActivePalette.TreeDepth > kTreeLevels)
        Fail("the palette's count or depth is out of range", (unsigned)entries);
    CheckSearch(entries, size ? data[size / 2] * 16u + (uint32_t)size % 16 : 0);
    CheckDiffusion(data, size, entries);

    // An input frees what it made, so that libFuzzer's count of blocks shows
    // leaks only: the tree, and the error tables of another kernel than 2.
    FreeColorTree(ActivePalette.root);
    ActivePalette.root = nullptr;
    StartDiffusion(2, 1);
    return 0;
}
