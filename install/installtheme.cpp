// The two-stage install: the first stage finds the theme file, checks its
// paths and applies what is quick (colours, fonts, desktop values) while the
// wallpaper job starts; the second, once the job is done, applies the rest.
// Between the two the main window keeps the install (ThemeInstall), and
// answers the user meanwhile.
#include "install/installtheme.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "theme/themevalue.h"

const char kFolderTooLong[] =
    "has too long a path for the theme's files. Please install Desktop Quennel in a folder with a shorter path.";

// Short enough for the status line of a window as wide as its prompt.
const char kContrastKept[] = "High contrast is on, so the window colors were left as they are.";

static void RepaintWindow()
{
    if (InstallWindow.repaint)
        InstallWindow.repaint();
}

// A colour theme's path that does not fit: a folder to move it to, or the
// value that no folder would make fit.
static std::string TooLongReport(const ThemeInstall &chosen, const LongThemeValue &value)
{
    if (value.folderToBlame)
        return "The folder\n  " + value.folder + "\n" + kFolderTooLong;
    return "The theme file\n  " + chosen.theme.file + "\nholds a path too long for the system, in " +
           value.name.section + ": " + value.name.key + ". Nothing was changed.";
}

// The first stage once no job runs.
static bool RunFirstStage(int themeId, const ThemeParts &parts, ThemeInstall *install)
{
    *install = {};
    const char *fileName = CatalogueFile(themeId);
    AppAssert(fileName != nullptr, "installtheme", kSiteBadTheme, "InstallTheme: bad theme id");
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
    ThemeInstall chosen = {parts, {folder, folder + fileName}, {}};
    std::string text;
    if (!PathFits(chosen.theme.file.c_str())) {
        text = "The folder\n  " + folder + "\n" + kFolderTooLong;
    } else if (PlatFile *check = FileOpen(chosen.theme.file.c_str(), "r")) {
        FileClose(check);
        std::vector<LongThemeValue> tooLong = LongThemeValues(chosen);
        if (themeId == kThemeBackup || themeId == kThemeSnapshot) {
            // The user's own settings go back whatever one of them holds.
            for (const LongThemeValue &v : tooLong)
                chosen.valuesLeft.push_back(v.name);
            if (!tooLong.empty())
                AppLogReport(ValuesLeftText(chosen).c_str());
        } else if (!tooLong.empty()) {
            text = TooLongReport(chosen, tooLong.front());
        }
    } else {
        text = "Cannot find the theme file \n  " + chosen.theme.file;
    }
    if (!text.empty()) {
        if (InstallWindow.box)
            InstallWindow.box(text.c_str(), "Zorva: The Vandrel  Theme Switcher", kMbIconWarning);
        // The second stage still runs at the next tick, to end the install:
        // it applies no part from a file that is not there or cannot be used
        // whole, or it would empty the user's icons, cursors, sounds and
        // screen saver.
        install->theme = chosen.theme;
        return false;
    }
    *install = chosen;

    const ThemeSource &theme = install->theme;
    if (parts.colors && HighContrastOn()) {
        // A contrast theme is how its user reads the screen: its colours,
        // light or dark and the accent stay, and the other parts go on.
        install->contrastKept = true;
    } else if (parts.colors) {
        // This one text is painted with the whole window once the colours are set.
        if (InstallWindow.status)
            InstallWindow.status("Setting desktop colors...", 0);
        ApplyWindowColors(theme, themeId);
        RepaintWindow();
    }
    if (parts.fonts) {
        ShowInstallProgress("Setting desktop fonts...");
        ApplyWindowMetrics(theme);
        RepaintWindow();
    }
    if (parts.wallpaper) {
        ShowInstallProgress("Changing the wallpaper...");
        ApplyDesktopSettings(theme, themeId, &install->wallpaperSpread);
    }
    return true;
}

bool InstallTheme(int themeId, const ThemeParts &parts, ThemeInstall *install)
{
    if (InstallWindow.started)
        InstallWindow.started();
    ForgetWallpaperJob();
    return RunFirstStage(themeId, parts, install);
}

void InstallSavedThemeAtOnce(int themeId)
{
    InstallWindow = InstallWindowCalls{};
    ThemeInstall install;
    if (RunFirstStage(themeId, kAllParts, &install))
        FinishThemeInstall(install);
}

void FinishThemeInstall(const ThemeInstall &install)
{
    const ThemeSource &theme = install.theme;
    InstallWallpaperFile(install.wallpaperSpread);
    if (install.parts.icons) {
        ShowInstallProgress("Changing the desktop icons...");
        ApplyDesktopIcons(theme);
    }
    if (install.parts.cursors) {
        ApplyCursors(theme);
        ShowInstallProgress("Changing the cursors...");
    }
    if (install.parts.sounds) {
        ShowInstallProgress("Setting the sounds...");
        ApplySounds(theme);
    }
    if (install.parts.screenSaver) {
        ShowInstallProgress("Setting the screen saver...");
        ApplyScreenSaver(theme);
    }
    if (InstallWindow.ended)
        InstallWindow.ended();
    ShellNotify(kShcneUpdateImage);
}
