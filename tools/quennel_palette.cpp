// quennel-palette: makes the palette file of a picture.
//   quennel-palette IMAGE OUT.tr [--colors N]
// IMAGE is read with stb_image (PNG, JPEG, BMP, PPM, ...). The palette has at
// most N colours (1-256; 234 by default, the most a wallpaper's 8-bit colour
// table holds whole beside the system's reserved colours).
#include "tools/palette_maker.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kUsage[] =
    "usage: quennel-palette IMAGE OUT.tr [--colors N]\n"
    "  Makes an octree palette of IMAGE (PNG, JPEG, BMP, PPM, ...) with at most N\n"
    "  colours (1-256, default 234) and writes it as a palette file: one line\n"
    "  \"red green blue - path\" a colour, the path being the colour's octree cell.\n";

static int Usage(const char *problem)
{
    fprintf(stderr, "quennel-palette: %s\n%s", problem, kUsage);
    return 2;
}

int main(int argc, char **argv)
{
    const char *image = nullptr, *out = nullptr;
    int colors = 234;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(kUsage, stdout);
            return 0;
        }
        if (!strcmp(argv[i], "--colors")) {
            if (i + 1 >= argc)
                return Usage("--colors needs a number");
            char *end;
            long n = strtol(argv[++i], &end, 10);
            if (*argv[i] == 0 || *end != 0 || n < 1 || n > 256)
                return Usage("--colors takes a number from 1 to 256");
            colors = (int)n;
        } else if (argv[i][0] == '-' && argv[i][1] != 0) {
            return Usage("unknown option");
        } else if (!image) {
            image = argv[i];
        } else if (!out) {
            out = argv[i];
        } else {
            return Usage("too many arguments");
        }
    }
    if (!image || !out)
        return Usage("IMAGE and OUT.tr are needed");

    int width, height, channels;
    unsigned char *pixels = stbi_load(image, &width, &height, &channels, 3);
    if (!pixels) {
        fprintf(stderr, "quennel-palette: cannot read %s: %s\n", image, stbi_failure_reason());
        return 1;
    }
    std::vector<PaletteCell> cells = MakeOctreePalette(pixels, (size_t)width * height, colors);
    stbi_image_free(pixels);
    std::string text = FormatPalette(cells);

    FILE *f = fopen(out, "wb");
    if (!f) {
        fprintf(stderr, "quennel-palette: cannot write %s\n", out);
        return 1;
    }
    bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
    written = fclose(f) == 0 && written;
    if (!written) {
        fprintf(stderr, "quennel-palette: writing %s failed\n", out);
        return 1;
    }
    int depth = 0;
    for (const PaletteCell &cell : cells)
        depth = cell.depth > depth ? cell.depth : depth;
    printf("%s: %d x %d, %d colours, paths up to %d levels\n", out, width, height, (int)cells.size(), depth);
    return 0;
}
