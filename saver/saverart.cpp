#include "saver/saverart.h"

#include "base/processvalues.h"
#include "base/bounded.h"
#include "decoder/art.h"
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

void SaverArtPath(const char *word, char *path, size_t size)
{
    char folder[kPathSize];
    std::string name = std::string("\\ZORVA\\") + word + ".ART";
    if (WindowsFolder(folder, sizeof folder) >= sizeof folder || !JoinPath(path, size, folder, name.c_str()))
        path[0] = 0;  // no art: the saver draws without it
}

static size_t DibRowBytes(int width) { return ((size_t)width * 3 + 3) & ~(size_t)3; }

static SaverPicture NewPicture(int width, int height)
{
    SaverPicture picture = {nullptr, width, height, DibRowBytes(width), false};
    picture.pixels = (uint8_t *)calloc(picture.stride, (size_t)height);
    return picture;
}

// The art rendered at width x height plus a margin on the right and at the
// bottom, then cut to width x height. The scaler fades the last source row
// and column towards black (and wraps the last column into the next row):
// that reaches about one scale step into the result on the right and two at
// the bottom, which the margin leaves out.
static SaverPicture RenderArtPicture(ArtFile *art, int width, int height)
{
    const int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    int renderWidth = width + width / (artWidth > 0 ? artWidth : 1) + 2;
    int renderHeight = height + 2 * (height / (artHeight > 0 ? artHeight : 1) + 1) + 1;

    // 24-bit rows, whatever the screen: GDI maps them to the screen's depth.
    uint8_t *rendered = RenderArt(art, renderWidth, renderHeight, 24, DiffusionKernel);

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

SaverPicture MakeSaverPicture(const char *word, int width, int height)
{
    char path[kPathSize];
    SaverArtPath(word, path, sizeof path);
    // The decoder's open is fatal on a missing file: look first.
    if (PlatFile *probe = FileOpen(path, "rb")) {
        FileClose(probe);
        ArtFile *art = OpenArt(path);
        SaverPicture picture = RenderArtPicture(art, width, height);
        CloseArt(art);
        return picture;
    }
    SaverPicture picture = NewPicture(width, height);
    if (picture.pixels)
        PaintSaverGradient(word, picture.pixels, width, height, picture.stride);
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

void PaintSaverGradient(const char *word, uint8_t *pixels, int width, int height, size_t stride)
{
    const GradientTones *tones = &kTones[2];
    for (const GradientTones &t : kTones)
        if (strcasecmp(t.word, word) == 0)
            tones = &t;
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
            for (int c = 0; c < 3; c++) {
                int level = (tones->dark[c] * (4096 - blend) + tones->light[c] * blend) >> 12;
                level += ((255 - level) * glow) >> 12;
                p[2 - c] = (uint8_t)level;
            }
        }
    }
}
