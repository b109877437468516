// The schedule's commands (schedulerun.h).
#include "app/schedulerun.h"

#include "app/windowcalls.h"
#include "base/apperror.h"

static const char kNoScheduler[] = "The Task Scheduler cannot be reached: nothing changed.\n";
static const char kDamaged[] =
    "The schedule's file is damaged: nothing changed. \"/schedule off\" ends it, and a new schedule replaces it.\n";

int MainScheduleCommand(const ProgramCommand &command, long long now, std::string *out)
{
    Schedule schedule;
    switch (command.kind) {
    case kRunSchedule:
        switch (ScheduleStart(command.schedule, now, true)) {
        case kScheduleDone:
            *out = "Scheduled. " + DescribeSchedule(command.schedule, now);
            return kExitClosed;
        case kScheduleNoScheduler:
            *out = kNoScheduler;
            return kExitNoScheduler;
        default:
            *out = "The schedule's file cannot be written: nothing changed.\n";
            return kExitFolderUnusable;
        }
    case kRunScheduleShow:
        switch (ReadSchedule(&schedule)) {
        case kScheduleNone:
            *out = "There is no schedule.\n";
            return kExitClosed;
        case kScheduleDamaged:
            *out = kDamaged;
            return kExitScheduleDamaged;
        default:
            *out = DescribeSchedule(schedule, now);
            return kExitClosed;
        }
    case kRunScheduleOff:
        switch (ScheduleEnd(false)) {
        case kScheduleDone:
            *out = "The schedule has ended.\n";
            return kExitClosed;
        case kScheduleNoScheduler:
            *out = kNoScheduler;
            return kExitNoScheduler;
        default:
            *out = "The schedule's file cannot be deleted.\n";
            return kExitFolderUnusable;
        }
    default:  // off all
        if (!TaskFolderDelete(kScheduleTaskFolder, kScheduleTaskPrefix)) {
            *out = "The Task Scheduler cannot be reached, or not as an administrator: the tasks stay.\n";
            return kExitNoScheduler;
        }
        ScheduleEnd(true);
        *out = "Every user's schedule has ended.\n";
        return kExitClosed;
    }
}

int MainScheduledDue(long long now, int *themeId, ThemeParts *parts, long long *periodStart)
{
    Schedule schedule;
    SchedulePeriod period;
    switch (ReadSchedule(&schedule)) {
    case kScheduleNone:
        return kExitNoSchedule;  // a task left by a schedule ended without the Task Scheduler ends here too
    case kScheduleDamaged:
        AppLogReport(kDamaged);
        return kExitScheduleDamaged;
    default:
        break;
    }
    if (!SchedulePeriodAt(schedule, now, &period)) {
        AppLogReport("The local time cannot be had: the schedule's theme was not applied.");
        return kExitCannotApply;
    }
    if (schedule.appliedFrom == period.begun.at)
        return kExitClosed;
    *themeId = period.begun.themeId;
    *parts = schedule.parts;
    *periodStart = period.begun.at;
    return -1;
}

void MainScheduledEnded(int code, long long periodStart, long long now)
{
    Schedule schedule;
    if (ReadSchedule(&schedule) != kScheduleHere)
        return;  // ended while the theme was applied
    if (code == kExitClosed) {
        schedule.appliedFrom = periodStart;
        if (!WriteSchedule(schedule))
            AppLogReport("The schedule's file cannot be written: the next run applies the theme again.");
    }
    if (!ScheduleRegisterNext(schedule, now))
        AppLogReport("The Task Scheduler cannot be reached: the schedule's next switch was not registered.");
}

void MainEndScheduleForRevert(PlatWindow main)
{
    Schedule schedule;
    if (ReadSchedule(&schedule) == kScheduleNone)
        return;
    const char *text = ScheduleEnd(true) == kScheduleNotWritten
                           ? "Your day-and-night schedule could not be ended: its file cannot be deleted."
                           : "Your day-and-night schedule has ended too, so that it does not undo the revert.";
    if (Unattended)
        AppLogReport(text);  // a note, not a failure of the revert
    else
        MessageBoxShow(main, text, "Desktop Quennel", kMbIconWarning);
}
