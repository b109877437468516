#include "theme/themepath.h"

#include "base/bounded.h"
#include "platform/system.h"

// The variable at the start of value and the folder it stands for; false when
// there is none.
static bool PathVariable(const std::string &value, const std::string &themeDir, size_t *length,
                         std::string *folder)
{
    if (value.compare(0, 8, "%WinDir%") == 0) {
        char windows[kPathSize];
        *folder = WindowsFolder(windows, sizeof windows) < sizeof windows ? windows : "";
        *length = 8;
        return true;
    }
    if (value.compare(0, 10, "%ThemeDir%") == 0) {
        *folder = themeDir;
        *length = 10;
        return true;
    }
    return false;
}

bool ExpandThemePath(const std::string &value, const std::string &themeDir, std::string *path)
{
    size_t length;
    std::string folder;
    if (!PathVariable(value, themeDir, &length, &folder)) {
        *path = value;
        return true;
    }
    *path = folder + "\\" + value.substr(length);
    if (!folder.empty() && PathFits(path->c_str()))
        return true;
    path->clear();
    return false;
}

bool ThemePathFitsBelowRoot(const std::string &value)
{
    size_t length;
    std::string folder;
    if (!PathVariable(value, "", &length, &folder))
        return PathFits(value.c_str());
    return PathFits(("C:\\" + value.substr(length)).c_str());
}

std::string ThemePathFolder(const std::string &value, const std::string &themeDir)
{
    size_t length;
    std::string folder;
    return PathVariable(value, themeDir, &length, &folder) ? folder : "";
}
