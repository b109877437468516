// quennel-art: makes art files from pictures and pictures from art files.
//   quennel-art encode IMAGE OUT.ART [--pieces 1|4] [--subsample] [--base-side N] [--quality Q]
//   quennel-art decode IN.ART OUT.png
// Each subcommand is one entry of kCommands.
#include "decoder/art.h"
#include "tools/art/artencode.h"
#include "tools/art/picture.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static bool ReadFileBytes(const char *path, std::vector<uint8_t> *bytes)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return false;
    bytes->clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

static bool WriteFileBytes(const char *path, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// Reads an art file into a handle; a damaged file ends the program through
// the decoder's fatal report.
static ArtFile *LoadArt(const char *path)
{
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, &bytes)) {
        fprintf(stderr, "quennel-art: cannot read %s\n", path);
        return nullptr;
    }
    return OpenArtBytes(path, bytes.data(), bytes.size());
}

static bool ParseInt(const char *text, int *value)
{
    char *end = nullptr;
    long v = strtol(text, &end, 10);
    if (!*text || *end || v < -1000000 || v > 1000000)
        return false;
    *value = (int)v;
    return true;
}

static int Encode(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const char *input = argv[0], *output = argv[1];
    ArtEncodeOptions options;
    for (int i = 2; i < argc; i++) {
        const char *a = argv[i];
        bool hasValue = i + 1 < argc;
        if (!strcmp(a, "--subsample")) {
            options.subsample = true;
        } else if (!strcmp(a, "--pieces") && hasValue && ParseInt(argv[i + 1], &options.pieces)) {
            i++;
        } else if (!strcmp(a, "--base-side") && hasValue && ParseInt(argv[i + 1], &options.baseSide)) {
            i++;
        } else if (!strcmp(a, "--quality") && hasValue && ParseInt(argv[i + 1], &options.quality)) {
            i++;
        } else {
            fprintf(stderr, "quennel-art: bad option %s\n", a);
            return 2;
        }
    }
    std::vector<uint8_t> picture, art;
    int width = 0, height = 0;
    std::string error;
    if (!ReadPicture(input, &picture, &width, &height, &error)) {
        fprintf(stderr, "quennel-art: cannot read %s: %s\n", input, error.c_str());
        return 1;
    }
    ArtEncodeReport report;
    if (!EncodeArt(picture.data(), width, height, options, &art, &error, &report)) {
        fprintf(stderr, "quennel-art: %s (%d x %d): %s\n", input, width, height, error.c_str());
        return 1;
    }
    if (!WriteFileBytes(output, art)) {
        fprintf(stderr, "quennel-art: cannot write %s\n", output);
        return 1;
    }
    ArtFile *check = OpenArtBytes(output, art.data(), art.size());
    uint8_t *decoded = DecodeArt(check);
    double psnr = PicturePsnrDb(picture.data(), decoded, picture.size());
    free(decoded);
    CloseArt(check);
    printf("%s: %d x %d, %d piece%s of %d, base side %d (%d levels)%s, quality %d: %zu bytes, "
           "%.3f bits a pixel, PSNR %.2f dB\n",
           output, width, height, options.pieces, options.pieces == 1 ? "" : "s", report.pieceSide,
           report.baseSide, report.levels, options.subsample ? ", subsampled" : "", options.quality, art.size(),
           8.0 * art.size() / ((double)width * height), psnr);
    return 0;
}

static int Decode(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    ArtFile *art = LoadArt(argv[0]);
    if (!art)
        return 1;
    uint8_t *picture = DecodeArt(art);
    bool ok = WritePng(argv[1], picture, ArtWidth(art), ArtHeight(art), ArtWidth(art) * 3);
    free(picture);
    CloseArt(art);
    if (!ok) {
        fprintf(stderr, "quennel-art: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

struct Command {
    const char *name;
    int (*run)(int argc, char **argv);  // the arguments after the name; 2 for a usage error
    const char *usage;
};

static const Command kCommands[] = {
    {"encode", Encode,
     "encode IMAGE OUT.ART [--pieces 1|4] [--subsample] [--base-side N] [--quality Q]\n"
     "      makes an art file of a picture (PNG, BMP, JPEG, ...); quality 1-100, 75 by default"},
    {"decode", Decode, "decode IN.ART OUT.png\n      writes the art's full-size picture"},
};

static void Usage(FILE *to)
{
    fprintf(to, "usage:\n");
    for (const Command &c : kCommands)
        fprintf(to, "  quennel-art %s\n", c.usage);
}

int main(int argc, char **argv)
{
    if (argc >= 2 && (!strcmp(argv[1], "--help") || !strcmp(argv[1], "-h"))) {
        Usage(stdout);
        return 0;
    }
    for (const Command &c : kCommands) {
        if (argc >= 2 && !strcmp(argv[1], c.name)) {
            int rc = c.run(argc - 2, argv + 2);
            if (rc == 2)
                fprintf(stderr, "usage: quennel-art %s\n", c.usage);
            return rc;
        }
    }
    Usage(stderr);
    return 2;
}
