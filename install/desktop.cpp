// Wallpaper and screen saver settings: the desktop values, the wallpaper job
// for a colour theme or the wallpaper named in a backup file, and the screen
// saver.
#include "install/installtheme.h"
#include "theme/themepath.h"

#include "base/bounded.h"
#include "wallpaper/wallpaperjob.h"

static const char kDesktop[] = "Control Panel\\Desktop";

static const char *ColorWord(int themeId)
{
    switch (themeId) {
    case kThemeBlack: return "BLACK";
    case kThemeRed: return "RED";
    case kThemeBlue: return "BLUE";
    case kThemeGreen: return "GREEN";
    default: return "WHITE";
    }
}

int ApplyDesktopSettings(int themeId)
{
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, kDesktop, kKeySetValue, &key);
    static const char *const values[4][2] = {
        {"ScreenSaveActive", "1"}, {"TileWallpaper", "0"}, {"WallpaperStyle", "2"}, {"Pattern", "(None)"}};
    char text[kPathSize];
    for (auto &v : values) {
        ProfileGetString(kDesktop, v[0], v[1], text, sizeof text, ThemeFile);
        RegistrySetText(key, v[0], text);
    }
    WallpaperPending = 0;

    if (themeId == kThemeBackup || themeId == kThemeSnapshot) {
        if (themeId == kThemeSnapshot) {
            // The bitmap goes back to the copy saved at the start of the run.
            char bitmap[kPathSize], saved[kPathSize];
            WindowsFolder(bitmap, sizeof bitmap);
            CopyText(saved, sizeof saved, bitmap);
            AppendText(bitmap, sizeof bitmap, kWallpaperBitmapName);
            AppendText(saved, sizeof saved, kWallpaperCopyName);
            FileDelete(bitmap);
            FileMove(saved, bitmap);
        }
        ProfileGetString(kDesktop, "Wallpaper", "", text, sizeof text, ThemeFile);
        SystemParameters(kSpiSetDeskWallpaper, 0, text, kSpifUpdateIniFile);
        RegistrySetText(key, "Wallpaper", text);
    } else {
        ShowInstallProgress("Creating the wallpaper...");
        WindowsFolder(WallpaperFile, sizeof WallpaperFile);
        AppendText(WallpaperFile, sizeof WallpaperFile, kWallpaperBitmapName);
        WallpaperThread = StartWallpaperJob(ColorWord(themeId), WallpaperFile);
        WallpaperPending = 1;  // also when the job could not start: whatever bitmap is there
    }
    if (key) {
        RegistryFlush(key);
        RegistryClose(key);
    }
    return 1;
}

void InstallWallpaperFile()
{
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, kDesktop, kKeySetValue, &key);
    ShowInstallProgress("Installing the wallpaper...");
    SystemParameters(kSpiSetDeskWallpaper, 0, WallpaperFile, kSpifUpdateIniFile);
    if (key) {
        RegistrySetText(key, "Wallpaper", WallpaperFile);
        RegistryFlush(key);
        RegistryClose(key);
    }
}

void ApplyScreenSaver()
{
    char value[kPathSize], path[kPathSize];
    ProfileGetString("boot", "SCRNSAVE.EXE", "", value, sizeof value, ThemeFile);
    ExpandThemePath(path, value);
    // The short form where the system gives one; when it cannot (a folder
    // whose short name it cannot resolve, a path too long for the buffer) the
    // path stays as it was, never a half-written buffer.
    char shortPath[kPathSize];
    unsigned length = ShortPathName(path, shortPath, sizeof shortPath);
    if (length > 0 && length < sizeof shortPath)
        CopyText(path, sizeof path, shortPath);
    ProfileWriteString("boot", "SCRNSAVE.EXE", path, "system.ini");
    SystemParameters(kSpiSetScreenSaveActive, 1, nullptr, 0);
}
