// The wallpaper job (what it makes and when: wallpaperjob.h): the art decoded
// and rendered for each monitor a pair of rows at a time straight into the
// bitmap's rows, the file written under a temporary name and put in place
// when complete, a full disk reported to the window.
#include "wallpaper/wallpaperjob.h"

#include "base/apperror.h"
#include "base/processvalues.h"
#include "base/bounded.h"
#include "base/filebytes.h"
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

// A partial file of this run's own in the folder of path, whose path goes to
// partial (kPathSize); null when none can be made.
static PlatFile *OpenPartialBeside(const char *path, char *partial)
{
    char folder[kPathSize];
    if (!CopyText(folder, sizeof folder, path))
        return nullptr;
    // The tools name files by the host's own paths, with "/".
    char *slash = strrchr(folder, '\\'), *other = strrchr(folder, '/');
    if (other > slash)
        slash = other;
    if (!slash)
        return nullptr;
    *slash = 0;
    return MakePartialFile(folder, partial, kPathSize);
}

// The file's pixel rows, filled as the rendered rows of one monitor's
// picture after another arrive.
struct FileRows {
    uint8_t *pixels;
    int width, height, depth;
    size_t rowBytes;
    WallpaperPlace place;  // the picture being rendered
    IndexCache cache[2];   // one for each thread that hands rows over
};

// Row y of the picture goes where a bitmap of the picture's own size has it
// (WallpaperFileRow), within the picture's place; the parts of a place that
// pass the bitmap's right or bottom edge go on at its left or top.
static void StoreFileRow(void *context, int y, const uint8_t *row, int member)
{
    FileRows *f = (FileRows *)context;
    const WallpaperPlace &p = f->place;
    int shown = p.height - 1 - (int)WallpaperFileRow(y, p.height);  // counted from the picture's top
    int bitmapRow = (p.top + shown) % f->height;                     // from the bitmap's top
    uint8_t *out = f->pixels + (size_t)(f->height - 1 - bitmapRow) * f->rowBytes;
    const int bytes = f->depth / 8;
    int first = p.width < f->width - p.left ? p.width : f->width - p.left;
    ConvertWallpaperPixels(row, out + (size_t)p.left * bytes, first, f->depth, &f->cache[member]);
    if (first < p.width)
        ConvertWallpaperPixels(row + (size_t)first * 3, out, p.width - first, f->depth, &f->cache[member]);
}

