// The program's command line: the window, the silent revert, and a theme
// applied without a window for scripts, shortcuts and scheduled switches.
//   (nothing, or anything else)   the window
//   /r                            the revert to this user's backup, silently
//   /apply COLOUR [/parts LIST]   COLOUR one of black red white blue green, in
//                                 any case; LIST a comma-separated subset of
//                                 screensaver sounds cursors wallpaper icons
//                                 colors fonts (all when /parts is absent)
//   /apply scheduled              the theme of a day-and-night schedule that is
//                                 due now, unless the schedule applied it since
//                                 its last switch
//   /schedule DAY NIGHT HH:MM HH:MM [/parts LIST]
//   /schedule DAY NIGHT sun LATITUDE LONGITUDE [/parts LIST]
//                                 a day-and-night schedule, at two times or at
//                                 sunrise and sunset
//   /schedule                     the schedule and today's switches
//   /schedule off [all]           ends the schedule (all: every user's task,
//                                 for the uninstaller as an administrator)
//   /?                            the usage
#pragma once

#include "install/installtheme.h"
#include "schedule/schedule.h"

#include <string>
#include <vector>

enum CommandKind {
    kRunWindow,
    kRunRevert,
    kRunApply,
    kRunApplyScheduled,
    kRunSchedule,
    kRunScheduleShow,
    kRunScheduleOff,
    kRunScheduleOffAll,
    kRunUsage,
    kRunBadArguments
};

struct ProgramCommand {
    CommandKind kind;
    int themeId;          // /apply: 100-104
    ThemeParts parts;     // /apply
    Schedule schedule;    // /schedule DAY NIGHT ...
    std::string problem;  // bad arguments: what was wrong, for the user
};

// The usage, with the exit codes below.
extern const char kUsage[];

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
constexpr int kExitNoScheduler = 9;      // "/schedule": the Task Scheduler cannot be reached: nothing changed
constexpr int kExitNoSchedule = 10;      // "/apply scheduled": there is no schedule: nothing changed
constexpr int kExitScheduleDamaged = 11;  // "/apply scheduled", "/schedule": the schedule's file is damaged

// rawLine is the command line after the program's name as the system passes
// it ("/r" only when it is exactly that); arguments are its words, quotes
// taken off.
ProgramCommand ParseCommandLine(const char *rawLine, const std::vector<std::string> &arguments);
