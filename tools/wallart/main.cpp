// quennel-wallart: paints the five wallpapers and writes each as the art file
// and palette file the wallpaper job reads, <COLOR>.ART and <COLOR>.tr.
//   quennel-wallart OUT_FOLDER [--only COLOR] [--look FOLDER] [--sheet FILE.png]
// The art is made by the art encoder and the palette by the palette maker,
// from the decoded art, so that the palette holds the colours the wallpaper
// job will reduce. The build copies the files from data/art into the content
// folder; the target quennel_art_regenerate runs this program to remake them.
#include "base/processvalues.h"
#include "decoder/art.h"
#include "palette/palette.h"
#include "platform/host/host.h"
#include "tools/art/artencode.h"
#include "tools/art/picture.h"
#include "tools/palette_maker.h"
#include "tools/wallart/wallart.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

static const char kUsage[] =
    "usage: quennel-wallart OUT_FOLDER [--only COLOR] [--look FOLDER] [--sheet FILE.png]\n"
    "  Paints the wallpapers of the five colours (BLACK RED WHITE BLUE GREEN) and\n"
    "  writes <COLOR>.ART (art encoder, 4 pieces) and <COLOR>.tr (palette maker,\n"
    "  at most 234 colours) into OUT_FOLDER.\n"
    "  --only COLOR   only that colour\n"
    "  --look FOLDER  also writes, per colour, the painted picture, the decoded art\n"
    "                 and the art as an 800 x 600 8-bit screen shows it, as PNGs\n"
    "  --sheet FILE   a contact sheet of the decoded pictures, 320 pixels wide each\n";

// The art files' settings: four pieces of 1024, full-resolution chroma (the
// symbols' coloured edges stay clean), and the best file within a budget of
// a couple of hundred kilobytes for each colour (in kWallColorWords' order).
static ArtEncodeOptions WallpaperOptions(int color)
{
    static const size_t kBudgets[kWallColors] = {204104, 228860, 213176, 222264, 191516};
    ArtEncodeOptions options;
    options.pieces = 4;
    options.subsample = 0;
    options.targetBytes = kBudgets[color];
    return options;
}
constexpr int kPaletteColors = 234;  // what an 8-bit colour table holds beside the 20 reserved colours
constexpr int kThumbWidth = 320;

