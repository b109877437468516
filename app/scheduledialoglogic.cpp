// The "Schedule..." dialog's logic (scheduledialoglogic.h).
#include "app/scheduledialoglogic.h"

#include "app/installrun.h"
#include "app/windowcalls.h"
#include "theme/catalogue.h"

#include <stdio.h>

static const char kBoxCaption[] = "Desktop Quennel";

static std::string Place(double degrees)
{
    char text[32];
    snprintf(text, sizeof text, "%.4f", degrees);
    return text;
}

void ScheduleDialogFields(const MainChoices &choices, ScheduleFields *fields, bool *exists)
{
    Schedule s;
    ScheduleFileState state = ReadSchedule(&s);
    *exists = state != kScheduleNone;
    if (state != kScheduleHere)
        s = Schedule{kThemeWhite, kThemeBlack, kScheduleAtTimes, 7 * 60, 20 * 60, 0, 0, choices.parts, 0};
    *fields = ScheduleFields{s.dayTheme, s.nightTheme, s.mode == kScheduleAtSun, "", "", "", "", s.parts};
    // The fields of the other mode keep their defaults, for a change of mind.
    fields->dayTime = FormatClockTime(s.mode == kScheduleAtTimes ? s.dayMinute : 7 * 60);
    fields->nightTime = FormatClockTime(s.mode == kScheduleAtTimes ? s.nightMinute : 20 * 60);
    fields->latitude = s.mode == kScheduleAtSun ? Place(s.latitude) : "";
    fields->longitude = s.mode == kScheduleAtSun ? Place(s.longitude) : "";
}

