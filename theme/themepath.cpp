#include "theme/themepath.h"

#include "base/bounded.h"
#include "theme/catalogue.h"

#include <string.h>

size_t ExpandThemePath(char *dest, const char *value)
{
    char folder[kPathSize];
    const char *rest;
    if (!strncmp(value, "%WinDir%", 8)) {
        WindowsFolder(folder, 260);
        rest = value + 8;
    } else if (!strncmp(value, "%ThemeDir%", 10)) {
        CopyText(folder, sizeof folder, ThemeDir);
        rest = value + 10;
    } else {
        return CopyText(dest, kPathSize, value);
    }
    CopyText(dest, kPathSize, folder);
    AppendText(dest, kPathSize, "\\");
    return AppendText(dest, kPathSize, rest);
}
