#include "wallpaper/wallpaperjob.h"

#include "base/apperror.h"
#include "base/processvalues.h"
#include "base/bounded.h"
#include "decoder/art.h"
#include "palette/palette.h"
#include "wallpaper/bitmapfile.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// What StartWallpaperJob hands to the thread; the job keeps its own copies.
static char JobArtName[16];
static char JobOutputPath[kPathSize];

char WallpaperReport[256];
WallpaperWindowCalls WallpaperWindow;

// Replaces everything from the last "." of path (or appends) with extension.
static void WithExtension(char *out, size_t size, const char *path, const char *extension)
{
    CopyText(out, size, path);
    if (char *dot = strrchr(out, '.'))
        *dot = 0;
    AppendText(out, size, extension);
}

static bool WriteAll(PlatFile *f, const void *data, size_t size) { return FileWrite(data, size, f) == size; }

bool MakeWallpaperFile(const char *artPath, const char *palettePath, const char *outputPath, int width, int height,
                       int screenDepth, int pelsPerMeterX, int pelsPerMeterY)
{
    const int depth = BitmapDepth(screenDepth);
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    FillBitmapHeaders(width, height, depth, pelsPerMeterX, pelsPerMeterY, &fileHeader, &infoHeader);

    ArtFile *art = OpenArt(artPath);
    LoadPalette(palettePath);  // the 8-bit reduction during decoding searches it
    bool scaled = ArtWidth(art) != width || ArtHeight(art) != height;
    uint8_t *pixels = RenderArt(art, width, height, screenDepth, DiffusionKernel);
    CloseArt(art);

    // A scaled picture's rows are padded to 4 bytes; the art's own picture is
    // rows back to back. The file's rows may be longer than either.
    size_t sourceStride = scaled ? ((size_t)width * 3 + 3) & ~(size_t)3 : (size_t)width * 3;
    size_t needed = BitmapRowBytes(width, depth) * (size_t)height;
    if (needed > sourceStride * (size_t)height) {
        uint8_t *grown = (uint8_t *)realloc(pixels, needed);
        AppAssert(grown != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
        pixels = grown;
    }
    RgbQuad colorTable[256];
    size_t imageSize = ConvertWallpaperPixels(pixels, width, height, depth, sourceStride, colorTable, palettePath);

    char partial[kPathSize];
    WithExtension(partial, sizeof partial, outputPath, ".new");
    PlatFile *out = FileOpen(partial, "wbc");
    AppAssert(out != nullptr, "wallpaper", 118, "Couldn't open the wallpaper bitmap file");
    bool complete = WriteAll(out, &fileHeader, sizeof fileHeader) && WriteAll(out, &infoHeader, sizeof infoHeader) &&
                    WriteAll(out, colorTable, sizeof colorTable) && WriteAll(out, pixels, imageSize);
    complete = FileClose(out) == 0 && complete;
    free(pixels);

    if (complete) {
        FileDelete(outputPath);
        complete = FileMove(partial, outputPath);
    }
    if (!complete)
        FileDelete(partial);
    return complete;
}

// The disk filled up: the bitmap of the start of the run is still in place
// (the new one never replaced it). The window's thread tells the user and
// cancels: a box here would block this thread on a window whose thread may be
// waiting for this one to end.
static void ReportFullDisk(const char *outputPath)
{
    snprintf(WallpaperReport, sizeof WallpaperReport,
             "Out of disk space on drive %c: creating new Wallpaper !\nPlease free some disk space and try again\n"
             "KTB Customer Support %s\n",
             outputPath[0], kSupportPhone);
    if (!WallpaperWindow.failed || !WallpaperWindow.failed())
        WallpaperReport[0] = 0;  // no window to tell: the install must not wait for the message
}

// The record of the job's last run; nothing reads it.
static void WriteWallpaperRecord(const char *artName, int depth, int width, int height)
{
    PlatKey key = nullptr;
    RegistryCreate(kRegCurrentUser, "Software\\ZorvaTheVandrel", kKeyAllAccess, &key);
    char number[16];
    RegistrySetText(key, "PaperArtFile", artName);
    snprintf(number, sizeof number, "%d", depth);
    RegistrySetText(key, "PaperDepth", number);
    snprintf(number, sizeof number, "%d", width);
    RegistrySetText(key, "PaperWidth", number);
    snprintf(number, sizeof number, "%d", height);
    RegistrySetText(key, "PaperHeight", number);
    if (key) {
        RegistryFlush(key);
        RegistryClose(key);
    }
}

// The screen's real size in pixels. The metrics tell a program that does not
// declare DPI awareness a scaled-down screen (1920 x 1080 for 3840 x 2160 at
// 200 %); a wallpaper of that size would be stretched by the system and look
// blurred. The display mode is never scaled. A scaled-down screen is never
// larger than the real one, so a mode smaller than the metrics in either
// direction (one that does not describe this screen as it is turned now) is
// not taken.
static void RealScreenSize(int *width, int *height)
{
    ScreenSize(width, height);
    int modeWidth, modeHeight;
    if (DisplayModeSize(&modeWidth, &modeHeight) && modeWidth >= *width && modeHeight >= *height) {
        *width = modeWidth;
        *height = modeHeight;
    }
}

static unsigned long WallpaperJob(void *)
{
    char artName[sizeof JobArtName], output[kPathSize];
    CopyText(artName, sizeof artName, JobArtName);
    CopyText(output, sizeof output, JobOutputPath);

    char artPath[kPathSize], palettePath[kPathSize];
    WindowsFolder(artPath, sizeof artPath);
    AppendText(artPath, sizeof artPath, "\\ZORVA\\");
    AppendText(artPath, sizeof artPath, artName);
    AppendText(artPath, sizeof artPath, ".ART");
    WithExtension(palettePath, sizeof palettePath, artPath, ".tr");

    int width, height, pelsX, pelsY;
    RealScreenSize(&width, &height);
    int depth = ScreenBitsPerPixel();
    ScreenPelsPerMeter(&pelsX, &pelsY);

    if (!MakeWallpaperFile(artPath, palettePath, output, width, height, depth, pelsX, pelsY))
        ReportFullDisk(output);
    WriteWallpaperRecord(artName, depth, width, height);
    return 1;
}

PlatThread StartWallpaperJob(const char *artName, const char *outputPath)
{
    WallpaperReport[0] = 0;
    CopyText(JobArtName, sizeof JobArtName, artName);
    CopyText(JobOutputPath, sizeof JobOutputPath, outputPath);
    PlatThread thread = ThreadStart(WallpaperJob, nullptr);
    if (!thread && WallpaperWindow.box)
        WallpaperWindow.box("Not enough system resources to make the wallpaper (CreateThread).\n", "Wallpaper Maker",
                            kMbOk);
    return thread;
}
