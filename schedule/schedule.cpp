#include "schedule/schedule.h"

#include "base/bounded.h"
#include "base/filebytes.h"
#include "base/processvalues.h"
#include "schedule/sun.h"
#include "theme/catalogue.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <strings.h>

#include <algorithm>
#include <vector>

// ------------------------------------------------- the words of a schedule

static const struct {
    const char *word;
    int themeId;
} kColourWords[5] = {
    {"black", kThemeBlack}, {"red", kThemeRed}, {"white", kThemeWhite}, {"blue", kThemeBlue}, {"green", kThemeGreen}};

static const struct {
    const char *name;
    int ThemeParts::*part;
} kPartNames[7] = {{"screensaver", &ThemeParts::screenSaver}, {"sounds", &ThemeParts::sounds},
                   {"cursors", &ThemeParts::cursors},         {"wallpaper", &ThemeParts::wallpaper},
                   {"icons", &ThemeParts::icons},             {"colors", &ThemeParts::colors},
                   {"fonts", &ThemeParts::fonts}};

int ScheduleThemeOfWord(const std::string &word)
{
    for (auto &c : kColourWords)
        if (strcasecmp(word.c_str(), c.word) == 0)
            return c.themeId;
    return 0;
}

const char *ScheduleWordOfTheme(int themeId)
{
    for (auto &c : kColourWords)
        if (c.themeId == themeId)
            return c.word;
    return "";
}

bool ParsePartList(const std::string &list, ThemeParts *parts, std::string *problem)
{
    *parts = ThemeParts{0, 0, 0, 0, 0, 0, 0};
    for (size_t at = 0; at <= list.size();) {
        size_t comma = list.find(',', at);
        std::string name = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        at = comma == std::string::npos ? list.size() + 1 : comma + 1;
        bool known = false;
        for (auto &n : kPartNames)
            if (strcasecmp(name.c_str(), n.name) == 0) {
                parts->*n.part = 1;
                known = true;
            }
        if (!known) {
            *problem = name.empty() ? "an empty part in the list \"" + list + "\""
                                    : "\"" + name + "\" is not a part of a theme";
            return false;
        }
    }
    return true;
}

std::string FormatPartList(const ThemeParts &parts)
{
    std::string list;
    for (auto &n : kPartNames)
        if (parts.*n.part)
            list += (list.empty() ? "" : ",") + std::string(n.name);
    return list;
}

bool ParseClockTime(const std::string &text, int *minute)
{
    auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
    if (text.size() != 5 || text[2] != ':' || digit(0) < 0 || digit(1) < 0 || digit(3) < 0 || digit(4) < 0)
        return false;
    int hours = digit(0) * 10 + digit(1), minutes = digit(3) * 10 + digit(4);
    *minute = hours * 60 + minutes;
    return hours < 24 && minutes < 60;
}

bool ParseDegrees(const std::string &text, double limit, double *degrees)
{
    // Digits, one point at most, a sign first: no exponents, no "nan".
    size_t digits = 0, points = 0;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c >= '0' && c <= '9')
            digits++;
        else if (c == '.')
            points++;
        else if (!(i == 0 && (c == '-' || c == '+')))
            return false;
    }
    if (digits == 0 || digits > 12 || points > 1)
        return false;
    *degrees = strtod(text.c_str(), nullptr);
    return fabs(*degrees) <= limit;
}

// ------------------------------------------------- the schedule's file

std::string FormatClockTime(int minute)
{
    char text[8];
    snprintf(text, sizeof text, "%02d:%02d", minute / 60 % 24, minute % 60);
    return text;
}

