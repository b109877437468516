// Wallpaper and screen saver settings: the desktop values, the wallpaper job
// for a colour theme or the wallpaper named in a backup file, and the screen
// saver. The one owner of the wallpaper's install state: the job's thread,
// the bitmap it writes, whether the second stage installs it.
#include "install/installtheme.h"
#include "theme/themepath.h"
#include "theme/themevalue.h"

#include "base/bounded.h"
#include "wallpaper/wallpaperjob.h"

static const char kDesktop[] = "Control Panel\\Desktop";

PlatThread WallpaperThread;
int WallpaperPending;
char WallpaperFile[kPathSize];

void CloseWallpaperThread()
{
    if (!WallpaperThread)
        return;
    ThreadWait(WallpaperThread, kInfinite);
    ThreadClose(WallpaperThread);
    WallpaperThread = nullptr;
}

void ForgetWallpaperJob()
{
    CloseWallpaperThread();
    WallpaperPending = 0;
}

void ApplyDesktopSettings(const ThemeSource &theme, int themeId, WallpaperSpread *spreadMade)
{
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, kDesktop, kKeySetValue, &key);
    static const char *const values[4][2] = {
        {"ScreenSaveActive", "1"}, {"TileWallpaper", "0"}, {"WallpaperStyle", "2"}, {"Pattern", "(None)"}};
    for (auto &v : values)
        RegistrySetText(key, v[0], ReadThemeValue(kDesktop, v[0], v[1], theme.file.c_str()).c_str());
    WallpaperPending = 0;

    // The bitmap and its saved copy are this user's, in UserDataDir, whose
    // paths start-up made sure of.
    char bitmap[kPathSize];
    bool bitmapKnown = JoinPath(bitmap, sizeof bitmap, UserDataDir, kWallpaperBitmapName);
    if (themeId == kThemeBackup || themeId == kThemeSnapshot) {
        char saved[kPathSize];
        if (themeId == kThemeSnapshot && bitmapKnown && JoinPath(saved, sizeof saved, UserDataDir, kWallpaperCopyName)) {
            // The bitmap goes back to the copy saved at the start of the run,
            // given up only as the copy takes its name; a run that found no
            // bitmap leaves none.
            if (PlatFile *copy = FileOpen(saved, "rb")) {
                FileClose(copy);
                FileReplace(saved, bitmap);
            } else {
                FileDelete(bitmap);
            }
        }
        std::string wallpaper = ReadThemeValue(kDesktop, "Wallpaper", "", theme.file.c_str());
        SystemParameters(kSpiSetDeskWallpaper, 0, &wallpaper[0], kSpifUpdateIniFile);
        RegistrySetText(key, "Wallpaper", wallpaper.c_str());
    } else if (bitmapKnown && CopyText(WallpaperFile, sizeof WallpaperFile, bitmap)) {
        ShowInstallProgress("Creating the wallpaper...");
        WallpaperThread = StartWallpaperJob(CatalogueColorWord(themeId), WallpaperFile, spreadMade);
        WallpaperPending = 1;  // also when the job could not start: whatever bitmap is there
    }
    if (key) {
        RegistryFlush(key);
        RegistryClose(key);
    }
}

void InstallWallpaperFile(WallpaperSpread spread)
{
    if (!WallpaperPending)
        return;
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, kDesktop, kKeySetValue, &key);
    ShowInstallProgress("Installing the wallpaper...");
    // A bitmap made for several monitors is shown across them, in the style
    // the job made it for; the system reads the style when it sets the
    // wallpaper. One monitor's keeps the theme's style.
    if (spread == kSpreadSpan) {
        RegistrySetText(key, "WallpaperStyle", "22");
        RegistrySetText(key, "TileWallpaper", "0");
    } else if (spread == kSpreadTile) {
        RegistrySetText(key, "WallpaperStyle", "0");
        RegistrySetText(key, "TileWallpaper", "1");
    }
    SystemParameters(kSpiSetDeskWallpaper, 0, WallpaperFile, kSpifUpdateIniFile);
    if (key) {
        RegistrySetText(key, "Wallpaper", WallpaperFile);
        RegistryFlush(key);
        RegistryClose(key);
    }
}

void ApplyScreenSaver(const ThemeSource &theme)
{
    std::string path;
    // A path too long was refused before the install began.
    if (!ExpandThemePath(ReadThemeValue("boot", "SCRNSAVE.EXE", "", theme.file.c_str()), theme.dir, &path))
        return;
    // The short form where the system gives one; when it cannot (a folder
    // whose short name it cannot resolve) the path stays as it was, never a
    // half-written buffer.
    char shortPath[kPathSize];
    unsigned length = ShortPathName(path.c_str(), shortPath, sizeof shortPath);
    if (length > 0 && length < sizeof shortPath)
        path = shortPath;
    ProfileWriteString("boot", "SCRNSAVE.EXE", path.c_str(), "system.ini");
    SystemParameters(kSpiSetScreenSaveActive, 1, nullptr, 0);
}