static std::string Trimmed(const std::string &text)
{
    size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The problem with a field's text, the text quoted, or the field named as
// empty.
static std::string Refused(const char *field, const std::string &text, const char *wanted)
{
    if (text.empty())
        return std::string("The ") + field + " is empty: type " + wanted + ".";
    return std::string("The ") + field + " \"" + text + "\" is not " + wanted + ".";
}

bool ScheduleFromFields(const ScheduleFields &fields, Schedule *schedule, std::string *problem, int *control)
{
    Schedule s = {};
    s.dayTheme = fields.dayTheme;
    s.nightTheme = fields.nightTheme;
    s.parts = fields.parts;
    if (!ScheduleWordOfTheme(s.dayTheme)[0] || !ScheduleWordOfTheme(s.nightTheme)[0]) {
        *control = ScheduleWordOfTheme(s.dayTheme)[0] ? IDC_SCHEDULE_NIGHT : IDC_SCHEDULE_DAY;
        *problem = "Choose a theme for the day and one for the night.";
        return false;
    }
    if (fields.atSun) {
        s.mode = kScheduleAtSun;
        std::string latitude = Trimmed(fields.latitude), longitude = Trimmed(fields.longitude);
        if (!ParseDegrees(latitude, 90, &s.latitude)) {
            *control = IDC_SCHEDULE_LATITUDE;
            *problem = Refused("latitude", latitude, "a latitude in degrees from -90 to 90, north positive");
            return false;
        }
        if (!ParseDegrees(longitude, 180, &s.longitude)) {
            *control = IDC_SCHEDULE_LONGITUDE;
            *problem = Refused("longitude", longitude, "a longitude in degrees from -180 to 180, east positive");
            return false;
        }
    } else {
        s.mode = kScheduleAtTimes;
        const struct {
            const std::string &text;
            int control;
            const char *field;
            int *minute;
        } times[2] = {{fields.dayTime, IDC_SCHEDULE_DAYTIME, "day's time", &s.dayMinute},
                      {fields.nightTime, IDC_SCHEDULE_NIGHTTIME, "night's time", &s.nightMinute}};
        for (auto &t : times) {
            std::string text = Trimmed(t.text);
            std::string padded = text.size() == 4 && text[1] == ':' ? "0" + text : text;
            if (!ParseClockTime(padded, t.minute)) {
                *control = t.control;
                *problem = Refused(t.field, text, "a time from 00:00 to 23:59 (HH:MM)");
                return false;
            }
        }
        if (s.dayMinute == s.nightMinute) {
            *control = IDC_SCHEDULE_NIGHTTIME;
            *problem = "The day and the night cannot begin at the same time.";
            return false;
        }
    }
    if (FormatPartList(s.parts).empty()) {
        *control = IDC_SCREENSAVER;
        *problem = "Tick at least one part of the theme.";
        return false;
    }
    *schedule = s;
    return true;
}

// Whether the Task Scheduler and the schedule's file did what was asked;
// otherwise a box owned by the dialog says which did not.
static bool ScheduleChanged(PlatWindow dialog, ScheduleOutcome outcome, const char *fileProblem)
{
    if (outcome == kScheduleDone)
        return true;
    MessageBoxShow(dialog,
                   outcome == kScheduleNoScheduler ? "The Task Scheduler cannot be reached: nothing changed." : fileProblem,
                   kBoxCaption, kMbIconWarning);
    return false;
}

bool ScheduleDialogSchedule(PlatWindow dialog, const ScheduleFields &fields, long long now, Schedule *made,
                            int *control)
{
    std::string problem;
    *control = 0;
    if (!ScheduleFromFields(fields, made, &problem, control)) {
        MessageBoxShow(dialog, problem.c_str(), kBoxCaption, kMbIconWarning);
        return false;
    }
    return ScheduleChanged(dialog, ScheduleStart(*made, now, false),
                           "The schedule's file cannot be written: nothing changed.");
}

bool ScheduleDialogTurnOff(PlatWindow dialog)
{
    return ScheduleChanged(dialog, ScheduleEnd(false), "The schedule's file cannot be deleted: nothing changed.");
}

void MainOpenSchedule(PlatWindow main, MainState *state)
{
    // An install holds the window's choices until it ends.
    if (state->installUnderWay || !AppWindow.scheduleDialog)
        return;
    ScheduleDialogStart start = {state->font, state->measures.dpi, {}, false};
    ScheduleDialogFields(state->choices, &start.fields, &start.exists);
    Schedule made;
    switch (AppWindow.scheduleDialog(main, start, &made)) {
    case kScheduleDialogStarted:
        MainScheduleStarted(main, state, made, UtcSecondsNow());
        break;
    case kScheduleDialogEnded:
        WindowSetText(WindowItem(main, IDC_STATUS), "The day-and-night schedule has ended.");
        break;
    default:
        break;
    }
}

void MainScheduleStarted(PlatWindow main, MainState *state, const Schedule &schedule, long long now)
{
    SchedulePeriod period;
    if (!SchedulePeriodAt(schedule, now, &period)) {
        // Registered all the same: its own run applies the theme.
        WindowSetText(WindowItem(main, IDC_STATUS), ScheduledStatusText(schedule).c_str());
        return;
    }
    state->choices.theme = period.begun.themeId;  // a colour button's identifier is its theme's
    state->choices.parts = schedule.parts;
    state->choices.unchanged = false;
    ShowChoices(main, state->choices);
    if (StartInstall(main, state, period.begun.themeId, false))
        state->schedulePeriod = period.begun.at;
}

void MainScheduleApplied(PlatWindow main, MainState *state)
{
    long long from = state->schedulePeriod;
    state->schedulePeriod = 0;
    Schedule schedule;
    if (ReadSchedule(&schedule) != kScheduleHere)
        return;  // ended meanwhile, from the command line
    schedule.appliedFrom = from;
    std::string text = WriteSchedule(schedule) ? ScheduledStatusText(schedule)
                                               : "The schedule's file cannot be written: its next run applies again.";
    if (!state->running.contrastKept)  // that one says more
        WindowSetText(WindowItem(main, IDC_STATUS), text.c_str());
}

std::string ScheduledStatusText(const Schedule &s)
{
    std::string day = ScheduleWordOfTheme(s.dayTheme), night = ScheduleWordOfTheme(s.nightTheme);
    if (s.mode == kScheduleAtSun)
        return "Scheduled: " + day + " from sunrise, " + night + " from sunset.";
    return "Scheduled: " + day + " from " + FormatClockTime(s.dayMinute) + ", " + night + " from " +
           FormatClockTime(s.nightMinute) + ".";
}