// Every row of the bitmap in the background colour (red in the low byte),
// padding included: what no monitor shows.
static void FillBackground(FileRows *f, uint32_t background)
{
    uint8_t *pixels = (uint8_t *)malloc((size_t)f->width * 3 + 4);
    AppAssert(pixels != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
    for (int x = 0; x < f->width; x++) {
        pixels[3 * x] = (uint8_t)(background >> 16);
        pixels[3 * x + 1] = (uint8_t)(background >> 8);
        pixels[3 * x + 2] = (uint8_t)background;
    }
    ConvertWallpaperRow(pixels, f->pixels, f->width, f->depth, &f->cache[0]);
    free(pixels);
    for (int y = 1; y < f->height; y++)
        memcpy(f->pixels + (size_t)y * f->rowBytes, f->pixels, f->rowBytes);
}

bool MakeWallpaperFile(const char *artPath, const char *palettePath, const char *outputPath, int width, int height,
                       int screenDepth, int pelsPerMeterX, int pelsPerMeterY)
{
    WallpaperPlan plan;
    SingleWallpaper(width, height, &plan);
    return MakeWallpaperBitmap(artPath, palettePath, outputPath, plan, screenDepth, 0, pelsPerMeterX,
                               pelsPerMeterY);
}

bool MakeWallpaperBitmap(const char *artPath, const char *palettePath, const char *outputPath,
                         const WallpaperPlan &plan, int screenDepth, uint32_t background, int pelsPerMeterX,
                         int pelsPerMeterY)
{
    const int depth = BitmapDepth(screenDepth);
    const int width = plan.width, height = plan.height;
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    FillBitmapHeaders(width, height, depth, pelsPerMeterX, pelsPerMeterY, &fileHeader, &infoHeader);

    ArtFile *art = OpenArt(artPath);
    // The 8-bit reduction searches the palette, and the colour table shows it.
    RgbQuad colorTable[256];
    FillColorTable(colorTable, LoadPalette(palettePath));
    // The pictures go straight into the file's rows, a few rows at a time.
    FileRows *rows = (FileRows *)malloc(sizeof(FileRows));
    AppAssert(rows != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
    rows->width = width, rows->height = height, rows->depth = depth;
    rows->rowBytes = BitmapRowBytes(width, depth);
    size_t imageSize = rows->rowBytes * (size_t)height;
    rows->pixels = (uint8_t *)LargeBlockAllocate(imageSize);
    AppAssert(rows->pixels != nullptr, "wallpaper", __LINE__, "Not enough memory for the wallpaper bitmap");
    StartIndexCache(&rows->cache[0]);
    StartIndexCache(&rows->cache[1]);
    if (plan.count > 1) {
        FillBackground(rows, background);
    } else {
        size_t written = (size_t)width * (depth / 8);
        for (int y = 0; y < height; y++)
            memset(rows->pixels + (size_t)y * rows->rowBytes + written, 0, rows->rowBytes - written);
    }
    // One monitor's picture after another, the largest first: the memory of
    // the work is that of the largest, beside the bitmap, and each smaller
    // one's fits in what the one before gave back.
    bool done[kMaxWallpaperMonitors] = {};
    for (int n = 0; n < plan.count; n++) {
        int next = -1;
        for (int i = 0; i < plan.count; i++)
            if (!done[i] && (next < 0 || (long long)plan.places[i].width * plan.places[i].height >
                                             (long long)plan.places[next].width * plan.places[next].height))
                next = i;
        done[next] = true;
        rows->place = plan.places[next];
        RenderArtRows(art, rows->place.width, rows->place.height, screenDepth, DiffusionKernel, StoreFileRow, rows);
    }
    CloseArt(art);
    uint8_t *pixels = rows->pixels;
    free(rows);

    char partial[kPathSize];
    PlatFile *out = OpenPartialBeside(outputPath, partial);
    AppAssert(out != nullptr, "wallpaper", kSiteOpenBitmap, "Couldn't open the wallpaper bitmap file");
    bool complete = WriteAll(out, &fileHeader, sizeof fileHeader) && WriteAll(out, &infoHeader, sizeof infoHeader) &&
                    WriteAll(out, colorTable, sizeof colorTable) && WriteAll(out, pixels, imageSize);
    complete = FileClose(out) == 0 && complete;
    free(pixels);
    if (!complete) {
        FileDelete(partial);
        return false;
    }
    // The bitmap shown now is given up only as the new one, on the disk,
    // takes its name.
    return PlacePartialFile(partial, outputPath, true);
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

// The screen's real size in pixels. The metrics tell a program that the
// system takes as unaware of DPI (one whose declaration it does not read) a
// scaled-down screen (1920 x 1080 for 3840 x 2160 at 200 %); a wallpaper of
// that size would be stretched by the system and look blurred. The display mode is never scaled. A scaled-down screen is never
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

// The plan over the monitors in real pixels. Their display modes, as for
// one screen, when the system tells every one and none is smaller than its
// rectangle in the metrics; else the metrics' rectangles, all of them, so
// that the rectangles never mix two scales. When the system cannot list the
// monitors, or there are more than the plan holds, the bitmap is the
// screen's alone, as on one monitor.
static void ScreenPlan(WallpaperPlan *plan)
{
    MonitorRecord monitors[kMaxWallpaperMonitors];
    int count = DisplayMonitors(monitors, kMaxWallpaperMonitors);
    if (count >= 1 && count <= kMaxWallpaperMonitors) {
        bool modes = true;
        int primary = 0;
        for (int i = 0; i < count; i++) {
            const MonitorRecord &m = monitors[i];
            modes = modes && m.modeKnown && m.mode.right - m.mode.left >= m.rect.right - m.rect.left &&
                    m.mode.bottom - m.mode.top >= m.rect.bottom - m.rect.top;
            if (m.primary)
                primary = i;
        }
        PixelRect rects[kMaxWallpaperMonitors];
        for (int i = 0; i < count; i++)
            rects[i] = modes ? monitors[i].mode : monitors[i].rect;
        // Windows 8 is 6.2.
        WallpaperSpread spread = WindowsVersionAtLeast(6, 2) ? kSpreadSpan : kSpreadTile;
        if (PlanWallpaper(rects, count, primary, spread, plan))
            return;
    }
    int width, height;
    RealScreenSize(&width, &height);
    SingleWallpaper(width, height, plan);
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
    PlatFile *out = OpenPartialBeside(outputPath, partial);
    AppAssert(out != nullptr, "wallpaper", kSiteOpenBitmap, "Couldn't open the wallpaper bitmap file");
    FileClose(out);
    FileDelete(partial);
}

// param is the caller's WallpaperSpread, set as the job ends.
static unsigned long WallpaperJob(void *param)
{
    char artName[sizeof JobArtName], output[kPathSize];
    (void)CopyText(artName, sizeof artName, JobArtName);  // each the same size as its source
    (void)CopyText(output, sizeof output, JobOutputPath);
    char artPath[kPathSize], palettePath[kPathSize];
    WallpaperSources(artName, artPath, palettePath);

    WallpaperPlan plan;
    ScreenPlan(&plan);
    int pelsX, pelsY;
    int depth = ScreenBitsPerPixel();
    ScreenPelsPerMeter(&pelsX, &pelsY);

    if (!MakeWallpaperBitmap(artPath, palettePath, output, plan, depth, SysColorGet(kColorBackground), pelsX,
                             pelsY))
        ReportFullDisk(output);
    *(WallpaperSpread *)param = plan.spread;
    WriteWallpaperRecord(artName, depth, plan.width, plan.height);
    return 1;
}

PlatThread StartWallpaperJob(const char *artName, const char *outputPath, WallpaperSpread *spreadMade)
{
    WallpaperReport[0] = 0;
    *spreadMade = kSpreadOne;
    if (!CopyText(JobArtName, sizeof JobArtName, artName) || !CopyText(JobOutputPath, sizeof JobOutputPath, outputPath))
        return nullptr;
    PlatThread thread = ThreadStart(WallpaperJob, spreadMade);
    if (!thread && WallpaperWindow.box)
        WallpaperWindow.box("Not enough system resources to make the wallpaper (CreateThread).\n", "Wallpaper Maker",
                            kMbOk);
    return thread;
}
