// The main window's commands and state: the user's choices, the reactions to
// the buttons and check boxes, the run of an install with its two stages, the
// status text's slide, the closing question and the shutdown. Plain logic over
// the platform layer; the window procedure only translates messages to it.
#pragma once

#include "app/commandline.h"
#include "app/controlids.h"
#include "platform/window.h"

#include <string>

// Private messages.
constexpr unsigned IBM_SETSTATE = kWmUser + 1;
// A colour button's icon drawn at wParam pixels a side, from the image of
// the icon that fits that size best.
constexpr unsigned IBM_SETICONSIZE = kWmUser + 2;
constexpr unsigned WM_FINISHINSTALL = kWmUser + 11;
constexpr unsigned kInstallTimer = 1;  // polls the wallpaper job, then starts the second stage
// WM_WALLPAPERFAILED (kWmUser + 12, app/appglobals.h): the wallpaper job's
// report of a full disk.

extern const char kStatusPrompt[];

// The program's exit codes.
constexpr int kExitClosed = 0;        // the window was closed
constexpr int kExitOtherCopy = 1;     // the window or "/apply": another copy runs (the window's was
                                      // brought to the front); nothing changed
constexpr int kExitReverted = 1;      // "/r" put this user's backup back
constexpr int kExitNoBackup = 2;      // "/r" for a user without a backup of their own: nothing changed
constexpr int kExitFolderUnusable = 3;  // a folder for the program's files cannot be used: nothing changed
constexpr int kExitBadArguments = 4;    // the command line is wrong: nothing changed
constexpr int kExitCannotApply = 5;     // "/apply": the theme cannot be applied; the settings were put back
constexpr int kExitPartlyReverted = 6;  // "/r": put back, but for values left as they were; the log names them
constexpr int kExitRevertOtherCopy = 7;  // "/r": another copy runs: nothing changed
constexpr int kExitBackupDamaged = 8;    // "/r": the backup is damaged: nothing changed

// Start-up's first step: true when no other copy runs for this user in this
// session, the name that says so now held until the process ends. Two copies
// at once would write the same files and settings, each under the other.
bool MainIsOnlyCopy();

// Start-up's check, before anything changes, that the folders the program
// keeps and finds its files in can be used: true when every path built in
// them fits the system's paths; otherwise *report says which folder cannot.
bool MainFoldersUsable(std::string *report);

// The choices and the install's progress, on the window's thread only.
extern int SelectedTheme;         // 100-104, the pressed colour button
extern int UseScreenSaver, UseSounds, UseCursors, UseWallpaper, UseIcons, UseColors, UseFonts;
extern int ChoicesUnchanged;      // nothing chosen since start or the last finished install
extern int InstalledThisRun;      // an install finished: Cancel restores the run's snapshot
extern int ExitAfterInstall;      // the running install ends the program
extern int StatusSlideStep;       // 0-39, the status text's slide
extern int InstallUnderWay;       // from an install command to the end of its second stage
extern int InstallOnHold;         // in the first stage or a box of the install: the ticks that
                                  // the boxes' message loops deliver must not start the second stage
extern ThemeInstall RunningInstall;  // the install's theme file and parts, for its second stage

// "/apply", once the hidden window is made: the colour and the parts chosen,
// and the install that Apply and OK make. The wallpaper's palette, art and
// bitmap are checked first, before anything changes: their failures end the
// run with the theme not applied.
void MainApplyUnattended(PlatWindow main, int themeId, const ThemeParts &parts);
// "/r", once the hidden window is made: the Revert command, with no box.
void MainRevertUnattended(PlatWindow main);
// Window creation, before the controls: the backup if missing and the run's
// snapshot; no choice changed, nothing installed yet.
void MainTakeSnapshots();
// Window creation, with the controls: white selected and every part ticked.
void MainSelectInitialColor(PlatWindow main);
void MainTickAllParts(PlatWindow main);

// WM_COMMAND. lParam is the control that sent it, or 0 from a program (the
// wallpaper job's Cancel, the "/r" Revert).
void MainCommand(PlatWindow main, int id, intptr_t lParam);
// WM_TIMER: the status text slides, and the second stage starts once the
// wallpaper job is done.
void MainTimerTick(PlatWindow main);
int WaitWallpaperDone();
// WM_FINISHINSTALL.
void MainFinishInstall(PlatWindow main);
// WM_WALLPAPERFAILED: the job's report in a box, then the Cancel command as
// the job's own (lParam 0).
void MainWallpaperFailed(PlatWindow main);
// WM_CLOSE: true when the window is to be destroyed by default processing.
bool MainClose(PlatWindow main);
// WM_DESTROY. A wallpaper job still running is waited for; a report it made
// meanwhile is still shown.
void MainDestroy(PlatWindow main);
// The tooltip of the control with this identifier, or null.
const char *ToolTipText(int id);

// The status text after one tick of the slide, from the text now (at most 199
// characters); out holds 201 characters.
void SlideStatusText(const char *now, int step, char *out);

// The About box, modal; provided by the window code.
void RunAboutBox(PlatWindow main);

// The messages above, for the window procedure: sets *handled when the
// message is one of them.
intptr_t MainWindowMessage(PlatWindow main, unsigned message, uintptr_t wParam, intptr_t lParam, bool *handled);
