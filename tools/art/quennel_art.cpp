// quennel-art: makes art files from pictures and pictures from art files.
//   quennel-art encode IMAGE OUT.ART [--size BYTES | --psnr DB | --quality Q] [--best]
//                      [--pieces 1|4] [--subsample | --full-chroma] [--base-side N]
//   quennel-art decode IN.ART OUT.png
//   quennel-art render IN.ART PALETTE.tr --size WxH[+WxH...] --depth 8|16|24|32 -o OUT.bmp
// Each subcommand is one entry of kCommands.
#include "base/processvalues.h"
#include "decoder/art.h"
#include "palette/palette.h"
#include "wallpaper/wallpaperjob.h"
#include "tools/art/artencode.h"
#include "tools/art/picture.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#ifndef _WIN32
#include <unistd.h>
#endif

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

// The progress line on stderr, shown once an encode has taken a second.
struct EncodeProgress {
    const char *output;
    struct timespec start;
    bool shown;
};

static double SecondsSince(const struct timespec &start)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) + (now.tv_nsec - start.tv_nsec) / 1e9;
}

static void ShowProgress(void *context, double done)
{
    EncodeProgress &p = *(EncodeProgress *)context;
    if (!p.shown && SecondsSince(p.start) < 1.0)
        return;
    p.shown = true;
    fprintf(stderr, "\rquennel-art: encoding %s: %3d%%", p.output, (int)(100 * done + 0.5));
    fflush(stderr);
}

static bool ParseSize(const char *text, size_t *value)
{
    char *end = nullptr;
    unsigned long long v = strtoull(text, &end, 10);
    if (!*text || *end || text[0] == '-' || v < 1 || v > (1ull << 31))
        return false;
    *value = (size_t)v;
    return true;
}

