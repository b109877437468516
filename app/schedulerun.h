// The day-and-night schedule's commands: "/schedule" in its forms, "/apply
// scheduled" before and after its install, and the end of the schedule that
// a Revert brings.
#pragma once

#include "app/commandline.h"

#include <string>

// "/schedule" with a schedule, alone, "off" or "off all": the exit code, and
// in *out what to print.
int MainScheduleCommand(const ProgramCommand &command, long long now, std::string *out);
// "/apply scheduled" before anything is made: -1 when the theme due now is to
// be applied (*themeId with *parts; *periodStart the start of its period),
// otherwise the code to end with at once, nothing changed: 0 when this period's
// theme was applied already.
int MainScheduledDue(long long now, int *themeId, ThemeParts *parts, long long *periodStart);
// "/apply scheduled" after its install ended with code: the period recorded
// as applied when it was, and the task registered for the switch after now.
void MainScheduledEnded(int code, long long periodStart, long long now);
// "/apply scheduled" while another copy runs: the task is to run again in a
// few minutes when a theme is due, rather than wait for the next switch.
void MainScheduledBusy(long long now);
// A Revert ends the user's schedule, so that no switch undoes it, and says
// so; with no schedule it says nothing.
void MainEndScheduleForRevert(PlatWindow main);
