// What the window logic and the folders below it show in the main window:
// the install's and the wallpaper job's progress texts, capture, cursor,
// boxes and report (their tables of calls, filled in here), and the window
// code's own dialogs (a table that the window code fills in).
#pragma once

#include "platform/window.h"

extern PlatWindow MainWindow;  // start-up, once the window is made

// Lets the install and the wallpaper job show them in MainWindow. Every
// install command does it first.
void ConnectWindowCalls();

struct Schedule;
struct ScheduleDialogStart;

// The dialogs of the window code, for the window logic; set by WinMain. A
// call left null shows nothing (the logic run without a window).
struct AppWindowCalls {
    void (*aboutBox)(PlatWindow main);  // the About box, modal
    // The "Schedule..." dialog, modal: a ScheduleDialogEnd, and with
    // kScheduleDialogStarted the schedule it made the user's in *made.
    int (*scheduleDialog)(PlatWindow main, const ScheduleDialogStart &start, Schedule *made);
};
extern AppWindowCalls AppWindow;

// "/apply" and "/r": no one reads a box. Set at start-up, before the window is made.
extern int Unattended;
// A report of an unattended run went to the log: the run's snapshot is put
// back, and the exit code says the theme could not be applied.
extern int UnattendedFailed;

// A report that a person reads in a box owned by owner (none: no owner); in
// an unattended run, a record in the log, and the run has failed.
void MainReport(PlatWindow owner, const char *text, const char *caption, unsigned style);
