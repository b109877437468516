// Theme installation: the two-stage install and one applier for each part of a
// theme. The catalogue of theme files is theme/catalogue.h.
#pragma once

#include "base/processvalues.h"
#include "platform/system.h"
#include "theme/catalogue.h"
#include "wallpaper/wallpaperplan.h"

#include <string>
#include <vector>

// What the install shows in the main window, which sets these before it starts
// an install. A call left null shows nothing (an install without a window).
struct InstallWindowCalls {
    // The first stage began: the mouse captured, the wait cursor, and the
    // timer that polls the wallpaper job and then starts the second stage.
    void (*started)();
    // A progress text in the status bar, painted at once when paintNow is set
    // (otherwise with the next painting of the window).
    void (*status)(const char *text, int paintNow);
    // The whole window painted now: after new colours or fonts.
    void (*repaint)();
    // The second stage ended: the capture released, the arrow cursor.
    void (*ended)();
    // A message box owned by the window.
    void (*box)(const char *text, const char *caption, unsigned style);
};
extern InstallWindowCalls InstallWindow;

// The end of the report of a folder whose path is too long, after "The
// folder", the folder and a line end.
extern const char kFolderTooLong[];

// The parts of a theme to install; each one 1 or 0.
struct ThemeParts {
    int wallpaper, colors, fonts, icons, cursors, sounds, screenSaver;
};
constexpr ThemeParts kAllParts = {1, 1, 1, 1, 1, 1, 1};

// A value of a theme file by its section and key.
struct ThemeValueName {
    std::string section, key;
};

// An install between its two stages: what the second stage applies, and from
// which file.
struct ThemeInstall {
    ThemeParts parts;
    ThemeSource theme;
    // The values of a backup or a snapshot that the install leaves as the
    // user has them: their paths would pass the system's limit once their
    // folder is filled in. Everything else of the file is installed.
    std::vector<ThemeValueName> valuesLeft;
    // How the bitmap of the first stage's wallpaper job is to be shown: the
    // job's thread writes it before it ends, the second stage reads it once
    // the thread has ended. kSpreadOne when no job ran.
    WallpaperSpread wallpaperSpread = kSpreadOne;
    // Window Colors was chosen while a contrast theme was on: the window
    // colours, light or dark and the accent were left to it (kContrastKept).
    bool contrastKept = false;
};

// What the user is told, once, of an install that left the colours to a
// contrast theme.
extern const char kContrastKept[];

// The wallpaper job of the install, owned by the desktop part (desktop.cpp),
// which alone writes them, on the window's thread only.
extern PlatThread WallpaperThread;     // the job's thread, or none; polled by the main window; its
                                       // handle is closed only by CloseWallpaperThread
extern int WallpaperPending;           // the second stage installs WallpaperFile
extern char WallpaperFile[kPathSize];  // the bitmap the job writes; read by the job's thread while it runs

// Waits until the wallpaper job's thread, if there is one, has ended, closes
// its handle and sets WallpaperThread to none. The job never waits for the
// window's thread (it only posts to it), so the wait ends with the job.
void CloseWallpaperThread();
// The same, and no bitmap pending: an install's first stage begins with it,
// so that a second stage installs only the bitmap of its own first stage.
void ForgetWallpaperJob();

// First stage: tells the window it started (InstallWindow.started), finds
// the theme file and applies the chosen parts' colours, metrics and desktop
// values; *install is what the second stage then applies. A job still running
// from the install before (its own Cancel started this one) is waited for
// first: two jobs never run at once.
// Returns false, after a box that says why, when the theme file cannot be
// opened, or when a colour theme names a path that would be too long for the
// system: *install then holds no part, and the second stage applies nothing.
// The backup and the snapshot are the user's own settings and always go back:
// a path of theirs too long is left as the user has it, listed in
// install->valuesLeft and in the log.
bool InstallTheme(int themeId, const ThemeParts &parts, ThemeInstall *install);
// Both stages at once, on the calling thread, with no window and no wait for
// a wallpaper job: the backup or the snapshot (neither starts a job) put back
// when a run that no one watches cannot go on.
void InstallSavedThemeAtOnce(int themeId);
// Second stage: wallpaper file, icons, cursors, sounds, screen saver; tells
// the window it ended and tells the shell.
void FinishThemeInstall(const ThemeInstall &install);

// Shows a progress text in the main window's status bar and paints it at once.
void ShowInstallProgress(const char *text);

// A path value of a theme file that would not fit the system's paths.
struct LongThemeValue {
    ThemeValueName name;
    std::string folder;  // the folder its variable stands for
    bool folderToBlame;  // below a drive's root it would fit: a shorter folder would take it
};
// The path values that the chosen parts expand from the theme file and that
// would pass the system's limit once expanded, in the order installed.
std::vector<LongThemeValue> LongThemeValues(const ThemeInstall &install);
// What a box and the log say of the values an install left as they were.
std::string ValuesLeftText(const ThemeInstall &install);
// One value that the theme file names by section and key into the open key:
// its path expanded and written with the type the file gives it, or removed
// where the file says there was none. A null name is the key's default value.
long ApplyThemeValue(const ThemeSource &theme, PlatKey key, const char *name, const char *section,
                     const char *themeKey);

// The appliers, each of its part of the theme file.
// The classic colours, then the look (ApplyLook), as a capture recorded it
// for the backup and the snapshot (themeId), else from the colour theme's
// [VisualStyles] section.
void ApplyWindowColors(const ThemeSource &theme, int themeId);
// The look from a capture of the user's settings (captured) or from a colour
// theme's [VisualStyles] section.
void ApplyLook(const ThemeSource &theme, bool captured);
void ApplyWindowMetrics(const ThemeSource &theme);
void ApplyDesktopIcons(const ThemeSource &theme);
void ApplyCursors(const ThemeSource &theme);
void ApplySounds(const ThemeSource &theme);
// First stage: the desktop values, and the wallpaper job for a colour theme or
// the wallpaper named in a backup file; the job reports into *spreadMade how
// its bitmap is to be shown. Second stage: the new bitmap as the wallpaper
// when the first stage made one pending, in the style the job made it for
// (spread, read once the job has ended), and the screen saver.
void ApplyDesktopSettings(const ThemeSource &theme, int themeId, WallpaperSpread *spreadMade);
void InstallWallpaperFile(WallpaperSpread spread);
void ApplyScreenSaver(const ThemeSource &theme);
void ApplySoundEvent(const ThemeSource &theme, const char *keyPath);
