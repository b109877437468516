#include "app/commandline.h"

#include "theme/catalogue.h"

#include <strings.h>

const char kUsage[] =
    "Desktop Quennel: a colour theme for the desktop.\n"
    "\n"
    "  DesktopQuennel                              the window\n"
    "  DesktopQuennel /apply COLOUR [/parts LIST]  applies a theme without a window\n"
    "  DesktopQuennel /r                           puts back your settings from before the first theme\n"
    "  DesktopQuennel /?                           this text\n"
    "\n"
    "COLOUR is black, red, white, blue or green. LIST is a comma-separated choice of\n"
    "screensaver, sounds, cursors, wallpaper, icons, colors and fonts; all of them\n"
    "without /parts.\n"
    "\n"
    "Exit codes:\n"
    "  0  applied\n"
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
    "  8  /r: your backup is damaged, nothing changed; the log names it\n";

static bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

// The parts of a list such as "wallpaper,colors"; false with the problem
// when a name is not a part's.
static bool ParseParts(const std::string &list, ThemeParts *parts, std::string *problem)
{
    *parts = ThemeParts{0, 0, 0, 0, 0, 0, 0};
    const struct {
        const char *name;
        int ThemeParts::*part;
    } kNames[7] = {{"screensaver", &ThemeParts::screenSaver}, {"sounds", &ThemeParts::sounds},
                   {"cursors", &ThemeParts::cursors},         {"wallpaper", &ThemeParts::wallpaper},
                   {"icons", &ThemeParts::icons},             {"colors", &ThemeParts::colors},
                   {"fonts", &ThemeParts::fonts}};
    for (size_t at = 0; at <= list.size();) {
        size_t comma = list.find(',', at);
        std::string name = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        at = comma == std::string::npos ? list.size() + 1 : comma + 1;
        bool known = false;
        for (auto &n : kNames)
            if (Same(name, n.name)) {
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

ProgramCommand ParseCommandLine(const char *rawLine, const std::vector<std::string> &arguments)
{
    ProgramCommand command{kRunWindow, 0, ThemeParts{1, 1, 1, 1, 1, 1, 1}, ""};
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
    if (!Same(arguments[0], "/apply"))
        return command;  // the window, as for any other command line

    command.kind = kRunBadArguments;
    static const struct {
        const char *word;
        int id;
    } kColours[5] = {{"black", kThemeBlack}, {"red", kThemeRed}, {"white", kThemeWhite}, {"blue", kThemeBlue},
                     {"green", kThemeGreen}};
    if (arguments.size() < 2) {
        command.problem = "/apply needs a colour";
        return command;
    }
    for (auto &c : kColours)
        if (Same(arguments[1], c.word))
            command.themeId = c.id;
    if (!command.themeId) {
        command.problem = "\"" + arguments[1] + "\" is not one of the colours";
        return command;
    }
    if (arguments.size() == 2) {
        command.kind = kRunApply;
        return command;
    }
    if (!Same(arguments[2], "/parts")) {
        command.problem = "\"" + arguments[2] + "\" is not /parts";
        return command;
    }
    if (arguments.size() != 4) {
        command.problem = arguments.size() < 4 ? "/parts needs a list of parts" : "\"" + arguments[4] + "\" after the list";
        return command;
    }
    if (ParseParts(arguments[3], &command.parts, &command.problem))
        command.kind = kRunApply;
    return command;
}
