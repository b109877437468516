#include "app/commandline.h"

#include <strings.h>

const char kUsage[] =
    "Desktop Quennel: a colour theme for the desktop.\n"
    "\n"
    "  DesktopQuennel                              the window\n"
    "  DesktopQuennel /apply COLOUR [/parts LIST]  applies a theme without a window\n"
    "  DesktopQuennel /r                           puts back your settings from before the first theme\n"
    "  DesktopQuennel /schedule DAY NIGHT HH:MM HH:MM [/parts LIST]\n"
    "                                              the theme DAY from the first time every day,\n"
    "                                              NIGHT from the second, in local time\n"
    "  DesktopQuennel /schedule DAY NIGHT sun LATITUDE LONGITUDE [/parts LIST]\n"
    "                                              DAY from sunrise, NIGHT from sunset at that\n"
    "                                              place (degrees, north and east positive)\n"
    "  DesktopQuennel /schedule                    the schedule and today's switch times\n"
    "  DesktopQuennel /schedule off                ends the schedule\n"
    "  DesktopQuennel /apply scheduled             the schedule's theme that is due now, unless\n"
    "                                              the schedule applied it since its last switch\n"
    "  DesktopQuennel /?                           this text\n"
    "\n"
    "COLOUR, DAY and NIGHT are black, red, white, blue or green. LIST is a\n"
    "comma-separated choice of screensaver, sounds, cursors, wallpaper, icons,\n"
    "colors and fonts; all of them without /parts. Windows' Task Scheduler keeps\n"
    "the schedule's times; Revert and /r end it. \"/schedule off all\" ends every\n"
    "user's, for the uninstaller (as an administrator).\n"
    "\n"
    "Exit codes:\n"
    "  0  done (applied, scheduled, printed; /apply scheduled: nothing was due)\n"
    "  1  /r: your settings were put back; /apply: another copy of Desktop Quennel\n"
    "     is running, nothing changed\n"
    "  2  /r: you have no backup, nothing changed\n"
    "  3  a folder for the program's files cannot be used, nothing changed\n"
    "  4  bad arguments, nothing changed\n"
    "  5  the theme cannot be applied (its files missing or damaged, a full disk):\n"
    "     your settings from before were put back, and the log says why\n"
    "  6  /r: your settings were put back but for some values, left as they were:\n"
    "     the log names them\n"
    "  7  /r: another copy of Desktop Quennel is running, nothing changed\n"
    "  8  /r: your backup is damaged, nothing changed; the log names it\n"
    "  9  /schedule: the Task Scheduler cannot be reached, nothing changed\n"
    " 10  /apply scheduled: you have no schedule, nothing changed\n"
    " 11  /apply scheduled, /schedule: your schedule's file is damaged, nothing\n"
    "     changed; /schedule off ends it\n";

static bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

// "/parts LIST" at words[at], or nothing there; false with the problem
// otherwise.
static bool ParseTail(const std::vector<std::string> &words, size_t at, ThemeParts *parts, std::string *problem)
{
    *parts = kAllParts;
    if (words.size() == at)
        return true;
    if (!Same(words[at], "/parts")) {
        *problem = "\"" + words[at] + "\" is not /parts";
        return false;
    }
    if (words.size() != at + 2) {
        *problem = words.size() < at + 2 ? "/parts needs a list of parts" : "\"" + words[at + 2] + "\" after the list";
        return false;
    }
    return ParsePartList(words[at + 1], parts, problem);
}

static bool ParseColour(const std::string &word, int *themeId, std::string *problem)
{
    *themeId = ScheduleThemeOfWord(word);
    if (!*themeId)
        *problem = "\"" + word + "\" is not one of the colours";
    return *themeId != 0;
}

// "/schedule" and its words; false with the problem for the user.
static bool ParseSchedule(const std::vector<std::string> &words, ProgramCommand *command)
{
    std::string *problem = &command->problem;
    command->kind = kRunScheduleShow;
    if (words.size() == 1)
        return true;
    if (Same(words[1], "off")) {
        command->kind = words.size() == 2 ? kRunScheduleOff : kRunScheduleOffAll;
        if (words.size() == 2 || (words.size() == 3 && Same(words[2], "all")))
            return true;
        *problem = "\"" + words[2] + "\" after /schedule off";
        return false;
    }
    Schedule &s = command->schedule;
    s = Schedule{};
    command->kind = kRunSchedule;
    if (words.size() < 5) {
        *problem = "/schedule needs a day colour, a night colour and two times, or sun and a place";
        return false;
    }
    if (!ParseColour(words[1], &s.dayTheme, problem) || !ParseColour(words[2], &s.nightTheme, problem))
        return false;
    if (Same(words[3], "sun")) {
        s.mode = kScheduleAtSun;
        if (words.size() < 6) {
            *problem = "sun needs a latitude and a longitude";
            return false;
        }
        if (!ParseDegrees(words[4], 90, &s.latitude)) {
            *problem = "\"" + words[4] + "\" is not a latitude in degrees, from -90 to 90";
            return false;
        }
        if (!ParseDegrees(words[5], 180, &s.longitude)) {
            *problem = "\"" + words[5] + "\" is not a longitude in degrees, from -180 to 180";
            return false;
        }
        return ParseTail(words, 6, &s.parts, problem);
    }
    s.mode = kScheduleAtTimes;
    for (int which = 0; which < 2; which++)
        if (!ParseClockTime(words[3 + which], which ? &s.nightMinute : &s.dayMinute)) {
            *problem = "\"" + words[3 + which] + "\" is not a time from 00:00 to 23:59";
            return false;
        }
    if (s.dayMinute == s.nightMinute) {
        *problem = "the day and the night cannot begin at the same time";
        return false;
    }
    return ParseTail(words, 5, &s.parts, problem);
}

ProgramCommand ParseCommandLine(const char *rawLine, const std::vector<std::string> &arguments)
{
    ProgramCommand command{kRunWindow, 0, kAllParts, Schedule{}, ""};
    if (rawLine && std::string(rawLine) == "/r") {
        command.kind = kRunRevert;
        return command;
    }
    if (arguments.empty())
        return command;
    if (arguments[0] == "/?") {
        command.kind = arguments.size() == 1 ? kRunUsage : kRunBadArguments;
        command.problem = "/? takes nothing after it";
        return command;
    }
    if (Same(arguments[0], "/schedule")) {
        if (!ParseSchedule(arguments, &command))
            command.kind = kRunBadArguments;
        return command;
    }
    if (!Same(arguments[0], "/apply"))
        return command;  // the window, as for any other command line

    command.kind = kRunBadArguments;
    if (arguments.size() < 2) {
        command.problem = "/apply needs a colour";
        return command;
    }
    if (Same(arguments[1], "scheduled")) {
        command.kind = arguments.size() == 2 ? kRunApplyScheduled : kRunBadArguments;
        command.problem = "/apply scheduled takes nothing after it";
        return command;
    }
    if (ParseColour(arguments[1], &command.themeId, &command.problem) &&
        ParseTail(arguments, 2, &command.parts, &command.problem))
        command.kind = kRunApply;
    return command;
}
