// The wallpaper job (what it makes and when: wallpaperjob.h): the art decoded
// and rendered a pair of rows at a time straight into the bitmap's rows, the
// file written under a temporary name and put in place when complete, a full
// disk reported to the window.
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

#include <string>

// What StartWallpaperJob hands to the thread; the job keeps its own copies.
static char JobArtName[16];
static char JobOutputPath[kPathSize];

char WallpaperReport[256];
WallpaperWindowCalls WallpaperWindow;

// Replaces everything from the last "." of path (or appends) with extension;
// false, out "", when the path would be too long.
static bool WithExtension(char *out, size_t size, const char *path, const char *extension)
{
    char stem[kPathSize];
    if (!CopyText(stem, sizeof stem, path))
        return false;
    if (char *dot = strrchr(stem, '.'))
        *dot = 0;
    return JoinPath(out, size, stem, extension);
}

static bool WriteAll(PlatFile *f, const void *data, size_t size) { return FileWrite(data, size, f) == size; }

// The file's pixel rows, filled as the rendered rows arrive.
struct FileRows {
    uint8_t *pixels;
    int width, height, depth;
    size_t rowBytes;
    IndexCache cache[2];  // one for each thread that hands rows over
};

static void StoreFileRow(void *context, int y, const uint8_t *row, int member)
{
    FileRows *f = (FileRows *)context;
    uint8_t *out = f->pixels + WallpaperFileRow(y, f->height) * f->rowBytes;
    ConvertWallpaperRow(row, out, f->width, f->depth, &f->cache[member]);
}

bool MakeWallpaperFile(const char *artPath, const char *palettePath, const char *outputPath, int width, int height,
                       int screenDepth, int pelsPerMeterX, int pelsPerMeterY)
{
    const int depth = BitmapDepth(screenDepth);
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    FillBitmapHeaders(width, height, depth, pelsPerMeterX, pelsPerMeterY, &fileHeader, &infoHeader);

    ArtFile *art = OpenArt(artPath);
    // The 8-bit reduction searches the palette, and the colour table shows it.
    RgbQuad colorTable[256];
    FillColorTable(colorTable, LoadPalette(palettePath));
    // The picture goes straight into the file's rows, a few rows at a time.
    FileRows *rows = (FileRows *)malloc(sizeof(FileRows));
    AppAssert(rows != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
    rows->width = width, rows->height = height, rows->depth = depth;
    rows->rowBytes = BitmapRowBytes(width, depth);
    size_t imageSize = rows->rowBytes * (size_t)height;
    rows->pixels = (uint8_t *)LargeBlockAllocate(imageSize);
    AppAssert(rows->pixels != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
    StartIndexCache(&rows->cache[0]);
    StartIndexCache(&rows->cache[1]);
    RenderArtRows(art, width, height, screenDepth, DiffusionKernel, StoreFileRow, rows);
    CloseArt(art);
    uint8_t *pixels = rows->pixels;
    free(rows);

    char partial[kPathSize];
    PlatFile *out = WithExtension(partial, sizeof partial, outputPath, ".new") ? FileOpen(partial, "wbc") : nullptr;
    AppAssert(out != nullptr, "wallpaper", kSiteOpenBitmap, "Couldn't open the wallpaper bitmap file");
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

// The art of the Windows folder and its palette, whose paths start-up made
// sure of; a path that cannot be made is no file, and the open's check
// reports it.
static void WallpaperSources(const char *artName, char *artPath, char *palettePath)
{
    char windows[kPathSize];
    std::string name = std::string("\\ZORVA\\") + artName + ".ART";
    if (WindowsFolder(windows, sizeof windows) >= sizeof windows || !JoinPath(artPath, kPathSize, windows, name.c_str()))
        artPath[0] = 0;
    if (!WithExtension(palettePath, kPathSize, artPath, ".tr"))
        palettePath[0] = 0;
}

void CheckWallpaperJob(const char *artName, const char *outputPath)
{
    char artPath[kPathSize], palettePath[kPathSize], partial[kPathSize];
    WallpaperSources(artName, artPath, palettePath);
    LoadPalette(palettePath);
    ArtFile *art = OpenArt(artPath);
    free(RenderArt(art, 1, 1, 24, DiffusionKernel));
    CloseArt(art);
    PlatFile *out = WithExtension(partial, sizeof partial, outputPath, ".new") ? FileOpen(partial, "wbc") : nullptr;
    AppAssert(out != nullptr, "wallpaper", kSiteOpenBitmap, "Couldn't open the wallpaper bitmap file");
    FileClose(out);
    FileDelete(partial);
}

static unsigned long WallpaperJob(void *)
{
    char artName[sizeof JobArtName], output[kPathSize];
    (void)CopyText(artName, sizeof artName, JobArtName);  // each the same size as its source
    (void)CopyText(output, sizeof output, JobOutputPath);
    char artPath[kPathSize], palettePath[kPathSize];
    WallpaperSources(artName, artPath, palettePath);

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
    if (!CopyText(JobArtName, sizeof JobArtName, artName) || !CopyText(JobOutputPath, sizeof JobOutputPath, outputPath))
        return nullptr;
    PlatThread thread = ThreadStart(WallpaperJob, nullptr);
    if (!thread && WallpaperWindow.box)
        WallpaperWindow.box("Not enough system resources to make the wallpaper (CreateThread).\n", "Wallpaper Maker",
                            kMbOk);
    return thread;
}
