#include "saver/saverart.h"

#include "base/processvalues.h"
#include "base/bounded.h"
#include "decoder/art.h"
#include "palette/palette.h"
#include "platform/system.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>

static const char kDefaultWord[] = "WHITE";

void SaverArtWord(char *word)
{
    (void)CopyText(word, kArtWordSize, kDefaultWord);  // a word of five letters
    PlatKey key = nullptr;
    if (RegistryOpen(kRegCurrentUser, "Software\\ZorvaTheVandrel", kKeyQueryValue, &key) != kErrorSuccess)
        return;
    char value[kArtWordSize] = "";
    uint32_t size = sizeof value;
    long result = RegistryQueryText(key, "PaperArtFile", value, &size, nullptr);
    RegistryClose(key);
    size_t length = strlen(value);
    if (result != kErrorSuccess || length == 0)
        return;
    for (size_t i = 0; i < length; i++)
        if (!isalnum((unsigned char)value[i]))
            return;
    (void)CopyText(word, kArtWordSize, value);  // the same size
}

// The Windows folder, "\ZORVA\", the word, extension; "" when it does not fit.
static void ZorvaFilePath(const char *word, const char *extension, char *path, size_t size)
{
    char folder[kPathSize];
    std::string name = std::string("\\ZORVA\\") + word + extension;
    if (WindowsFolder(folder, sizeof folder) >= sizeof folder || !JoinPath(path, size, folder, name.c_str()))
        path[0] = 0;
}

void SaverArtPath(const char *word, char *path, size_t size)
{
    ZorvaFilePath(word, ".ART", path, size);  // "": no art, the saver draws without it
}

void SaverPalettePath(const char *word, char *path, size_t size)
{
    ZorvaFilePath(word, ".tr", path, size);
}

static size_t DibRowBytes(int width) { return ((size_t)width * 3 + 3) & ~(size_t)3; }

static SaverPicture NewPicture(int width, int height)
{
    SaverPicture picture = {nullptr, width, height, DibRowBytes(width), false, {0x300, 0, {}}};
    picture.pixels = (uint8_t *)calloc(picture.stride, (size_t)height);
    return picture;
}

// Loads the art's palette file into the process-wide palette, which the 8-bit
// rendering reduces onto, and copies it to palette. False, with palette and
// the process-wide palette as they were, when the file is missing, damaged or
// there is no memory to read it: the saver then shows the art without it.
static bool LoadArtPalette(const char *word, LogPaletteRecord *palette)
{
    char path[kPathSize];
    SaverPalettePath(word, path, sizeof path);
    PlatFile *f = path[0] ? FileOpen(path, "rb") : nullptr;
    if (!f)
        return false;
    uint8_t *bytes = (uint8_t *)malloc(kPaletteFileLimit);  // all a palette file may hold that is read
    size_t length = bytes ? FileRead(bytes, kPaletteFileLimit, f) : 0;
    FileClose(f);
    char error[kPaletteErrorSize];
    bool taken = bytes && ReadPaletteBytes(path, bytes, length, error, sizeof error);
    free(bytes);
    if (taken)
        *palette = ActivePalette.logPalette;
    return taken;
}

// Six levels a component, 0, 51 ... 255: 216 colours, none more than 26
// levels a component from any colour.
static void EvenPalette(LogPaletteRecord *palette)
{
    palette->palNumEntries = 216;
    for (int i = 0; i < 216; i++)
        palette->palPalEntry[i] = {(uint8_t)(i / 36 * 51), (uint8_t)(i / 6 % 6 * 51), (uint8_t)(i % 6 * 51), 0};
}

// The art rendered at width x height plus a margin on the right and at the
// bottom, then cut to width x height. The scaler fades the last source row
// and column towards black (and wraps the last column into the next row):
// that reaches about one scale step into the result on the right and two at
// the bottom, which the margin leaves out.
// depth 8: reduced onto the palette loaded last; 24: the art's colours.
static SaverPicture RenderArtPicture(ArtFile *art, int width, int height, int depth)
{
    const int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    int renderWidth = width + width / (artWidth > 0 ? artWidth : 1) + 2;
    int renderHeight = height + 2 * (height / (artHeight > 0 ? artHeight : 1) + 1) + 1;
    // The art at its own size comes back as it is, not reduced: one column
    // more makes it a scaled rendering, by less than a pixel across.
    if (depth == 8 && renderWidth == artWidth && renderHeight == artHeight)
        renderWidth++;

    // 24-bit rows at every depth, for GDI to draw as they are.
    uint8_t *rendered = RenderArt(art, renderWidth, renderHeight, depth, DiffusionKernel);

    // Unscaled (the art's own size) the rows follow each other with nothing
    // between them; scaled they are padded to 4 bytes.
    bool scaled = renderWidth != artWidth || renderHeight != artHeight;
    size_t renderedStride = scaled ? DibRowBytes(renderWidth) : (size_t)renderWidth * 3;
    SaverPicture picture = NewPicture(width, height);
    if (picture.pixels) {
        for (int y = 0; y < height; y++)
            memcpy(picture.pixels + (size_t)y * picture.stride, rendered + (size_t)y * renderedStride,
                   (size_t)width * 3);
        picture.fromArt = true;
    }
    free(rendered);
    return picture;
}

