// Start-up's checks and snapshots, before the window shows.
#pragma once

#include "app/mainstate.h"

#include <string>

// Start-up's first step: true when no other copy runs for this user in this
// session, the name that says so now held until the process ends. Two copies
// at once would write the same files and settings, each under the other.
bool MainIsOnlyCopy();

// Start-up's check, before anything changes, that the folders the program
// keeps and finds its files in can be used: true when every path built in
// them fits the system's paths; otherwise *report says which folder cannot.
bool MainFoldersUsable(std::string *report);

// Window creation, before the controls: the backup if missing and the run's
// snapshot; no choice changed, nothing installed yet.
void MainTakeSnapshots(MainState *state);