static bool WriteFileBytes(const std::string &path, const void *bytes, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

static double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The picture at width w (height in proportion), each output pixel the mean
// of the source pixels its area covers.
static std::vector<uint8_t> Shrink(const std::vector<uint8_t> &bgr, int width, int height, int w, int *h)
{
    *h = (int)((long long)height * w / width);
    std::vector<uint8_t> out((size_t)w * *h * 3);
    for (int y = 0; y < *h; y++)
        for (int x = 0; x < w; x++) {
            int x0 = x * width / w, x1 = (x + 1) * width / w, y0 = y * height / *h, y1 = (y + 1) * height / *h;
            for (int c = 0; c < 3; c++) {
                long sum = 0;
                for (int j = y0; j < y1; j++)
                    for (int i = x0; i < x1; i++)
                        sum += bgr[((size_t)j * width + i) * 3 + c];
                out[((size_t)y * w + x) * 3 + c] = (uint8_t)((sum + (x1 - x0) * (y1 - y0) / 2) / ((x1 - x0) * (y1 - y0)));
            }
        }
    return out;
}

// The art rendered as an 800 x 600 screen at depth shows it (the palette file
// loaded through the simulated drive C:, which is the look folder), written
// as a PNG; returns the blurred mean error of the 8-bit rendering against the
// 24-bit one.
static double LookAtScreen(ArtFile *art, const std::string &paletteText, const std::string &look, const char *word)
{
    const int w = 800, h = 600;
    std::string name = std::string(word) + ".tr";
    WriteFileBytes(HostPath(("C:\\" + name).c_str()), paletteText.data(), paletteText.size());
    LoadPalette(("C:\\" + name).c_str());
    uint8_t *full = RenderArt(art, w, h, 24, 2);
    uint8_t *reduced = RenderArt(art, w, h, 8, 2);
    int stride = (w * 3 + 3) & ~3;
    WritePng((look + "/" + word + "-800x600-8bit.png").c_str(), reduced, w, h, stride);
    // The bottom row is black in both; it is left out.
    double error = BlurredMeanError(full, reduced, w, h - 1, stride, 2);
    free(full);
    free(reduced);
    return error;
}

int main(int argc, char **argv)
{
    const char *out = nullptr, *only = nullptr, *look = nullptr, *sheet = nullptr;
    for (int i = 1; i < argc; i++) {
        bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(kUsage, stdout);
            return 0;
        } else if (!strcmp(argv[i], "--only") && hasValue) {
            only = argv[++i];
        } else if (!strcmp(argv[i], "--look") && hasValue) {
            look = argv[++i];
        } else if (!strcmp(argv[i], "--sheet") && hasValue) {
            sheet = argv[++i];
        } else if (argv[i][0] != '-' && !out) {
            out = argv[i];
        } else {
            fprintf(stderr, "quennel-wallart: bad argument %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (!out) {
        fputs(kUsage, stderr);
        return 2;
    }
    if (only) {
        bool known = false;
        for (const char *word : kWallColorWords)
            known = known || !strcmp(word, only);
        if (!known) {
            fprintf(stderr, "quennel-wallart: %s is not a colour word\n%s", only, kUsage);
            return 2;
        }
    }
    mkdir(out, 0777);
    if (look) {
        mkdir(look, 0777);
        // The look's palette files go to the simulated drive C:, in the look folder.
        std::string drive = std::string(look) + "/drive";
        setenv("QUENNEL_HOST_ROOT", drive.c_str(), 1);
    }

    const int width = kWallpaperWidth, height = kWallpaperHeight;
    std::vector<std::vector<uint8_t>> thumbs;
    int thumbHeight = 0;
    for (int color = 0; color < kWallColors; color++) {
        const char *word = kWallColorWords[color];
        if (only && strcmp(only, word))
            continue;
        auto start = std::chrono::steady_clock::now();
        std::vector<uint8_t> picture = PaintWallpaper(color, width, height);
        double paintSeconds = SecondsSince(start);

        start = std::chrono::steady_clock::now();
        std::vector<uint8_t> art;
        std::string error;
        ArtEncodeReport report;
        if (!EncodeArt(picture.data(), width, height, WallpaperOptions(color), &art, &error, &report)) {
            fprintf(stderr, "quennel-wallart: %s: %s\n", word, error.c_str());
            return 1;
        }
        double encodeSeconds = SecondsSince(start);

        ArtFile *opened = OpenArtBytes(word, art.data(), art.size());
        uint8_t *decodedBytes = DecodeArt(opened);
        std::vector<uint8_t> decoded(decodedBytes, decodedBytes + picture.size());
        free(decodedBytes);
        double psnr = PicturePsnrDb(picture.data(), decoded.data(), picture.size());

        std::vector<uint8_t> rgb(decoded.size());
        for (size_t i = 0; i < decoded.size(); i += 3) {
            rgb[i] = decoded[i + 2];
            rgb[i + 1] = decoded[i + 1];
            rgb[i + 2] = decoded[i];
        }
        std::vector<PaletteCell> cells = MakeOctreePalette(rgb.data(), rgb.size() / 3, kPaletteColors);
        std::string paletteText = FormatPalette(cells);

        std::string base = std::string(out) + "/" + word;
        if (!WriteFileBytes(base + ".ART", art.data(), art.size()) ||
            !WriteFileBytes(base + ".tr", paletteText.data(), paletteText.size())) {
            fprintf(stderr, "quennel-wallart: cannot write %s.ART or .tr\n", base.c_str());
            return 1;
        }
        printf("%s: %d x %d, %d pieces of %d, %zu bytes, PSNR %.2f dB, %d colours; painted in %.1f s, "
               "encoded in %.1f s",
               word, width, height, report.pieces, report.pieceSide, art.size(), psnr, (int)cells.size(),
               paintSeconds, encodeSeconds);

        if (look) {
            std::string folder = look;
            WritePng((folder + "/" + word + "-painted.png").c_str(), picture.data(), width, height, width * 3);
            WritePng((folder + "/" + word + "-decoded.png").c_str(), decoded.data(), width, height, width * 3);
            printf(", 8-bit 800 x 600 blurred mean error %.2f", LookAtScreen(opened, paletteText, folder, word));
        }
        printf("\n");
        CloseArt(opened);
        if (sheet)
            thumbs.push_back(Shrink(decoded, width, height, kThumbWidth, &thumbHeight));
    }

    if (sheet && !thumbs.empty()) {
        // The thumbnails side by side, 8 pixels apart on a dark ground.
        const int gap = 8, n = (int)thumbs.size();
        int w = n * kThumbWidth + (n + 1) * gap, h = thumbHeight + 2 * gap;
        std::vector<uint8_t> page((size_t)w * h * 3, 0x20);
        for (int k = 0; k < n; k++)
            for (int y = 0; y < thumbHeight; y++)
                memcpy(&page[((size_t)(y + gap) * w + gap + k * (kThumbWidth + gap)) * 3],
                       &thumbs[k][(size_t)y * kThumbWidth * 3], kThumbWidth * 3);
        if (!WritePng(sheet, page.data(), w, h, w * 3)) {
            fprintf(stderr, "quennel-wallart: cannot write %s\n", sheet);
            return 1;
        }
    }
    return 0;
}
