// The "Schedule..." dialog of the main window's system menu, its logic: the
// fields it opens with, what they make (a schedule, or the problem with them
// in words), its two commands, and the theme the window applies once a
// schedule is made. The dialog's window code (scheduledialog.cpp) reads and
// fills the controls; everything it decides is here.
#pragma once

#include "app/mainstate.h"
#include "schedule/schedule.h"

#include <string>

// The system menu's item; below the system's own commands (0xF000 and up), its
// low four bits zero, as the system keeps those for itself.
constexpr unsigned kSysSchedule = 0x0010;

// The dialog's controls. Its check boxes of the parts have the main window's
// identifiers (IDC_SCREENSAVER ... IDC_FONTS); "Schedule" and "Cancel" are the
// system's OK and Cancel, which Enter and Esc give.
constexpr int IDC_SCHEDULE_DAY = 300, IDC_SCHEDULE_NIGHT = 301;         // the themes' drop-down lists
constexpr int IDC_SCHEDULE_ATTIMES = 302, IDC_SCHEDULE_ATSUN = 303;     // the radio pair
constexpr int IDC_SCHEDULE_DAYTIME = 304, IDC_SCHEDULE_NIGHTTIME = 305;  // "HH:MM"
constexpr int IDC_SCHEDULE_LATITUDE = 306, IDC_SCHEDULE_LONGITUDE = 307;  // decimal degrees
constexpr int IDC_SCHEDULE_PARTS = 308;  // the group box around the check boxes
constexpr int IDC_SCHEDULE_OFF = 309;    // "Turn off"

// The dialog's fields as the user left them.
struct ScheduleFields {
    int dayTheme, nightTheme;  // kThemeBlack ... kThemeGreen
    bool atSun;                // the second radio button
    std::string dayTime, nightTime, latitude, longitude;
    ThemeParts parts;
};

// What the dialog opens with: the user's schedule, or, with none or a
// damaged file, white by day from 07:00, black by night from 20:00 and the
// parts ticked in the main window. *exists: a schedule's file is there, which
// "Turn off" ends.
void ScheduleDialogFields(const MainChoices &choices, ScheduleFields *fields, bool *exists);
// The schedule the fields make (appliedFrom 0), or false with the problem
// for the user and the control that holds it. The fields of the radio button
// not chosen are not read. Spaces around a field's text are ignored, and a
// time may have one digit for the hour ("7:05").
bool ScheduleFromFields(const ScheduleFields &fields, Schedule *schedule, std::string *problem, int *control);

// "Schedule": true when the fields' schedule is the user's, registered with
// the Task Scheduler and written (*made). Otherwise false, nothing changed,
// and a box owned by the dialog says why; *control is the field to correct,
// 0 when the input was good.
bool ScheduleDialogSchedule(PlatWindow dialog, const ScheduleFields &fields, long long now, Schedule *made,
                            int *control);
// "Turn off": true when the user's schedule has ended; otherwise a box owned
// by the dialog says why, and nothing changed.
bool ScheduleDialogTurnOff(PlatWindow dialog);

// How the dialog ended.
enum ScheduleDialogEnd { kScheduleDialogCancelled, kScheduleDialogStarted, kScheduleDialogEnded };
// What the window code makes the dialog with: the main window's font at its
// dpi, and the fields.
struct ScheduleDialogStart {
    PlatFont font;
    int dpi;
    ScheduleFields fields;
    bool exists;
};

// WM_SYSCOMMAND with kSysSchedule: the dialog (none while an install runs),
// then what its end asks of the window.
void MainOpenSchedule(PlatWindow main, MainState *state);
// A schedule just made: the theme due now, with the schedule's parts, applied
// as an Apply does (the window's choices set to them); once that install has
// ended whole, the period is recorded as applied (MainScheduleApplied), so
// that the schedule's own run in the same period changes nothing.
void MainScheduleStarted(PlatWindow main, MainState *state, const Schedule &schedule, long long now);
// At the end of an install (MainFinishInstall) that MainScheduleStarted
// began: the period recorded in the schedule's file, and the status line says
// what is scheduled.
void MainScheduleApplied(PlatWindow main, MainState *state);
// The status line's text for a schedule: short enough for the window.
std::string ScheduledStatusText(const Schedule &schedule);
