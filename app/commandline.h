// The program's command line: the window, the silent revert, and a theme
// applied without a window for scripts, shortcuts and scheduled switches.
//   (nothing, or anything else)   the window
//   /r                            the revert to this user's backup, silently
//   /apply COLOUR [/parts LIST]   COLOUR one of black red white blue green, in
//                                 any case; LIST a comma-separated subset of
//                                 screensaver sounds cursors wallpaper icons
//                                 colors fonts (all when /parts is absent)
//   /?                            the usage
#pragma once

#include "install/installtheme.h"

#include <string>
#include <vector>

enum CommandKind { kRunWindow, kRunRevert, kRunApply, kRunUsage, kRunBadArguments };

struct ProgramCommand {
    CommandKind kind;
    int themeId;          // /apply: 100-104
    ThemeParts parts;     // /apply
    std::string problem;  // bad arguments: what was wrong, for the user
};

extern const char kUsage[];

// rawLine is the command line after the program's name as the system passes
// it ("/r" only when it is exactly that); arguments are its words, quotes
// taken off.
ProgramCommand ParseCommandLine(const char *rawLine, const std::vector<std::string> &arguments);
