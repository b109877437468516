// The run of an install from the main window: its first stage started by a
// command, the status text's slide while the wallpaper job works, the second
// stage, and the job's report of a full disk.
#pragma once

#include "app/mainstate.h"

// Disables the command buttons and runs the first stage of an install of the
// theme themeId (a colour, the backup or the snapshot) with the chosen parts
// (all of them for a saved theme); exitAfter: the program ends with it. A
// damaged backup or snapshot starts nothing. True when the first stage ran
// whole: the second stage follows.
bool StartInstall(PlatWindow main, MainState *state, int themeId, bool exitAfter);
// WM_TIMER: the status text slides, and the second stage starts once the
// wallpaper job is done.
void MainTimerTick(PlatWindow main, MainState *state);
// WM_FINISHINSTALL: the second stage.
void MainFinishInstall(PlatWindow main, MainState *state);
// WM_WALLPAPERFAILED: the job's report in a box, then the Cancel command as
// the job's own (lParam 0).
void MainWallpaperFailed(PlatWindow main, MainState *state);
// The wallpaper job has ended, or there is none.
bool WaitWallpaperDone();

// The caption of the wallpaper job's report.
extern const char kWallpaperFailedCaption[];

// The status text after one tick of the slide, from the text now (at most 199
// characters); out holds 201 characters.
void SlideStatusText(const char *now, int step, char *out);
// Whether the status text after says something new after before: the
// spaces that the slide puts in front aside, the texts differ. A screen
// reader is told of such a change only, not of every tick.
bool StatusTextNews(const char *before, const char *after);

// Whether the backup or the snapshot (themeId kThemeBackup or kThemeSnapshot)
// is whole and may be installed; path gets its path (kPathSize characters).
bool SavedThemeFileWhole(int themeId, char *path);
