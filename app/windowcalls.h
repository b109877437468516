// What the install and the wallpaper job show in the main window: the
// progress texts, the capture and cursor, the boxes and the job's report.
#pragma once

#include "platform/window.h"

// Lets the install and the wallpaper job show them in MainWindow. Every
// install command does it first.
void ConnectWindowCalls();

// "/apply" and "/r": no one reads a box. Set at start-up, before the window is made.
extern int Unattended;
// A report of an unattended run went to the log: the run's snapshot is put
// back, and the exit code says the theme could not be applied.
extern int UnattendedFailed;

// A report that a person reads in a box owned by owner (none: no owner); in
// an unattended run, a record in the log, and the run has failed.
void MainReport(PlatWindow owner, const char *text, const char *caption, unsigned style);