std::string FormatSchedule(const Schedule &s)
{
    char place[64];
    snprintf(place, sizeof place, "%.6f %.6f", s.latitude, s.longitude);
    std::string text = "day=" + std::string(ScheduleWordOfTheme(s.dayTheme)) + "\n" +
                       "night=" + ScheduleWordOfTheme(s.nightTheme) + "\n";
    if (s.mode == kScheduleAtTimes)
        text += "times=" + FormatClockTime(s.dayMinute) + " " + FormatClockTime(s.nightMinute) + "\n";
    else
        text += "sun=" + std::string(place) + "\n";
    return text + "parts=" + FormatPartList(s.parts) + "\n" + "applied=" + std::to_string(s.appliedFrom) + "\n";
}

// Two words of a value, split at its one space.
static bool SplitPair(const std::string &value, std::string *first, std::string *second)
{
    size_t space = value.find(' ');
    if (space == std::string::npos || value.find(' ', space + 1) != std::string::npos)
        return false;
    *first = value.substr(0, space);
    *second = value.substr(space + 1);
    return true;
}

static bool ParseValue(const std::string &key, const std::string &value, Schedule *s)
{
    std::string a, b, problem;
    if (key == "day")
        return (s->dayTheme = ScheduleThemeOfWord(value)) != 0;
    if (key == "night")
        return (s->nightTheme = ScheduleThemeOfWord(value)) != 0;
    if (key == "times") {
        s->mode = kScheduleAtTimes;
        return SplitPair(value, &a, &b) && ParseClockTime(a, &s->dayMinute) && ParseClockTime(b, &s->nightMinute) &&
               s->dayMinute != s->nightMinute;
    }
    if (key == "sun") {
        s->mode = kScheduleAtSun;
        return SplitPair(value, &a, &b) && ParseDegrees(a, 90, &s->latitude) && ParseDegrees(b, 180, &s->longitude);
    }
    if (key == "parts")
        return ParsePartList(value, &s->parts, &problem);
    if (key == "applied") {
        if (value.empty() || value.size() > 15 || value.find_first_not_of("0123456789") != std::string::npos)
            return false;
        s->appliedFrom = atoll(value.c_str());
        return true;
    }
    return false;
}

bool ParseSchedule(const std::string &text, Schedule *schedule)
{
    static const char *const kKeys[6] = {"day", "night", "times", "sun", "parts", "applied"};
    Schedule s{};
    int seen[6] = {};
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;  // the last line cut short
        std::string line = text.substr(at, end - at);
        at = end + 1;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return false;
        std::string key = line.substr(0, equals);
        int k = 0;
        while (k < 6 && key != kKeys[k])
            k++;
        if (k == 6 || seen[k]++ || !ParseValue(key, line.substr(equals + 1), &s))
            return false;
    }
    bool whole = seen[0] && seen[1] && seen[2] + seen[3] == 1 && seen[4] && seen[5];
    if (whole)
        *schedule = s;
    return whole;
}

static bool ScheduleFilePath(char *path, size_t size)
{
    return UserDataDir[0] && JoinPath(path, size, UserDataDir, kScheduleFileName);
}

ScheduleFileState ReadSchedule(Schedule *schedule)
{
    char path[kPathSize];
    std::string text;
    if (!ScheduleFilePath(path, sizeof path) || !ReadFileBytes(path, &text))
        return kScheduleNone;
    return text.size() < 4096 && ParseSchedule(text, schedule) ? kScheduleHere : kScheduleDamaged;
}

bool WriteSchedule(const Schedule &schedule)
{
    char path[kPathSize], partial[kPathSize];
    if (!ScheduleFilePath(path, sizeof path))
        return false;
    PlatFile *f = MakePartialFile(UserDataDir, partial, sizeof partial);
    if (!f)
        return false;
    std::string text = FormatSchedule(schedule);
    bool written = FileWrite(text.data(), text.size(), f) == text.size();
    if (FileClose(f) != 0 || !written) {
        FileDelete(partial);
        return false;
    }
    return PlacePartialFile(partial, path, true);
}

static bool DeleteScheduleFile()
{
    char path[kPathSize];
    PlatFile *f;
    if (!ScheduleFilePath(path, sizeof path) || !(f = FileOpen(path, "rb")))
        return true;
    FileClose(f);
    return FileDelete(path);
}

