// The day-and-night schedule: a day theme from one switch and a night theme
// from the other, at two local times or at sunrise and sunset at a place. The
// schedule lives in a file of the user's own folder; the Task Scheduler keeps
// its times with one task of the user's, which runs "/apply scheduled" at the
// next switch, at logon, at an unlock and after a sleep.
#pragma once

#include "install/installtheme.h"
#include "platform/system.h"

#include <stddef.h>

#include <string>

enum ScheduleMode { kScheduleAtTimes, kScheduleAtSun };

struct Schedule {
    int dayTheme, nightTheme;    // kThemeBlack ... kThemeGreen
    ScheduleMode mode;
    int dayMinute, nightMinute;  // at times: minutes after local midnight, 0-1439, never the same
    double latitude, longitude;  // at the sun: decimal degrees, north and east positive
    ThemeParts parts;            // at least one
    long long appliedFrom;       // the start of the period in which this schedule last applied its theme; 0 none
};

// ------------------------------------------------- the words of a schedule
// The colour theme a word names ("black" ... "green", in any case); 0 for any
// other word.
int ScheduleThemeOfWord(const std::string &word);
// "black" ... "green" of a colour theme.
const char *ScheduleWordOfTheme(int themeId);
// A comma-separated list of parts ("wallpaper,colors"); false, with the
// problem for the user, when a name is not a part's.
bool ParsePartList(const std::string &list, ThemeParts *parts, std::string *problem);
std::string FormatPartList(const ThemeParts &parts);
// "HH:MM", 00:00 to 23:59, as minutes after midnight, and back.
bool ParseClockTime(const std::string &text, int *minute);
std::string FormatClockTime(int minute);
// Decimal degrees from -limit to limit ("51.4779", "-0.0015").
bool ParseDegrees(const std::string &text, double limit, double *degrees);

// ------------------------------------------------- the schedule's file
constexpr const char kScheduleFileName[] = "\\Schedule.txt";
// The file's text: a line for each value, "key=value".
std::string FormatSchedule(const Schedule &schedule);
// False for a text that is not a whole schedule: a key missing, repeated or
// unknown, or a value out of its range.
bool ParseSchedule(const std::string &text, Schedule *schedule);
enum ScheduleFileState { kScheduleNone, kScheduleHere, kScheduleDamaged };
ScheduleFileState ReadSchedule(Schedule *schedule);
// The file written whole under a name of its own, then put in place.
bool WriteSchedule(const Schedule &schedule);

// ------------------------------------------------- its switches
// A switch: its instant (seconds since 1970, UTC) and the theme it brings.
struct ScheduleSwitch {
    long long at;
    int themeId;
};
// The period an instant falls in: the switch that began it (at 1 when no
// switch came within a year before, as at a pole, the theme then the day's
// own) and the next one (at 0 when none comes within a year).
struct SchedulePeriod {
    ScheduleSwitch begun, next;
};
// False when the system cannot convert between local time and UTC.
bool SchedulePeriodAt(const Schedule &schedule, long long now, SchedulePeriod *period);
// What "/schedule" prints of a schedule: its choices, then today's switch
// times as HH:MM in local time, or the theme that holds all day.
std::string DescribeSchedule(const Schedule &schedule, long long now);

// ------------------------------------------------- its task
constexpr const char kScheduleTaskFolder[] = "\\Desktop Quennel";
constexpr const char kScheduleTaskPrefix[] = "Day and night ";
// The user's task: "Day and night" and the user's security identifier, in the
// program's folder of the Task Scheduler.
bool ScheduleTaskPath(char *path, size_t size);
// The task's XML: the program's "/apply scheduled" as the user, with the least
// privilege, only while the user is signed in; triggers at the next switch
// (none when next is null), at the user's logon, at the unlock of the user's
// session, at the resume from sleep and, with runNow, at its registration.
std::string ScheduleTaskXml(const char *programPath, const char *userSid, const PlatTime *next, bool runNow);

enum ScheduleOutcome { kScheduleDone, kScheduleNoScheduler, kScheduleNotWritten };
// Makes schedule the user's: its task registered (to run at once, with runNow)
// and its file written. Without the Task Scheduler, or without the file, the
// schedule the user had stays.
ScheduleOutcome ScheduleStart(const Schedule &schedule, long long now, bool runNow);
// The task registered again for the switch after now, or for retryAt when
// that comes first (0: none).
bool ScheduleRegisterNext(const Schedule &schedule, long long now, long long retryAt = 0);
// Ends the user's schedule, its task and its file. Without the Task Scheduler
// nothing changes (kScheduleNoScheduler); with force the file goes all the
// same, so no task left behind switches anything.
ScheduleOutcome ScheduleEnd(bool force);
