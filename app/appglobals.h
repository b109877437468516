// Process-wide values: set once at start-up, before the main window's messages
// are handled, and only read afterwards, by either thread.
#pragma once

#include "platform/platform.h"

constexpr int kPathSize = 261;      // every path buffer of the program
constexpr int IDC_STATUS = 113;     // the main window's status bar
// Posted by the wallpaper job to the main window when the disk filled up; the
// window shows the job's report (WallpaperReport) and cancels the run.
constexpr unsigned WM_WALLPAPERFAILED = kWmUser + 12;

extern PlatInstance AppInstance;    // start-up, first; window classes, icons, About box
extern PlatWindow MainWindow;       // start-up, after the window is made; install and wallpaper job
extern char ProgramDir[kPathSize];  // start-up; error log, About palette. Never ends in "\"
extern int ScreenDepth;             // start-up; decoder picks the row conversion by it
extern int DiffusionKernel;         // start-up, 2; decoder and row conversion

// The program's own folder: the module path cut at its last backslash, the
// backslash removed ("C:" for a program in a drive's root folder). Returns the
// length written.
unsigned ProgramFolder(char *out, unsigned size);

// Start-up's steps for the values above, but MainWindow: the instance, the
// program's folder, the screen's depth and the diffusion kernel.
void SetProcessValues(PlatInstance instance);