// ------------------------------------------------- its switches

// Days since 1970-01-01 of a date of the Gregorian calendar, and back.
static long long DaysFromCivil(int year, int month, int day)
{
    long long y = year - (month <= 2);
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yearOfEra = y - era * 400;
    long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

static void CivilFromDays(long long days, int *year, int *month, int *day)
{
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long dayOfEra = days - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long mp = (5 * dayOfYear + 2) / 153;
    *day = (int)(dayOfYear - (153 * mp + 2) / 5 + 1);
    *month = (int)(mp < 10 ? mp + 3 : mp - 9);
    *year = (int)(yearOfEra + era * 400 + (*month <= 2));
}

constexpr long long kDaySeconds = 86400;
constexpr int kSearchDays = 400;  // a year and more: past a pole's half-year night

// The kind of a day at the schedule's place; every day has both switches at
// times.
static SunDayKind KindOfDay(const Schedule &s, long long day)
{
    if (s.mode == kScheduleAtTimes)
        return kSunRisesAndSets;
    int y, m, d;
    CivilFromDays(day, &y, &m, &d);
    return SunTimesUtc(y, m, d, s.latitude, s.longitude).kind;
}

// The switches of one day: at times, the local date's two; at the sun, the
// UTC date's sunrise and sunset (each sunrise and sunset is one UTC date's),
// and for a day of polar night or midnight sun after a day of another kind,
// its theme from its start. False when a local time cannot be converted.
static bool AddSwitchesOfDay(const Schedule &s, long long day, std::vector<ScheduleSwitch> *out)
{
    int y, m, d;
    CivilFromDays(day, &y, &m, &d);
    if (s.mode == kScheduleAtTimes) {
        for (int which = 0; which < 2; which++) {
            int minute = which ? s.nightMinute : s.dayMinute;
            ScheduleSwitch sw{0, which ? s.nightTheme : s.dayTheme};
            if (!UtcFromLocal(PlatTime{y, m, d, 0, minute / 60, minute % 60, 0}, &sw.at))
                return false;
            out->push_back(sw);
        }
        return true;
    }
    SunDay sun = SunTimesUtc(y, m, d, s.latitude, s.longitude);
    long long midnight = day * kDaySeconds;
    if (sun.kind == kSunRisesAndSets) {
        out->push_back(ScheduleSwitch{midnight + (long long)llround(sun.riseMinutes * 60), s.dayTheme});
        out->push_back(ScheduleSwitch{midnight + (long long)llround(sun.setMinutes * 60), s.nightTheme});
    } else if (KindOfDay(s, day - 1) != sun.kind) {
        out->push_back(ScheduleSwitch{midnight, sun.kind == kSunPolarNight ? s.nightTheme : s.dayTheme});
    }
    return true;
}

// The local date at times, the UTC date at the sun, of an instant.
static bool DayOf(const Schedule &s, long long at, long long *day)
{
    PlatTime local;
    if (s.mode == kScheduleAtSun) {
        *day = at / kDaySeconds - (at % kDaySeconds < 0);
        return true;
    }
    if (!LocalFromUtc(at, &local))
        return false;
    *day = DaysFromCivil(local.year, local.month, local.day);
    return true;
}

bool SchedulePeriodAt(const Schedule &s, long long now, SchedulePeriod *period)
{
    long long today;
    if (!DayOf(s, now, &today))
        return false;
    // Every switch of the days around now, in order; a switch to the theme
    // that holds already begins no period.
    int reach = s.mode == kScheduleAtTimes ? 2 : kSearchDays;
    std::vector<ScheduleSwitch> all;
    for (long long d = today - reach; d <= today + reach; d++)
        if (!AddSwitchesOfDay(s, d, &all))
            return false;
    std::stable_sort(all.begin(), all.end(),
                     [](const ScheduleSwitch &a, const ScheduleSwitch &b) { return a.at < b.at; });
    SunDayKind kind = KindOfDay(s, today);
    period->begun = ScheduleSwitch{1, kind == kSunPolarNight ? s.nightTheme : s.dayTheme};
    period->next = ScheduleSwitch{0, 0};
    int holding = 0;
    for (const ScheduleSwitch &sw : all) {
        if (sw.themeId == holding)
            continue;
        holding = sw.themeId;
        if (sw.at <= now) {
            period->begun = sw;
        } else {
            period->next = sw;
            break;
        }
    }
    return true;
}

// Today's switches in local time, "white from 07:00, black from 20:00", or
// empty when none comes today.
static std::string TodaysSwitches(const Schedule &s, long long now)
{
    PlatTime local, t;
    std::vector<ScheduleSwitch> all;
    if (!LocalFromUtc(now, &local))
        return "";
    long long today = DaysFromCivil(local.year, local.month, local.day), day;
    for (long long d = today - 1; d <= today + 1; d++)
        if (!AddSwitchesOfDay(s, d, &all))
            return "";
    std::stable_sort(all.begin(), all.end(),
                     [](const ScheduleSwitch &a, const ScheduleSwitch &b) { return a.at < b.at; });
    std::string text;
    for (const ScheduleSwitch &sw : all)
        if (LocalFromUtc(sw.at, &t) && (day = DaysFromCivil(t.year, t.month, t.day)) == today &&
            !(s.mode == kScheduleAtSun && sw.at % kDaySeconds == 0))  // a polar day's own start
            text += (text.empty() ? "" : ", ") + std::string(ScheduleWordOfTheme(sw.themeId)) + " from " +
                    FormatClockTime(t.hour * 60 + t.minute);
    return text;
}

static std::string Degrees(double value, char positive, char negative)
{
    char text[32];
    snprintf(text, sizeof text, "%.4f %c", fabs(value), value < 0 ? negative : positive);
    return text;
}

std::string DescribeSchedule(const Schedule &s, long long now)
{
    std::string day = ScheduleWordOfTheme(s.dayTheme), night = ScheduleWordOfTheme(s.nightTheme);
    std::string text = "Day and night: " + day + " by day, " + night + " by night, ";
    if (s.mode == kScheduleAtTimes)
        text += "from " + FormatClockTime(s.dayMinute) + " and " + FormatClockTime(s.nightMinute);
    else
        text += "from sunrise and sunset at " + Degrees(s.latitude, 'N', 'S') + ", " + Degrees(s.longitude, 'E', 'W');
    text += "; parts: " + FormatPartList(s.parts) + ".\n";
    std::string today = TodaysSwitches(s, now);
    SchedulePeriod period;
    if (!today.empty())
        return text + "Today: " + today + ".\n";
    if (!SchedulePeriodAt(s, now, &period))
        return text;
    return text + "Today: " + ScheduleWordOfTheme(period.begun.themeId) + " all day, " +
           (period.begun.themeId == s.nightTheme ? "the sun does not rise.\n" : "the sun does not set.\n");
}

// ------------------------------------------------- its task

bool ScheduleTaskPath(char *path, size_t size)
{
    char sid[200];
    return UserSidText(sid, sizeof sid) &&
           snprintf(path, size, "%s\\%s%s", kScheduleTaskFolder, kScheduleTaskPrefix, sid) < (int)size;
}

// A text for an XML element's content.
static std::string Escaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ScheduleTaskXml(const char *programPath, const char *userSid, const PlatTime *next, bool runNow)
{
    std::string user = Escaped(userSid);
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                    "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
                    "  <RegistrationInfo>\n"
                    "    <Description>Desktop Quennel: the day theme and the night theme, each at its time."
                    "</Description>\n"
                    "  </RegistrationInfo>\n"
                    "  <Triggers>\n";
    if (next) {
        char at[32];
        snprintf(at, sizeof at, "%04d-%02d-%02dT%02d:%02d:%02d", next->year, next->month, next->day, next->hour,
                 next->minute, next->second);
        x += "    <TimeTrigger>\n      <StartBoundary>" + std::string(at) + "</StartBoundary>\n    </TimeTrigger>\n";
    }
    if (runNow)
        x += "    <RegistrationTrigger/>\n";
    x += "    <LogonTrigger>\n      <UserId>" + user + "</UserId>\n    </LogonTrigger>\n"
         "    <SessionStateChangeTrigger>\n      <UserId>" + user + "</UserId>\n"
         "      <StateChange>SessionUnlock</StateChange>\n    </SessionStateChangeTrigger>\n"
         "    <EventTrigger>\n      <Subscription>" +
         Escaped("<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">"
                 "*[System[Provider[@Name='Microsoft-Windows-Power-Troubleshooter'] and EventID=1]]"
                 "</Select></Query></QueryList>") +
         "</Subscription>\n    </EventTrigger>\n"
         "  </Triggers>\n"
         "  <Principals>\n"
         "    <Principal id=\"Author\">\n"
         "      <UserId>" + user + "</UserId>\n"
         "      <LogonType>InteractiveToken</LogonType>\n"
         "      <RunLevel>LeastPrivilege</RunLevel>\n"
         "    </Principal>\n"
         "  </Principals>\n"
         "  <Settings>\n"
         "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
         "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
         "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
         "    <StartWhenAvailable>true</StartWhenAvailable>\n"
         "    <ExecutionTimeLimit>PT10M</ExecutionTimeLimit>\n"
         "  </Settings>\n"
         "  <Actions Context=\"Author\">\n"
         "    <Exec>\n"
         "      <Command>" + Escaped("\"" + std::string(programPath) + "\"") + "</Command>\n"
         "      <Arguments>/apply scheduled</Arguments>\n"
         "    </Exec>\n"
         "  </Actions>\n"
         "</Task>\n";
    return x;
}

// Registers the user's task for the switch after now, or for retryAt when
// that comes first.
static bool RegisterTask(const Schedule &s, long long now, bool runNow, long long retryAt = 0)
{
    char path[kPathSize], program[kPathSize], sid[200];
    SchedulePeriod period;
    PlatTime next;
    if (!ScheduleTaskPath(path, sizeof path) || !UserSidText(sid, sizeof sid) ||
        !ModuleFileName(program, sizeof program) || !SchedulePeriodAt(s, now, &period))
        return false;
    long long at = retryAt && (!period.next.at || retryAt < period.next.at) ? retryAt : period.next.at;
    bool hasNext = at && LocalFromUtc(at, &next);
    return TaskRegister(path, ScheduleTaskXml(program, sid, hasNext ? &next : nullptr, runNow).c_str());
}

bool ScheduleRegisterNext(const Schedule &schedule, long long now, long long retryAt)
{
    return RegisterTask(schedule, now, false, retryAt);
}

ScheduleOutcome ScheduleStart(const Schedule &schedule, long long now, bool runNow)
{
    Schedule before;
    bool hadOne = ReadSchedule(&before) == kScheduleHere;
    Schedule fresh = schedule;
    fresh.appliedFrom = 0;
    if (!RegisterTask(fresh, now, runNow))
        return kScheduleNoScheduler;
    if (WriteSchedule(fresh))
        return kScheduleDone;
    // The file the task would read is the one from before: its task goes back.
    char path[kPathSize];
    if (hadOne)
        RegisterTask(before, now, false);
    else if (ScheduleTaskPath(path, sizeof path))
        TaskDelete(path);
    return kScheduleNotWritten;
}

ScheduleOutcome ScheduleEnd(bool force)
{
    char path[kPathSize];
    bool reached = ScheduleTaskPath(path, sizeof path) && TaskPresent(path) >= 0;
    if (!reached && !force)
        return kScheduleNoScheduler;
    bool taskGone = reached && TaskDelete(path);
    if (!DeleteScheduleFile())
        return kScheduleNotWritten;
    return taskGone ? kScheduleDone : kScheduleNoScheduler;
}