SaverPicture MakeSaverPicture(const char *word, int width, int height, int depth)
{
    char path[kPathSize];
    SaverArtPath(word, path, sizeof path);
    // The decoder's open is fatal on a missing file: look first.
    if (PlatFile *probe = path[0] ? FileOpen(path, "rb") : nullptr) {
        FileClose(probe);
        LogPaletteRecord palette = {0x300, 0, {}};
        bool ownPalette = depth == 8 && LoadArtPalette(word, &palette);
        ArtFile *art = OpenArt(path);
        SaverPicture picture = RenderArtPicture(art, width, height, ownPalette ? 8 : 24);
        CloseArt(art);
        if (depth == 8 && !ownPalette)
            EvenPalette(&palette);
        picture.palette = palette;
        return picture;
    }
    SaverPicture picture = NewPicture(width, height);
    if (picture.pixels)
        PaintSaverGradient(word, picture.pixels, width, height, picture.stride);
    if (depth == 8)
        SaverGradientPalette(word, &picture.palette);
    return picture;
}

void FreeSaverPicture(SaverPicture *picture)
{
    free(picture->pixels);
    picture->pixels = nullptr;
}

// The dark and the light tone of each colour word, red, green, blue.
struct GradientTones {
    const char *word;
    uint8_t dark[3], light[3];
};
static const GradientTones kTones[] = {
    {"BLACK", {14, 14, 22}, {70, 74, 104}},
    {"RED", {64, 8, 18}, {214, 96, 60}},
    {"WHITE", {176, 184, 200}, {248, 244, 234}},
    {"BLUE", {8, 22, 78}, {96, 156, 224}},
    {"GREEN", {8, 46, 28}, {132, 196, 116}},
};

// White's tones for a word that is none of the five.
static const GradientTones *WordTones(const char *word)
{
    for (const GradientTones &t : kTones)
        if (strcasecmp(t.word, word) == 0)
            return &t;
    return &kTones[2];
}

// Component c (0 red, 1 green, 2 blue) of the gradient, output 0..255, at
// blend 0..4096 from the dark tone to the light one, lifted by glow 0..512
// (in 1/4096) towards white.
static uint8_t GradientLevel(const GradientTones *tones, int c, int blend, int glow)
{
    int level = (tones->dark[c] * (4096 - blend) + tones->light[c] * blend) >> 12;
    level += ((255 - level) * glow) >> 12;
    return (uint8_t)level;
}

void PaintSaverGradient(const char *word, uint8_t *pixels, int width, int height, size_t stride)
{
    const GradientTones *tones = WordTones(word);
    // Weights in 1/4096: the blend runs from the top left (dark) to the bottom
    // right (light); the glow lifts the middle by up to an eighth towards white.
    const int64_t span = (int64_t)(width > 1 ? width - 1 : 1) + (height > 1 ? height - 1 : 1);
    const int64_t cx = width / 2, cy = height / 2;
    const int64_t reach = (int64_t)width * width / 4 + (int64_t)height * height / 4 + 1;
    for (int y = 0; y < height; y++) {
        uint8_t *p = pixels + (size_t)y * stride;
        for (int x = 0; x < width; x++, p += 3) {
            int blend = (int)(((int64_t)x + y) * 4096 / span);
            int64_t d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            int glow = d >= reach ? 0 : (int)(512 - d * 512 / reach);
            for (int c = 0; c < 3; c++)
                p[2 - c] = GradientLevel(tones, c, blend, glow);
        }
    }
}

// 28 steps of the blend times 8 of the glow: 224 colours, which leaves the 20
// static colours of a 256-colour screen their places. A step of the blend is
// at most 6 levels of a component, one of the glow at most 5.
constexpr int kBlendSteps = 28;
constexpr int kGlowSteps = 8;
static_assert(kBlendSteps * kGlowSteps <= 236, "the system keeps 20 of 256 entries");

void SaverGradientPalette(const char *word, LogPaletteRecord *palette)
{
    const GradientTones *tones = WordTones(word);
    palette->palVersion = 0x300;
    palette->palNumEntries = kBlendSteps * kGlowSteps;
    PaletteEntry *entry = palette->palPalEntry;
    for (int b = 0; b < kBlendSteps; b++)
        for (int g = 0; g < kGlowSteps; g++, entry++) {
            int blend = b * 4096 / (kBlendSteps - 1), glow = g * 512 / (kGlowSteps - 1);
            *entry = {GradientLevel(tones, 0, blend, glow), GradientLevel(tones, 1, blend, glow),
                      GradientLevel(tones, 2, blend, glow), 0};
        }
}
