// The schedule's commands (schedulerun.h).
#include "app/schedulerun.h"

#include "app/windowcalls.h"
#include "base/apperror.h"

constexpr long long kScheduledRetrySeconds = 5 * 60;

static const char kNoScheduler[] = "The Task Scheduler cannot be reached: nothing changed.\n";
static const char kDamaged[] =
    "The schedule's file is damaged: nothing changed. \"/schedule off\" ends it, and a new schedule replaces it.\n";

// What a change of the schedule says, and its code.
static int Told(ScheduleOutcome outcome, const std::string &done, const char *notWritten, std::string *out)
{
    *out = outcome == kScheduleDone ? done : outcome == kScheduleNoScheduler ? kNoScheduler : notWritten;
    return outcome == kScheduleDone ? kExitClosed
                                    : outcome == kScheduleNoScheduler ? kExitNoScheduler : kExitFolderUnusable;
}

int MainScheduleCommand(const ProgramCommand &command, long long now, std::string *out)
{
    Schedule schedule;
    switch (command.kind) {
    case kRunSchedule:
        return Told(ScheduleStart(command.schedule, now, true), "Scheduled. " + DescribeSchedule(command.schedule, now),
                    "The schedule's file cannot be written: nothing changed.\n", out);
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
        return Told(ScheduleEnd(false), "The schedule has ended.\n", "The schedule's file cannot be deleted.\n", out);
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

// The user's schedule and the period now falls in: -1 when its theme is due,
// otherwise the code a scheduled run ends with at once.
static int Due(long long now, Schedule *schedule, SchedulePeriod *period)
{
    switch (ReadSchedule(schedule)) {
    case kScheduleNone:
        return kExitNoSchedule;  // a task left by a schedule ended without the Task Scheduler ends here too
    case kScheduleDamaged:
        return kExitScheduleDamaged;
    default:
        break;
    }
    if (!SchedulePeriodAt(*schedule, now, period))
        return kExitCannotApply;
    return schedule->appliedFrom == period->begun.at ? kExitClosed : -1;
}

int MainScheduledDue(long long now, int *themeId, ThemeParts *parts, long long *periodStart)
{
    Schedule schedule;
    SchedulePeriod period;
    int code = Due(now, &schedule, &period);
    if (code == kExitScheduleDamaged)
        AppLogReport(kDamaged);
    if (code == kExitCannotApply)
        AppLogReport("The local time cannot be had: the schedule's theme was not applied.");
    if (code != -1)
        return code;
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

void MainScheduledBusy(long long now)
{
    Schedule schedule;
    SchedulePeriod period;
    if (Due(now, &schedule, &period) == -1)
        ScheduleRegisterNext(schedule, now, now + kScheduledRetrySeconds);
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
