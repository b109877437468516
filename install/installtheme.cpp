// The two-stage install driver.
#include "install/installtheme.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "theme/themevalue.h"

const char kFolderTooLong[] =
    "has too long a path for the theme's files. Please install Desktop Quennel in a folder with a shorter path.";

int PartWallpaper, PartColors, PartFonts, PartIcons, PartCursors, PartSounds, PartScreenSaver;
PlatThread WallpaperThread;
int WallpaperPending;
char WallpaperFile[kPathSize];
InstallWindowCalls InstallWindow;

void ShowInstallProgress(const char *text)
{
    if (InstallWindow.status)
        InstallWindow.status(text, 1);
}

static void RepaintWindow()
{
    if (InstallWindow.repaint)
        InstallWindow.repaint();
}

void CloseWallpaperThread()
{
    if (!WallpaperThread)
        return;
    ThreadWait(WallpaperThread, kInfinite);
    ThreadClose(WallpaperThread);
    WallpaperThread = nullptr;
}

int InstallTheme(int themeId, int wallpaper, int colors, int fonts, int icons, int cursors, int sounds,
                 int screenSaver)
{
    PartWallpaper = wallpaper;
    PartColors = colors;
    PartFonts = fonts;
    PartIcons = icons;
    PartCursors = cursors;
    PartSounds = sounds;
    PartScreenSaver = screenSaver;
    if (InstallWindow.started)
        InstallWindow.started();
    CloseWallpaperThread();

    const char *fileName = CatalogueFile(themeId);
    AppAssert(fileName != nullptr, "installtheme", 105, "InstallTheme: bad theme id");
    // The backup and the snapshot are this user's; the colour themes are in
    // the folder that control.ini names, or else in the program's own.
    std::string folder;
    if (themeId == kThemeBackup || themeId == kThemeSnapshot)
        folder = UserDataDir;
    else
        folder = ReadThemeValue("Zorva", "switcher", "", "control.ini");
    if (folder.empty()) {
        char programFolder[kPathSize];
        ProgramFolder(programFolder, sizeof programFolder);
        folder = programFolder;
    }
    std::string text;
    if (!CopyText(ThemeDir, sizeof ThemeDir, folder.c_str()) ||
        !JoinPath(ThemeFile, sizeof ThemeFile, ThemeDir, fileName)) {
        text = "The folder\n  " + folder + "\n" + kFolderTooLong;
    } else if (PlatFile *check = FileOpen(ThemeFile, "r")) {
        FileClose(check);
        if (!ThemePathsFit(&folder))
            text = "The folder\n  " + folder + "\n" + kFolderTooLong;
    } else {
        text = std::string("Cannot find the theme file \n  ") + ThemeFile;
    }
    if (!text.empty()) {
        if (InstallWindow.box)
            InstallWindow.box(text.c_str(), "Zorva: The Vandrel  Theme Switcher", kMbIconWarning);
        // The second stage still runs at the next tick, to end the install:
        // it must apply nothing from a file that is not there or cannot be
        // used whole, or it would empty the user's icons, cursors, sounds and
        // screen saver.
        PartWallpaper = PartColors = PartFonts = PartIcons = PartCursors = PartSounds = PartScreenSaver = 0;
        WallpaperPending = 0;
        return 0;
    }

    if (PartColors) {
        // This one text is painted with the whole window once the colours are set.
        if (InstallWindow.status)
            InstallWindow.status("Setting desktop colors...", 0);
        ApplyWindowColors();
        RepaintWindow();
    }
    if (PartFonts) {
        ShowInstallProgress("Setting desktop fonts...");
        ApplyWindowMetrics();
        RepaintWindow();
    }
    if (PartWallpaper) {
        ShowInstallProgress("Changing the wallpaper...");
        ApplyDesktopSettings(themeId);
    }
    return 1;
}

int FinishThemeInstall()
{
    if (WallpaperPending)
        InstallWallpaperFile();
    if (PartIcons) {
        ShowInstallProgress("Changing the desktop icons...");
        ApplyDesktopIcons();
    }
    if (PartCursors) {
        ApplyCursors();
        ShowInstallProgress("Changing the cursors...");
    }
    if (PartSounds) {
        ShowInstallProgress("Setting the sounds...");
        ApplySounds();
    }
    if (PartScreenSaver) {
        ShowInstallProgress("Setting the screen saver...");
        ApplyScreenSaver();
    }
    if (InstallWindow.ended)
        InstallWindow.ended();
    ShellNotify(kShcneUpdateImage);
    return 1;
}
