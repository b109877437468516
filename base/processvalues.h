// Process-wide values: set once at start-up, before the main window's messages
// are handled, and only read afterwards, by either thread.
#pragma once

#include "platform/system.h"

constexpr int kPathSize = 261;      // every path buffer of the program

extern PlatInstance AppInstance;    // start-up, first; window classes, icons, About box
extern char ProgramDir[kPathSize];  // start-up; error log, About palette. Never ends in "\"
extern int ScreenDepth;             // start-up; the wallpaper's depth
extern int DiffusionKernel;         // start-up, 2; the wallpaper's colour reduction

// The program's own folder: the module path cut at its last backslash, the
// backslash removed ("C:" for a program in a drive's root folder). Returns the
// length written.
unsigned ProgramFolder(char *out, unsigned size);

// Start-up's steps for the values above: the instance, the program's folder,
// the screen's depth and the diffusion kernel.
void SetProcessValues(PlatInstance instance);