static bool ParseDb(const char *text, double *value)
{
    char *end = nullptr;
    double v = strtod(text, &end);
    if (!*text || *end || !(v > 0 && v < 99))
        return false;
    *value = v;
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
            options.subsample = 1;
        } else if (!strcmp(a, "--full-chroma")) {
            options.subsample = 0;
        } else if (!strcmp(a, "--best")) {
            options.best = true;
        } else if (!strcmp(a, "--pieces") && hasValue && ParseInt(argv[i + 1], &options.pieces) && options.pieces) {
            i++;
        } else if (!strcmp(a, "--base-side") && hasValue && ParseInt(argv[i + 1], &options.baseSide)) {
            i++;
        } else if (!strcmp(a, "--quality") && hasValue && ParseInt(argv[i + 1], &options.quality)) {
            i++;
        } else if (!strcmp(a, "--size") && hasValue && ParseSize(argv[i + 1], &options.targetBytes)) {
            i++;
        } else if (!strcmp(a, "--psnr") && hasValue && ParseDb(argv[i + 1], &options.targetPsnr)) {
            i++;
        } else {
            fprintf(stderr, "quennel-art: bad option %s\n", a);
            return 2;
        }
    }
    if (options.targetBytes && options.targetPsnr > 0) {
        fprintf(stderr, "quennel-art: --size and --psnr cannot both be given\n");
        return 2;
    }
    std::vector<uint8_t> picture, art;
    int width = 0, height = 0;
    std::string error;
    if (!ReadPicture(input, &picture, &width, &height, &error)) {
        fprintf(stderr, "quennel-art: cannot read %s: %s\n", input, error.c_str());
        return 1;
    }
    EncodeProgress progress{output, {}, false};
    clock_gettime(CLOCK_MONOTONIC, &progress.start);
    options.progress = ShowProgress;
    options.progressContext = &progress;
    ArtEncodeReport report;
    bool encoded = EncodeArt(picture.data(), width, height, options, &art, &error, &report);
    double seconds = SecondsSince(progress.start);
    if (progress.shown)
        fprintf(stderr, encoded ? "\rquennel-art: encoding %s: 100%%\n" : "\n", output);
    if (!encoded) {
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
    std::string aim = options.targetBytes   ? "at most " + std::to_string(options.targetBytes) + " bytes"
                      : options.targetPsnr > 0 ? "at least " + std::to_string(options.targetPsnr).substr(0, 5) + " dB"
                                               : "quality " + std::to_string(options.quality);
    printf("%s: %d x %d, %d piece%s of %d, base side %d (%d levels)%s, %s: %zu bytes, "
           "%.3f bits a pixel, PSNR %.2f dB, lambda %.0f, %.2f s\n",
           output, width, height, report.pieces, report.pieces == 1 ? "" : "s", report.pieceSide, report.baseSide,
           report.levels, report.subsampled ? ", subsampled" : "", aim.c_str(), art.size(),
           8.0 * art.size() / ((double)width * height), psnr, report.lambda, seconds);
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

// A path as the platform layer takes it: on Windows as given; on other
// systems absolute, since the tool runs the platform with the host's own paths.
static std::string PlatformPath(const char *path)
{
#ifdef _WIN32
    return path;
#else
    if (path[0] == '/')
        return path;
    char cwd[4096];
    return std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/" + path;
#endif
}

// The wallpaper job's own work: the art at a screen's size and depth, reduced
// with the palette, written as the wallpaper bitmap.
static int Render(int argc, char **argv)
{
    const char *art = nullptr, *palette = nullptr, *out = nullptr;
    int depth = 0, count = 0;
    PixelRect monitors[kMaxWallpaperMonitors];
    for (int i = 0; i < argc; i++) {
        if (!strcmp(argv[i], "--size") && i + 1 < argc) {
            // WxH, or several joined by "+": monitors side by side from left
            // to right, the first the primary.
            count = 0;
            for (const char *at = argv[++i]; *at; count++) {
                int width = 0, height = 0, used = 0;
                if (count == kMaxWallpaperMonitors || sscanf(at, "%dx%d%n", &width, &height, &used) != 2 ||
                    width < 1 || height < 1 || width > 16384 || height > 16384 || (at[used] && at[used] != '+'))
                    return 2;
                for (int k = 0; k < used; k++)  // digits and the "x" alone: no signs or blanks
                    if (!isdigit((unsigned char)at[k]) && at[k] != 'x')
                        return 2;
                int left = count ? monitors[count - 1].right : 0;
                monitors[count] = PixelRect{left, 0, left + width, height};
                at += used;
                if (*at == '+' && !*++at)
                    return 2;  // a "+" with no size after it
            }
        } else if (!strcmp(argv[i], "--depth") && i + 1 < argc) {
            if (!ParseInt(argv[++i], &depth))
                return 2;
        } else if (!strcmp(argv[i], "-o") && i + 1 < argc) {
            out = argv[++i];
        } else if (!art) {
            art = argv[i];
        } else if (!palette) {
            palette = argv[i];
        } else {
            return 2;
        }
    }
    WallpaperPlan plan;
    if (!art || !palette || !out || count < 1 || !PlanWallpaper(monitors, count, 0, kSpreadSpan, &plan) ||
        (depth != 8 && depth != 16 && depth != 24 && depth != 32))
        return 2;
    // The palette is checked here, so that a damaged one is a message and an
    // exit code rather than the program's error report.
    std::vector<uint8_t> paletteBytes;
    if (!ReadFileBytes(palette, &paletteBytes)) {
        fprintf(stderr, "quennel-art: cannot read %s\n", palette);
        return 1;
    }
    char error[kPaletteErrorSize];
    if (!ReadPaletteBytes(palette, paletteBytes.data(), paletteBytes.size(), error, sizeof error)) {
        fprintf(stderr, "quennel-art: %s\n", error);
        return 1;
    }
#ifndef _WIN32
    setenv("QUENNEL_HOST_ROOT", "/", 1);
#endif
    DiffusionKernel = 2;
    std::string artPath = PlatformPath(art), palettePath = PlatformPath(palette), outPath = PlatformPath(out);
    if (!MakeWallpaperBitmap(artPath.c_str(), palettePath.c_str(), outPath.c_str(), plan, depth, 0, 3779, 3779)) {
        fprintf(stderr, "quennel-art: cannot write %s\n", out);
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
     "encode IMAGE OUT.ART [--size BYTES | --psnr DB | --quality Q] [--best]\n"
     "                     [--pieces 1|4] [--subsample | --full-chroma] [--base-side N]\n"
     "      makes an art file of a picture (PNG, BMP, JPEG, ...): the best no larger than BYTES,\n"
     "      the smallest at least DB close, or at quality 1-100 (75 by default); --best weighs\n"
     "      more layouts (slower); the pieces, chroma and base side are chosen unless given"},
    {"decode", Decode, "decode IN.ART OUT.png\n      writes the art's full-size picture"},
    {"render", Render,
     "render IN.ART PALETTE.tr --size WxH[+WxH...] --depth 8|16|24|32 -o OUT.bmp\n"
     "      makes the wallpaper bitmap of a screen of that size and depth, as the program does;\n"
     "      with several sizes, of monitors side by side (the rest of the bitmap black)"},
};

static void Usage(FILE *to)
{
    fprintf(to, "usage:\n");
    for (const Command &c : kCommands)
        fprintf(to, "  quennel-art %s\n", c.usage);
}

int main(int argc, char **argv)
{
    KeepEncoderMemory();
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
