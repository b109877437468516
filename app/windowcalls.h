// What the install and the wallpaper job show in the main window: the
// progress texts, the capture and cursor, the boxes and the job's report.
#pragma once

// Lets the install and the wallpaper job show them in MainWindow. Every
// install command does it first.
void ConnectWindowCalls();
