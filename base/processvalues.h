// Process-wide values: set once at start-up, before the main window's messages
// are handled, and only read afterwards, by either thread.
#pragma once

#include "base/bounded.h"
#include "platform/system.h"

extern PlatInstance AppInstance;     // start-up, first; window classes, icons, About box
extern char ProgramDir[kPathSize];   // start-up; the About palette. Never ends in "\"
extern char UserDataDir[kPathSize];  // start-up; this user's own files: the backup, the snapshot,
                                     // the wallpaper bitmap and its copy, the error log. "" until made
extern int DiffusionKernel;          // start-up, 2; the wallpaper's colour reduction

// The program's own folder: the module path cut at its last backslash, the
// backslash removed ("C:" for a program in a drive's root folder). Returns the
// length written, 0 when the path cannot be had.
unsigned ProgramFolder(char *out, unsigned size);

// The folder of this user's own files: "Desktop Quennel" in the user's local
// application-data folder, made when missing. False, out "", when it cannot
// be had, made or is too long for the files in it.
bool MakeUserDataFolder(char *out, size_t size);

// The longest name of a file that the program keeps in UserDataDir, with its
// backslash: every such path fits when this one does.
extern const char kLongestUserFileName[];

// Start-up's steps for the values above: the instance, the program's folder,
// this user's folder, the screen's depth and the diffusion kernel. False when
// one of the folders cannot be used (too long a path, no user folder); the
// values that could be set are.
bool SetProcessValues(PlatInstance instance);
